// The registry library's key operations on the workstation's own registry: a fresh
// machine per test, the toolkit's frame up with the unattended front end, and the
// registry library loaded through the workstation's LoadLibraryA/GetProcAddress. The
// ways that end in the fatal stop run as death tests; their messages are on stderr.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/toolkit/frontend.h"
#include "host/toolkit/setup_log.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/workstation/machine.h"
#include "include/setup_state.h"
#include "platform/registry.h"
#include "platform/toolkit.h"
#include "registry/registry_api.h"
#include "registry/registry_keys.h"

namespace {
// Set in a death test's child, which abandons the parent's database connection on
// purpose (closing it there would disturb the parent's), so that memory is no leak.
bool g_abandonedParentMachine = false;
}  // namespace

// The leak check at exit, which the address-sanitized build runs, asks this first.
extern "C" int __lsan_is_turned_off() { return g_abandonedParentMachine ? 1 : 0; }

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// What the unattended front end writes for a report of `label`, for the fatal dialog
// and for the overflow message.
std::string ReportOf(const std::string &label) { return "\\[Setup Error\\] Setup error 104: " + label + "\\."; }
const std::string FatalDialog = "\\[Setup Error\\] Setup cannot go on because of an error";
const std::string AnyText = "(.|\n)*";

// The setup ends with code 0 on every way out; the frame turns that into the exit
// status of the run's outcome, here the fatal one.
::testing::ExitedWithCode EndedInTheFatalStop() {
    return ::testing::ExitedWithCode(orv::toolkit::OutcomeExitStatus(orv::toolkit::Outcome::Fatal));
}

class RegistryLibraryTest : public ::testing::Test {
protected:
    fs::path root;
    fs::path machine;

    void SetUp() override {
        char pattern[] = "/tmp/orv-registry-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        machine = root / "machine";
        fs::path disk = root / "disk";
        fs::create_directories(disk);
        ResetSetupState();
        ResetRegistryApi();
        orv::toolkit::ResetDialogLibrary();
        orv::toolkit::ResetRunLog();
        orv::toolkit::ResetFrameForTesting();
        orv::toolkit::ClearLastToolkitError();
        orv::toolkit::SetFrontEndFactory(nullptr);
        std::string tail = "--machine \"" + machine.string() + "\" --disk \"" + disk.string() + "\" --unattended";
        ASSERT_EQ(InitializeFrame(tail.c_str()), 1);
        ASSERT_TRUE(FInitializeInstall(HinstFrame(), HwndFrame()));
        ASSERT_EQ(LoadRegistryApi(), 1);
    }

    void TearDown() override {
        FreeRegistryApi();
        ResetRegistryApi();
        TerminateFrame();
        TerminateInstall();
        orv::toolkit::ResetFrameForTesting();
        orv::toolkit::ResetRunLog();
        orv::host::CloseMachine();
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    // In a death test's child: the machine opened afresh, so that what the child
    // changes is in the parent's machine afterwards.
    void ReopenMachineInChild() {
        g_abandonedParentMachine = true;
        orv::host::AbandonMachineAfterFork();
        std::string error;
        if (!orv::host::OpenMachine(machine, false, error)) std::_Exit(3);
    }
};

bool KeyExists(HKEY rootKey, const std::string &path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

Strings SubKeys(HKEY rootKey, const std::string &path) {
    Strings names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    char name[256];
    for (DWORD index = 0; RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS; ++index) names.push_back(name);
    RegCloseKey(key);
    return names;
}

void AddKey(HKEY rootKey, const std::string &path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(rootKey, path.c_str(), &key), ERROR_SUCCESS) << path;
    RegCloseKey(key);
}

// Plot\{a\{x, y\{deep}}, b, c\{z}}, with a sibling and a parent that must stay.
void AddTree(HKEY rootKey) {
    for (const char *path : {"Orvalen\\Plot\\a\\x", "Orvalen\\Plot\\a\\y\\deep", "Orvalen\\Plot\\b",
                             "Orvalen\\Plot\\c\\z", "Orvalen\\Plotter\\keep"}) {
        AddKey(rootKey, path);
    }
}

TEST_F(RegistryLibraryTest, ValuesWrittenUnderTheClassesRootAreReadBack) {
    CreateRegKeyValue("Orvalen.Plot", "Plot file");
    CreateRegKey("Orvalen.Plot\\Shell");
    EXPECT_EQ(DoesRegKeyExist("Orvalen.Plot\\Shell"), 1);
    // The classes root is the machine's SOFTWARE\Classes.
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Orvalen.Plot\\Shell"));
    char buffer[256];
    EXPECT_STREQ(GetRegKeyValue("Orvalen.Plot", buffer, 255), "Plot file");
    SetRegKeyValue("Orvalen.Plot", "Orvalen plot");
    EXPECT_STREQ(GetRegKeyValue("Orvalen.Plot", buffer, 255), "Orvalen plot");

    CreateRegKeyEx(HKEY_CURRENT_USER, "Software\\Orvalen");
    const DWORD pens = 8;
    CreateRegKeyValueEx(HKEY_CURRENT_USER, "Software\\Orvalen", "Pens", REG_DWORD,
                        reinterpret_cast<const BYTE *>(&pens), sizeof pens);
    DWORD type = 0;
    DWORD read = 0;
    EXPECT_EQ(GetRegKeyValueEx(HKEY_CURRENT_USER, "Software\\Orvalen", "Pens", &type,
                               reinterpret_cast<LPBYTE>(&read), sizeof read),
              0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(read, 8u);
    EXPECT_EQ(DoesRegKeyExistEx(HKEY_CURRENT_USER, "Software\\Missing"), 0);
    EXPECT_TRUE(orv::toolkit::LastToolkitError().empty());
}

TEST_F(RegistryLibraryTest, ReadsOfAMissingKeyAnswerWithoutAReport) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetRegKeyValue("Orvalen.Missing", buffer, 15), buffer);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'x');
    DWORD type = 77;
    char data[8] = "keepme";
    EXPECT_EQ(GetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Missing", "Model", &type,
                               reinterpret_cast<LPBYTE>(data), sizeof data),
              RegistryNoSuchKey);
    EXPECT_EQ(type, 77u);
    EXPECT_STREQ(data, "keepme");
    EXPECT_TRUE(orv::toolkit::LastToolkitError().empty());
}

