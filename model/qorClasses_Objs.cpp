// The object collection and the structure component of unit qorClasses:
// routing of objects to their lists, the accept chain, grant merging, the
// dependency edges and the reports through the linked extractor.
#include "model/qorClasses.h"

#include "model/qorComp_Clt.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Evt.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Opr.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorExtractorHost.h"
#include "model/qorScriptWriter.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace qor {

namespace {

using DB = TDatabaseType;
using SD = TScriptDialect;

// Every object of `root`'s tree below it: columns, parameters, type holders
// and what they own in turn.
void CollectSubObjects(TDbObj* root, std::vector<TDbObj*>& out) {
  std::vector<TDbObj*> direct;
  root->GetSubObjects(direct);
  for (TDbObj* d : direct) {
    if (!d) continue;
    out.push_back(d);
    CollectSubObjects(d, out);
  }
}

// The bucket of a grant in the grant index: grantee and object, which
// every grant of one target shares; SameTarget decides the rest.
std::size_t GrantBucket(const TGntData& g) {
  const std::size_t h = std::hash<std::string>{}(g.Grantee);
  return h ^ (std::hash<std::string>{}(g.ObjectName) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
}

}  // namespace

struct TCustomObjs::TGrantIndex {
  struct TMember {
    TGntData* grant;
    std::string key;  // its key in the grants list, which orders the bucket
  };
  std::uint64_t version = 0;  // of the grants list it was made from
  std::unordered_map<std::size_t, std::vector<TMember>> buckets;
};

// Objects by the hash of a name, in one array probed linearly: with a
// hundred thousand names a map of nodes and vectors costs several cache
// misses per look-up where this costs about one. Callers compare the names.
struct TCustomObjs::TNameIndex {
  std::uint64_t version = 0;      // of the list it was made from
  std::uint64_t typeChanges = 0;  // constraint type changes seen (defaults)
  struct TSlot {
    std::size_t hash;
    TDbObj* obj;  // null: empty
  };
  std::vector<TSlot> slots;
  std::size_t count = 0;

  static std::size_t Hash(std::string_view name) { return std::hash<std::string_view>()(name); }
  // Sized once for `n` objects: with no growth, objects of one hash are met
  // in the order they were added.
  explicit TNameIndex(std::size_t n) {
    std::size_t size = 16;
    while (size < 2 * n) size *= 2;
    slots.assign(size, TSlot{0, nullptr});
  }
  void Add(std::size_t hash, TDbObj* obj) {
    const std::size_t mask = slots.size() - 1;
    std::size_t i = hash & mask;
    while (slots[i].obj) i = (i + 1) & mask;
    slots[i] = {hash, obj};
    ++count;
  }
  template <class F>
  void ForEach(std::size_t hash, F&& f) const {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = hash & mask; slots[i].obj; i = (i + 1) & mask)
      if (slots[i].hash == hash) f(slots[i].obj);
  }
};

// The primary and unique keys and the indices, by the hash of their table's
// name.
struct TCustomObjs::TInlineKeyIndex {
  TInlineKeyIndex(std::size_t keyCount, std::size_t indexCount)
      : keys(keyCount), indices(indexCount) {}
  TNameIndex keys;
  TNameIndex indices;
};

// ------------------------------------------------------------- TCustomObjs

// clang-format off
TCustomObjs::TCustomObjs()
    : Schemas(true), Domains(true), Udfs(true), Triggers(true), Procedures(true), Tables(true),
      Exceptions(true), Generators(true), Indices(true), Views(true), Roles(true), Grants(true),
      Constraints(true), Rules(true), Defaults(true), Packages(true), Publications(true),
      Operators(true), OperatorClasses(true), Events(true), Collations(true) {
  // clang-format on
  ConnectionOptions.UserName = "SYSDBA";
  ConnectionOptions.Password = "quillbark";
  auto sensitive = [](auto& list) { list.SetCaseSensitive(true); };
  // clang-format off
  sensitive(Schemas); sensitive(Domains); sensitive(Udfs); sensitive(Triggers);
  sensitive(Procedures); sensitive(Tables); sensitive(Exceptions); sensitive(Generators);
  sensitive(Indices); sensitive(Views); sensitive(Roles); sensitive(Grants);
  sensitive(Constraints); sensitive(Rules); sensitive(Defaults); sensitive(Packages);
  sensitive(Publications); sensitive(Operators); sensitive(OperatorClasses); sensitive(Events);
  sensitive(Collations);
  // clang-format on
}

