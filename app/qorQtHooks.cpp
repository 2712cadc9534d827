#include "app/qorQtHooks.h"

#include "platform/qorStrings.h"

#include <QApplication>
#include <QMessageBox>

namespace qor {

void QtShowMsg(const std::string& Text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                  QString::fromStdString(ReplaceAll(Text, "\r\n", "\n")), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

void QtProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

TQtUIHooks::TQtUIHooks() : guard_(QtShowMsg, QtProcessMessages) {}

}  // namespace qor
