#include "app/qorOffscreenRun.h"

#include "app/Unit1.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include <fstream>

namespace qor {

TOffscreenRunResult RunOffscreen(TForm1& Form, const std::string& Dir) {
  TOffscreenRunResult result;
  const QDir dir(QString::fromStdString(Dir));
  Form.show();
  QCoreApplication::processEvents();

  Form.BtnExtractDb->click();
  result.Extracted = Form.BtnTessarind->isEnabled();
  if (result.Extracted) {
    Form.BtnTessarind->click();
    const std::string path = dir.filePath("quorvane-script.sql").toStdString();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << Form.MemoScript->toPlainText().toStdString() << '\n';
    if (out.flush()) result.ScriptPath = path;
    else result.Error = "Cannot write \"" + path + "\".";
    Form.BtnExtractTable->click();
  }
  QCoreApplication::processEvents();

  const QString shot = dir.filePath("quorvane-window.png");
  if (Form.grab().save(shot, "PNG")) {
    result.ScreenshotPath = shot.toStdString();
  } else {
    if (!result.Error.empty()) result.Error += " ";
    result.Error += "Cannot write \"" + shot.toStdString() + "\".";
  }
  return result;
}

}  // namespace qor
