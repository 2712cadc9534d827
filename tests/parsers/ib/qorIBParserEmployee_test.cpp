// Real input nobody here wrote: Debian's employee sample script, built into
// a database by isql-fb, and the engine's own `isql-fb -x` extract of that
// database. Both are parsed under Firebird 2.5 and 3.0 without an error,
// and what the parser builds is held against the engine's catalog, read
// through our Firebird binding: domains, tables, columns, keys, checks,
// indices, procedures, triggers, views, generators and exceptions.
#include "engine/qorDBEngine.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "platform/qorStrings.h"
#include "tests/parsers/ib/qorIBParserFixture.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace qor::test {
namespace {

// The column list of an index, in segment order.
std::string IndexColumns(Catalog& cat, const std::string& index) {
  std::string s;
  for (auto& r :
       cat.Rows("select rdb$field_name as f from rdb$index_segments where rdb$index_name = '" +
                    index + "' order by rdb$field_position",
                {"F"}))
    s += (s.empty() ? "" : ",") + r["F"];
  return s;
}

std::string Names(const TFieldList& list) {
  std::string s;
  for (int i = 0; i < list.Count(); ++i) s += (i ? "," : "") + list.Name(i);
  return s;
}

// The facts both sides can tell, one line each, sorted.
std::set<std::string> CatalogFacts(Catalog& cat) {
  std::set<std::string> f;
  for (auto& r :
       cat.Rows("select rdb$field_name as n, iif(rdb$default_source is null, 0, 1) as d, "
                "iif(rdb$validation_source is null, 0, 1) as c, coalesce(rdb$null_flag, 0) as nn, "
                "coalesce(rdb$character_length, 0) as len, coalesce(rdb$field_scale, 0) as sc "
                "from rdb$fields where coalesce(rdb$system_flag, 0) = 0 and "
                "rdb$field_name not starting with 'RDB$'",
                {"N", "D", "C", "NN", "LEN", "SC"}))
    f.insert("domain " + r["N"] + " default=" + r["D"] + " check=" + r["C"] +
             " notnull=" + r["NN"] + " length=" + r["LEN"] + " scale=" + r["SC"]);
  for (auto& r : cat.Rows(
           "select rf.rdb$relation_name as t, rf.rdb$field_name as n, rf.rdb$field_position as p, "
           "iif(rf.rdb$field_source starting with 'RDB$', '', rf.rdb$field_source) as dom, "
           "iif(fl.rdb$computed_source is null, 0, 1) as comp, "
           "coalesce(rf.rdb$null_flag, 0) as nn, iif(rf.rdb$default_source is null, 0, 1) as d, "
           "coalesce(fl.rdb$dimensions, 0) as dims "
           "from rdb$relation_fields rf join rdb$relations r on r.rdb$relation_name = "
           "rf.rdb$relation_name join rdb$fields fl on fl.rdb$field_name = rf.rdb$field_source "
           "where coalesce(r.rdb$system_flag, 0) = 0 and r.rdb$view_blr is null",
           {"T", "N", "P", "DOM", "COMP", "NN", "D", "DIMS"}))
    f.insert("column " + r["T"] + "." + r["N"] + " at=" + r["P"] + " domain=" + r["DOM"] +
             " computed=" + r["COMP"] + " notnull=" + r["NN"] + " default=" + r["D"] +
             " dims=" + r["DIMS"]);
  for (
      auto& r : cat.Rows(
          "select rc.rdb$relation_name as t, rc.rdb$constraint_type as k, rc.rdb$index_name as i, "
          "coalesce(rf.rdb$update_rule, '') as u, coalesce(rf.rdb$delete_rule, '') as d, "
          "coalesce((select ri.rdb$relation_name from rdb$indices fi join rdb$indices ri on "
          "ri.rdb$index_name = fi.rdb$foreign_key where fi.rdb$index_name = rc.rdb$index_name), '') as rt "
          "from rdb$relation_constraints rc left join rdb$ref_constraints rf on "
          "rf.rdb$constraint_name = rc.rdb$constraint_name "
          "join rdb$relations r on r.rdb$relation_name = rc.rdb$relation_name "
          "where rc.rdb$constraint_type in ('PRIMARY KEY', 'UNIQUE', 'FOREIGN KEY', 'CHECK') "
          "and coalesce(r.rdb$system_flag, 0) = 0",
          {"T", "K", "I", "U", "D", "RT"})) {
    auto rule = [](const std::string& s) {
      if (s == "CASCADE") return std::string("2");
      if (s == "SET DEFAULT") return std::string("3");
      if (s == "SET NULL") return std::string("4");
      return std::string("0");
    };
    std::string line = "key " + r["T"] + " " + r["K"];
    if (r["K"] != "CHECK") line += " (" + IndexColumns(cat, r["I"]) + ")";
    if (r["K"] == "FOREIGN KEY")
      line += " -> " + r["RT"] + " update=" + rule(r["U"]) + " delete=" + rule(r["D"]);
    f.insert(line);
  }
  for (
      auto& r : cat.Rows(
          "select i.rdb$index_name as n, i.rdb$relation_name as t, coalesce(i.rdb$unique_flag, 0) as u, "
          "coalesce(i.rdb$index_type, 0) as d from rdb$indices i where coalesce(i.rdb$system_flag, 0) = 0 "
          "and not exists (select 1 from rdb$relation_constraints c where c.rdb$index_name = i.rdb$index_name)",
          {"N", "T", "U", "D"}))
    f.insert("index " + r["N"] + " on " + r["T"] + " (" + IndexColumns(cat, r["N"]) +
             ") unique=" + r["U"] + " desc=" + r["D"]);
  for (auto& r :
       cat.Rows("select p.rdb$procedure_name as n, "
                "(select count(*) from rdb$procedure_parameters a where a.rdb$procedure_name = "
                "p.rdb$procedure_name and a.rdb$parameter_type = 0) as i, "
                "(select count(*) from rdb$procedure_parameters a where a.rdb$procedure_name = "
                "p.rdb$procedure_name and a.rdb$parameter_type = 1) as o "
                "from rdb$procedures p where coalesce(p.rdb$system_flag, 0) = 0",
                {"N", "I", "O"}))
    f.insert("procedure " + r["N"] + " in=" + r["I"] + " out=" + r["O"]);
  for (
      auto& r : cat.Rows(
          "select rdb$trigger_name as n, coalesce(rdb$relation_name, '') as t, rdb$trigger_type as k, "
          "coalesce(rdb$trigger_inactive, 0) as i, rdb$trigger_sequence as p "
          "from rdb$triggers where coalesce(rdb$system_flag, 0) = 0",
          {"N", "T", "K", "I", "P"}))
    f.insert("trigger " + r["N"] + " on " + r["T"] + " type=" + r["K"] + " inactive=" + r["I"] +
             " position=" + r["P"]);
  for (auto& r : cat.Rows("select rdb$relation_name as n from rdb$relations where "
                          "coalesce(rdb$system_flag, 0) = 0 and rdb$view_blr is not null",
                          {"N"}))
    f.insert("view " + r["N"]);
  for (auto& r : cat.Rows("select rdb$generator_name as n from rdb$generators where "
                          "coalesce(rdb$system_flag, 0) = 0",
                          {"N"}))
    f.insert("generator " + r["N"]);
  for (auto& r :
       cat.Rows("select rdb$exception_name as n, rdb$message as m from rdb$exceptions", {"N", "M"}))
    f.insert("exception " + r["N"] + " " + r["M"]);
  return f;
}

std::set<std::string> ModelFacts(TObjs& objs) {
  std::set<std::string> f;
  for (int i = 0; i < objs.Domains.Count(); ++i) {
    TDmnData* d = objs.Domains.Object(i);
    TFldData& t = *d->TypeHolder;
    const bool text = t.DataType == dt::CHAR || t.DataType == dt::VARCHAR;
    f.insert(
        "domain " + d->GetName() + " default=" + (t.DefaultValue.empty() ? "0" : "1") +
        " check=" + (t.CheckText.empty() ? "0" : "1") + " notnull=" + (t.Nullable ? "0" : "1") +
        " length=" + std::to_string(text ? t.Length : 0) + " scale=" + std::to_string(-t.Scale));
  }
  for (int i = 0; i < objs.Tables.Count(); ++i) {
    TTblData* t = objs.Tables.Object(i);
    for (int c = 0; c < t->Fields.Count(); ++c) {
      TFldData* col = t->Fields.Object(c);
      f.insert("column " + t->GetName() + "." + col->GetName() + " at=" + std::to_string(c) +
               " domain=" + (col->DataType == dt::UserType ? col->DomainName.str() : "") +
               " computed=" + (col->IsComputed() ? "1" : "0") + " notnull=" +
               (col->Nullable ? "0" : "1") + " default=" + (col->DefaultValue.empty() ? "0" : "1") +
               " dims=" + std::to_string(col->ArrayBounds.size()));
    }
  }
  for (int i = 0; i < objs.Constraints.Count(); ++i) {
    TCtrData* c = objs.Constraints.Object(i);
    static const char* kKinds[] = {"PRIMARY KEY", "UNIQUE", "FOREIGN KEY", "CHECK"};
    if (c->GetConstraintType() > ct::Check) continue;
    std::string line = "key " + c->GetTableName() + " " + kKinds[c->GetConstraintType()];
    if (c->GetConstraintType() != ct::Check) line += " (" + Names(c->Columns) + ")";
    if (c->GetConstraintType() == ct::ForeignKey)
      line += " -> " + c->GetRefTableName() + " update=" + std::to_string(c->UpdateRule) +
              " delete=" + std::to_string(c->DeleteRule);
    f.insert(line);
  }
  for (int i = 0; i < objs.Procedures.Count(); ++i) {
    TPrcData* p = objs.Procedures.Object(i);
    f.insert("procedure " + p->GetName() + " in=" + std::to_string(p->InParams.Count()) +
             " out=" + std::to_string(p->OutParams.Count()));
  }
  for (int i = 0; i < objs.Triggers.Count(); ++i) {
    TTrgData* t = objs.Triggers.Object(i);
    f.insert("trigger " + t->GetName() + " on " + t->GetTableName() +
             " type=" + std::to_string(t->TriggerType) + " inactive=" + (t->Active ? "0" : "1") +
             " position=" + std::to_string(t->Position));
  }
  for (int i = 0; i < objs.Views.Count(); ++i) f.insert("view " + objs.Views.Name(i));
  for (int i = 0; i < objs.Generators.Count(); ++i)
    f.insert("generator " + objs.Generators.Name(i));
  for (int i = 0; i < objs.Exceptions.Count(); ++i)
    f.insert("exception " + objs.Exceptions.Name(i) + " " + objs.Exceptions.Object(i)->Message);
  for (int i = 0; i < objs.Indices.Count(); ++i) {
    TIdxData* x = objs.Indices.Object(i);
    f.insert("index " + x->GetName() + " on " + x->TableName + " (" + Names(x->Columns) +
             ") unique=" + (x->Unique ? "1" : "0") + " desc=" + (x->Descending ? "1" : "0"));
  }
  return f;
}

std::string Errors(const TMsgManager& m) {
  std::string s;
  for (int i = 0; i < m.Count(); ++i)
    if (m[i].Kind == kMsgError)
      s += std::to_string(m[i].Line) + ":" + std::to_string(m[i].Column) + " " + m[i].Text + "\n";
  return s;
}

struct Source {
  const char* name;
  std::string TEmployee::*text;
};

TEST(IbEmployee, SampleAndExtractParseIntoTheEnginesOwnCatalog) {
  const TEmployee& e = Employee();
  ASSERT_TRUE(e.failure.empty()) << e.failure;
  ASSERT_NE(e.extract.find("ALTER TABLE"), std::string::npos) << "isql-fb -x wrote:\n" << e.extract;

  Catalog cat(e.database);
  ASSERT_TRUE(cat.Connected()) << cat.Errors();
  const std::set<std::string> expected = CatalogFacts(cat);
  ASSERT_EQ(std::count_if(expected.begin(), expected.end(),
                          [](const std::string& s) { return s.rfind("domain ", 0) == 0; }),
            15);

  for (const Source& src :
       {Source{"sample", &TEmployee::sample}, Source{"extract", &TEmployee::extract}}) {
    for (TIBSQLServerVersionType v :
         {TIBSQLServerVersionType::st_Firebird_25, TIBSQLServerVersionType::st_Firebird_30}) {
      SCOPED_TRACE(std::string(src.name) + " under " +
                   (v == TIBSQLServerVersionType::st_Firebird_25 ? "2.5" : "3.0"));
      TIbParse p(v);
      p.parser->ScriptName = src.name;
      p.Run(e.*src.text);
      EXPECT_EQ(Errors(p.parser->Messages()), "");
      EXPECT_EQ(p.objs.Tables.Count(), 10);
      const std::set<std::string> got = ModelFacts(p.objs);
      std::string missing, extra;
      for (const auto& s : expected)
        if (!got.count(s)) missing += "  " + s + "\n";
      for (const auto& s : got)
        if (!expected.count(s)) extra += "  " + s + "\n";
      EXPECT_EQ(missing, "") << "in the catalog, not in the model";
      EXPECT_EQ(extra, "") << "in the model, not in the catalog";
    }
  }
}

}  // namespace
}  // namespace qor::test
