// The readers of objects whose definition is their stored text: views,
// procedures and functions, triggers. The text is kept in ObjectSource for
// the T-SQL parser, which reads columns, parameters and what the body names
// when the bodies are parsed.
#include "extract/mssql/qorMSSQLDatabaseExtract.h"

#include "base/qorMsgMngr.h"
#include "engine/qorDBEngine.h"
#include "extract/mssql/qorMSSQLCatalogQueries.h"
#include "extract/mssql/qorMSSQLExtractRead.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/qorParser.h"
#include "platform/qorStrings.h"

namespace qor {

using namespace msread;

namespace {

// A text the server keeps encrypted comes back null: the object cannot be
// scripted, and says so.
void NoteUnreadableText(TMSSQLDBExtract& extract, const char* kind, TDbObj& obj) {
  if (!obj.ObjectSource.empty()) return;
  extract.GetMsgManager()->Add(std::string(kind) + " " + obj.GetQualifiedName() +
                                   ": the server returns no text for it (WITH ENCRYPTION?); "
                                   "it is not scripted",
                               kMsgNote, &obj);
}

}  // namespace

// -------------------------------------------------------------------- Views

void TMSSQLDBExtract::ExtractViews() {
  LogLine("Extracting views...");
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  using C = msq::ViewCol;
  SetSQL(q, msq::Views(form));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto v = std::make_unique<TViwData>(o);
    const std::string name = Str(q, C::Name);
    const std::string schema = Str(q, C::SchName);
    v->ObjectId = Int32(q, C::Id);
    v->SetName(name);
    v->SetParentName(schema);
    v->QuotedIdentifier = Flag(q, C::QI);
    v->AnsiNulls = Flag(q, C::AN);
    if (!form.Views) {
      ReadCommentsText(v.get());
    } else {
      v->SetDescription(form.Subselects ? Str(q, C::Description)
                                        : ReadDescription("SCHEMA", schema, "VIEW", name));
      v->ObjectSource = NormalizeScriptText(Str(q, C::Definition));
    }
    NoteUnreadableText(*this, "View", *v);
    if (ShowFullLog) LogLine("---" + v->GetQualifiedName());
    AddObjIfAccepted(v.release());
    ProcessMessages();
    if (StopRequested) break;
  }
  Done(q);
}

// --------------------------------------------------- Procedures, functions

void TMSSQLDBExtract::ExtractProcedures() {
  LogLine("Extracting procedures...");
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  using C = msq::RoutineCol;
  SetSQL(q, msq::Routines(form));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto p = std::make_unique<TPrcData>(o);
    const std::string name = Str(q, C::Name);
    const std::string schema = Str(q, C::SchName);
    const std::string type = TrimCtl(Str(q, C::Type));
    p->ObjectId = Int32(q, C::Id);
    p->SetName(name);
    p->SetParentName(schema);
    p->IsFunction = type == "FN" || type == "TF" || type == "IF";
    p->TableResult = type == "IF";
    bool toolsSupport = false;
    if (!form.Views) {
      ReadCommentsText(p.get());
    } else {
      p->ObjectSource = TrimCtl(NormalizeLineBreaks(Str(q, C::Definition)));
      if (form.Subselects) {
        p->SetDescription(Str(q, C::Description));
        if (!IsNull(q, C::MsTools)) toolsSupport = Flag(q, C::MsTools);
      } else {
        const char* word = p->IsFunction ? "FUNCTION" : "PROCEDURE";
        p->SetDescription(ReadDescription("SCHEMA", schema, word, name));
        toolsSupport = ReadToolsSupport("SCHEMA", schema, word, name);
      }
    }
    p->ObjectSource = NormalizeScriptText(p->ObjectSource);
    p->QuotedIdentifier = Flag(q, C::QI);
    p->AnsiNulls = Flag(q, C::AN);
    // Designer-tool procedures are not part of the schema.
    if (!toolsSupport) {
      NoteUnreadableText(*this, p->IsFunction ? "Function" : "Procedure", *p);
      if (ShowFullLog) LogLine("---" + p->GetQualifiedName());
      AddObjIfAccepted(p.release());
    }
    ProcessMessages();
  }
  Done(q);
}

// ----------------------------------------------------------------- Triggers

void TMSSQLDBExtract::ExtractTriggers() {
  LogLine("Extracting triggers...");
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  using C = msq::TriggerCol;
  SetSQL(q, msq::Triggers(form));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto t = std::make_unique<TTrgData>(o);
    t->ObjectId = Int32(q, C::Id);
    t->SetName(Str(q, C::TrgName));
    t->QuotedIdentifier = Flag(q, C::QI);
    t->AnsiNulls = Flag(q, C::AN);
    t->NotForReplication = Flag(q, C::NR);
    // The schema first: the table is looked up in it.
    t->SetParentName(Str(q, C::SchName));
    const bool onDatabase = form.Views && Int64(q, C::ParentClass) == 0;
    t->SetTableName(onDatabase ? "DATABASE" : Str(q, C::TblName));
    if (!form.Views) {
      ReadCommentsText(t.get());
    } else {
      t->ObjectSource = TrimCtl(NormalizeLineBreaks(Str(q, C::Definition)));
      if (form.Subselects) {
        t->SetDescription(Str(q, C::Description));
      } else if (onDatabase) {
        t->SetDescription(ReadDescription("TRIGGER", Str(q, C::TrgName), {}, {}));
      } else {
        // The view is looked up by its qualified key: the trigger's own
        // link knows the bare table name only.
        const std::string key = t->GetParentName().empty()
                                    ? t->GetTableName()
                                    : t->GetParentName() + "." + t->GetTableName();
        const bool onView =
            dynamic_cast<TViwData*>(t->GetTableObj()) != nullptr || o->FindView(key) != nullptr;
        t->SetDescription(ReadDescription("SCHEMA", Str(q, C::SchName), onView ? "VIEW" : "TABLE",
                                          Str(q, C::TblName), "TRIGGER", Str(q, C::TrgName)));
      }
    }
    t->ObjectSource = NormalizeScriptText(t->ObjectSource);
    NoteUnreadableText(*this, "Trigger", *t);
    if (ShowFullLog) LogLine("---" + t->GetQualifiedName());
    AddObjIfAccepted(t.release());
    ProcessMessages();
  }
  Done(q);
}

}  // namespace qor
