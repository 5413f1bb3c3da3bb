// The dialog library "mscuistf.dll": the dialog stack, the showings of each dialog,
// the texts completed for a showing, message boxes, and the log and the saved
// answers of everything the user answered.
#include <algorithm>
#include <cstdio>
#include <map>

#include "host/toolkit/answer_file.h"
#include "host/toolkit/frontend.h"
#include "host/toolkit/setup_log.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/workstation/windows.h"
#include "platform/toolkit.h"
#include "platform/win32.h"

namespace orv::toolkit {

namespace {

constexpr const char *kLibraryName = "mscuistf.dll";

// What the plotter and driver dialogs last answered, for the confirmation's summary.
// The program removes the plotter dialog's presets once it is done with them, so the
// library keeps its own copy.
struct Selection {
    bool known = false;
    std::string model;
    std::string port;
    std::string spoolDirectory;
    bool defaultPrinter = true;
    int driverButton = 0;  // of dialog 800 after the last plotter dialog; 0: not asked
};

struct DialogLibrary {
    std::vector<int> stack;
    std::map<int, int> showings;
    AnswerRecorder recorder;
    Selection selection;
};

DialogLibrary &Library() {
    static DialogLibrary library;
    return library;
}

std::string WithTrailingBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

// The printer name the setup gives a model. The vector driver's printers carry the
// driver's number, except where the catalogue names them otherwise.
std::string PrinterName(const Selection &selection) {
    if (selection.driverButton != 1) return selection.model;
    if (selection.model == "ORV Statora 47436") return selection.model;
    if (selection.model == "ORV InkRay Color 190i") return "ORV InkRay 190i (412)";
    return selection.model + " (412)";
}

std::string ConfirmationText(const DialogDefinition &dialog) {
    const Selection &selection = Library().selection;
    std::string text = dialog.body;
    if (!selection.known) return text;
    std::string driver = selection.model.empty() ? "the model's own driver"
                         : selection.driverButton == 2 ? "raster driver (IRCOL_RS)"
                                                      : "vector driver (ORV412)";
    text += "\n\n";
    text += "  Model:            " + selection.model + "\n";
    text += "  Driver:           " + driver + "\n";
    text += "  Printer name:     " + PrinterName(selection) + "\n";
    text += "  Port:             " + selection.port + "\n";
    text += "  Spool directory:  " + WithTrailingBackslash(selection.spoolDirectory) + "\n";
    text += std::string("  Default printer:  ") + (selection.defaultPrinter ? "yes" : "no");
    return text;
}

std::string ShowingText(const DialogDefinition &dialog) {
    if (dialog.id == 101) return ConfirmationText(dialog);
    std::string text = dialog.body;
    if (dialog.kind == DialogKind::Fatal) {
        if (!LastToolkitError().empty()) {
            text += "\n\nThe error: " + LastToolkitError();
        } else if (!StopReason().empty()) {
            text += "\n\n" + StopReason();
        } else if (orv::host::QuitMessageTaken()) {
            text += "\n\nSetup was interrupted (Ctrl-C, or the system asked it to end).";
        }
    }
    if (dialog.id == 6400) {
        auto spool = Symbols().Item(kSymSpoolOut, 1);
        if (spool && !spool->empty()) text += "\n\nDirectory: " + *spool;
    }
    return text;
}

std::string AnswerSummary(const DialogDefinition &dialog, const SymbolStore &symbols) {
    if (dialog.kind == DialogKind::Plotter) {
        return "; model=" + symbols.Value(kSymModelOut) + ", port=" + symbols.Item(kSymPortOut, 1).value_or("") +
               ", spool directory=" + symbols.Item(kSymSpoolOut, 1).value_or("") +
               ", default printer=" + (symbols.Item(kSymCheckState, 1).value_or("") == "ON" ? "yes" : "no");
    }
    if (dialog.kind == DialogKind::Radio) {
        std::string checked = symbols.Value(kSymButtonChecked);
        const char *label = !checked.empty() && checked[0] == '1' ? dialog.controlLabels[0] : dialog.controlLabels[1];
        return "; button " + std::string(!checked.empty() && checked[0] == '1' ? "1" : "2") + " (" + label + ")";
    }
    return {};
}

void NoteAnswer(const DialogDefinition &dialog, const SymbolStore &symbols, DialogEvent event) {
    auto &selection = Library().selection;
    if (dialog.kind == DialogKind::Plotter) {
        selection.known = true;
        selection.model = symbols.Value(kSymModelOut);
        selection.port = symbols.Item(kSymPortOut, 1).value_or("");
        selection.spoolDirectory = symbols.Item(kSymSpoolOut, 1).value_or("");
        selection.defaultPrinter = symbols.Item(kSymCheckState, 1).value_or("") == "ON";
        selection.driverButton = 0;
    } else if (dialog.id == 800) {
        std::string checked = symbols.Value(kSymButtonChecked);
        selection.driverButton = !checked.empty() && checked[0] == '1' ? 1 : 2;
    }
    auto &events = Events();
    if (dialog.kind == DialogKind::Quit && event == DialogEvent::Exit) events.quitConfirmed = true;
}

}  // namespace

int ShowMessage(std::string_view text, std::string_view caption, UINT style) {
    LogLine("message box [" + std::string(caption) + "]: " + std::string(text));
    NoteMessageBox(text, caption);
    if (MessagesSilenced()) return IDOK;
    if (FrontEnd *frontEnd = ActiveFrontEnd()) {
        try {
            return frontEnd->MessageBox(text, caption, style);
        } catch (...) {
            // Fall through to the plain report.
        }
    }
    std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(caption.size()), caption.data(), static_cast<int>(text.size()),
                 text.data());
    std::fflush(stderr);
    return IDOK;
}

