// The dataset classes the query layer is built on: the SQL text as a list of
// lines, field values of the current row, statement parameters, and a
// forward-only dataset base that the database layers fill row by row.
//
// NULL rules: a NULL field reads as '' through AsString, 0 through
// AsInteger and AsFloat, False through AsBoolean. A value that cannot be
// converted raises EQorError naming the field and the value.
#pragma once

#include "platform/qorObject.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qor {

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Lines of text; Text joins them with CR LF. OnChange fires after every
// change, with the list as sender.
class TStrings : public TObject {
 public:
  const char* ClassName() const override { return "TStrings"; }

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& Strings(int i) const { return lines_.at(static_cast<std::size_t>(i)); }
  const std::string& operator[](int i) const { return Strings(i); }
  const std::vector<std::string>& Lines() const { return lines_; }

  void Add(std::string line);
  void Clear();
  // The text is split at CR LF, LF or CR; one change event for the whole.
  void SetText(std::string_view text);
  std::string Text() const;
  void Assign(const TStrings& source);

  TNotifyEvent OnChange;

 private:
  void Changed();
  std::vector<std::string> lines_;
};

// clang-format off
enum class TFieldType : std::uint8_t {
  ftUnknown, ftString, ftSmallint, ftInteger, ftLargeint, ftFloat, ftBCD, ftDate, ftTime,
  ftDateTime, ftBoolean, ftMemo, ftBlob
};
// clang-format on

// One value: NULL, text (also text and binary BLOBs, exact decimals, dates
// and times in ISO form), a whole number, a floating number or a boolean.
using TFieldValue = std::variant<std::monostate, std::string, std::int64_t, double, bool>;

// The readers shared by fields and parameters.
std::string ValueAsString(const TFieldValue& v);
bool ValueAsInt64(const TFieldValue& v, std::int64_t& out);
bool ValueAsFloat(const TFieldValue& v, double& out);
bool ValueAsBoolean(const TFieldValue& v, bool& out);

class TField : public TObject {
 public:
  TField(std::string fieldName, TFieldType dataType)
      : fieldName_(std::move(fieldName)), dataType_(dataType) {}
  const char* ClassName() const override { return "TField"; }

  const std::string& FieldName() const { return fieldName_; }
  TFieldType DataType() const { return dataType_; }
  const TFieldValue& Value() const { return value_; }
  void SetValue(TFieldValue value) { value_ = std::move(value); }

  bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
  std::string AsString() const;
  std::int32_t AsInteger() const;
  std::int64_t AsLargeInt() const;
  double AsFloat() const;
  bool AsBoolean() const;

 private:
  [[noreturn]] void ConvertError(const char* target) const;
  std::string fieldName_;
  TFieldType dataType_;
  TFieldValue value_;
};

// The fields of a dataset, in column order. Names compare case-insensitively;
// when a name repeats, the first field of that name is found.
class TFields {
 public:
  int Count() const { return static_cast<int>(fields_.size()); }
  TField* Fields(int i) const { return fields_.at(static_cast<std::size_t>(i)).get(); }
  TField* operator[](int i) const { return Fields(i); }
  TField* FindField(std::string_view name) const;
  // Raises EQorError "Field 'X' not found" when there is none.
  TField* FieldByName(std::string_view name) const;
  TField* Add(std::string fieldName, TFieldType dataType);
  void Clear() { fields_.clear(); }

 private:
  std::vector<std::unique_ptr<TField>> fields_;
};

class TParam : public TObject {
 public:
  explicit TParam(std::string name) : name_(std::move(name)) {}
  const char* ClassName() const override { return "TParam"; }

  const std::string& Name() const { return name_; }
  const TFieldValue& Value() const { return value_; }
  // True once a value (NULL included) has been given.
  bool Bound() const { return bound_; }
  bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }

  void SetValue(TFieldValue value) {
    value_ = std::move(value);
    bound_ = true;
  }
  void SetAsString(std::string value) { SetValue(std::move(value)); }
  void SetAsInteger(std::int64_t value) { SetValue(value); }
  void SetAsFloat(double value) { SetValue(value); }
  void SetAsBoolean(bool value) { SetValue(value); }
  void Clear() { SetValue(std::monostate{}); }
  // Copies value and bound state, not the name.
  void AssignValue(const TParam& source) {
    value_ = source.value_;
    bound_ = source.bound_;
  }

  std::string AsString() const { return ValueAsString(value_); }

 private:
  std::string name_;
  TFieldValue value_;
  bool bound_ = false;
};

// Parameters in statement order; a name may occur more than once.
class TParams {
 public:
  int Count() const { return static_cast<int>(params_.size()); }
  TParam* Items(int i) const { return params_.at(static_cast<std::size_t>(i)).get(); }
  TParam* operator[](int i) const { return Items(i); }
  TParam* CreateParam(std::string name);
  TParam* FindParam(std::string_view name) const;
  // Raises EQorError "Parameter 'X' not found" when there is none.
  TParam* ParamByName(std::string_view name) const;
  void Clear() { params_.clear(); }
  // Each parameter here takes the value of the first same-named one of
  // `source`, when there is one.
  void AssignValues(const TParams& source);
  // Takes every parameter of `source`, which is left empty.
  void MoveFrom(TParams& source);

 private:
  std::vector<std::unique_ptr<TParam>> params_;
};

// Forward-only dataset. Open lands on the first row (Eof when there is
// none); Next moves on and sets Eof after the last row, keeping the values
// of the last row. Descendants implement the Internal... operations.
class TDataSet : public TComponent {
 public:
  const char* ClassName() const override { return "TDataSet"; }

  virtual void Open();
  virtual void Close();
  virtual bool Active() const { return active_; }
  virtual bool Eof() const { return !active_ || eof_; }
  virtual void Next();
  // On a forward-only dataset First works only before the second row.
  virtual void First();
  virtual void Last();
  virtual TFields* GetFields() { return &fields_; }
  virtual TField* FieldByName(std::string_view name) { return fields_.FieldByName(name); }
  TField* FindField(std::string_view name) { return fields_.FindField(name); }

 protected:
  // Runs the statement and creates the fields.
  virtual void InternalOpen() {}
  virtual void InternalClose() {}
  // Fills the fields with the next row; false at the end.
  virtual bool InternalFetch() { return false; }

  TFields fields_;

 private:
  bool active_ = false;
  bool eof_ = true;
  std::int64_t recNo_ = 0;
};

}  // namespace qor
