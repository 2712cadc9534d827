// The extractor base: link, accept chain, reporting and the run frame.
#include "extract/qorCustomExtract.h"

#include "base/qorDBOptions.h"
#include "engine/qorDBEngine.h"
#include "model/qorClasses.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <exception>
#include <utility>

namespace qor {

namespace {

std::vector<std::string> PatternLines(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& l : lines) {
    std::string t = TrimCtl(l);
    if (!t.empty()) out.push_back(std::move(t));
  }
  return out;
}

bool AnyMatch(const std::vector<std::string>& patterns, std::string_view name) {
  for (const std::string& p : patterns)
    if (MatchNamePattern(name, p)) return true;
  return false;
}

// Kinds whose names carry the structure's NamePrefix.
bool CarriesNamePrefix(TDbObject kind) {
  using K = TDbObject;
  static const TDbObjectSet kinds{K::dboTable,  K::dboProcedure, K::dboFunction,  K::dboException,
                                  K::dboDomain, K::dboView,      K::dboGenerator, K::dboEvent};
  return kinds.Contains(kind);
}

}  // namespace

bool MatchNamePattern(std::string_view name, std::string_view pattern) {
  if (pattern.empty()) return false;
  std::string p(pattern);
  for (char& c : p)
    if (c == '*') c = '%';
  const auto first = p.find('%');
  if (first == std::string::npos || p.find('%', first + 1) != std::string::npos) return false;
  if (p.size() == 1) return false;
  if (first == p.size() - 1) return StartsWith(name, std::string_view(p).substr(0, first));
  if (first == 0) {
    // The first occurrence of the rest must end the name.
    const std::string_view rest = std::string_view(p).substr(1);
    const auto at = name.find(rest);
    return at != std::string_view::npos && at + rest.size() == name.size();
  }
  return false;
}

// ----------------------------------------------------------------- TCustomExtract

TCustomExtract::TCustomExtract() : msgs_(std::make_unique<TMsgManager>()) {}

TCustomExtract::~TCustomExtract() {
  query_.reset();
  SetDBStructure(nullptr);
  SetQORConnection(nullptr);
}

void TCustomExtract::SetQORConnection(TQORCustomConnection* value) {
  if (connection_ == value) return;
  if (connection_) connection_->RemoveFreeNotification(this);
  connection_ = value;
  if (connection_) connection_->FreeNotification(this);
}

void TCustomExtract::SetDBStructure(TCustomDBStructure* value) {
  if (structure_ && structure_ != value && structure_->Extractor() == this) {
    structure_->SetExtractor(nullptr);
    if (structure_->Objs()) structure_->Objs()->AcceptCallback = nullptr;
  }
  if (structure_ && structure_ != value) structure_->RemoveFreeNotification(this);
  structure_ = value;
  if (!structure_) return;
  structure_->FreeNotification(this);
  structure_->SetExtractor(this);
  if (structure_->Objs())
    structure_->Objs()->AcceptCallback = [this](TObject* sender, TDbObj* obj, bool& accept) {
      AcceptObjCallback(sender, obj, accept);
    };
}

void TCustomExtract::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove || !component) return;
  if (component == structure_) structure_ = nullptr;
  if (component == connection_) connection_ = nullptr;
}

void TCustomExtract::SetIncludeObjsNames(std::string_view text) {
  includeNames_ = PatternLines(SplitLines(text));
}
void TCustomExtract::SetIncludeObjsNames(const std::vector<std::string>& lines) {
  includeNames_ = PatternLines(lines);
}
void TCustomExtract::SetExcludeObjsNames(std::string_view text) {
  excludeNames_ = PatternLines(SplitLines(text));
}
void TCustomExtract::SetExcludeObjsNames(const std::vector<std::string>& lines) {
  excludeNames_ = PatternLines(lines);
}

bool TCustomExtract::ExtractDatabase() {
  msgs_->Clear();
  return false;
}

// ---------------------------------------------------------------- Reporting

void TCustomExtract::DoProgressUpdate(int value, int maxValue) {
  if (OnProgressUpdate) OnProgressUpdate(this, value, maxValue);
}

void TCustomExtract::DoProgressStep(int mode, const std::string& caption, int position,
                                    int maxValue) {
  if (OnProgressStep) OnProgressStep(this, mode, caption, position, maxValue);
}

void TCustomExtract::DoInfoMessage(const std::string& text) {
  if (OnInfoMessage) OnInfoMessage(this, text);
}

void TCustomExtract::DoLogNextLine(const std::string& text) {
  if (OnLogNextLine) OnLogNextLine(this, text);
}

void TCustomExtract::LogServerVersion() {
  if (!structure_ || !structure_->Objs()) return;
  const std::string text = structure_->Objs()->GetServerVersionText();
  if (!text.empty()) DoLogNextLine(text);
}

void TCustomExtract::DoErrorMessage(const std::string& text) {
  if (OnErrorMessage) OnErrorMessage(this, text);
  else ShowMsg(text);
  msgs_->Add(text, kMsgError);
}

void TCustomExtract::LogNextLine(TObject* sender, const std::string& text) {
  if (OnLogNextLine) OnLogNextLine(sender, text);
}

void TCustomExtract::ProgressUpdate(TObject* sender, int value, int maxValue) {
  if (OnProgressUpdate) OnProgressUpdate(sender, value, maxValue);
}