void ResetDialogLibrary() { Library() = DialogLibrary{}; }

const std::vector<int> &OpenDialogs() { return Library().stack; }

const AnswerFile &RecordedAnswers() { return Library().recorder.Answers(); }

}  // namespace orv::toolkit

using namespace orv::toolkit;

BOOL FDoDialogExt(HWND frame, LPCSTR library, int dialogId, LPCSTR procedure, LPCSTR helpLibrary, int helpId,
                  LPCSTR helpProcedure) {
    (void)frame;
    (void)procedure;  // each dialog has its one procedure; the name is not needed to run it
    (void)helpLibrary;
    (void)helpId;  // the library knows each dialog's help
    (void)helpProcedure;
    try {
        FrontEnd *frontEnd = ActiveFrontEnd();
        if (frontEnd == nullptr) {
            SetLastToolkitError("dialog " + std::to_string(dialogId) + " cannot be shown: the frame is not up");
            return FALSE;
        }
        if (library == nullptr || !EqualNoCase(library, kLibraryName)) {
            SetLastToolkitError("dialog library " + std::string(library != nullptr ? library : "(none)") + " is not available");
            return FALSE;
        }
        const DialogDefinition *dialog = FindDialog(dialogId);
        if (dialog == nullptr) {
            SetLastToolkitError("dialog " + std::to_string(dialogId) + " is not in " + kLibraryName);
            return FALSE;
        }
        auto &state = Library();
        bool reshown = std::find(state.stack.begin(), state.stack.end(), dialogId) != state.stack.end();
        if (!reshown) state.stack.push_back(dialogId);
        int number = ++state.showings[dialogId];

        DialogShowing showing;
        showing.number = number;
        showing.reshown = reshown;
        showing.text = ShowingText(*dialog);
        Events().dialogShown = true;
        if (dialog->kind == DialogKind::Fatal) Events().fatalShown = true;

        std::string section = dialog->answerSection != nullptr ? dialog->answerSection : dialog->title;
        std::string prefix = "dialog " + std::to_string(dialogId) + " (" + section + "), showing " + std::to_string(number);
        Symbols().Remove(kSymEvent);
        std::string error;
        if (!frontEnd->RunDialog(*dialog, Symbols(), showing, error)) {
            if (!reshown) state.stack.pop_back();
            LogLine(prefix + ": failed");
            SetLastToolkitError(error.empty() ? "dialog " + std::to_string(dialogId) + " could not be shown" : error);
            return FALSE;
        }
        DialogEvent event;
        if (!ParseEventWord(Symbols().Value(kSymEvent), event)) {
            // A front end that set no event leaves the dialog as if continued.
            event = DialogEvent::Continue;
            Symbols().SetValue(kSymEvent, EventWord(event));
        }
        LogLine(prefix + ": " + EventWord(event) + AnswerSummary(*dialog, Symbols()));
        state.recorder.Record(*dialog, number, Symbols(), event);
        NoteAnswer(*dialog, Symbols(), event);
        return TRUE;
    } catch (...) {
        SetLastToolkitError("dialog " + std::to_string(dialogId) + " failed: out of memory");
        return FALSE;
    }
}

BOOL FKillNDialogs(int count) {
    auto &stack = Library().stack;
    if (count < -1) return FALSE;
    std::size_t closing = count == -1 ? stack.size() : std::min<std::size_t>(static_cast<std::size_t>(count), stack.size());
    stack.resize(stack.size() - closing);
    return TRUE;
}

int DoMsgBox(LPCSTR text, LPCSTR caption, UINT style) {
    try {
        return ShowMessage(text != nullptr ? text : "", caption != nullptr ? caption : "", style);
    } catch (...) {
        return IDOK;
    }
}

int EercErrorHandler(int errorCode, BOOL fatal, LPCSTR text1, LPCSTR text2, LPCSTR text3) {
    try {
        std::string text = "Setup error " + std::to_string(errorCode);
        for (LPCSTR part : {text1, text2, text3}) {
            if (part != nullptr && part[0] != '\0') text += std::string(": ") + part;
        }
        text += ".";
        SetLastToolkitError(text);
        ShowMessage(text, fatal ? "Setup Error" : "Setup Warning", fatal ? MB_ICONSTOP : MB_ICONWARNING);
    } catch (...) {
        // Reporting must not fail the caller.
    }
    return 0;
}

namespace {

struct Billboard {
    std::string library;
    int dialogId;
    LONG ticks;
};

std::vector<Billboard> &Billboards() {
    static std::vector<Billboard> list;
    return list;
}

}  // namespace

BOOL FAddToBillboardList(LPCSTR library, int dialogId, LPCSTR procedure, LONG ticks) {
    (void)procedure;
    try {
        Billboards().push_back(Billboard{library != nullptr ? library : "", dialogId, ticks});
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FClearBillboardList() {
    Billboards().clear();
    return TRUE;
}
