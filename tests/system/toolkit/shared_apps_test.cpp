// Tests of the shared application directory and the shared-file lookup on the fake
// platform, with WIN.INI kept in the fake's INI store: the "MSAPPS" set-up and its
// once-only guard, the version comparison, the order registry - WIN.INI - default,
// the outdated flag, and paths too long for the working buffers.
#include "toolkit/shared_apps.h"

#include "include/setup_state.h"
#include "registry/registry_api.h"
#include "tests/fake/fake_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char *RegPath = "Orv.SharedComponent";

class SharedApps : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        fake::UseIniStore();
        ASSERT_EQ(LoadRegistryApi(), 1);
    }

    static void SetRegistryPath(const std::string &path) {
        fake::SetRegistryValue(std::string("HKEY_CLASSES_ROOT\\") + RegPath, "", path);
    }

    // A file the lookup can find, with its version.
    static void PutFile(const std::string &path, const std::string &version, bool writable = true) {
        fake::SetFileExists(path, true);
        fake::SetFileVersion(path, version);
        fake::SetFileWritable(path, writable);
    }

    static std::string Found(LPCSTR answer) { return answer == nullptr ? "(null)" : answer; }
};

// ---- Versions ----

TEST_F(SharedApps, CompareVersionsOnTheFirstFourFields) {
    struct Case {
        const char *found;
        const char *required;
        int answer;
    };
    const Case cases[] = {
        {"", "", 0},
        {"", "1.0", -1},
        {"0.0.0.0", "", 1},
        {"1.0", "", 1},
        {"1.2.3.4", "1.2.3.4", 0},
        {"1.2.3.4.9", "1.2.3.4.1", 0},  // a fifth field is never compared
        {"2.0.0.0", "1.9.9.9", 1},
        {"1.0.0.0", "2.0.0.0", -1},
        {"1.3.0.0", "1.2.9.9", 1},
        {"1.2.0.0", "1.3.0.0", -1},
        {"1.2.4.0", "1.2.3.9", 1},
        {"1.2.3.0", "1.2.4.0", -1},
        {"1.2.3.5", "1.2.3.4", 1},
        {"1.2.3.4", "1.2.3.5", -1},
        {"1.2", "1.2.0.0", 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CompareVersions(c.found, c.required), c.answer) << c.found << " vs " << c.required;
    }
    // Fields are compared as signed numbers.
    fake::FailCall("LGetVersionNthField", {.result = -1, .times = 1});
    fake::FailCall("LGetVersionNthField", {.result = 1, .times = 1});
    EXPECT_EQ(CompareVersions("x", "y"), -1);
}

// ---- The shared directory ----

TEST_F(SharedApps, FirstSetUpWritesMsappsUnderTheWindowsDirectoryAndTheEightKeysInOrder) {
    EXPECT_EQ(SetUpSharedAppsDir(), 1);
    EXPECT_EQ(g_state.g_sharedDirPending, 0);
    std::vector<std::string> expected{"FCreateIniKeyValue(WIN.INI,MSAPPS,MSAPPS,C:\\WINNT\\MSAPPS,1024)"};
    for (const char *key : {"CLIPART", "EQUATION", "GRPHFLT", "MSDRAW", "MSGRAPH", "PROOF", "TEXTCONV", "WORDART"}) {
        expected.push_back(std::string("FCreateIniKeyValue(WIN.INI,MSAPPS,") + key + ",C:\\WINNT\\MSAPPS\\" + key +
                           ",1024)");
    }
    EXPECT_EQ(fake::CallTexts({"FCreateIniKeyValue"}), expected);
    EXPECT_EQ(fake::IniValue("WIN.INI", "MSAPPS", "PROOF"), "C:\\WINNT\\MSAPPS\\PROOF");
}