TCustomObjs::~TCustomObjs() { FreeAllObjects(); }

void TCustomObjs::ForEachObject(const std::function<void(TDbObj&)>& fn) {
  auto each = [&fn](auto& list) {
    for (auto& e : list)
      if (e.Value) fn(*e.Value);
  };
  each(Schemas);
  each(Domains);
  each(Udfs);
  each(Triggers);
  each(Procedures);
  each(Tables);
  each(Exceptions);
  each(Generators);
  each(Indices);
  each(Views);
  each(Roles);
  each(Grants);
  each(Constraints);
  each(Rules);
  each(Defaults);
  each(Packages);
  each(Publications);
  each(Operators);
  each(OperatorClasses);
  each(Events);
  each(Collations);
}

void TCustomObjs::FreeAllObjects() {
  grantIndex_.reset();
  for (auto& index : nameIndex_) index.reset();
  // Edges between two objects that both go are simply freed; only objects
  // that stay (in another collection, or owned where no list reaches) lose
  // their halves. Taken away one object at a time, an object that
  // thousands use would have its list read once per user.
  std::vector<TDbObj*> all;
  ForEachObject([&all](TDbObj& o) {
    all.push_back(&o);
    CollectSubObjects(&o, all);
  });
  const std::unordered_set<const TDbObj*> going(all.begin(), all.end());
  for (TDbObj* o : all) {
    if (!o->edges_) continue;
    std::vector<TDbObj*> staying;
    for (const TDependList* list : {&o->edges_->dependsOn, &o->edges_->usedBy})
      for (const auto& e : *list)
        if (e.Value && e.Value->Target && !going.count(e.Value->Target))
          staying.push_back(e.Value->Target);
    std::sort(staying.begin(), staying.end());
    staying.erase(std::unique(staying.begin(), staying.end()), staying.end());
    for (TDbObj* s : staying) s->DropEdgesTo(o);
    o->edges_.reset();
  }
  Schemas.Clear();
  Domains.Clear();
  Udfs.Clear();
  Triggers.Clear();
  Procedures.Clear();
  Tables.Clear();
  Exceptions.Clear();
  Generators.Clear();
  Indices.Clear();
  Views.Clear();
  Roles.Clear();
  Grants.Clear();
  Constraints.Clear();
  Rules.Clear();
  Defaults.Clear();
  Packages.Clear();
  Publications.Clear();
  Operators.Clear();
  OperatorClasses.Clear();
  Events.Clear();
  Collations.Clear();
}

void TCustomObjs::Clear() {
  FreeAllObjects();
  ScriptLines.clear();
  IBServerOptions.IBDatabaseOptions.Clear();
  MSSQLServerOptions.MSSQLDatabaseOptions.Clear();
  ASAServerOptions.ASADatabaseOptions.Assign(TASADatabaseOptions{});
  Terminator = ";";
}

void TCustomObjs::StoreSourceSQL() {}

void TCustomObjs::SetServerType(TDatabaseType value) {
  serverType_ = value;
  const bool sensitive =
      !(value == DB::dbSybaseASA || value == DB::dbMSSQL || value == DB::dbSybaseASE);
  auto set = [sensitive](auto& list) { list.SetCaseSensitive(sensitive); };
  // Schemas, operators, operator classes and events keep their rule.
  set(Domains);
  set(Udfs);
  set(Triggers);
  set(Procedures);
  set(Tables);
  set(Exceptions);
  set(Generators);
  set(Indices);
  set(Views);
  set(Roles);
  set(Grants);
  set(Constraints);
  set(Rules);
  set(Defaults);
  set(Packages);
  set(Publications);
  set(Collations);
}

