// The one way the tests build schema models: objects added to a collection
// (which then owns them), objects made for a collection but kept by the
// test, and columns or parameters in their holder's list.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "model/qorClasses.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Rol.h"
#include "platform/qorStrings.h"

namespace qor::test {

class TModelBuilder {
 public:
  explicit TModelBuilder(TCustomObjs& objs) : objs_(objs) {}

  TCustomObjs& Objs() const { return objs_; }

  // A new `T` named `name` in `schema`, not yet handed to the collection.
  template <class T, class... Args>
  std::unique_ptr<T> New(const std::string& name, const std::string& schema = {}, Args&&... args) {
    std::unique_ptr<T> obj;
    if constexpr (sizeof...(Args) == 0 && !std::is_constructible_v<T, TCustomObjs*>)
      obj = std::make_unique<T>(&objs_, nullptr);
    else obj = std::make_unique<T>(&objs_, std::forward<Args>(args)...);
    obj->SetName(name);
    if (!schema.empty()) obj->SetParentName(schema);
    return obj;
  }

  // A new `T` handed to the collection, which owns it; a refusal fails the
  // test.
  template <class T, class... Args>
  T* Add(const std::string& name, const std::string& schema = {}, Args&&... args) {
    auto obj = New<T>(name, schema, std::forward<Args>(args)...);
    T* raw = objs_.AddObject(obj, /*freeOnFail=*/true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }

  // The same with its description.
  template <class T>
  T* AddDescribed(const std::string& name, const std::string& schema,
                  const std::string& description) {
    T* raw = Add<T>(name, schema);
    if (raw) raw->SetDescription(description);
    return raw;
  }

  // A constraint of `type` (ct::) on `table`'s `columns`, handed to the
  // collection.
  TCtrData* Constraint(const std::string& name, const std::string& schema, const std::string& table,
                       std::uint8_t type, const std::vector<std::string>& columns) {
    auto c = New<TCtrData>(name, schema);
    c->SetTableName(table);
    c->SetConstraintType(type);
    for (const std::string& col : columns) c->Columns.Add(col, nullptr);
    TCtrData* raw = objs_.AddObject(c, /*freeOnFail=*/true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }

  // A new `T` that the test keeps: the collection only gives it its server
  // type and options.
  template <class T>
  T* Make(const std::string& name, const std::string& schema = {}) {
    kept_.push_back(New<T>(name, schema));
    return static_cast<T*>(kept_.back().get());
  }

  // A column `name` of the table or view `holder`.
  template <class Holder>
  TFldData* Column(Holder* holder, const std::string& name, std::uint8_t type = dt::Unknown,
                   int length = 0) {
    return Field(holder->Fields, holder, name, type, length);
  }

  // A column or parameter `name` in `holder`'s `list`; an empty name is
  // keyed by its position.
  TFldData* Field(TFieldList& list, TDbObj* holder, const std::string& name,
                  std::uint8_t type = dt::Unknown, int length = 0) {
    auto f = std::make_unique<TFldData>(&objs_, holder);
    f->SetName(name);
    f->DataType = type;
    f->Length = length;
    TFldData* raw = f.get();
    list.Add(name.empty() ? IntToStr(list.Count() + 1) : name, std::move(f));
    return raw;
  }

  // What a grant says, for NewGrant.
  struct TGrantSpec {
    std::string grantee;
    TDbObject granteeKind = TDbObject::dboUser;
    std::string object;
    TDbObject objectKind = TDbObject::dboTable;
    TPrivileges privileges;
    int option = 0;
    std::vector<std::string> columns = {};
    std::string statement = {};
    TDDLKind ddlKind = TDDLKind::None;
    std::string grantor = {};
  };

  // A grant, not yet handed to the collection (AddGrant merges it).
  std::unique_ptr<TGntData> NewGrant(TGrantSpec s) {
    auto g = std::make_unique<TGntData>(&objs_);
    FillGrant(*g, std::move(s));
    return g;
  }

  // A grant handed to the collection, which merges it with the grants of
  // the same grantee and object.
  void Grant(TGrantSpec s) {
    std::unique_ptr<TGntData> g = NewGrant(std::move(s));
    objs_.AddGrant(g);
  }

  static void FillGrant(TGntData& g, TGrantSpec s) {
    g.Grantee = std::move(s.grantee);
    g.GranteeKind = s.granteeKind;
    g.ObjectName = std::move(s.object);
    g.ObjectKind = s.objectKind;
    g.Privileges = s.privileges;
    g.GrantOption = s.option;
    g.Columns = std::move(s.columns);
    g.StatementText = std::move(s.statement);
    g.DDLKind = s.ddlKind;
    g.Grantor = std::move(s.grantor);
  }

 private:
  TCustomObjs& objs_;
  std::vector<std::unique_ptr<TDbObj>> kept_;
};

}  // namespace qor::test
