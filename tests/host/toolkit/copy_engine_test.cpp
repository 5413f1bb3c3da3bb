// The copy list and copy engine on a temporary workstation: files land in place,
// a missing source or too little space fails before the first byte with a message
// naming the file or drive, a quit answers 48, and a destination is never left
// half-written.
#include "toolkit_fixture.h"

namespace {

using namespace orv::toolkit;
using namespace orv::toolkit::testing;

constexpr const char *kInf =
    "[Info]\n"
    "inf = ORVPLOT.INF\n"
    "[Raster]\n"
    "driver = IRCOL_RS.DRV,,,,,,,,,,,,,,,,,, 2.1.0.4\n"
    "help = IRCOL_RS.HLP, RENAMED.HLP\n"
    "[Broken]\n"
    "gone = MISSING.DRV\n";

class CopyEngine : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        WriteText(disk / "setup.inf", kInf);
        WriteText(disk / "ORVPLOT.INF", "info\n");
        WriteText(disk / "IRCOL_RS.DRV", std::string(3 * 1024 * 1024, 'r'));  // more than one chunk
        WriteText(disk / "ircol_rs.hlp", "help\n");                            // case does not matter
        StartFrame();
        ASSERT_TRUE(FOpenInf("A:\\setup.inf", 1, 0)) << LastToolkitError();
    }

    // Files in a host folder whose names show an unfinished copy.
    static std::vector<std::string> Leftovers(const fs::path &folder) {
        std::vector<std::string> found;
        std::error_code ec;
        for (const auto &entry : fs::directory_iterator(folder, ec)) {
            if (entry.path().filename().string().find(".copy.") != std::string::npos) found.push_back(entry.path().string());
        }
        return found;
    }
};

TEST_F(CopyEngine, CopiesEverySectionFileIntoPlaceReplacingOldCopies) {
    WriteText(Host("C:\\WINNT\\system32\\IRCOL_RS.DRV"), "old driver");
    ResetCopyList();
    ASSERT_TRUE(FAddSectionFilesToCopyList("Info", "A:\\", "C:\\WINNT\\inf\\"));
    ASSERT_TRUE(FAddSectionFilesToCopyList("raster", "A:\\", "C:\\WINNT\\system32"));
    ASSERT_EQ(CopyList().size(), 3u);
    EXPECT_EQ(CopyList()[2].destination, "C:\\WINNT\\system32\\RENAMED.HLP");
    ProSetPos(125, 100);

    std::uint64_t lastDone = 0;
    std::uint64_t lastTotal = 0;
    TheScript().onProgress = [&](std::string_view, std::uint64_t done, std::uint64_t total) {
        EXPECT_GE(done, lastDone);
        lastDone = done;
        lastTotal = total;
        return true;
    };
    EXPECT_EQ(GrcCopyFilesInCopyList(HinstFrame()), 0);
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\inf\\ORVPLOT.INF")), "info\n");
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\system32\\IRCOL_RS.DRV")), std::string(3 * 1024 * 1024, 'r'));
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\system32\\RENAMED.HLP")), "help\n");
    EXPECT_EQ(lastDone, lastTotal);
    EXPECT_EQ(lastTotal, 3u * 1024 * 1024 + 10);
    EXPECT_EQ(TheScript().copiesBegun, 1);
    EXPECT_EQ(TheScript().copiesEnded, 1);
    EXPECT_TRUE(Leftovers(Host("C:\\WINNT\\system32")).empty());
    EXPECT_EQ(LcbGetCopyListCost(nullptr, "cost", nullptr), 3 * 1024 * 1024 + 10);
    EXPECT_EQ(Symbols().Item("cost", 3), std::to_string(3 * 1024 * 1024 + 10)) << "all of it on drive C:";
}

TEST_F(CopyEngine, AMissingSourceFailsBeforeAnythingIsWrittenAndNamesTheFile) {
    ResetCopyList();
    ASSERT_TRUE(FAddSectionFilesToCopyList("Info", "A:\\", "C:\\WINNT\\inf"));
    ASSERT_TRUE(FAddSectionFilesToCopyList("Broken", "A:\\", "C:\\WINNT\\system32"));
    int result = GrcCopyFilesInCopyList(HinstFrame());
    EXPECT_GT(result, 0);
    EXPECT_NE(result, GrcUserQuit);
    ASSERT_EQ(TheScript().messages.size(), 1u);
    EXPECT_NE(TheScript().messages[0].second.find("A:\\MISSING.DRV"), std::string::npos) << TheScript().messages[0].second;
    EXPECT_NE(LastToolkitError().find("A:\\MISSING.DRV"), std::string::npos);
    EXPECT_FALSE(fs::exists(Host("C:\\WINNT\\inf\\ORVPLOT.INF"))) << "nothing is copied when a source is missing";
}