TEST_F(SharedApps, ValidEntriesAreLeftAsTheyAreAndAnInvalidOneIsRewritten) {
    fake::SetIniValue("WIN.INI", "MSAPPS", "MSAPPS", "D:\\SHARED\\");
    fake::SetIniValue("WIN.INI", "MSAPPS", "EQUATION", "E:\\EQ");
    fake::SetIniValue("WIN.INI", "MSAPPS", "PROOF", "X:\\GONE");
    fake::SetValidDir("X:\\GONE", false);

    EXPECT_EQ(SetUpSharedAppsDir(), 1);
    std::vector<std::string> written;
    for (const fake::Call &call : fake::Calls()) {
        if (call.name == "FCreateIniKeyValue") written.push_back(call.args[2] + "=" + call.args[3]);
    }
    EXPECT_EQ(written, (std::vector<std::string>{"CLIPART=D:\\SHARED\\CLIPART", "GRPHFLT=D:\\SHARED\\GRPHFLT",
                                                 "MSDRAW=D:\\SHARED\\MSDRAW", "MSGRAPH=D:\\SHARED\\MSGRAPH",
                                                 "PROOF=D:\\SHARED\\PROOF", "TEXTCONV=D:\\SHARED\\TEXTCONV",
                                                 "WORDART=D:\\SHARED\\WORDART"}));
    EXPECT_EQ(fake::IniValue("WIN.INI", "MSAPPS", "EQUATION"), "E:\\EQ");
}

TEST_F(SharedApps, SetUpIsTriedOnceEvenWhenItFailed) {
    fake::FailCall("FCreateIniKeyValue", {.result = 0, .times = 1});
    EXPECT_EQ(SetUpSharedAppsDir(), 0);
    EXPECT_EQ(fake::CountCalls("FCreateIniKeyValue"), 1);  // no subdirectory keys after a failed base

    fake::ClearCalls();
    EXPECT_EQ(SetUpSharedAppsDir(), 1);
    EXPECT_EQ(SetUpSharedAppsDir(), 1);
    EXPECT_TRUE(fake::Calls().empty());  // WIN.INI is not even read
}

TEST_F(SharedApps, SetUpFailsWhenTheWrittenDirectoryIsNotValid) {
    fake::SetValidDir("C:\\WINNT\\MSAPPS", false);
    EXPECT_EQ(SetUpSharedAppsDir(), 0);
    EXPECT_EQ(fake::CallTexts({"FCreateIniKeyValue"}),
              std::vector<std::string>{"FCreateIniKeyValue(WIN.INI,MSAPPS,MSAPPS,C:\\WINNT\\MSAPPS,1024)"});
}

TEST_F(SharedApps, FirstFailingSubdirectoryKeyLeavesTheLaterOnesUntouched) {
    fake::SetIniValue("WIN.INI", "MSAPPS", "MSAPPS", "D:\\SHARED");
    fake::SetIniValue("WIN.INI", "MSAPPS", "CLIPART", "D:\\SHARED\\CLIPART");
    fake::SetIniValue("WIN.INI", "MSAPPS", "EQUATION", "D:\\SHARED\\EQUATION");
    fake::FailCall("FCreateIniKeyValue", {.result = 0, .times = 1});

    EXPECT_EQ(SetUpSharedAppsDir(), 0);
    EXPECT_EQ(fake::CallTexts({"FCreateIniKeyValue"}),
              std::vector<std::string>{"FCreateIniKeyValue(WIN.INI,MSAPPS,GRPHFLT,D:\\SHARED\\GRPHFLT,1024)"});
    EXPECT_FALSE(fake::IniValue("WIN.INI", "MSAPPS", "MSDRAW").has_value());
}

TEST_F(SharedApps, EnsureSubdirKeyAnswersTheWriteAndNeverWritesACutValue) {
    fake::FailCall("FCreateIniKeyValue", {.result = 0, .times = 1});
    EXPECT_EQ(EnsureSharedSubdirKey("OWN", "D:\\S\\"), 0);
    EXPECT_NE(EnsureSharedSubdirKey("OWN", "D:\\S\\"), 0);
    EXPECT_EQ(fake::IniValue("WIN.INI", "MSAPPS", "OWN"), "D:\\S\\OWN");

    fake::ClearCalls();
    std::string longBase = "D:\\" + std::string(250, 'b') + "\\";  // 254 characters
    EXPECT_EQ(EnsureSharedSubdirKey("CLIPART2", longBase.c_str()), 0);
    EXPECT_EQ(fake::CountCalls("FCreateIniKeyValue"), 0);
}

// ---- The lookup: registry, then WIN.INI, then the default ----

