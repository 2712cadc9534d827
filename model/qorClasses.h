// The schema object base, its dependency edges, the object collection and
// the structure component.
//
// TDbObj is the base of every schema object kind; each kind overrides the
// text operations. TDependObj is one dependency edge; every reference is
// recorded twice, as an edge in the user's DependsOn and one in the used
// object's UsedBy, and the two halves are only ever made and removed
// together. TCustomObjs holds one database's objects in one sorted,
// name-keyed list per kind and owns them. TCustomDBStructure owns one
// collection and knows the extractor that fills it.
#pragma once

#include "base/qorDBOptions.h"
#include "base/qorTypes.h"
#include "model/qorScriptWriter.h"
#include "model/qorWalk.h"
#include "platform/qorNameList.h"
#include "platform/qorObject.h"
#include "platform/qorRareString.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qor {

class TCustomObjs;
class TCustomDBStructure;
class TDependObj;
class TExtractorHost;
class TScriptWriter;

class TSchData;
class TDmnData;
class TUdfData;
class TTrgData;
class TPrcData;
class TTblData;
class TExcData;
class TGnrData;
class TIdxData;
class TViwData;
class TRolData;
class TGntData;
class TCtrData;
class TRulData;
class TDefData;
class TPkgData;
class TPblData;
class TOprData;
class TOpcData;
class TEvtData;
class TCltData;
class TFldData;

using TDependList = TOwnedNameList<TDependObj>;

// Where a statement names an object's kind with a word of its own.
enum class TKindWordUse : std::uint8_t {
  kwFileName,            // the per-object file name: "procedure", "view" ...
  kwIBDescribe,          // InterBase DESCRIBE <word>
  kwIBComment,           // Firebird COMMENT ON <word>
  kwIBAlterDescription,  // InterBase 2020 ALTER DESCRIPTION FOR <word>
  kwIBSysTable,          // the catalog table whose RDB$DESCRIPTION is set
  kwIBSysKey,            // the name column of that table
  kwASAComment,          // ASA COMMENT ON <word>
  kwOracleComment,       // Oracle COMMENT ON <word>
  kwMSSQLLevel1,         // MS SQL @level1type of an extended property
  kwPGComment,           // PostgreSQL COMMENT ON <word>
  kwPGOwner,             // PostgreSQL ALTER <word> ... OWNER TO
};
inline constexpr std::size_t kKindWordUseCount = 11;

// Text written between "/*" and "*/": a "*/" inside it would end the comment
// early and let the rest run as SQL, so it is broken up.
std::string BlockCommentText(std::string_view text);

class TDbObj : public TObject {
 public:
  explicit TDbObj(TCustomObjs* owner);
  ~TDbObj() override;
  const char* ClassName() const override { return "TDbObj"; }

  // ---- Virtual operations ----
  // The object-type code of the class (ObjType may say more: a
  // constraint's own type, for instance).
  virtual TDbObject GetKind() const { return TDbObject::dboUnknown; }
  // The name and kind the extractor's object filter judges the object by:
  // a part of a table goes by its table. dboUnknown: never filtered alone.
  virtual std::string FilterName() const { return name_; }
  virtual TDbObject FilterKind() const { return GetKind(); }
  // The word that names the object's kind for `use`; null when the kind has
  // none there. The class's words come from one table keyed by GetKind(); a
  // kind overrides this for the words that depend on the instance (a
  // routine that is a function).
  virtual const char* KindWord(TKindWordUse use) const;
  // What follows the qualified name where the kind needs it to tell
  // objects apart (a routine's parameter types, an operator's arguments).
  virtual std::string GetSignatureText() { return {}; }
  virtual bool GetSelected();
  // Also sets the counterpart's flag.
  virtual void SetSelected(bool value);
  // The name for messages and logs.
  virtual std::string GetDisplayName();
  virtual std::int32_t GetId();
  // The key under which the collection stores the object. Never quoted.
  virtual std::string GetKeyName();
  virtual std::string GetCreateSQL();
  // GetCreateSQL; a PostgreSQL view's text on one line.
  virtual std::string GetCreateSQLNormalized();
  // The dependency-ordered writer (see TScriptWriter). Each runs the walk
  // step of the same name to its end (qorWalk.h): a kind overrides the
  // steps, which the walk itself calls.
  virtual void WriteCreate();
  virtual void WriteDrop();
  virtual void DoBeforeDrop();
  virtual void Deselect();
  virtual void DoBeforeCreate();
  virtual void Select();
  virtual TWalk WriteCreateWalk();
  virtual TWalk WriteDropWalk();
  virtual TWalk DoBeforeDropWalk();
  virtual TWalk DoBeforeCreateWalk();
  // Empty when suppressed, else GetCreateSQL.
  virtual std::string GetScriptSQL();
  virtual std::string GetDropSQL();
  virtual std::string GetAlterSQL();
  // SourceSQL when stored, else GetCreateSQL.
  virtual std::string GetSourceSQL();
  // `text` as a comment of the dialect.
  virtual std::string MakeComment(std::string_view text);
  // `name` quoted as the dialect requires.
  virtual std::string QuoteName(std::string_view name);
  // The statement that stores Description; empty when none applies.
  virtual std::string GetDescriptionSQL();