TEST_F(CopyEngine, TooLittleSpaceFailsBeforeTheFirstByte) {
    SetFreeSpaceProbe([](const fs::path &, std::uint64_t &freeBytes) {
        freeBytes = 1024;
        return true;
    });
    ResetCopyList();
    ASSERT_TRUE(FAddSectionFilesToCopyList("Raster", "A:\\", "C:\\WINNT\\system32"));
    EXPECT_EQ(GrcCopyFilesInCopyList(HinstFrame()), GrcNoSpace);
    ASSERT_EQ(TheScript().messages.size(), 1u);
    EXPECT_NE(TheScript().messages[0].second.find("drive C:"), std::string::npos) << TheScript().messages[0].second;
    EXPECT_FALSE(fs::exists(Host("C:\\WINNT\\system32\\IRCOL_RS.DRV")));
    EXPECT_EQ(TheScript().copiesBegun, 0);
}

TEST_F(CopyEngine, QuittingMidFileAnswers48AndLeavesTheOldCopyWhole) {
    WriteText(Host("C:\\WINNT\\system32\\IRCOL_RS.DRV"), "old driver");
    TheScript().onProgress = [](std::string_view, std::uint64_t done, std::uint64_t) { return done < 1024 * 1024; };
    ResetCopyList();
    ASSERT_TRUE(FAddSectionFilesToCopyList("Raster", "A:\\", "C:\\WINNT\\system32"));
    EXPECT_EQ(GrcCopyFilesInCopyList(HinstFrame()), GrcUserQuit);
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\system32\\IRCOL_RS.DRV")), "old driver");
    EXPECT_FALSE(fs::exists(Host("C:\\WINNT\\system32\\RENAMED.HLP")));
    EXPECT_TRUE(Leftovers(Host("C:\\WINNT\\system32")).empty());
    EXPECT_EQ(TheScript().copiesEnded, 1);
}

TEST_F(CopyEngine, QueueingAMissingSectionOrKeyFails) {
    ResetCopyList();
    EXPECT_FALSE(FAddSectionFilesToCopyList("Nosuch", "A:\\", "C:\\WINNT"));
    EXPECT_NE(LastToolkitError().find("Nosuch"), std::string::npos);
    EXPECT_FALSE(FAddSectionKeyFileToCopyList("Raster", "nokey", "A:\\", "C:\\WINNT"));
    EXPECT_TRUE(FAddSectionKeyFileToCopyList("Raster", "HELP", "A:\\", "C:\\WINNT"));
    EXPECT_TRUE(FAddSpecialFileToCopyList("Raster", "driver", "A:\\", "C:\\WINNT\\special.drv"));
    ASSERT_EQ(CopyList().size(), 2u);
    EXPECT_EQ(CopyList()[0].destination, "C:\\WINNT\\RENAMED.HLP");
    EXPECT_EQ(CopyList()[1].source, "A:\\IRCOL_RS.DRV");
    EXPECT_EQ(CopyList()[1].destination, "C:\\WINNT\\special.drv");
    EXPECT_TRUE(ResetCopyList());
    EXPECT_TRUE(CopyList().empty());
    EXPECT_EQ(GrcCopyFilesInCopyList(HinstFrame()), 0) << "an empty list copies nothing";
}

TEST_F(CopyEngine, CopyOneFileAppendsWhenAsked) {
    WriteText(Host("C:\\WINNT\\log.txt"), "one\n");
    WriteText(disk / "more.txt", "two\n");
    EXPECT_TRUE(FCopyOneFile("A:\\more.txt", "C:\\WINNT\\log.txt", 2, TRUE));
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\log.txt")), "one\ntwo\n");
    EXPECT_TRUE(FCopyOneFile("A:\\more.txt", "C:\\WINNT\\log.txt", 2, FALSE));
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\log.txt")), "two\n");
    EXPECT_FALSE(FCopyOneFile("A:\\absent.txt", "C:\\WINNT\\log.txt", 2, FALSE));
    EXPECT_FALSE(FCopyOneFile("C:\\WINNT\\log.txt", "A:\\copy.txt", 2, FALSE)) << "the setup disk is read-only";
}

}  // namespace
