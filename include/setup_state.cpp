// The one instance of the setup's state and its initial values.
#include "include/setup_state.h"

#include <cstring>

namespace {
SetupState InitialSetupState() {
    SetupState s{};
    std::strcpy(s.g_spoolDir, "c:\\windows\\spool\\printers");
    std::strcpy(s.g_portName, "LPT1:");
    s.g_setDefault = 1;
    s.g_sharedDirPending = 1;
    return s;
}
}  // namespace

SetupState g_state = InitialSetupState();

void ResetSetupState() { g_state = InitialSetupState(); }