  // The objects this one owns that can carry edges of their own (columns,
  // parameters, type holders), direct children only.
  virtual void GetSubObjects(std::vector<TDbObj*>& out);
  // Clears every non-owning link of this object to `gone`, which is about
  // to be freed.
  virtual void ClearLinksTo(const TDbObj* gone);

  // ---- What the walk asks of a kind ----
  // The object holding this one as its column or parameter; null for an
  // object that stands alone.
  virtual TDbObj* HolderObj() const { return nullptr; }
  // The table a statement about the object names; empty but for columns.
  virtual std::string HolderTableName() const { return {}; }
  // A dropped object's own columns go unselected with it.
  virtual void DeselectColumns() {}
  // The statement kind handed to the script writer.
  virtual int StatementKind() const { return kStmtObject; }
  // The CREATE text with a stub body, for the kinds that have one; empty
  // for the others.
  virtual std::string GetStubSQL() { return {}; }
  // Whether `user` may be created against this object's stub body, its own
  // body following later.
  virtual bool ServesUserWithStub(const TDbObj& /*user*/) { return false; }
  // Written with the stub body: the own body is still owed.
  virtual bool BodyOwed() const { return false; }
  virtual void SetBodyEmptied(bool /*value*/) {}
  // The parts whose descriptions go with the object's own statement.
  virtual void GetDescribedParams(std::vector<TDbObj*>& /*out*/) {}

  // ---- Names ----
  const std::string& GetName() const { return name_; }
  // Upper-cased for MS SQL unless its identifiers are case-sensitive.
  void SetName(std::string_view value);
  const std::string& GetParentName() const { return parentName_.str(); }
  void SetParentName(std::string_view value);
  // The quoted, qualified name.
  std::string GetQualifiedName();
  std::string GetNamePrefix() const;
  // Name without the structure's name prefix.
  std::string StripNamePrefix() const;
  // StripNamePrefix under the linked collection's prefix.
  std::string GetTargetName() const;
  // For MS SQL constraints: moves a server-generated name to SystemName.
  virtual bool CheckSystemConstraintName() { return false; }

  // ---- Texts ----
  const std::string& GetDescription() const { return texts_ ? texts_->description : NoText(); }
  // Line breaks made CR LF, then trimmed of codes below 33.
  void SetDescription(std::string_view value);
  // The text exactly as a catalog holds it: its line breaks and its
  // leading and trailing ones are part of what the replay must store.
  void SetDescriptionAsStored(std::string_view value);
  const std::string& GetText() const { return texts_ ? texts_->text : NoText(); }
  void SetText(std::string_view value);
  // The body as a catalog holds it, untouched.
  void SetTextAsStored(std::string_view value);

  TDbObject GetObjType() const { return ObjType; }
  void SetObjType(TDbObject value) { ObjType = value; }

  // ---- What the owner decides ----
  TCustomObjs* Owner() const { return owner_; }
  TDatabaseType GetServerType() const;
  // The owner's InterBase options (or the linked collection's); none
  // without an owner.
  TIBServerOptions* GetServerOptions() const;
  TCmpObjSetType GetObjFilter() const;
  TScriptWriter* GetScriptWriter() const;
  TUpdateDescriptionType GetUpdateDescriptionMode() const;

  // ---- Edges ----
  const TDependList& UsedBy() const { return edges_ ? edges_->usedBy : NoEdges(); }
  const TDependList& DependsOn() const { return edges_ ? edges_->dependsOn : NoEdges(); }
  // An active edge to another object that is not selected.
  bool HasDeselectedDependency();

