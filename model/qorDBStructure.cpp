// TObjs lookups and stored sources, TDBStructure and the unit's globals.
#include "model/qorDBStructure.h"

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"

namespace qor {

namespace {
void IgnoreFileError(const std::string&) {}
}  // namespace

bool StopRequested = false;
TFileErrorHandler FileErrorHandler = &IgnoreFileError;

// ------------------------------------------------------------------ TObjs

void TObjs::StoreSourceSQL() {
  auto store = [](auto& list) {
    for (auto& e : list) {
      if (!e.Value) continue;
      e.Value->SourceSQL = e.Value->GetCreateSQL();
      e.Value->SourceCopy = e.Value->SourceSQL;
    }
  };
  store(Views);
  store(Procedures);
  store(Triggers);
}

TDmnData* TObjs::FindDomain(std::string_view key) const { return Domains.FindObject(key); }
TTblData* TObjs::FindTable(std::string_view key) const { return Tables.FindObject(key); }
TViwData* TObjs::FindView(std::string_view key) const { return Views.FindObject(key); }
TPrcData* TObjs::FindProcedure(std::string_view key) const { return Procedures.FindObject(key); }
TTrgData* TObjs::FindTrigger(std::string_view key) const { return Triggers.FindObject(key); }
TGnrData* TObjs::FindGenerator(std::string_view key) const { return Generators.FindObject(key); }
TExcData* TObjs::FindException(std::string_view key) const { return Exceptions.FindObject(key); }
TIdxData* TObjs::FindIndex(std::string_view key) const { return Indices.FindObject(key); }
TUdfData* TObjs::FindUdf(std::string_view key) const { return Udfs.FindObject(key); }
TPkgData* TObjs::FindPackage(std::string_view key) const { return Packages.FindObject(key); }
TCtrData* TObjs::FindConstraint(std::string_view key) const { return Constraints.FindObject(key); }
TSchData* TObjs::FindSchema(std::string_view key) const { return Schemas.FindObject(key); }

TFldData* TObjs::FindField(std::string_view tableKey, std::string_view columnName) const {
  TTblData* t = FindTable(tableKey);
  return t ? t->FindField(columnName) : nullptr;
}

TFldData* TObjs::FindField2(std::string_view viewKey, std::string_view columnName) const {
  TViwData* v = FindView(viewKey);
  return v ? v->FindField(columnName) : nullptr;
}

TFldData* TObjs::FindParam(std::string_view routineKey, std::string_view paramName) const {
  TPrcData* p = FindProcedure(routineKey);
  return p ? p->FindParam(paramName) : nullptr;
}

TRolData* TObjs::FindRoleOfKind(std::string_view name, std::uint8_t kind) const {
  // Every grant asks about its grantee: a scan of the list each time would
  // make linking the grants grow with grants times roles.
  std::vector<TDbObj*> named;
  ObjectsNamed(TDbObject::dboRole, std::string(name), named);
  for (TDbObj* o : named)
    if (auto* r = static_cast<TRolData*>(o); r->RoleKind == kind) return r;
  return nullptr;
}

TRolData* TObjs::FindRole(std::string_view name) const { return FindRoleOfKind(name, rk::Role); }
TRolData* TObjs::FindLogin(std::string_view name) const { return FindRoleOfKind(name, rk::Login); }
TRolData* TObjs::FindUser(std::string_view name) const { return FindRoleOfKind(name, rk::User); }

// ----------------------------------------------------------- TDBStructure

TDBStructure::TDBStructure() { SetObjs(std::make_unique<TObjs>()); }

TDBStructure::~TDBStructure() = default;

TObjs* TDBStructure::GetObjs() const { return static_cast<TObjs*>(Objs()); }

#define QOR_OPTIONS_PROPERTY(Type, Name)                                        \
  Type* TDBStructure::Name() const { return Objs() ? &Objs()->Name : nullptr; } \
  void TDBStructure::Set##Name(const Type& value) {                             \
    if (Objs()) Objs()->Name.Assign(value);                                     \
  }

QOR_PER_SERVER_OPTIONS(QOR_OPTIONS_PROPERTY, TIBServerOptions)

#undef QOR_OPTIONS_PROPERTY

}  // namespace qor
