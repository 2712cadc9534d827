// The window without a display: the three commands pressed through the
// window itself, the whole script and a screenshot written to a folder.
// The program does this when there is no display to open the window on.
#pragma once

#include <string>

namespace qor {

class TForm1;

struct TOffscreenRunResult {
  bool Extracted = false;      // "Extract database" finished normally
  std::string ScreenshotPath;  // empty when it could not be written
  std::string ScriptPath;      // the whole script; empty when there was none
  std::string Error;           // why a file could not be written
};

// Shows the form, presses "Extract database", then "Extract metadata" (the
// script goes to `Dir`/quorvane-script.sql) and "Extract table", and saves
// the window to `Dir`/quorvane-window.png.
TOffscreenRunResult RunOffscreen(TForm1& Form, const std::string& Dir);

}  // namespace qor