  // ---- Data ----
  TDbObj* Counterpart = nullptr;  // same kind in another collection; not owned
  // The text members below are empty in most objects: TRareString keeps
  // them out of line until set.
  TRareString SourceSQL;
  TRareString SourceCopy;  // written together with SourceSQL
  std::int32_t Id = -1;
  TDbObject ObjType = TDbObject::dboUnknown;
  // Scratch of the script writer's ordering walk, zero outside it: kept in
  // the object (beside its type, in padding), the walk needs no table.
  std::uint8_t OrderMark = 0;
  TRareString SystemName;
  std::int32_t ObjectId = 0;
  // Where the source catalog created this object among its kind (1, 2,
  // ...; 0 unknown). The lists stay sorted by name; the script writes the
  // kinds whose engine numbers them in creation order (views, unnamed
  // checks) in this order, so a replay numbers and lists them alike.
  std::int32_t CatalogOrder = 0;
  TRareString ObjectSource;
  TRareString OwnerQualifier;
  bool QuotedIdentifier = false;
  bool AnsiNulls = false;
  bool Suppressed = false;

 protected:
  // The collection that stored this object, if any.
  TCustomObjs* HeldBy() const { return heldBy_; }
  // Drops the present users of this object first. With `activeOnly` the
  // edges a kind's own walk has served (made inactive) are passed over.
  TWalk DropPresentUsers(bool activeOnly);
  // The "/* Drop: ... */" line that starts the base drop text.
  std::string DropComment();
  // The description statement of each dialect, for the kinds that name
  // nothing but themselves. A kind whose statement names its holder too (a
  // column its table or routine, a trigger or an index its table)
  // overrides the dialect's form, or the piece of it below.
  virtual std::string InterBaseDescriptionSQL();
  std::string MSSQLDescriptionSQL();
  std::string PGDescriptionSQL();
  virtual std::string ASADescriptionSQL();
  virtual std::string OracleDescriptionSQL();
  virtual std::string MySQLDescriptionSQL();
  // One level of an MS SQL extended property.
  struct TPropertyLevel {
    std::string Type, Name;
    bool Set = false;
    void Assign(std::string type, std::string name) {
      Type = std::move(type);
      Name = std::move(name);
      Set = true;
    }
  };
  // The levels of the extended property that holds the description; level
  // 0 left unset when the kind has none.
  virtual void MSSQLPropertyLevels(TPropertyLevel (&levels)[3]);
  // The word and the target of PostgreSQL's COMMENT ON; false when the kind
  // has none.
  virtual bool PGCommentTarget(std::string& word, std::string& target);
  // `schema` quoted with a dot after it; nothing for no schema.
  std::string SchemaPrefix(const std::string& schema);

  bool selected_ = true;

 private:
  friend class TCustomObjs;
  // Removes and frees the edges of this object's two lists whose target is
  // `target`, together with their halves in `target`'s lists.
  void RemoveEdgesTo(const TDbObj* target);
  // Removes this object's half-edges to `target` from both its lists.
  void DropEdgesTo(const TDbObj* target);
  // Removes the half-edges of the objects at the other end of this one's
  // edges that lead back here: each such object's lists are read once,
  // however many edges lead to it.
  void DropHalvesElsewhere();
  // The edge lists of an object without edges (most columns, every edge).
  static const TDependList& NoEdges();
  static const std::string& NoText();
  // Made with the first edge: most objects never have one.
  TDependList& EdgesOf(bool usedBy);

  TCustomObjs* owner_;
  std::string name_;
  TRareString parentName_;
  // Description and Text, made when either is first set: columns, edges
  // and keys, by far the most objects, have neither.
  struct TTexts {
    std::string description;
    std::string text;
  };
  std::unique_ptr<TTexts> texts_;
  struct TEdges {
    TDependList usedBy;
    TDependList dependsOn;
  };
  std::unique_ptr<TEdges> edges_;
  bool walking_ = false;           // inside WriteCreate/WriteDrop of this object
  TCustomObjs* heldBy_ = nullptr;  // the collection that stored it
};

// One dependency edge: Name, ObjType and Target name the object at the
// other end; Owner is the collection.
class TDependObj : public TDbObj {
 public:
  explicit TDependObj(TCustomObjs* owner);
  const char* ClassName() const override { return "TDependObj"; }
  // Edges come by the hundred thousand: their blocks come from a pool.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size) noexcept;
  std::string GetDisplayName() override;

  TRareString FieldName;     // the column named, empty for the whole object
  TDbObj* Target = nullptr;  // not owned
  bool Active = true;        // cleared once the walk has served the edge
  bool Changed = false;
  std::int32_t Column = 0;  // position of the reference in the parsed text
  std::int32_t Line = 0;
};

class TCustomObjs : public TObject {
 public:
  TCustomObjs();
  ~TCustomObjs() override;
  const char* ClassName() const override { return "TCustomObjs"; }