// ------------------------------------------------------------ Accept chain

bool TCustomExtract::IsExcluded(std::string_view name) const {
  return AnyMatch(excludeNames_, name);
}

bool TCustomExtract::IsIncluded(std::string_view name) const {
  return includeNames_.empty() || AnyMatch(includeNames_, name);
}

bool TCustomExtract::AcceptObjName(const std::string& name, TDbObject kind) {
  bool accept = !IsExcluded(name) && IsIncluded(name);
  if (accept && structure_ && !structure_->NamePrefix.empty() && CarriesNamePrefix(kind))
    accept = StartsWith(name, structure_->NamePrefix);
  if (OnAcceptObj) OnAcceptObj(this, name, kind, accept);
  return accept;
}

bool TCustomExtract::AcceptObj(TDbObj* obj) {
  if (!obj) return false;
  if (OnAccept_Obj) {
    bool accept = true;
    OnAccept_Obj(this, obj, accept);
    return accept;
  }
  const TDbObject kind = obj->FilterKind();
  return kind == TDbObject::dboUnknown || AcceptObjName(obj->FilterName(), kind);
}

TDbObj* TCustomExtract::AddObjIfAccepted(TDbObj* obj) {
  if (!obj) return nullptr;
  TCustomObjs* objs = structure_ ? structure_->Objs() : nullptr;
  if (!objs || !AcceptObjName(obj->GetName(), obj->ObjType)) {
    if (objs) objs->DetachObject(obj);
    delete obj;
    return nullptr;
  }
  return objs->AddObject(obj, true) ? obj : nullptr;
}

void TCustomExtract::AcceptObjCallback(TObject*, TDbObj* obj, bool& accept) {
  // The name filter has already spoken; the whole object may still be
  // refused by OnAccept_Obj.
  if (accept && OnAccept_Obj) accept = AcceptObj(obj);
}

// ------------------------------------------------------------------ Steps

bool TCustomExtract::StopHonoured() {
  if (!StopRequested) return false;
  Stopped = true;
  return true;
}

bool TCustomExtract::StepOpen(const std::optional<TCmpObjType>& gate) const {
  return !gate || GetExtractObjects().Contains(*gate);
}

bool TCustomExtract::MoveOn(int advance) {
  // The end is reached in one report, however far it is.
  const int positions = advance == kStepToEnd ? 1 : advance;
  for (int i = 0; i < positions; ++i) {
    Position = advance == kStepToEnd ? Max : Position + 1;
    DoProgressUpdate(Position, Max);
    if (StopHonoured()) return false;
  }
  return true;
}

void TCustomExtract::FinishSteps() {
  if (stepEvents_) DoProgressStep(0, "Finished", Position, Max);
}

// --------------------------------------------------------------- Run frame

bool TCustomExtract::RunExtraction(TQORCustomConnection* connection, const std::string& className,
                                   bool stepEvents) {
  TCustomExtract::ExtractDatabase();
  stepEvents_ = stepEvents;
  // A stop asked for during an earlier run must not end this one.
  StopRequested = false;
  Stopped = false;
  StepFailed = false;
  Position = 0;
  DoProgressUpdate(0, Max);
  if (stepEvents) DoProgressStep(0, "Starting", 0, Max);

  if (!connection) {
    DoErrorMessage(className + ".ExtractDatabase(): Connection property not assigned.");
    return false;
  }
  if (connection->ConnectionType() == TconnectionType::cnAbstract) {
    DoErrorMessage(className + ".ExtractDatabase(): ConnectionType in Connection not specified.");
    return false;
  }
  if (!structure_ || !structure_->Objs()) {
    DoErrorMessage(className + ".ExtractDatabase(): DBStructure not assigned.");
    return false;
  }

  TCustomObjs& objs = *structure_->Objs();
  structure_->Clear();
  objs.SetServerType(databaseType_);
  objs.ConnectionOptions.Assign(connection->ConnectionOptions);
  query_ = connection->CreateQuery();
  runConnection_ = connection;

  bool ok = true;
  try {
    if (!query_)
      throw EQorError(className + ".ExtractDatabase(): the connection makes no query objects.");
    ProcessMessages();
    // Connected anew whatever the caller did: an InterBase attach takes its
    // character set and dialect from these options, which are the
    // structure's, not the ones the caller may have connected with.
    connection->SetConnected(false);
    connection->IBServerOptions.Assign(objs.IBServerOptions);
    connection->SetConnected(true);
    // A failed connect has been reported by the connection already; the
    // run ends here instead of failing on the first catalog query.
    if (!connection->GetConnected()) throw EQorError("Connect to database failed.");
    LogServerVersion();
    PrepareExtraction();
    ProcessMessages();
    RunExtractSteps();
    if (Stopped) {
      ok = false;
      DoLogNextLine("Extraction stopped.");
    } else {
      ok = !StepFailed;
      Position = Max;
      DoProgressUpdate(Max, Max);
    }
  } catch (const std::exception& e) {
    ok = false;
    DoErrorMessage(e.what());
  }
  try {
    connection->SetConnected(false);
  } catch (const std::exception& e) {
    ok = false;
    DoErrorMessage(e.what());
  }
  query_.reset();
  runConnection_ = nullptr;
  return ok;
}

}  // namespace qor
