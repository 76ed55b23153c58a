#include "reconcile/keys/fk_queries.h"

namespace reconcile {

const std::vector<std::string>& ForeignKeysLines() {
  static const std::vector<std::string> lines = {
      "SELECT\tsf.constid, sof.name as fname, scf.name as fcolname, sor.name as rname, ",
      "\tscr.name as rcolname, sf.keyno, ",
      "\tOBJECTPROPERTY(sf.constid,'CnstIsDeleteCascade') AS IsDeleteCascade, ",
      "\tOBJECTPROPERTY(sf.constid,'CnstIsUpdateCascade') AS IsUpdateCascade, ",
      "\tOBJECTPROPERTY(sf.constid,'CnstIsNotRepl') AS IsNotForRepl,",
      "\tOBJECTPROPERTY(sf.constid,'CnstIsDisabled') AS CnstIsDisabled",
      "FROM ",
      "\tsysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor ",
      "WHERE \tsf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id ",
      "\tand sof.id = sf.fkeyid and sor.id = sf.rkeyid and sf.constid = :objID_SQL",
      "\tand OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 ",
      "ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno",
  };
  return lines;
}

const std::vector<std::string>& FKeysForColumnLines() {
  static const std::vector<std::string> lines = {
      "SELECT\tsf.constid, so.name as fkeyname, sof.name as fname, scf.name as fcolname, sor.name as rname, ",
      "\tscr.name as rcolname, sf.keyno",
      "FROM \tsysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor, sysobjects so ",
      "WHERE \tsf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id ",
      "\tand sof.id = sf.fkeyid and sor.id = sf.rkeyid ",
      "\tand so.id = sf.constid",
      "\tand ((scf.name = :fcolname1 and sof.name = :ftablename1) or (scr.name = :fcolname2 and sor.name = :ftablename2))",
      "\tand OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 ",
      "ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno",
  };
  return lines;
}

const std::vector<std::string>& FKesyForTableLines() {
  static const std::vector<std::string> lines = {
      "SELECT\tsf.constid, so.name as fkeyname, sof.name as fname, scf.name as fcolname, sor.name as rname, ",
      "\tscr.name as rcolname, sf.keyno",
      "FROM \tsysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor, sysobjects so ",
      "WHERE \tsf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id ",
      "\tand sof.id = sf.fkeyid and sor.id = sf.rkeyid ",
      "\tand so.id = sf.constid",
      "\tand ((sof.name = :ftablename1) or (sor.name = :ftablename2))",
      "\tand OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 ",
      "ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno",
  };
  return lines;
}

const std::vector<std::string>& TemplateForeignKeysLines() {
  static const std::vector<std::string> lines = {
      "SELECT \ttblForeignKeys.id, tblObjects_1.Name AS fName, ",
      "\ttblForeignKeys.fcolname, tblObjects_2.Name AS rName, tblForeignKeys.rcolname, ",
      "\ttblForeignKeys.keyno, tblForeignKeys.IsDeleteCascade, tblForeignKeys.IsUpdateCascade, ",
      "\ttblForeignKeys.IsNotForRepl, \ttblForeignKeys.IsDisabled",
      "FROM \ttblObjects AS tblObjects_2 ",
      "\tINNER JOIN (tblObjects AS tblObjects_1 ",
      "\tINNER JOIN tblForeignKeys ON tblObjects_1.id = tblForeignKeys.fkeyid) ON tblObjects_2.id = tblForeignKeys.rkeyid ",
      "WHERE tblForeignKeys.id = :objID_ACC",
      "ORDER BY tblObjects_1.Name, tblObjects_2.Name, tblForeignKeys.keyno",
  };
  return lines;
}

}  // namespace reconcile
