// The plotter catalogue: its record layout and every value of its 60 slots.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "selection/plotter_catalog.h"

namespace {

// Packed fields cannot bind to references, so the tests read them through these.
int NumberOf(int slot) { return PlotterCatalog[slot].modelNumber; }
int FlagsOf(int slot) { return PlotterCatalog[slot].flags; }

bool IsZeroFilled(const char (&field)[ModelTextSize]) {
    for (char c : field) {
        if (c != '\0') return false;
    }
    return true;
}

// Every text field ends in zeros after its text: nothing of an earlier, longer text
// lingers behind the terminator.
bool IsCleanText(const char (&field)[ModelTextSize]) {
    const std::size_t length = strnlen(field, ModelTextSize);
    if (length >= ModelTextSize) return false;
    for (std::size_t i = length; i < ModelTextSize; ++i) {
        if (field[i] != '\0') return false;
    }
    return true;
}

struct EitherDriverSlot {
    int slot;
    const char *name;
    const char *dataName;
    const char *vectorPrinterName;
};

const EitherDriverSlot kEitherDriverSlots[] = {
    {9, "ORV Linecraft 81224", "LC81224", "ORV Linecraft 81224 (412)"},
    {10, "ORV Linecraft 81236", "LC81236", "ORV Linecraft 81236 (412)"},
    {11, "ORV Linecraft+ 81424", "LC81424", "ORV Linecraft+ 81424 (412)"},
    {12, "ORV Linecraft+ 81436", "LC81436", "ORV Linecraft+ 81436 (412)"},
    {13, "ORV Linecraft+ 82336", "LC82336", "ORV Linecraft+ 82336 (412)"},
    {14, "ORV Linecraft+ 82436", "LC82436", "ORV Linecraft+ 82436 (412)"},
    {27, "ORV Statora 46436", "STA46436", "ORV Statora 46436 (412)"},
    {28, "ORV Statora 47436", "STA46436", ""},
    {35, "ORV Monad 4 64424", "MON64424", "ORV Monad 4 64424 (412)"},
    {36, "ORV Monad 4 64436", "MON64436", "ORV Monad 4 64436 (412)"},
    {37, "ORV InkRay Drafter 8424", "IRAYM24", "ORV InkRay Drafter 8424 (412)"},
    {38, "ORV InkRay Drafter 8436", "IRAYM36", "ORV InkRay Drafter 8436 (412)"},
    {39, "ORV InkRay 640 8424", "IRAYM24", "ORV InkRay 640 8424 (412)"},
    {40, "ORV InkRay 640 8436", "IRAYM36", "ORV InkRay 640 8436 (412)"},
    {41, "ORV InkRay Color 24", "IRAYC24", "ORV InkRay Color 24 (412)"},
    {42, "ORV InkRay Color 36", "IRAYC36", "ORV InkRay Color 36 (412)"},
    {43, "ORV InkRay Color XT 24", "IRAYX24", "ORV InkRay Color XT 24 (412)"},
    {44, "ORV InkRay Color XT 36", "IRAYX36", "ORV InkRay Color XT 36 (412)"},
    {45, "ORV InkRay Color XT/PS", "IRAYXPS", "ORV InkRay Color XT/PS (412)"},
    {46, "ORV InkRay Color 190i", "IRAYI36", "ORV InkRay 190i (412)"},
    {49, "ORV InkRay 640c 8624", "IRAYA24", "ORV InkRay 640c 8624 (412)"},
    {50, "ORV InkRay 640c 8636", "IRAYA36", "ORV InkRay 640c 8636 (412)"},
};

const char *const kVectorSlotNames[][2] = {
    {"0", "ORV Quillon 2110"},        {"1", "ORV Quillon 2115"},       {"2", "ORV Quillon 2116"},
    {"3", "ORV Tintara Plus 7701XR"}, {"4", "ORV Tintara Plus 7711XR"}, {"5", "ORV Hueline 4412"},
    {"6", "ORV Hueline 4413"},        {"7", "ORV Draftwell 1624"},     {"8", "ORV Draftwell 1636"},
    {"15", "ORV Statora 3325"},       {"16", "ORV Statora 3335"},      {"17", "ORV Statora 33424"},
    {"18", "ORV Statora 33436"},      {"19", "ORV Statora 33444"},     {"20", "ORV Statora 3345"},
    {"21", "ORV Statora 3425"},       {"22", "ORV Statora 3435"},      {"23", "ORV Statora 34424"},
    {"24", "ORV Statora 34436"},      {"25", "ORV Statora 34444"},     {"26", "ORV Statora 3445"},
    {"29", "ORV Statora 47444"},      {"30", "ORV Tempora 6024"},      {"31", "ORV Tempora 6036"},
    {"32", "ORV Elder 9036"},         {"33", "ORV Penrider 7302A"},    {"34", "ORV Penrider 7302G"},
    {"47", "ORV Penline 204X"},       {"48", "ORV Penline 207X"},
};

TEST(PlotterCatalog, HoldsSixtyRecordsOf196Bytes) {
    EXPECT_EQ(sizeof(PlotterModel), 196u);
    EXPECT_EQ(sizeof PlotterCatalog, 60u * 196u);
    EXPECT_EQ(ModelRaster, 0x1);
    EXPECT_EQ(ModelVector, 0x2);
    EXPECT_EQ(ModelSourceOne, 0x4);
    EXPECT_EQ(ModelEitherDriver, 0x8);
    EXPECT_EQ(ModelHidden, 0x10);
}

TEST(PlotterCatalog, VectorSlotsHoldNameNumberAndDriverOnly) {
    for (const auto &row : kVectorSlotNames) {
        const int slot = std::stoi(row[0]);
        SCOPED_TRACE(slot);
        const PlotterModel &model = PlotterCatalog[slot];
        EXPECT_STREQ(model.name, row[1]);
        EXPECT_EQ(NumberOf(slot), slot);
        EXPECT_STREQ(model.vectorDriver, "ORV412");
        EXPECT_EQ(FlagsOf(slot), ModelVector);
        EXPECT_TRUE(IsZeroFilled(model.rasterDriver));
        EXPECT_TRUE(IsZeroFilled(model.dataName));
        EXPECT_TRUE(IsZeroFilled(model.rasterPrinterName));
        EXPECT_TRUE(IsZeroFilled(model.vectorPrinterName));
    }
}

TEST(PlotterCatalog, EitherDriverSlotsHoldBothDriversAndTheirNames) {
    for (const EitherDriverSlot &row : kEitherDriverSlots) {
        SCOPED_TRACE(row.slot);
        const PlotterModel &model = PlotterCatalog[row.slot];
        EXPECT_STREQ(model.name, row.name);
        EXPECT_EQ(NumberOf(row.slot), row.slot);
        EXPECT_STREQ(model.vectorDriver, "ORV412");
        EXPECT_STREQ(model.rasterDriver, "IRCOL_RS");
        EXPECT_STREQ(model.dataName, row.dataName);
        EXPECT_EQ(FlagsOf(row.slot), ModelEitherDriver);
        EXPECT_TRUE(IsZeroFilled(model.rasterPrinterName));
        EXPECT_STREQ(model.vectorPrinterName, row.vectorPrinterName);
    }
}

TEST(PlotterCatalog, EveryModelSlotIsOneOfTheTwoKindsAndNamesDiffer) {
    std::set<int> described;
    for (const auto &row : kVectorSlotNames) described.insert(std::stoi(row[0]));
    for (const auto &row : kEitherDriverSlots) described.insert(row.slot);
    EXPECT_EQ(described.size(), 51u);
    EXPECT_EQ(*described.rbegin(), 50);

    std::set<std::string> names;
    for (int slot = 0; slot < 51; ++slot) names.insert(PlotterCatalog[slot].name);
    EXPECT_EQ(names.size(), 51u);
}

TEST(PlotterCatalog, LastNineSlotsAreAllZero) {
    static const char zeros[sizeof(PlotterModel)] = {};
    for (int slot = 51; slot < PlotterCatalogSlots; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(std::memcmp(&PlotterCatalog[slot], zeros, sizeof zeros), 0);
    }
}

TEST(PlotterCatalog, TextFieldsAreTerminatedAndZeroPadded) {
    for (int slot = 0; slot < PlotterCatalogSlots; ++slot) {
        SCOPED_TRACE(slot);
        const PlotterModel &model = PlotterCatalog[slot];
        EXPECT_TRUE(IsCleanText(model.name));
        EXPECT_TRUE(IsCleanText(model.vectorDriver));
        EXPECT_TRUE(IsCleanText(model.rasterDriver));
        EXPECT_TRUE(IsCleanText(model.dataName));
        EXPECT_TRUE(IsCleanText(model.rasterPrinterName));
        EXPECT_TRUE(IsCleanText(model.vectorPrinterName));
    }
}

TEST(PlotterCatalog, SlotCheckCoversExactlyTheTable) {
    EXPECT_EQ(IsCatalogSlot(-1), 0);
    EXPECT_EQ(IsCatalogSlot(0), 1);
    EXPECT_EQ(IsCatalogSlot(59), 1);
    EXPECT_EQ(IsCatalogSlot(60), 0);
}

}  // namespace
