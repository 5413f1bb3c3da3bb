// The frame and the install layer: the command line and its options, the workstation
// and the setup disk, the front end, the log, the saved answers and the exit status;
// and the frame's bitmap, title, about text, cursor and modes.
#include <cstdio>
#include <unistd.h>

#include "host/toolkit/answer_file.h"
#include "host/toolkit/copy_engine.h"
#include "host/toolkit/frontend.h"
#include "host/toolkit/inf_file.h"
#include "host/toolkit/options.h"
#include "host/toolkit/setup_log.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/workstation/machine.h"
#include "host/workstation/spooler_admin.h"
#include "host/workstation/windows.h"
#include "platform/toolkit.h"
#include "platform/win32.h"

namespace orv::toolkit {

namespace fs = std::filesystem;

namespace {

// Opaque, non-null handles of the one frame window, its instance and its cursors.
char g_windowTag;
char g_instanceTag;
char g_arrowTag;

struct Frame {
    bool up = false;
    bool installUp = false;
    bool unattended = false;
    bool hooksInstalled = false;
    bool finished = false;
    std::optional<fs::path> saveAnswers;
    AnswerFile answers;
    std::unique_ptr<FrontEnd> frontEnd;
    FrontEndFactory factory = nullptr;
    bool beeping = true;
    bool silent = false;
};

Frame &TheFrame() {
    static Frame frame;
    return frame;
}

void Report(const std::string &message) {
    std::fprintf(stderr, "orvalen-setup: %s\n", message.c_str());
    std::fflush(stderr);
    LogLine("error: " + message);
}

// Ends the run's records: the log's outcome line and the saved answers.
void FinishRun() {
    auto &frame = TheFrame();
    if (frame.finished) return;
    frame.finished = true;
    if (frame.frontEnd) {
        frame.frontEnd->Shutdown();
        frame.frontEnd.reset();
    }
    Outcome outcome = InferOutcome(Events());
    if (frame.saveAnswers && Events().dialogShown) {
        std::string error;
        if (!SaveAnswerFile(*frame.saveAnswers, RecordedAnswers(), error)) {
            Report("cannot save the answers: " + error);
        } else {
            LogLine("answers saved to " + frame.saveAnswers->string());
        }
    }
    FinishRunLog(outcome);
}

void InstallExitHandling(bool unattended) {
    auto &frame = TheFrame();
    frame.unattended = unattended;
    if (frame.hooksInstalled) return;
    frame.hooksInstalled = true;
    orv::host::AddExitHook([] { FinishRun(); });
    orv::host::SetExitCodeMapper([](int code) {
        // The program ends every way with 0; an unattended run tells automation how
        // the installation went instead.
        if (code != 0 || !TheFrame().unattended) return code;
        return OutcomeExitStatus(InferOutcome(Events()));
    });
}

fs::path DefaultDiskDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        fs::path installed = exe.parent_path().parent_path() / ORV_INSTALL_DATADIR / "orvalen-setup" / "disk";
        if (fs::is_directory(installed, ec)) return installed;
    }
    return fs::path(ORV_SOURCE_DISK_DIR);
}

std::unique_ptr<FrontEnd> MakeFrontEnd(const FrontEndSettings &settings, std::string &error) {
    auto &frame = TheFrame();
    if (frame.factory != nullptr) return frame.factory(settings, error);
    if (settings.unattended) return CreateUnattendedFrontEnd(settings, error);
#ifdef ORV_HAVE_TERMINAL_FRONTEND
    if (::isatty(STDIN_FILENO) == 1 && ::isatty(STDOUT_FILENO) == 1) return CreateTerminalFrontEnd(settings, error);
    error = "no terminal: run orvalen-setup at a terminal, or use --unattended or --answers FILE";
#else
    error = "no terminal front end is built into this orvalen-setup; use --unattended or --answers FILE";
#endif
    return nullptr;
}

