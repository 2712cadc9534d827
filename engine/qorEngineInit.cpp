#include "engine/qorEngineInit.h"

#include "engine/qorConnection_ADODB.h"
#include "engine/qorConnection_IBXDB.h"
#include "engine/qorDBEngine.h"
#include "platform/ibx/qorIBX.h"

namespace qor {

void InitializeEngine() {
  InitConnectionRegistry();
  RegisterIBXConnection();
  RegisterADOConnection();
}

void FinalizeEngine() {
  DoneConnectionRegistry();
  IBClientShutdown();
}

}  // namespace qor
