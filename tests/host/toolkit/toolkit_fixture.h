// A temporary workstation and setup disk with the toolkit's frame up on them, and a
// scripted front end that records what it is shown and answers as a test says.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "host/toolkit/answer_file.h"
#include "host/toolkit/copy_engine.h"
#include "host/toolkit/frontend.h"
#include "host/toolkit/inf_file.h"
#include "host/toolkit/setup_log.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/workstation/machine.h"
#include "platform/toolkit.h"

namespace orv::toolkit::testing {

namespace fs = std::filesystem;

struct Script {
    std::vector<std::pair<std::string, std::string>> messages;  // caption, text
    std::vector<std::pair<int, DialogShowing>> showings;          // dialog id, showing
    std::function<bool(const DialogDefinition &, SymbolStore &, const DialogShowing &, std::string &)> onDialog;
    std::function<bool(std::string_view, std::uint64_t, std::uint64_t)> onProgress;
    int copiesBegun = 0;
    int copiesEnded = 0;
};

inline Script &TheScript() {
    static Script script;
    return script;
}

class ScriptedFrontEnd final : public FrontEnd {
public:
    bool RunDialog(const DialogDefinition &dialog, SymbolStore &symbols, const DialogShowing &showing,
                   std::string &error) override {
        TheScript().showings.emplace_back(dialog.id, showing);
        if (TheScript().onDialog) return TheScript().onDialog(dialog, symbols, showing, error);
        symbols.SetValue(kSymEvent, kEventContinue);
        return true;
    }
    int MessageBox(std::string_view text, std::string_view caption, UINT) override {
        TheScript().messages.emplace_back(std::string(caption), std::string(text));
        return 1;
    }
    void SetTitle(std::string_view) override {}
    void SetBanner(std::string_view, int) override {}
    void SetAbout(std::string_view, std::string_view) override {}
    void WaitCursor(bool) override {}
    void BeginCopy(std::size_t, std::uint64_t) override { ++TheScript().copiesBegun; }
    bool CopyProgress(std::string_view file, std::uint64_t done, std::uint64_t total) override {
        return !TheScript().onProgress || TheScript().onProgress(file, done, total);
    }
    void EndCopy() override { ++TheScript().copiesEnded; }
    void Shutdown() override {}
};

inline std::unique_ptr<FrontEnd> MakeScripted(const FrontEndSettings &, std::string &) {
    return std::make_unique<ScriptedFrontEnd>();
}

inline void WriteText(const fs::path &file, const std::string &text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string ReadText(const fs::path &file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

// A fresh machine and disk in a temporary folder, the frame up with `extraOptions`.
class FrameFixture : public ::testing::Test {
protected:
    fs::path root;
    fs::path machine;
    fs::path disk;
    bool scripted = true;

    void SetUp() override {
        char pattern[] = "/tmp/orv-toolkit-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        machine = root / "machine";
        disk = root / "disk";
        fs::create_directories(disk);
        TheScript() = Script{};
        Symbols().Clear();
        ResetDialogLibrary();
        ResetRunLog();
        ResetFrameForTesting();
        ClearLastToolkitError();
        OpenedInf().Close();
        CopyList().clear();
        SetFreeSpaceProbe(nullptr);
    }

    // Brings the frame up; the machine is made by the first call.
    void StartFrame(const std::string &extraOptions = "") {
        SetFrontEndFactory(scripted ? &MakeScripted : nullptr);
        std::string tail = "--machine \"" + machine.string() + "\" --disk \"" + disk.string() + "\" --unattended " + extraOptions;
        ASSERT_EQ(InitializeFrame(tail.c_str()), 1);
        ASSERT_TRUE(FInitializeInstall(HinstFrame(), HwndFrame()));
    }

    // The host path of a Windows path on the machine.
    fs::path Host(const std::string &windowsPath) {
        fs::path host;
        DWORD error = 0;
        EXPECT_TRUE(orv::host::ResolvePath(windowsPath, host, error)) << windowsPath;
        return host;
    }

    void TearDown() override {
        TerminateFrame();
        TerminateInstall();
        SetFrontEndFactory(nullptr);
        SetFreeSpaceProbe(nullptr);
        ResetFrameForTesting();
        ResetRunLog();
        orv::host::CloseMachine();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

}  // namespace orv::toolkit::testing