// ------------------------------------------------------ The per-kind lists

// What the collection does with the list of one object kind, through the
// class that list holds.
struct TCustomObjs::TKindList {
  TDbObject Kind;
  // Stores `obj` under `key`; false, the object left with the caller, when
  // the list refuses it.
  bool (*Store)(TCustomObjs& objs, const std::string& key, TDbObj* obj);
  // Whether the list holds this very object.
  bool (*Holds)(TCustomObjs& objs, TDbObj* obj);
  // Detaches and frees the object stored under `key`, if any.
  void (*Drop)(TCustomObjs& objs, const std::string& key);
};

namespace {

// GetKind() names the class, so the row found by kind knows the type.
template <class T, TOwnedNameList<T> TCustomObjs::*List>
constexpr TCustomObjs::TKindList KindList(TDbObject kind) {
  return {
      kind,
      [](TCustomObjs& objs, const std::string& key, TDbObj* obj) {
        std::unique_ptr<T> holder(static_cast<T*>(obj));
        if ((objs.*List).Add(key, std::move(holder)) >= 0) return true;
        holder.release();  // refused: the object stays with the caller
        return false;
      },
      [](TCustomObjs& objs, TDbObj* obj) {
        return (objs.*List).IndexOfObject(static_cast<T*>(obj)) >= 0;
      },
      [](TCustomObjs& objs, const std::string& key) {
        TOwnedNameList<T>& list = objs.*List;
        const int i = list.IndexOf(key);
        if (i < 0) return;
        objs.DetachObject(list.Object(i));
        list.Delete(i);
      },
  };
}

using O = TCustomObjs;
using K = TDbObject;
constexpr TCustomObjs::TKindList kKindLists[] = {
    KindList<TUdfData, &O::Udfs>(K::dboFunction),
    KindList<TDmnData, &O::Domains>(K::dboDomain),
    KindList<TTblData, &O::Tables>(K::dboTable),
    KindList<TViwData, &O::Views>(K::dboView),
    KindList<TPrcData, &O::Procedures>(K::dboProcedure),
    KindList<TTrgData, &O::Triggers>(K::dboTrigger),
    KindList<TIdxData, &O::Indices>(K::dboIndex),
    KindList<TGnrData, &O::Generators>(K::dboGenerator),
    KindList<TCtrData, &O::Constraints>(K::dboConstraint),
    KindList<TExcData, &O::Exceptions>(K::dboException),
    KindList<TGntData, &O::Grants>(K::dboGrant),
    KindList<TDefData, &O::Defaults>(K::dboDefault),
    KindList<TRulData, &O::Rules>(K::dboRule),
    KindList<TPkgData, &O::Packages>(K::dboPackage),
    KindList<TRolData, &O::Roles>(K::dboRole),
    KindList<TPblData, &O::Publications>(K::dboPublication),
    KindList<TSchData, &O::Schemas>(K::dboSchema),
    KindList<TOprData, &O::Operators>(K::dboOperator),
    KindList<TOpcData, &O::OperatorClasses>(K::dboOperatorClass),
    KindList<TEvtData, &O::Events>(K::dboEvent),
    KindList<TCltData, &O::Collations>(K::dboCollation),
};

}  // namespace

const TCustomObjs::TKindList* TCustomObjs::ListOfKind(TDbObject kind) {
  for (const TKindList& row : kKindLists)
    if (row.Kind == kind) return &row;
  return nullptr;
}

bool TCustomObjs::StoreInList(TDbObj* obj, const std::string& key, bool& known) {
  const TKindList* list = ListOfKind(obj->GetKind());
  known = list != nullptr;
  if (!list || !list->Store(*this, key, obj)) return false;
  obj->heldBy_ = this;
  return true;
}

