// The extractor as the object model and the parsers see it.
//
// A structure knows the extractor that fills it, and the collection and the
// parsers report their log lines, progress and errors through that
// extractor's events when their own are unassigned. The extractor lives in a
// layer above the model, so the model names it only through this interface;
// TCustomExtract implements it.
#pragma once

#include "base/qorTypes.h"

#include <string>

namespace qor {

class TComponent;
class TCustomDBStructure;
class TDbObj;

class TExtractorHost {
 public:
  virtual ~TExtractorHost() = default;

  // The extractor component: the sender of the events it fires for itself,
  // and the component whose removal unlinks it from its structure.
  virtual TComponent* EventSender() = 0;

  // The structure whose collection this extractor fills, or none.
  virtual TCustomDBStructure* LinkedStructure() const = 0;

  // The name filter: exclude and include patterns, the structure's name
  // prefix for the kinds that carry it, then OnAcceptObj.
  virtual bool AcceptObjName(const std::string& name, TDbObject kind) = 0;

  // Offers `obj` to the name filter and then to the linked collection's
  // AddObject with free-on-failure. Takes ownership: a rejected object is
  // freed. Returns `obj` when the collection holds it, else none.
  virtual TDbObj* AddObjIfAccepted(TDbObj* obj) = 0;

  // OnLogNextLine: whether it is assigned, and firing it with a sender of
  // the caller's choice (the collection passes itself, a parser passes
  // EventSender()).
  virtual bool LogAssigned() const = 0;
  virtual void LogNextLine(TObject* sender, const std::string& text) = 0;

  // OnProgressUpdate, in the same way.
  virtual bool ProgressAssigned() const = 0;
  virtual void ProgressUpdate(TObject* sender, int value, int maxValue) = 0;

  // The extractor's error report: its OnErrorMessage or a message box, then
  // the text posted to its message list as an error.
  virtual void DoErrorMessage(const std::string& text) = 0;
};

}  // namespace qor
