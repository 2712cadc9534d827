// Texts of the InterBase/Firebird catalog queries.
#include "extract/ib/qorIBCatalogQueries.h"

namespace qor::ibq {

namespace {

const char* Pick(bool has, const char* column, const char* placeholder) {
  return has ? column : placeholder;
}

constexpr std::string_view kIgnoreIBE = " and rdb$relation_name not like 'IBE$%' ";

bool All(TRowScope scope) { return scope == TRowScope::AllObjects; }

}  // namespace

// The rows stand in the order 1, 2, 6 ... 12, 14, 15, 16, 13, 17 ... 28.
// clang-format off
const std::string_view kProbe =
    " select cast(1 as integer) Typ, cast(d.rdb$character_set_name as varchar(64)) Val1,"
    " cast(c.rdb$default_collate_name as varchar(64)) Val2"
    "  from rdb$database d left join rdb$character_sets c"
    " ON (d.rdb$character_set_name = c.rdb$character_set_name)"
#define QOR_COLUMN_ROW(n, rel, fld)                                                        \
  " union select cast(" #n " as integer),  cast(rdb$relation_name as varchar(64)),"        \
  " cast(rdb$field_name as varchar(64)) from rdb$relation_fields where (rdb$relation_name" \
  " = '" rel "') and (rdb$field_name = '" fld "')"
#define QOR_RELATION_ROW(n, rel)                                                      \
  " union select cast(" #n " as integer), cast(rdb$relation_name as varchar(64)),"    \
  " cast(' ' as varchar(64))  from rdb$relations where (rdb$relation_name = '" rel "')"
    QOR_COLUMN_ROW(2, "RDB$FIELDS", "RDB$FIELD_PRECISION")
    QOR_COLUMN_ROW(6, "RDB$RELATIONS", "RDB$RELATION_TYPE")
    QOR_COLUMN_ROW(7, "RDB$GENERATORS", "RDB$DESCRIPTION")
    QOR_COLUMN_ROW(8, "RDB$ROLES", "RDB$DESCRIPTION")
    QOR_COLUMN_ROW(9, "RDB$ROLES", "RDB$SYSTEM_FLAG")
    QOR_RELATION_ROW(10, "RDB$ROLES")
    QOR_COLUMN_ROW(11, "RDB$REF_CONSTRAINTS", "RDB$UPDATE_RULE")
    QOR_COLUMN_ROW(12, "RDB$REF_CONSTRAINTS", "RDB$DELETE_RULE")
    QOR_COLUMN_ROW(14, "RDB$PROCEDURE_PARAMETERS", "RDB$PARAMETER_MECHANISM")
    QOR_COLUMN_ROW(15, "RDB$PROCEDURE_PARAMETERS", "RDB$DEFAULT_SOURCE")
    QOR_COLUMN_ROW(16, "RDB$PROCEDURE_PARAMETERS", "RDB$COLLATION_ID")
    QOR_COLUMN_ROW(13, "RDB$FUNCTION_ARGUMENTS", "RDB$FIELD_PRECISION")
    QOR_COLUMN_ROW(17, "RDB$RELATION_FIELDS", "RDB$GENERATOR_NAME")
    QOR_COLUMN_ROW(18, "RDB$RELATION_FIELDS", "RDB$IDENTITY_TYPE")
    QOR_COLUMN_ROW(19, "RDB$PROCEDURE_PARAMETERS", "RDB$RELATION_NAME")
    QOR_COLUMN_ROW(20, "RDB$GENERATORS", "RDB$GENERATOR_INCREMENT")
    QOR_COLUMN_ROW(21, "RDB$PROCEDURE_PARAMETERS", "RDB$NULL_FLAG")
    QOR_COLUMN_ROW(22, "RDB$FUNCTIONS", "RDB$FUNCTION_SOURCE")
    QOR_COLUMN_ROW(23, "RDB$FUNCTION_ARGUMENTS", "RDB$ARGUMENT_NAME")
    QOR_COLUMN_ROW(24, "RDB$FUNCTION_ARGUMENTS", "RDB$DESCRIPTION")
    QOR_RELATION_ROW(25, "RDB$PACKAGES")
    QOR_COLUMN_ROW(26, "RDB$PROCEDURES", "RDB$PACKAGE_NAME")
    QOR_COLUMN_ROW(27, "RDB$COLLATIONS", "RDB$BASE_COLLATION_NAME")
    QOR_COLUMN_ROW(28, "RDB$FUNCTIONS", "RDB$OWNER_NAME");
#undef QOR_COLUMN_ROW
#undef QOR_RELATION_ROW
// clang-format on

std::string Functions(const TIBCatalogCaps& caps) {
  std::string s =
      "select rdb$function_name, rdb$description, rdb$module_name, rdb$entrypoint,"
      " rdb$return_argument, ";
  s += Pick(caps.HasFunctionSource, "rdb$function_source",
            "cast(null as blob sub_type 1) rdb$function_source");
  s += "\r\nfrom rdb$functions"
       "\r\nwhere (rdb$system_flag<>1 or rdb$system_flag is null)";
  if (caps.HasProcedurePackage) s += "\r\nAND RDB$PACKAGE_NAME IS NULL";
  s += "\r\norder by rdb$function_name";
  return s;
}

namespace {

// A PSQL function, as the functions reader tells them: source text and
// neither entry point nor module.
constexpr std::string_view kPsqlFunction =
    "coalesce(trim(FN.rdb$entrypoint), '') = '' and coalesce(trim(FN.rdb$module_name), '') = ''";

}  // namespace

std::string FunctionArguments(const TIBCatalogCaps& caps, TRowScope scope) {
  std::string s = " SELECT";
  if (caps.HasArgumentName) {
    // An argument of a domain type carries its type in the domain.
    for (const char* c :
         {"Field_Type", "Field_Length", "Field_Scale", "Field_Sub_Type", "Character_Set_ID"}) {
      s += std::string(" CASE WHEN (A.RDB$FIELD_SOURCE IS NULL) THEN A.Rdb$") + c + " ELSE F.Rdb$" +
           c + " END AS Rdb$" + c + ",";
    }
    s += " ";
  } else {
    s += " A.Rdb$Field_Type, A.Rdb$Field_Length, A.Rdb$Field_Scale,"
         " A.Rdb$Field_Sub_Type, A.Rdb$Character_Set_ID, ";
  }
  s += " A.Rdb$Mechanism, A.Rdb$Argument_Position,";
  s += Pick(caps.HasArgumentPrecision, " A.Rdb$Field_Precision,",
            " cast(null as smallint) Rdb$Field_Precision,");
  s += Pick(caps.HasArgumentName, " A.RDB$ARGUMENT_NAME, A.RDB$FIELD_SOURCE,",
            " cast(null as char(31)) RDB$ARGUMENT_NAME, cast(null as char(31)) RDB$FIELD_SOURCE,");
  s += Pick(caps.HasArgumentDescription, " A.RDB$DESCRIPTION,",
            " cast(null as blob sub_type 1) RDB$DESCRIPTION,");
  s += " C.RDB$Character_Set_Name, C.RDB$Bytes_Per_Character,";
  // PSQL functions (the generation with argument names) keep defaults.
  s += Pick(caps.HasArgumentName, " A.RDB$DEFAULT_SOURCE",
            " cast(null as blob sub_type 1) RDB$DEFAULT_SOURCE");
  s += ", A.Rdb$Function_Name";
  s += " from Rdb$Function_Arguments A";
  if (caps.HasArgumentName) {
    s += " LEFT JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME=A.RDB$FIELD_SOURCE"
         " LEFT JOIN Rdb$Character_Sets C ON C.Rdb$Character_Set_ID="
         "CASE WHEN (A.RDB$FIELD_SOURCE IS NULL) THEN A.Rdb$Character_Set_ID"
         " ELSE F.Rdb$Character_Set_ID END";
  } else {
    s += " LEFT JOIN Rdb$Character_Sets C ON C.Rdb$Character_Set_ID=A.Rdb$Character_Set_ID";
  }
  if (!All(scope)) {
    s += " where A.Rdb$Function_Name = :NAME";
    if (caps.HasProcedurePackage) s += " and A.RDB$PACKAGE_NAME IS NULL";
    return s + " Order by A.Rdb$Argument_Position";
  }
  s += " JOIN RDB$FUNCTIONS FN ON FN.RDB$FUNCTION_NAME = A.RDB$FUNCTION_NAME"
       " where (FN.rdb$system_flag<>1 or FN.rdb$system_flag is null)";
  if (caps.HasProcedurePackage)
    s += " and A.RDB$PACKAGE_NAME IS NULL and FN.RDB$PACKAGE_NAME IS NULL";
  // PSQL functions read their arguments as parameters where the catalog
  // has their names.
  if (caps.HasFunctionSource && caps.HasArgumentName)
    s += " and not (" + std::string(kPsqlFunction) + ")";
  return s + " Order by A.Rdb$Function_Name, A.Rdb$Argument_Position";
}

std::string Domains(const TIBCatalogCaps& caps) {
  std::string s =
      "select F.rdb$field_name, F.rdb$field_type, F.rdb$field_sub_type, F.rdb$default_source,"
      " F.rdb$field_length, F.rdb$character_length, F.rdb$computed_source, F.rdb$null_flag, ";
  s += Pick(caps.HasFieldPrecision, "F.rdb$field_precision",
            "cast(null as smallint) rdb$field_precision");
  s += ", F.rdb$field_scale, F.rdb$segment_length, F.rdb$character_set_id,"
       " (Select C.Rdb$Character_Set_Name from Rdb$Character_Sets C"
       " where C.Rdb$Character_Set_ID=F.Rdb$Character_Set_ID) RDB$CHARACTER_SET_NAME,"
       " (Select C1.Rdb$Collation_Name from Rdb$Collations C1"
       " where C1.Rdb$Character_Set_ID=F.Rdb$Character_Set_ID"
       " and C1.Rdb$Collation_ID=F.Rdb$Collation_ID) RDB$COLLATION_NAME,"
       " F.rdb$collation_id, F.rdb$description, F.rdb$validation_source, F.rdb$dimensions"
       " from RDB$fields F where (F.rdb$system_flag<>1 or F.rdb$system_flag is null)"
       " and (F.rdb$field_name not like 'RDB$%') order by F.rdb$field_name ";
  return s;
}

namespace {

// The user tables: the count and the list read the same rows.
std::string TableFilter(bool ignoreIBE) {
  std::string s =
      " from rdb$relations \r\n"
      " where (rdb$system_flag <> 1 or Rdb$System_Flag is null) \r\n and Rdb$View_BLR is null ";
  if (ignoreIBE) s += "\r\n" + std::string(kIgnoreIBE);
  return s;
}

}  // namespace

std::string TableCount(bool ignoreIBE) { return " select Count(*)\r\n" + TableFilter(ignoreIBE); }

std::string Tables(const TIBCatalogCaps& caps, bool ignoreIBE) {
  std::string s = " select rdb$Relation_Name, Rdb$Description, rdb$External_File,\r\n";
  s += Pick(caps.HasRelationType, " rdb$Relation_Type\r\n",
            " cast(null as smallint) rdb$Relation_Type\r\n");
  s += TableFilter(ignoreIBE);
  s += "\r\n order by rdb$relation_name ";
  return s;
}

std::string TableColumns(const TIBCatalogCaps& caps, TRowScope scope, bool ignoreIBE) {
  std::string s =
      "Select R.Rdb$Field_Name, R.rdb$field_position,\r\n"
      "case when R.Rdb$default_Value is null then 0 else 1 end R_Has_Default,"
      "R.Rdb$default_source,\r\n"
      " R.Rdb$null_flag, R.Rdb$collation_ID,\r\n"
      "F.Rdb$Character_Set_ID F_Character_Set_ID,\r\n"
      "R.Rdb$DESCRIPTION,\r\n"
      "F.Rdb$field_name F_Fld_Name,\r\n"
      "F.Rdb$field_type,\r\n"
      "F.Rdb$field_length F_Fld_length,\r\n"
      "F.Rdb$character_length F_chr_length,\r\n"
      "F.Rdb$field_sub_type F_Fld_sub_type,\r\n"
      "F.Rdb$Segment_Length F_Segment_Length,\r\n"
      "F.Rdb$VALIDATION_Source F_VALIDATION_SOURCE,\r\n"
      "F.Rdb$default_Source F_DEFAULT_SOURCE,\r\n"
      "F.Rdb$COMPUTED_Source,\r\n";
  s += Pick(caps.HasFieldPrecision, "F.RDB$FIELD_PRECISION,\r\n",
            "cast(null as smallint) RDB$FIELD_PRECISION,\r\n");
  s += "F.Rdb$Field_Scale F_Field_Scale,\r\n"
       "F.Rdb$Dimensions,\r\n";
  s += Pick(caps.HasIdentityGenerator, "R.Rdb$GENERATOR_NAME,\r\n",
            "cast(null as char(31)) Rdb$GENERATOR_NAME,\r\n");
  s += Pick(caps.HasIdentityType, "R.Rdb$IDENTITY_TYPE,\r\n",
            "cast(null as smallint) Rdb$IDENTITY_TYPE,\r\n");
  // An identity's start is its generator's initial value, 64-bit.
  s += Pick(caps.HasIdentityGenerator && caps.HasGeneratorIncrement,
            "(Select G.Rdb$Initial_Value from Rdb$Generators G\r\n"
            "where G.Rdb$Generator_Name=R.Rdb$Generator_Name) Identity_Start,\r\n",
            "cast(null as bigint) Identity_Start,\r\n");
  // A column of a user domain has a collation only where it names one: the
  // domain's is the domain's, and repeated on the column it would be frozen
  // there. Other columns hold theirs in their own field source.
  s += "(Select C1.Rdb$Collation_Name from Rdb$Collations C1\r\n"
       "where C1.Rdb$Collation_ID=case when F.Rdb$Field_Name starting with 'RDB$'\r\n"
       "then coalesce(R.Rdb$Collation_ID, F.Rdb$Collation_ID) else R.Rdb$Collation_ID end\r\n"
       "and C1.Rdb$Character_Set_ID=F.Rdb$Character_Set_ID) Rdb$Collation_Name,\r\n"
       "(Select C2.Rdb$Character_Set_Name from Rdb$Character_Sets C2\r\n"
       "where C2.Rdb$Character_Set_ID=F.Rdb$Character_Set_ID) Rdb$Character_Set_Name,\r\n"
       "R.Rdb$Relation_Name\r\n";
  if (!All(scope)) {
    s += "from rdb$Relation_Fields R, RDB$FIELDS F\r\n"
         "where R.Rdb$Relation_Name = :NAME and F.rdb$field_name=R.Rdb$field_source\r\n"
         "order by ";
  } else {
    s += "from rdb$Relation_Fields R\r\n"
         "join RDB$FIELDS F on F.rdb$field_name=R.Rdb$field_source\r\n"
         "join rdb$relations T on T.rdb$relation_name=R.rdb$relation_name\r\n"
         "where (T.rdb$system_flag <> 1 or T.Rdb$System_Flag is null)\r\n"
         "and T.Rdb$View_BLR is null";
    if (ignoreIBE) s += "\r\n and T.rdb$relation_name not like 'IBE$%' ";
    s += "\r\norder by R.rdb$relation_name, ";
  }
  return s + "R.rdb$field_position, R.rdb$field_name";
}

const std::string_view kDatabaseDescription = "select rdb$description from rdb$database";

std::string ArrayDimensions(TRowScope scope) {
  std::string s = All(scope) ? "Select dm.rdb$field_name, " : "Select ";
  s += "dm.rdb$lower_bound, dm.rdb$upper_bound\r\n"
       "from rdb$field_dimensions dm\r\n";
  s += All(scope) ? "order by dm.rdb$field_name, "
                  : "where dm.rdb$field_name = :field_name\r\norder by ";
  return s + "dm.rdb$dimension";
}

namespace {

// The user views, the relation aliased `alias`: the views and their
// columns read the same rows.
std::string ViewFilter(const std::string& alias, bool ignoreIBE) {
  std::string s = "where (" + alias + ".Rdb$System_Flag <> 1 or " + alias +
                  ".Rdb$System_Flag is Null) \r\n"
                  "and not " +
                  alias + ".Rdb$View_BLR is null and " + alias + ".Rdb$Flags = 1 ";
  if (ignoreIBE) s += "\r\n and " + alias + ".Rdb$relation_name not like 'IBE$%' ";
  return s;
}

}  // namespace

std::string Views(bool ignoreIBE) {
  std::string s =
      "select R.Rdb$Relation_Name, R.Rdb$View_Source, R.Rdb$Description \r\n"
      "from Rdb$Relations R \r\n" +
      ViewFilter("R", ignoreIBE);
  // In creation order: the engine numbers relations as it creates them.
  s += "\r\nOrder by R.Rdb$Relation_Id ";
  return s;
}

std::string ViewColumns(TRowScope scope, bool ignoreIBE) {
  std::string s =
      "Select R.Rdb$Field_Name, R.Rdb$Field_Position, R.Rdb$Field_Source, R.Rdb$Description,"
      " R.Rdb$Relation_Name\r\n"
      "from Rdb$Relation_Fields R\r\n";
  if (!All(scope)) {
    s += "where R.Rdb$Relation_Name = :NAME\r\norder by ";
  } else {
    s += "join Rdb$Relations V on V.Rdb$Relation_Name = R.Rdb$Relation_Name\r\n" +
         ViewFilter("V", ignoreIBE);
    // The views' own order (Views): their rows are read beside them.
    s += "\r\norder by V.Rdb$Relation_Id, ";
  }
  return s + "R.Rdb$Field_Position, R.Rdb$Field_Name";
}

std::string ViewDependencies(TRowScope scope) {
  std::string s = "Select distinct D.Rdb$Depended_On_Name, D.Rdb$Field_Name";
  if (All(scope)) s += ", D.Rdb$Dependent_Name";
  s += "\r\nfrom Rdb$Dependencies D\r\nwhere ";
  if (!All(scope)) s += "D.Rdb$Dependent_Name = :NAME and ";
  s += "D.Rdb$Dependent_Type = 1\r\n"
       "and D.Rdb$Depended_On_Type in (0, 1)\r\n"
       "order by ";
  if (All(scope)) s += "D.Rdb$Dependent_Name, ";
  return s + "D.Rdb$Depended_On_Name, D.Rdb$Field_Name";
}

std::string Indices(bool ignoreIBE) {
  std::string s =
      "Select I.rdb$index_name, I.rdb$relation_name, I.rdb$unique_flag, I.rdb$description,"
      " I.rdb$index_inactive, I.rdb$index_type, I.rdb$expression_source, I.rdb$segment_count"
      " from RDB$Indices I where Not Exists"
      " (select RC.Rdb$Constraint_Name from Rdb$Relation_Constraints RC"
      " where RC.Rdb$Index_Name=I.Rdb$Index_Name)"
      " and I.rdb$index_name not like 'RDB$%' ";
  if (ignoreIBE) s += " and I.rdb$index_name not like 'IBE$%' ";
  s += "Order By I.rdb$index_name ";
  return s;
}

std::string IndexSegments(TRowScope scope) {
  std::string s = All(scope) ? "select rdb$field_name, rdb$index_name" : "select rdb$field_name";
  s += " from rdb$index_segments";
  s += All(scope) ? " order by rdb$index_name, " : " where rdb$index_name=:INDEX_NAME order by ";
  return s + "rdb$field_position";
}

namespace {

std::string PrimaryKeyFrom(bool ignoreIBE) {
  std::string s =
      " from Rdb$Relation_Constraints C"
      " Left Join Rdb$Indices I on I.RDB$Index_Name = C.Rdb$Index_Name"
      " where C.Rdb$Constraint_Type='PRIMARY KEY'";
  if (ignoreIBE)
    s += " and C.rdb$constraint_name not like 'IBE$%' and C.rdb$Relation_Name not like 'IBE$%' ";
  return s;
}

std::string ForeignKeyFrom(bool ignoreIBE) {
  std::string s =
      " from Rdb$Relation_Constraints C, rdb$ref_constraints R, rdb$indices I1, rdb$indices I2"
      " where C.Rdb$Constraint_Type='FOREIGN KEY'"
      " and I1.Rdb$index_name = C.Rdb$index_name"
      " and I2.Rdb$index_name=I1.Rdb$foreign_key"
      " and R.rdb$constraint_name=C.rdb$constraint_name ";
  if (ignoreIBE) s += " and C.rdb$constraint_name not like 'IBE$%' ";
  return s;
}

}  // namespace

std::string PrimaryKeyCount(bool ignoreIBE) {
  return "Select Count(*)" + PrimaryKeyFrom(ignoreIBE);
}

std::string PrimaryKeys(bool ignoreIBE) {
  return "Select C.Rdb$Constraint_Name, C.Rdb$Relation_Name, C.Rdb$Index_Name, I.Rdb$Index_Type" +
         PrimaryKeyFrom(ignoreIBE) + " Order by C.rdb$relation_name";
}

std::string UniqueConstraints(bool ignoreIBE) {
  std::string s =
      "Select C.Rdb$Constraint_Name, C.Rdb$Relation_Name, C.Rdb$Index_Name, I.Rdb$Index_Type"
      " from Rdb$Relation_Constraints C"
      " JOIN Rdb$Relations R ON R.RDB$RELATION_NAME=C.RDB$RELATION_NAME"
      " AND (R.RDB$SYSTEM_FLAG <> 1 OR R.RDB$SYSTEM_FLAG IS NULL)"
      " left Join rdb$indices I on I.Rdb$Index_Name = C.Rdb$Index_Name"
      " where C.Rdb$Constraint_Type = 'UNIQUE' ";
  if (ignoreIBE) s += " and C.rdb$constraint_name not like 'IBE$%' ";
  s += "order by C.Rdb$Constraint_Name";
  return s;
}

std::string ForeignKeyCount(bool ignoreIBE) {
  return "Select Count(*)" + ForeignKeyFrom(ignoreIBE);
}

std::string ForeignKeys(const TIBCatalogCaps& caps, bool ignoreIBE) {
  std::string s =
      "Select C.rdb$constraint_name, C.rdb$relation_name FK_RELATION_NAME,"
      " C.rdb$index_name FK_INDEX_NAME, ";
  s += Pick(caps.HasUpdateRule, "R.rdb$UPDATE_RULE, ", "cast(null as char(11)) RDB$UPDATE_RULE, ");
  s += Pick(caps.HasDeleteRule, "R.rdb$DELETE_RULE, ", "cast(null as char(11)) RDB$DELETE_RULE, ");
  s += "I2.rdb$relation_name PK_RELATION_NAME, I2.RDB$Index_Name PK_INDEX_NAME,"
       " I1.RDB$Index_Type FK_INDEX_TYPE, I2.RDB$Index_Type PK_INDEX_TYPE";
  s += ForeignKeyFrom(ignoreIBE);
  s += "Order by C.rdb$relation_name, C.rdb$constraint_name ";
  return s;
}

const std::string_view kReferencedSegments =
    "Select S.Rdb$field_name"
    " from rdb$indices I1, Rdb$indices I2, Rdb$index_segments S"
    " where I1.rdb$Index_name = :INDEX_NAME"
    " and I2.rdb$Index_name=I1.rdb$foreign_key"
    " and S.rdb$Index_name=I2.rdb$Index_name"
    " order by S.rdb$field_position";

std::string CheckConstraints(bool ignoreIBE) {
  std::string s =
      "select C.Rdb$Constraint_Name, C.Rdb$Trigger_Name, T.Rdb$Trigger_Source,"
      " T.Rdb$Relation_Name"
      " from Rdb$Check_Constraints C, Rdb$Triggers T"
      " where T.Rdb$Trigger_Name = C.Rdb$Trigger_Name"
      " and T.Rdb$Trigger_Type = 1"
      " and T.Rdb$Trigger_Name like 'CHECK_%' ";
  if (ignoreIBE)
    s += " and C.rdb$constraint_name not like 'IBE$%' and T.rdb$Relation_name not like 'IBE$%' ";
  s += "Order by C.Rdb$Constraint_Name ";
  return s;
}

namespace {

std::string GeneratorFilter(bool ignoreIBE) {
  std::string s = " from rdb$generators where (Rdb$System_Flag = 0 or Rdb$System_Flag is Null) ";
  if (ignoreIBE) s += " and rdb$generator_name not like 'IBE$%' ";
  return s;
}

}  // namespace

std::string GeneratorCount(bool ignoreIBE) {
  return "select Count(*)" + GeneratorFilter(ignoreIBE);
}

std::string Generators(const TIBCatalogCaps& caps, bool ignoreIBE) {
  std::string s = "select rdb$generator_name, ";
  s += Pick(caps.HasGeneratorDescription, "rdb$description, ",
            "cast(null as blob sub_type 1) rdb$description, ");
  s += Pick(caps.HasGeneratorIncrement, "rdb$generator_increment, rdb$initial_value",
            "cast(null as integer) rdb$generator_increment,"
            " cast(null as bigint) rdb$initial_value");
  s += GeneratorFilter(ignoreIBE);
  s += "order by rdb$generator_name ";
  return s;
}

const std::string_view kExceptions =
    "select rdb$exception_name, rdb$message, rdb$description from rdb$exceptions"
    " where (rdb$system_flag = 0 or rdb$system_flag is null)"
    " order by rdb$exception_name";

std::string Collations() {
  return "select c.rdb$collation_name, c.rdb$description, c.rdb$base_collation_name,"
         " CS.RDB$CHARACTER_SET_NAME, c.rdb$collation_attributes, c.rdb$specific_attributes,"
         " cc.RDB$SPECIFIC_ATTRIBUTES BASE_ATTR"
         " from rdb$collations c"
         " left join RDB$CHARACTER_SETS CS ON CS.RDB$CHARACTER_SET_ID=C.RDB$CHARACTER_SET_ID"
         " left join RDB$COLLATIONS cc ON cc.RDB$COLLATION_NAME=C.RDB$BASE_COLLATION_NAME"
         " where (c.rdb$system_flag = 0 or c.rdb$system_flag is null)"
         " order by c.rdb$collation_name";
}

namespace {

std::string TriggerFilter(bool ignoreIBE) {
  std::string s =
      " where (R.rdb$system_flag <> 1 or R.rdb$system_flag is Null) "
      " and NOT EXISTS (SELECT * FROM RDB$CHECK_CONSTRAINTS CHK WHERE "
      " T.RDB$TRIGGER_NAME = CHK.RDB$TRIGGER_NAME) "
      " and not (R.rdb$view_blr is not null"
      " and T.rdb$trigger_name like 'CHECK_%' "
      " and T.rdb$trigger_source is null)";
  if (ignoreIBE) s += " and T.rdb$trigger_name not like 'IBE$%' ";
  return s;
}

}  // namespace

std::string TriggerCount(bool ignoreIBE) {
  return " select Count(*) from rdb$triggers T "
         " join rdb$relations R on R.rdb$relation_name = T.rdb$relation_name" +
         TriggerFilter(ignoreIBE);
}

std::string Triggers(bool ignoreIBE) {
  return " select T.RDB$TRIGGER_NAME, T.RDB$RELATION_NAME, T.RDB$TRIGGER_SOURCE, T.RDB$DESCRIPTION,"
         " T.RDB$TRIGGER_TYPE, T.RDB$TRIGGER_SEQUENCE, T.RDB$TRIGGER_INACTIVE"
         " from rdb$triggers T "
         " left join rdb$relations R on R.rdb$relation_name = T.rdb$relation_name" +
         TriggerFilter(ignoreIBE) + " order by T.rdb$trigger_name ";
}

std::string Roles(const TIBCatalogCaps& caps) {
  std::string s = "Select R.Rdb$Role_Name, R.Rdb$Owner_Name, ";
  s += Pick(caps.HasRoleDescription, "R.Rdb$Description",
            "cast(null as blob sub_type 1) Rdb$Description");
  s += " from RDB$Roles R";
  if (caps.HasRoleSystemFlag) s += " where (Rdb$System_Flag = 0 or Rdb$System_Flag is Null)";
  s += " Order By R.Rdb$Role_Name";
  return s;
}

std::string Procedures(const TIBCatalogCaps& caps, bool ignoreIBE) {
  std::string s =
      " Select rdb$Procedure_Name, rdb$Description, rdb$Procedure_Source\r\n"
      " from rdb$procedures \r\n"
      " where (Rdb$System_Flag <> 1 or Rdb$System_Flag is Null) ";
  if (caps.HasProcedurePackage) s += "\r\nAND RDB$PACKAGE_NAME IS NULL";
  if (ignoreIBE) s += "\r\n and rdb$procedure_name not like 'IBE$%' ";
  s += "\r\n order by rdb$procedure_name ";
  return s;
}

TRoutineParamColumns ProcedureParamColumns(const TIBCatalogCaps& caps) {
  return {caps.HasFieldPrecision,     caps.HasParameterMechanism, caps.HasParameterDefault,
          caps.HasParameterCollation, caps.HasParameterRelation,  caps.HasParameterNullFlag};
}

TRoutineParamColumns FunctionParamColumns(const TIBCatalogCaps& caps) {
  // The generation with argument names has all of them.
  const bool all = caps.HasArgumentName;
  return {caps.HasFieldPrecision, all, all, all, all, all};
}

namespace {

// The select list and joins both routine kinds share; `name`, `type`,
// `number` and `mechanism` are their own columns' expressions, `P` their
// parameter relation's alias.
std::string RoutineParameters(const TRoutineParamColumns& has, const char* name, const char* type,
                              const char* number, const char* mechanism, const char* mechanismNull,
                              const char* owner, const std::string& from, const std::string& where,
                              const std::string& order) {
  std::string s = "select ";
  s += name;
  s += ",\r\n";
  s += type;
  s += ",\r\n";
  s += number;
  s += ",\r\n"
       "P.RDB$DESCRIPTION,\r\nP.RDB$FIELD_SOURCE,\r\nF.RDB$FIELD_TYPE F_FLD_TYPE,\r\n"
       "F.RDB$FIELD_LENGTH F_FLD_LENGTH,\r\nF.RDB$CHARACTER_LENGTH F_CHR_LENGTH,\r\n"
       "F.RDB$FIELD_SUB_TYPE F_FLD_SUB_TYPE,\r\nF.RDB$SEGMENT_LENGTH F_SEGMENT_LENGTH,\r\n"
       "F.RDB$DEFAULT_SOURCE FLD_DEFAULT_SOURCE,\r\n";
  s += Pick(has.precision, "F.RDB$FIELD_PRECISION F_FLD_PRECISION,\r\n",
            "cast(null as smallint) F_FLD_PRECISION,\r\n");
  s += Pick(has.mechanism, mechanism, mechanismNull);
  s += Pick(has.defaults, "P.Rdb$DEFAULT_SOURCE as PROC_DEFAULT_SOURCE,\r\n",
            "cast(null as blob sub_type 1) PROC_DEFAULT_SOURCE,\r\n");
  s += Pick(has.collation, "P.Rdb$COLLATION_ID as PROC_COLLATION_ID,\r\n",
            "cast(null as smallint) PROC_COLLATION_ID,\r\n");
  s += Pick(has.nullFlag, "P.Rdb$NULL_FLAG as PROC_NULL_FLAG,\r\n",
            "cast(null as smallint) PROC_NULL_FLAG,\r\n");
  s += "F.RDB$FIELD_SCALE F_FLD_SCALE,\r\nF.RDB$Character_Set_ID,\r\nF.RDB$Collation_ID,\r\n"
       "(Select C1.Rdb$Collation_Name from Rdb$Collations C1\r\n"
       "where C1.Rdb$Character_Set_ID=F.Rdb$Character_Set_ID\r\n"
       "and C1.Rdb$Collation_ID=F.Rdb$Collation_ID) Rdb$Collation_Name,\r\n";
  s += Pick(has.collation,
            "(Select C1.Rdb$Collation_Name from Rdb$Collations C1\r\n"
            "where C1.Rdb$Character_Set_ID=F.Rdb$Character_Set_ID\r\n"
            "and C1.Rdb$Collation_ID=P.Rdb$Collation_ID) as Proc_Collation_Name,\r\n",
            "cast(null as char(31)) Proc_Collation_Name,\r\n");
  s += Pick(has.relation, "P.RDB$RELATION_NAME, P.RDB$FIELD_NAME,\r\n",
            "cast(null as char(31)) RDB$RELATION_NAME, cast(null as char(31)) RDB$FIELD_NAME,\r\n");
  s += "(Select C2.Rdb$Character_Set_Name from Rdb$Character_Sets C2\r\n"
       "where C2.Rdb$Character_Set_ID=F.Rdb$Character_Set_ID) Rdb$Character_Set_Name,\r\n";
  s += owner;
  s += "\r\n";
  s += from;
  s += where;
  s += order;
  return s;
}

}  // namespace

std::string ProcedureParameters(const TIBCatalogCaps& caps, TRowScope scope, bool ignoreIBE) {
  std::string from, where, order;
  if (!All(scope)) {
    from = "from rdb$procedure_parameters P, rdb$fields F\r\n";
    where =
        "where P.rdb$procedure_name = :RDB$PROCEDURE_NAME and F.rdb$field_name = P.rdb$field_source";
    // Parameters of a packaged procedure of the same name are not this one's.
    if (caps.HasProcedurePackage) where += "\r\nand P.RDB$PACKAGE_NAME IS NULL";
    order = "\r\nOrder by ";
  } else {
    from =
        "from rdb$procedure_parameters P\r\n"
        "join rdb$fields F on F.rdb$field_name = P.rdb$field_source\r\n"
        "join rdb$procedures PR on PR.rdb$procedure_name = P.rdb$procedure_name\r\n";
    where = "where (PR.Rdb$System_Flag <> 1 or PR.Rdb$System_Flag is Null)";
    if (caps.HasProcedurePackage)
      where += "\r\nand P.RDB$PACKAGE_NAME IS NULL and PR.RDB$PACKAGE_NAME IS NULL";
    if (ignoreIBE) where += "\r\n and PR.rdb$procedure_name not like 'IBE$%' ";
    order = "\r\nOrder by P.rdb$procedure_name, ";
  }
  order += "P.rdb$parameter_type, P.rdb$parameter_number";
  return RoutineParameters(ProcedureParamColumns(caps), "P.RDB$PARAMETER_NAME",
                           "P.RDB$PARAMETER_TYPE", "P.RDB$PARAMETER_NUMBER",
                           "P.Rdb$Parameter_Mechanism,\r\n",
                           "cast(null as smallint) Rdb$Parameter_Mechanism,\r\n",
                           "P.RDB$PROCEDURE_NAME", from, where, order);
}

std::string FunctionParameters(const TIBCatalogCaps& caps, TRowScope scope) {
  const bool all = All(scope);
  std::string where = all ? "where (FN.rdb$system_flag<>1 or FN.rdb$system_flag is null) and " +
                                std::string(kPsqlFunction)
                          : std::string("where P.rdb$function_name = :NAME");
  where += " and P.RDB$PACKAGE_NAME IS NULL";
  // The result is the argument at the function's return position.
  return RoutineParameters(
      FunctionParamColumns(caps), "P.RDB$ARGUMENT_NAME RDB$PARAMETER_NAME",
      "case when P.RDB$ARGUMENT_POSITION = FN.RDB$RETURN_ARGUMENT then 1 else 0 end"
      " RDB$PARAMETER_TYPE",
      "P.RDB$ARGUMENT_POSITION RDB$PARAMETER_NUMBER",
      "P.RDB$ARGUMENT_MECHANISM Rdb$Parameter_Mechanism,\r\n",
      "cast(null as smallint) Rdb$Parameter_Mechanism,\r\n", "P.RDB$FUNCTION_NAME",
      "from rdb$function_arguments P\r\n"
      "join rdb$functions FN on FN.rdb$function_name = P.rdb$function_name"
      " and FN.RDB$PACKAGE_NAME IS NULL\r\n"
      "join rdb$fields F on F.rdb$field_name = P.rdb$field_source\r\n",
      where, all ? "\r\nOrder by P.rdb$function_name, 2, 3" : "\r\nOrder by 2, 3");
}

const std::string_view kRoutineDependencies =
    "select distinct D.Rdb$Dependent_Name, D.Rdb$Depended_On_Name\r\n"
    "from Rdb$Dependencies D\r\n"
    "where D.Rdb$Dependent_Type in (5, 15) and D.Rdb$Depended_On_Type in (5, 15)";

const std::string_view kPackages =
    "SELECT P.RDB$PACKAGE_NAME, P.RDB$DESCRIPTION, "
    "P.RDB$PACKAGE_HEADER_SOURCE, P.RDB$PACKAGE_BODY_SOURCE\r\n"
    "FROM RDB$PACKAGES P\r\n"
    "WHERE (P.RDB$SYSTEM_FLAG=0 OR P.RDB$SYSTEM_FLAG IS NULL)\r\n"
    "ORDER BY P.RDB$PACKAGE_NAME";

// The system relations belong to the database's creator.
const std::string_view kDatabaseOwner =
    "SELECT REL.RDB$OWNER_NAME FROM RDB$RELATIONS REL\r\n"
    "WHERE REL.RDB$RELATION_NAME = 'RDB$DATABASE'";

namespace {

constexpr std::string_view kGrantSelect =
    " SELECT PRV.RDB$USER, PRV.RDB$GRANTOR, PRV.RDB$PRIVILEGE, PRV.RDB$GRANT_OPTION,"
    " PRV.RDB$RELATION_NAME, PRV.RDB$FIELD_NAME, PRV.RDB$USER_TYPE, PRV.RDB$OBJECT_TYPE,"
    " Cast(0 as integer) SRT FROM RDB$USER_PRIVILEGES PRV";

}  // namespace

std::string GrantQuery(int index, const TIBCatalogCaps& caps, bool ignoreIBE) {
  std::string where;
  // clang-format off
  switch (index) {
    case 0:  // role memberships
      where = " WHERE   PRV.RDB$OBJECT_TYPE = 13   AND PRV.RDB$USER_TYPE = 8"
              "   AND PRV.RDB$PRIVILEGE = 'M'   AND PRV.RDB$RELATION_NAME <> 'RDB$ADMIN' ";
      break;
    case 1:  // tables and views, not to their owner
      where = " JOIN RDB$RELATIONS REL ON PRV.RDB$RELATION_NAME = REL.RDB$RELATION_NAME"
              " WHERE  PRV.RDB$PRIVILEGE <> 'M'   AND REL.RDB$OWNER_NAME <> PRV.RDB$USER"
              "  AND REL.RDB$SECURITY_CLASS STARTING WITH 'SQL$'"
              "   AND (REL.RDB$SYSTEM_FLAG IS NULL OR REL.RDB$SYSTEM_FLAG = 0) ";
      break;
    case 2:  // procedures
      where = " JOIN RDB$PROCEDURES PRC ON PRC.RDB$PROCEDURE_NAME = PRV.RDB$RELATION_NAME"
              " WHERE  PRV.RDB$OBJECT_TYPE = 5  AND PRV.RDB$PRIVILEGE IN ('X', 'G')"
              "  AND PRC.RDB$OWNER_NAME <> PRV.RDB$USER ";
      // A packaged procedure of the same name would double the row.
      if (caps.HasProcedurePackage) where += " AND PRC.RDB$PACKAGE_NAME IS NULL ";
      break;
    case 3:  // PSQL functions
      if (!caps.HasFunctionOwner) return {};
      where = "  JOIN RDB$FUNCTIONS FNC ON FNC.RDB$FUNCTION_NAME = PRV.RDB$RELATION_NAME"
              " WHERE  PRV.RDB$OBJECT_TYPE = 15   AND PRV.RDB$PRIVILEGE IN ('X', 'G')"
              "   AND FNC.RDB$OWNER_NAME <> PRV.RDB$USER  AND FNC.RDB$PACKAGE_NAME IS NULL ";
      break;
    case 4:  // packages
      if (!caps.HasPackages) return {};
      where = " JOIN RDB$PACKAGES PKG ON PKG.RDB$PACKAGE_NAME=PRV.RDB$RELATION_NAME"
              " WHERE  PRV.RDB$OBJECT_TYPE = 18   AND PRV.RDB$PRIVILEGE IN ('X', 'G')"
              "  AND PKG.RDB$OWNER_NAME <> PRV.RDB$USER ";
      break;
    case 5:  // granted to triggers
      // A database trigger has no relation: its grants are read as well.
      where = " JOIN RDB$TRIGGERS TRG ON TRG.RDB$TRIGGER_NAME = PRV.RDB$USER"
              " LEFT JOIN RDB$RELATIONS REL ON REL.RDB$RELATION_NAME = TRG.RDB$RELATION_NAME"
              " WHERE  PRV.RDB$USER_TYPE = 2   AND PRV.RDB$PRIVILEGE IN ('X', 'G')"
              "   AND (TRG.RDB$RELATION_NAME IS NULL OR REL.RDB$OWNER_NAME <> PRV.RDB$USER) ";
      break;
    case 6:  // USAGE granted to views
      where = " JOIN RDB$RELATIONS REL ON REL.RDB$RELATION_NAME = PRV.RDB$USER"
              " WHERE  PRV.RDB$USER_TYPE = 1  AND PRV.RDB$PRIVILEGE IN ('G')"
              "   AND REL.RDB$OWNER_NAME <> PRV.RDB$USER ";
      break;
    case 7:  // USAGE granted to roles
      where = " JOIN RDB$ROLES ROL ON ROL.RDB$ROLE_NAME = PRV.RDB$USER"
              " WHERE  PRV.RDB$USER_TYPE = 13  AND PRV.RDB$PRIVILEGE IN ('G')"
              "   AND ROL.RDB$OWNER_NAME <> PRV.RDB$USER ";
      break;
    case 8:  // USAGE granted to users and PUBLIC
      where = " WHERE  PRV.RDB$USER_TYPE = 8   AND PRV.RDB$PRIVILEGE IN ('G')";
      if (caps.HasFunctionOwner) {
        // The owner's own rows (and those of every character set and
        // collation) are the engine's, not grants anyone made; PUBLIC is a
        // grantee like any other.
        where += " AND PRV.RDB$OBJECT_TYPE IN (7, 14)"
                 " AND NOT EXISTS (SELECT 1 FROM RDB$GENERATORS G"
                 " WHERE G.RDB$GENERATOR_NAME = PRV.RDB$RELATION_NAME"
                 " AND PRV.RDB$OBJECT_TYPE = 14 AND G.RDB$OWNER_NAME = PRV.RDB$USER)"
                 " AND NOT EXISTS (SELECT 1 FROM RDB$EXCEPTIONS E"
                 " WHERE E.RDB$EXCEPTION_NAME = PRV.RDB$RELATION_NAME"
                 " AND PRV.RDB$OBJECT_TYPE = 7 AND E.RDB$OWNER_NAME = PRV.RDB$USER) ";
      } else {
        where += " AND PRV.RDB$USER NOT IN ('SYSDBA','PUBLIC')  ";
      }
      break;
    case 9:  // USAGE granted to procedures
    case 10:  // ... functions
    case 11:  // ... packages
      if (!caps.HasFunctionOwner) return {};
      where = " WHERE  PRV.RDB$USER_TYPE = " + std::string(index == 9 ? "5" : index == 10 ? "15" : "18") +
              "  AND PRV.RDB$PRIVILEGE IN ('G') ";
      break;
    case 12:  // DDL privileges: CREATE, ALTER ANY, DROP ANY of a kind
      // Firebird 3 brought them, with the owners of functions.
      if (!caps.HasFunctionOwner) return {};
      where = " WHERE  PRV.RDB$PRIVILEGE IN ('C', 'L', 'O')"
              "  AND PRV.RDB$RELATION_NAME STARTING WITH 'SQL$' ";
      break;
    default:
      return {};
  }
  // clang-format on
  std::string s = std::string(kGrantSelect) + where;
  if (ignoreIBE) s += "\r\n and PRV.RDB$RELATION_NAME not like 'IBE$%' ";
  s += "\r\n ORDER BY  9, 1, 6, 4";
  return s;
}

}  // namespace qor::ibq
