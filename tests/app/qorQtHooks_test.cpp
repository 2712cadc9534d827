// The Qt forms of the library's UI routines: the message box shows the text
// and returns once it is closed; the pump runs what waits.
#include "app/qorQtHooks.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(QtHooks, MessageBoxShowsTheTextUntilClosed) {
  std::string seen;
  int ticks = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    ++ticks;
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box && ticks < 200) return;
    if (box) {
      seen = box->text().toStdString();
      box->accept();
    }
    closer.stop();
  });
  closer.start(10);
  QtShowMsg("Table name not specified.\r\nSecond line");
  EXPECT_EQ(seen, "Table name not specified.\nSecond line");
}

TEST(QtHooks, PumpRunsWaitingEventsAndInstalledHooksAreUsed) {
  int ran = 0;
  QMetaObject::invokeMethod(
      qApp, [&] { ++ran; }, Qt::QueuedConnection);
  {
    const TQtUIHooks hooks;
    ProcessMessages();
  }
  EXPECT_EQ(ran, 1);
  // Without the hooks the library's default pump does nothing.
  QMetaObject::invokeMethod(
      qApp, [&] { ++ran; }, Qt::QueuedConnection);
  ProcessMessages();
  EXPECT_EQ(ran, 1);
  QtProcessMessages();
  EXPECT_EQ(ran, 2);
}

}  // namespace
}  // namespace qor
