// Start-up and shut-down of the connection engine. The program's main and
// every test main that uses the engine call them; nothing registers itself.
#pragma once

namespace qor {

// Creates the binding registry and registers the bindings ("IBX", "ADO").
void InitializeEngine();
// Frees the registry with its bindings and stops the client library; for
// the end of the program.
void FinalizeEngine();

}  // namespace qor