int StartFrame(const std::string &tail) {
    auto &frame = TheFrame();
    if (frame.up) return 0;
    std::vector<std::string> arguments = SplitCommandLine(tail);
    FrameOptions options;
    std::string error;
    if (!ParseFrameOptions(arguments, options, error)) {
        InstallExitHandling(AsksForUnattended(arguments));
        Report(error + " (see orvalen-setup --help)");
        return 0;
    }
    if (options.help || options.version) {
        std::fputs(options.help ? HelpText().c_str() : VersionText().c_str(), stdout);
        std::fflush(stdout);
        return -1;
    }
    InstallExitHandling(options.unattended);
    frame.finished = false;
    if (options.log && !OpenRunLog(*options.log, error)) {
        Report(error);
        return 0;
    }
    LogLine("orvalen-setup 1.0.0, command line: " + tail);
    if (options.saveAnswers) frame.saveAnswers = fs::absolute(*options.saveAnswers);

    // The answers are checked before anything is touched: bad answers change nothing.
    if (options.answers) {
        if (!LoadAnswerFile(*options.answers, frame.answers, error)) {
            Report(error);
            return 0;
        }
        LogLine("answers: " + *options.answers);
    }

    fs::path machine = options.machine ? fs::path(*options.machine) : orv::host::DefaultMachineDirectory();
    if (!orv::host::OpenMachine(machine, true, error)) {
        Report("cannot open the workstation " + machine.string() + ": " + error);
        return 0;
    }
    LogLine("workstation: " + fs::absolute(machine).string());

    fs::path disk = options.disk ? fs::path(*options.disk) : DefaultDiskDirectory();
    std::error_code ec;
    if (!fs::is_directory(disk, ec)) {
        Report("the setup disk " + disk.string() + " is not a folder");
        return 0;
    }
    if (!orv::host::MapDrive('A', fs::absolute(disk), true, error)) {
        Report("cannot use the setup disk " + disk.string() + ": " + error);
        return 0;
    }
    DWORD code = 0;
    if (!orv::host::SetCurrentDirectoryWin("A:\\", code)) {
        Report("cannot change to the setup disk: error " + std::to_string(code));
        return 0;
    }
    LogLine("setup disk: " + fs::absolute(disk).string() + " as A:\\");
    // Each change the spooler makes from here on goes into the log as it happens.
    orv::host::spooler::SetChangeNotice([](const std::string &change) { LogLine("spooler: " + change); });

    FrontEndSettings settings;
    settings.unattended = options.unattended;
    if (options.answers) settings.answers = &frame.answers;
    frame.frontEnd = MakeFrontEnd(settings, error);
    if (!frame.frontEnd) {
        Report(error.empty() ? "the front end cannot start" : error);
        return 0;
    }

    Symbols().SetValue("STF_SRCDIR", "A:\\");
    Symbols().SetValue("STF_CWDDIR", orv::host::CurrentDirectoryWin());
    Symbols().SetValue("STF_WINDOWS_DIR", orv::host::WindowsDirectory());
    Symbols().SetValue("STF_SYS_DIR", orv::host::SystemDirectory());

    orv::host::SetMessageBoxHandler([](HWND, const char *text, const char *caption, UINT style) {
        return ShowMessage(text != nullptr ? text : "", caption != nullptr ? caption : "", style);
    });
    orv::host::SetWindowTextHandler([](const char *text) {
        if (FrontEnd *frontEnd = ActiveFrontEnd()) frontEnd->SetTitle(text != nullptr ? text : "");
    });
    orv::host::SetFrameWindow(reinterpret_cast<HWND>(&g_windowTag));
    orv::host::InstallQuitSignalHandlers();
    frame.up = true;
    return 1;
}

}  // namespace

void SetFrontEndFactory(FrontEndFactory factory) { TheFrame().factory = factory; }

FrontEnd *ActiveFrontEnd() { return TheFrame().frontEnd.get(); }

// Ends the run as the exit hook would (tests that do not exit the process).
void FinishRunForTesting() { FinishRun(); }

void ResetFrameForTesting() {
    auto &frame = TheFrame();
    FrontEndFactory factory = frame.factory;
    bool hooks = frame.hooksInstalled;
    frame = Frame{};
    frame.factory = factory;
    frame.hooksInstalled = hooks;
}