TEST_F(SharedApps, RegistryCopyNotOlderThanRequiredIsTakenAndNeedsNoInstall) {
    for (const char *version : {"2.0.0.0", "1.5.0.0"}) {
        fake::Reset();
        fake::UseIniStore();
        ASSERT_EQ(LoadRegistryApi(), 1);
        SetRegistryPath("C:\\APPS\\SHARED.DLL");
        PutFile("C:\\APPS\\SHARED.DLL", version);
        g_state.g_sharedFileOutdated = 1;
        char out[256];
        EXPECT_EQ(Found(FindSharedFile(RegPath, "Orv", "Shared", 1, "D:\\DEF\\SHARED.DLL", "1.5.0.0", out, sizeof out)),
                  "C:\\APPS\\SHARED.DLL")
            << version;
        EXPECT_EQ(IsSharedFileOutdated(), 0) << version;
        EXPECT_EQ(fake::CountCalls("CbGetIniKeyString"), 0) << version;  // WIN.INI not consulted
    }
}

TEST_F(SharedApps, OlderRegistryCopyIsTakenWhenWritableAndPassedOverWhenNot) {
    SetRegistryPath("C:\\APPS\\SHARED.DLL");
    PutFile("C:\\APPS\\SHARED.DLL", "1.0.0.0");
    fake::SetIniValue("WIN.INI", "Orv", "Shared", "x, D:\\OTHER\\SHARED.DLL");
    PutFile("D:\\OTHER\\SHARED.DLL", "1.5.0.0");
    char out[256];

    EXPECT_EQ(Found(FindSharedFile(RegPath, "Orv", "Shared", 2, "D:\\DEF\\SHARED.DLL", "1.5.0.0", out, sizeof out)),
              "C:\\APPS\\SHARED.DLL");
    EXPECT_EQ(IsSharedFileOutdated(), 1);

    fake::SetFileWritable("C:\\APPS\\SHARED.DLL", false);
    EXPECT_EQ(Found(FindSharedFile(RegPath, "Orv", "Shared", 2, "D:\\DEF\\SHARED.DLL", "1.5.0.0", out, sizeof out)),
              "D:\\OTHER\\SHARED.DLL");
    EXPECT_EQ(IsSharedFileOutdated(), 0);
}

TEST_F(SharedApps, CandidateNotWhereItSaysIsFoundByNameInTheSystemDirectory) {
    SetRegistryPath("E:\\MOVED\\SHARED.DLL");
    fake::SetFileExists("E:\\MOVED\\SHARED.DLL", false);
    fake::SetFileExists("C:\\WINNT\\SHARED.DLL", false);
    PutFile("C:\\WINNT\\system32\\SHARED.DLL", "3.0");
    char out[256];
    EXPECT_EQ(Found(FindSharedFile(RegPath, "", "", 1, "D:\\DEF\\SHARED.DLL", "1.0", out, sizeof out)),
              "C:\\WINNT\\system32\\SHARED.DLL");
    EXPECT_EQ(IsSharedFileOutdated(), 0);
}

TEST_F(SharedApps, LocateFileByNameLooksInWindowsThenSystemThenAlongPath) {
    struct Case {
        bool inWindows;
        bool inSystem;
        const char *onPath;
        LONG size;
        const char *result;
    };
    const Case cases[] = {
        {true, true, "", 256, "C:\\WINNT\\A.DLL"},
        {false, true, "", 256, "C:\\WINNT\\system32\\A.DLL"},
        {false, false, "F:\\BIN\\A.DLL", 256, "F:\\BIN\\A.DLL"},
        {false, false, "", 256, ""},
        // A result longer than `out` holds leaves it empty rather than cut short.
        {false, true, "", 23, ""},
        {false, true, "", 24, "C:\\WINNT\\system32\\A.DLL"},
    };
    for (const Case &c : cases) {
        fake::Reset();
        fake::SetFileExists("C:\\WINNT\\A.DLL", c.inWindows);
        fake::SetFileExists("C:\\WINNT\\system32\\A.DLL", c.inSystem);
        fake::SetTextAnswer("CbFindTargetOnEnvVar", c.onPath);
        char out[256] = "junk";
        EXPECT_STREQ(LocateFileByName("A.DLL", out, c.size), c.result) << c.inWindows << c.inSystem << c.size;
    }
    char out[8] = "junk";
    EXPECT_STREQ(LocateFileByName(nullptr, out, sizeof out), "");
    EXPECT_EQ(LocateFileByName("A.DLL", nullptr, 256), nullptr);
}

TEST_F(SharedApps, NameTooLongForTheWindowsDirectoryIsLookedForInTheSystemDirectoryOnly) {
    fake::SetWindowsDirectory("C:\\" + std::string(200, 'w'));
    fake::SetSystemDirectory("C:\\S");
    std::string name(60, 'n');  // fits after "C:\S\" but not after the long Windows directory
    char out[256];
    EXPECT_EQ(std::string(LocateFileByName(name.c_str(), out, sizeof out)), "C:\\S\\" + name);
    EXPECT_EQ(fake::CountCalls("FDoesFileExist"), 1);
}

