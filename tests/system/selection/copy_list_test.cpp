// The copy list of each driver kind and the outcomes of the copy.
#include <string>
#include <vector>

#include "install/copy_list.h"
#include "tests/system/selection/selection_fixture.h"

namespace {

using namespace selection_test;

class CopyList : public Fixture {};

std::string Queued(const std::string &section, const std::string &destination) {
    return "FAddSectionFilesToCopyList(" + section + ",A:\\," + destination + ")";
}

const char *const kSystemDir = "C:\\WINNT\\system32";
const char *const kInfDir = "C:\\WINNT\\inf\\";

TEST_F(CopyList, QueuesTheSectionsOfTheDriverKindThenPlacesTheGauge) {
    struct Case {
        const char *what;
        int slot;
        int kind;
        const char *printerName;
        Strings sections;
    } cases[] = {
        {"raster", 9, DriverRaster, "ORV Linecraft 81224", {"Raster", "LC81224"}},
        {"raster, no printer name", 9, DriverRaster, "", {"Raster"}},
        {"vector", 9, DriverVector, "ORV Linecraft 81224 (412)", {"Vector"}},
        {"vector-only model", 0, DriverVector, "ORV Quillon 2110", {"Vector"}},
        {"model data", 27, DriverModel, "ORV Statora 46436", {"STA46436"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        SelectedForInstall(c.slot, c.kind, c.printerName);
        QueueDriverFiles();
        Strings expected = {"ResetCopyList()", Queued("Info", kInfDir)};
        for (const std::string &section : c.sections) expected.push_back(Queued(section, kSystemDir));
        expected.push_back("ProSetPos(125,100)");
        EXPECT_EQ(fake::CallTexts(), expected);
    }
}

TEST_F(CopyList, NothingIsQueuedWhenTheDriverIsKept) {
    SelectedForInstall(9, DriverRaster, "ORV Linecraft 81224", 0);
    QueueDriverFiles();
    EXPECT_EQ(fake::CallTexts(), Strings{});
}

TEST_F(CopyList, SectionThatCannotBeQueuedIsAFatalStop) {
    SelectedForInstall(9, DriverRaster, "ORV Linecraft 81224");
    fake::FailCall("FAddSectionFilesToCopyList", {.result = 1, .times = 1});
    fake::FailCall("FAddSectionFilesToCopyList", {.result = 0, .times = 1});
    EXPECT_EQ(fake::RunUntilExit([] { QueueDriverFiles(); }), 0);
    EXPECT_EQ(fake::CallTexts({"FAddSectionFilesToCopyList"}),
              (Strings{Queued("Info", kInfDir), Queued("Raster", kSystemDir)}));
    EXPECT_EQ(fake::CountCalls("ProSetPos"), 0);
    EXPECT_EQ(fake::ShowCount(400), 1);
}

TEST_F(CopyList, CopyOutcomes) {
    struct Case {
        int reply;
        bool stops;
    } cases[] = {{0, false}, {-1, false}, {48, true}, {1, true}, {47, true}, {49, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.reply);
        fake::Reset();
        fake::SetCopyResult(c.reply);
        if (c.stops) {
            EXPECT_EQ(fake::RunUntilExit([] { CopyQueuedFiles(); }), 0);
            EXPECT_EQ(fake::ShowCount(400), 1);
        } else {
            CopyQueuedFiles();
            EXPECT_EQ(fake::ShowCount(400), 0);
        }
        const std::vector<fake::Call> &calls = fake::Calls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[0].name, "HinstFrame");
        EXPECT_EQ(calls[1].name, "GrcCopyFilesInCopyList");
        EXPECT_NE(calls[1].args.at(0), "NULL");
    }
}

}  // namespace
