// The main window: the server kind, the connection parameters, the three
// commands ("Extract database", "Extract metadata", "Extract table"), the
// log and script panes, and the settings file beside the program that
// remembers the inputs between runs.
//
// Everything runs on the GUI thread. An extraction lets window events run
// (ProcessMessages), so while it runs every command and input is disabled;
// closing the window then asks the extraction to stop and closes when it
// has returned.
#pragma once

#include "base/qorTypes.h"
#include "engine/qorDBEngine.h"
#include "model/qorDBStructure.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace qor {

class TCustomExtract;
class TObject;

// The settings file's section and keys.
inline constexpr const char* kIniSection = "Databases";
inline constexpr const char* kIniDatabaseType = "DatabaseTypeM";
inline constexpr const char* kIniDBName = "DBNameM";
inline constexpr const char* kIniHostName = "HostNameM";
inline constexpr const char* kIniUserName = "UserNameM";
inline constexpr const char* kIniPassword = "PasswordM";
inline constexpr const char* kIniWinAuthentication = "WinAuthenticationM";
inline constexpr const char* kIniTableName = "TableNameM";

// The administrator's default password that choosing InterBase fills in.
inline constexpr const char* kDefaultAdminPassword = "quillbark";

class TForm1 : public QWidget {
 public:
  // Reads the settings from `IniFileName` (GetIniFileName() in the
  // program); writes them back there when the window is destroyed.
  explicit TForm1(std::string IniFileName = GetIniFileName(), QWidget* Parent = nullptr);
  ~TForm1() override;

  // The directory of the program's own file + "Quorvane.Ini".
  static std::string GetIniFileName();
  const std::string& IniFileName() const { return iniFileName_; }

  // ---- Handlers
  void FormCreate();
  // Writes the settings; false (with the reason) when the file could not
  // be written.
  bool FormDestroy(std::string* Error = nullptr);
  // Sender: one of the radio buttons, cbAuthM, or none.
  void rbMClick(QObject* Sender);
  void BtnExtractDbClick();
  void BtnTessarindClick();
  void BtnExtractTableClick();
  void LogErrorMessage(TObject* Sender, const std::string& Text);
  void LogNextLine(TObject* Sender, const std::string& Text);

  void AddLog(const std::string& Text);
  TDatabaseType GetDatabaseType() const;
  void SetDatabaseType(TDatabaseType Value);

  // True while a command runs.
  bool Busy() const { return busy_; }

  // ---- Controls, in the order of the window
  QWidget* Panel2 = nullptr;
  QRadioButton* rbMIB = nullptr;
  QRadioButton* rbMMS = nullptr;
  QRadioButton* rbMMY = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* EditDBNameM = nullptr;
  QLabel* LabelUserM = nullptr;
  QLineEdit* EditUserM = nullptr;
  QLabel* LabelPswdM = nullptr;
  QLineEdit* EditPswdM = nullptr;
  QLabel* LabelServerM = nullptr;
  QLineEdit* EditServerM = nullptr;
  QLabel* Label11 = nullptr;
  QLineEdit* EditTableM = nullptr;
  QCheckBox* cbAuthM = nullptr;
  QPushButton* BtnExtractDb = nullptr;
  QPushButton* BtnTessarind = nullptr;
  QPushButton* BtnExtractTable = nullptr;
  QProgressBar* ProgressBarM = nullptr;
  QPlainTextEdit* MemoLog = nullptr;
  QPlainTextEdit* MemoScript = nullptr;

  // ---- Components
  TQORConnection QORConnection;
  TDBStructure DBStructure;
  // The extractor of each server kind; none where this build has no
  // extractor for it (choosing that kind then reports so in the log).
  TCustomExtract* IBDBExtract = nullptr;
  TCustomExtract* MSSQLDBExtract = nullptr;
  TCustomExtract* MySQLDBExtract = nullptr;

 protected:
  void closeEvent(QCloseEvent* Event) override;

 private:
  void CreateControls();
  void LinkComponents();
  // Loads the settings with every signal blocked, so that no handler
  // changes a value while the others are still being read.
  void LoadSettings();
  // Enables the inputs as the checked server kind and cbAuthM imply
  // (steps 3 to 5 of rbMClick).
  void UpdateInputStates();
  // Every command and input on or off, around a run.
  void SetInputsEnabled(bool Enabled);
  // The extraction proper, between the guards of BtnExtractDbClick.
  bool ExtractDatabase();
  bool RunExtractor(TCustomExtract& Extractor);
  // Runs a command with its guard: no exception leaves it, and the inputs
  // come back whatever happened.
  template <class Fn>
  void RunCommand(QPushButton* Button, Fn Body);
  void ShowScript(const std::vector<std::string>& Lines);

  std::string iniFileName_;
  QWidget* inputs_ = nullptr;  // holds every input and command
  std::vector<std::unique_ptr<TComponent>> extractors_;
  bool busy_ = false;
  bool closeRequested_ = false;
  // The collection holds what a finished run read: the script commands
  // are available.
  bool extracted_ = false;
};

}  // namespace qor
