// External functions: the DECLARE EXTERNAL FUNCTION text with its arguments
// and result, literal quoting of entry point and module, the drop and
// description texts, and the walk of the views and computed columns that
// call a function.
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "tests/model/qorKindFixture.h"
#include "tests/model/qorModelFakes.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace qor {
namespace {

using DB = TDatabaseType;

class UdfTest : public test::KindTest {
 protected:
  TFldData* AddArg(TUdfData* f, std::uint8_t type) {
    auto a = std::make_unique<TFldData>(&Objs(), f);
    a->DataType = type;
    TFldData* raw = a.get();
    f->Args.Add(std::to_string(f->Args.Count() + 1), std::move(a));
    return raw;
  }
};

TEST_F(UdfTest, DeclareTexts) {
  auto* f = Make<TUdfData>(DB::dbInterBase, "STRLEN");
  f->ResultField->DataType = dt::INTEGER;
  f->ResultField->ByValue = true;
  f->EntryPoint = "IB_UDF_strlen";
  f->ModuleName = "ib_udf";
  // No arguments: RETURNS right on the line after the name.
  EXPECT_EQ(f->GetCreateSQL(),
            "DECLARE EXTERNAL FUNCTION STRLEN\r\nRETURNS INTEGER BY VALUE\r\n"
            "ENTRY_POINT 'IB_UDF_strlen' MODULE_NAME 'ib_udf'");

  auto* f2 = Make<TUdfData>(DB::dbInterBase, "rpad");
  AddArg(f2, dt::INTEGER)->ByDescriptor = true;
  AddArg(f2, dt::CSTRING)->Length = 20;
  TFldData* blob = AddArg(f2, dt::BLOB);
  blob->SubType = 1;
  blob->SegmentSize = 100;  // never written for an external function
  f2->ResultField->DataType = dt::BLOB;
  f2->ResultField->SegmentSize = 100;
  f2->FreeIt = true;
  f2->EntryPoint = "it's";
  f2->ModuleName = "lib'x";
  EXPECT_EQ(f2->GetCreateSQL(),
            "DECLARE EXTERNAL FUNCTION \"rpad\"\r\n"
            "INTEGER BY DESCRIPTOR, CSTRING(20), BLOB SUB_TYPE 1\r\n"
            "RETURNS BLOB FREE_IT\r\n"
            "ENTRY_POINT 'it''s' MODULE_NAME 'lib''x'");

  // A result returned through an argument.
  f2->ResultField->ReturnParamNo = 2;
  f2->FreeIt = false;
  EXPECT_NE(f2->GetCreateSQL().find("\r\nRETURNS PARAMETER 2\r\n"), std::string::npos);
}

TEST_F(UdfTest, DropAndDescription) {
  auto* f = Make<TUdfData>(DB::dbInterBase, "ABS_VAL");
  EXPECT_EQ(f->GetDropSQL(), "/* Drop: ABS_VAL (TUdfData) */\r\nDROP EXTERNAL FUNCTION ABS_VAL");
  f->SetDescription("abs");
  IB().IBCompareOptions.UpdateDescriptionMode = TUpdateDescriptionType::udComment;
  EXPECT_EQ(f->GetDescriptionSQL(), "COMMENT ON EXTERNAL FUNCTION ABS_VAL IS\r\n'abs'");
  IB().IBCompareOptions.UpdateDescriptionMode = TUpdateDescriptionType::udDescribe;
  EXPECT_EQ(f->GetDescriptionSQL(), "DESCRIBE FUNCTION ABS_VAL\r\n'abs'");
}

// A function F called by a view column V.C and by the computed column T.X,
// all in one collection that is its own source and target.
class UdfWalkTest : public test::KindTest {
 protected:
  void SetUp() override {
    Objs().SetServerType(DB::dbInterBase);
    Objs().ScriptWriter = &writer;
    auto f = std::make_unique<TUdfData>(&Objs());
    f->SetName("F");
    udf = Objs().AddObject(f, true);

    auto v = std::make_unique<TViwData>(&Objs());
    v->SetName("V");
    auto c = std::make_unique<TFldData>(&Objs(), v.get());
    c->SetName("C");
    viewColumn = c.get();
    v->Columns.Add("C", std::move(c));
    view = Objs().AddObject(v, true);

    auto t = std::make_unique<TTblData>(&Objs());
    t->SetName("T");
    auto x = std::make_unique<TFldData>(&Objs(), t.get());
    x->SetName("X");
    x->DataType = dt::INTEGER;
    x->SetText("(F(1))");
    computed = x.get();
    t->Fields.Add("X", std::move(x));
    table = Objs().AddObject(t, true);

    Objs().AddDependency(viewColumn, udf, 0, 0);
    Objs().AddDependency(computed, udf, 0, 0);
  }
  void TearDown() override { Objs().ScriptWriter = nullptr; }

  // Position of the first statement of `name` with `action`, or -1.
  int At(const std::string& name, int action) const {
    const auto trace = writer.Trace();
    const auto it = std::find(trace.begin(), trace.end(), name + ":" + std::to_string(action));
    return it == trace.end() ? -1 : static_cast<int>(it - trace.begin());
  }

  test::RecordingWriter writer;
  TUdfData* udf = nullptr;
  TViwData* view = nullptr;
  TTblData* table = nullptr;
  TFldData* viewColumn = nullptr;
  TFldData* computed = nullptr;
};

TEST_F(UdfWalkTest, DropTakesTheCallersFirst) {
  Objs().Role = 2;  // the collection is the target of the script
  udf->WriteDrop();
  const int f = At("F", kActionDrop);
  ASSERT_GE(f, 0);
  EXPECT_EQ(f, static_cast<int>(writer.calls.size()) - 1) << "the function goes last";
  EXPECT_GE(At("V", kActionDrop), 0);
  EXPECT_GE(At("X", kActionDrop), 0);
  EXPECT_FALSE(view->GetSelected());
  EXPECT_FALSE(computed->GetSelected());
  EXPECT_TRUE(table->GetSelected());
  // Nothing twice.
  writer.calls.clear();
  udf->WriteDrop();
  EXPECT_TRUE(writer.calls.empty());
}

TEST_F(UdfWalkTest, DeselectWritesTheCallersOfTheSourceAgain) {
  // The source of the comparison holds the same view and table, absent from
  // the script so far.
  TObjs source;
  source.SetServerType(DB::dbInterBase);
  source.ScriptWriter = &writer;
  auto v = std::make_unique<TViwData>(&source);
  v->SetName("V");
  v->SetSelected(false);
  TViwData* sourceView = source.AddObject(v, true);
  auto t = std::make_unique<TTblData>(&source);
  t->SetName("T");
  auto x = std::make_unique<TFldData>(&source, t.get());
  x->SetName("X");
  x->SetText("(F(1))");
  x->SetSelected(false);
  TFldData* sourceColumn = x.get();
  t->Fields.Add("X", std::move(x));
  source.AddObject(t, true);
  Objs().LinkedObjs = &source;
  Objs().Role = 2;

  udf->Deselect();
  EXPECT_FALSE(udf->GetSelected());
  EXPECT_GE(At("V", kActionCreate), 0);
  EXPECT_GE(At("X", kActionCreate), 0);
  EXPECT_TRUE(sourceView->GetSelected());
  EXPECT_TRUE(sourceColumn->GetSelected());

  // Callers already present are left alone.
  writer.calls.clear();
  udf->Deselect();
  EXPECT_TRUE(writer.calls.empty());
  Objs().LinkedObjs = nullptr;
  source.ScriptWriter = nullptr;
}

}  // namespace
}  // namespace qor
