// The program: the engine's start-up, the main window, the message loop.
// Without a display the window runs offscreen instead: the three commands
// are pressed through it and a screenshot and the script are written beside
// the program.
#include "app/Unit1.h"
#include "app/qorOffscreenRun.h"
#include "app/qorQtHooks.h"
#include "engine/qorEngineInit.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

bool HasDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int RunWithoutDisplay(qor::TForm1& form) {
  // No message box can be answered here: messages go to stderr.
  const qor::TUIHookGuard hooks({}, qor::QtProcessMessages);
  const auto r = qor::RunOffscreen(form, QCoreApplication::applicationDirPath().toStdString());
  if (!r.ScreenshotPath.empty()) std::printf("Screenshot: %s\n", r.ScreenshotPath.c_str());
  if (!r.ScriptPath.empty()) std::printf("Script: %s\n", r.ScriptPath.c_str());
  if (!r.Error.empty()) std::fprintf(stderr, "%s\n", r.Error.c_str());
  if (!r.Extracted) std::fprintf(stderr, "The extraction did not finish; see the screenshot.\n");
  std::fflush(stdout);
  return r.Extracted && r.Error.empty() ? EXIT_SUCCESS : EXIT_FAILURE;
}

// Without a display Qt's notes about the stand-in platform would bury the
// lines the user needs; its errors still show.
void QuietNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::puts("No display: the window runs offscreen and saves a screenshot instead.");
    std::fflush(stdout);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietNotes);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName("Quorvane");
  qor::InitializeEngine();
  int rc = EXIT_SUCCESS;
  {
    auto form = std::make_unique<qor::TForm1>();
    if (QGuiApplication::platformName() == "offscreen") {
      rc = RunWithoutDisplay(*form);
    } else {
      const qor::TQtUIHooks hooks;
      form->show();
      rc = QApplication::exec();
    }
  }
  qor::FinalizeEngine();
  return rc;
}