  // ---- Virtual operations ----
  // Frees every object, empties the script lines, resets the database
  // options and the terminator.
  virtual void Clear();
  virtual void StoreSourceSQL();
  // Empty here; TObjs (model/qorScript.cpp) writes the script.
  virtual void GenerateScript();
  // ScriptLines emptied, GenerateScript, lines appended to `dest`, emptied.
  void GetScript(std::vector<std::string>& dest);

  // ---- Server type ----
  TDatabaseType GetServerType() const { return serverType_; }
  // Also sets the case rule of the per-kind lists.
  void SetServerType(TDatabaseType value);

  // ---- Adding ----
  // Offers `obj` to the accept test and stores it in its kind's list under
  // its key. On success the collection owns it and the result is true;
  // handing in an object the collection already holds is success. A
  // rejected object is freed when `freeOnFail`, else left to the caller.
  bool AddObject(TDbObj* obj, bool freeOnFail);
  // The same with ownership in a unique_ptr: taken on success, left with
  // the caller on failure when not `freeOnFail`.
  template <class T>
  T* AddObject(std::unique_ptr<T>& obj, bool freeOnFail) {
    T* raw = obj.get();
    if (!raw) return nullptr;
    const bool held = AddObject(static_cast<TDbObj*>(obj.release()), false);
    if (held) return raw;
    obj.reset(raw);
    if (freeOnFail) FreeRejected(std::move(obj));
    return nullptr;
  }
  // The extractor's name filter, then AcceptCallback.
  bool AcceptObj(TDbObj* obj);
  // Stores `grant`, or merges it into an equal one. Returns the stored grant
  // (ownership taken), or none when it was merged (left with the caller).
  TGntData* AddGrant(std::unique_ptr<TGntData>& grant);
  // Re-sorts the grants under their current keys.
  void RekeyGrants();

  // ---- Keys declared inside a table ----
  // The primary and unique keys and the indices that name table `table`
  // exactly, each in list order: what a MySQL table text declares inline.
  void InlineKeysOf(const std::string& table, std::vector<TCtrData*>& keys,
                    std::vector<TIdxData*>& indices);
  // While on, InlineKeysOf answers from one pass over the constraints and
  // indices made when it was turned on, instead of a scan of both per
  // table. For a script run, during which neither list nor any table name
  // of their objects changes.
  void SetInlineKeysIndexed(bool on);

  // The tables (dboTable), views (dboView), routines (dboProcedure),
  // generators (dboGenerator) or roles, logins and users (dboRole) whose
  // name is `name`, in list order, added to `out`. Answered from an index
  // of the list by name, made again whenever the list has changed.
  void ObjectsNamed(TDbObject kind, const std::string& name, std::vector<TDbObj*>& out) const;
  // The MS SQL default constraint of table column `column` (the first, if
  // several), or none. Answered from an index of the constraints by table
  // name, made again whenever the list has changed.
  TCtrData* DefaultConstraintOf(const TFldData& column) const;
  // A constraint held here became a default constraint: DefaultConstraintOf
  // makes its index again.
  void ConstraintTypeChanged();

  // ---- Dependencies ----
  // Records that `user` refers to `used` (optionally to its column).
  void AddDependency(TDbObj* user, TDbObj* used, int line, int column, std::string fieldName = {});
  void AddDependencyPair(TDbObj* user, TDbObj* used, int line, int column,
                         std::string fieldName = {});
  // Removes every edge to `obj` from every object of the collection and
  // their columns, parameters and type holders.
  void RemoveDependenciesOn(TDbObj* obj);
  // The same for one object's two lists.
  void RemoveDependencyEdges(TDbObj* obj, TDbObj* target);
  // Before `obj` is freed: every edge to it or to its sub-objects is
  // removed and every object of the collection forgets its links to them.
  void DetachObject(TDbObj* obj);
  // Detaches and frees the object of kind `kind` stored under `key`, if
  // the collection holds one (a later definition replaces it).
  void DropStored(TDbObject kind, const std::string& key);
  // The same for the table stored under `key`, with the constraints,
  // indices and triggers that name table `table`: they go with it.
  void DropTable(const std::string& key, const std::string& table);

  // ---- Linked collections and reports ----
  TCustomObjs* GetSourceObjs();
  TCustomObjs* GetTargetObjs();
  std::int32_t GetTargetODSVersion();
  std::string GetStructureNamePrefix() const;
  std::string GetServerVersionText() const;
  void Log(const std::string& text);
  void Error(const std::string& text);
  // The extractor linked to the owning structure, or none.
  TExtractorHost* GetExtractor() const;

