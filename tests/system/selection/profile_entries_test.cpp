// The "WIN.INI" entries of each driver kind.
#include <string>
#include <vector>

#include "install/profile_entries.h"
#include "selection/plotter_catalog.h"
#include "tests/system/selection/selection_fixture.h"

namespace {

using namespace selection_test;

class ProfileEntries : public Fixture {};

std::string Removed(const std::string &section) { return "FRemoveIniSection(WIN.INI," + section + ",0)"; }
std::string Created(const std::string &section, const std::string &key, const std::string &value) {
    return "FCreateIniKeyValue(WIN.INI," + section + "," + key + "," + value + ",1024)";
}

void SetPort(const char *port) { std::snprintf(g_state.g_portName, sizeof g_state.g_portName, "%s", port); }

TEST_F(ProfileEntries, RasterClearsTenPortsRewritesTheDriverSectionAndWritesTheSource) {
    SelectedForInstall(9, DriverRaster, "ORV Linecraft 81224");
    SetPort("LPT1:");
    WriteProfileEntries("IRCOL_RS");
    const std::string printer = "ORV Linecraft 81224";
    EXPECT_EQ(fake::CallTexts(),
              (Strings{Removed(printer + ",LPT1"), Removed(printer + ",LPT2"), Removed(printer + ",LPT3"),
                       Removed(printer + ",COM1"), Removed(printer + ",COM2"), Removed(printer + ",COM3"),
                       Removed(printer + ",COM4"), Removed(printer + ",FILE"), Removed(printer + ",LPT1.DOS"),
                       Removed(printer + ",LPT2.DOS"), Removed("IRCOL_RS"),
                       Created("IRCOL_RS", "installDir", "C:\\WINNT\\system32"),
                       Created("IRCOL_RS", "tmpdir", "C:\\WINNT\\spool\\printers\\"), Created("IRCOL_RS", "gs_int", "1"),
                       Created(printer + ",LPT1", "source", "2")}));
    EXPECT_STREQ(g_state.g_portName, "LPT1");
}

TEST_F(ProfileEntries, RasterPortSectionFollowsThePortName) {
    struct Case {
        const char *port;
        const char *section;
        const char *portAfter;
    } cases[] = {
        {"FILE:", "P,FILE", "FILE"},
        {"COM5:", "P,COM5", "COM5"},   // outside the ten: not cleared first
        {"LPT3", "P,LPT3", "LPT3"},    // no colon: used as it is
        {"", "P,", ""},
        {"A:B:", "P,A:B", "A:B"},      // only the last colon goes
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.port);
        fake::Reset();
        SelectedForInstall(9, DriverRaster, "P");
        SetPort(c.port);
        WriteProfileEntries("IRCOL_RS");
        EXPECT_EQ(fake::CallTexts({"FCreateIniKeyValue"}).back(), Created(c.section, "source", "2"));
        EXPECT_STREQ(g_state.g_portName, c.portAfter);
    }
}

TEST_F(ProfileEntries, SourceValueFollowsTheModelFlag) {
    EXPECT_STREQ(RasterSourceValue(ModelEitherDriver), "2");
    EXPECT_STREQ(RasterSourceValue(ModelEitherDriver | ModelSourceOne), "1");
    EXPECT_STREQ(RasterSourceValue(ModelSourceOne), "1");
    EXPECT_STREQ(RasterSourceValue(0), "2");
}

TEST_F(ProfileEntries, VectorWritesOnlyTheModelNumberUnderThePortWithItsColon) {
    struct Case {
        int slot;
        const char *printer;
        const char *number;
    } cases[] = {{9, "ORV Linecraft 81224 (412)", "9"}, {0, "ORV Quillon 2110", "0"}, {48, "ORV Penline 207X", "48"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.slot);
        fake::Reset();
        SelectedForInstall(c.slot, DriverVector, c.printer);
        SetPort("LPT1:");
        WriteProfileEntries("ORV412");
        EXPECT_EQ(fake::CallTexts(), Strings{Created(std::string(c.printer) + ",LPT1:", "model", c.number)});
        EXPECT_STREQ(g_state.g_portName, "LPT1:");
    }
}

TEST_F(ProfileEntries, ModelDataKindWritesNothing) {
    SelectedForInstall(27, DriverModel, "ORV Statora 46436 (412)");
    WriteProfileEntries("ORV412");
    EXPECT_EQ(fake::CallTexts(), Strings{});
}

TEST_F(ProfileEntries, FailedProfileCallIsAFatalStop) {
    struct Case {
        const char *call;
        int succeedFirst;
        std::size_t callsMade;
    } cases[] = {{"FRemoveIniSection", 0, 1}, {"FRemoveIniSection", 10, 11}, {"FCreateIniKeyValue", 2, 14}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.call) + " after " + std::to_string(c.succeedFirst));
        fake::Reset();
        SelectedForInstall(9, DriverRaster, "ORV Linecraft 81224");
        if (c.succeedFirst > 0) fake::FailCall(c.call, {.result = 1, .times = c.succeedFirst});
        fake::FailCall(c.call, {.result = 0, .times = 1});
        EXPECT_EQ(fake::RunUntilExit([] { WriteProfileEntries("IRCOL_RS"); }), 0);
        EXPECT_EQ(fake::CallTexts({"FRemoveIniSection", "FCreateIniKeyValue"}).size(), c.callsMade);
        EXPECT_EQ(fake::ShowCount(400), 1);
    }
}

TEST_F(ProfileEntries, SectionNameThatDoesNotFitIsAFatalStopBeforeAnyWrite) {
    SelectedForInstall(0, DriverVector, std::string(250, 'n'));
    SetPort("LPT1:");  // 250 + ",LPT1:" needs 257 bytes
    EXPECT_EQ(fake::RunUntilExit([] { WriteProfileEntries("ORV412"); }), 0);
    EXPECT_EQ(fake::CountCalls("FCreateIniKeyValue"), 0);

    fake::Reset();
    SelectedForInstall(0, DriverVector, std::string(249, 'n'));
    SetPort("LPT1:");  // exactly 255 characters
    WriteProfileEntries("ORV412");
    EXPECT_EQ(fake::CountCalls("FCreateIniKeyValue"), 1);
}

}  // namespace
