// What the installation steps share: the selected catalogue record, read only through
// a slot that is checked first.
#pragma once

#include "selection/plotter_catalog.h"

// The model of g_modelIndex. A slot outside the catalogue ends the run with StopError.
const PlotterModel &SelectedModel();
