// The library's two UI routines (ShowMsg, ProcessMessages) in Qt: a modal
// message box, and running the events that wait. Installed by the program
// for its lifetime; tests install recorders of their own instead.
#pragma once

#include "base/qorMsgMngr.h"

namespace qor {

class TQtUIHooks {
 public:
  TQtUIHooks();

 private:
  TUIHookGuard guard_;
};

// The hooks themselves, for a test that runs them.
void QtShowMsg(const std::string& Text);
void QtProcessMessages();

}  // namespace qor