TEST_F(RegistryLibraryTest, ATextOfExactlyTheSizeFitsAndEndsAfterItsTerminator) {
    CreateRegKeyValue("Orvalen.Plot", "abcd");
    char buffer[6];
    std::memset(buffer, 'x', sizeof buffer);
    GetRegKeyValue("Orvalen.Plot", buffer, 5);
    EXPECT_EQ(std::string(buffer, 6), std::string("abcd\0\0", 6));
}

TEST_F(RegistryLibraryTest, ATextLongerThanTheSizeStops) {
    CreateRegKeyValue("Orvalen.Plot", "abcd");
    // Into a buffer too small, the query itself fails.
    EXPECT_EXIT(
        {
            ReopenMachineInChild();
            char buffer[5];
            GetRegKeyValue("Orvalen.Plot", buffer, 4);
        },
        EndedInTheFatalStop(), ReportOf("GetRegKeyValue") + AnyText + FatalDialog);
    // Without a buffer the query answers the size it needs: the overflow message.
    EXPECT_EXIT(
        {
            ReopenMachineInChild();
            GetRegKeyValue("Orvalen.Plot", nullptr, 4);
        },
        EndedInTheFatalStop(), "\\[MS-Setup Error\\] Buffer Overflow" + AnyText + FatalDialog);
}

TEST_F(RegistryLibraryTest, ExWritesOnAMissingKeyReportTheOpenAndStop) {
    const BYTE *text = reinterpret_cast<const BYTE *>("Quillon");
    EXPECT_EXIT(
        {
            ReopenMachineInChild();
            CreateRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Missing", "Model", REG_SZ, text, 8);
        },
        EndedInTheFatalStop(), ReportOf("CreateRegKeyValueEx:open") + AnyText + FatalDialog);
    EXPECT_EXIT(
        {
            ReopenMachineInChild();
            SetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Missing", "Model", REG_SZ, text, 8);
        },
        EndedInTheFatalStop(), ReportOf("SetRegKeyValueEx:open") + AnyText + FatalDialog);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Missing"));
}

TEST_F(RegistryLibraryTest, AnEntryPointNotFoundFailsItsStep) {
    AddKey(HKEY_LOCAL_MACHINE, "Software\\Orvalen");
    const BYTE *text = reinterpret_cast<const BYTE *>("Quillon");
    EXPECT_EXIT(
        {
            ReopenMachineInChild();
            RegistryApi.RegSetValueExA = nullptr;
            SetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", REG_SZ, text, 8);
        },
        EndedInTheFatalStop(), ReportOf("SetRegKeyValueEx") + AnyText + FatalDialog);
}

