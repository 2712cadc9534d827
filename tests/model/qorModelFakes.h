// Stand-ins that the model tests link to a collection: an extractor that
// records what reaches it through the host interface, and a script writer
// that records the dependency-ordered walk.
#pragma once

#include "model/qorClasses.h"
#include "model/qorExtractorHost.h"
#include "model/qorScriptWriter.h"
#include "platform/qorObject.h"

#include <string>
#include <vector>

namespace qor::test {

class FakeExtractor : public TComponent, public TExtractorHost {
 public:
  const char* ClassName() const override { return "FakeExtractor"; }

  // Links both ways, as the extractor's DBStructure property does.
  void Link(TCustomDBStructure* s) {
    structure = s;
    s->FreeNotification(this);
    s->SetExtractor(this);
    s->Objs()->AcceptCallback = [this](TObject*, TDbObj* obj, bool& accept) {
      ++callbacks;
      if (rejectName == obj->GetName()) accept = false;
    };
  }

  TComponent* EventSender() override { return this; }
  TCustomDBStructure* LinkedStructure() const override { return structure; }
  bool AcceptObjName(const std::string& name, TDbObject) override {
    names.push_back(name);
    return name != filteredName;
  }
  TDbObj* AddObjIfAccepted(TDbObj* obj) override {
    if (!AcceptObjName(obj->GetName(), obj->ObjType)) {
      delete obj;
      return nullptr;
    }
    return structure->Objs()->AddObject(obj, true) ? obj : nullptr;
  }
  bool LogAssigned() const override { return logAssigned; }
  void LogNextLine(TObject* sender, const std::string& text) override {
    logSenders.push_back(sender);
    logs.push_back(text);
  }
  bool ProgressAssigned() const override { return false; }
  void ProgressUpdate(TObject*, int, int) override {}
  void DoErrorMessage(const std::string& text) override { errors.push_back(text); }

  TCustomDBStructure* structure = nullptr;
  std::string filteredName;  // refused by the name filter
  std::string rejectName;    // refused by the accept callback
  bool logAssigned = true;
  int callbacks = 0;
  std::vector<std::string> names;
  std::vector<std::string> logs;
  std::vector<TObject*> logSenders;
  std::vector<std::string> errors;
};

class RecordingWriter : public TScriptWriter {
 public:
  struct Call {
    std::string text;
    int kind;
    std::string name;
    TDbObject objKind;
    int action;
    std::string table;
  };
  void SetCurrentSchema(const std::string& schema) override { schemas.push_back(schema); }
  void AddStatement(const std::string& text, int kind, const std::string& name, TDbObject objKind,
                    int action, const std::string& table, int) override {
    calls.push_back({text, kind, name, objKind, action, table});
  }
  void AddDescription(TDbObj& obj) override { descriptions.push_back(obj.GetName()); }
  void AddComment(const std::string& text) override { comments.push_back(text); }

  // "name:action" of every statement, in order.
  std::vector<std::string> Trace() const {
    std::vector<std::string> out;
    for (const Call& c : calls) out.push_back(c.name + ":" + std::to_string(c.action));
    return out;
  }

  std::vector<Call> calls;
  std::vector<std::string> schemas;
  std::vector<std::string> descriptions;
  std::vector<std::string> comments;
};

}  // namespace qor::test