bool TCustomObjs::HoldsObject(TDbObj* obj) {
  // The mark is only a hint (an entry may have been taken out since); the
  // list decides.
  if (obj->heldBy_ != this) return false;
  const TKindList* list = ListOfKind(obj->GetKind());
  return list && list->Holds(*this, obj);
}

void TCustomObjs::DropStored(TDbObject kind, const std::string& key) {
  if (const TKindList* list = ListOfKind(kind)) list->Drop(*this, key);
}

void TCustomObjs::DropTable(const std::string& key, const std::string& table) {
  for (int i = Constraints.Count() - 1; i >= 0; --i)
    if (const TCtrData* c = Constraints.Object(i); c && c->GetTableName() == table)
      DropStored(TDbObject::dboConstraint, Constraints.Name(i));
  for (int i = Indices.Count() - 1; i >= 0; --i)
    if (const TIdxData* x = Indices.Object(i); x && x->TableName == table)
      DropStored(TDbObject::dboIndex, Indices.Name(i));
  for (int i = Triggers.Count() - 1; i >= 0; --i)
    if (const TTrgData* t = Triggers.Object(i); t && t->GetTableName() == table)
      DropStored(TDbObject::dboTrigger, Triggers.Name(i));
  DropStored(TDbObject::dboTable, key);
}

bool TCustomObjs::AcceptObj(TDbObj* obj) {
  if (!obj) return false;
  bool accept = true;
  if (TExtractorHost* host = GetExtractor())
    accept = host->AcceptObjName(obj->GetName(), obj->ObjType);
  if (AcceptCallback) AcceptCallback(this, obj, accept);
  return accept;
}

bool TCustomObjs::AddObject(TDbObj* obj, bool freeOnFail) {
  if (!obj) return false;
  // Offering an object a second time (a re-parse of a stored text does)
  // must not free what the list owns.
  if (HoldsObject(obj)) return true;
  bool ok = AcceptObj(obj);
  if (ok && serverType_ == DB::dbInterBase && IBServerOptions.IBCompareOptions.IgnoreIBEObjects &&
      StartsWith(obj->GetName(), "IBE$"))
    ok = false;
  if (ok) {
    const std::string key = obj->GetKeyName();
    bool known = false;
    ok = StoreInList(obj, key, known);
    if (!known) Error(std::string("Unknown DbObject to add (") + obj->ClassName() + ")");
  }
  if (ok) return true;
  if (freeOnFail) {
    DetachObject(obj);
    delete obj;
  }
  return false;
}

void TCustomObjs::IndexGrants() {
  grantIndex_ = std::make_unique<TGrantIndex>();
  for (auto& entry : Grants)
    if (TGntData* g = entry.Value.get())
      grantIndex_->buckets[GrantBucket(*g)].push_back({g, entry.Name});
  grantIndex_->version = Grants.Version();
}

TGntData* TCustomObjs::AddGrant(std::unique_ptr<TGntData>& grant) {
  if (!grant) return nullptr;
  // Only the grants of the new one's bucket can match, and they are tried
  // in list order. Any change of the list made elsewhere since the index
  // was made remakes it.
  if (!grantIndex_ || grantIndex_->version != Grants.Version()) IndexGrants();
  std::vector<TGrantIndex::TMember>& bucket = grantIndex_->buckets[GrantBucket(*grant)];
  for (const TGrantIndex::TMember& member : bucket) {
    TGntData* e = member.grant;
    if (!e->SameTarget(*grant)) continue;
    if (e->Columns.empty() && grant->Columns.empty()) {
      e->Privileges |= grant->Privileges;
      return nullptr;
    }
    if (e->Privileges == grant->Privileges && !e->Columns.empty() && !grant->Columns.empty()) {
      for (const std::string& c : grant->Columns)
        if (std::find(e->Columns.begin(), e->Columns.end(), c) == e->Columns.end())
          e->Columns.push_back(c);
      return nullptr;
    }
  }
  TGntData* raw = grant.get();
  std::string key = raw->GetKeyName();
  // A key already present is the same statement: the grant adds nothing
  // and goes back to the caller like a merged one, instead of being
  // reported as stored while the list refused it.
  if (Grants.Add(key, std::move(grant)) < 0) return nullptr;
  raw->heldBy_ = this;
  auto at = bucket.end();
  if (Grants.Sorted())
    at = std::partition_point(bucket.begin(), bucket.end(), [this, &key](const auto& m) {
      return Grants.Compare(m.key, key) < 0;
    });
  bucket.insert(at, {raw, std::move(key)});
  grantIndex_->version = Grants.Version();
  return raw;
}

