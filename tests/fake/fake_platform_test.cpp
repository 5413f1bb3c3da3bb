// Tests of the fake platform itself, for the behaviour the system's tests rely on:
// the symbol store's lengths, dialog scripts and the dialog stack, scripted failures,
// the spooler's buffer layout, the registry and the heap accounting.
#include "platform/registry.h"
#include "platform/runtime.h"
#include "platform/spooler.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "tests/fake/fake_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class FakePlatform : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(FakePlatform, SymbolReadsAnswerTheFullLengthAndCopyWhatFits) {
    FSetSymbolValue("S", "abcdef");
    char buffer[4];
    EXPECT_EQ(CbGetSymbolValue("S", buffer, sizeof buffer), 6);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(CbGetSymbolValue("missing", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");

    FAddListItem("L", "one");
    FAddListItem("L", "two");
    EXPECT_EQ(UsGetListLength("L"), 2);
    EXPECT_EQ(CbGetListItem("L", 2, buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "two");
    EXPECT_EQ(CbGetListItem("L", 3, buffer, sizeof buffer), 0);
    EXPECT_EQ(CbGetListItem("S", 1, buffer, sizeof buffer), 6);  // a value is a list of one
    EXPECT_EQ(fake::Symbol("L"), "{\"one\",\"two\"}");
    EXPECT_TRUE(FReplaceListItem("L", 1, "uno"));
    EXPECT_EQ(fake::List("L"), (std::vector<std::string>{"uno", "two"}));
    EXPECT_TRUE(FRemoveSymbol("L"));
    EXPECT_FALSE(fake::HasSymbol("L"));
}

TEST_F(FakePlatform, DialogScriptsAnswerInTurnAndTheLastRepeats) {
    fake::ScriptDialog(850, {fake::DialogAnswer{.event = "BACK", .symbols = {{"List2ItemsOut", "ORV"}}},
                             fake::DialogAnswer{.event = "CONTINUE", .lists = {{"ListItemsOut", {"LPT2:"}}}}});
    std::vector<std::string> events;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(FDoDialogExt(fake::FrameWindow(), "mscuistf.dll", 850, "FCustInstDlgProc", "mscuistf.dll", 903,
                                 "FHelpDlgProc"));
        events.push_back(fake::Symbol("DLGEVENT"));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"BACK", "CONTINUE", "CONTINUE"}));
    EXPECT_EQ(fake::Symbol("List2ItemsOut"), "ORV");
    EXPECT_EQ(fake::List("ListItemsOut"), std::vector<std::string>{"LPT2:"});
    EXPECT_EQ(fake::ShowCount(850), 3);
    EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{850});  // open once, however often shown
    EXPECT_EQ(fake::CallTexts({"FDoDialogExt"}).front(),
              "FDoDialogExt(mscuistf.dll,850,FCustInstDlgProc,mscuistf.dll,903,FHelpDlgProc)");
}

TEST_F(FakePlatform, DialogThatFailsOrPostsQuit) {
    fake::ScriptDialog(100, {fake::DialogAnswer{.fail = true}, fake::DialogAnswer{.postQuit = true}});
    EXPECT_FALSE(FDoDialogExt(nullptr, "d", 100, "p", "d", 0, nullptr));
    EXPECT_TRUE(fake::OpenDialogs().empty());
    EXPECT_TRUE(FDoDialogExt(nullptr, "d", 100, "p", "d", 0, nullptr));
    MSG message{};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(fake::ShowCount(100), 1);
}

TEST_F(FakePlatform, EndlessDialogLoopsAreCutOff) {
    EXPECT_THROW(
        {
            for (;;) FDoDialogExt(nullptr, "d", 1, "p", "d", 0, nullptr);
        },
        fake::ScriptExhausted);
}

TEST_F(FakePlatform, FailuresApplyByNameAndCount) {
    fake::FailCall("FSetBitmap", {.result = 0, .lastError = 5, .times = 2});
    EXPECT_FALSE(FSetBitmap("x", 1));
    EXPECT_EQ(fake::LastError(), 5u);
    EXPECT_FALSE(FSetBitmap("x", 1));
    EXPECT_TRUE(FSetBitmap("x", 1));
    EXPECT_EQ(fake::CountCalls("FSetBitmap"), 3);

    fake::FailCall("GetWindowsDirectoryA");
    char buffer[32] = "keep";
    EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "keep");  // a failed call writes nothing
}

TEST_F(FakePlatform, DirectoriesAnswerTheSizeNeededWhenTheBufferIsSmall) {
    fake::SetWindowsDirectory("C:\\WINNT");
    char buffer[16] = "keep";
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 8), 9u);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 9), 8u);
    EXPECT_STREQ(buffer, "C:\\WINNT");
}

