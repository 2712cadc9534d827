#include "engine/qorConnection_ADODB.h"

#include "engine/qorDB_ADO.h"

namespace qor {

TConnectionADO::TConnectionADO()
    : TQORAbstractConnection(TDatabaseType::dbMSSQL, TconnectionType::cnADO,
                             TDatabaseSetType{TDatabaseType::dbSybaseASA, TDatabaseType::dbOracle,
                                              TDatabaseType::dbMSSQL, TDatabaseType::dbPostgreSQL,
                                              TDatabaseType::dbDB2, TDatabaseType::dbSybaseASE,
                                              TDatabaseType::dbCustomOLEDB}) {}

std::unique_ptr<TQORDatabase> TConnectionADO::CreateDatabaseObject() {
  return std::make_unique<TQORADODatabase>();
}

std::unique_ptr<TQORQuery> TConnectionADO::CreateQuery() {
  auto q = std::make_unique<TQORADOQuery>(DatabaseType() == TDatabaseType::dbSybaseASE
                                              ? TCursorLocation::clUseServer
                                              : TCursorLocation::clUseClient);
  q->SetConnection(OwningConnection());
  return q;
}

void RegisterADOConnection() { RegisterConnection("ADO", std::make_unique<TConnectionADO>()); }

}  // namespace qor
