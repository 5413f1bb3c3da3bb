// The toolkit calls of the binding on a temporary workstation: the restart list
// across a queue and a restart in another process, Program Manager groups and items,
// CONFIG.SYS drivers, the meaning of the fixed values the binding passes, and the
// reason each failing call leaves in the setup log.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/profile/profile_file.h"
#include "host/toolkit/restart_list.h"
#include "toolkit_fixture.h"

namespace {

using namespace orv::toolkit;
using namespace orv::toolkit::testing;

class ToolkitCalls : public FrameFixture {
protected:
    fs::path log;

    void SetUp() override {
        FrameFixture::SetUp();
        ResetRestartDirectory();
        log = root / "setup.log";
        WriteText(disk / "SETUP.INF", "[Files]\nnew = NEW.DLL,,,,,,,,,,,,,,,,,, 2.1.0.4\nUNKEYED.DAT\n");
        WriteText(disk / "NEW.DLL", "new driver\r\nVERSION=2.1.0.4\r\n");
        StartFrame("--log \"" + log.string() + "\"");
    }

    void TearDown() override {
        ResetRestartDirectory();
        FrameFixture::TearDown();
    }

    std::string Log() { return ReadText(log); }

    // A file that the running workstation holds open.
    fs::path InUse(const std::string &windowsPath, const std::string &content) {
        fs::path host = Host(windowsPath);
        WriteText(host, content);
        fs::permissions(host, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        return host;
    }

    std::optional<std::string> ProgMan(const std::string &section, const std::string &key) {
        return orv::profile::ReadKey(Host("C:\\WINNT\\PROGMAN.INI"), section, key);
    }
};

TEST_F(ToolkitCalls, AFileInUseIsReplacedAtTheRestartThatAnotherProcessRuns) {
    fs::path locked = InUse("C:\\WINNT\\system32\\LOCKED.DLL", "old driver");
    fs::path doomed = InUse("C:\\WINNT\\system32\\DOOMED.DLL", "to go");
    ASSERT_TRUE(FRestartListEmpty());

    ASSERT_TRUE(FCopyOneFile("A:\\NEW.DLL", "C:\\WINNT\\system32\\LOCKED.DLL", 2, FALSE));
    ASSERT_EQ(YnrcRemoveFile("C:\\WINNT\\system32", "DOOMED.DLL"), 1);
    EXPECT_EQ(ReadText(locked), "old driver") << "a file in use is not touched before the restart";
    EXPECT_TRUE(fs::exists(doomed));
    EXPECT_FALSE(FIsFileWritable("C:\\WINNT\\system32\\LOCKED.DLL"));
    EXPECT_FALSE(FRestartListEmpty());
    EXPECT_TRUE(fs::exists(machine / "restart.lst"));
    EXPECT_TRUE(fs::exists(Host("C:\\WINNT\\RESTART\\RST00001.TMP"))) << "the default restart folder";

    // The restart runs in another process, which sees the list through the machine.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        orv::host::AbandonMachineAfterFork();
        std::string error;
        bool ok = orv::host::OpenMachine(machine, false, error) && !FRestartListEmpty() && FExitExecRestart();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(ReadText(locked), ReadText(disk / "NEW.DLL"));
    EXPECT_FALSE(fs::exists(doomed));
    EXPECT_TRUE(FRestartListEmpty());
    EXPECT_FALSE(fs::exists(Host("C:\\WINNT\\RESTART\\RST00001.TMP")));
    std::string text = Log();
    EXPECT_NE(text.find("C:\\WINNT\\system32\\LOCKED.DLL is in use"), std::string::npos) << text;
    EXPECT_NE(text.find("restart: replaced C:\\WINNT\\system32\\LOCKED.DLL"), std::string::npos) << text;
    EXPECT_NE(text.find("restart: removed C:\\WINNT\\system32\\DOOMED.DLL"), std::string::npos) << text;
    EXPECT_TRUE(FExitExecRestart()) << "an empty list restarts with nothing to do";
}

TEST_F(ToolkitCalls, ARestartThatCannotReplaceAFileKeepsItAndTheRestQueued) {
    ASSERT_TRUE(FSetRestartDir("C:\\PENDING"));
    InUse("C:\\WINNT\\FIRST.DLL", "1");
    InUse("C:\\WINNT\\SECOND.DLL", "2");
    ASSERT_TRUE(FCopyOneFile("A:\\NEW.DLL", "C:\\WINNT\\FIRST.DLL", 2, FALSE));
    ASSERT_TRUE(FCopyOneFile("A:\\NEW.DLL", "C:\\WINNT\\SECOND.DLL", 2, FALSE));
    fs::path firstCopy = Host("C:\\PENDING\\RST00001.TMP");
    ASSERT_TRUE(fs::exists(firstCopy));
    fs::remove(firstCopy);

    EXPECT_FALSE(FExitExecRestart());
    EXPECT_NE(Log().find("error: the restart stopped: the new copy of C:\\WINNT\\FIRST.DLL, C:\\PENDING\\RST00001.TMP, is missing"),
              std::string::npos)
        << Log();
    std::vector<RestartEntry> entries;
    std::string error;
    ASSERT_TRUE(LoadRestartList(entries, error)) << error;
    ASSERT_EQ(entries.size(), 2u) << "nothing is lost";
    EXPECT_EQ(entries[1].destination, "C:\\WINNT\\SECOND.DLL");
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\SECOND.DLL")), "2");

    EXPECT_FALSE(FSetRestartDir("A:\\RESTART")) << "the setup disk is read-only";
    WriteText(machine / "restart.lst", "replace\tC:\\X.DLL\n");
    EXPECT_FALSE(FRestartListEmpty()) << "a list that cannot be read is not known to be empty";
    EXPECT_NE(Log().find("restart.lst, line 1: not"), std::string::npos) << Log();
}

TEST_F(ToolkitCalls, ProgramManagerKeepsGroupsItemsIconsAndShowCommands) {
    ASSERT_TRUE(FCreateProgManGroup("Orvalen", "ORVALEN.GRP", 0));
    ASSERT_TRUE(FCreateProgManItem("Orvalen", "Plotter Setup,A:\\ORV.ICO,2", "A:\\SETUP.EXE", 0));
    ASSERT_TRUE(FCreateProgManItem("Orvalen", "Read Me", "NOTEPAD.EXE README.TXT", 0));
    ASSERT_TRUE(FCreateProgManGroupEx("Plotters", "", 0, TRUE));
    ASSERT_TRUE(FCreateProgManItemEx("Plotters", TRUE, "Queue,QUEUE.ICO", "PRINTMAN.EXE", 0));
    ASSERT_TRUE(FShowProgManGroup("Orvalen", "3", 0));
    ASSERT_TRUE(FShowProgManGroupEx("Plotters", TRUE, "2", 0));

    EXPECT_EQ(ProgMan("Groups", "Orvalen"), "ORVALEN.GRP");
    EXPECT_EQ(ProgMan("Group Orvalen", "Plotter Setup"), "A:\\SETUP.EXE");
    EXPECT_EQ(ProgMan("Icons Orvalen", "Plotter Setup"), "A:\\ORV.ICO,2");
    EXPECT_EQ(ProgMan("Group Orvalen", "Read Me"), "NOTEPAD.EXE README.TXT");
    EXPECT_EQ(ProgMan("Icons Orvalen", "Read Me"), std::nullopt);
    EXPECT_EQ(ProgMan("Show Groups", "Orvalen"), "3");
    EXPECT_EQ(ProgMan("Common Groups", "Plotters"), "");
    EXPECT_EQ(ProgMan("Groups", "Plotters"), std::nullopt) << "common groups are kept apart";
    EXPECT_EQ(ProgMan("Common Group Plotters", "Queue"), "PRINTMAN.EXE");
    EXPECT_EQ(ProgMan("Common Icons Plotters", "Queue"), "QUEUE.ICO");
    EXPECT_EQ(ProgMan("Show Common Groups", "Plotters"), "2");

    ASSERT_TRUE(FCreateProgManItem("Orvalen", "Plotter Setup", "A:\\SETUP.EXE /r", 0));
    EXPECT_EQ(ProgMan("Icons Orvalen", "Plotter Setup"), std::nullopt) << "made again without an icon";
    ASSERT_TRUE(FCreateProgManGroup("Orvalen", "", 0));
    EXPECT_EQ(ProgMan("Groups", "Orvalen"), "ORVALEN.GRP") << "asking again keeps the group file";

    struct Refused {
        const char *group;
        const char *command;
        BOOL common;
        const char *reason;
    };
    for (const Refused &c : {Refused{"Orvalen", "max", FALSE, "the show command \"max\" for group Orvalen is not a number"},
                             Refused{"Orvalen", "-1", FALSE, "the show command -1 for group Orvalen is not one of 1 to 8"},
                             Refused{"Orvalen", "", FALSE, "is not a number"},
                             Refused{"Absent", "1", FALSE, "there is no group Absent in PROGMAN.INI [Groups]"},
                             Refused{"Orvalen", "1", TRUE, "there is no common group Orvalen in PROGMAN.INI [Common Groups]"}}) {
        EXPECT_FALSE(FShowProgManGroupEx(c.group, c.common, c.command, 0)) << c.command;
        EXPECT_NE(Log().find(c.reason), std::string::npos) << c.reason;
    }
    EXPECT_EQ(ProgMan("Show Groups", "Orvalen"), "3") << "a refused command changes nothing";
    EXPECT_FALSE(FCreateProgManItem("Orvalen", ",ICON.ICO", "X.EXE", 0));
    EXPECT_FALSE(FCreateProgManItem("Bad]Group", "Item", "X.EXE", 0));
    EXPECT_FALSE(FCreateProgManItem("Orvalen", "Item", "", 0));
}

TEST_F(ToolkitCalls, DriversInConfigSysOnTheBootDrive) {
    EXPECT_FALSE(FIsDriverInConfig("HIMEM.SYS")) << "no CONFIG.SYS";
    WriteText(Host("C:\\CONFIG.SYS"),
              "REM DEVICE=C:\\DOS\\OLD.SYS\r\n"
              "device=c:\\dos\\himem.sys\r\n"
              "DEVICEHIGH /L:1,12048 =C:\\DOS\\ANSI.SYS /X\r\n"
              "  DeviceHigh = /S C:\\ORV\\PLOTPORT.SYS\r\n"
              "FILES=40\r\n"
              "INSTALL=C:\\DOS\\SHARE.EXE\r\n");
    struct Case {
        const char *driver;
        BOOL expected;
    };
    for (const Case &c : {Case{"HIMEM.SYS", TRUE}, Case{"himem", TRUE}, Case{"C:\\OTHER\\HIMEM.SYS", TRUE},
                          Case{"ANSI.SYS", TRUE}, Case{"PLOTPORT.SYS", TRUE}, Case{"OLD.SYS", FALSE},
                          Case{"SHARE.EXE", FALSE}, Case{"FILES", FALSE}, Case{"HIMEM.EXE", FALSE}, Case{"", FALSE}}) {
        EXPECT_EQ(FIsDriverInConfig(c.driver), c.expected) << c.driver;
    }
}

TEST_F(ToolkitCalls, FixedValuesOfTheBinding) {
    // FCopyOneFile: bit 1 keeps a newer file, bit 2 verifies; appending keeps the old start.
    WriteText(Host("C:\\WINNT\\NEWER.DLL"), "VERSION=3.0\r\n");
    ASSERT_TRUE(FCopyOneFile("A:\\NEW.DLL", "C:\\WINNT\\NEWER.DLL", 1 | 2, FALSE));
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\NEWER.DLL")), "VERSION=3.0\r\n");
    EXPECT_NE(Log().find("kept C:\\WINNT\\NEWER.DLL (version 3.0), newer than A:\\NEW.DLL (version 2.1.0.4)"), std::string::npos);
    ASSERT_TRUE(FCopyOneFile("A:\\NEW.DLL", "C:\\WINNT\\NEWER.DLL", 2, FALSE));
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\NEWER.DLL")), ReadText(disk / "NEW.DLL"));
    WriteText(Host("C:\\WINNT\\OLDER.DLL"), "VERSION=2.0.9\r\n");
    ASSERT_TRUE(FCopyOneFile("A:\\NEW.DLL", "C:\\WINNT\\OLDER.DLL", 1 | 2, FALSE));
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\OLDER.DLL")), ReadText(disk / "NEW.DLL"));
    WriteText(Host("C:\\WINNT\\JOINED.TXT"), "head|");
    ASSERT_TRUE(FCopyOneFile("A:\\NEW.DLL", "C:\\WINNT\\JOINED.TXT", 2, TRUE));
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\JOINED.TXT")), "head|" + ReadText(disk / "NEW.DLL"));
    EXPECT_NE(Log().find("copied A:\\NEW.DLL -> C:\\WINNT\\JOINED.TXT (verified)"), std::string::npos);

    // YnrcBackupFile: mode 0 moves the file to its backup name, another mode copies it.
    WriteText(Host("C:\\WINNT\\KEEP.INI"), "k");
    ASSERT_EQ(YnrcBackupFile("C:\\WINNT\\KEEP.INI", "KEEP.BAK", 1), 1);
    EXPECT_TRUE(fs::exists(Host("C:\\WINNT\\KEEP.INI")));
    ASSERT_EQ(YnrcBackupFile("C:\\WINNT\\KEEP.INI", "KEEP.OLD", 0), 1);
    EXPECT_FALSE(fs::exists(Host("C:\\WINNT\\KEEP.INI")));
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\KEEP.OLD")), "k");
    EXPECT_EQ(ReadText(Host("C:\\WINNT\\KEEP.BAK")), "k");
    EXPECT_EQ(YnrcBackupFile("C:\\WINNT\\KEEP.INI", "KEEP.OLD", 0), 1) << "a file that is gone needs no backup";

    // FWriteToLogFile: 1 copies the line into the setup log too, 0 does not.
    ASSERT_TRUE(FOpenLogFile("C:\\TEMP\\ORVALEN.LOG", FALSE));
    ASSERT_TRUE(FWriteToLogFile("into both", 1));
    ASSERT_TRUE(FWriteToLogFile("into the file only", 0));
    ASSERT_TRUE(FCloseLogFile());
    EXPECT_EQ(ReadText(Host("C:\\TEMP\\ORVALEN.LOG")), "into both\r\ninto the file only\r\n");
    EXPECT_NE(Log().find("program log: into both"), std::string::npos);
    EXPECT_EQ(Log().find("into the file only"), std::string::npos);

    // FSetSymbolToListOfInfKeys with 1: an unkeyed line is an empty item, so that the
    // keys line up with the field lists of FMakeListInfSectionField.
    char path[300];
    ASSERT_EQ(WFindFileUsingFileOpen("setup.inf", path, sizeof path), 0);
    ASSERT_TRUE(FOpenInf(path, 1, 0));
    ASSERT_TRUE(FSetSymbolToListOfInfKeys("keys", "Files", 1));
    EXPECT_EQ(Symbols().Items("keys"), (std::vector<std::string>{"new", ""}));
    ASSERT_TRUE(FMakeListInfSectionField("versions", "Files", 19));
    EXPECT_EQ(Symbols().Items("versions"), (std::vector<std::string>{"2.1.0.4", ""}));

    // FSetSilent: message boxes go to the log only.
    ASSERT_TRUE(FSetSilent(TRUE));
    DoMsgBox("Quietly said.", "Note", 0);
    ASSERT_TRUE(FSetSilent(FALSE));
    DoMsgBox("Said aloud.", "Note", 0);
    ASSERT_EQ(TheScript().messages.size(), 1u);
    EXPECT_EQ(TheScript().messages[0].second, "Said aloud.");
    EXPECT_NE(Log().find("message box [Note]: Quietly said."), std::string::npos);
}

TEST_F(ToolkitCalls, AFailingCallAnswersFailureAndLogsWhy) {
    WriteText(Host("C:\\WINNT\\FULL\\ONE.TXT"), "1");
    struct Case {
        const char *call;
        std::function<bool()> fails;
        const char *reason;
    };
    char small[8];
    const std::vector<Case> cases = {
        {"FCreateDir", [] { return !FCreateDir("A:\\NEWDIR", 0); }, "FCreateDir: A:\\NEWDIR: the drive is read-only"},
        {"FRemoveDir", [] { return !FRemoveDir("C:\\WINNT\\FULL"); }, "cannot remove the folder C:\\WINNT\\FULL: "},
        {"YnrcRemoveFile", [] { return YnrcRemoveFile("A:\\", "NEW.DLL") == 0; }, "YnrcRemoveFile: A:\\NEW.DLL: the drive is read-only"},
        {"YnrcBackupFile", [] { return YnrcBackupFile("C:\\WINNT\\FULL\\ONE.TXT", "", 0) == 0; },
         "YnrcBackupFile: no backup name given for C:\\WINNT\\FULL\\ONE.TXT"},
        {"FOpenLogFile", [] { return !FOpenLogFile("C:\\NOFOLDER\\X.LOG", FALSE); },
         "cannot open the log file C:\\NOFOLDER\\X.LOG: its folder does not exist"},
        {"FWriteToLogFile", [] { return !FWriteToLogFile("lost line", 1); },
         "cannot write to the program log, no log file is open: lost line"},
        {"FCloseLogFile", [] { return !FCloseLogFile(); }, "FCloseLogFile: no log file is open"},
        {"FDumpCopyListToFile", [] { return !FDumpCopyListToFile("A:\\LIST.TXT"); },
         "cannot write the copy list to A:\\LIST.TXT: the drive is read-only"},
        {"FPrependToPath", [&] { return !FPrependToPath("C:\\BIN", "C:\\ORV", small, sizeof small); },
         "FPrependToPath: the list with C:\\ORV first is 13 characters, more than the buffer of 8 bytes holds"},
        {"FGetValidDrivesList", [] { return !FGetValidDrivesList(""); }, "FGetValidDrivesList: no list symbol given"},
        {"FGetProcessorType", [&] { return !FGetProcessorType(nullptr, 0, small, 4); },
         "FGetProcessorType: the processor name PENTIUM does not fit the caller's buffer of 4 bytes"},
        {"FCopyOneFile", [] { return !FCopyOneFile("A:\\ABSENT.DLL", "C:\\WINNT\\ABSENT.DLL", 2, FALSE); },
         "cannot copy A:\\ABSENT.DLL: the file does not exist"},
        {"FSetSymbolToListOfInfKeys", [] { return !FSetSymbolToListOfInfKeys("keys", "Files", 1); },
         "section [Files] is missing from the INF file, which is not open"},
        {"FReplaceListItem", [] { return !FReplaceListItem("nolist", 1, "x"); }, "FReplaceListItem: the list nolist has 0 items, no item 1"},
        {"FSetRestartDir", [] { return !FSetRestartDir("C:\\WINNT\\FULL\\ONE.TXT"); },
         "the restart folder C:\\WINNT\\FULL\\ONE.TXT is a file"},
    };
    for (const auto &c : cases) {
        ClearLastToolkitError();
        EXPECT_TRUE(c.fails()) << c.call << " answered success";
        EXPECT_NE(LastToolkitError().find(c.reason), std::string::npos) << c.call << ": " << LastToolkitError();
        EXPECT_NE(Log().find("error: " + LastToolkitError()), std::string::npos) << c.call << " left nothing in the log";
    }

    // Queries answer; they are not failures and log no error.
    ClearLastToolkitError();
    EXPECT_FALSE(FIsValidDrive(17));
    EXPECT_FALSE(FDoesFileExist("C:\\ABSENT.TXT", 0));
    EXPECT_FALSE(FIsDriverInConfig("HIMEM.SYS"));
    EXPECT_EQ(LastToolkitError(), "");
}

}  // namespace
