// The registry library's key operations other than the tree deletion: keys created,
// values written and read, the existence tests, the labels of every failed step, and
// what an operation does without its entry point.
#include "tests/system/registry/registry_fixture.h"

#include <cstring>
#include <functional>

#include "include/setup_state.h"

namespace registry_test {
namespace {

using Strings = std::vector<std::string>;

const BYTE *Bytes(const char *text) { return reinterpret_cast<const BYTE *>(text); }

TEST_F(RegistryKeysTest, CreatesKeysAndClosesThem) {
    CreateRegKey("Orvalen.Plot\\Shell");
    CreateRegKeyEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen");
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen.Plot\\Shell"));
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_LOCAL_MACHINE\\Software\\Orvalen"));
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
    EXPECT_EQ(fake::CountCalls("RegCloseKey"), 2);
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, PlainWritesCreateTheKeyAndSetItsDefaultText) {
    CreateRegKeyValue("Orvalen.Plot", "Plot file");
    EXPECT_EQ(fake::RegistryValue("HKEY_CLASSES_ROOT\\Orvalen.Plot", ""), "Plot file");
    SetRegKeyValue("Orvalen.Plot", "Orvalen plot");
    EXPECT_EQ(fake::RegistryValue("HKEY_CLASSES_ROOT\\Orvalen.Plot", ""), "Orvalen plot");
    EXPECT_EQ(fake::CallTexts({"RegSetValueA"}),
              (Strings{"RegSetValueA(HKEY_CLASSES_ROOT,Orvalen.Plot,1,Plot file,9)",
                       "RegSetValueA(HKEY_CLASSES_ROOT,Orvalen.Plot,1,Orvalen plot,12)"}));
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, ExistenceTestsAnswerQuietlyAndCloseTheKey) {
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen.Plot");
    fake::AddRegistryKey("HKEY_CURRENT_USER\\Software\\Orvalen");
    EXPECT_EQ(DoesRegKeyExist("Orvalen.Plot"), 1);
    EXPECT_EQ(DoesRegKeyExist("Orvalen.Missing"), 0);
    EXPECT_EQ(DoesRegKeyExistEx(HKEY_CURRENT_USER, "Software\\Orvalen"), 1);
    EXPECT_EQ(DoesRegKeyExistEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen"), 0);
    fake::FailCall("RegOpenKeyA", {.result = static_cast<long long>(ERROR_ACCESS_DENIED)});
    EXPECT_EQ(DoesRegKeyExist("Orvalen.Plot"), 0);
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, GetRegKeyValueReadsTheDefaultText) {
    fake::SetRegistryValue("HKEY_CLASSES_ROOT\\Orvalen.Plot", "", "Plot file");
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetRegKeyValue("Orvalen.Plot", buffer, 255), buffer);
    EXPECT_STREQ(buffer, "Plot file");
    EXPECT_EQ(fake::CallTexts({"RegQueryValueA"}), Strings{"RegQueryValueA(HKEY_CLASSES_ROOT,Orvalen.Plot,255)"});
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
}

TEST_F(RegistryKeysTest, GetRegKeyValueOfAMissingKeyLeavesTheEmptyText) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetRegKeyValue("Orvalen.Missing", buffer, 15), buffer);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'x');
    EXPECT_EQ(fake::CountCalls("RegQueryValueA"), 0);
    EXPECT_TRUE(ReportedLabels().empty());
    // Without a buffer, or without room in it, nothing is written at all.
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetRegKeyValue("Orvalen.Missing", buffer, 0), buffer);
    EXPECT_EQ(GetRegKeyValue("Orvalen.Missing", buffer, -3), buffer);
    EXPECT_EQ(GetRegKeyValue("Orvalen.Missing", nullptr, 15), nullptr);
    EXPECT_EQ(buffer[0], 'x');
}

TEST_F(RegistryKeysTest, GetRegKeyValueOfExactlyTheSizeFitsAndEndsAfterTheTerminator) {
    fake::SetRegistryValue("HKEY_CLASSES_ROOT\\Orvalen.Plot", "", "abcd");  // 5 bytes with its terminator
    char buffer[6];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetRegKeyValue("Orvalen.Plot", buffer, 5), buffer);
    EXPECT_EQ(std::string(buffer, 6), std::string("abcd\0\0", 6));
    EXPECT_TRUE(ReportedLabels().empty());
    EXPECT_EQ(fake::CountCalls("DoMsgBox"), 0);
}

