// The texts of the stored query collections, each item as one raw string
// literal: tab characters, trailing blanks and line breaks are exactly as
// the statements are sent. Kept apart from the code that uses them so that
// nothing reformats them by accident.
#include "schema/stored_queries.h"

namespace schema {

namespace {
// Splits a raw literal into lines; the line break right after the opening
// delimiter and the one before the closing delimiter are not part of the
// text.
std::vector<std::string> Lines(const char* raw) {
  std::string s(raw);
  if (!s.empty() && s.front() == '\n') s.erase(0, 1);
  if (!s.empty() && s.back() == '\n') s.pop_back();
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    std::size_t nl = s.find('\n', start);
    out.push_back(s.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return out;
}
}  // namespace

const std::vector<StoredQuery>& LMDSL_SQL() {
  static const std::vector<StoredQuery> items = {
    {0, "Foreignkeys", Lines(R"sql(
SELECT	sf.constid, sof.name as fname, scf.name as fcolname, sor.name as rname, 
	scr.name as rcolname, sf.keyno, 
	OBJECTPROPERTY(sf.constid,'CnstIsDeleteCascade') AS IsDeleteCascade, 
	OBJECTPROPERTY(sf.constid,'CnstIsUpdateCascade') AS IsUpdateCascade, 
	OBJECTPROPERTY(sf.constid,'CnstIsNotRepl') AS IsNotForRepl,
	OBJECTPROPERTY(sf.constid,'CnstIsDisabled') AS CnstIsDisabled
FROM 
	sysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor 
WHERE 	sf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id 
	and sof.id = sf.fkeyid and sor.id = sf.rkeyid and sf.constid = :objID_SQL
	and OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 
ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno
)sql")},
    {1, "FKeysForColumn", Lines(R"sql(
SELECT	sf.constid, so.name as fkeyname, sof.name as fname, scf.name as fcolname, sor.name as rname, 
	scr.name as rcolname, sf.keyno
FROM 	sysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor, sysobjects so 
WHERE 	sf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id 
	and sof.id = sf.fkeyid and sor.id = sf.rkeyid 
	and so.id = sf.constid
	and ((scf.name = :fcolname1 and sof.name = :ftablename1) or (scr.name = :fcolname2 and sor.name = :ftablename2))
	and OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 
ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno
)sql")},
    {2, "ColumnDef", Lines(R"sql(
select 	so.id, sc.colorder, sc.name, st.name as type,
	CASE	
		WHEN st.name = 'NVARCHAR' OR st.name = 'NCHAR' OR st.name = 'NTEXT' THEN ROUND(sc.Length / 2,0)
		ELSE sc.length	
	END AS length, 
	COLUMNPROPERTY(so.id, sc.name,'IsRowGuidCol') As IsRowGUID,
	sc.xprec, sc.xscale, sc.collation, 
	
	CASE 
		WHEN SC.autoval IS NOT NULL THEN IDENT_INCR(so.name) 
		ELSE NULL 
	END AS IDENT,
	
	CASE	
		WHEN sc.autoval IS NOT NULL THEN IDENT_SEED(so.name) 
		ELSE NULL 
	END AS IDENTSEED,
	
	sc.isnullable as nullable from 	sysobjects so,	syscolumns sc,
	systypes st where so.id=sc.id and so.xtype ='U' and sc.xusertype=st.xusertype
	and so.id = :objID_SQL
)sql")},
    {3, "DefaultForCol", Lines(R"sql(
select so.name 
from 
	sysobjects so, sysconstraints sc, syscolumns ss 
where 
	so.type IN ('D','C') 
	and so.id = sc.constid 
	and sc.colid = ss.colid 
	and sc.id = ss.id
	and ss.name = :fcolname
	and sc.id = :objID_SQL
)sql")},
    {4, "Indexes", Lines(R"sql(
SELECT	so.ID, si.name as indname, 
	IsPrimaryKey =	CASE 
				WHEN (SELECT xtype FROM sysobjects WHERE name=si.name) = 'PK' then 1 
				ELSE 0	
			END, 
	sg.groupname, INDEXPROPERTY( so.id , si.name , 'IsUnique' ) AS IsUnique,
	INDEXPROPERTY( so.id , si.name , 'IsClustered' ) AS IsClustered 
FROM 	sysobjects so,sysindexes si, sysfilegroups sg 

WHERE 	(si.indid > 0 and si.indid < 255) and (so.id=si.id) and (sg.groupid = si.groupid) and (so.xtype ='U') and (OBJECTPROPERTY(so.id,'IsMSShipped') = 0)
	and (si.status & 64) = 0  
	and so.id =  :objID_SQL
ORDER BY si.name
)sql")},
    {5, "IndexesForColumn", Lines(R"sql(
SELECT	so.id, si.name as indname, 
	sc.name as colname, INDEXPROPERTY ( so.id , si.name , 'IsUnique' ) AS IsUnique,
	IsPrimaryKey =	CASE 
				WHEN (SELECT xtype FROM sysobjects WHERE name=si.name) = 'PK' then 1 
				ELSE 0	
			END

FROM 	sysobjects so,sysindexes si, 
	sysindexkeys sk, 
	syscolumns sc 

WHERE 	(si.indid > 0 and si.indid < 255) 
	and so.id=si.id 
	and so.id=sk.id 
	and so.id=sc.id 
	and si.indid=sk.indid 
	and sk.colid=sc.colid 
	and so.xtype ='U' 
	and INDEXPROPERTY ( so.id , si.name , 'IsStatistics' ) = 0
	and so.id = :objID_SQL
	and sc.name = :fcolName

ORDER BY	so.name
		, si.name
		, sk.colid
)sql")},
    // Loaded by no step: the database roles other than public and the fixed
    // roles, the same query the role grants of a run use.
    {6, "Role", Lines(R"sql(
select 'RoleName' = name from sysusers where issqlrole =1 and islogin=0 
and not (uid >= 16384 and uid <= 16393) and uid<>0 order By name
)sql")},
    // Loaded by no step: the names of the user tables and views.
    {7, "TablesAndViews", Lines(R"sql(
SELECT	so.id, so.name, so.xtype 
FROM 	sysobjects so 
WHERE 	so.xtype IN ('U', 'V') and OBJECTPROPERTY(so.id,'IsMSShipped') = 0 
ORDER BY so.name
)sql")},
    // Loaded by no step: the names and types of the user procedures and
    // functions.
    {8, "ProcAndFunctions", Lines(R"sql(
SELECT	so.id, so.name, so.xtype 
FROM 	sysobjects so 
WHERE 	so.xtype IN ('P', 'FN', 'TF', 'IF') and OBJECTPROPERTY(so.id,'IsMSShipped') = 0 
ORDER BY so.xtype, so.name
)sql")},
    {9, "IndexKeys", Lines(R"sql(
select	so.id, si.name as indname, 
	INDEXKEY_PROPERTY(so.id,si.indid,sk.keyno,'IsDescending') AS IsDescending, 
	sk.keyno, sc.name as colname 
from 	sysobjects so,sysindexes si, sysindexkeys sk, syscolumns sc 
where 	(si.indid > 0 and si.indid < 255) 
	and so.id=si.id 
	and so.id=sk.id 
	and so.id=sc.id 
	and si.indid=sk.indid 
	and sk.colid=sc.colid 
	and so.xtype ='U' 
	and so.id = :objID_SQL
	and 
	si.name = :indname
order by	
	so.name, si.name, sk.colid
)sql")},
    {10, "FKesyForTable", Lines(R"sql(
SELECT	sf.constid, so.name as fkeyname, sof.name as fname, scf.name as fcolname, sor.name as rname, 
	scr.name as rcolname, sf.keyno
FROM 	sysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor, sysobjects so 
WHERE 	sf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id 
	and sof.id = sf.fkeyid and sor.id = sf.rkeyid 
	and so.id = sf.constid
	and ((sof.name = :ftablename1) or (sor.name = :ftablename2))
	and OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 
ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno
)sql")},
    {11, "ColumnDef2005", Lines(R"sql(
select 	so.id, sc.column_id AS colorder, sc.name, st.name as type, 
	CASE	
	WHEN st.name = 'NVARCHAR' OR st.name = 'NCHAR' OR st.name = 'NTEXT' THEN ROUND(sc.max_length / 2,0) 
	ELSE sc.max_length	
	END AS length, 
	COLUMNPROPERTY(so.id, sc.name,'IsRowGuidCol') AS IsRowGUID, 
	sc.precision As xprec, sc.scale AS xscale, sc.collation_name AS collation, 
	CASE WHEN SC.is_identity = 1 THEN IDENT_INCR(so.name) ELSE NULL END AS IDENT, 
	CASE WHEN SC.is_identity = 1 THEN IDENT_SEED(so.name) ELSE NULL END AS IDENTSEED, 
	CAST(sc.is_nullable AS INTEGER) as nullable 
from 	sysobjects so, sys.columns sc, systypes st 
where 	so.id=sc.object_id and so.xtype ='U' and sc.user_type_id=st.xusertype 
	and so.id =  :objID_SQL

order by sc.column_id
)sql")},
    {12, "Indexes2005", Lines(R"sql(
SELECT	so.ID, si.name as indname, 
	IsPrimaryKey =	CASE 
				WHEN (SELECT xtype FROM sysobjects WHERE name=si.name) = 'PK' then 1 
				ELSE 0	
			END, 
	sg.groupname, INDEXPROPERTY( so.id , si.name , 'IsUnique' ) AS IsUnique,
	INDEXPROPERTY( so.id , si.name , 'IsClustered' ) AS IsClustered 
FROM 	sysobjects so,sysindexes si, sysfilegroups sg 

WHERE 	(si.indid > 0 and si.indid < 255) and (so.id=si.id) and (sg.groupid = si.groupid) and (so.xtype ='U') and (OBJECTPROPERTY(so.id,'IsMSShipped') = 0)
	and (si.status & 64) = 0  
	and so.id not in (select major_id from sys.extended_properties where class=7)
	and so.id =  :objID_SQL
ORDER BY si.name
)sql")},
    {13, "IndexKeys2005", Lines(R"sql(
SELECT i.object_id as id, i.name AS indname, CAST(ic.is_descending_key AS SMALLINT) As IsDescending 
	,ic.key_ordinal AS Keyno 
	,COL_NAME(ic.object_id,ic.column_id) AS colname
        	,ic.index_column_id AS IndexColumnID 
        	,CAST(ic.is_included_column AS SMALLINT) AS IsIncluded 
        	FROM sys.indexes AS i 
	INNER JOIN sys.index_columns AS ic 
	ON i.object_id = ic.object_id AND i.index_id = ic.index_id 
WHERE i.object_id = :objID_SQL
	and i.name = :indname
        	and i.object_id not in (select major_id from sys.extended_properties) 
        	ORDER BY ic.index_column_id
)sql")},
  };
  return items;
}

const std::vector<StoredQuery>& LMDSL_ACC() {
  static const std::vector<StoredQuery> items = {
    {0, "MaxPriorytet", Lines(R"sql(
select max(priorytet) as MaxPriorytet from tblObjects
)sql")},
    {1, "ForeignKeys", Lines(R"sql(
SELECT 	tblForeignKeys.id, tblObjects_1.Name AS fName, 
	tblForeignKeys.fcolname, tblObjects_2.Name AS rName, tblForeignKeys.rcolname, 
	tblForeignKeys.keyno, tblForeignKeys.IsDeleteCascade, tblForeignKeys.IsUpdateCascade, 
	tblForeignKeys.IsNotForRepl, 	tblForeignKeys.IsDisabled
FROM 	tblObjects AS tblObjects_2 
	INNER JOIN (tblObjects AS tblObjects_1 
	INNER JOIN tblForeignKeys ON tblObjects_1.id = tblForeignKeys.fkeyid) ON tblObjects_2.id = tblForeignKeys.rkeyid 
WHERE tblForeignKeys.id = :objID_ACC
ORDER BY tblObjects_1.Name, tblObjects_2.Name, tblForeignKeys.keyno
)sql")},
  };
  return items;
}

}  // namespace schema
