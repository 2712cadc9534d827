// The message list that parsers and extractors fill with their notes and
// errors, and the two routines through which the library reaches the user
// interface: a message box and the message pump. The routines go through
// replaceable hooks so that the window (or a test) decides what they do.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qorObject.h"

namespace qor {

class TDbObj;

// Message kinds; nothing else is written.
inline constexpr std::uint8_t kMsgNote = 1;
inline constexpr std::uint8_t kMsgError = 2;

class TMsgData {
 public:
  void Assign(const TMsgData& Source);

  std::string Text;
  std::uint8_t Kind = 0;
  std::string ScriptName;   // script or object text it arose in, empty when none
  std::int32_t Column = 0;  // as the caller passes it, 0 when none
  std::int32_t Line = 0;    // 0 when none
  TDbObj* Obj = nullptr;    // the object it concerns; not owned
};

// Owns its messages and keeps them in the order they were added.
class TMsgManager : public TObject {
 public:
  const char* ClassName() const override { return "TMsgManager"; }

  // Frees every message; references taken before are no longer valid.
  void Clear();
  void Add(std::string_view Text, std::uint8_t Kind, TDbObj* Obj = nullptr);
  void AddMsg(std::string_view Text, std::string_view ScriptName, std::int32_t Column,
              std::int32_t Line, std::uint8_t Kind);
  void AddObjMsg(std::string_view Text, TDbObj* Obj, std::int32_t Column, std::int32_t Line,
                 std::uint8_t Kind);
  bool HasKind(std::uint8_t Kind) const;
  bool HasErrors() const { return HasKind(kMsgError); }
  // Appends a copy of every message of Other in its order; Other may be this
  // list or none.
  void AddFrom(const TMsgManager* Other);

  int Count() const { return static_cast<int>(items_.size()); }
  const TMsgData& Items(int Index) const { return *items_.at(static_cast<std::size_t>(Index)); }
  const TMsgData& operator[](int Index) const { return Items(Index); }

 private:
  TMsgData& Append();
  std::vector<std::unique_ptr<TMsgData>> items_;
};

// --------------------------------------------------------------- UI routines

using TShowMsgHook = std::function<void(const std::string& Text)>;
using TProcessMessagesHook = std::function<void()>;

// Shows Text to the user and returns when it has been seen. By default the
// text and a line break go to stderr.
void ShowMsg(const std::string& Text);
// Lets waiting window messages run; by default nothing happens.
void ProcessMessages();

// Replace a routine; an empty function restores the default. Each returns
// the hook it replaced (empty when the default was in place).
TShowMsgHook SetShowMsgHook(TShowMsgHook Hook);
TProcessMessagesHook SetProcessMessagesHook(TProcessMessagesHook Hook);

// Installs both hooks for one scope (an empty one means the default) and
// puts the previous ones back at its end. Meant for tests.
class TUIHookGuard {
 public:
  explicit TUIHookGuard(TShowMsgHook Show, TProcessMessagesHook Process = {})
      : prevShow_(SetShowMsgHook(std::move(Show))),
        prevProcess_(SetProcessMessagesHook(std::move(Process))) {}
  ~TUIHookGuard() {
    SetShowMsgHook(std::move(prevShow_));
    SetProcessMessagesHook(std::move(prevProcess_));
  }
  TUIHookGuard(const TUIHookGuard&) = delete;
  TUIHookGuard& operator=(const TUIHookGuard&) = delete;

 private:
  TShowMsgHook prevShow_;
  TProcessMessagesHook prevProcess_;
};

}  // namespace qor
