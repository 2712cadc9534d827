// Fuzzes the script writer in its eight dialects. The input decides a few
// objects (tables with columns, defaults, checks and descriptions, views,
// routines, triggers, domains, exceptions, generators) whose names and
// texts are any bytes the model holds; each dialect's whole script is then
// split by that dialect's scanner and terminators (tests/support/qorScriptSplit.h),
// which must find exactly the statements the writer meant, at the places
// it put them, and read each object's name, and a table's column names, in
// its statement as the name that was written.
// Input: records, each a kind byte and the bytes of its fields. A name is
// a length byte and that many bytes; a text (body, default, check,
// description, message) a two-byte length, low byte first, and that many
// bytes, so a body can grow past a line or two. A length beyond the input
// takes what is left.
#include "fuzz/qorFuzzNames.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorScriptSplit.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace qor;

class TInput {
 public:
  TInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool More() const { return at_ < size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::string Text() { return Take(Byte()); }
  std::string LongText() {
    const std::size_t low = Byte();
    return Take(low | std::size_t{Byte()} << 8);
  }

 private:
  std::string Take(std::size_t n) {
    if (n > size_ - at_) n = size_ - at_;
    std::string s(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return s;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

constexpr std::uint8_t kTypes[] = {dt::INTEGER, dt::VARCHAR, dt::NUMERIC, dt::TIMESTAMP,
                                   dt::CHAR,    dt::BIGINT,  dt::DATE,    dt::SMALLINT};

// What a name is checked for once the script is written: the object's
// statement (its create text) and the names that statement must hold.
struct TNamed {
  TDbObj* Obj;
  std::vector<std::string> Names;
};

// Builds the objects the input describes into `objs` (already set to its
// dialect: a name is stored as the dialect stores it). Only names a user
// can give.
class TBuilder {
 public:
  TBuilder(TObjs& objs, test::TScriptSplitter& splitter, std::vector<TNamed>& named)
      : objs_(objs), splitter_(splitter), named_(named) {}

  void Build(TInput in) {
    for (int n = 0; in.More() && n < 8; ++n) {
      switch (in.Byte() % 8) {
        case 0: Table(in); break;
        case 1: View(in); break;
        case 2: Routine(in); break;
        case 3: Trigger(in); break;
        case 4: Domain(in); break;
        case 5: Exception(in); break;
        case 6: Generator(in); break;
        default: Check(in); break;
      }
    }
  }

 private:
  // A body, default or check text comes from the engine, which stored it
  // whole: one that leaves a quote or comment open, or holds a statement
  // end of its own where the writer picks no terminator for it (only a
  // routine's or trigger's body gets one, and not in every dialect), no
  // engine holds, so none is written.
  bool Fits(const std::string& text, bool routine, bool trigger) {
    if (text.empty()) return true;
    // One split serves both questions: the line after the text leaves a
    // quote or comment as open (or as closed) as it was. The text is split
    // as the model keeps it: a lone CR there is a line break.
    const test::TSplit split = splitter_.Split(NormalizeLineBreaks(text) + "\r\nX");
    if (!split.Clean) return false;
    const TDatabaseType st = objs_.GetServerType();
    const bool own = st == TDatabaseType::dbInterBase || st == TDatabaseType::dbMySQL ||
                     st == TDatabaseType::dbDB2;
    // A DB2 body ends at a bare "@", which no stored body holds; one with
    // any "@" is left out.
    if ((routine || trigger) && st == TDatabaseType::dbDB2) return text.find('@') == text.npos;
    if ((routine || trigger) && own) return true;
    if (routine && st == TDatabaseType::dbPostgreSQL) return true;  // dollar-quoted
    // A statement end at the text's very end shows only by what follows.
    return split.Starts.size() == 1;
  }
  std::string Body(TInput& in, bool routine = false, bool trigger = false) {
    std::string text = in.LongText();
    return Fits(text, routine, trigger) ? text : std::string();
  }

  bool Nameable(const std::string& name) const { return fuzz::PlausibleName(name); }
  // T-SQL cannot delimit a parameter: MS SQL and Adaptive Server take only
  // an "@" and identifier characters (the README's limit).
  bool ParamNameable(const std::string& name) const {
    const TDatabaseType st = objs_.GetServerType();
    if (st != TDatabaseType::dbMSSQL && st != TDatabaseType::dbSybaseASE) return true;
    if (name.size() < 2 || name[0] != '@') return false;
    return std::all_of(name.begin() + 1, name.end(), [](char c) {
      return static_cast<unsigned char>(c) >= 0x80 || std::isalnum(static_cast<unsigned char>(c)) ||
             c == '_' || c == '@' || c == '#' || c == '$';
    });
  }

  template <class T>
  T* Add(const std::string& name) {
    if (!Nameable(name)) return nullptr;
    auto obj = std::make_unique<T>(&objs_);
    obj->SetName(name);
    T* raw = objs_.AddObject(obj, /*freeOnFail=*/true);
    if (raw) named_.push_back({raw, {raw->GetName()}});
    return raw;
  }

  TFldData* Field(TFieldList& list, TDbObj* holder, const std::string& name, std::uint8_t type) {
    if (!Nameable(name) || list.IndexOf(name) >= 0) return nullptr;
    auto f = std::make_unique<TFldData>(&objs_, holder);
    f->SetName(name);
    f->DataType = kTypes[type % std::size(kTypes)];
    f->Length = f->DataType == dt::VARCHAR || f->DataType == dt::CHAR ? 20 : 0;
    f->Precision = f->DataType == dt::NUMERIC ? 10 : 0;
    TFldData* raw = f.get();
    list.Add(f->GetName(), std::move(f));
    return raw;
  }

  void Table(TInput& in) {
    TTblData* t = Add<TTblData>(in.Text());
    const int columns = in.Byte() % 4 + 1;
    std::vector<std::string> names;
    for (int i = 0; i < columns; ++i) {
      const std::string name = in.Text();
      const std::uint8_t type = in.Byte();
      const std::string def = Body(in), description = in.LongText();
      if (!t) continue;
      TFldData* f = Field(t->Fields, t, name, type);
      if (!f) continue;
      f->DefaultValue = def;
      f->SetDescription(description);
      names.push_back(f->GetName());
    }
    const std::string description = in.LongText();
    if (!t) return;
    t->SetDescription(description);
    tables_.push_back(t->GetName());
    named_.back().Names.insert(named_.back().Names.end(), names.begin(), names.end());
  }

  void View(TInput& in) {
    TViwData* v = Add<TViwData>(in.Text());
    const std::string text = Body(in), description = in.LongText();
    if (!v) return;
    v->SetText(text);
    v->SetDescription(description);
  }

  void Routine(TInput& in) {
    const std::uint8_t flags = in.Byte();
    TPrcData* p = Add<TPrcData>(in.Text());
    const std::string param = in.Text(), text = Body(in, /*routine=*/true),
                      description = in.LongText();
    if (!p) return;
    p->IsFunction = flags & 1;
    if (ParamNameable(param)) Field(p->InParams, p, param, flags >> 1);
    if (p->IsFunction) Field(p->OutParams, p, "", flags >> 4);
    p->SetText(text);
    p->SetDescription(description);
  }

  void Trigger(TInput& in) {
    TTrgData* t = Add<TTrgData>(in.Text());
    const std::string text = Body(in, false, /*trigger=*/true), description = in.LongText();
    const std::uint8_t event = in.Byte();
    if (!t) return;
    t->SetTableName(tables_.empty() ? "T" : tables_[event % tables_.size()]);
    t->TriggerType = 1 + event % 6;
    t->Timing = event % 2;
    t->Events = 1 << (event >> 1) % 3;
    t->ForEachRow = true;
    t->SetText(text);
    t->SetDescription(description);
  }

  void Domain(TInput& in) {
    TDmnData* d = Add<TDmnData>(in.Text());
    const std::uint8_t type = in.Byte();
    const std::string def = Body(in), check = Body(in), description = in.Text();
    if (!d) return;
    d->TypeHolder->DataType = kTypes[type % std::size(kTypes)];
    d->TypeHolder->Length = 20;
    // Oracle: a domain (not written), a VARRAY or a nested table.
    constexpr std::uint8_t kOracleKinds[] = {0, 3, 4, 5};
    d->TypeKind = kOracleKinds[(type >> 4) % std::size(kOracleKinds)];
    d->VarrayLimit = 10;
    d->TypeHolder->DefaultValue = def;
    d->TypeHolder->CheckText = check;
    d->SetDescription(description);
  }

  void Exception(TInput& in) {
    TExcData* e = Add<TExcData>(in.Text());
    const std::string message = in.LongText(), description = in.LongText();
    if (!e) return;
    e->Message = message;
    e->SetDescription(description);
  }

  void Generator(TInput& in) {
    TGnrData* g = Add<TGnrData>(in.Text());
    const std::string description = in.LongText();
    if (g) g->SetDescription(description);
  }

  void Check(TInput& in) {
    TCtrData* c = Add<TCtrData>(in.Text());
    const std::string text = Body(in);
    const std::uint8_t table = in.Byte();
    if (!c) return;
    c->SetConstraintType(ct::Check);
    c->SetTableName(tables_.empty() ? "T" : tables_[table % tables_.size()]);
    c->SetText(text);
  }

  TObjs& objs_;
  test::TScriptSplitter& splitter_;
  std::vector<TNamed>& named_;
  std::vector<std::string> tables_;
};

constexpr TDatabaseType kDialects[] = {TDatabaseType::dbInterBase, TDatabaseType::dbSybaseASA,
                                       TDatabaseType::dbMySQL,     TDatabaseType::dbOracle,
                                       TDatabaseType::dbMSSQL,     TDatabaseType::dbPostgreSQL,
                                       TDatabaseType::dbDB2,       TDatabaseType::dbSybaseASE};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One splitter per dialect for the whole run: building a scanner's
  // keyword table costs more than a split.
  static std::unique_ptr<test::TScriptSplitter> splitters[std::size(kDialects)];
  for (std::size_t d = 0; d < std::size(kDialects); ++d) {
    const TDatabaseType st = kDialects[d];
    TDBStructure structure;
    TObjs& objs = *structure.GetObjs();
    objs.SetServerType(st);
    if (!splitters[d]) splitters[d] = test::MakeScriptSplitter(objs);
    test::TScriptSplitter& splitter = *splitters[d];
    splitter.Rebind(objs);
    std::vector<TNamed> named;
    TBuilder(objs, splitter, named).Build(TInput(data, size));
    std::vector<std::string> entries;
    objs.GetScript(entries);
    const test::TScriptCheck check(objs, entries, splitter);
    std::string why;
    bool ok = check.StatementsAsWritten(why);
    for (std::size_t i = 0; ok && i < named.size(); ++i)
      ok = check.NamesReadBack(named[i].Obj->GetCreateSQL(), named[i].Names, why);
    if (ok) continue;
    // Written whole: a script may hold a NUL of the input.
    std::fprintf(stderr, "writer, dialect %d: %s\n---- script\n", static_cast<int>(st),
                 why.c_str());
    std::fwrite(check.Script().data(), 1, check.Script().size(), stderr);
    std::fputc('\n', stderr);
    std::abort();
  }
  return 0;
}