TEST_F(RegistryKeysTest, GetRegKeyValueOfATextLongerThanTheBufferIsAFailedQuery) {
    fake::SetRegistryValue("HKEY_CLASSES_ROOT\\Orvalen.Plot", "", "abcd");
    char buffer[5];
    std::memset(buffer, 'x', sizeof buffer);
    ExpectFatalStop(fake::RunUntilExit([&] { GetRegKeyValue("Orvalen.Plot", buffer, 4); }));
    EXPECT_EQ(ReportedLabels(), Strings{"GetRegKeyValue"});
    EXPECT_EQ(fake::CountCalls("DoMsgBox"), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[4], 'x');
}

TEST_F(RegistryKeysTest, GetRegKeyValueWithoutRoomShowsBufferOverflow) {
    fake::SetRegistryValue("HKEY_CLASSES_ROOT\\Orvalen.Plot", "", "abcd");
    char buffer[4] = {'x', 'x', 'x', 'x'};
    // Without a buffer the query answers the size it needs, which is above the size.
    for (auto read : std::vector<std::function<void()>>{
             [&] { GetRegKeyValue("Orvalen.Plot", nullptr, 4); },
             [&] { GetRegKeyValue("Orvalen.Plot", buffer, 0); },
             [&] { GetRegKeyValue("Orvalen.Plot", buffer, -1); },
         }) {
        fake::Reset();
        ASSERT_EQ(LoadRegistryApi(), 1);
        fake::SetRegistryValue("HKEY_CLASSES_ROOT\\Orvalen.Plot", "", "abcd");
        ExpectFatalStop(fake::RunUntilExit(read));
        EXPECT_EQ(fake::CallTexts({"DoMsgBox"}), Strings{"DoMsgBox(Buffer Overflow,MS-Setup Error,16)"});
        EXPECT_TRUE(ReportedLabels().empty());
    }
    EXPECT_EQ(std::string(buffer, 4), "xxxx");
}

