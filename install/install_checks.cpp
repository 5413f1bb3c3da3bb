// The checked access to the selected catalogue record.
#include "install/install_checks.h"

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "session/fatal_stop.h"

const PlotterModel &SelectedModel() {
    if (!IsCatalogSlot(g_state.g_modelIndex)) FatalStop(StopError);
    return PlotterCatalog[g_state.g_modelIndex];
}