TEST_F(SharedApps, DefaultPathWhenNoSourceGivesAFile) {
    struct Case {
        bool exists;
        const char *version;
        int outdated;
    };
    const Case cases[] = {{false, "", 1}, {true, "1.0.0.0", 1}, {true, "1.5.0.0", 0}, {true, "2.0.0.0", 0}};
    for (const Case &c : cases) {
        fake::Reset();
        fake::UseIniStore();
        ASSERT_EQ(LoadRegistryApi(), 1);
        SetRegistryPath("");  // the key exists but names nothing
        fake::SetIniValue("WIN.INI", "Orv", "Shared", "");
        fake::SetFileExists("D:\\DEF\\SHARED.DLL", c.exists);
        fake::SetFileVersion("D:\\DEF\\SHARED.DLL", c.version);
        char out[256];
        EXPECT_EQ(Found(FindSharedFile(RegPath, "Orv", "Shared", 1, "D:\\DEF\\SHARED.DLL", "1.5.0.0", out, sizeof out)),
                  "D:\\DEF\\SHARED.DLL");
        EXPECT_EQ(IsSharedFileOutdated(), c.outdated) << c.exists << " " << c.version;
    }
}

TEST_F(SharedApps, DefaultPathAsLongAsTheBufferGivesNullAndNeedsInstall) {
    fake::SetFileVersion("D:\\A.DLL", "9.0");
    char out[16];
    g_state.g_sharedFileOutdated = 0;
    EXPECT_EQ(FindSharedFile("", "", "", 1, "D:\\A.DLL", "1.0", out, 8), nullptr);  // 8 characters
    EXPECT_STREQ(out, "");
    EXPECT_EQ(IsSharedFileOutdated(), 1);

    EXPECT_EQ(Found(FindSharedFile("", "", "", 1, "D:\\A.DLL", "1.0", out, 9)), "D:\\A.DLL");
    EXPECT_EQ(IsSharedFileOutdated(), 0);
}

TEST_F(SharedApps, EmptyHintsGoStraightToTheDefault) {
    SetRegistryPath("C:\\APPS\\SHARED.DLL");
    fake::SetIniValue("WIN.INI", "Orv", "Shared", "C:\\APPS\\SHARED.DLL");
    fake::SetFileExists("D:\\DEF\\SHARED.DLL", false);
    char out[256];
    for (const char *section : {"", "Orv"}) {
        const char *key = section[0] == '\0' ? "Shared" : "";  // one of the two empty is enough
        fake::ClearCalls();
        EXPECT_EQ(Found(FindSharedFile("", section, key, 1, "D:\\DEF\\SHARED.DLL", "1.0", out, sizeof out)),
                  "D:\\DEF\\SHARED.DLL");
        EXPECT_EQ(IsSharedFileOutdated(), 1);
        for (const std::string &name : fake::CallNames()) EXPECT_NE(name.rfind("Reg", 0), 0u) << name;
        EXPECT_EQ(fake::CountCalls("CbGetIniKeyString"), 0);
    }
    EXPECT_EQ(FindSharedFile(nullptr, nullptr, nullptr, 1, "D:\\DEF\\SHARED.DLL", "1.0", out, sizeof out), out);
}

TEST_F(SharedApps, MissingOutputBufferAnswersNullBeforeAnythingIsRead) {
    char out[4] = "abc";
    fake::ClearCalls();
    EXPECT_EQ(FindSharedFile(RegPath, "Orv", "Shared", 1, "D:\\A.DLL", "1.0", nullptr, 256), nullptr);
    EXPECT_EQ(FindSharedFile(RegPath, "Orv", "Shared", 1, "D:\\A.DLL", "1.0", out, 0), nullptr);
    EXPECT_EQ(CheckSharedCandidate("D:\\A.DLL", "1.0", out, 0), nullptr);
    EXPECT_EQ(FindSharedAppFile("Files", "shared", "ORV", RegPath, "Orv", "Shared", 1, nullptr, 256), nullptr);
    EXPECT_EQ(FindSharedAppFile("Files", "shared", "ORV", RegPath, "Orv", "Shared", 1, out, -1), nullptr);
    EXPECT_STREQ(out, "abc");
    EXPECT_TRUE(fake::Calls().empty());
    EXPECT_EQ(g_state.g_sharedDirPending, 1);
}

