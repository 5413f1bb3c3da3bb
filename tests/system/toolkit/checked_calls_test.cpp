// The checked calls: what each hands to its toolkit entry point, which answers end the
// run, and whether the "Buffer Overflow" message comes before the end.
#include "include/setup_state.h"
#include "tests/fake/fake_platform.h"
#include "tests/system/toolkit/stop_messages.h"
#include "toolkit/checked_calls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using toolkit_test::MessagesBeforeStop;
using toolkit_test::NoMessage;
using toolkit_test::OverflowMessage;

class CheckedCalls : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

struct CheckedCase {
    std::string entryPoint;
    std::function<void()> call;
    std::string expected;  // the toolkit call as the fake records it
};

TEST_F(CheckedCalls, FalseAnswerStopsAndTrueAnswerPassesArguments) {
    const CheckedCase cases[] = {
        {"FSetAbout", [] { SetFrameAbout("Title", "Text"); }, "FSetAbout(Title,Text)"},
        {"FAddListItem", [] { AddListItem("L", "item"); }, "FAddListItem(L,item)"},
        {"FReplaceListItem", [] { ReplaceListItem("L", 3, "item"); }, "FReplaceListItem(L,3,item)"},
        {"FSetSymbolValue", [] { SetSymbolValue("S", "v"); }, "FSetSymbolValue(S,v)"},
        {"FRemoveSymbol", [] { RemoveSymbol("S"); }, "FRemoveSymbol(S)"},
        {"FCreateDir", [] { CreateDir("C:\\D", 1); }, "FCreateDir(C:\\D,1)"},
        {"FRemoveDir", [] { RemoveDir("C:\\D"); }, "FRemoveDir(C:\\D)"},
        {"FRemoveIniKey", [] { RemoveIniKey("a.ini", "S", "K", 2); }, "FRemoveIniKey(a.ini,S,K,2)"},
        {"FCreateSysIniKeyValue", [] { CreateSysIniKeyValue("a.ini", "S", "K", "V", 4); },
         "FCreateSysIniKeyValue(a.ini,S,K,V,4)"},
        {"FCreateProgManGroup", [] { CreateProgManGroup("G", "g.grp", 0); }, "FCreateProgManGroup(G,g.grp,0)"},
        {"FCreateProgManGroupEx", [] { CreateProgManGroupEx("G", "g.grp", 0, 1); },
         "FCreateProgManGroupEx(G,g.grp,0,1)"},
        {"FStampResource", [] { StampResource("S", "K", "C:\\d", 5, 6, "data", 4); },
         "FStampResource(S,K,C:\\d,5,6,data,4)"},
        {"FDumpCopyListToFile", [] { DumpCopyListToFile("C:\\list"); }, "FDumpCopyListToFile(C:\\list)"},
        {"FAddSectionKeyFileToCopyList", [] { AddSectionKeyFileToCopyList("S", "K", "A:\\", "C:\\"); },
         "FAddSectionKeyFileToCopyList(S,K,A:\\,C:\\)"},
        {"FAddSpecialFileToCopyList", [] { AddSpecialFileToCopyList("S", "K", "A:\\", "C:\\f"); },
         "FAddSpecialFileToCopyList(S,K,A:\\,C:\\f)"},
        {"FAddToBillboardList", [] { AddToBillboardList("lib.dll", 7, "Proc", 9); },
         "FAddToBillboardList(lib.dll,7,Proc,9)"},
        {"FClearBillboardList", [] { ClearBillboardList(); }, "FClearBillboardList()"},
        {"FOpenLogFile", [] { OpenLogFile("C:\\log", 1); }, "FOpenLogFile(C:\\log,1)"},
        {"FCloseLogFile", [] { CloseLogFile(); }, "FCloseLogFile()"},
        {"FSetRestartDir", [] { SetRestartDir("C:\\r"); }, "FSetRestartDir(C:\\r)"},
        {"FPrependToPath",
         [] {
             char result[40];
             PrependToPath("a;b", "c", result, sizeof result);
         },
         "FPrependToPath(a;b,c,40)"},
        // The calls that fix or convert an argument.
        {"FSetSymbolToListOfInfKeys", [] { SetSymbolToListOfInfKeys("S", "Sec"); },
         "FSetSymbolToListOfInfKeys(S,Sec,1)"},
        {"FMakeListInfSectionField", [] { ListInfFieldOne("S", "Sec"); }, "FMakeListInfSectionField(S,Sec,1)"},
        {"FMakeListInfSectionField", [] { ListInfFieldFive("S", "Sec"); }, "FMakeListInfSectionField(S,Sec,5)"},
        {"FMakeListInfSectionField", [] { ListInfFieldEleven("S", "Sec"); }, "FMakeListInfSectionField(S,Sec,11)"},
        {"FMakeListInfSectionField", [] { ListInfFieldFifteen("S", "Sec"); }, "FMakeListInfSectionField(S,Sec,15)"},
        {"FMakeListInfSectionField", [] { ListInfFieldNineteen("S", "Sec"); },
         "FMakeListInfSectionField(S,Sec,19)"},
        {"FShowProgManGroup", [] { ShowProgManGroup("G", -1, 2); }, "FShowProgManGroup(G,-1,2)"},
        {"FShowProgManGroup", [] { ShowProgManGroup("G", 7, 2); }, "FShowProgManGroup(G,7,2)"},
        {"FShowProgManGroup", [] { ShowProgManGroup("G", std::numeric_limits<int>::min(), 0); },
         "FShowProgManGroup(G,-2147483648,0)"},
        {"FShowProgManGroupEx", [] { ShowProgManGroupEx("G", 1, -1, 3); }, "FShowProgManGroupEx(G,1,-1,3)"},
        {"FCreateProgManItem", [] { CreateProgManItem("G", "a", "cmd", "b", 1); }, "FCreateProgManItem(G,a,b,cmd,1)"},
        {"FCreateProgManItem", [] { CreateProgManItem("G", "Item", "cmd", "", 1); },
         "FCreateProgManItem(G,Item,cmd,1)"},
        {"FCreateProgManItem", [] { CreateProgManItem("G", "Item", "cmd", nullptr, 1); },
         "FCreateProgManItem(G,Item,cmd,1)"},
        {"FCreateProgManItemEx", [] { CreateProgManItemEx("G", 1, "a", "cmd", "b", 0); },
         "FCreateProgManItemEx(G,1,a,b,cmd,0)"},
        {"FCreateProgManItemEx", [] { CreateProgManItemEx("G", 0, "Item", "cmd", "", 0); },
         "FCreateProgManItemEx(G,0,Item,cmd,0)"},
        {"FCopyOneFile", [] { CopyOneFile("A:\\f", "C:\\f", 0, 0); }, "FCopyOneFile(A:\\f,C:\\f,2,0)"},
        {"FCopyOneFile", [] { CopyOneFile("A:\\f", "C:\\f", 2, 1); }, "FCopyOneFile(A:\\f,C:\\f,2,1)"},
        {"FCopyOneFile", [] { CopyOneFile("A:\\f", "C:\\f", 0xFFFD, 0); }, "FCopyOneFile(A:\\f,C:\\f,65535,0)"},
        {"FCopyOneFile", [] { CopyOneFile("A:\\f", "C:\\f", 5, 0); }, "FCopyOneFile(A:\\f,C:\\f,7,0)"},
        {"YnrcRemoveFile", [] { RemoveFile("C:\\f", "x"); }, "YnrcRemoveFile(C:\\f,x)"},
        {"YnrcBackupFile", [] { BackupFile("C:\\f", "f.bak"); }, "YnrcBackupFile(C:\\f,f.bak,0)"},
        {"FAddToBillboardList", [] { AddBlankToBillboardList(12); }, "FAddToBillboardList(NULL,0,NULL,12)"},
        {"FWriteToLogFile", [] { WriteToLogFile("line"); }, "FWriteToLogFile(line,1)"},
    };
    for (const CheckedCase &c : cases) {
        fake::Reset();
        fake::FailCall(c.entryPoint, {.result = 1});
        c.call();
        EXPECT_EQ(fake::CallTexts({c.entryPoint}), std::vector<std::string>{c.expected});
        EXPECT_EQ(fake::CountCalls("ProcessExit"), 0) << c.expected;

        fake::Reset();
        fake::FailCall(c.entryPoint, {.result = 0});
        EXPECT_EQ(MessagesBeforeStop(c.call), NoMessage) << c.expected;
        EXPECT_EQ(fake::CallTexts({c.entryPoint}), std::vector<std::string>{c.expected});
        EXPECT_EQ(fake::ShowCount(400), 1) << c.expected;  // the fatal dialog
    }
}

