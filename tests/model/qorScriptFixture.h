// A small shop database holding one or two objects of every kind that the
// whole script writes, with descriptions, built the same way for each
// dialect: the golden scripts are this collection written in the eight
// dialects.
#pragma once

#include "model/qorComp_Clt.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Evt.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorModelBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qor::test {

class TShopFixture {
 public:
  explicit TShopFixture(TObjs& objs) : objs_(objs) {}

  // Clears the collection and fills it for `st`. The dialects with schemas
  // find every object in "APP".
  void Build(TDatabaseType st) {
    objs_.Clear();
    objs_.SetServerType(st);
    objs_.ConnectionOptions.DatabaseName = "SHOP";
    // A version that stores descriptions.
    objs_.MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2017;

    auto* app = Add<TSchData>("APP", "");
    app->Authorization = "SHOP_OWNER";

    auto* udf = Add<TUdfData>("UDF_ABS");
    // Arguments have no names; the list keys them by position.
    auto arg = std::make_unique<TFldData>(&objs_, udf);
    arg->DataType = dt::DOUBLE_PRECISION;
    udf->Args.Add("1", std::move(arg));
    udf->ResultField->DataType = dt::DOUBLE_PRECISION;
    udf->ResultField->ByValue = true;
    udf->EntryPoint = "IB_UDF_abs";
    udf->ModuleName = "ib_udf";
    udf->SetDescription("Absolute value");

    auto* coll = Add<TCltData>("UNICODE_CI");
    coll->CharacterSet = "UTF8";
    coll->FromCollation = "UNICODE";
    coll->CaseSensitive = false;

    auto* money = Add<TDmnData>("D_MONEY");
    money->TypeHolder->DataType = dt::NUMERIC;
    money->TypeHolder->Precision = 12;
    money->TypeHolder->Scale = 2;
    money->TypeHolder->DefaultValue = "0";
    money->TypeHolder->Nullable = false;
    money->TypeHolder->CheckText = "(VALUE >= 0)";
    money->SetDescription("An amount of money");

    customers_ = Add<TTblData>("CUSTOMERS");
    customers_->QuotedIdentifier = customers_->AnsiNulls = true;
    customers_->OwnerQualifier = "shop_owner";
    Field(customers_, "ID", dt::INTEGER)->Nullable = false;
    Field(customers_, "NAME", dt::VARCHAR, 40)->SetDescription("Shown on invoices");
    Field(customers_, "CREATED", dt::TIMESTAMP);
    customers_->SetDescription("Who buys");

    orders_ = Add<TTblData>("ORDERS");
    orders_->QuotedIdentifier = orders_->AnsiNulls = true;
    Field(orders_, "ID", dt::INTEGER)->Nullable = false;
    Field(orders_, "CUSTOMER_ID", dt::INTEGER);
    TFldData* amount = Field(orders_, "AMOUNT", dt::NUMERIC);
    amount->Precision = 12;
    amount->Scale = 2;
    Field(orders_, "NOTE", dt::VARCHAR, 200);

    auto* ix = Add<TIdxData>("IX_ORDERS_CUSTOMER");
    ix->TableName = "ORDERS";
    ix->Columns.Add("CUSTOMER_ID", nullptr);
    ix->SetDescription("Orders by customer");

    auto* pkg = Add<TPkgData>("PKG_UTIL");
    pkg->HeaderText = "BEGIN\r\n  FUNCTION ANSWER RETURNS INTEGER;\r\nEND";
    pkg->SetText("BEGIN\r\n  FUNCTION ANSWER RETURNS INTEGER AS BEGIN RETURN 42; END\r\nEND");

    Key("PK_CUSTOMERS", "CUSTOMERS", ct::PrimaryKey, {"ID"});
    Key("PK_ORDERS", "ORDERS", ct::PrimaryKey, {"ID"});
    Key("UQ_CUSTOMERS_NAME", "CUSTOMERS", ct::Unique, {"NAME"});
    TCtrData* fk = Key("FK_ORDERS_CUSTOMER", "ORDERS", ct::ForeignKey, {"CUSTOMER_ID"});
    fk->SetRefTableName("CUSTOMERS");
    fk->RefColumns.Add("ID", nullptr);
    fk->DeleteRule = 2;  // cascade
    Key("CHK_ORDERS_AMOUNT", "ORDERS", ct::Check, {})->SetText("(AMOUNT >= 0)");
    Key("DF_ORDERS_AMOUNT", "ORDERS", ct::Default, {"AMOUNT"})->SetText("0");

    Add<TExcData>("E_NO_CUSTOMER")->Message = "No such customer";
    Add<TGnrData>("G_ORDERS");

    auto* view = Add<TViwData>("V_BIG_ORDERS");
    Field(view->Columns, view, "ORDER_ID", dt::INTEGER);
    Field(view->Columns, view, "AMOUNT", dt::NUMERIC);
    view->SetText("SELECT ID, AMOUNT FROM ORDERS WHERE AMOUNT > 100");
    view->SetDescription("Orders worth a look");

    auto* count = Add<TPrcData>("P_ORDER_COUNT");
    Field(count->InParams, count, "CUST", dt::INTEGER)->SetDescription("The customer");
    Field(count->OutParams, count, "N", dt::INTEGER);
    count->SetText(
        "BEGIN\r\n  SELECT COUNT(*) FROM ORDERS WHERE CUSTOMER_ID = :CUST INTO :N;\r\n"
        "  SUSPEND;\r\nEND");
    count->SetDescription("How many orders");

    auto* twice = Add<TPrcData>("F_TWICE");
    twice->IsFunction = true;
    Field(twice->InParams, twice, "X", dt::INTEGER);
    Field(twice->OutParams, twice, "", dt::INTEGER);
    twice->SetText("BEGIN\r\n  RETURN X * 2;\r\nEND");

    auto* trg = Add<TTrgData>("ORDERS_BI");
    trg->SetTableName("ORDERS");
    trg->TriggerType = 1;  // before insert
    trg->Timing = 1;
    trg->Events = 2;
    trg->ForEachRow = true;
    trg->SetText(
        "AS\r\nBEGIN\r\n  IF (NEW.ID IS NULL) THEN NEW.ID = NEXT VALUE FOR G_ORDERS;\r\nEND");

    auto* ev = Add<TEvtData>("EV_NIGHTLY");
    auto sdl = std::make_unique<TEvtSdlData>(ev);
    sdl->StartTime = "02:00";
    sdl->EveryHours = 24;
    ev->Schedules.push_back(std::move(sdl));
    ev->Enabled = true;
    ev->SetText("BEGIN\r\n  DELETE FROM ORDERS WHERE AMOUNT = 0;\r\nEND");

    Add<TRolData>("R_CLERK")->RoleOwner = "SYSDBA";

    Grant("R_CLERK", TDbObject::dboRole, "ORDERS", TDbObject::dboTable,
          {TPrivilege::prSelect, TPrivilege::prInsert});
    Grant("R_CLERK", TDbObject::dboRole, "P_ORDER_COUNT", TDbObject::dboProcedure,
          {TPrivilege::prExecute});
    Grant("CLERK1", TDbObject::dboUser, "R_CLERK", TDbObject::dboRole, {});
    objs_.RekeyGrants();
  }

