// Texts of the MS SQL catalog queries.
#include "extract/mssql/qorMSSQLCatalogQueries.h"

#include "platform/qorStrings.h"

#include <array>
#include <vector>

namespace qor::msq {

namespace {

constexpr std::string_view kCrlf = "\r\n";

std::string Join(const std::vector<std::string_view>& lines) {
  std::string s;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) s += kCrlf;
    s += lines[i];
  }
  return s;
}

}  // namespace

std::string Lines(std::initializer_list<std::string_view> lines) { return Join(lines); }
std::string Lines(const std::vector<std::string_view>& lines) { return Join(lines); }

// ------------------------------------------------------ Database properties

std::string CharSet(const std::string& databaseName) {
  return Lines({"select DEFAULT_CHARACTER_SET_NAME", "from INFORMATION_SCHEMA.SCHEMATA",
                "where CATALOG_NAME = " + QuotedStr(databaseName)});
}

std::string DatabaseProperties(const std::string& databaseName) {
  struct Property {
    const char* name;
    const char* type;
    const char* alias;
  };
  static constexpr Property kProperties[] = {
      {"Collation", "nvarchar(128)", "Collation"},
      {"IsAnsiNullDefault", "Integer", "AnsiNullDefault"},
      {"IsAnsiNullsEnabled", "Integer", "AnsiNullsEnabled"},
      {"IsQuotedIdentifiersEnabled", "Integer", "QuotedIdentifiersEnabled"},
      {"IsRecursiveTriggersEnabled", "Integer", "RecursiveTriggersEnabled"},
      {"Version", "Integer", "Version"},
  };
  std::string s = "SELECT";
  bool first = true;
  for (const Property& p : kProperties) {
    s += first ? std::string(kCrlf) : "," + std::string(kCrlf);
    first = false;
    s += "Cast(DATABASEPROPERTYEX(" + QuotedStr(databaseName) + ", " + QuotedStr(p.name) + ") as " +
         p.type + ") " + p.alias;
  }
  return s;
}

const std::string_view kCompatibilityLevel =
    "select cmptlevel from master.dbo.sysdatabases where name = :NAME";

const std::string_view kProductName = "master.dbo.xp_msver 'ProductName'";

const std::string_view kServerProperties =
    "Select ServerProperty('Edition') Edition, ServerProperty('ProductLevel') ProductLevel, "
    "ServerProperty('ProductVersion') ProductVersion";

// ---------------------------------------------------- Extended properties

std::string ExtendedProperty(std::string_view property, std::string_view level0Type,
                             std::string_view level1Type, std::string_view level2Type) {
  // Schema-qualified, so that the call needs no "::" (which the parameter
  // markers would read as an escaped colon) on any compatibility level.
  std::string s = "select value from sys.fn_listextendedproperty(" + QuotedStr(property);
  const std::string_view types[] = {level0Type, level1Type, level2Type};
  for (int level = 0; level < 3; ++level) {
    const std::string_view type = types[level];
    if (type.empty()) {
      s += ", null, null";
      continue;
    }
    s += ", " + QuotedStr(type) + ", :LEVEL" + std::to_string(level) + "NAME";
  }
  return s + ")";
}

// -------------------------------------------------------------- Stored text

std::string CommentsText(bool column) {
  std::vector<std::string_view> l = {"Select c.id, c.colid, c.text", "from syscomments c",
                                     "where c.id = :ID"};
  if (column) l.push_back("and c.number = :NUMBER");
  l.push_back("order by c.colid");
  return Join(l);
}

// ------------------------------------------------------------- Dependencies

const std::string_view kDependencies =
    "select d.id, d.depid, o1.xtype, o2.xtype, o1.name o1name, o2.name o2name\r\n"
    "from sysdepends d\r\n"
    "left join sysobjects o1 on o1.id = d.id\r\n"
    "left join sysobjects o2 on o2.id = d.depid\r\n"
    "where isnull(objectproperty(d.id, 'ISMSShipped'), 1) <> 1\r\n"
    "and isnull(objectproperty(d.depid, 'ISMSShipped'), 1) <> 1";

// ------------------------------------------------------------------ Schemas

const std::string_view kSchemas =
    "select s.name, s.schema_id, s.principal_id,\r\n"
    "(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,\r\n"
    " null, null, null, null)) as description,\r\n"
    "p.name pname\r\n"
    "from sys.schemas s\r\n"
    "left join sys.database_principals p on p.principal_id = s.principal_id";

