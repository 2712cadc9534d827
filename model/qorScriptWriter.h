// The receiver of the dependency-ordered writer.
//
// Before an object is created, what it depends on is created; before it is
// dropped, what uses it is dropped. The walk hands each statement to the
// writer attached to the collection. No writer is attached in the program;
// a caller that wants dependency-ordered scripts attaches one.
#pragma once

#include "base/qorTypes.h"

#include <string>

namespace qor {

class TDbObj;

// Statement kinds handed to TScriptWriter::AddStatement.
inline constexpr int kStmtObject = 6;
inline constexpr int kStmtRoutine = 8;
inline constexpr int kStmtTrigger = 9;

// Actions handed to TScriptWriter::AddStatement.
inline constexpr int kActionNone = 0;  // a statement that creates or drops nothing
inline constexpr int kActionCreate = 1;
inline constexpr int kActionAlter = 2;
inline constexpr int kActionDrop = 3;
inline constexpr int kActionEmptyBody = 6;

class TScriptWriter {
 public:
  virtual ~TScriptWriter() = default;

  // The schema in which the following statements run.
  virtual void SetCurrentSchema(const std::string& schema) = 0;

  // One statement. `tableName` is set for columns; `extra` is always 0 as
  // the walk passes it.
  virtual void AddStatement(const std::string& text, int statementKind, const std::string& objName,
                            TDbObject objKind, int action, const std::string& tableName,
                            int extra) = 0;

  // The description statement of `obj` (its GetDescriptionSQL).
  virtual void AddDescription(TDbObj& obj) = 0;

  // A comment line that tells why the next statements come (already in the
  // dialect's comment form).
  virtual void AddComment(const std::string& text) = 0;

  // Used by the collection's log when neither it nor the extractor has one.
  TLogNextLineEvent OnLog;
};

}  // namespace qor
