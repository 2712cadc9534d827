#include "platform/dataset/qorDataSet.h"

#include "platform/qorStrings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace qor {

// ------------------------------------------------------------------ TStrings

void TStrings::Changed() {
  if (OnChange) OnChange(this);
}

void TStrings::Add(std::string line) {
  lines_.push_back(std::move(line));
  Changed();
}

void TStrings::Clear() {
  lines_.clear();
  Changed();
}

void TStrings::SetText(std::string_view text) {
  lines_ = SplitLines(text);
  Changed();
}

std::string TStrings::Text() const { return JoinLines(lines_); }

void TStrings::Assign(const TStrings& source) {
  if (&source == this) return;
  lines_ = source.lines_;
  Changed();
}

// -------------------------------------------------------------------- values

namespace {

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Whole numbers, and exact decimals truncated toward zero ("12.50" -> 12).
bool TextToInt64(std::string_view s, std::int64_t& out) {
  s = TrimSpaces(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  std::string_view whole = s;
  const std::size_t dot = s.find('.');
  if (dot != std::string_view::npos) {
    whole = s.substr(0, dot);
    const std::string_view frac = s.substr(dot + 1);
    for (char c : frac)
      if (c < '0' || c > '9') return false;
    if (whole.empty() || whole == "-") {
      if (frac.empty()) return false;
      out = 0;
      return true;
    }
  }
  const char* end = whole.data() + whole.size();
  auto [p, ec] = std::from_chars(whole.data(), end, out);
  return ec == std::errc() && p == end;
}

bool TextToDouble(std::string_view s, double& out) {
  s = TrimSpaces(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, out);
  return ec == std::errc() && p == end;
}

}  // namespace

std::string ValueAsString(const TFieldValue& v) {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(std::int64_t i) const { return IntToStr(i); }
    std::string operator()(double d) const {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.15g", d);
      return buf;
    }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
  };
  return std::visit(Visitor{}, v);
}

bool ValueAsInt64(const TFieldValue& v, std::int64_t& out) {
  struct Visitor {
    std::int64_t& out;
    bool operator()(std::monostate) const {
      out = 0;
      return true;
    }
    bool operator()(const std::string& s) const { return TextToInt64(s, out); }
    bool operator()(std::int64_t i) const {
      out = i;
      return true;
    }
    bool operator()(double d) const {
      if (!std::isfinite(d) || std::fabs(d) >= 9.2e18) return false;
      out = static_cast<std::int64_t>(d);
      return true;
    }
    bool operator()(bool b) const {
      out = b ? 1 : 0;
      return true;
    }
  };
  return std::visit(Visitor{out}, v);
}

bool ValueAsFloat(const TFieldValue& v, double& out) {
  struct Visitor {
    double& out;
    bool operator()(std::monostate) const {
      out = 0;
      return true;
    }
    bool operator()(const std::string& s) const { return TextToDouble(s, out); }
    bool operator()(std::int64_t i) const {
      out = static_cast<double>(i);
      return true;
    }
    bool operator()(double d) const {
      out = d;
      return true;
    }
    bool operator()(bool b) const {
      out = b ? 1 : 0;
      return true;
    }
  };
  return std::visit(Visitor{out}, v);
}

bool ValueAsBoolean(const TFieldValue& v, bool& out) {
  struct Visitor {
    bool& out;
    bool operator()(std::monostate) const {
      out = false;
      return true;
    }
    bool operator()(const std::string& s) const {
      const std::string_view t = TrimSpaces(s);
      if (t.empty()) {
        out = false;
        return true;
      }
      const char c = UpperAsciiChar(t.front());
      if (c == 'T' || c == 'Y') {
        out = true;
        return true;
      }
      if (c == 'F' || c == 'N') {
        out = false;
        return true;
      }
      std::int64_t i;
      if (!TextToInt64(t, i)) return false;
      out = i != 0;
      return true;
    }
    bool operator()(std::int64_t i) const {
      out = i != 0;
      return true;
    }
    bool operator()(double d) const {
      out = d != 0;
      return true;
    }
    bool operator()(bool b) const {
      out = b;
      return true;
    }
  };
  return std::visit(Visitor{out}, v);
}

// -------------------------------------------------------------------- TField

void TField::ConvertError(const char* target) const {
  throw EQorError("'" + ValueAsString(value_) + "' is not a valid " + target +
                  " value for field '" + fieldName_ + "'");
}

std::string TField::AsString() const { return ValueAsString(value_); }

std::int32_t TField::AsInteger() const {
  std::int64_t v;
  if (!ValueAsInt64(value_, v) || v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max())
    ConvertError("integer");
  return static_cast<std::int32_t>(v);
}

std::int64_t TField::AsLargeInt() const {
  std::int64_t v;
  if (!ValueAsInt64(value_, v)) ConvertError("integer");
  return v;
}

double TField::AsFloat() const {
  double v;
  if (!ValueAsFloat(value_, v)) ConvertError("floating point");
  return v;
}

bool TField::AsBoolean() const {
  bool v;
  if (!ValueAsBoolean(value_, v)) ConvertError("boolean");
  return v;
}

// ------------------------------------------------------------------- TFields

TField* TFields::FindField(std::string_view name) const {
  for (const auto& f : fields_)
    if (SameText(f->FieldName(), name)) return f.get();
  return nullptr;
}

TField* TFields::FieldByName(std::string_view name) const {
  TField* f = FindField(name);
  if (!f) throw EQorError("Field '" + std::string(name) + "' not found");
  return f;
}

TField* TFields::Add(std::string fieldName, TFieldType dataType) {
  fields_.push_back(std::make_unique<TField>(std::move(fieldName), dataType));
  return fields_.back().get();
}

// ------------------------------------------------------------------- TParams

TParam* TParams::CreateParam(std::string name) {
  params_.push_back(std::make_unique<TParam>(std::move(name)));
  return params_.back().get();
}

TParam* TParams::FindParam(std::string_view name) const {
  for (const auto& p : params_)
    if (SameText(p->Name(), name)) return p.get();
  return nullptr;
}

TParam* TParams::ParamByName(std::string_view name) const {
  TParam* p = FindParam(name);
  if (!p) throw EQorError("Parameter '" + std::string(name) + "' not found");
  return p;
}

void TParams::AssignValues(const TParams& source) {
  for (const auto& p : params_)
    if (const TParam* s = source.FindParam(p->Name())) p->AssignValue(*s);
}

void TParams::MoveFrom(TParams& source) {
  for (auto& p : source.params_) params_.push_back(std::move(p));
  source.params_.clear();
}

// ------------------------------------------------------------------ TDataSet

void TDataSet::Open() {
  if (active_) return;
  InternalOpen();
  active_ = true;
  recNo_ = 0;
  try {
    eof_ = !InternalFetch();
  } catch (...) {
    Close();
    throw;
  }
  if (!eof_) recNo_ = 1;
}

void TDataSet::Close() {
  if (!active_) return;
  active_ = false;
  eof_ = true;
  InternalClose();
}

void TDataSet::Next() {
  if (!active_ || eof_) return;
  if (InternalFetch()) {
    ++recNo_;
    return;
  }
  eof_ = true;
}

void TDataSet::First() {
  if (!active_ || recNo_ <= 1) return;
  throw EQorError(std::string(ClassName()) + ": First is not possible on a forward-only dataset");
}

void TDataSet::Last() {
  while (active_ && !eof_) Next();
}

}  // namespace qor