TEST_F(CheckedCalls, PassThroughCallsReturnTheAnswerUntested) {
    const struct {
        std::string entryPoint;
        std::function<BOOL()> call;
        std::string expected;
    } cases[] = {
        {"FSetBeepingMode", [] { return SetBeepingMode(1); }, "FSetBeepingMode(1)"},
        {"FSetSilent", [] { return SetSilent(0); }, "FSetSilent(0)"},
        {"FIsDirWritable", [] { return IsDirWritable("C:\\d"); }, "FIsDirWritable(C:\\d)"},
        {"FIsFileWritable", [] { return IsFileWritable("C:\\f"); }, "FIsFileWritable(C:\\f)"},
        {"FRestartListEmpty", [] { return RestartListEmpty(); }, "FRestartListEmpty()"},
        {"FExitExecRestart", [] { return ExitExecRestart(); }, "FExitExecRestart()"},
    };
    for (const auto &c : cases) {
        for (long long answer : {0LL, 1LL, 5LL}) {
            fake::Reset();
            fake::FailCall(c.entryPoint, {.result = answer});
            EXPECT_EQ(c.call(), answer) << c.expected;
            EXPECT_EQ(fake::CallTexts(), std::vector<std::string>{c.expected});
        }
    }
}

TEST_F(CheckedCalls, GetListItemReadsWithinTheList) {
    fake::SetList("L", {"one", "two", "three"});
    char buffer[16];
    EXPECT_EQ(GetListItem("L", 1, buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "one");
    EXPECT_STREQ(GetListItem("L", 3, buffer, sizeof buffer), "three");  // the last item
    EXPECT_EQ(fake::CallTexts({"UsGetListLength", "CbGetListItem"}),
              (std::vector<std::string>{"UsGetListLength(L)", "CbGetListItem(L,1,16)", "UsGetListLength(L)",
                                        "CbGetListItem(L,3,16)"}));
    EXPECT_EQ(GetListLength("L"), 3);
}

TEST_F(CheckedCalls, GetListItemStopsOnBadNameOrIndex) {
    const struct {
        const char *list;
        int index;
        bool lengthAsked;
    } cases[] = {
        {"L", 0, false},
        {"L", -1, false},  // an index below 1 is refused before the length is asked
        {"L", 4, true},
        {"L", 65537, true},  // would be 1 as a 16-bit index
        {"L", std::numeric_limits<int>::min(), false},
        {"", 1, false},
        {nullptr, 1, false},
        {"Missing", 1, true},
    };
    for (const auto &c : cases) {
        fake::Reset();
        fake::SetList("L", {"one", "two", "three"});
        char buffer[16];
        EXPECT_EQ(MessagesBeforeStop([&] { GetListItem(c.list, c.index, buffer, sizeof buffer); }), NoMessage)
            << c.index;
        EXPECT_EQ(fake::CountCalls("CbGetListItem"), 0) << c.index;
        EXPECT_EQ(fake::CountCalls("UsGetListLength"), c.lengthAsked ? 1 : 0) << c.index;
    }
    for (const char *list : {"", static_cast<const char *>(nullptr)}) {
        fake::Reset();
        EXPECT_EQ(MessagesBeforeStop([&] { GetListLength(list); }), NoMessage);
        EXPECT_EQ(fake::CountCalls("UsGetListLength"), 0);
    }
}

TEST_F(CheckedCalls, GetListItemOverflowsAtTheBufferSize) {
    fake::SetList("L", {"123456789", "1234567890"});
    char buffer[10];
    EXPECT_STREQ(GetListItem("L", 1, buffer, 10), "123456789");
    EXPECT_EQ(MessagesBeforeStop([&] { GetListItem("L", 2, buffer, 10); }), OverflowMessage);
    EXPECT_EQ(fake::ShowCount(400), 1);
}

TEST_F(CheckedCalls, InfFieldReadersTestOverflowThenUnreadable) {
    const struct {
        LPSTR (*reader)(LPCSTR, LPCSTR, LPSTR, LONG);
        int field;
    } readers[] = {{GetInfFieldOne, 1}, {GetInfFieldFive, 5}, {GetInfFieldNineteen, 19}};
    for (const auto &r : readers) {
        fake::Reset();
        char buffer[8];
        fake::SetTextAnswer("CbGetInfSectionKeyField", "1234567");
        EXPECT_EQ(r.reader("Sec", "Key", buffer, sizeof buffer), buffer);
        EXPECT_STREQ(buffer, "1234567");
        EXPECT_EQ(fake::CallTexts({"CbGetInfSectionKeyField"}),
                  std::vector<std::string>{"CbGetInfSectionKeyField(Sec,Key," + std::to_string(r.field) + ",8)"});

        fake::SetTextAnswer("CbGetInfSectionKeyField", "12345678");
        EXPECT_EQ(MessagesBeforeStop([&] { r.reader("Sec", "Key", buffer, sizeof buffer); }), OverflowMessage)
            << r.field;

        fake::Reset();
        fake::FailCall("CbGetInfSectionKeyField", {.result = -1});
        EXPECT_EQ(MessagesBeforeStop([&] { r.reader("Sec", "Missing", buffer, sizeof buffer); }), NoMessage)
            << r.field;
        EXPECT_EQ(fake::ShowCount(400), 1);
    }
}

TEST_F(CheckedCalls, InfFieldFifteenReadsASignedNumber) {
    const struct {
        std::string field;
        LONG expected;
    } cases[] = {
        {"", 0},
        {"abc", 0},
        {"12ab", 12},
        {"  -42", -42},
        {"\t+7 8", 7},
        {"-", 0},
        {"99999999999", std::numeric_limits<LONG>::max()},
        {"-99999999999", std::numeric_limits<LONG>::min()},
        {std::string(127, '1').replace(0, 126, 126, ' '), 1},  // 127 characters still fit
    };
    for (const auto &c : cases) {
        fake::Reset();
        fake::SetTextAnswer("CbGetInfSectionKeyField", c.field);
        EXPECT_EQ(GetInfFieldFifteen("Sec", "Key"), c.expected) << c.field;
        EXPECT_EQ(fake::CallTexts({"CbGetInfSectionKeyField"}),
                  std::vector<std::string>{"CbGetInfSectionKeyField(Sec,Key,15,128)"});
    }
    for (std::size_t length : {128u, 500u}) {
        fake::Reset();
        fake::SetTextAnswer("CbGetInfSectionKeyField", std::string(length, '1'));
        EXPECT_EQ(MessagesBeforeStop([] { GetInfFieldFifteen("Sec", "Key"); }), OverflowMessage) << length;
    }
    fake::Reset();
    fake::FailCall("CbGetInfSectionKeyField", {.result = -1});
    EXPECT_EQ(MessagesBeforeStop([] { GetInfFieldFifteen("Sec", "Key"); }), NoMessage);
}

TEST_F(CheckedCalls, CopyListCostStopsOnlyWhenNegative) {
    for (long long total : {0LL, 1LL, 5000000000LL}) {
        fake::Reset();
        fake::FailCall("LcbGetCopyListCost", {.result = total});
        EXPECT_EQ(GetCopyListCost("E", "C", "N"), total);
        EXPECT_EQ(fake::CallTexts({"LcbGetCopyListCost"}), std::vector<std::string>{"LcbGetCopyListCost(E,C,N)"});
    }
    for (long long total : {-1LL, -5000000000LL}) {
        fake::Reset();
        fake::FailCall("LcbGetCopyListCost", {.result = total});
        EXPECT_EQ(MessagesBeforeStop([] { GetCopyListCost("E", "C", "N"); }), NoMessage) << total;
    }
}

TEST_F(CheckedCalls, CreateProgManItemJoinsALongExtraOrStops) {
    std::string item(300, 'i');
    std::string extra(466, 'e');  // item, comma and extra fill 767 bytes
    CreateProgManItem("G", item.c_str(), "cmd", extra.c_str(), 0);
    EXPECT_EQ(fake::CallTexts({"FCreateProgManItem"}),
              std::vector<std::string>{"FCreateProgManItem(G," + item + "," + extra + ",cmd,0)"});
    extra += 'e';
    EXPECT_EQ(MessagesBeforeStop([&] { CreateProgManItem("G", item.c_str(), "cmd", extra.c_str(), 0); }),
              OverflowMessage);
    EXPECT_EQ(fake::CountCalls("FCreateProgManItem"), 0);
}

}  // namespace
