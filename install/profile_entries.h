// The drivers' settings in "WIN.INI": the raster driver's section and the printer's
// section per port.
#pragma once

// Writes the profile entries for the driver kind of this installation; `driverBase` is
// the driver file's base name, which also names the raster driver's section.
void WriteProfileEntries(const char *driverBase);

// The raster driver's "source" value for a model with these flags: "1" with
// ModelSourceOne, else "2".
const char *RasterSourceValue(unsigned flags);

// The ports whose printer sections a raster installation clears first.
constexpr int ClearedPortCount = 10;
extern const char *const ClearedPorts[ClearedPortCount];
