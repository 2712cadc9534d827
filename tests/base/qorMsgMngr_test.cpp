// The message list (kinds, order, copying between lists) and the UI hooks.
#include "base/qorMsgMngr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qor {
namespace {

// Only its address is used: the list never looks into the object.
TDbObj* FakeObj(int n) {
  return reinterpret_cast<TDbObj*>(static_cast<std::uintptr_t>(0x1000 * n));
}

std::vector<std::string> Texts(const TMsgManager& m) {
  std::vector<std::string> t;
  for (int i = 0; i < m.Count(); ++i) t.push_back(m[i].Text);
  return t;
}

TEST(MsgManager, AddFormsFillTheirFields) {
  TMsgManager m;
  m.Add("plain", kMsgNote, FakeObj(1));
  m.AddMsg("in script", "proc.sql", 7, 12, kMsgError);
  m.AddObjMsg("about obj", FakeObj(2), 3, 4, kMsgError);
  ASSERT_EQ(m.Count(), 3);

  EXPECT_EQ(m[0].Text, "plain");
  EXPECT_EQ(m[0].Kind, kMsgNote);
  EXPECT_EQ(m[0].ScriptName, "");
  EXPECT_EQ(m[0].Column, 0);
  EXPECT_EQ(m[0].Line, 0);
  EXPECT_EQ(m[0].Obj, FakeObj(1));

  EXPECT_EQ(m[1].ScriptName, "proc.sql");
  EXPECT_EQ(m[1].Column, 7);
  EXPECT_EQ(m[1].Line, 12);
  EXPECT_EQ(m[1].Kind, kMsgError);
  EXPECT_EQ(m[1].Obj, nullptr);

  EXPECT_EQ(m[2].ScriptName, "");
  EXPECT_EQ(m[2].Obj, FakeObj(2));
  EXPECT_EQ(m[2].Column, 3);
  EXPECT_EQ(m[2].Line, 4);
}

TEST(MsgManager, HasErrorsOnlyForKindTwo) {
  TMsgManager m;
  EXPECT_FALSE(m.HasErrors());
  m.Add("note", kMsgNote);
  m.AddMsg("note 2", "s", 1, 1, kMsgNote);
  EXPECT_FALSE(m.HasErrors());
  EXPECT_TRUE(m.HasKind(kMsgNote));
  m.AddObjMsg("error", nullptr, 0, 0, kMsgError);
  EXPECT_TRUE(m.HasErrors());
  EXPECT_FALSE(m.HasKind(3));
  m.Clear();
  EXPECT_EQ(m.Count(), 0);
  EXPECT_FALSE(m.HasErrors());
  EXPECT_FALSE(m.HasKind(kMsgNote));
}

TEST(MsgManager, AddFromAppendsCopiesInOrder) {
  TMsgManager parser, extractor;
  extractor.Add("own", kMsgNote);
  parser.AddMsg("first", "a.sql", 1, 2, kMsgError);
  parser.AddObjMsg("second", FakeObj(3), 5, 6, kMsgNote);

  extractor.AddFrom(&parser);
  EXPECT_EQ(Texts(extractor), (std::vector<std::string>{"own", "first", "second"}));
  EXPECT_EQ(extractor[1].ScriptName, "a.sql");
  EXPECT_EQ(extractor[1].Line, 2);
  EXPECT_EQ(extractor[2].Obj, FakeObj(3));
  EXPECT_EQ(parser.Count(), 2);  // the source is unchanged

  // Copies, not shared entries: clearing the source leaves them intact.
  parser.Clear();
  EXPECT_EQ(extractor[2].Text, "second");
  EXPECT_EQ(extractor[2].Column, 5);

  extractor.AddFrom(nullptr);
  EXPECT_EQ(extractor.Count(), 3);
}

TEST(MsgManager, AddFromItselfDoublesOnce) {
  TMsgManager m;
  m.Add("a", kMsgNote);
  m.AddMsg("b", "s", 1, 2, kMsgError);
  m.AddFrom(&m);
  EXPECT_EQ(Texts(m), (std::vector<std::string>{"a", "b", "a", "b"}));
  EXPECT_EQ(m[3].ScriptName, "s");

  TMsgManager empty;
  empty.AddFrom(&empty);
  EXPECT_EQ(empty.Count(), 0);
}

TEST(MsgManager, AssignCopiesAllSixFields) {
  TMsgData src;
  src.Text = "t";
  src.Kind = kMsgError;
  src.ScriptName = "s";
  src.Column = 1;
  src.Line = 2;
  src.Obj = FakeObj(4);
  TMsgData dst;
  dst.Assign(src);
  EXPECT_EQ(dst.Text, "t");
  EXPECT_EQ(dst.Kind, kMsgError);
  EXPECT_EQ(dst.ScriptName, "s");
  EXPECT_EQ(dst.Column, 1);
  EXPECT_EQ(dst.Line, 2);
  EXPECT_EQ(dst.Obj, FakeObj(4));
}

TEST(UIRoutines, HooksReplaceAndRestore) {
  std::vector<std::string> shown;
  int pumps = 0;
  {
    TUIHookGuard guard([&](const std::string& t) { shown.push_back(t); }, [&] { ++pumps; });
    ShowMsg("Connection failed");
    ProcessMessages();
    ProcessMessages();
    {
      // A nested guard wins for its scope and gives the outer hooks back.
      std::vector<std::string> inner;
      TUIHookGuard nested([&](const std::string& t) { inner.push_back(t); });
      ShowMsg("inner");
      ProcessMessages();  // the nested guard installed the default: nothing counted
      EXPECT_EQ(inner, std::vector<std::string>{"inner"});
    }
    ShowMsg("again");
    ProcessMessages();
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"Connection failed", "again"}));
  EXPECT_EQ(pumps, 3);

  // After the guard the defaults are back: nothing reaches the recorders.
  testing::internal::CaptureStderr();
  ShowMsg("to stderr");
  ProcessMessages();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr\n");
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(pumps, 3);
}

TEST(UIRoutines, SettersReturnThePreviousHook) {
  int calls = 0;
  TShowMsgHook prev = SetShowMsgHook([&](const std::string&) { ++calls; });
  EXPECT_FALSE(prev);  // the default was in place
  ShowMsg("x");
  TShowMsgHook mine = SetShowMsgHook({});
  ASSERT_TRUE(mine);
  mine("y");
  EXPECT_EQ(calls, 2);

  // A hook that replaces itself while it runs does not pull the rug from under itself.
  std::string seen;
  SetShowMsgHook([&](const std::string& t) {
    SetShowMsgHook({});
    seen = t + "!";
  });
  testing::internal::CaptureStderr();
  ShowMsg("once");
  ShowMsg("twice");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "twice\n");
  EXPECT_EQ(seen, "once!");
  EXPECT_FALSE(SetProcessMessagesHook({}));
}

}  // namespace
}  // namespace qor