TEST_F(RegistryKeysTest, GetRegKeyValueExReadsANamedValueAndItsType) {
    fake::AddRegistryKey("HKEY_LOCAL_MACHINE\\Software\\Orvalen");
    const DWORD pens = 8;
    SetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Pens", REG_DWORD, reinterpret_cast<const BYTE *>(&pens),
                     sizeof pens);
    DWORD type = 0;
    DWORD read = 0;
    EXPECT_EQ(GetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Pens", &type, reinterpret_cast<LPBYTE>(&read),
                               sizeof read),
              0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(read, 8u);
    // No place for the type is fine too.
    EXPECT_EQ(GetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Pens", nullptr,
                               reinterpret_cast<LPBYTE>(&read), sizeof read),
              0);
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, GetRegKeyValueExOfAMissingKeyAnswersBadKeyAndTouchesNothing) {
    DWORD type = 77;
    char data[8] = "keepme";
    EXPECT_EQ(GetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Missing", "Pens", &type, reinterpret_cast<LPBYTE>(data),
                               sizeof data),
              RegistryNoSuchKey);
    EXPECT_EQ(RegistryNoSuchKey, 1010);
    EXPECT_EQ(type, 77u);
    EXPECT_STREQ(data, "keepme");
    EXPECT_EQ(fake::CountCalls("RegOpenKeyExA"), 0);
    EXPECT_EQ(fake::CountCalls("RegQueryValueExA"), 0);
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, GetRegKeyValueExWithoutRoomShowsBufferOverflow) {
    fake::SetRegistryValue("HKEY_LOCAL_MACHINE\\Software\\Orvalen", "Model", "Quillon");
    ExpectFatalStop(fake::RunUntilExit(
        [] { GetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", nullptr, nullptr, 4); }));
    EXPECT_EQ(fake::CallTexts({"DoMsgBox"}), Strings{"DoMsgBox(Buffer Overflow,MS-Setup Error,16)"});
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, ExWritesOpenTheExistingKeyForWriting) {
    fake::AddRegistryKey("HKEY_LOCAL_MACHINE\\Software\\Orvalen");
    CreateRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", REG_SZ, Bytes("Quillon"), 8);
    SetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Port", REG_SZ, Bytes("LPT1:"), 6);
    EXPECT_EQ(fake::RegistryValue("HKEY_LOCAL_MACHINE\\Software\\Orvalen", "Model"), "Quillon");
    EXPECT_EQ(fake::RegistryValue("HKEY_LOCAL_MACHINE\\Software\\Orvalen", "Port"), "LPT1:");
    EXPECT_EQ(fake::CallTexts({"RegOpenKeyExA"}),
              (Strings{"RegOpenKeyExA(HKEY_LOCAL_MACHINE,Software\\Orvalen,0,131078)",
                       "RegOpenKeyExA(HKEY_LOCAL_MACHINE,Software\\Orvalen,0,131078)"}));
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, ExWritesOnAMissingKeyReportTheOpenAndStop) {
    struct Case {
        const char *label;
        void (*write)(HKEY, LPCSTR, LPCSTR, DWORD, const BYTE *, DWORD);
    };
    for (const Case &c : {Case{"CreateRegKeyValueEx:open", &CreateRegKeyValueEx},
                          Case{"SetRegKeyValueEx:open", &SetRegKeyValueEx}}) {
        SCOPED_TRACE(c.label);
        fake::Reset();
        ASSERT_EQ(LoadRegistryApi(), 1);
        ExpectFatalStop(fake::RunUntilExit(
            [&] { c.write(HKEY_LOCAL_MACHINE, "Software\\Missing", "Model", REG_SZ, Bytes("Quillon"), 8); }));
        EXPECT_EQ(ReportedLabels(), Strings{c.label});
        EXPECT_EQ(fake::CallNames({"EercErrorHandler", "FDoDialogExt"}), (Strings{"EercErrorHandler", "FDoDialogExt"}));
        EXPECT_FALSE(fake::RegistryKeyExists("HKEY_LOCAL_MACHINE\\Software\\Missing"));
        EXPECT_EQ(fake::CountCalls("RegSetValueExA"), 0);
    }
}

// One failing step of each operation: the label it is reported under, then the stop.
TEST_F(RegistryKeysTest, EachFailedStepIsReportedUnderItsLabelThenStops) {
    struct Case {
        const char *failingCall;
        int times;  // how many calls of it fail
        std::function<void()> operation;
        Strings labels;
    };
    const BYTE *text = Bytes("Quillon");
    DWORD pens = 0;
    auto *data = reinterpret_cast<LPBYTE>(&pens);
    const std::vector<Case> cases = {
        {"RegCreateKeyA", 1, [] { CreateRegKey("Orvalen.Plot"); }, {"CreateRegKey"}},
        {"RegCloseKey", 1, [] { CreateRegKey("Orvalen.Plot"); }, {"CreateRegKey"}},
        {"RegCreateKeyA", 1, [] { CreateRegKeyEx(HKEY_CLASSES_ROOT, "Orvalen.Plot"); }, {"CreateRegKeyEx"}},
        {"RegCloseKey", 1, [] { CreateRegKeyEx(HKEY_LOCAL_MACHINE, "Software\\New"); }, {"CreateRegKeyEx"}},
        {"RegSetValueA", 1, [] { CreateRegKeyValue("Orvalen.Plot", "Plot file"); }, {"CreateRegKeyValue"}},
        {"RegSetValueA", 1, [] { SetRegKeyValue("Orvalen.Plot", "Plot file"); }, {"SetRegKeyValue"}},
        {"RegQueryValueA", 1, [] { char b[16]; GetRegKeyValue("Orvalen.Plot", b, 15); }, {"GetRegKeyValue"}},
        {"RegOpenKeyExA", 1,
         [&] { CreateRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", REG_SZ, text, 8); },
         {"CreateRegKeyValueEx:open"}},
        {"RegSetValueExA", 1,
         [&] { CreateRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", REG_SZ, text, 8); },
         {"CreateRegKeyValueEx"}},
        {"RegOpenKeyExA", 1,
         [&] { SetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", REG_SZ, text, 8); },
         {"SetRegKeyValueEx:open"}},
        {"RegSetValueExA", 1,
         [&] { SetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", REG_SZ, text, 8); },
         {"SetRegKeyValueEx"}},
        {"RegOpenKeyExA", 1,
         [&] { GetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Pens", nullptr, data, 4); },
         {"GetRegKeyValueEx"}},
        {"RegQueryValueExA", 1,
         [&] { GetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Pens", nullptr, data, 4); },
         {"GetRegKeyValueEx"}},
        {"RegOpenKeyExA", 1, [] { DeleteAllSubKeys("Orvalen.Plot"); }, {"DeleteAllSubKeys:open", "DeleteAllSubKeys"}},
        {"RegEnumKeyA", 1, [] { DeleteAllSubKeys("Orvalen.Plot"); }, {"DeleteAllSubKeys:enum", "DeleteAllSubKeys"}},
        {"RegQueryInfoKeyA", 1, [] { DeleteAllSubKeys("Orvalen.Plot"); }, {"DeleteAllSubKeys"}},
        {"RegOpenKeyExA", 1, [] { DeleteAllSubKeysEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen"); },
         {"DeleteAllSubKeys:open", "DeleteAllSubKeys"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.failingCall) + " -> " + c.labels.back());
        fake::Reset();
        ASSERT_EQ(LoadRegistryApi(), 1);
        fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen.Plot\\Shell");
        const DWORD eight = 8;
        fake::AddRegistryKey("HKEY_LOCAL_MACHINE\\Software\\Orvalen\\Settings");
        SetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Pens", REG_DWORD,
                         reinterpret_cast<const BYTE *>(&eight), 4);
        fake::ClearCalls();
        fake::FailCall(c.failingCall, {.result = static_cast<long long>(ERROR_ACCESS_DENIED), .times = c.times});
        ExpectFatalStop(fake::RunUntilExit(c.operation));
        EXPECT_EQ(ReportedLabels(), c.labels);
        // The reports come before the fatal dialog.
        Strings order = fake::CallNames({"EercErrorHandler", "FDoDialogExt"});
        EXPECT_EQ(order.back(), "FDoDialogExt");
        EXPECT_EQ(order.size(), c.labels.size() + 1);
        EXPECT_EQ(fake::CountCalls("DoMsgBox"), 0);
    }
}

// Missing entry points: the step that needed one fails as that step's own failure.
TEST_F(RegistryKeysTest, AnOptionalEntryPointNotFoundFailsItsStep) {
    struct Case {
        const char *withheld;
        std::function<void()> operation;
        Strings labels;
    };
    const BYTE *text = Bytes("Quillon");
    char data[16] = "";
    const std::vector<Case> cases = {
        {"RegOpenKeyExA",
         [&] { CreateRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", REG_SZ, text, 8); },
         {"CreateRegKeyValueEx:open"}},
        {"RegSetValueExA",
         [&] { SetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", REG_SZ, text, 8); },
         {"SetRegKeyValueEx"}},
        {"RegOpenKeyExA",
         [&] { GetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", nullptr, LPBYTE(data), 16); },
         {"GetRegKeyValueEx"}},
        {"RegQueryValueExA",
         [&] { GetRegKeyValueEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen", "Model", nullptr, LPBYTE(data), 16); },
         {"GetRegKeyValueEx"}},
        {"RegOpenKeyExA", [] { DeleteAllSubKeysEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen"); },
         {"DeleteAllSubKeys:open", "DeleteAllSubKeys"}},
        {"RegEnumKeyA", [] { DeleteAllSubKeysEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen"); },
         {"DeleteAllSubKeys:enum", "DeleteAllSubKeys"}},
        {"RegQueryInfoKeyA", [] { DeleteAllSubKeysEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen"); },
         {"DeleteAllSubKeys"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.withheld) + " -> " + c.labels.front());
        fake::Reset();
        fake::WithholdProc(c.withheld);
        ASSERT_EQ(LoadRegistryApi(), 1);
        fake::SetRegistryValue("HKEY_LOCAL_MACHINE\\Software\\Orvalen\\Settings", "Model", "Quillon");
        fake::SetRegistryValue("HKEY_LOCAL_MACHINE\\Software\\Orvalen", "Model", "Quillon");
        ExpectFatalStop(fake::RunUntilExit(c.operation));
        EXPECT_EQ(ReportedLabels(), c.labels);
        // The worker closes its keys before it answers; the other operations stop
        // with the key they opened, and the process ends.
        if (c.labels.back() == "DeleteAllSubKeys") {
            EXPECT_EQ(fake::OpenRegistryKeys(), 0);
        }
        EXPECT_TRUE(fake::RegistryKeyExists("HKEY_LOCAL_MACHINE\\Software\\Orvalen\\Settings"));
    }
}

TEST_F(RegistryKeysTest, AKeyWithoutSubkeysIsDeletedWithoutEnumeration) {
    // Enumeration is needed only for subkeys: without RegEnumKeyA a leaf still goes.
    fake::Reset();
    fake::WithholdProc("RegEnumKeyA");
    ASSERT_EQ(LoadRegistryApi(), 1);
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen.Plot");
    DeleteAllSubKeys("Orvalen.Plot");
    EXPECT_FALSE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen.Plot"));
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, WithTheModuleReleasedEveryStepFailsWithoutCallingIt) {
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen.Plot");
    FreeRegistryApi();
    fake::ClearCalls();
    EXPECT_EQ(DoesRegKeyExist("Orvalen.Plot"), 0);
    char buffer[8] = "x";
    EXPECT_EQ(GetRegKeyValue("Orvalen.Plot", buffer, 7), buffer);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(GetRegKeyValueEx(HKEY_CLASSES_ROOT, "Orvalen.Plot", "", nullptr, nullptr, 0), RegistryNoSuchKey);
    DeleteAllSubKeys("Orvalen.Plot");  // taken for a missing key
    EXPECT_TRUE(ReportedLabels().empty());
    ExpectFatalStop(fake::RunUntilExit([] { CreateRegKey("Orvalen.Plot"); }));
    EXPECT_EQ(ReportedLabels(), Strings{"CreateRegKey"});
    for (const char *name : {"RegOpenKeyA", "RegCreateKeyA", "RegQueryValueA", "RegDeleteKeyA"}) {
        EXPECT_EQ(fake::CountCalls(name), 0) << name;
    }
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen.Plot"));
}

}  // namespace
}  // namespace registry_test