// --------------------------------------------------------------- User types

const std::string_view kUserDatatypes =
    "select u.name, u.xtype, u.xusertype, t.xtype type_xtype, t.name type_name,\r\n"
    "u.length, u.prec, u.scale, u.allownulls nullable, s.name as sch_name\r\n"
    "from dbo.systypes u\r\n"
    "left join dbo.systypes t on t.xtype = u.xtype and t.xtype=t.xusertype\r\n"
    "left join dbo.sysusers s on s.uid = u.uid\r\n"
    "where u.xtype <> u.xusertype and u.name <> 'sysname'\r\n"
    "order by u.name";

std::string Types(const TCatalogForm& form) {
  std::vector<std::string_view> l = {"select t.user_type_id, t.name, s.name as sch_name,",
                                     "cast(t.is_nullable as integer) is_nullable,",
                                     "st.name as sys_name, t.max_length, t.precision, t.scale,"};
  if (form.Subselects) {
    l.push_back(
        "(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,");
    l.push_back(" 'TYPE', t.name, null, null)) as description,");
  }
  for (std::string_view line :
       {"t.collation_name", "from sys.types t",
        "left join sys.types st on st.system_type_id = t.system_type_id",
        "and st.user_type_id = t.system_type_id",
        "left join sys.schemas s on s.schema_id = t.schema_id", "where t.is_user_defined = 1"})
    l.push_back(line);
  return Join(l);
}

std::string XmlSchemaCollections(const TCatalogForm& form) {
  std::vector<std::string_view> l = {
      "select c.xml_collection_id as id, c.name, s.name as sch_name,"};
  if (form.Subselects) {
    l.push_back(
        "(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,");
    l.push_back(" 'XML SCHEMA COLLECTION', c.name, null, null)) as description,");
  }
  for (std::string_view line :
       {"(select xml_schema_namespace(s.name,c.name)) as xml_expr",
        "from sys.xml_schema_collections c", "left join sys.schemas s on s.schema_id = c.schema_id",
        "where (not (c.name = 'sys' and s.name = 'sys'))"})
    l.push_back(line);
  return Join(l);
}

// --------------------------------------------------------- Defaults, rules

namespace {

// On the catalog views the owner of an object is its schema; the 2000
// tables name the owning user. The compatibility view sysobjects of a
// later server holds a schema id in its uid column, which sysusers does not
// know, so the views are read there.
std::string BoundObjects(const TCatalogForm& form, bool rules) {
  if (form.Views) {
    // clang-format off
    std::vector<std::string_view> l = {
        "select o.object_id as id, o.name, s.name as sch_name,",
        "objectproperty(o.object_id, 'ExecIsQuotedIdentOn') QI,",
        "objectproperty(o.object_id, 'ExecIsAnsiNullsOn') AN", "from sys.objects o",
        "left join sys.schemas s on s.schema_id = o.schema_id"};
    // clang-format on
    if (rules) {
      l.push_back("where o.type = 'R'");
    } else {
      // A column's default constraint has its table as parent.
      l.push_back("where (o.type = 'D')");
      l.push_back("and o.parent_object_id = 0");
    }
    l.push_back("order by o.name");
    return Join(l);
  }
  // clang-format off
  std::vector<std::string_view> l = {"select o.id, o.name, u.name as sch_name,",
                                     "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
                                     "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN",
                                     "from dbo.sysobjects o",
                                     "left join dbo.sysusers u on u.uid = o.uid"};
  // clang-format on
  if (rules) {
    l.push_back("where o.xtype = 'R'");
  } else {
    l.push_back("where (o.xtype = 'D')");
    l.push_back("and o.id not in (select c.constid from sysconstraints c)");
  }
  l.push_back("order by o.name");
  return Join(l);
}

}  // namespace

std::string Defaults(const TCatalogForm& form) { return BoundObjects(form, /*rules=*/false); }
std::string Rules(const TCatalogForm& form) { return BoundObjects(form, /*rules=*/true); }

// ------------------------------------------------------------------- Tables

