// Texts of the InterBase/Firebird catalog queries.
#include "extract/ib/qorIBCatalogQueries.h"

namespace qor::ibq {

namespace {

const char* Pick(bool has, const char* column, const char* placeholder) {
  return has ? column : placeholder;
}

constexpr std::string_view kIgnoreIBE = " and rdb$relation_name not like 'IBE$%' ";

}  // namespace

// The rows stand in the order 1, 2, 6 ... 12, 14, 15, 16, 13, 17 ... 28.
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

std::string FunctionArguments(const TIBCatalogCaps& caps) {
  std::string s = " SELECT";
  if (caps.HasArgumentName) {
    // An argument of a domain type carries its type in the domain.
    for (const char* c : {"Field_Type", "Field_Length", "Field_Scale", "Field_Sub_Type",
                          "Character_Set_ID"}) {
      s += std::string(" CASE WHEN (A.RDB$FIELD_SOURCE IS NULL) THEN A.Rdb$") + c +
           " ELSE F.Rdb$" + c + " END AS Rdb$" + c + ",";
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
  s += " C.RDB$Character_Set_Name, C.RDB$Bytes_Per_Character"
       " from Rdb$Function_Arguments A";
  if (caps.HasArgumentName) {
    s += " LEFT JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME=A.RDB$FIELD_SOURCE"
         " LEFT JOIN Rdb$Character_Sets C ON C.Rdb$Character_Set_ID="
         "CASE WHEN (A.RDB$FIELD_SOURCE IS NULL) THEN A.Rdb$Character_Set_ID"
         " ELSE F.Rdb$Character_Set_ID END";
  } else {
    s += " LEFT JOIN Rdb$Character_Sets C ON C.Rdb$Character_Set_ID=A.Rdb$Character_Set_ID";
  }
  s += " where A.Rdb$Function_Name = :NAME";
  if (caps.HasProcedurePackage) s += " and A.RDB$PACKAGE_NAME IS NULL";
  s += " Order by A.Rdb$Argument_Position";
  return s;
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

std::string TableCount(bool ignoreIBE) {
  std::string s =
      " select Count(*)\r\n from rdb$relations \r\n"
      " where (rdb$system_flag <> 1 or Rdb$System_Flag is null) \r\n and Rdb$View_BLR is null ";
  if (ignoreIBE) s += "\r\n" + std::string(kIgnoreIBE);
  return s;
}

std::string Tables(const TIBCatalogCaps& caps, bool ignoreIBE) {
  std::string s = " select rdb$Relation_Name, Rdb$Description, rdb$External_File,\r\n";
  s += Pick(caps.HasRelationType, " rdb$Relation_Type\r\n",
            " cast(null as smallint) rdb$Relation_Type\r\n");
  s += " from rdb$relations \r\n"
       " where (rdb$system_flag <> 1 or Rdb$System_Flag is null) \r\n"
       " and Rdb$View_BLR is null ";
  if (ignoreIBE) s += "\r\n" + std::string(kIgnoreIBE);
  s += "\r\n order by rdb$relation_name ";
  return s;
}

std::string TableColumns(const TIBCatalogCaps& caps) {
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
  // Without a collation of its own a column has its domain's (the
  // character set's default for a column that names none).
  s += "(Select C1.Rdb$Collation_Name from Rdb$Collations C1\r\n"
       "where C1.Rdb$Collation_ID=coalesce(R.Rdb$Collation_ID, F.Rdb$Collation_ID)\r\n"
       "and C1.Rdb$Character_Set_ID=F.Rdb$Character_Set_ID) Rdb$Collation_Name,\r\n"
       "(Select C2.Rdb$Character_Set_Name from Rdb$Character_Sets C2\r\n"
       "where C2.Rdb$Character_Set_ID=F.Rdb$Character_Set_ID) Rdb$Character_Set_Name\r\n"
       "from rdb$Relation_Fields R, RDB$FIELDS F\r\n"
       "where R.Rdb$Relation_Name = :NAME and F.rdb$field_name=R.Rdb$field_source\r\n"
       "order by R.rdb$field_position, R.rdb$field_name";
  return s;
}

const std::string_view kArrayDimensions =
    "Select dm.rdb$lower_bound, dm.rdb$upper_bound\r\n"
    "from rdb$field_dimensions dm\r\n"
    "where dm.rdb$field_name = :field_name\r\n"
    "order by dm.rdb$dimension";

std::string Views(bool ignoreIBE) {
  std::string s =
      "select R.Rdb$Relation_Name, R.Rdb$View_Source, R.Rdb$Description \r\n"
      "from Rdb$Relations R \r\n"
      "where (R.Rdb$System_Flag <> 1 or R.Rdb$System_Flag is Null) \r\n"
      "and not R.Rdb$View_BLR is null and R.Rdb$Flags = 1 ";
  if (ignoreIBE) s += "\r\n and R.Rdb$relation_name not like 'IBE$%' ";
  s += "\r\nOrder by R.Rdb$Relation_Name ";
  return s;
}

const std::string_view kViewColumns =
    "Select R.Rdb$Field_Name, R.Rdb$Field_Position, R.Rdb$Field_Source, R.Rdb$Description\r\n"
    "from Rdb$Relation_Fields R\r\n"
    "where R.Rdb$Relation_Name = :NAME\r\n"
    "order by R.Rdb$Field_Position, R.Rdb$Field_Name";

const std::string_view kViewDependencies =
    "Select distinct D.Rdb$Depended_On_Name, D.Rdb$Field_Name\r\n"
    "from Rdb$Dependencies D\r\n"
    "where D.Rdb$Dependent_Name = :NAME and D.Rdb$Dependent_Type = 1\r\n"
    "and D.Rdb$Depended_On_Type in (0, 1)\r\n"
    "order by D.Rdb$Depended_On_Name, D.Rdb$Field_Name";

}  // namespace qor::ibq
