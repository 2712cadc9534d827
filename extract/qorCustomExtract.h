// The component base of the catalog extractors: the two-way link to the
// structure whose collection an extraction fills, the kinds to read, the
// include and exclude name patterns with the accept chain, the progress,
// log and error events with the message list, and the frame every
// ExtractDatabase override runs its steps in (checks, clear, connect, steps,
// disconnect on every path).
#pragma once

#include "base/qorMsgMngr.h"
#include "base/qorTypes.h"
#include "model/qorExtractorHost.h"
#include "platform/qorObject.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

class TCustomDBStructure;
class TDbObj;
class TQORCustomConnection;
class TQORQuery;

// (Sender, Mode, Caption, Position, Max): mode 0 names a step, mode 1
// reports rows inside a step.
using TProgressStepEvent = std::function<void(TObject* Sender, int Mode, const std::string& Caption,
                                              int Position, int Max)>;
using TInfoMessageEvent = std::function<void(TObject* Sender, const std::string& Text)>;

// Whether `name` matches `pattern`: exactly one wildcard ("%" or "*"),
// either last (a prefix) or first (a suffix); case-sensitive. Any other
// pattern, a lone wildcard and an empty pattern match nothing.
bool MatchNamePattern(std::string_view name, std::string_view pattern);

class TCustomExtract : public TComponent, public TExtractorHost {
 public:
  TCustomExtract();
  ~TCustomExtract() override;
  const char* ClassName() const override { return "TCustomExtract"; }

  // ---- Published ----
  TProgressUpdateEvent OnProgressUpdate;
  TLogNextLineEvent OnLogNextLine;
  TErrorMessageEvent OnErrorMessage;
  TAcceptObjEvent OnAcceptObj;
  TAccept_ObjEvent OnAccept_Obj;
  // Readers log one line per object when set.
  bool ShowFullLog = true;

  TCustomDBStructure* DBStructure() const { return structure_; }
  // Links both ways: the structure's Extractor and its collection's accept
  // callback point here; the previous structure is unlinked.
  virtual void SetDBStructure(TCustomDBStructure* value);

  // The connection an extractor reads from; linked with free notification.
  TQORCustomConnection* QORConnection() const { return connection_; }
  void SetQORConnection(TQORCustomConnection* value);

  virtual TCmpObjSetType GetExtractObjects() const { return extractObjects_; }
  void SetExtractObjects(TCmpObjSetType value) { extractObjects_ = value; }

  // One pattern a line; a text given is trimmed line by line and blank
  // lines are dropped.
  const std::vector<std::string>& IncludeObjsNames() const { return includeNames_; }
  void SetIncludeObjsNames(std::string_view text);
  void SetIncludeObjsNames(const std::vector<std::string>& lines);
  const std::vector<std::string>& ExcludeObjsNames() const { return excludeNames_; }
  void SetExcludeObjsNames(std::string_view text);
  void SetExcludeObjsNames(const std::vector<std::string>& lines);

  // ---- Unpublished ----
  TProgressStepEvent OnProgressStep;
  TInfoMessageEvent OnInfoMessage;  // fired by DoInfoMessage only

  // The step total and the current step.
  int Max = 16;
  int Position = 0;

  TDatabaseType DatabaseType() const { return databaseType_; }

  // The messages of the last run.
  virtual TMsgManager* GetMsgManager() { return msgs_.get(); }

  // The whole extraction. The base only clears the message list and
  // returns false.
  virtual bool ExtractDatabase();

  // ---- Reporting ----
  virtual void DoProgressUpdate(int value, int maxValue);
  virtual void DoProgressStep(int mode, const std::string& caption, int position, int maxValue);
  virtual void DoInfoMessage(const std::string& text);
  virtual void DoLogNextLine(const std::string& text);
  // "Server Version (user defined): " and the configured version's name.
  virtual void LogServerVersion();
  // OnErrorMessage (a message box when unassigned), then the text as an
  // error in the message list.
  void DoErrorMessage(const std::string& text) override;

  // ---- The accept chain ----
  bool IsExcluded(std::string_view name) const;
  bool IsIncluded(std::string_view name) const;
  // Exclude and include patterns, the structure's NamePrefix for the kinds
  // that carry it, then OnAcceptObj.
  bool AcceptObjName(const std::string& name, TDbObject kind) override;
  // OnAccept_Obj when assigned, else AcceptObjName by the object's class.
  virtual bool AcceptObj(TDbObj* obj);
  // Takes ownership: an accepted object goes to the collection (freed when
  // it refuses it), a rejected one is freed.
  TDbObj* AddObjIfAccepted(TDbObj* obj) override;
  // The collection's accept callback.
  void AcceptObjCallback(TObject* sender, TDbObj* obj, bool& accept);

  // ---- TExtractorHost ----
  TComponent* EventSender() override { return this; }
  TCustomDBStructure* LinkedStructure() const override { return structure_; }
  bool LogAssigned() const override { return static_cast<bool>(OnLogNextLine); }
  void LogNextLine(TObject* sender, const std::string& text) override;
  bool ProgressAssigned() const override { return static_cast<bool>(OnProgressUpdate); }
  void ProgressUpdate(TObject* sender, int value, int maxValue) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void SetDatabaseType(TDatabaseType value) { databaseType_ = value; }

  TQORCustomConnection* connection_ = nullptr;

  // The frame of an extraction run. `className` prefixes the check texts;
  // `stepEvents` adds the "Starting" step event. Returns true only when the
  // steps ran to their end: a failure or a stop request gives false. The
  // catalog query (CatalogQuery) exists only while the steps run.
  bool RunExtraction(TQORCustomConnection* connection, const std::string& className,
                     bool stepEvents);
  // Between reconnecting and the steps (after LogServerVersion).
  virtual void PrepareExtraction() {}
  // The steps themselves.
  virtual void RunExtractSteps() {}
  // Set by a step driver that left because a stop was requested.
  bool Stopped = false;
  // Set by a step that reported its own failure and let the others run:
  // the run then does not count as a success.
  bool StepFailed = false;

  TQORQuery* CatalogQuery() const { return query_.get(); }
  TQORCustomConnection* RunConnection() const { return runConnection_; }

 private:
  TCustomDBStructure* structure_ = nullptr;
  TCmpObjSetType extractObjects_ = TCmpObjSetType::All();
  std::unique_ptr<TMsgManager> msgs_;
  std::vector<std::string> includeNames_;
  std::vector<std::string> excludeNames_;
  TDatabaseType databaseType_ = TDatabaseType::dbAbstract;
  std::unique_ptr<TQORQuery> query_;
  TQORCustomConnection* runConnection_ = nullptr;
};

}  // namespace qor
