// Tests of the detection queries on the fake platform: the processor table, what each
// drive query does to the caller's text, the quiet overflow and clearing of the buffer
// queries, the stops of the list queries and the path test before a file is looked for.
#include "toolkit/detection.h"

#include "tests/fake/fake_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

class Detection : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

// ---- Processor ----

TEST_F(Detection, ProcessorNamesMapThroughTheTableWithoutRegardToCase) {
    struct Row {
        const char *name;
        int number;
    };
    const Row rows[] = {
        {"C400", 400},       {"PPC620", 620},     {"PPC604", 604},     {"PPC603", 603}, {"PPC601", 601},
        {"AXP21164", 21164}, {"AXP21066", 21066}, {"AXP21064", 21064}, {"R4000", 4000}, {"R3000", 3000},
        {"R2000", 2000},     {"PENTIUM", 5},      {"80486", 4},        {"80386", 3},    {"80286", 2},
        {"80186", 1},        {"8086", 0},         {"pentium", 5},      {"Axp21164", 21164},
        {"r4000", 4000},     {"ppc601", 601},     {"c400", 400},
        // Outside the table: reported like a failed query.
        {"ITANIUM", 0},      {"", 0},             {"PENTIUM ", 0},     {"80486DX", 0},
    };
    for (const Row &row : rows) {
        fake::Reset();
        fake::SetTextAnswer("FGetProcessorType", row.name);
        EXPECT_EQ(GetProcessorType(), row.number) << "\"" << row.name << "\"";
    }
}

TEST_F(Detection, ProcessorQueryGetsAStateVariableZeroABufferOf32AndAFailureAnswers0) {
    fake::SetTextAnswer("FGetProcessorType", "PENTIUM");
    GetProcessorType();
    GetProcessorType();
    std::vector<fake::Call> calls;
    for (const fake::Call &call : fake::Calls()) {
        if (call.name == "FGetProcessorType") calls.push_back(call);
    }
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(calls[0].args[0], "NULL");
    EXPECT_EQ(calls[0].args[0], calls[1].args[0]);  // the same variable every time
    EXPECT_EQ(calls[0].args[1], "0");
    EXPECT_EQ(calls[0].args[2], "32");

    fake::FailCall("FGetProcessorType");
    EXPECT_EQ(GetProcessorType(), 0);
}

// ---- Platform queries ----

TEST_F(Detection, VersionBytesAndScreenSize) {
    fake::FailCall("GetVersion", {.result = 0x12340A03, .times = 2});
    EXPECT_EQ(GetWindowsVersionMajor(), 3);
    EXPECT_EQ(GetWindowsVersionMinor(), 10);
    fake::FailCall("GetVersion", {.result = 0xFFFFFFFF});
    EXPECT_EQ(GetWindowsVersionMajor(), 255);
    EXPECT_EQ(GetWindowsVersionMinor(), 255);
    EXPECT_EQ(GetScreenWidth(), 1024);
    EXPECT_EQ(GetScreenHeight(), 768);
    EXPECT_EQ(fake::CallTexts({"GetSystemMetrics"}),
              (std::vector<std::string>{"GetSystemMetrics(0)", "GetSystemMetrics(1)"}));
}

// ---- Drive queries ----

struct DriveQuery {
    const char *name;
    const char *toolkitCall;
    std::function<long long(char *)> ask;
};

std::vector<DriveQuery> DriveQueries() {
    return {
        {"IsValidDrive", "FIsValidDrive", [](char *d) { return IsValidDrive(d); }},
        {"IsLocalHardDrive", "FIsLocalHardDrive", [](char *d) { return IsLocalHardDrive(d); }},
        {"IsRemoveDrive", "FIsRemoveDrive", [](char *d) { return IsRemoveDrive(d); }},
        {"IsRemoteDrive", "FIsRemoteDrive", [](char *d) { return IsRemoteDrive(d); }},
        {"GetTotalDriveSpace", "LcbTotalDrive", [](char *d) { return GetTotalDriveSpace(d); }},
        {"GetFreeDriveSpace", "LcbFreeDrive", [](char *d) { return GetFreeDriveSpace(d); }},
    };
}