bool FrameIsUnattended() { return TheFrame().unattended; }

bool MessagesSilenced() { return TheFrame().silent; }

}  // namespace orv::toolkit

using namespace orv::toolkit;

int InitializeFrame(LPCSTR commandLineTail) {
    try {
        return StartFrame(commandLineTail != nullptr ? commandLineTail : "");
    } catch (const std::exception &error) {
        Report(std::string("the frame cannot start: ") + error.what());
    } catch (...) {
        Report("the frame cannot start");
    }
    return 0;
}

HWND HwndFrame() { return TheFrame().up ? reinterpret_cast<HWND>(&g_windowTag) : nullptr; }

HINSTANCE HinstFrame() { return TheFrame().up ? reinterpret_cast<HINSTANCE>(&g_instanceTag) : nullptr; }

BOOL FInitializeInstall(HINSTANCE instance, HWND frame) {
    auto &state = TheFrame();
    if (!state.up || instance != HinstFrame() || frame != HwndFrame()) return FALSE;
    state.installUp = true;
    LogLine("install layer up");
    return TRUE;
}

BOOL FSetBitmap(LPCSTR library, int bitmapNumber) {
    FrontEnd *frontEnd = ActiveFrontEnd();
    if (frontEnd == nullptr || library == nullptr || library[0] == '\0') return FALSE;
    try {
        frontEnd->SetBanner(library, bitmapNumber);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FSetAbout(LPCSTR title, LPCSTR text) {
    FrontEnd *frontEnd = ActiveFrontEnd();
    if (frontEnd == nullptr) {
        SetLastToolkitError("FSetAbout: the frame is not up, there is no screen to show the about text");
        return FALSE;
    }
    try {
        frontEnd->SetAbout(title != nullptr ? title : "", text != nullptr ? text : "");
        return TRUE;
    } catch (...) {
        SetLastToolkitError("FSetAbout: the screen cannot take the about text");
        return FALSE;
    }
}

// The mode is kept and logged but makes no sound: neither front end beeps (a bell
// on the terminal would disturb the screens and means nothing to an unattended run).
BOOL FSetBeepingMode(BOOL beeping) {
    TheFrame().beeping = beeping != FALSE;
    LogLine(std::string("beeping mode ") + (beeping != FALSE ? "on" : "off"));
    return TRUE;
}

// In silent mode message boxes go to the setup log only and answer OK at once; the
// dialogs themselves still run.
BOOL FSetSilent(BOOL silent) {
    TheFrame().silent = silent != FALSE;
    LogLine(std::string("silent mode ") + (silent != FALSE ? "on: message boxes go to the log only" : "off"));
    return TRUE;
}

HCURSOR HShowWaitCursor() {
    if (FrontEnd *frontEnd = ActiveFrontEnd()) {
        try {
            frontEnd->WaitCursor(true);
        } catch (...) {
        }
    }
    return reinterpret_cast<HCURSOR>(&g_arrowTag);
}

BOOL FRestoreCursor(HCURSOR previous) {
    (void)previous;  // there is one cursor besides the wait cursor: the arrow
    if (FrontEnd *frontEnd = ActiveFrontEnd()) {
        try {
            frontEnd->WaitCursor(false);
        } catch (...) {
        }
    }
    return TRUE;
}

BOOL TerminateFrame() {
    auto &frame = TheFrame();
    FKillNDialogs(-1);
    if (frame.frontEnd) {
        try {
            frame.frontEnd->Shutdown();
        } catch (...) {
        }
        // Whatever comes after the teardown (a late message) goes to stderr.
        frame.frontEnd.reset();
    }
    if (frame.up) {
        orv::host::spooler::SetChangeNotice({});
        orv::host::SetFrameWindow(nullptr);
        LogLine("frame down");
    }
    frame.up = false;
    return TRUE;
}

BOOL TerminateInstall() {
    auto &frame = TheFrame();
    if (frame.installUp) LogLine("install layer down");
    frame.installUp = false;
    return TRUE;
}
