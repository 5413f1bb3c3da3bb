// The "WIN.INI" entries of the plotter drivers. The raster driver's section is shared
// by every printer that uses it and is written anew by each raster installation.
#include "install/profile_entries.h"

#include <cstdio>
#include <cstring>

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "install/install_checks.h"
#include "platform/toolkit.h"
#include "selection/bounded_text.h"
#include "session/fatal_stop.h"

const char *const ClearedPorts[ClearedPortCount] = {"LPT1", "LPT2", "LPT3", "COM1", "COM2",
                                                    "COM3", "COM4", "FILE", "LPT1.DOS", "LPT2.DOS"};

namespace {

constexpr const char *ProfileFile = "WIN.INI";
constexpr int SectionFieldSize = 256;
constexpr int RemoveMode = 0;
constexpr int CreateMode = 1024;

// The section of this printer on `port`. A name that does not fit ends the run as a
// failed profile call would: a shortened one would name some other printer's section.
void PrinterSection(char (&section)[SectionFieldSize], const char *port) {
    if (!FormatIntoField(section, sizeof section, "%s,%s", g_state.g_printerName, port)) FatalStop(StopError);
}

void RemoveSection(const char *section) {
    if (!FRemoveIniSection(ProfileFile, section, RemoveMode)) FatalStop(StopError);
}

void CreateKey(const char *section, const char *key, const char *value) {
    if (!FCreateIniKeyValue(ProfileFile, section, key, value, CreateMode)) FatalStop(StopError);
}

// From here on the port is kept without its colon; the printer itself was added with it.
void StripPortColon() {
    const std::size_t length = std::strlen(g_state.g_portName);
    if (length > 0 && g_state.g_portName[length - 1] == ':') g_state.g_portName[length - 1] = '\0';
}

void WriteRasterEntries(const PlotterModel &model, const char *driverBase) {
    char section[SectionFieldSize];
    for (const char *port : ClearedPorts) {
        PrinterSection(section, port);
        RemoveSection(section);
    }
    RemoveSection(driverBase);
    CreateKey(driverBase, "installDir", g_state.g_systemDir);
    CreateKey(driverBase, "tmpdir", g_state.g_spoolDir);
    CreateKey(driverBase, "gs_int", "1");
    StripPortColon();
    PrinterSection(section, g_state.g_portName);
    CreateKey(section, "source", RasterSourceValue(model.flags));
}

void WriteVectorEntries(const PlotterModel &model) {
    char section[SectionFieldSize];
    PrinterSection(section, g_state.g_portName);
    char number[8];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(model.modelNumber));
    CreateKey(section, "model", number);
}

}  // namespace

const char *RasterSourceValue(unsigned flags) { return (flags & ModelSourceOne) ? "1" : "2"; }

void WriteProfileEntries(const char *driverBase) {
    if (g_state.g_driverKind == DriverRaster) {
        WriteRasterEntries(SelectedModel(), driverBase);
    } else if (g_state.g_driverKind == DriverVector) {
        WriteVectorEntries(SelectedModel());
    }
}