TEST_F(Detection, DriveQueriesAskAboutTheUpperCasedLetterAndLeaveTheTextAsEachPromises) {
    struct Case {
        const char *query;
        const char *given;
        const char *driveNumber;
        const char *textAfter;
    };
    const Case cases[] = {
        {"IsValidDrive", "c:\\dir", "3", "C:\\dir"},
        {"IsValidDrive", "C:\\dir", "3", "C:\\dir"},
        {"IsLocalHardDrive", "c:\\dir", "3", "C:\\DIR"},
        {"IsLocalHardDrive", "C", "3", "C"},
        {"IsRemoveDrive", "a:\\x", "1", "A:\\x"},
        {"IsRemoteDrive", "c:\\dir", "3", "c:\\dir"},
        {"IsRemoteDrive", "C:\\dir", "3", "C:\\dir"},
        {"GetTotalDriveSpace", "z:\\x", "26", "Z:\\x"},
        {"GetFreeDriveSpace", "c:\\dir", "3", "c:\\dir"},
        // An empty text gives 0 - 64; the toolkit answers for that number.
        {"IsValidDrive", "", "-64", ""},
        {"GetFreeDriveSpace", "", "-64", ""},
    };
    for (const Case &c : cases) {
        for (const DriveQuery &query : DriveQueries()) {
            if (std::strcmp(query.name, c.query) != 0) continue;
            fake::Reset();
            char text[32];
            std::strcpy(text, c.given);
            query.ask(text);
            EXPECT_EQ(fake::CallTexts({query.toolkitCall}),
                      std::vector<std::string>{std::string(query.toolkitCall) + "(" + c.driveNumber + ")"})
                << c.query << " \"" << c.given << "\"";
            EXPECT_STREQ(text, c.textAfter) << c.query << " \"" << c.given << "\"";
        }
    }
}

TEST_F(Detection, DriveQueriesAnswerTheToolkitUntestedAndAMissingTextWithoutAskingIt) {
    for (const DriveQuery &query : DriveQueries()) {
        fake::Reset();
        fake::FailCall(query.toolkitCall, {.result = 0});
        char text[] = "d:";
        EXPECT_EQ(query.ask(text), 0) << query.name;

        fake::Reset();
        EXPECT_EQ(query.ask(nullptr), 0) << query.name;
        EXPECT_EQ(fake::CountCalls(query.toolkitCall), 0) << query.name;
    }
    fake::FailCall("LcbTotalDrive", {.result = 5000000000LL});
    char text[] = "c";
    EXPECT_EQ(GetTotalDriveSpace(text), 5000000000LL);
    fake::FailCall("LcbFreeDrive", {.result = -1});
    EXPECT_EQ(GetFreeDriveSpace(text), -1);
}

// ---- List queries ----

TEST_F(Detection, ListQueriesPassTheSymbolAndStopOnAFalseAnswer) {
    struct ListQuery {
        const char *toolkitCall;
        void (*query)(LPCSTR);
    };
    const ListQuery queries[] = {
        {"FGetValidDrivesList", GetValidDrivesList},         {"FGetLocalHardDrivesList", GetLocalHardDrivesList},
        {"FGetRemovableDrivesList", GetRemovableDrivesList}, {"FGetNetworkDrivesList", GetNetworkDrivesList},
        {"FGetParallelPortsList", GetParallelPortsList},     {"FGetSerialPortsList", GetSerialPortsList},
    };
    for (const ListQuery &list : queries) {
        fake::Reset();
        list.query("DrivesOut");
        EXPECT_EQ(fake::CallTexts({list.toolkitCall}),
                  std::vector<std::string>{std::string(list.toolkitCall) + "(DrivesOut)"});
        EXPECT_EQ(fake::CountCalls("ProcessExit"), 0) << list.toolkitCall;

        fake::Reset();
        fake::FailCall(list.toolkitCall);
        EXPECT_EQ(fake::RunUntilExit([&] { list.query("DrivesOut"); }), 0) << list.toolkitCall;
        EXPECT_EQ(fake::CountCalls("DoMsgBox"), 0) << list.toolkitCall;
    }
}

// ---- Queries into the caller's buffer ----

struct BufferQuery {
    const char *toolkitCall;
    bool clears;
    std::function<LPSTR(LPSTR, LONG)> ask;
};

std::vector<BufferQuery> BufferQueries() {
    return {
        {"CbGetEnvVariableValue", true, [](LPSTR out, LONG size) { return GetEnvVariableValue("TEMP", out, size); }},
        {"CbGetDateOfFile", false, [](LPSTR out, LONG size) { return GetDateOfFile("C:\\a.dll", out, size); }},
        {"CbGetVersionOfFile", true, [](LPSTR out, LONG size) { return GetVersionOfFile("C:\\a.dll", out, size); }},
        {"CbFindTargetOnEnvVar", true,
         [](LPSTR out, LONG size) { return FindTargetOnEnvVar("a.dll", "PATH", out, size); }},
        {"CbFindFileInTree", false, [](LPSTR out, LONG size) { return FindFileInTree("a.dll", "C:\\", out, size); }},
        {"CbGetIniKeyString", true,
         [](LPSTR out, LONG size) { return GetIniKeyString("WIN.INI", "MSAPPS", "MSAPPS", out, size); }},
    };
}

