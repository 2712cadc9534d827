// Texts of the MS SQL catalog queries for constraints, roles and users, and
// privileges. On the 2000 tables an index row belongs to its table: it is
// joined by table and name, never by name alone.
#include "extract/mssql/qorMSSQLCatalogQueries.h"

namespace qor::msq {

namespace {

void Add(std::vector<std::string_view>& l, std::initializer_list<std::string_view> lines) {
  l.insert(l.end(), lines.begin(), lines.end());
}

constexpr std::string_view kToolsTableSubselect[] = {
    "(select value from [fn_listextendedproperty] ('microsoft_database_tools_support', 'SCHEMA', "
    "s.name,",
    " 'TABLE', t.name, null, null)) as ms_tools,"};

// What the primary keys and the uniques read alike on the catalog views:
// from the QI column to the schema's join.
void AddKeyConstraintBody(std::vector<std::string_view>& l, const TCatalogForm& form) {
  Add(l, {"objectproperty(o.object_id, 'ExecIsQuotedIdentOn') QI,",
          "objectproperty(o.object_id, 'ExecIsAnsiNullsOn') AN,",
          "i.is_padded, i.ignore_dup_key, i.allow_row_locks, i.allow_page_locks,"});
  if (form.AutoCreated) l.emplace_back("i.auto_created,");
  if (form.Subselects) Add(l, {kToolsTableSubselect[0], kToolsTableSubselect[1]});
  Add(l,
      {"o.is_system_named, o.parent_object_id, o.unique_index_id", "from sys.key_constraints o",
       "join sys.objects t on t.object_id = o.parent_object_id and t.type = 'U ' ",
       "join sys.indexes i on i.object_id = o.parent_object_id and i.index_id = o.unique_index_id",
       "left join sys.schemas s on s.schema_id = t.schema_id"});
}

}  // namespace

// ------------------------------------------------------ Primary keys, uniques

std::string PrimaryKeys(const TCatalogForm& form) {
  if (!form.Views)
    return Lines({"select o.id, t.name table_name, o.name pk_name, u.name sch_name,",
                  "i.OrigFillFactor fill_factor, i.status, i.indid as type,",
                  "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
                  "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN", "from dbo.sysobjects o",
                  "join dbo.sysobjects t on t.id = o.parent_obj and t.xtype in ('U ', 'V ') ",
                  "left join dbo.sysusers u on u.uid = o.uid",
                  "join dbo.sysindexes i on i.id = o.parent_obj and i.name = o.name",
                  "where o.xtype = 'PK'", "and isnull(objectproperty(t.id, 'ISMSShipped'), 1) <> 1",
                  "order by t.name, o.name"});
  std::vector<std::string_view> l = {"select o.object_id as id, t.name table_name, o.name pk_name,",
                                     "s.name as sch_name, i.fill_factor, i.type,"};
  AddKeyConstraintBody(l, form);
  Add(l,
      {"where o.type = 'PK'", "and coalesce(o.is_ms_shipped, 0) <> 1", "order by t.name, o.name"});
  return Lines(l);
}

std::string Uniques(const TCatalogForm& form, std::string_view toolsFilter) {
  if (!form.Views)
    return Lines({"select o.id, t.name table_name, o.name uq_name, u.name sch_name,",
                  "i.OrigFillFactor fill_factor, i.indid type,",
                  "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
                  "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN", "from sysobjects o",
                  "left join sysobjects t on t.id = o.parent_obj",
                  "left join sysindexes i on i.id = o.parent_obj and i.name = o.name",
                  "left join sysusers u on u.uid = t.uid", "where o.xtype = 'UQ'",
                  "and isnull(objectproperty(t.id, 'ISMSShipped'), 1) <> 1",
                  "order by t.name, o.name"});
  std::vector<std::string_view> l = {
      "select o.object_id id, t.name table_name, o.name uq_name, s.name sch_name,",
      "i.fill_factor, i.type,"};
  AddKeyConstraintBody(l, form);
  Add(l, {"where o.type = 'UQ'", "and isnull(objectproperty(t.object_id, 'ISMSShipped'), 1) <> 1",
          toolsFilter, "order by t.name, o.name"});
  return Lines(l);
}

// ------------------------------------------------------------- Foreign keys

std::string ForeignKeys(const TCatalogForm& form, std::string_view toolsFilter) {
  // The referential rules of a constraint name are looked up in its own
  // schema: two owners may use one constraint name.
  if (!form.Views)
    return Lines(
        {"select r.constid id, fk.name fk_name, ft.name ft_name, rt.name rt_name,",
         "rc.DELETE_RULE, rc.UPDATE_RULE,", "objectproperty(fk.id, 'ExecIsQuotedIdentOn') QI,",
         "objectproperty(fk.id, 'ExecIsAnsiNullsOn') AN,",
         "objectproperty(fk.id, 'CnstIsNotRepl') NR,", "fu.name as fk_schema, ru.name as fr_schema",
         "from sysreferences r", "left join sysobjects fk on fk.id = r.constid",
         "left join sysobjects ft on ft.id = r.fkeyid",
         "left join sysobjects rt on rt.id = r.rkeyid",
         "left join dbo.sysusers fu on fu.uid = ft.uid",
         "left join dbo.sysusers ru on ru.uid = rt.uid",
         "left join INFORMATION_SCHEMA.REFERENTIAL_CONSTRAINTS rc on rc.CONSTRAINT_NAME = "
         "fk.name and rc.CONSTRAINT_SCHEMA = fu.name",
         "where isnull(objectproperty(ft.id, 'ISMSShipped'), 1) <> 1",
         "order by ft.name, fk.name"});
  return Lines(
      {"select fk.object_id id, fk.name fk_name,", "fk.parent_object_id, fk.referenced_object_id,",
       "ft.name ft_name, rt.name rt_name,", "fs.name fk_schema, fr.name fr_schema,",
       "fk.update_referential_action, fk.delete_referential_action,",
       "objectproperty(fk.object_id, 'ExecIsQuotedIdentOn') QI,",
       "objectproperty(fk.object_id, 'ExecIsAnsiNullsOn') AN,",
       "objectproperty(fk.object_id, 'CnstIsNotRepl') NR", "from sys.foreign_keys fk",
       "join sys.objects ft on ft.object_id = fk.parent_object_id and ft.type = 'U ' ",
       "join sys.objects rt on rt.object_id = fk.referenced_object_id and rt.type = 'U ' ",
       "join sys.schemas fs on fs.schema_id = ft.schema_id",
       "join sys.schemas fr on fr.schema_id = rt.schema_id",
       "where coalesce(fk.is_ms_shipped, 0) <> 1", toolsFilter, "order by ft.name, fk.name"});
}

std::string ForeignKeyColumns(const TCatalogForm& form) {
  if (!form.Views)
    return Lines({"select fk.constid, fk.fkeyid, fk.rkeyid, fk.fkey, fk.rkey,",
                  "fk.keyno, fc.name fc_name, rc.name rc_name", "from sysforeignkeys fk",
                  "join syscolumns fc on fc.id = fk.fkeyid and fc.colid = fk.fkey",
                  "join syscolumns rc on rc.id = fk.rkeyid and rc.colid = fk.rkey",
                  "where fk.constid = :ID", "order by fk.keyno"});
  return Lines({"select fk.constraint_column_id constid,", "fc.name fc_name, rc.name rc_name",
                "from sys.foreign_key_columns fk",
                "join sys.columns fc on fc.object_id = fk.parent_object_id and fc.column_id = "
                "fk.parent_column_id",
                "join sys.columns rc on rc.object_id = fk.referenced_object_id and rc.column_id = "
                "fk.referenced_column_id",
                "where fk.constraint_object_id = :ID", "order by fk.constraint_column_id"});
}

// ------------------------------------------------------- Checks, defaults

std::string Checks(const TCatalogForm& form, std::string_view toolsFilter) {
  if (!form.Views)
    return Lines({"select o.id, t.name table_name, o.name pk_name, u.name as sch_name,",
                  "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
                  "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN,",
                  "objectproperty(o.id, 'CnstIsNotRepl') NR", "from dbo.sysobjects o",
                  "left join dbo.sysobjects t on t.id = o.parent_obj",
                  "left join dbo.sysusers u on u.uid = t.uid", "where o.xtype = 'C '",
                  "and isnull(objectproperty(t.id, 'ISMSShipped'), 1) <> 1",
                  "order by t.name, o.name"});
  return Lines({"select o.object_id id, t.name table_name, o.name pk_name, s.name as sch_name,",
                "objectproperty(o.object_id, 'ExecIsQuotedIdentOn') QI,",
                "objectproperty(o.object_id, 'ExecIsAnsiNullsOn') AN,",
                "objectproperty(o.object_id, 'CnstIsNotRepl') NR,", "o.definition",
                "from sys.check_constraints o",
                "left join sys.objects t on t.object_id = o.parent_object_id",
                "left join sys.schemas s on s.schema_id = t.schema_id", "where o.type = 'C '",
                "and isnull(objectproperty(t.object_id, 'ISMSShipped'), 1) <> 1", toolsFilter,
                "order by t.name, o.name"});
}

std::string DefaultConstraints(const TCatalogForm& form, std::string_view toolsFilter) {
  // The text is read apart (syscomments): joined here it would repeat the
  // row for every 4000 characters of a long default.
  if (!form.Views)
    return Lines(
        {"select c.constid id, o.name ctr_name, t.name tbl_name,",
         "col.name col_name, u.name as sch_name,",
         "ObjectProperty(c.constid, 'CnstIsNotTrusted') no_check,",
         "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
         "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN", "from sysconstraints c",
         "left join sysobjects o on o.id = c.constid", "left join sysobjects t on t.id = c.id",
         "left join syscolumns col on col.id = t.id and col.colid = c.colid",
         "left join dbo.sysusers u on u.uid = t.uid", "where (c.status & 7) = 5",
         "and isnull(objectproperty(t.id, 'ISMSShipped'), 1) <> 1", "order by t.name, o.name"});
  return Lines({"select c.object_id as id, c.name ctr_name, t.name tbl_name,",
                "col.name col_name, c.definition, s.name sch_name,",
                "ObjectProperty(c.object_id, 'CnstIsNotTrusted') no_check,",
                "objectproperty(c.object_id, 'ExecIsQuotedIdentOn') QI,",
                "objectproperty(c.object_id, 'ExecIsAnsiNullsOn') AN",
                "from sys.default_constraints c",
                "left join sys.objects t on t.object_id = c.parent_object_id",
                "left join sys.schemas s on s.schema_id = t.schema_id",
                "left join sys.columns col on col.object_id = t.object_id and col.column_id = "
                "c.parent_column_id",
                "where coalesce(c.is_ms_shipped, 0) <> 1", toolsFilter, "order by t.name, c.name"});
}

// ------------------------------------------------------------ Roles, users

const std::string_view kHelpRole = "exec sp_helprole";
const std::string_view kHelpUser = "exec sp_helpuser";

// --------------------------------------------------------------- Privileges

std::string ObjectPrivileges(const TCatalogForm& form) {
  // Functions carry privileges too; the columns bitmap limits a SELECT,
  // UPDATE or REFERENCES to some columns. The owner (2000) or schema
  // (later) of the object comes with it.
  if (!form.Views)
    return Lines({"select o.id, p.action, p.protecttype,  o.xtype, o.name obj_name,",
                  "u.name user_name, ou.name schemaname, p.columns", "from sysprotects p",
                  "join sysobjects o on o.id = p.id and o.xtype in ('U ', 'P ','V ', 'FN', 'TF', "
                  "'IF')",
                  "left join sysusers u on u.uid = p.uid",
                  "left join sysusers ou on ou.uid = o.uid",
                  "where isnull(objectproperty(o.id, 'ISMSShipped'), 1) <> 1",
                  "order by o.id, u.name, p.action"});
  std::vector<std::string_view> l = {
      "select o.object_id AS id, p.action, p.protecttype,  o.type xtype, o.name obj_name,"};
  if (form.Subselects)
    Add(l, {"(select value from [fn_listextendedproperty] ('microsoft_database_tools_support', "
            "'SCHEMA', s.name,",
            "CASE (o.type)", " when 'U ' then 'TABLE' ", " when 'P ' then 'PROCEDURE' ",
            " when 'V ' then 'VIEW' ", "ELSE Null END,", " o.name, null, null)) as ms_tools,"});
  Add(l, {" s.name schemaname, o.schema_id,", "u.name user_name, p.columns", "from sysprotects p",
          "join sys.objects o on o.object_id = p.id and o.type in ('U ', 'P ','V ', 'FN', 'TF', "
          "'IF')",
          "left join sys.schemas s on s.schema_id = o.schema_id",
          "left join sysusers u on u.uid = p.uid",
          "where isnull(objectproperty(o.object_id, 'ISMSShipped'), 1) <> 1",
          "order by o.object_id, u.name, p.action"});
  return Lines(l);
}

const std::string_view kStatementPrivileges =
    "select p.action, p.protecttype, u.name user_name\r\n"
    "from sysprotects p\r\n"
    "left join sysusers u on u.uid = p.uid\r\n"
    "where (p.id is Null or p.id = 0)\r\n"
    "order by u.name, p.action";

// ------------------------------------------------------------- Column names

// clang-format off
const char* ColumnName(KeyCol c) {
  return NameOf(std::array<const char*, 17>{"ID", "TABLE_NAME", "PK_NAME", "UQ_NAME", "SCH_NAME",
                                            "FILL_FACTOR", "TYPE", "QI", "AN", "IS_PADDED",
                                            "IGNORE_DUP_KEY", "ALLOW_ROW_LOCKS", "ALLOW_PAGE_LOCKS",
                                            "MS_TOOLS", "IS_SYSTEM_NAMED", "PARENT_OBJECT_ID",
                                            "UNIQUE_INDEX_ID"},
                c);
}
const char* ColumnName(ForeignKeyCol c) {
  return NameOf(std::array<const char*, 13>{"ID", "FK_NAME", "FT_NAME", "RT_NAME", "FK_SCHEMA",
                                            "FR_SCHEMA", "QI", "AN", "NR", "UPDATE_RULE",
                                            "DELETE_RULE", "UPDATE_REFERENTIAL_ACTION",
                                            "DELETE_REFERENTIAL_ACTION"},
                c);
}
const char* ColumnName(ForeignKeyColumnCol c) {
  return NameOf(std::array<const char*, 2>{"FC_NAME", "RC_NAME"}, c);
}
const char* ColumnName(CheckCol c) {
  return NameOf(std::array<const char*, 8>{"ID", "TABLE_NAME", "PK_NAME", "SCH_NAME", "QI", "AN",
                                           "NR", "DEFINITION"},
                c);
}
const char* ColumnName(DefaultConstraintCol c) {
  return NameOf(std::array<const char*, 9>{"ID", "CTR_NAME", "TBL_NAME", "COL_NAME", "DEFINITION",
                                           "SCH_NAME", "NO_CHECK", "QI", "AN"},
                c);
}
const char* ColumnName(RoleCol c) {
  return NameOf(std::array<const char*, 3>{"ROLENAME", "ROLEID", "ISAPPROLE"}, c);
}
const char* ColumnName(UserCol c) {
  return NameOf(std::array<const char*, 4>{"USERNAME", "GROUPNAME", "ROLENAME", "LOGINNAME"}, c);
}
const char* ColumnName(PrivilegeCol c) {
  return NameOf(std::array<const char*, 9>{"ID", "ACTION", "PROTECTTYPE", "XTYPE", "OBJ_NAME",
                                           "MS_TOOLS", "SCHEMANAME", "USER_NAME", "COLUMNS"},
                c);
}
// clang-format on

}  // namespace qor::msq
