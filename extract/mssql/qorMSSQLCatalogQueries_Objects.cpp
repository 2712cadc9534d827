// Texts of the MS SQL catalog queries for views, procedures and functions,
// triggers and indexes.
#include "extract/mssql/qorMSSQLCatalogQueries.h"

namespace qor::msq {

namespace {

void Add(std::vector<std::string_view>& l, std::initializer_list<std::string_view> lines) {
  l.insert(l.end(), lines.begin(), lines.end());
}

}  // namespace

// -------------------------------------------------------------------- Views

std::string Views(const TCatalogForm& form) {
  if (!form.Views)
    return Lines({"Select o.id, o.name, u.name as sch_name,",
                  "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
                  "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN", "from dbo.sysobjects o",
                  "left join dbo.sysusers u on u.uid = o.uid", "where o.xtype = 'V '",
                  "and isnull(objectproperty([id], 'ISMSShipped'), 1) <> 1", "order by o.name"});
  std::vector<std::string_view> l = {
      "Select o.object_id id, o.name, s.name as sch_name, m.definition,"};
  if (form.Subselects)
    Add(l, {"(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,",
            " 'VIEW', o.name, null, null)) as description,"});
  Add(l, {"objectproperty(o.object_id, 'ExecIsQuotedIdentOn') QI,",
          "objectproperty(o.object_id, 'ExecIsAnsiNullsOn') AN", "from sys.views o",
          "left join sys.schemas s on s.schema_id = o.schema_id",
          "left join sys.sql_modules m on m.object_id = o.object_id", "where o.is_ms_shipped = 0",
          "order by o.name"});
  return Lines(l);
}

// --------------------------------------------------- Procedures, functions

std::string Routines(const TCatalogForm& form) {
  if (!form.Views)
    return Lines({"Select o.id, o.name, o.xtype as type, u.name as sch_name,",
                  "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
                  "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN", "from dbo.sysobjects o",
                  "left join dbo.sysusers u on u.uid = o.uid",
                  "where o.xtype in ('P ','FN', 'TF', 'IF')",
                  "and isnull(objectproperty(o.id, 'ISMSShipped'), 1) <> 1", "order by o.name"});
  std::vector<std::string_view> l = {
      "Select o.object_id as id, o.name, o.type, m.definition, s.name as sch_name,"};
  if (form.Subselects)
    Add(l, {"(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,",
            " 'PROCEDURE', o.name, null, null)) as description,",
            "(select value from [fn_listextendedproperty] ('microsoft_database_tools_support', "
            "'SCHEMA', s.name,",
            " 'PROCEDURE', o.name, null, null)) as MS_Tools,"});
  Add(l,
      {"cast(m.uses_quoted_identifier as integer) QI,", "cast(m.uses_ansi_nulls as integer) AN",
       "from sys.procedures o", "left join sys.schemas s on s.schema_id = o.schema_id",
       "left join sys.sql_modules m on m.object_id = o.object_id", "where o.is_ms_shipped = 0",
       "union all", "select o.object_id as id, o.name, o.type, m.definition, s.name as sch_name,"});
  if (form.Subselects)
    Add(l, {"(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,",
            " 'FUNCTION', o.name, null, null)) as description,",
            "(select value from [fn_listextendedproperty] ('microsoft_database_tools_support', "
            "'SCHEMA', s.name,",
            " 'FUNCTION', o.name, null, null)) as MS_Tools,"});
  Add(l, {"cast(m.uses_quoted_identifier as integer) QI,", "cast(m.uses_ansi_nulls as integer) AN",
          "from sys.objects o", "left join sys.schemas s on s.schema_id = o.schema_id",
          "join sys.sql_modules m on m.object_id = o.object_id",
          "where o.type in('FN', 'TF', 'IF')", "and o.is_ms_shipped = 0"});
  return Lines(l);
}

// ----------------------------------------------------------------- Triggers

std::string Triggers(const TCatalogForm& form) {
  // The 2000 form names the owner of the trigger's table too: two owners
  // may hold tables of one name.
  if (!form.Views)
    return Lines({"select o.id, o.name TRG_NAME, t.name TBL_NAME, u.name as sch_name,",
                  "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
                  "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN,",
                  "objectproperty(o.id, 'ExecIsTriggerNotForRepl') NR", "from sysobjects o",
                  "left join sysobjects t on t.id = o.parent_obj",
                  "left join dbo.sysusers u on u.uid = t.uid", "where o.xtype = 'TR'",
                  "and isnull(objectproperty(o.id, 'ISMSShipped'), 1) <> 1", "order by o.name"});
  std::vector<std::string_view> l = {
      "select o.object_id id, o.name TRG_NAME, t.name TBL_NAME, o.parent_class, s.name as sch_name,"};
  if (form.Subselects)
    Add(l, {"(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,",
            " 'TABLE', t.name, 'TRIGGER', o.name) where o.parent_class = 1", "union",
            "select value from [fn_listextendedproperty] ('MS_Description', 'TRIGGER', o.name,",
            " Null, Null, Null, Null) where o.parent_class = 0) as description,"});
  Add(l, {"cast(o.is_disabled as integer) is_disabled, m.definition,",
          "cast(o.is_not_for_replication as integer) NR,",
          "cast(o.is_instead_of_trigger as integer) is_instead_of_trigger,",
          "cast(m.uses_quoted_identifier as integer) QI,", "cast(m.uses_ansi_nulls as integer) AN",
          "from sys.triggers o", "left join sys.objects t on t.object_id = o.parent_id",
          "left join sys.schemas s on s.schema_id = t.schema_id",
          "left join sys.sql_modules m on m.object_id = o.object_id", "where o.type = 'TR'",
          "and o.is_ms_shipped = 0", "order by o.name"});
  return Lines(l);
}

// ------------------------------------------------------------------ Indexes

std::string Indexes(const TCatalogForm& form) {
  // A key constraint is told from an index of the same name by its table.
  if (!form.Views)
    return Lines({"select i.name idx_name, o.name tbl_name,  u.name sch_name,",
                  "i.indid id, i.OrigFillFactor, (i.status & 2) as is_unique, o.type otype,",
                  "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
                  "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN,",
                  "IndexProperty(o.id, i.name, 'IsPadIndex') IsPadIndex,",
                  "IndexProperty(o.id, i.name, 'IsStatistics') IsStatistics,",
                  "IndexProperty(o.id, i.name, 'IsAutoStatistics') IsAutoStatistics,",
                  "g.groupname FileGroupName", "from dbo.sysindexes i",
                  "join dbo.sysobjects o on o.id = i.id and (o.xtype <> 'S')",
                  "left join dbo.sysusers u on u.uid = o.uid",
                  "left join dbo.sysfilegroups g on g.groupid = i.groupid",
                  "where i.indid > 0 and i.indid < 255 and ((i.status & 64) = 0)",
                  "and not exists (select c.name from sysobjects c",
                  "where c.parent_obj = i.id and c.name = i.name and c.xtype in ('PK','F', 'UQ'))",
                  "and isnull(objectproperty(o.id, 'ISMSShipped'), 1) <> 1",
                  "order by o.name, i.name"});
  std::vector<std::string_view> l = {
      "select i.name idx_name, o.name tbl_name, s.name sch_name,",
      "i.index_id id, i.object_id, i.fill_factor as OrigFillFactor, i.type, o.type otype,",
      "objectproperty(o.object_id, 'ExecIsQuotedIdentOn') QI,",
      "objectproperty(o.object_id, 'ExecIsAnsiNullsOn') AN,",
      "cast(i.is_padded as integer) IsPadIndex, cast(i.is_unique as integer) is_unique,",
      "IndexProperty(o.object_id, i.name, 'IsStatistics') IsStatistics,",
      "IndexProperty(o.object_id, i.name, 'IsAutoStatistics') IsAutoStatistics,"};
  if (form.Subselects)
    Add(l, {"(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,",
            " 'TABLE', o.name, 'INDEX', i.name) where o.type = 'U ' ", "union",
            "select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,",
            " 'VIEW', o.name, 'INDEX', i.name) where o.type = 'V ' ) as description,"});
  Add(l, {"g.name FileGroupName, i1.secondary_type, i1.using_xml_index_id, x1.name idx1_name,",
          "i.ignore_dup_key, i.is_disabled, i.allow_row_locks, i.allow_page_locks,"});
  if (form.Filters) l.emplace_back("i.has_filter, i.filter_definition,");
  Add(l,
      {"i.is_hypothetical", "from sys.indexes i",
       "join sys.objects o on o.object_id = i.object_id and (o.type <> 'S ')",
       "left join sys.xml_indexes i1 on i1.object_id = i.object_id and i1.index_id = i.index_id",
       "                                and i.type = 3 and i1.type=3",
       "left join sys.indexes x1 on x1.object_id=i.object_id and x1.index_id = i1.using_xml_index_id",
       "                            and x1.type=3 and i1.type=3",
       "left join sys.schemas s on s.schema_id = o.schema_id",
       "left join sys.data_spaces g on g.data_space_id = i.data_space_id",
       "where i.index_id > 0 and i.type > 0",
       "and coalesce(i.is_primary_key, 0) = 0 and coalesce(i.is_unique_constraint, 0) = 0",
       "and coalesce(o.is_ms_shipped, 0) = 0", "order by o.name, i.name"});
  return Lines(l);
}

// Included columns have no key ordinal: they keep the order they were
// declared in.
const std::string_view kIndexColumns =
    "select ic.column_id, cast(ic.is_included_column as integer) is_included_column, "
    "ic.key_ordinal, oc.name,\r\n"
    "cast(ic.is_descending_key as integer) is_descending_key\r\n"
    "from sys.index_columns ic\r\n"
    "join sys.columns oc on oc.object_id = ic.object_id and oc.column_id = ic.column_id\r\n"
    "where ic.object_id = :OBJECT_ID\r\n"
    "and ic.index_id = :INDEX_ID\r\n"
    "order by ic.is_included_column, ic.key_ordinal, ic.index_column_id";

const std::string_view kHelpIndex = "exec sp_helpindex :TABLE";

// ------------------------------------------------------------- Column names

// clang-format off
const char* ColumnName(ViewCol c) {
  return NameOf(std::array<const char*, 7>{"ID", "NAME", "SCH_NAME", "DEFINITION", "DESCRIPTION",
                                           "QI", "AN"},
                c);
}
const char* ColumnName(RoutineCol c) {
  return NameOf(std::array<const char*, 9>{"ID", "NAME", "TYPE", "DEFINITION", "SCH_NAME",
                                           "DESCRIPTION", "MS_TOOLS", "QI", "AN"},
                c);
}
const char* ColumnName(TriggerCol c) {
  return NameOf(std::array<const char*, 10>{"ID", "TRG_NAME", "TBL_NAME", "PARENT_CLASS", "SCH_NAME",
                                            "DESCRIPTION", "DEFINITION", "NR", "QI", "AN"},
                c);
}
const char* ColumnName(IndexCol c) {
  return NameOf(std::array<const char*, 21>{"IDX_NAME", "TBL_NAME", "SCH_NAME", "ID", "OBJECT_ID",
                                            "ORIGFILLFACTOR", "TYPE", "OTYPE", "QI", "AN",
                                            "ISPADINDEX", "IS_UNIQUE", "DESCRIPTION",
                                            "FILEGROUPNAME", "SECONDARY_TYPE", "IDX1_NAME",
                                            "IGNORE_DUP_KEY", "ALLOW_ROW_LOCKS", "ALLOW_PAGE_LOCKS",
                                            "HAS_FILTER", "FILTER_DEFINITION"},
                c);
}
const char* ColumnName(IndexColumnCol c) {
  return NameOf(std::array<const char*, 3>{"NAME", "IS_INCLUDED_COLUMN", "IS_DESCENDING_KEY"}, c);
}
const char* ColumnName(HelpIndexCol c) {
  return NameOf(std::array<const char*, 2>{"INDEX_NAME", "INDEX_KEYS"}, c);
}
// clang-format on

}  // namespace qor::msq
