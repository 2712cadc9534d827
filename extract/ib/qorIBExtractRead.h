// Reading catalog rows by column number, shared by the reader files of the
// InterBase/Firebird extractor. Whole numbers are read as 64-bit values
// (catalog values pass 2^31), then narrowed with a check where the model
// holds 32 bits.
#pragma once

#include "engine/qorDBEngine.h"
#include "extract/qorExtractRead.h"
#include "platform/qorStrings.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qor::ibread {

inline TField& Col(TQORQuery& q, int col) {
  TFields* fields = q.GetFields();
  if (!fields || col < 0 || col >= fields->Count())
    throw EQorError("Catalog query returned no column " + std::to_string(col));
  return *fields->Fields(col);
}

inline bool IsNull(TQORQuery& q, int col) { return Col(q, col).IsNull(); }
inline std::string Str(TQORQuery& q, int col) { return Col(q, col).AsString(); }
inline std::string Trimmed(TQORQuery& q, int col) { return TrimCtl(Col(q, col).AsString()); }
// An object name: the catalog pads it with blanks on the right, and
// everything before the padding is the name (a leading blank too).
inline std::string CatalogName(TQORQuery& q, int col) {
  return TrimBlanksRight(Col(q, col).AsString());
}

inline std::optional<std::int64_t> Int(TQORQuery& q, int col) {
  TField& f = Col(q, col);
  if (f.IsNull()) return std::nullopt;
  return f.AsLargeInt();
}

inline std::int64_t IntOr0(TQORQuery& q, int col) { return Int(q, col).value_or(0); }

inline std::int32_t Int32(TQORQuery& q, int col) {
  return xread::Narrow32(IntOr0(q, col), Col(q, col).FieldName());
}

inline std::optional<int> OptInt32(TQORQuery& q, int col) {
  if (IsNull(q, col)) return std::nullopt;
  return Int32(q, col);
}

// Runs the statement in `sql` (changed only when it differs, so a repeated
// query stays prepared) with one parameter.
inline void OpenWith(TQORQuery& q, std::string_view sql, std::string_view param,
                     const std::string& value) {
  xread::SetSQL(q, sql);
  if (!param.empty()) q.ParamByName(param)->SetAsString(value);
  q.Open();
}

// The rows a query holds for one parent object after another (the columns
// of each table, the parameters of each procedure ...). Per object, the
// query runs for each parent with the parent's name as its one parameter.
// Batched, one query for all parents runs once; it selects the same
// parents in the same order as the parents' own query and is ordered by
// the parent's name first, so the rows of each parent follow those of the
// one before, and column `keyCol` tells whose a row is.
class TChildRows {
 public:
  TChildRows(TQORQuery& q, std::string perObjectSQL, std::string param, std::string batchedSQL,
             int keyCol, bool batched)
      : q_(q),
        sql_(std::move(perObjectSQL)),
        param_(std::move(param)),
        batchedSQL_(std::move(batchedSQL)),
        keyCol_(keyCol),
        batched_(batched) {}
  ~TChildRows() { q_.Close(); }
  TChildRows(const TChildRows&) = delete;
  TChildRows& operator=(const TChildRows&) = delete;

  // The rows of the parent `name` (as the parents' query gave it) follow.
  void Start(const std::string& name) {
    if (!batched_) {
      OpenWith(q_, sql_, param_, name);
      return;
    }
    if (!opened_) {
      OpenWith(q_, batchedSQL_, {}, {});
      opened_ = true;
    }
    key_ = TrimBlanksRight(name);
  }
  bool More() { return !q_.Eof() && (!batched_ || CatalogName(q_, keyCol_) == key_); }
  void Next() { q_.Next(); }
  TQORQuery& Query() { return q_; }

 private:
  TQORQuery& q_;
  std::string sql_, param_, batchedSQL_, key_;
  int keyCol_;
  bool batched_;
  bool opened_ = false;
};

// What the batched reads keep in memory for one run, each read when first
// asked for; the keys are the names without their padding.
struct TBatchedRows {
  std::optional<std::map<std::string, std::vector<std::pair<std::int32_t, std::int32_t>>>> bounds;
  std::optional<std::map<std::string, std::vector<std::string>>> segments;
  // view -> the relations and columns it reads
  std::optional<std::map<std::string, std::vector<std::pair<std::string, std::string>>>> viewReads;
};

}  // namespace qor::ibread