TEST_F(RegistryLibraryTest, DeletingAMissingKeyDoesNothing) {
    AddTree(HKEY_CLASSES_ROOT);
    DeleteAllSubKeys("Orvalen\\Missing");
    DeleteAllSubKeysEx(HKEY_LOCAL_MACHINE, "Software\\Missing");
    EXPECT_EQ(SubKeys(HKEY_CLASSES_ROOT, "Orvalen"), (Strings{"Plot", "Plotter"}));
    EXPECT_TRUE(orv::toolkit::LastToolkitError().empty());
}

TEST_F(RegistryLibraryTest, AKeyWithoutSubkeysIsDeletedAlone) {
    AddTree(HKEY_CLASSES_ROOT);
    DeleteAllSubKeys("Orvalen\\Plot\\b");
    EXPECT_EQ(SubKeys(HKEY_CLASSES_ROOT, "Orvalen\\Plot"), (Strings{"a", "c"}));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Orvalen\\Plot\\a\\y\\deep"));
    EXPECT_TRUE(orv::toolkit::LastToolkitError().empty());
}

TEST_F(RegistryLibraryTest, ATreeIsDeletedWholeAndItsNeighboursStay) {
    AddTree(HKEY_CLASSES_ROOT);
    AddTree(HKEY_CURRENT_USER);
    DeleteAllSubKeys("Orvalen\\Plot");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Orvalen\\Plot"));
    EXPECT_EQ(SubKeys(HKEY_CLASSES_ROOT, "Orvalen"), Strings{"Plotter"});
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Orvalen\\Plotter\\keep"));
    DeleteAllSubKeysEx(HKEY_CURRENT_USER, "Orvalen\\Plot\\a");
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, "Orvalen\\Plot"), (Strings{"b", "c"}));
    EXPECT_TRUE(orv::toolkit::LastToolkitError().empty());
}

TEST_F(RegistryLibraryTest, ATreeWithPathsLongerThanTheFormatterTakesIsDeleted) {
    std::string path = "Orvalen";
    for (char level = 'a'; level <= 'e'; ++level) path += "\\" + std::string(250, level);
    AddKey(HKEY_LOCAL_MACHINE, path);
    AddKey(HKEY_LOCAL_MACHINE, "Orvalen\\" + std::string(250, 'a') + "\\short");
    DeleteAllSubKeysEx(HKEY_LOCAL_MACHINE, "Orvalen");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Orvalen"));
    EXPECT_TRUE(orv::toolkit::LastToolkitError().empty());
}

// Refuses the delete of one key, as when it stays for a reason of the workstation's.
LONG DeleteRefusingPlot(HKEY rootKey, LPCSTR subKey) {
    if (std::strcmp(subKey, "Orvalen\\Plot") == 0) return static_cast<LONG>(ERROR_ACCESS_DENIED);
    return RegDeleteKeyA(rootKey, subKey);
}

TEST_F(RegistryLibraryTest, AFailedDeleteAtTheLastStepStillCountsAsDone) {
    AddTree(HKEY_CLASSES_ROOT);
    RegistryApi.RegDeleteKeyA = &DeleteRefusingPlot;
    EXPECT_EQ(DeleteRegKeyTree(HKEY_CLASSES_ROOT, "Orvalen\\Plot"), 1);
    DeleteAllSubKeys("Orvalen\\Plot");  // no stop
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Orvalen\\Plot"));
    EXPECT_TRUE(SubKeys(HKEY_CLASSES_ROOT, "Orvalen\\Plot").empty());
    EXPECT_TRUE(orv::toolkit::LastToolkitError().empty());
}

// Refuses the open of one key deep in the tree.
LONG OpenRefusingDeep(HKEY rootKey, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    if (std::strcmp(subKey, "Orvalen\\Plot\\a\\y\\deep") == 0) return static_cast<LONG>(ERROR_ACCESS_DENIED);
    return RegOpenKeyExA(rootKey, subKey, options, access, result);
}

TEST_F(RegistryLibraryTest, AFailureDeepInTheTreeReportsTwiceAndKeepsWhatWasDeleted) {
    AddTree(HKEY_CLASSES_ROOT);
    EXPECT_EXIT(
        {
            ReopenMachineInChild();
            RegistryApi.RegOpenKeyExA = &OpenRefusingDeep;
            DeleteAllSubKeys("Orvalen\\Plot");
        },
        EndedInTheFatalStop(),
        ReportOf("DeleteAllSubKeys:open") + "\n" + AnyText + ReportOf("DeleteAllSubKeys") + "\n" + AnyText +
            FatalDialog);
    // The children from the highest index down: c and b went before a failed.
    EXPECT_EQ(SubKeys(HKEY_CLASSES_ROOT, "Orvalen\\Plot"), Strings{"a"});
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Orvalen\\Plot\\a\\y\\deep"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Orvalen\\Plot\\a\\x"));
}

}  // namespace