TEST_F(Detection, BufferQueriesReturnATextOfSizeLessOneAndStopQuietlyOnOneOfSize) {
    for (const BufferQuery &query : BufferQueries()) {
        fake::Reset();
        fake::SetTextAnswer(query.toolkitCall, "1.2.3.4");  // 7 characters
        char out[8];
        EXPECT_EQ(query.ask(out, sizeof out), out) << query.toolkitCall;
        EXPECT_STREQ(out, "1.2.3.4") << query.toolkitCall;
        EXPECT_EQ(fake::CountCalls("ProcessExit"), 0) << query.toolkitCall;

        fake::Reset();
        fake::SetTextAnswer(query.toolkitCall, "1.2.3.45");  // 8 characters
        EXPECT_EQ(fake::RunUntilExit([&] { query.ask(out, sizeof out); }), 0) << query.toolkitCall;
        EXPECT_EQ(fake::CountCalls("DoMsgBox"), 0) << query.toolkitCall;  // no "Buffer Overflow"
    }
}

TEST_F(Detection, BufferQueriesThatClearLeaveAnEmptyTextWhenTheToolkitWritesNothing) {
    for (const BufferQuery &query : BufferQueries()) {
        fake::Reset();
        fake::FailCall(query.toolkitCall, {.result = 0});  // answers 0 and writes nothing
        char out[16] = "left over";
        query.ask(out, sizeof out);
        EXPECT_STREQ(out, query.clears ? "" : "left over") << query.toolkitCall;

        // A size of 0 has no byte to clear (and no room for any answer: the stop).
        fake::Reset();
        fake::FailCall(query.toolkitCall, {.result = 0});
        char untouched[4] = "abc";
        EXPECT_EQ(fake::RunUntilExit([&] { query.ask(untouched, 0); }), 0) << query.toolkitCall;
        EXPECT_STREQ(untouched, "abc") << query.toolkitCall;
    }
}

// ---- Files and pass-through queries ----

TEST_F(Detection, DoesFileExistAsksOnlyAboutPathsTheToolkitAccepts) {
    fake::FailCall("FValidPath", {.result = 0, .times = 1});
    EXPECT_EQ(DoesFileExist("C:\\a.dll", 0), 0);
    EXPECT_EQ(fake::CountCalls("FDoesFileExist"), 0);

    EXPECT_NE(DoesFileExist("C:\\a.dll", 0), 0);
    fake::SetFileExists("C:\\b.dll", false);
    EXPECT_EQ(DoesFileExist("C:\\b.dll", 2), 0);
    EXPECT_EQ(fake::CallTexts({"FDoesFileExist"}),
              (std::vector<std::string>{"FDoesFileExist(C:\\a.dll,0)", "FDoesFileExist(C:\\b.dll,2)"}));
}

TEST_F(Detection, PassThroughQueriesAnswerWhatTheToolkitAnswers) {
    fake::FailCall("LGetVersionNthField", {.result = -7, .times = 1});
    EXPECT_EQ(GetVersionNthField("9.8.7.6", 3), -7);
    EXPECT_EQ(GetVersionNthField("9.8.7.6", 2), 8);
    EXPECT_EQ(fake::CallTexts({"LGetVersionNthField"}),
              (std::vector<std::string>{"LGetVersionNthField(9.8.7.6,3)", "LGetVersionNthField(9.8.7.6,2)"}));

    fake::FailCall("LcbGetSizeOfFile", {.result = 4294967296LL});
    EXPECT_EQ(GetSizeOfFile("C:\\big"), 4294967296LL);

    struct Flag {
        const char *toolkitCall;
        std::function<BOOL()> ask;
    };
    const Flag flags[] = {
        {"FIsDriverInConfig", [] { return IsDriverInConfig("himem.sys"); }},
        {"FHas87MathChip", [] { return Has87MathChip(); }},
        {"FHasMonochromeDisplay", [] { return HasMonochromeDisplay(); }},
        {"FHasMouseInstalled", [] { return HasMouseInstalled(); }},
        {"FDirExists", [] { return DirExists("C:\\WINNT"); }},
        {"FDoesIniSectionExist", [] { return DoesIniSectionExist("WIN.INI", "MSAPPS"); }},
        {"FDoesIniKeyExist", [] { return DoesIniKeyExist("WIN.INI", "MSAPPS", "MSAPPS"); }},
    };
    for (const Flag &flag : flags) {
        fake::FailCall(flag.toolkitCall, {.result = 0, .times = 1});
        EXPECT_EQ(flag.ask(), 0) << flag.toolkitCall;
        fake::FailCall(flag.toolkitCall, {.result = 7, .times = 1});
        EXPECT_EQ(flag.ask(), 7) << flag.toolkitCall;
    }
    EXPECT_EQ(fake::CountCalls("ProcessExit"), 0);
}

}  // namespace
