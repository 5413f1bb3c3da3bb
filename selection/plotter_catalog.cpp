// The catalogue's contents: 51 plotter models and nine empty slots. Empty slots carry
// no flags, so the plotter dialog lists them as empty entries after the models.
#include "selection/plotter_catalog.h"

const PlotterModel PlotterCatalog[PlotterCatalogSlots] = {
    // name, modelNumber, vectorDriver, rasterDriver, dataName, flags,
    // rasterPrinterName, vectorPrinterName
    {"ORV Quillon 2110", 0, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Quillon 2115", 1, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Quillon 2116", 2, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Tintara Plus 7701XR", 3, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Tintara Plus 7711XR", 4, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Hueline 4412", 5, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Hueline 4413", 6, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Draftwell 1624", 7, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Draftwell 1636", 8, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Linecraft 81224", 9, "ORV412", "IRCOL_RS", "LC81224", ModelEitherDriver, "", "ORV Linecraft 81224 (412)"},
    {"ORV Linecraft 81236", 10, "ORV412", "IRCOL_RS", "LC81236", ModelEitherDriver, "", "ORV Linecraft 81236 (412)"},
    {"ORV Linecraft+ 81424", 11, "ORV412", "IRCOL_RS", "LC81424", ModelEitherDriver, "", "ORV Linecraft+ 81424 (412)"},
    {"ORV Linecraft+ 81436", 12, "ORV412", "IRCOL_RS", "LC81436", ModelEitherDriver, "", "ORV Linecraft+ 81436 (412)"},
    {"ORV Linecraft+ 82336", 13, "ORV412", "IRCOL_RS", "LC82336", ModelEitherDriver, "", "ORV Linecraft+ 82336 (412)"},
    {"ORV Linecraft+ 82436", 14, "ORV412", "IRCOL_RS", "LC82436", ModelEitherDriver, "", "ORV Linecraft+ 82436 (412)"},
    {"ORV Statora 3325", 15, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 3335", 16, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 33424", 17, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 33436", 18, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 33444", 19, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 3345", 20, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 3425", 21, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 3435", 22, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 34424", 23, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 34436", 24, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 34444", 25, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 3445", 26, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Statora 46436", 27, "ORV412", "IRCOL_RS", "STA46436", ModelEitherDriver, "", "ORV Statora 46436 (412)"},
    {"ORV Statora 47436", 28, "ORV412", "IRCOL_RS", "STA46436", ModelEitherDriver, "", ""},
    {"ORV Statora 47444", 29, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Tempora 6024", 30, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Tempora 6036", 31, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Elder 9036", 32, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Penrider 7302A", 33, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Penrider 7302G", 34, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Monad 4 64424", 35, "ORV412", "IRCOL_RS", "MON64424", ModelEitherDriver, "", "ORV Monad 4 64424 (412)"},
    {"ORV Monad 4 64436", 36, "ORV412", "IRCOL_RS", "MON64436", ModelEitherDriver, "", "ORV Monad 4 64436 (412)"},
    {"ORV InkRay Drafter 8424", 37, "ORV412", "IRCOL_RS", "IRAYM24", ModelEitherDriver, "", "ORV InkRay Drafter 8424 (412)"},
    {"ORV InkRay Drafter 8436", 38, "ORV412", "IRCOL_RS", "IRAYM36", ModelEitherDriver, "", "ORV InkRay Drafter 8436 (412)"},
    {"ORV InkRay 640 8424", 39, "ORV412", "IRCOL_RS", "IRAYM24", ModelEitherDriver, "", "ORV InkRay 640 8424 (412)"},
    {"ORV InkRay 640 8436", 40, "ORV412", "IRCOL_RS", "IRAYM36", ModelEitherDriver, "", "ORV InkRay 640 8436 (412)"},
    {"ORV InkRay Color 24", 41, "ORV412", "IRCOL_RS", "IRAYC24", ModelEitherDriver, "", "ORV InkRay Color 24 (412)"},
    {"ORV InkRay Color 36", 42, "ORV412", "IRCOL_RS", "IRAYC36", ModelEitherDriver, "", "ORV InkRay Color 36 (412)"},
    {"ORV InkRay Color XT 24", 43, "ORV412", "IRCOL_RS", "IRAYX24", ModelEitherDriver, "", "ORV InkRay Color XT 24 (412)"},
    {"ORV InkRay Color XT 36", 44, "ORV412", "IRCOL_RS", "IRAYX36", ModelEitherDriver, "", "ORV InkRay Color XT 36 (412)"},
    {"ORV InkRay Color XT/PS", 45, "ORV412", "IRCOL_RS", "IRAYXPS", ModelEitherDriver, "", "ORV InkRay Color XT/PS (412)"},
    {"ORV InkRay Color 190i", 46, "ORV412", "IRCOL_RS", "IRAYI36", ModelEitherDriver, "", "ORV InkRay 190i (412)"},
    {"ORV Penline 204X", 47, "ORV412", "", "", ModelVector, "", ""},
    {"ORV Penline 207X", 48, "ORV412", "", "", ModelVector, "", ""},
    {"ORV InkRay 640c 8624", 49, "ORV412", "IRCOL_RS", "IRAYA24", ModelEitherDriver, "", "ORV InkRay 640c 8624 (412)"},
    {"ORV InkRay 640c 8636", 50, "ORV412", "IRCOL_RS", "IRAYA36", ModelEitherDriver, "", "ORV InkRay 640c 8636 (412)"},
    {},  // 51: empty slot, listed as an empty entry
    {},  // 52: empty slot, listed as an empty entry
    {},  // 53: empty slot, listed as an empty entry
    {},  // 54: empty slot, listed as an empty entry
    {},  // 55: empty slot, listed as an empty entry
    {},  // 56: empty slot, listed as an empty entry
    {},  // 57: empty slot, listed as an empty entry
    {},  // 58: empty slot, listed as an empty entry
    {},  // 59: empty slot, listed as an empty entry
};

int IsCatalogSlot(int slot) { return slot >= 0 && slot < PlotterCatalogSlots ? 1 : 0; }
