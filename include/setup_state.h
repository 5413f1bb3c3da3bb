// The setup's process-wide state: the directories it works with, the user's choices
// and the guards of the teardown. One instance lives for the whole process.
#pragma once

#include "platform/wintypes.h"

struct SetupState {
    int g_frameState;        // result of the frame initialisation, above 0 once up
    char g_startDir[256];    // current directory at start, ANSI, ending in a backslash
    char g_sourceDir[256];   // value of "STF_SRCDIR"
    char g_systemDir[256];   // the Windows system directory
    char g_infDir[256];      // the Windows directory followed by "\inf\"
    char g_spoolDir[300];    // spool directory shown and edited by the plotter dialog
    char g_portName[24];     // port of the new printer
    char g_printerName[256]; // printer name, which is also the driver name
    int g_setDefault;        // 1 makes the new printer the default
    int g_modelIndex;        // catalogue slot of the chosen model
    int g_modelListPos;      // position of that model among the listed models
    int g_driverKind;        // DriverVector, DriverRaster or DriverModel
    int g_installDriver;     // 1 copies the driver files and registers the driver again
    int g_fatalShown;        // guard of the fatal stop
    HMODULE g_hAdvapi;       // the run-time loaded registry library
    int g_sharedDirPending;  // the shared application directory is still to be set up
    int g_sharedFileOutdated; // the file of the latest shared-file lookup needs installing
};

extern SetupState g_state;

// Puts every field back to its initial value. The program starts that way; tests use
// it between runs.
void ResetSetupState();