void TCustomObjs::RekeyGrants() {
  Grants.SetSorted(false);
  for (int i = 0; i < Grants.Count(); ++i)
    if (TGntData* g = Grants.Object(i)) Grants.Rename(i, g->GetKeyName());
  Grants.SetSorted(true);
}

// ------------------------------------------------------ Keys of a table

void TCustomObjs::InlineKeysOf(const std::string& table, std::vector<TCtrData*>& keys,
                               std::vector<TIdxData*>& indices) {
  keys.clear();
  indices.clear();
  if (inlineKeyIndex_) {
    const std::size_t hash = TNameIndex::Hash(table);
    inlineKeyIndex_->keys.ForEach(hash, [&](TDbObj* o) {
      if (auto* c = static_cast<TCtrData*>(o); c->GetTableName() == table) keys.push_back(c);
    });
    inlineKeyIndex_->indices.ForEach(hash, [&](TDbObj* o) {
      if (auto* idx = static_cast<TIdxData*>(o); idx->TableName == table) indices.push_back(idx);
    });
    return;
  }
  for (auto& e : Constraints) {
    TCtrData* c = e.Value.get();
    if (!c || c->GetTableName() != table) continue;
    const std::uint8_t type = c->GetConstraintType();
    if (type == ct::PrimaryKey || type == ct::Unique) keys.push_back(c);
  }
  for (auto& e : Indices)
    if (TIdxData* idx = e.Value.get(); idx && idx->TableName == table) indices.push_back(idx);
}

void TCustomObjs::SetInlineKeysIndexed(bool on) {
  inlineKeyIndex_.reset();
  if (!on) return;
  auto isKey = [](const TCtrData* c) {
    return c && (c->GetConstraintType() == ct::PrimaryKey || c->GetConstraintType() == ct::Unique);
  };
  std::size_t keyCount = 0;
  for (auto& e : Constraints)
    if (isKey(e.Value.get())) ++keyCount;
  auto index =
      std::make_unique<TInlineKeyIndex>(keyCount, static_cast<std::size_t>(Indices.Count()));
  for (auto& e : Constraints)
    if (TCtrData* c = e.Value.get(); isKey(c))
      index->keys.Add(TNameIndex::Hash(c->GetTableName()), c);
  for (auto& e : Indices)
    if (TIdxData* idx = e.Value.get()) index->indices.Add(TNameIndex::Hash(idx->TableName), idx);
  inlineKeyIndex_ = std::move(index);
}

void TCustomObjs::ObjectsNamed(TDbObject kind, const std::string& name,
                               std::vector<TDbObj*>& out) const {
  const std::size_t hash = TNameIndex::Hash(name);
  auto lookUp = [&](auto& list, std::unique_ptr<TNameIndex>& index) {
    if (!index || index->version != list.Version()) {
      index = std::make_unique<TNameIndex>(static_cast<std::size_t>(list.Count()));
      for (auto& e : list)
        if (e.Value) index->Add(TNameIndex::Hash(e.Value->GetName()), e.Value.get());
      index->version = list.Version();
    }
    // An object renamed since is left out.
    index->ForEach(hash, [&](TDbObj* o) {
      if (o->GetName() == name) out.push_back(o);
    });
  };
  switch (kind) {
    case TDbObject::dboTable: lookUp(Tables, nameIndex_[0]); break;
    case TDbObject::dboView: lookUp(Views, nameIndex_[1]); break;
    case TDbObject::dboProcedure: lookUp(Procedures, nameIndex_[2]); break;
    case TDbObject::dboGenerator: lookUp(Generators, nameIndex_[3]); break;
    case TDbObject::dboRole: lookUp(Roles, nameIndex_[4]); break;
    default: break;
  }
}

