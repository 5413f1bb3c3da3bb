// The file search on the program's road, and the path and detection calls of the
// binding, on a temporary workstation.
#include "toolkit_fixture.h"

namespace {

using namespace orv::toolkit;
using namespace orv::toolkit::testing;

class PathsAndDetection : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        WriteText(disk / "SETUP.INF", "[Info]\n");
        WriteText(disk / "driver.drv", "Orvalen driver\r\nVERSION=2.1.0.4\r\n");
        StartFrame();
    }
};

TEST_F(PathsAndDetection, FindFileSearchesTheCurrentDirectoryThenTheWindowsAndSystemDirectories) {
    char buffer[300];
    buffer[0] = ' ';
    EXPECT_EQ(WFindFileUsingFileOpen("setup.inf", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "A:\\setup.inf");
    WriteText(Host("C:\\WINNT\\system32\\only.dll"), "x");
    EXPECT_EQ(WFindFileUsingFileOpen("ONLY.DLL", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "C:\\WINNT\\system32\\ONLY.DLL");
    WriteText(Host("C:\\WINNT\\only.dll"), "x");
    EXPECT_EQ(WFindFileUsingFileOpen("only.dll", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "C:\\WINNT\\only.dll") << "the Windows directory comes before the system directory";
    EXPECT_EQ(WFindFileUsingFileOpen("absent.inf", buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "");
    char tiny[5];
    EXPECT_EQ(WFindFileUsingFileOpen("setup.inf", tiny, sizeof tiny), 2) << "a path that does not fit is an error";
}

TEST_F(PathsAndDetection, PathsAndDirectories) {
    EXPECT_TRUE(FValidDir("C:\\WINNT\\inf\\"));
    EXPECT_TRUE(FValidDir("C:\\WINNT\\notyet"));
    EXPECT_FALSE(FValidDir("Q:\\WINNT")) << "no such drive";
    EXPECT_FALSE(FValidDir("C:\\bad|name"));
    EXPECT_FALSE(FValidDir("relative\\dir"));
    EXPECT_TRUE(FDirExists("c:\\winnt\\SYSTEM32"));
    EXPECT_FALSE(FDirExists("C:\\WINNT\\spool\\printers"));
    EXPECT_TRUE(FCreateDir("C:\\WINNT\\spool\\printers", 0));
    EXPECT_TRUE(FDirExists("C:\\WINNT\\spool\\printers"));
    EXPECT_FALSE(FCreateDir("A:\\newdir", 0)) << "the setup disk is read-only";
    EXPECT_TRUE(FDoesFileExist("A:\\driver.drv", 0));
    EXPECT_FALSE(FDoesFileExist("A:\\", 0));

    char volume[4], directory[64], name[16];
    ASSERT_TRUE(FParsePathIntoPieces("C:\\WINNT\\system32\\IRCOL_RS.DRV", volume, sizeof volume, directory,
                                     sizeof directory, name, sizeof name));
    EXPECT_STREQ(volume, "C:");
    EXPECT_STREQ(directory, "\\WINNT\\system32\\");
    EXPECT_STREQ(name, "IRCOL_RS.DRV");
    char result[64];
    ASSERT_TRUE(FPrependToPath("C:\\BIN;c:\\orv;D:\\X", "C:\\ORV", result, sizeof result));
    EXPECT_STREQ(result, "C:\\ORV;C:\\BIN;D:\\X");
    EXPECT_FALSE(FPrependToPath("C:\\BIN", "C:\\ORV", result, 8));
}

TEST_F(PathsAndDetection, VersionsDatesDrivesAndMachineFacts) {
    char buffer[32];
    EXPECT_EQ(CbGetVersionOfFile("A:\\driver.drv", buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "2.1.0.4");
    EXPECT_EQ(CbGetVersionOfFile("A:\\setup.inf", buffer, sizeof buffer), 0);
    EXPECT_EQ(LGetVersionNthField("2.1.0.4", 1), 2);
    EXPECT_EQ(LGetVersionNthField("2.1.0.4", 4), 4);
    EXPECT_EQ(LGetVersionNthField("2.1.0.4", 5), 0);
    EXPECT_EQ(CbGetDateOfFile("A:\\driver.drv", buffer, sizeof buffer), 19);  // YYYY-MM-DD-HH-MM-SS
    EXPECT_EQ(LcbGetSizeOfFile("A:\\driver.drv"), 33);

    EXPECT_TRUE(FIsValidDrive(1));
    EXPECT_TRUE(FIsValidDrive(3));
    EXPECT_FALSE(FIsValidDrive(17));
    EXPECT_TRUE(FIsLocalHardDrive(3));
    EXPECT_GT(LcbTotalDrive(3), 0);
    ASSERT_TRUE(FGetValidDrivesList("drives"));
    EXPECT_EQ(Symbols().Items("drives").front(), "A");
    ASSERT_TRUE(FGetParallelPortsList("lpt"));
    EXPECT_EQ(Symbols().Items("lpt"), (std::vector<std::string>{"LPT1", "LPT2", "LPT3"}));
    ASSERT_TRUE(FGetSerialPortsList("com"));
    EXPECT_EQ(Symbols().Length("com"), 4u);

    LONG state = 7;
    char processor[32];
    ASSERT_TRUE(FGetProcessorType(&state, 0, processor, sizeof processor));
    EXPECT_STREQ(processor, "PENTIUM");
    EXPECT_FALSE(FGetProcessorType(&state, 0, processor, 3)) << "a name that does not fit";
    EXPECT_EQ(CbGetEnvVariableValue("NO_SUCH_VARIABLE", buffer, sizeof buffer), 0);
}

}  // namespace