  TTblData* Customers() const { return customers_; }
  TTblData* Orders() const { return orders_; }

 private:
  template <class T>
  T* Add(const std::string& name, const std::string& schema = "APP") {
    return TModelBuilder(objs_).Add<T>(name, schema);
  }

  TFldData* Field(TFieldList& list, TDbObj* holder, const std::string& name, std::uint8_t type,
                  int length = 0) {
    return TModelBuilder(objs_).Field(list, holder, name, type, length);
  }
  TFldData* Field(TTblData* t, const std::string& name, std::uint8_t type, int length = 0) {
    return Field(t->Fields, t, name, type, length);
  }

  TCtrData* Key(const std::string& name, const std::string& table, std::uint8_t type,
                const std::vector<std::string>& columns) {
    auto c = std::make_unique<TCtrData>(&objs_);
    c->SetName(name);
    c->SetParentName("APP");
    c->SetTableName(table);
    c->SetConstraintType(type);
    for (const std::string& col : columns) c->Columns.Add(col, nullptr);
    TCtrData* raw = objs_.AddObject(c, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }

  void Grant(const std::string& grantee, TDbObject granteeKind, const std::string& object,
             TDbObject objectKind, TPrivileges privileges) {
    auto g = TModelBuilder(objs_).NewGrant({grantee, granteeKind, object, objectKind, privileges});
    objs_.AddGrant(g);
  }

  TObjs& objs_;
  TTblData* customers_ = nullptr;
  TTblData* orders_ = nullptr;
};

}  // namespace qor::test