void TCustomObjs::ConstraintTypeChanged() { ++constraintTypeChanges_; }

TCtrData* TCustomObjs::DefaultConstraintOf(const TFldData& column) const {
  std::unique_ptr<TNameIndex>& index = nameIndex_[5];
  if (!index || index->version != Constraints.Version() ||
      index->typeChanges != constraintTypeChanges_) {
    // Only the default constraints: a constraint that becomes one later
    // makes the index again through its type change.
    std::size_t defaults = 0;
    for (auto& e : Constraints)
      if (e.Value && e.Value->GetConstraintType() == ct::Default) ++defaults;
    index = std::make_unique<TNameIndex>(defaults);
    for (auto& e : Constraints)
      if (e.Value && e.Value->GetConstraintType() == ct::Default)
        index->Add(HashUpperAscii(e.Value->GetTableName()), e.Value.get());
    index->version = Constraints.Version();
    index->typeChanges = constraintTypeChanges_;
  }
  // Most schemas have none: no look-up per column then.
  if (index->count == 0) return nullptr;
  const auto* table = dynamic_cast<const TTblData*>(column.OwnerObj);
  if (!table) return nullptr;
  const bool cs = Tables.CaseSensitive();
  auto same = [cs](std::string_view a, std::string_view b) { return cs ? a == b : SameText(a, b); };
  TCtrData* found = nullptr;
  index->ForEach(HashUpperAscii(table->GetName()), [&](TDbObj* o) {
    auto* c = static_cast<TCtrData*>(o);
    if (found || c->GetConstraintType() != ct::Default || c->Columns.Count() != 1 ||
        !same(c->GetTableName(), table->GetName()) || !same(c->Columns.Name(0), column.GetName()))
      return;
    // A schema missing on either side does not tell them apart.
    if (c->GetParentName().empty() || table->GetParentName().empty() ||
        same(c->GetParentName(), table->GetParentName()))
      found = c;
  });
  return found;
}

// ------------------------------------------------------------ Dependencies

void TCustomObjs::AddDependency(TDbObj* user, TDbObj* used, int line, int column,
                                std::string fieldName) {
  if (!user || !used) return;
  if (!fieldName.empty()) {
    TFldData* field = nullptr;
    if (auto* t = dynamic_cast<TTblData*>(used)) {
      field = t->FindField(fieldName);
    } else if (auto* v = dynamic_cast<TViwData*>(used)) {
      field = v->FindField(fieldName);
    } else if (auto* table = dynamic_cast<TTblData*>(user);
               table && (dynamic_cast<TCtrData*>(used) || dynamic_cast<TDmnData*>(used))) {
      AddDependency(user, used, line, column);
      if (TFldData* own = table->FindField(fieldName)) {
        user = own;
        fieldName.clear();
      }
    } else if (dynamic_cast<TPrcData*>(used)) {
      fieldName.clear();
    }
    if (field) {
      used = field;
      fieldName.clear();
    }
  }
  for (const auto& e : user->DependsOn())
    if (e.Value && e.Value->Target == used && e.Value->FieldName == fieldName) return;
  AddDependencyPair(user, used, line, column, std::move(fieldName));
}

