#include "base/qorMsgMngr.h"

#include <cstdio>
#include <utility>

namespace qor {

void TMsgData::Assign(const TMsgData& Source) {
  Text = Source.Text;
  Kind = Source.Kind;
  ScriptName = Source.ScriptName;
  Column = Source.Column;
  Line = Source.Line;
  Obj = Source.Obj;
}

void TMsgManager::Clear() { items_.clear(); }

TMsgData& TMsgManager::Append() {
  items_.push_back(std::make_unique<TMsgData>());
  return *items_.back();
}

void TMsgManager::Add(std::string_view Text, std::uint8_t Kind, TDbObj* Obj) {
  TMsgData& m = Append();
  m.Text = std::string(Text);
  m.Kind = Kind;
  m.Obj = Obj;
}

void TMsgManager::AddMsg(std::string_view Text, std::string_view ScriptName, std::int32_t Column,
                         std::int32_t Line, std::uint8_t Kind) {
  TMsgData& m = Append();
  m.Text = std::string(Text);
  m.Kind = Kind;
  m.ScriptName = std::string(ScriptName);
  m.Column = Column;
  m.Line = Line;
}

void TMsgManager::AddObjMsg(std::string_view Text, TDbObj* Obj, std::int32_t Column,
                            std::int32_t Line, std::uint8_t Kind) {
  TMsgData& m = Append();
  m.Text = std::string(Text);
  m.Kind = Kind;
  m.Obj = Obj;
  m.Column = Column;
  m.Line = Line;
}

bool TMsgManager::HasKind(std::uint8_t Kind) const {
  for (const auto& m : items_)
    if (m->Kind == Kind) return true;
  return false;
}

void TMsgManager::AddFrom(const TMsgManager* Other) {
  if (!Other) return;
  // Counted first, so that copying a list onto itself doubles it once
  // instead of chasing its own growing end.
  const std::size_t n = Other->items_.size();
  items_.reserve(items_.size() + n);
  for (std::size_t i = 0; i < n; ++i) {
    auto copy = std::make_unique<TMsgData>();
    copy->Assign(*Other->items_[i]);
    items_.push_back(std::move(copy));
  }
}

// ------------------------------------------------------------- UI routines

namespace {

TShowMsgHook& ShowMsgHook() {
  static TShowMsgHook hook;
  return hook;
}

TProcessMessagesHook& ProcessMessagesHook() {
  static TProcessMessagesHook hook;
  return hook;
}

}  // namespace

void ShowMsg(const std::string& Text) {
  // A copy, so that a hook may replace itself while it runs.
  if (const TShowMsgHook hook = ShowMsgHook()) {
    hook(Text);
    return;
  }
  std::fwrite(Text.data(), 1, Text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void ProcessMessages() {
  if (const TProcessMessagesHook hook = ProcessMessagesHook()) hook();
}

TShowMsgHook SetShowMsgHook(TShowMsgHook Hook) {
  return std::exchange(ShowMsgHook(), std::move(Hook));
}

TProcessMessagesHook SetProcessMessagesHook(TProcessMessagesHook Hook) {
  return std::exchange(ProcessMessagesHook(), std::move(Hook));
}

}  // namespace qor