  // ---- Data ----
  TCustomDBStructure* Structure = nullptr;  // not owned
  TCustomObjs* LinkedObjs = nullptr;        // not owned
  std::string Terminator = ";";
  TCmpObjSetType ObjFilter = TCmpObjSetType::All();
  TConnectionOptions ConnectionOptions;
  QOR_PER_SERVER_OPTIONS(QOR_OPTIONS_MEMBER, TIBServerOptions)
  std::uint8_t Role = 0;                  // 1 source, 2 target of a comparison
  TScriptWriter* ScriptWriter = nullptr;  // not owned
  TLogNextLineEvent OnLog;
  std::uint8_t QuoteStyle = 0;  // custom OLE DB: 2 '', 3 "", 4 []
  TAccept_ObjEvent AcceptCallback;
  bool UseLinkedServerType = false;

  // The per-kind lists, keyed by GetKeyName. Columns and parameters live in
  // their table, view or routine.
  TOwnedNameList<TSchData> Schemas;
  TOwnedNameList<TDmnData> Domains;
  TOwnedNameList<TUdfData> Udfs;
  TOwnedNameList<TTrgData> Triggers;
  TOwnedNameList<TPrcData> Procedures;
  TOwnedNameList<TTblData> Tables;
  TOwnedNameList<TExcData> Exceptions;
  TOwnedNameList<TGnrData> Generators;
  TOwnedNameList<TIdxData> Indices;
  TOwnedNameList<TViwData> Views;
  TOwnedNameList<TRolData> Roles;
  TOwnedNameList<TGntData> Grants;
  TOwnedNameList<TCtrData> Constraints;
  TOwnedNameList<TRulData> Rules;
  TOwnedNameList<TDefData> Defaults;
  TOwnedNameList<TPkgData> Packages;
  TOwnedNameList<TPblData> Publications;
  TOwnedNameList<TOprData> Operators;
  TOwnedNameList<TOpcData> OperatorClasses;
  TOwnedNameList<TEvtData> Events;
  TOwnedNameList<TCltData> Collations;

  std::vector<std::string> ScriptLines;

  // One row per kind that has a list: how to store, find and drop its
  // objects (qorClasses_Objs.cpp).
  struct TKindList;

  // Calls `fn` for every object of every list, in the lists' layout order.
  void ForEachObject(const std::function<void(TDbObj&)>& fn);

 protected:
  void FreeAllObjects();

 private:
  template <class T>
  void FreeRejected(std::unique_ptr<T> obj) {
    DetachObject(obj.get());
    obj.reset();
  }
  // The row of the per-kind list table for `kind`; none for a kind no list
  // takes (columns, edges).
  static const TKindList* ListOfKind(TDbObject kind);
  // Stores `obj` under `key`. `known` tells whether a list takes its class;
  // the result whether the list now holds it.
  bool StoreInList(TDbObj* obj, const std::string& key, bool& known);
  // Whether the list of `obj`'s class already holds this very object.
  bool HoldsObject(TDbObj* obj);
  // (Re)builds grantIndex_ from the grants list.
  void IndexGrants();

  // The grants by grantee and object, for AddGrant (qorClasses_Objs.cpp).
  struct TGrantIndex;
  std::unique_ptr<TGrantIndex> grantIndex_;
  // The keys and indices by table name while SetInlineKeysIndexed is on.
  struct TInlineKeyIndex;
  std::unique_ptr<TInlineKeyIndex> inlineKeyIndex_;
  // ObjectsNamed's indices, one per list; the last is DefaultConstraintOf's.
  struct TNameIndex;
  mutable std::unique_ptr<TNameIndex> nameIndex_[6];
  std::uint64_t constraintTypeChanges_ = 0;

  TDatabaseType serverType_ = TDatabaseType::dbAbstract;
};

// The component that holds one database's schema.
class TCustomDBStructure : public TComponent {
 public:
  TCustomDBStructure();
  ~TCustomDBStructure() override;
  const char* ClassName() const override { return "TCustomDBStructure"; }

  // Frees every object of the collection and empties NamePrefix.
  virtual void Clear();
  void SetServerType(TDatabaseType value);

  TCustomObjs* Objs() const { return objs_.get(); }

  // Set from the extractor's side when it is linked; cleared when that
  // extractor goes away.
  TExtractorHost* Extractor() const { return extractor_; }
  void SetExtractor(TExtractorHost* extractor);

  std::string NamePrefix;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  // The descendant decides the collection's class.
  void SetObjs(std::unique_ptr<TCustomObjs> objs);

 private:
  std::unique_ptr<TCustomObjs> objs_;
  TExtractorHost* extractor_ = nullptr;
  // Its component, compared on removal: by then the extractor is only a
  // TComponent and cannot be asked.
  TComponent* extractorComponent_ = nullptr;
};

}  // namespace qor