// ---- The file of an INF line in a shared subdirectory ----

class SharedAppFile : public SharedApps {
protected:
    void SetUp() override {
        SharedApps::SetUp();
        fake::SetInfField("Files", "shared", 1, "ORVSH.DLL");
        fake::SetInfField("Files", "shared", 19, "2.0.0.0");
    }
};

TEST_F(SharedAppFile, DefaultGoesIntoTheSubdirectoryOfItsKey) {
    fake::SetIniValue("WIN.INI", "MSAPPS", "MSAPPS", "D:\\SHARED");
    fake::SetIniValue("WIN.INI", "MSAPPS", "ORVLIB", "D:\\LIBS");
    fake::SetFileExists("D:\\LIBS\\ORVSH.DLL", false);
    char out[256];
    EXPECT_EQ(Found(FindSharedAppFile("Files", "shared", "ORVLIB", "", "", "", 1, out, sizeof out)),
              "D:\\LIBS\\ORVSH.DLL");
    EXPECT_EQ(IsSharedFileOutdated(), 1);
    EXPECT_EQ(g_state.g_sharedDirPending, 0);  // the set-up ran first
    EXPECT_EQ(fake::CallTexts({"CbGetInfSectionKeyField"}),
              (std::vector<std::string>{"CbGetInfSectionKeyField(Files,shared,1,247)",
                                        "CbGetInfSectionKeyField(Files,shared,19,31)"}));
}

TEST_F(SharedAppFile, MissingSubdirectoryKeyIsWrittenUnderMsapps) {
    fake::SetIniValue("WIN.INI", "MSAPPS", "MSAPPS", "D:\\SHARED");
    PutFile("D:\\SHARED\\ORVLIB\\ORVSH.DLL", "2.0.0.0");
    char out[256];
    EXPECT_EQ(Found(FindSharedAppFile("Files", "shared", "ORVLIB", "", "", "", 1, out, sizeof out)),
              "D:\\SHARED\\ORVLIB\\ORVSH.DLL");
    EXPECT_EQ(IsSharedFileOutdated(), 0);
    EXPECT_EQ(fake::IniValue("WIN.INI", "MSAPPS", "ORVLIB"), "D:\\SHARED\\ORVLIB");
}

TEST_F(SharedAppFile, AnswersNullWithoutADirectoryOrAnInfField) {
    char out[256];
    g_state.g_sharedDirPending = 0;  // set-up already tried, and nothing recorded
    EXPECT_EQ(FindSharedAppFile("Files", "shared", "ORVLIB", "", "", "", 1, out, sizeof out), nullptr);

    fake::SetIniValue("WIN.INI", "MSAPPS", "ORVLIB", "D:\\LIBS");
    fake::FailCall("CbGetInfSectionKeyField", {.result = -1, .times = 1});
    EXPECT_EQ(FindSharedAppFile("Files", "shared", "ORVLIB", "", "", "", 1, out, sizeof out), nullptr);

    fake::FailCall("CbGetInfSectionKeyField", {.result = 9, .times = 1});
    fake::FailCall("CbGetInfSectionKeyField", {.result = -1, .times = 1});
    EXPECT_EQ(FindSharedAppFile("Files", "shared", "ORVLIB", "", "", "", 1, out, sizeof out), nullptr);
    EXPECT_EQ(fake::CountCalls("FDoesFileExist"), 0);
}

TEST_F(SharedAppFile, FileNameThatDoesNotFitAfterTheDirectoryGivesNoPath) {
    std::string dir = "D:\\" + std::string(240, 'd');  // 243 characters, 244 with the backslash
    fake::SetIniValue("WIN.INI", "MSAPPS", "ORVLIB", dir);
    // 255 - 244 = 11 bytes are offered for the name: 10 characters and the terminator.
    fake::SetInfField("Files", "shared", 1, "ORVSH.DLL01");
    char out[300];
    EXPECT_EQ(FindSharedAppFile("Files", "shared", "ORVLIB", "", "", "", 1, out, sizeof out), nullptr);
    EXPECT_EQ(fake::CountCalls("FDoesFileExist"), 0);

    fake::SetInfField("Files", "shared", 1, "ORVSH.DLL0");
    EXPECT_EQ(Found(FindSharedAppFile("Files", "shared", "ORVLIB", "", "", "", 1, out, sizeof out)),
              dir + "\\ORVSH.DLL0");
}

}  // namespace