TEST_F(FakePlatform, PortsAreLaidOutInTheCallersBuffer) {
    fake::SetPorts({"LPT1:", "PUB:", "\\\\server\\plotter"});
    DWORD needed = 0;
    DWORD returned = 99;
    EXPECT_FALSE(EnumPortsA(nullptr, 1, nullptr, 0, &needed, nullptr));
    EXPECT_EQ(fake::LastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(needed, 3 * sizeof(PORT_INFO_1) + 6 + 5 + 17);
    std::vector<BYTE> small(needed - 1);
    EXPECT_FALSE(EnumPortsA(nullptr, 1, small.data(), needed - 1, &needed, &returned));
    EXPECT_EQ(returned, 0u);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &returned));
    ASSERT_EQ(returned, 3u);
    const auto *ports = reinterpret_cast<const PORT_INFO_1 *>(buffer.data());
    EXPECT_STREQ(ports[1].pName, "PUB:");
    EXPECT_STREQ(ports[2].pName, "\\\\server\\plotter");
    EXPECT_GE(reinterpret_cast<const BYTE *>(ports[2].pName), buffer.data());
    EXPECT_LT(reinterpret_cast<const BYTE *>(ports[2].pName), buffer.data() + buffer.size());
}

TEST_F(FakePlatform, DriversAndPrinters) {
    fake::SetDrivers({fake::DriverRecord{.name = "ORV 412"}});
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPrinterDriversA(nullptr, nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumPrinterDriversA(nullptr, nullptr, 2, buffer.data(), needed, &needed, &returned));
    ASSERT_EQ(returned, 1u);
    EXPECT_STREQ(reinterpret_cast<const DRIVER_INFO_2 *>(buffer.data())->pName, "ORV 412");

    fake::FailCall("DeletePrinterDriverA", {.result = 0, .lastError = ERROR_PRINTER_DRIVER_IN_USE, .times = 1});
    EXPECT_FALSE(DeletePrinterDriverA(nullptr, nullptr, const_cast<char *>("ORV 412")));
    EXPECT_EQ(fake::LastError(), ERROR_PRINTER_DRIVER_IN_USE);
    EXPECT_TRUE(DeletePrinterDriverA(nullptr, nullptr, const_cast<char *>("ORV 412")));
    EXPECT_TRUE(fake::Drivers().empty());

    fake::SetPrinters({"Old"});
    HANDLE printer = nullptr;
    EXPECT_FALSE(OpenPrinterA(const_cast<char *>("Other"), &printer, nullptr));
    ASSERT_TRUE(OpenPrinterA(const_cast<char *>("Old"), &printer, nullptr));
    EXPECT_TRUE(DeletePrinter(printer));
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_TRUE(fake::Printers().empty());
    EXPECT_EQ(fake::OpenPrinterHandles(), 0);

    PRINTER_INFO_2 info{};
    info.pPrinterName = const_cast<char *>("New");
    info.pPortName = const_cast<char *>("LPT1:");
    info.pDriverName = const_cast<char *>("New");
    info.Attributes = PRINTER_ATTRIBUTE_DEFAULT;
    HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)), nullptr);
    EXPECT_EQ(fake::LastError(), ERROR_PRINTER_ALREADY_EXISTS);
    ASSERT_EQ(fake::AddedPrinters().size(), 1u);
    EXPECT_EQ(fake::AddedPrinters()[0].portName, "LPT1:");
    EXPECT_EQ(fake::AddedPrinters()[0].attributes, PRINTER_ATTRIBUTE_DEFAULT);
}

TEST_F(FakePlatform, RegistryKeysValuesAndDeletion) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Orvalen\\Plot", &key), 0);
    const char value[] = "C:\\WINNT";
    ASSERT_EQ(RegSetValueExA(key, "Dir", 0, REG_SZ, reinterpret_cast<const BYTE *>(value), sizeof value), 0);
    EXPECT_EQ(fake::RegistryValue("HKEY_LOCAL_MACHINE\\software\\orvalen\\plot", "dir"), "C:\\WINNT");
    DWORD size = 4;
    char small[4];
    EXPECT_EQ(RegQueryValueExA(key, "Dir", nullptr, nullptr, reinterpret_cast<LPBYTE>(small), &size),
              static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(size, sizeof value);
    EXPECT_EQ(RegCloseKey(key), 0);

    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Orvalen", &parent), 0);
    char name[16];
    EXPECT_EQ(RegEnumKeyA(parent, 0, name, sizeof name), 0);
    EXPECT_STREQ(name, "Plot");
    EXPECT_EQ(RegEnumKeyA(parent, 1, name, sizeof name), static_cast<LONG>(ERROR_NO_MORE_ITEMS));
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Orvalen"), static_cast<LONG>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(RegDeleteKeyA(parent, "Plot"), 0);
    EXPECT_EQ(RegCloseKey(parent), 0);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Orvalen"), 0);
    EXPECT_FALSE(fake::RegistryKeyExists("HKEY_LOCAL_MACHINE\\Software\\Orvalen"));
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Orvalen", &key), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
}

TEST_F(FakePlatform, HeapBuffersAreCountedAndCanFail) {
    void *buffer = HeapAllocZeroed(0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(fake::LiveHeapBuffers(), 1);
    HeapRelease(buffer);
    EXPECT_EQ(fake::LiveHeapBuffers(), 0);
    fake::FailCall("HeapAllocZeroed", {.times = 1});
    EXPECT_EQ(HeapAllocZeroed(16), nullptr);
}

TEST_F(FakePlatform, ProcessExitIsCaught) {
    EXPECT_EQ(fake::RunUntilExit([] { ProcessExit(3); }), 3);
    EXPECT_EQ(fake::CallTexts(), std::vector<std::string>{"ProcessExit(3)"});
}

}  // namespace
