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

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
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

// One row of an extractor's step table, walked in order by
// TCustomExtract::RunSteps.
template <class X>
struct TExtractStep {
  // The step event (mode 0) at the step's start; none for an extractor
  // whose steps have no captions.
  const char* Caption;
  // The ExtractObjects member that decides whether Read runs; none for a
  // step that always runs.
  std::optional<TCmpObjType> Gate;
  // The reader; none for a step that only counts (its objects come with
  // another step's).
  void (X::*Read)();
  // How far the bar moves once the step is done, one report a position;
  // kStepToEnd moves it to the total in one report.
  int Advance = 1;
};
inline constexpr int kStepToEnd = -1;

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
  // Walks a step table: each step's caption, its reader when its gate is
  // open, then the bar moved on by one report per position, a stop request
  // honoured after each report. After the last step, "Finished" when the
  // run has step events. False when a stop ended the walk.
  template <class X, std::size_t N>
  bool RunSteps(X& self, const TExtractStep<X> (&steps)[N]);
  // Sets Stopped when a stop was requested; true then.
  bool StopHonoured();
  // Set by a step driver that left because a stop was requested.
  bool Stopped = false;
  // Set by a step that reported its own failure and let the others run:
  // the run then does not count as a success.
  bool StepFailed = false;

  TQORQuery* CatalogQuery() const { return query_.get(); }
  TQORCustomConnection* RunConnection() const { return runConnection_; }

 private:
  bool StepOpen(const std::optional<TCmpObjType>& gate) const;
  // Moves the bar on by `advance` positions; false when a stop ends the run.
  bool MoveOn(int advance);
  void FinishSteps();

  bool stepEvents_ = false;
  TCustomDBStructure* structure_ = nullptr;
  TCmpObjSetType extractObjects_ = TCmpObjSetType::All();
  std::unique_ptr<TMsgManager> msgs_;
  std::vector<std::string> includeNames_;
  std::vector<std::string> excludeNames_;
  TDatabaseType databaseType_ = TDatabaseType::dbAbstract;
  std::unique_ptr<TQORQuery> query_;
  TQORCustomConnection* runConnection_ = nullptr;
};

template <class X, std::size_t N>
bool TCustomExtract::RunSteps(X& self, const TExtractStep<X> (&steps)[N]) {
  static_assert(std::is_base_of_v<TCustomExtract, X>);
  for (const TExtractStep<X>& step : steps) {
    if (step.Caption) DoProgressStep(0, step.Caption, Position, Max);
    if (step.Read && StepOpen(step.Gate)) (self.*step.Read)();
    if (!MoveOn(step.Advance)) return false;
  }
  FinishSteps();
  return true;
}

}  // namespace qor