void TCustomObjs::AddDependencyPair(TDbObj* user, TDbObj* used, int line, int column,
                                    std::string fieldName) {
  if (!user || !used) return;
  if (!fieldName.empty()) {
    TFldData* field = nullptr;
    if (auto* t = dynamic_cast<TTblData*>(used)) field = t->FindField(fieldName);
    else if (auto* v = dynamic_cast<TViwData*>(used)) field = v->FindField(fieldName);
    if (field) AddDependency(user, field, line, column);
    return;
  }
  auto makeEdge = [&](TDbObj* other) {
    auto e = std::make_unique<TDependObj>(this);
    e->ObjType = other->ObjType;
    e->name_ = other->GetName();
    e->Target = other;
    e->Line = line;
    e->Column = column;
    return e;
  };
  auto toUsed = makeEdge(used);
  auto toUser = makeEdge(user);
  user->EdgesOf(/*usedBy=*/false).Add(used->GetName(), std::move(toUsed));
  used->EdgesOf(/*usedBy=*/true).Add(user->GetName(), std::move(toUser));
}

void TCustomObjs::RemoveDependencyEdges(TDbObj* obj, TDbObj* target) {
  if (obj && target) obj->RemoveEdgesTo(target);
}

void TCustomObjs::RemoveDependenciesOn(TDbObj* obj) {
  if (!obj) return;
  std::vector<TDbObj*> holders;
  ForEachObject([&holders](TDbObj& o) {
    holders.push_back(&o);
    CollectSubObjects(&o, holders);
  });
  // Edges come in pairs: of the holders, only those at the other end of
  // the object's own edges hold edges to it, and the object's lists are
  // read once for all of them.
  if (!obj->edges_) return;
  const std::unordered_set<const TDbObj*> held(holders.begin(), holders.end());
  std::vector<TDbObj*> partners;
  for (const TDependList* list : {&obj->edges_->dependsOn, &obj->edges_->usedBy})
    for (const auto& e : *list)
      if (e.Value && e.Value->Target && held.count(e.Value->Target))
        partners.push_back(e.Value->Target);
  std::sort(partners.begin(), partners.end());
  partners.erase(std::unique(partners.begin(), partners.end()), partners.end());
  for (TDbObj* h : partners)
    if (h != obj) h->DropEdgesTo(obj);
  for (TDependList* list : {&obj->edges_->dependsOn, &obj->edges_->usedBy})
    for (int i = list->Count() - 1; i >= 0; --i) {
      const TDependObj* e = list->Object(i);
      if (e && e->Target && held.count(e->Target)) list->Delete(i);
    }
}

void TCustomObjs::DetachObject(TDbObj* obj) {
  if (!obj) return;
  std::vector<TDbObj*> gone{obj};
  CollectSubObjects(obj, gone);
  const std::unordered_set<const TDbObj*> inside(gone.begin(), gone.end());
  // Edges are recorded in pairs, so the holders of edges to the departing
  // objects are the targets of their own edges. Those inside the tree go
  // with it.
  // Each list is read once: a table that thousands of objects use goes in
  // one pass over its edges, not one per user.
  for (TDbObj* g : gone) {
    std::vector<TDbObj*> others;
    for (const auto& e : g->DependsOn())
      if (e.Value && e.Value->Target && !inside.count(e.Value->Target))
        others.push_back(e.Value->Target);
    for (const auto& e : g->UsedBy())
      if (e.Value && e.Value->Target && !inside.count(e.Value->Target))
        others.push_back(e.Value->Target);
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());
    for (TDbObj* o : others) o->DropEdgesTo(g);
    if (!g->edges_) continue;
    for (TDependList* list : {&g->edges_->dependsOn, &g->edges_->usedBy})
      for (int i = list->Count() - 1; i >= 0; --i) {
        const TDependObj* e = list->Object(i);
        if (e && e->Target && !inside.count(e->Target)) list->Delete(i);
      }
  }
  // Plain links: a trigger's table, a type's element column.
  // One lookup per holder, so that many rejections stay cheap.
  for (auto& t : Triggers)
    if (t.Value && inside.count(t.Value->GetTableObj()))
      t.Value->ClearLinksTo(t.Value->GetTableObj());
  for (auto& d : Domains) {
    TDmnData* dm = d.Value.get();
    if (dm && dm->PGOptions && inside.count(dm->PGOptions->Element))
      dm->ClearLinksTo(dm->PGOptions->Element);
  }
  // Counterparts live in the collection this one is compared with.
  if (LinkedObjs && LinkedObjs != this)
    LinkedObjs->ForEachObject([&inside](TDbObj& o) {
      if (inside.count(o.Counterpart)) o.Counterpart = nullptr;
    });
}

