// A small fixture for the DDL text tests of columns, tables, indices,
// constraints and generators: one collection whose dialect and InterBase
// options each case sets afresh, and builders for the objects the cases
// need (held by the collection, or scratch ones owned by the fixture).
#pragma once

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Udf.h"
#include "model/qorDBStructure.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace qor::test {

using DB = TDatabaseType;
using IBV = TIBSQLServerVersionType;

class DDLTest : public ::testing::Test {
 public:
  TObjs& Objs() { return *structure.GetObjs(); }
  TIBServerOptions& IB() { return Objs().IBServerOptions; }

  // A fresh collection state for one case: no objects, the dialect, and the
  // InterBase options at their start values.
  void Server(DB st, IBV version = IBV::st_Firebird_30, int dialect = 3) {
    scratch.clear();
    Objs().Clear();
    Objs().SetServerType(st);
    IB().Clear();
    IB().SQLServerVersion = version;
    IB().SQLDialect = static_cast<TIBSQLDialectType>(dialect);
    IB().IBCompareOptions.FldCharsetCompare = false;
    IB().IBDatabaseOptions.ODSMajorVersion = 0;
  }

  // Objects held by the collection, under their key.
  template <class T>
  T* Held(const std::string& name, const std::string& parent = {}) {
    auto obj = std::make_unique<T>(&Objs());
    obj->SetName(name);
    obj->SetParentName(parent);
    T* raw = Objs().AddObject(obj, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }
  // Objects the collection does not hold.
  template <class T>
  T* Scratch(const std::string& name, const std::string& parent = {}) {
    auto obj = std::make_unique<T>(&Objs());
    obj->SetName(name);
    obj->SetParentName(parent);
    T* raw = obj.get();
    scratch.push_back(std::move(obj));
    return raw;
  }
  TFldData* Column(TFieldList& list, TDbObj* holder, const std::string& name,
                   std::uint8_t type = dt::INTEGER) {
    auto f = std::make_unique<TFldData>(&Objs(), holder);
    f->SetName(name);
    f->DataType = type;
    TFldData* raw = f.get();
    list.Add(name, std::move(f));
    return raw;
  }
  TFldData* Column(TTblData* t, const std::string& name, std::uint8_t type = dt::INTEGER) {
    return Column(t->Fields, t, name, type);
  }
  TDmnData* Domain(const std::string& name, std::uint8_t type, const std::string& def = {}) {
    TDmnData* d = Held<TDmnData>(name);
    d->TypeHolder->DataType = type;
    d->TypeHolder->DefaultValue = def;
    return d;
  }

  TDBStructure structure;
  std::vector<std::unique_ptr<TDbObj>> scratch;
};

}  // namespace qor::test
