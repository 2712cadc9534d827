#include "app/Unit1.h"

#include "app/qorIniFile.h"
#include "base/qorMsgMngr.h"
#include "extract/ib/qorIBDatabaseExtract.h"
#include "extract/mssql/qorMSSQLDatabaseExtract.h"
#include "extract/mysql/qorMySQLDatabaseExtract.h"
#include "extract/qorCustomExtract.h"
#include "parsers/ib/qorIBExParser.h"
#include "platform/qorStrings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <exception>

namespace qor {

namespace {

QString ToQ(std::string_view s) {
  // The panes show "\n" line breaks; the library's texts carry "\r\n".
  return QString::fromStdString(ReplaceAll(s, "\r\n", "\n"));
}

std::string FromQ(const QString& s) { return s.toStdString(); }

QPlainTextEdit* NewPane(QWidget* parent, const char* firstLine, bool readOnly) {
  auto* pane = new QPlainTextEdit(parent);
  pane->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setReadOnly(readOnly);
  pane->setPlainText(firstLine);
  return pane;
}

const char* kAbnormalEnd = "< Extracting finished abnormally! >";

}  // namespace

TForm1::TForm1(std::string IniFileName, QWidget* Parent)
    : QWidget(Parent), iniFileName_(std::move(IniFileName)) {
  CreateControls();
  LinkComponents();
  FormCreate();
}

TForm1::~TForm1() {
  std::string error;
  if (!FormDestroy(&error)) qWarning("%s", error.c_str());
  // The extractors go before the structure and the connection they link.
  IBDBExtract = MSSQLDBExtract = MySQLDBExtract = nullptr;
  extractors_.clear();
}

std::string TForm1::GetIniFileName() {
  return FromQ(QDir(QCoreApplication::applicationDirPath()).filePath("Quorvane.Ini"));
}

// ------------------------------------------------------------- the form

void TForm1::CreateControls() {
  setWindowTitle("Quorvane");
  QFont f("MS Shell Dlg 2");
  f.setPixelSize(11);
  setFont(f);

  inputs_ = new QWidget(this);

  Panel2 = new QFrame(inputs_);
  rbMIB = new QRadioButton("InterBase", Panel2);
  rbMMS = new QRadioButton("MS SQL", Panel2);
  rbMMY = new QRadioButton("MySQL", Panel2);
  rbMIB->setChecked(true);
  rbMMY->setVisible(false);
  auto* kinds = new QVBoxLayout(Panel2);
  kinds->setContentsMargins(0, 0, 0, 0);
  kinds->addWidget(rbMIB);
  kinds->addWidget(rbMMS);
  kinds->addWidget(rbMMY);
  kinds->addStretch(1);

  auto* fields = new QGridLayout;
  auto addField = [&](int row, const char* caption, QLabel*& label, QLineEdit*& edit) {
    label = new QLabel(caption, inputs_);
    edit = new QLineEdit(inputs_);
    label->setBuddy(edit);
    fields->addWidget(label, row, 0);
    fields->addWidget(edit, row, 1);
  };
  addField(0, "Database name", Label3, EditDBNameM);
  addField(1, "User", LabelUserM, EditUserM);
  addField(2, "Password", LabelPswdM, EditPswdM);  // shown in the clear
  addField(3, "Server name", LabelServerM, EditServerM);
  addField(4, "Table name", Label11, EditTableM);
  cbAuthM = new QCheckBox("Windows authentication", inputs_);
  fields->addWidget(cbAuthM, 5, 1);

  BtnExtractDb = new QPushButton("Extract database", inputs_);
  BtnTessarind = new QPushButton("Extract metadata", inputs_);
  BtnExtractTable = new QPushButton("Extract table", inputs_);
  BtnTessarind->setEnabled(false);
  BtnExtractTable->setEnabled(false);
  ProgressBarM = new QProgressBar(inputs_);
  ProgressBarM->setTextVisible(false);
  auto* commands = new QVBoxLayout;
  commands->addWidget(BtnExtractDb);
  commands->addWidget(BtnTessarind);
  commands->addWidget(BtnExtractTable);
  commands->addWidget(ProgressBarM);
  commands->addStretch(1);

  auto* top = new QHBoxLayout(inputs_);
  top->setContentsMargins(0, 0, 0, 0);
  top->addWidget(Panel2);
  top->addLayout(fields, 1);
  top->addLayout(commands);

  MemoLog = NewPane(this, "< Log >", /*readOnly=*/true);
  MemoLog->setFixedHeight(140);
  MemoScript = NewPane(this, "< Script is empty >", /*readOnly=*/false);

  auto* page = new QVBoxLayout(this);
  page->addWidget(inputs_);
  page->addWidget(MemoLog);
  page->addWidget(MemoScript, 1);

  resize(800, 540);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  for (QRadioButton* rb : {rbMIB, rbMMS, rbMMY}) {
    QObject::connect(rb, &QRadioButton::toggled, this, [this, rb](bool checked) {
      if (checked) rbMClick(rb);
    });
  }
  // On every change, also one made by code.
  QObject::connect(cbAuthM, &QCheckBox::toggled, this, [this](bool) { rbMClick(cbAuthM); });
  QObject::connect(BtnExtractDb, &QPushButton::clicked, this, [this] { BtnExtractDbClick(); });
  QObject::connect(BtnTessarind, &QPushButton::clicked, this, [this] { BtnTessarindClick(); });
  QObject::connect(BtnExtractTable, &QPushButton::clicked, this,
                   [this] { BtnExtractTableClick(); });
}

void TForm1::LinkComponents() {
  // The window's scripts keep each column's and domain's character set and
  // collation; library callers keep the option's default.
  DBStructure.IBServerOptions()->IBCompareOptions.FldCharsetCompare = true;
  QORConnection.OnErrorMessage = [this](TObject* s, const std::string& t) {
    LogErrorMessage(s, t);
  };
  // Every extractor reads through the one connection into the one structure
  // and reports to the log.
  auto link = [this](TCustomExtract& x) {
    x.SetQORConnection(&QORConnection);
    x.SetDBStructure(&DBStructure);
    x.OnLogNextLine = [this](TObject* s, const std::string& t) { LogNextLine(s, t); };
    x.OnErrorMessage = [this](TObject* s, const std::string& t) { LogErrorMessage(s, t); };
  };
  auto my = std::make_unique<TMySQLDBExtract>();
  link(*my);
  MySQLDBExtract = my.get();
  extractors_.push_back(std::move(my));
  auto ib = std::make_unique<TIBDBExtract>();
  link(*ib);
  // Stored bodies are read for what they use by the InterBase body parser.
  ib->BodyParserFactory = [](TIBDBExtract& x) -> std::unique_ptr<TCustomSQLParser> {
    return std::make_unique<TIbExParser>(&x);
  };
  IBDBExtract = ib.get();
  extractors_.push_back(std::move(ib));
  auto ms = std::make_unique<TMSSQLDBExtract>();
  link(*ms);
  MSSQLDBExtract = ms.get();
  extractors_.push_back(std::move(ms));
}

// ------------------------------------------------------------- settings

void TForm1::FormCreate() { LoadSettings(); }

void TForm1::LoadSettings() {
  const TIniFile ini(iniFileName_);
  const QSignalBlocker b1(rbMIB), b2(rbMMS), b3(rbMMY), b4(cbAuthM);
  switch (ini.ReadInteger(kIniSection, kIniDatabaseType, 1)) {
    case 3: SetDatabaseType(TDatabaseType::dbMySQL); break;
    case 5: SetDatabaseType(TDatabaseType::dbMSSQL); break;
    default: SetDatabaseType(TDatabaseType::dbInterBase); break;
  }
  rbMClick(nullptr);
  EditDBNameM->setText(ToQ(ini.ReadString(kIniSection, kIniDBName, "")));
  EditServerM->setText(ToQ(ini.ReadString(kIniSection, kIniHostName, "")));
  EditUserM->setText(ToQ(ini.ReadString(kIniSection, kIniUserName, "")));
  EditPswdM->setText(ToQ(ini.ReadString(kIniSection, kIniPassword, "")));
  cbAuthM->setChecked(ini.ReadBool(kIniSection, kIniWinAuthentication, false));
  EditTableM->setText(ToQ(ini.ReadString(kIniSection, kIniTableName, "")));
  UpdateInputStates();
}

bool TForm1::FormDestroy(std::string* Error) {
  TIniFile ini(iniFileName_);
  ini.WriteInteger(kIniSection, kIniDatabaseType, static_cast<std::int32_t>(GetDatabaseType()));
  ini.WriteString(kIniSection, kIniDBName, FromQ(EditDBNameM->text()));
  ini.WriteString(kIniSection, kIniHostName, FromQ(EditServerM->text()));
  ini.WriteString(kIniSection, kIniUserName, FromQ(EditUserM->text()));
  ini.WriteString(kIniSection, kIniPassword, FromQ(EditPswdM->text()));
  ini.WriteBool(kIniSection, kIniWinAuthentication, cbAuthM->isChecked());
  ini.WriteString(kIniSection, kIniTableName, FromQ(EditTableM->text()));
  std::string error;
  if (ini.UpdateFile(error)) return true;
  if (Error) *Error = error;
  return false;
}

// ------------------------------------------------------------- server kind

TDatabaseType TForm1::GetDatabaseType() const {
  if (rbMMS->isChecked()) return TDatabaseType::dbMSSQL;
  if (rbMMY->isChecked()) return TDatabaseType::dbMySQL;
  return TDatabaseType::dbInterBase;
}

void TForm1::SetDatabaseType(TDatabaseType Value) {
  // Anything but MS SQL and MySQL is InterBase.
  if (Value == TDatabaseType::dbMSSQL) rbMMS->setChecked(true);
  else if (Value == TDatabaseType::dbMySQL) rbMMY->setChecked(true);
  else rbMIB->setChecked(true);
}

void TForm1::rbMClick(QObject* Sender) {
  if (rbMIB->isChecked()) {
    EditUserM->setText("SYSDBA");
    EditPswdM->setText(kDefaultAdminPassword);
  } else {
    EditUserM->clear();
    EditPswdM->clear();
  }
  // A change of cbAuthM runs this again with cbAuthM as sender.
  if (Sender != cbAuthM) cbAuthM->setChecked(rbMMS->isChecked());
  UpdateInputStates();
}

void TForm1::UpdateInputStates() {
  const bool ms = rbMMS->isChecked();
  cbAuthM->setEnabled(ms);
  const bool credentials =
      rbMIB->isChecked() || rbMMY->isChecked() || (ms && !cbAuthM->isChecked());
  for (QWidget* w : {static_cast<QWidget*>(LabelUserM), static_cast<QWidget*>(EditUserM),
                     static_cast<QWidget*>(LabelPswdM), static_cast<QWidget*>(EditPswdM)})
    w->setEnabled(credentials);
  const bool any = rbMIB->isChecked() || ms || rbMMY->isChecked();
  LabelServerM->setEnabled(any);
  EditServerM->setEnabled(any);
}

// ------------------------------------------------------------- commands

void TForm1::SetInputsEnabled(bool Enabled) {
  // Children keep their own states and get them back with the container.
  inputs_->setEnabled(Enabled);
}

template <class Fn>
void TForm1::RunCommand(QPushButton* Button, Fn Body) {
  if (busy_) return;
  busy_ = true;
  Button->setEnabled(false);
  SetInputsEnabled(false);
  Button->repaint();
  try {
    Body();
  } catch (const std::exception& e) {
    AddLog(e.what());
    AddLog(kAbnormalEnd);
  } catch (...) {
    AddLog("Unknown error.");
    AddLog(kAbnormalEnd);
  }
  try {
    QORConnection.SetConnected(false);
  } catch (const std::exception& e) {
    AddLog(e.what());
  }
  Button->setEnabled(true);
  BtnTessarind->setEnabled(extracted_);
  BtnExtractTable->setEnabled(extracted_);
  SetInputsEnabled(true);
  busy_ = false;
  if (closeRequested_) close();
}

void TForm1::BtnExtractDbClick() {
  RunCommand(BtnExtractDb, [this] {
    StopRequested = false;
    AddLog(ExtractDatabase() ? "< Extracting finished. >" : kAbnormalEnd);
  });
}

bool TForm1::ExtractDatabase() {
  const TDatabaseType type = GetDatabaseType();
  TCustomExtract* extractor = IBDBExtract;
  const char* kindName = "InterBase";
  if (type == TDatabaseType::dbMSSQL) {
    QORConnection.SetConnectionType(TconnectionType::cnADO);
    extractor = MSSQLDBExtract;
    kindName = "MS SQL";
  } else if (type == TDatabaseType::dbMySQL) {
    // The connection type stays as it was.
    extractor = MySQLDBExtract;
    kindName = "MySQL";
  } else {
    QORConnection.SetConnectionType(TconnectionType::cnIBX);
    QORConnection.ConnectionOptions.Protocol =
        EditServerM->text().isEmpty() ? TQORProtocol::ptLocal : TQORProtocol::ptTCP;
  }
  QORConnection.SetDatabaseType(type);
  TConnectionOptions& o = QORConnection.ConnectionOptions;
  o.DatabaseName = FromQ(EditDBNameM->text());
  o.HostName = FromQ(EditServerM->text());
  o.UserName = FromQ(EditUserM->text());
  o.Password = FromQ(EditPswdM->text());
  o.UseWindowsAuthentication = cbAuthM->isChecked();
  MemoScript->clear();
  // Connected here only to learn that the parameters work: a wrong name or
  // password is reported before the extractor clears the last run's
  // objects, so they and the script commands stay usable. The extractor
  // connects anew with the structure's options.
  QORConnection.SetConnected(true);
  if (!QORConnection.Connected()) return false;
  if (!extractor) {
    LogErrorMessage(nullptr, std::string("This build has no extractor for ") + kindName + ".");
    return false;
  }
  // The structure reports to the extractor that fills it.
  extractor->SetDBStructure(&DBStructure);
  // The extractor clears the objects of the run before; one that does not
  // finish leaves a part of the database, which no script may be made of.
  extracted_ = false;
  if (!RunExtractor(*extractor)) return false;
  extracted_ = true;
  return true;
}

bool TForm1::RunExtractor(TCustomExtract& Extractor) { return Extractor.ExtractDatabase(); }

void TForm1::BtnTessarindClick() {
  RunCommand(BtnTessarind, [this] {
    if (!extracted_) return;
    MemoScript->clear();
    std::vector<std::string> lines;
    DBStructure.GetObjs()->GetScript(lines);
    ShowScript(lines);
  });
}

void TForm1::BtnExtractTableClick() {
  RunCommand(BtnExtractTable, [this] {
    if (!extracted_) return;
    const std::string name = FromQ(EditTableM->text());
    if (TrimBlanks(name).empty()) {
      ShowMsg("Table name not specified.");
      return;
    }
    MemoScript->clear();
    std::vector<std::string> lines;
    DBStructure.GetObjs()->GenerateTableScript(lines, name, /*withHeader=*/true,
                                               TCmpObjSetType::All());
    ShowScript(lines);
  });
}

void TForm1::ShowScript(const std::vector<std::string>& Lines) {
  MemoScript->setPlainText(ToQ(JoinLines(Lines, "\n")));
}

void TForm1::closeEvent(QCloseEvent* Event) {
  if (busy_) {
    // Closed when the run has returned.
    closeRequested_ = true;
    StopRequested = true;
    Event->ignore();
    return;
  }
  Event->accept();
}

// ------------------------------------------------------------- log

void TForm1::LogErrorMessage(TObject*, const std::string& Text) { AddLog(Text); }

void TForm1::LogNextLine(TObject*, const std::string& Text) { AddLog(Text); }

void TForm1::AddLog(const std::string& Text) {
  MemoLog->appendPlainText(ToQ(Text));
  // The caret at the start of the new line: at its end the pane would
  // scroll sideways to the end of a long line and hide the start of the
  // lines after it.
  MemoLog->moveCursor(QTextCursor::End);
  MemoLog->moveCursor(QTextCursor::StartOfBlock);
  MemoLog->ensureCursorVisible();
}

}  // namespace qor