std::string Tables(const TCatalogForm& form) {
  if (!form.Views)
    return Lines({"Select o.id, o.name, u.name as schemaname, u.uid schema_id,",
                  "objectproperty(o.id, 'ExecIsQuotedIdentOn') QI,",
                  "objectproperty(o.id, 'ExecIsAnsiNullsOn') AN,",
                  "objectproperty(o.id, 'TableHasRowGuidCol') RG", "from dbo.sysobjects o",
                  "left join dbo.sysusers u on u.uid = o.uid", "where o.xtype = 'U '",
                  "and isnull(objectproperty(o.id, 'ISMSShipped'), 1) <> 1", "order by o.name"});
  std::vector<std::string_view> l = {
      "Select o.object_id as id, o.name, s.name schemaname, o.schema_id,"};
  if (form.Subselects) {
    l.push_back(
        "(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', s.name,");
    l.push_back(" 'TABLE', o.name, null, null)) as description,");
    l.push_back(
        "(select value from [fn_listextendedproperty] ('microsoft_database_tools_support', "
        "'SCHEMA', s.name,");
    l.push_back(" 'TABLE', o.name, null, null)) as ms_tools,");
  }
  for (std::string_view line :
       {"objectproperty(o.object_id, 'ExecIsQuotedIdentOn') QI,",
        "objectproperty(o.object_id, 'ExecIsAnsiNullsOn') AN,",
        "objectproperty(o.object_id, 'TableHasRowGuidCol') RG", "from sys.objects o",
        "left join sys.schemas s on s.schema_id = o.schema_id", "where o.type = 'U '",
        "and o.is_ms_shipped = 0", "order by s.name, o.name"})
    l.push_back(line);
  return Join(l);
}

std::string TableColumns(const TCatalogForm& form) {
  if (!form.Views)
    return Lines({
        "select c.colid, c.name COLUMN_NAME, t.name TYPE_NAME, c.isnullable NULLABLE, c.length,",
        "collation_name = BCPCollationName(c.tdscollation, c.xtype),",
        "c.status, c.xprec, c.xscale, t.prec, t.scale,",
        "IDENT_SEED(:NAME1) SEED,",
        "IDENT_INCR(:NAME2) INCR, u.name as type_schema,",
        "c.prec cprec, c.scale cscale, t.xusertype as user_type_id, t.xtype as system_type_id,",
        // The column's own flag: a table with a ROWGUIDCOL may hold other
        // uniqueidentifier columns.
        "columnproperty(c.id, c.name, 'IsRowGuidCol') is_rowguidcol,",
        "(select cast(1 as bit) where exists(select sc.colid from dbo.syscomments sc",
        "where sc.id = c.id and sc.colid = 1 and sc.number = c.colid)) as is_computed",
        "from syscolumns c",
        "left join systypes t on t.xusertype=c.xusertype",
        "left join dbo.sysusers u on u.uid = t.uid",
        "where c.id = :ID",
        "order by c.colorder",
    });
  std::vector<std::string_view> l = {
      "select c.column_id as colid, c.name COLUMN_NAME, t.name TYPE_NAME, ",
      "cast(c.is_nullable as integer) NULLABLE, c.max_length as length,",
      "c.collation_name, c.is_rowguidcol, t.system_type_id, t.user_type_id, ts.name type_schema,"};
  if (form.Subselects) {
    l.push_back(
        "(select value from [fn_listextendedproperty] ('MS_Description', 'SCHEMA', :SNAME,");
    l.push_back(" 'TABLE', :TNAME, 'COLUMN', c.name)) as description,");
  }
  for (std::string_view line : {
           "cast(c.is_identity as integer) is_identity, c.is_computed,",
           "t.precision as t_prec, t.scale as t_scale, ic.is_not_for_replication,",
           "ic.seed_value as SEED, ic.increment_value as INCR,",
           "c.precision cprec, c.scale cscale, c.is_xml_document,",
           "c.xml_collection_id, x.name as xml_col_name, xs.name xml_schema,",
           "c.is_computed, cc.definition as computed_expr, cc.is_persisted,",
           "cc.uses_database_collation",
           "from sys.columns c",
           "left join sys.types t on t.user_type_id = c.user_type_id",
           "left join sys.schemas ts on ts.schema_id = t.schema_id",
           "left join sys.identity_columns ic on ic.object_id = c.object_id and ic.column_id = "
           "c.column_id",
           "left join sys.xml_schema_collections x on x.xml_collection_id = c.xml_collection_id",
           "left join sys.schemas xs on xs.schema_id = x.schema_id",
           "left join sys.computed_columns cc on cc.object_id = c.object_id and cc.column_id = "
           "c.column_id",
           "where c.object_id = :ID",
           "order by c.column_id",
       })
    l.push_back(line);
  return Join(l);
}