// ----------------------------------------------- Linked collections, reports

TCustomObjs* TCustomObjs::GetSourceObjs() { return Role == 1 ? this : LinkedObjs; }

TCustomObjs* TCustomObjs::GetTargetObjs() { return Role == 2 ? this : LinkedObjs; }

std::int32_t TCustomObjs::GetTargetODSVersion() {
  TCustomObjs* target = nullptr;
  if (Role == 2) target = this;
  else if (LinkedObjs && LinkedObjs->Role == 2) target = LinkedObjs;
  return target ? target->IBServerOptions.IBDatabaseOptions.ODSMajorVersion : 0;
}

std::string TCustomObjs::GetStructureNamePrefix() const {
  return Structure ? Structure->NamePrefix : std::string();
}

std::string TCustomObjs::GetServerVersionText() const {
  int index = -1;
  switch (ScriptDialect(serverType_)) {
    case SD::sdInterBase: index = static_cast<int>(IBServerOptions.SQLServerVersion); break;
    case SD::sdASA: index = static_cast<int>(ASAServerOptions.SQLServerVersion); break;
    case SD::sdMySQL: index = static_cast<int>(MySQLServerOptions.SQLServerVersion); break;
    case SD::sdOracle: index = static_cast<int>(OracleServerOptions.SQLServerVersion); break;
    case SD::sdMSSQL: index = static_cast<int>(MSSQLServerOptions.SQLServerVersion); break;
    case SD::sdPostgreSQL: index = static_cast<int>(PGSQLServerOptions.SQLServerVersion); break;
    case SD::sdDB2: index = static_cast<int>(DB2ServerOptions.SQLServerVersion); break;
    case SD::sdASE: index = static_cast<int>(ASEServerOptions.SQLServerVersion); break;
    case SD::sdGeneric: return {};
  }
  const std::string name = GetServerVersionName(serverType_, index);
  return name.empty() ? std::string() : "Server Version (user defined): " + name;
}

TExtractorHost* TCustomObjs::GetExtractor() const {
  return Structure ? Structure->Extractor() : nullptr;
}

void TCustomObjs::Log(const std::string& text) {
  if (OnLog) {
    OnLog(this, text);
    return;
  }
  if (TExtractorHost* host = GetExtractor(); host && host->LogAssigned()) {
    host->LogNextLine(this, text);
    return;
  }
  if (ScriptWriter && ScriptWriter->OnLog) ScriptWriter->OnLog(this, text);
}

void TCustomObjs::Error(const std::string& text) {
  if (TExtractorHost* host = GetExtractor()) host->DoErrorMessage(text);
}

// ------------------------------------------------------ TCustomDBStructure

TCustomDBStructure::TCustomDBStructure() = default;

TCustomDBStructure::~TCustomDBStructure() { objs_.reset(); }

void TCustomDBStructure::SetObjs(std::unique_ptr<TCustomObjs> objs) {
  objs_ = std::move(objs);
  if (objs_) objs_->Structure = this;
}

void TCustomDBStructure::Clear() {
  if (objs_) objs_->Clear();
  NamePrefix.clear();
}

void TCustomDBStructure::SetServerType(TDatabaseType value) {
  if (objs_) objs_->SetServerType(value);
}

void TCustomDBStructure::SetExtractor(TExtractorHost* extractor) {
  extractor_ = extractor;
  extractorComponent_ = extractor ? extractor->EventSender() : nullptr;
}

void TCustomDBStructure::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove || !component || component != extractorComponent_) return;
  // The accept callback calls into the extractor as well.
  extractor_ = nullptr;
  extractorComponent_ = nullptr;
  if (objs_) objs_->AcceptCallback = nullptr;
}

}  // namespace qor
