// The plotter catalogue: the fixed table of the plotter models this setup installs,
// with the flag bits that decide which driver each model uses.
#pragma once

#include <cstddef>
#include <cstdint>

// Bits of PlotterModel::flags.
constexpr std::uint16_t ModelRaster = 0x1;        // uses the raster driver
constexpr std::uint16_t ModelVector = 0x2;        // uses the vector driver
constexpr std::uint16_t ModelSourceOne = 0x4;     // the raster driver's "source" is "1", not "2"
constexpr std::uint16_t ModelEitherDriver = 0x8;  // the user picks the driver; wins over the two above
constexpr std::uint16_t ModelHidden = 0x10;       // left out of the plotter dialog's model list

constexpr int PlotterCatalogSlots = 60;
constexpr int ModelTextSize = 32;  // 31 characters and the terminator

// One catalogue record. Its fields follow one another without gaps, so a record is
// 196 bytes wherever it is built.
#pragma pack(push, 1)
struct PlotterModel {
    char name[ModelTextSize];               // listed name; default printer and driver name
    std::uint16_t modelNumber;              // the vector driver's "model" profile value
    char vectorDriver[ModelTextSize];       // base name of the vector driver file
    char rasterDriver[ModelTextSize];       // base name of the raster driver file and its profile section
    char dataName[ModelTextSize];           // setup.inf section of the model's files; its data file
    std::uint16_t flags;                    // Model... bits
    char rasterPrinterName[ModelTextSize];  // printer name with the raster driver, when not empty
    char vectorPrinterName[ModelTextSize];  // printer name with the vector driver, when not empty
};
#pragma pack(pop)

static_assert(sizeof(PlotterModel) == 196);
static_assert(offsetof(PlotterModel, name) == 0);
static_assert(offsetof(PlotterModel, modelNumber) == 32);
static_assert(offsetof(PlotterModel, vectorDriver) == 34);
static_assert(offsetof(PlotterModel, rasterDriver) == 66);
static_assert(offsetof(PlotterModel, dataName) == 98);
static_assert(offsetof(PlotterModel, flags) == 130);
static_assert(offsetof(PlotterModel, rasterPrinterName) == 132);
static_assert(offsetof(PlotterModel, vectorPrinterName) == 164);

extern const PlotterModel PlotterCatalog[PlotterCatalogSlots];

// 1 when `slot` names a record of the catalogue (0 to 59), else 0.
int IsCatalogSlot(int slot);
