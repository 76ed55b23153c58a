// The catalog tables and the system views built over them.
#include "sqlsim/engine.h"

namespace sqlsim {

const char* CatalogSchemaSql() {
  return R"SQL(
CREATE TABLE meta(next_id INTEGER NOT NULL);
INSERT INTO meta VALUES (1977058079);
CREATE TABLE objects(id INTEGER PRIMARY KEY, name TEXT COLLATE CI NOT NULL, xtype TEXT COLLATE CI NOT NULL,
  parent_obj INTEGER NOT NULL DEFAULT 0, uid INTEGER NOT NULL DEFAULT 1, is_ms_shipped INTEGER NOT NULL DEFAULT 0,
  crdate TEXT, disabled INTEGER NOT NULL DEFAULT 0, schemabound INTEGER NOT NULL DEFAULT 0, ident_cur INTEGER,
  encrypted INTEGER NOT NULL DEFAULT 0);
CREATE INDEX objects_name ON objects(name);
CREATE INDEX objects_parent ON objects(parent_obj);
CREATE INDEX objects_xtype ON objects(xtype);
CREATE TABLE columns(obj_id INTEGER NOT NULL, colid INTEGER NOT NULL, name TEXT COLLATE CI NOT NULL,
  type TEXT COLLATE CI NOT NULL, utype TEXT COLLATE CI NOT NULL, xtype INTEGER, xusertype INTEGER,
  max_length INTEGER, prec INTEGER, scale INTEGER, nullable INTEGER, is_identity INTEGER DEFAULT 0,
  seed INTEGER, incr INTEGER, is_rowguid INTEGER DEFAULT 0, collation TEXT, computed TEXT,
  PRIMARY KEY(obj_id, colid));
CREATE INDEX columns_name ON columns(obj_id, name);
CREATE TABLE indexes(obj_id INTEGER NOT NULL, indid INTEGER NOT NULL, name TEXT COLLATE CI,
  is_unique INTEGER DEFAULT 0, is_clustered INTEGER DEFAULT 0, is_pk INTEGER DEFAULT 0, is_uq INTEGER DEFAULT 0,
  is_stat INTEGER DEFAULT 0, groupid INTEGER DEFAULT 1, PRIMARY KEY(obj_id, indid));
CREATE INDEX indexes_name ON indexes(name);
CREATE TABLE index_columns(obj_id INTEGER, indid INTEGER, index_column_id INTEGER, colid INTEGER,
  key_ordinal INTEGER, is_desc INTEGER, is_included INTEGER, is_stat INTEGER DEFAULT 0,
  PRIMARY KEY(obj_id, indid, index_column_id));
CREATE INDEX index_columns_col ON index_columns(obj_id, colid);
CREATE TABLE fks(constid INTEGER PRIMARY KEY, fkeyid INTEGER, rkeyid INTEGER, rindid INTEGER,
  del_cascade INTEGER DEFAULT 0, upd_cascade INTEGER DEFAULT 0);
CREATE INDEX fks_f ON fks(fkeyid);
CREATE INDEX fks_r ON fks(rkeyid);
CREATE TABLE fk_cols(constid INTEGER, keyno INTEGER, fkey INTEGER, rkey INTEGER, PRIMARY KEY(constid, keyno));
CREATE TABLE cons(constid INTEGER PRIMARY KEY, tbl INTEGER, colid INTEGER DEFAULT 0, kind INTEGER,
  definition TEXT, disabled INTEGER DEFAULT 0, not_repl INTEGER DEFAULT 0);
CREATE INDEX cons_tbl ON cons(tbl);
CREATE TABLE modules(obj_id INTEGER PRIMARY KEY, definition TEXT);
CREATE TABLE comments(id INTEGER, colid INTEGER, text TEXT, PRIMARY KEY(id, colid));
CREATE TABLE principals(uid INTEGER PRIMARY KEY, name TEXT COLLATE CI UNIQUE, issqlrole INTEGER,
  islogin INTEGER, login TEXT COLLATE CI, fixed INTEGER DEFAULT 0);
CREATE TABLE role_members(role_uid INTEGER, member_uid INTEGER, PRIMARY KEY(role_uid, member_uid));
CREATE TABLE permissions(obj_id INTEGER, uid INTEGER, perm TEXT COLLATE CI, PRIMARY KEY(obj_id, uid, perm));
CREATE TABLE extprops(class INTEGER, major_id INTEGER, minor_id INTEGER, name TEXT COLLATE CI, value TEXT,
  PRIMARY KEY(class, major_id, minor_id, name));
CREATE INDEX extprops_major ON extprops(major_id);
CREATE TABLE filegroups(groupid INTEGER PRIMARY KEY, groupname TEXT COLLATE CI);
INSERT INTO filegroups VALUES (1, 'PRIMARY');
CREATE TABLE types(name TEXT COLLATE CI, xtype INTEGER, xusertype INTEGER PRIMARY KEY, length INTEGER,
  xprec INTEGER, xscale INTEGER, variable INTEGER, collation TEXT);
CREATE TABLE srv_databases(name TEXT COLLATE CI, database_id INTEGER, collation_name TEXT);
CREATE TABLE srv_principals(name TEXT COLLATE CI, principal_id INTEGER, type TEXT COLLATE CI,
  type_desc TEXT, is_disabled INTEGER, default_database_name TEXT);
INSERT INTO principals VALUES (0,'public',1,0,NULL,1),(1,'dbo',0,1,'sa',1),(2,'guest',0,1,NULL,1),
  (3,'INFORMATION_SCHEMA',0,1,NULL,1),(4,'sys',0,1,NULL,1),(16384,'db_owner',1,0,NULL,1),
  (16385,'db_accessadmin',1,0,NULL,1),(16386,'db_securityadmin',1,0,NULL,1),(16387,'db_ddladmin',1,0,NULL,1),
  (16389,'db_backupoperator',1,0,NULL,1),(16390,'db_datareader',1,0,NULL,1),(16391,'db_datawriter',1,0,NULL,1),
  (16392,'db_denydatareader',1,0,NULL,1),(16393,'db_denydatawriter',1,0,NULL,1);
INSERT INTO objects(id,name,xtype,is_ms_shipped) VALUES (5,'sysrowsets','S ',1),(7,'sysallocunits','S ',1),
  (34,'sysschobjs','S ',1),(41,'syscolpars','S ',1);

CREATE VIEW v_sysobjects AS SELECT name, id, xtype, uid, 0 AS info, 0 AS status, 0 AS base_schema_ver,
  0 AS replinfo, parent_obj, crdate, 0 AS ftcatid, 0 AS schema_ver, 0 AS stats_schema_ver,
  (CASE WHEN xtype IN ('PK','UQ') THEN 'K ' ELSE xtype END) COLLATE CI AS type, 0 AS userstat, 0 AS sysstat,
  0 AS indexdel, crdate AS refdate, 0 AS version, 0 AS deltrig, 0 AS instrig, 0 AS updtrig, 0 AS seltrig,
  0 AS category, 0 AS cache FROM objects;
CREATE VIEW v_syscolumns AS SELECT name, obj_id AS id, xtype, 0 AS typestat, xusertype, max_length AS length,
  prec AS xprec, scale AS xscale, colid, 0 AS xoffset, 0 AS bitpos, 0 AS reserved, 0 AS colstat,
  (SELECT k.constid FROM cons k WHERE k.tbl = columns.obj_id AND k.colid = columns.colid AND k.kind = 5) AS cdefault,
  0 AS domain, 0 AS number, colid AS colorder, CASE WHEN is_identity = 1 THEN 1 END AS autoval, 0 AS offset,
  CASE WHEN is_identity = 1 THEN 128 ELSE 0 END + CASE WHEN nullable = 1 THEN 8 ELSE 0 END AS status,
  xtype AS type, xusertype AS usertype, NULL AS printfmt, prec, scale,
  CASE WHEN computed IS NULL THEN 0 ELSE 1 END AS iscomputed, 0 AS isoutparam, nullable AS isnullable,
  collation FROM columns;
CREATE VIEW v_systypes AS SELECT name, xtype, 0 AS status, xusertype, length, xprec, xscale, 0 AS tdefault,
  0 AS domain, CASE WHEN xusertype > 255 THEN 1 ELSE 4 END AS uid, 0 AS reserved, xusertype AS usertype,
  variable, 1 AS allownulls, xtype AS type, xprec AS prec, xscale AS scale, collation FROM types;
CREATE VIEW v_sysindexes AS SELECT obj_id AS id,
  CASE WHEN indid = 0 THEN (SELECT o.name FROM objects o WHERE o.id = indexes.obj_id) ELSE name END COLLATE CI AS name,
  indid, is_unique * 2 + is_clustered * 16 + is_stat * 64 + is_pk * 2048 + is_uq * 4096 AS status, groupid,
  (SELECT count(*) FROM index_columns c WHERE c.obj_id = indexes.obj_id AND c.indid = indexes.indid
     AND c.is_included = 0) AS keycnt, 0 AS dpages, 0 AS reserved, 0 AS used, 0 AS rowcnt, 0 AS rowmodctr,
  0 AS OrigFillFactor FROM indexes;
CREATE VIEW v_sysindexkeys AS SELECT obj_id AS id, indid, colid, key_ordinal AS keyno FROM index_columns
  WHERE is_included = 0;
CREATE VIEW v_sysfilegroups AS SELECT groupid, 0 AS allocpolicy, 0 AS status, groupname FROM filegroups;
CREATE VIEW v_sysforeignkeys AS SELECT f.constid, f.fkeyid, f.rkeyid, c.fkey, c.rkey, c.keyno
  FROM fks f JOIN fk_cols c ON c.constid = f.constid;
CREATE VIEW v_sysconstraints AS SELECT constid, tbl AS id, colid, 0 AS spare1,
  kind + CASE WHEN colid = 0 THEN 32 ELSE 0 END AS status, 0 AS actions, 0 AS error FROM cons;
CREATE VIEW v_syscomments AS SELECT c.id, 0 AS number, c.colid, 0 AS status,
  CASE WHEN o.encrypted = 1 THEN NULL ELSE c.text END AS ctext, 2 AS texttype, 0 AS language,
  coalesce(o.encrypted, 0) AS encrypted, 0 AS compressed, CASE WHEN o.encrypted = 1 THEN NULL ELSE c.text END AS text
  FROM comments c LEFT JOIN objects o ON o.id = c.id;
CREATE VIEW v_sysusers AS SELECT uid, 0 AS status, name, NULL AS sid, NULL AS roles, NULL AS createdate,
  NULL AS updatedate, 0 AS altuid, NULL AS password, 0 AS gid, NULL AS environ,
  CASE WHEN issqlrole = 0 THEN 1 ELSE 0 END AS hasdbaccess, islogin, 0 AS isntname, 0 AS isntgroup,
  0 AS isntuser, CASE WHEN islogin = 1 AND issqlrole = 0 THEN 1 ELSE 0 END AS issqluser, 0 AS isaliased,
  issqlrole, 0 AS isapprole FROM principals;
CREATE VIEW sys_objects AS SELECT name, id AS object_id, NULL AS principal_id, uid AS schema_id,
  parent_obj AS parent_object_id, xtype AS type,
  CASE trim(xtype) WHEN 'U' THEN 'USER_TABLE' WHEN 'V' THEN 'VIEW' WHEN 'P' THEN 'SQL_STORED_PROCEDURE'
    WHEN 'FN' THEN 'SQL_SCALAR_FUNCTION' WHEN 'TF' THEN 'SQL_TABLE_VALUED_FUNCTION'
    WHEN 'IF' THEN 'SQL_INLINE_TABLE_VALUED_FUNCTION' WHEN 'TR' THEN 'SQL_TRIGGER'
    WHEN 'F' THEN 'FOREIGN_KEY_CONSTRAINT' WHEN 'PK' THEN 'PRIMARY_KEY_CONSTRAINT'
    WHEN 'UQ' THEN 'UNIQUE_CONSTRAINT' WHEN 'C' THEN 'CHECK_CONSTRAINT' WHEN 'D' THEN 'DEFAULT_CONSTRAINT'
    WHEN 'S' THEN 'SYSTEM_TABLE' END AS type_desc,
  crdate AS create_date, crdate AS modify_date, is_ms_shipped, 0 AS is_published, 0 AS is_schema_published
  FROM objects;
CREATE VIEW sys_tables AS SELECT * FROM sys_objects WHERE type = 'U ';
CREATE VIEW sys_views AS SELECT * FROM sys_objects WHERE type = 'V ';
CREATE VIEW sys_procedures AS SELECT * FROM sys_objects WHERE type = 'P ';
CREATE VIEW sys_triggers AS SELECT o.name, o.id AS object_id, 1 AS parent_class, o.parent_obj AS parent_id,
  'TR' AS type, 'SQL_TRIGGER' AS type_desc, o.crdate AS create_date, o.is_ms_shipped, o.disabled AS is_disabled,
  0 AS is_instead_of_trigger FROM objects o WHERE o.xtype = 'TR';
CREATE VIEW sys_columns AS SELECT obj_id AS object_id, name, colid AS column_id, xtype AS system_type_id,
  xusertype AS user_type_id, max_length, prec AS precision, scale, collation AS collation_name,
  nullable AS is_nullable, 1 AS is_ansi_padded, is_rowguid AS is_rowguidcol, is_identity,
  CASE WHEN computed IS NULL THEN 0 ELSE 1 END AS is_computed, 0 AS is_filestream, 0 AS is_replicated,
  0 AS is_non_sql_subscribed, 0 AS is_merge_published, 0 AS is_dts_replicated, 0 AS is_xml_document,
  0 AS xml_collection_id,
  coalesce((SELECT k.constid FROM cons k WHERE k.tbl = columns.obj_id AND k.colid = columns.colid AND k.kind = 5), 0)
    AS default_object_id, 0 AS rule_object_id FROM columns;
CREATE VIEW sys_indexes AS SELECT obj_id AS object_id, name, indid AS index_id,
  CASE WHEN indid = 0 THEN 0 WHEN is_clustered = 1 THEN 1 ELSE 2 END AS type,
  CASE WHEN indid = 0 THEN 'HEAP' WHEN is_clustered = 1 THEN 'CLUSTERED' ELSE 'NONCLUSTERED' END AS type_desc,
  is_unique, groupid AS data_space_id, 0 AS ignore_dup_key, is_pk AS is_primary_key,
  is_uq AS is_unique_constraint, 0 AS fill_factor, 0 AS is_padded, 0 AS is_disabled, 0 AS is_hypothetical,
  1 AS allow_row_locks, 1 AS allow_page_locks FROM indexes WHERE is_stat = 0;
CREATE VIEW sys_index_columns AS SELECT obj_id AS object_id, indid AS index_id, index_column_id,
  colid AS column_id, key_ordinal, 0 AS partition_ordinal, is_desc AS is_descending_key,
  is_included AS is_included_column FROM index_columns WHERE is_stat = 0;
CREATE VIEW sys_stats AS SELECT obj_id AS object_id, name, indid AS stats_id, 0 AS auto_created,
  0 AS user_created FROM indexes WHERE indid > 0;
CREATE VIEW sys_extended_properties AS SELECT class,
  CASE class WHEN 0 THEN 'DATABASE' WHEN 1 THEN 'OBJECT_OR_COLUMN' WHEN 2 THEN 'PARAMETER' WHEN 3 THEN 'SCHEMA'
    WHEN 4 THEN 'DATABASE_PRINCIPAL' WHEN 7 THEN 'INDEX' END COLLATE CI AS class_desc,
  major_id, minor_id, name, value FROM extprops;
CREATE VIEW sys_foreign_keys AS SELECT o.name, o.id AS object_id, o.parent_obj AS parent_object_id,
  f.rkeyid AS referenced_object_id, f.rindid AS key_index_id, k.disabled AS is_disabled,
  k.not_repl AS is_not_for_replication, f.del_cascade AS delete_referential_action,
  f.upd_cascade AS update_referential_action FROM fks f JOIN objects o ON o.id = f.constid
  JOIN cons k ON k.constid = f.constid;
CREATE VIEW sys_foreign_key_columns AS SELECT c.constid AS constraint_object_id, c.keyno AS constraint_column_id,
  f.fkeyid AS parent_object_id, c.fkey AS parent_column_id, f.rkeyid AS referenced_object_id,
  c.rkey AS referenced_column_id FROM fk_cols c JOIN fks f ON f.constid = c.constid;
CREATE VIEW sys_check_constraints AS SELECT o.name, o.id AS object_id, o.parent_obj AS parent_object_id,
  k.colid AS parent_column_id, k.definition, k.disabled AS is_disabled, k.not_repl AS is_not_for_replication
  FROM cons k JOIN objects o ON o.id = k.constid WHERE k.kind = 4;
CREATE VIEW sys_default_constraints AS SELECT o.name, o.id AS object_id, o.parent_obj AS parent_object_id,
  k.colid AS parent_column_id, k.definition FROM cons k JOIN objects o ON o.id = k.constid WHERE k.kind = 5;
CREATE VIEW sys_key_constraints AS SELECT o.name, o.id AS object_id, o.parent_obj AS parent_object_id,
  o.xtype AS type, (SELECT i.indid FROM indexes i WHERE i.obj_id = o.parent_obj AND i.name = o.name) AS unique_index_id
  FROM objects o WHERE o.xtype IN ('PK', 'UQ');
CREATE VIEW sys_sql_modules AS SELECT obj_id AS object_id,
  CASE WHEN (SELECT encrypted FROM objects o WHERE o.id = obj_id) = 1 THEN NULL ELSE definition END AS definition, 1 AS uses_ansi_nulls,
  1 AS uses_quoted_identifier, (SELECT schemabound FROM objects o WHERE o.id = obj_id) AS is_schema_bound FROM modules;
CREATE VIEW sys_schemas AS SELECT name, uid AS schema_id, 1 AS principal_id FROM principals
  WHERE uid IN (1, 2, 3, 4) OR uid >= 16384;
CREATE VIEW sys_database_principals AS SELECT name, uid AS principal_id,
  CASE WHEN issqlrole = 1 THEN 'R' ELSE 'S' END AS type,
  CASE WHEN issqlrole = 1 THEN 'DATABASE_ROLE' ELSE 'SQL_USER' END AS type_desc, fixed AS is_fixed_role
  FROM principals;
CREATE VIEW sys_database_role_members AS SELECT role_uid AS role_principal_id, member_uid AS member_principal_id
  FROM role_members;
CREATE VIEW sys_types AS SELECT name, xtype AS system_type_id, xusertype AS user_type_id, 4 AS schema_id,
  length AS max_length, xprec AS precision, xscale AS scale, collation AS collation_name, 1 AS is_nullable,
  CASE WHEN xusertype > 255 THEN 1 ELSE 0 END AS is_user_defined FROM types;
CREATE VIEW sys_databases AS SELECT name, database_id, NULL AS source_database_id, NULL AS owner_sid,
  NULL AS create_date, 100 AS compatibility_level, collation_name, 0 AS user_access, 'MULTI_USER' AS user_access_desc,
  0 AS is_read_only, 0 AS state, 'ONLINE' AS state_desc FROM srv_databases;
CREATE VIEW v_sysdatabases AS SELECT name, database_id AS dbid, NULL AS sid, 0 AS mode, 0 AS status,
  0 AS status2, NULL AS crdate, NULL AS reserved, 0 AS category, 100 AS cmptlevel, NULL AS filename,
  0 AS version FROM srv_databases;
CREATE VIEW sys_server_principals AS SELECT name, principal_id, NULL AS sid, type, type_desc, is_disabled,
  NULL AS create_date, NULL AS modify_date, default_database_name, 'Polski' AS default_language_name,
  NULL AS credential_id FROM srv_principals;
CREATE VIEW sys_sql_logins AS SELECT * FROM sys_server_principals WHERE type = 'S';
)SQL";
}

}  // namespace sqlsim
