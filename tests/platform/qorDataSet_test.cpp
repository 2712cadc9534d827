// The dataset classes: the SQL text list, field NULL and conversion rules,
// lookups by name, parameter values, and the forward-only reading order.
#include "platform/dataset/qorDataSet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

TEST(DataSet, StringsJoinWithCrLfAndReportEveryChange) {
  TStrings s;
  int changes = 0;
  s.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &s);
    ++changes;
  };
  s.Add("select a");
  s.Add("from t");
  EXPECT_EQ(s.Text(), "select a\r\nfrom t");
  s.SetText("x\ny\r\nz");
  EXPECT_EQ(s.Count(), 3);
  EXPECT_EQ(s.Text(), "x\r\ny\r\nz");
  s.Clear();
  EXPECT_EQ(s.Text(), "");
  EXPECT_EQ(changes, 4);
}

TEST(DataSet, FieldValuesFollowTheNullAndConversionRules) {
  struct Case {
    const char* name;
    TFieldValue value;
    const char* asString;
    bool intOk;
    std::int32_t asInteger;
    bool boolOk;
    bool asBoolean;
  };
  const Case cases[] = {
      {"NULL", std::monostate{}, "", true, 0, true, false},
      {"text number with blanks", std::string("  42  "), "  42  ", true, 42, true, true},
      {"exact decimal", std::string("12.75"), "12.75", true, 12, true, true},
      {"negative decimal", std::string("-0.50"), "-0.50", true, 0, true, false},
      {"not a number", std::string("abc"), "abc", false, 0, false, false},
      {"T is true", std::string("T"), "T", false, 0, true, true},
      {"N is false", std::string("No"), "No", false, 0, true, false},
      {"empty text", std::string(""), "", false, 0, true, false},
      {"whole number", std::int64_t{-7}, "-7", true, -7, true, true},
      {"zero", std::int64_t{0}, "0", true, 0, true, false},
      {"beyond 32 bits", std::int64_t{5000000000}, "5000000000", false, 0, true, true},
      {"float", 2.5, "2.5", true, 2, true, true},
      {"boolean", true, "True", true, 1, true, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TField f("F", TFieldType::ftString);
    f.SetValue(k.value);
    EXPECT_EQ(f.IsNull(), std::holds_alternative<std::monostate>(k.value));
    EXPECT_EQ(f.AsString(), k.asString);
    if (k.intOk) EXPECT_EQ(f.AsInteger(), k.asInteger);
    else EXPECT_THROW(f.AsInteger(), EQorError);
    if (k.boolOk) EXPECT_EQ(f.AsBoolean(), k.asBoolean);
    else EXPECT_THROW(f.AsBoolean(), EQorError);
  }
  TField f("AMOUNT", TFieldType::ftString);
  f.SetValue(std::string("x1"));
  try {
    f.AsInteger();
    FAIL() << "no exception";
  } catch (const EQorError& e) {
    EXPECT_EQ(std::string(e.what()), "'x1' is not a valid integer value for field 'AMOUNT'");
  }
}

TEST(DataSet, FieldsAndParamsAreFoundByNameIgnoringCaseFirstMatchFirst) {
  TFields fields;
  fields.Add("NAME", TFieldType::ftString)->SetValue(std::string("first"));
  fields.Add("Name", TFieldType::ftString)->SetValue(std::string("second"));
  EXPECT_EQ(fields.FieldByName("name")->AsString(), "first");
  EXPECT_EQ(fields[1]->AsString(), "second");
  EXPECT_EQ(fields.FindField("OTHER"), nullptr);
  try {
    fields.FieldByName("OTHER");
    FAIL() << "no exception";
  } catch (const EQorError& e) {
    EXPECT_EQ(std::string(e.what()), "Field 'OTHER' not found");
  }

  TParams old;
  old.CreateParam("A")->SetAsString("a");
  old.CreateParam("B")->SetAsInteger(2);
  TParams fresh;
  fresh.CreateParam("b");
  fresh.CreateParam("C");
  fresh.CreateParam("B");
  fresh.AssignValues(old);
  EXPECT_EQ(fresh[0]->AsString(), "2");
  EXPECT_TRUE(fresh[0]->Bound());
  EXPECT_FALSE(fresh[1]->Bound());
  EXPECT_EQ(fresh[2]->AsString(), "2");
  EXPECT_THROW(fresh.ParamByName("D"), EQorError);
  fresh[1]->Clear();
  EXPECT_TRUE(fresh[1]->Bound());
  EXPECT_TRUE(fresh[1]->IsNull());
}

// Rows from a list, for the reading order.
class TListDataSet : public TDataSet {
 public:
  explicit TListDataSet(std::vector<std::int64_t> rows) : rows_(std::move(rows)) {}

 protected:
  void InternalOpen() override {
    fields_.Clear();
    fields_.Add("N", TFieldType::ftLargeint);
    next_ = 0;
  }
  bool InternalFetch() override {
    if (next_ >= rows_.size()) return false;
    fields_[0]->SetValue(rows_[next_++]);
    return true;
  }

 private:
  std::vector<std::int64_t> rows_;
  std::size_t next_ = 0;
};

TEST(DataSet, ForwardOnlyReading) {
  TListDataSet empty({});
  EXPECT_TRUE(empty.Eof());
  empty.Open();
  EXPECT_TRUE(empty.Active());
  EXPECT_TRUE(empty.Eof());

  TListDataSet ds({1, 2, 3});
  ds.Open();
  ASSERT_FALSE(ds.Eof());
  EXPECT_EQ(ds.FieldByName("n")->AsInteger(), 1);
  ds.First();  // still on the first row: allowed
  ds.Next();
  EXPECT_EQ(ds.FieldByName("N")->AsInteger(), 2);
  EXPECT_THROW(ds.First(), EQorError);
  ds.Last();
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.FieldByName("N")->AsInteger(), 3);  // the last row's values stay
  ds.Next();
  EXPECT_TRUE(ds.Eof());
  ds.Close();
  EXPECT_FALSE(ds.Active());
  EXPECT_TRUE(ds.Eof());
  ds.Open();
  EXPECT_EQ(ds.FieldByName("N")->AsInteger(), 1);
}

}  // namespace
}  // namespace qor