// Index 0 is the heap, 1 the clustered index: the rows that hold the data.
const std::string_view kTableFileGroup =
    "SELECT FILEGROUP_NAME( i.groupid ) AS FileGroupName,\r\n"
    "       OBJECT_NAME( i.\"id\" ) AS TableName,\r\n"
    "       i.\"name\" AS IndexName\r\n"
    "FROM sysindexes AS i\r\n"
    "WHERE i.indid IN ( 0 , 1 ) And\r\n"
    "i.id = :ID\r\n"
    "ORDER BY FileGroupName , TableName , IndexName";

// ------------------------------------------------------------- Column names

// clang-format off
const char* ColumnName(CharSetCol c) {
  return NameOf(std::array<const char*, 1>{"DEFAULT_CHARACTER_SET_NAME"}, c);
}
const char* ColumnName(DatabaseCol c) {
  return NameOf(std::array<const char*, 6>{"COLLATION", "ANSINULLDEFAULT", "ANSINULLSENABLED",
                                           "QUOTEDIDENTIFIERSENABLED", "RECURSIVETRIGGERSENABLED",
                                           "VERSION"},
                c);
}
const char* ColumnName(ProductNameCol c) {
  return NameOf(std::array<const char*, 1>{"CHARACTER_VALUE"}, c);
}
const char* ColumnName(ServerCol c) {
  return NameOf(std::array<const char*, 3>{"EDITION", "PRODUCTLEVEL", "PRODUCTVERSION"}, c);
}
const char* ColumnName(CommentsCol c) {
  return NameOf(std::array<const char*, 3>{"ID", "COLID", "TEXT"}, c);
}
const char* ColumnName(DependencyCol c) {
  return NameOf(std::array<const char*, 2>{"ID", "DEPID"}, c);
}
const char* ColumnName(SchemaCol c) {
  return NameOf(std::array<const char*, 5>{"NAME", "SCHEMA_ID", "PRINCIPAL_ID", "DESCRIPTION", "PNAME"},
                c);
}
const char* ColumnName(UserDatatypeCol c) {
  return NameOf(std::array<const char*, 7>{"NAME", "TYPE_NAME", "LENGTH", "PREC", "SCALE", "NULLABLE",
                                           "SCH_NAME"},
                c);
}
const char* ColumnName(TypeCol c) {
  return NameOf(std::array<const char*, 10>{"USER_TYPE_ID", "NAME", "SCH_NAME", "IS_NULLABLE", "SYS_NAME",
                                            "MAX_LENGTH", "PRECISION", "SCALE", "DESCRIPTION",
                                            "COLLATION_NAME"},
                c);
}
const char* ColumnName(XmlCollectionCol c) {
  return NameOf(std::array<const char*, 5>{"ID", "NAME", "SCH_NAME", "DESCRIPTION", "XML_EXPR"}, c);
}
const char* ColumnName(BoundObjectCol c) {
  return NameOf(std::array<const char*, 5>{"ID", "NAME", "SCH_NAME", "QI", "AN"}, c);
}
const char* ColumnName(TableCol c) {
  return NameOf(std::array<const char*, 8>{"ID", "NAME", "SCHEMANAME", "DESCRIPTION", "MS_TOOLS", "QI",
                                           "AN", "RG"},
                c);
}
const char* ColumnName(ColumnCol c) {
  return NameOf(
      std::array<const char*, 23>{"COLID", "COLUMN_NAME", "TYPE_NAME", "NULLABLE", "LENGTH",
                                  "IS_ROWGUIDCOL", "SYSTEM_TYPE_ID", "USER_TYPE_ID", "TYPE_SCHEMA",
                                  "DESCRIPTION", "IS_IDENTITY", "IS_COMPUTED", "SEED", "INCR",
                                  "CPREC", "CSCALE", "IS_XML_DOCUMENT", "XML_COLLECTION_ID",
                                  "XML_COL_NAME", "XML_SCHEMA", "COMPUTED_EXPR", "IS_PERSISTED",
                                  "STATUS"},
      c);
}
const char* ColumnName(FileGroupCol c) {
  return NameOf(std::array<const char*, 1>{"FILEGROUPNAME"}, c);
}
// clang-format on

}  // namespace qor::msq
