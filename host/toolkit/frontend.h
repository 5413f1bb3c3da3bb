// The dialog library "mscuistf.dll" as the toolkit sees it: the definitions of every
// dialog it holds (kind, texts, buttons, help), and the abstract front end that puts
// a dialog, a message box, the frame and the copy gauge in front of the user. The
// toolkit keeps the dialog stack, counts the showings, completes the texts and logs;
// a front end only shows one thing at a time and answers through the symbols.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "host/toolkit/symbols.h"
#include "platform/wintypes.h"

namespace orv::toolkit {

// ---------------------------------------------------------------------------------
// Dialog definitions

enum class DialogKind {
    Info,     // text and buttons only (welcome, notices, confirmation, create directory)
    Quit,     // the quit confirmation
    Fatal,    // the fatal error dialog; its text ends with the last toolkit error
    Radio,    // two radio buttons, preset from "RadioDefault", answered in "ButtonChecked"
    Plotter,  // model list, port list, spool directory and default-printer box
    Help,     // a help text; shown on request over its dialog and raising no event
};

// The four event words a dialog writes into "DLGEVENT". The program reads only the
// first two characters of each.
enum class DialogEvent { Continue, Back, Cancel, Exit };
inline constexpr const char *kEventContinue = "CONTINUE";
inline constexpr const char *kEventBack = "BACK";
inline constexpr const char *kEventCancel = "CANCEL";
inline constexpr const char *kEventExit = "EXIT";
const char *EventWord(DialogEvent event);
// Parses an event word without regard to case; false for anything else.
bool ParseEventWord(std::string_view word, DialogEvent &event);

struct DialogDefinition {
    int id;
    DialogKind kind;
    const char *procedure;      // the dialog procedure the program names, e.g. "FInfoDlgProc"
    const char *answerSection;  // its section in an answer file, e.g. "Welcome"; nullptr for help
    const char *title;
    const char *body;           // the fixed text; see DialogShowing::text for what is shown
    // Button labels; nullptr where the dialog has no such button. Escape, where a
    // front end offers it, raises "CANCEL" in every dialog but help.
    const char *continueLabel;
    const char *backLabel;
    const char *exitLabel;
    // Radio: the two buttons ("1" and "2"). Plotter: the labels of the model list,
    // the port list, the spool-directory entry and the default-printer box.
    const char *controlLabels[4];
    int helpId;                 // the help dialog shown on request; 0: none
};

// Every dialog of the library: 100, 101, 102, 200, 400, 800, 850, 906, 908, 6400
// and the help dialogs 900, 901, 903, 904, 907.
std::span<const DialogDefinition> AllDialogs();
// nullptr for an id the library does not hold.
const DialogDefinition *FindDialog(int id);
// The dialog whose answer-file section is `section` (without regard to case).
const DialogDefinition *FindDialogBySection(std::string_view section);

// The symbols the dialogs exchange with the program.
inline constexpr const char *kSymEvent = "DLGEVENT";
inline constexpr const char *kSymRadioDefault = "RadioDefault";    // value "1" or "2"
inline constexpr const char *kSymButtonChecked = "ButtonChecked";  // value "1" or "2"
inline constexpr const char *kSymCheckState = "CheckItemsState";   // list; item 1 "ON" or "OFF" (in and out)
inline constexpr const char *kSymPortsIn = "ListItemsIn";          // list of port names
inline constexpr const char *kSymPortDefault = "ListDefault";      // value: the preset port name
inline constexpr const char *kSymPortOut = "ListItemsOut";         // list; item 1: the chosen port
inline constexpr const char *kSymSpoolIn = "EditTextIn";           // list; item 1: the preset spool directory
inline constexpr const char *kSymSpoolOut = "EditTextOut";         // list; item 1: the spool directory as edited
inline constexpr const char *kSymModelsIn = "List2ItemsIn";        // list of model names (may hold empty names)
inline constexpr const char *kSymModelDefault = "List2Default";    // value: zero-based position of the preset model
inline constexpr const char *kSymModelOut = "List2ItemsOut";       // value: the chosen model name

// ---------------------------------------------------------------------------------
// The front end

// One showing of a dialog, as the toolkit hands it to the front end.
struct DialogShowing {
    int number = 1;        // 1 for the first showing of this dialog id in the run
    bool reshown = false;  // the dialog was still open: this brings it back for another event
    std::string text;      // the text to show: the body, completed for this showing (the
                           // confirmation's summary, the fatal dialog's last error)
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Shows one dialog until the user raises an event. Reads the dialog's In and
    // Default symbols and, before answering true, writes "DLGEVENT" (one of the four
    // event words) and the dialog's answers:
    //   Radio (800, 908): "ButtonChecked" = "1" or "2", preset from "RadioDefault".
    //   Plotter (850): "CheckItemsState" item 1 "ON"/"OFF"; "ListItemsOut" item 1 the
    //     port; "EditTextOut" item 1 the spool directory; "List2ItemsOut" the model name.
    //     Presets: "CheckItemsState", "ListItemsIn" with "ListDefault" (a port name),
    //     "EditTextIn", "List2ItemsIn" with "List2Default" (a position).
    // Help is the front end's own business: it shows FindDialog(dialog.helpId) and
    // returns to the same dialog without an event.
    // False when the dialog cannot be shown or answered, with `error` saying why; the
    // toolkit's dialog call then fails.
    virtual bool RunDialog(const DialogDefinition &dialog, SymbolStore &symbols, const DialogShowing &showing,
                           std::string &error) = 0;

    // A modal message box with one OK button and the icon given in `style`
    // (MB_ICONSTOP 0x10, MB_ICONQUESTION 0x20, MB_ICONWARNING 0x30,
    // MB_ICONINFORMATION 0x40). Answers IDOK (1).
    virtual int MessageBox(std::string_view text, std::string_view caption, UINT style) = 0;

    // The frame: its title, its banner (FSetBitmap's library and bitmap number) and
    // the "About" text.
    virtual void SetTitle(std::string_view title) = 0;
    virtual void SetBanner(std::string_view library, int bitmapNumber) = 0;
    virtual void SetAbout(std::string_view title, std::string_view text) = 0;
    virtual void WaitCursor(bool on) = 0;

    // The copy gauge of GrcCopyFilesInCopyList. `file` is the Windows path of the
    // destination being written. Answering false from CopyProgress asks to quit the
    // copy (the copy then answers 48).
    virtual void BeginCopy(std::size_t fileCount, std::uint64_t totalBytes) = 0;
    virtual bool CopyProgress(std::string_view file, std::uint64_t bytesDone, std::uint64_t totalBytes) = 0;
    virtual void EndCopy() = 0;

    // Restores whatever the front end took over (the terminal). Runs on every way
    // out, more than once at most harmlessly.
    virtual void Shutdown() = 0;
};

struct AnswerFile;  // host/toolkit/answer_file.h

// What InitializeFrame found on the command line for the front end.
struct FrontEndSettings {
    bool unattended = false;
    const AnswerFile *answers = nullptr;  // unattended: the answers, or nullptr for presets only
};

using FrontEndFactory = std::unique_ptr<FrontEnd> (*)(const FrontEndSettings &settings, std::string &error);

// The unattended front end; defined by orv_ui_unattended.
std::unique_ptr<FrontEnd> CreateUnattendedFrontEnd(const FrontEndSettings &settings, std::string &error);
// The interactive terminal front end. When a library defines it (orv_ui_newt),
// host/ui/CMakeLists.txt links that library into orv_host_toolkit and defines
// ORV_HAVE_TERMINAL_FRONTEND there; without it an interactive run ends with the
// message that no terminal front end is available. It answers nullptr with `error`
// set when the terminal cannot be used.
std::unique_ptr<FrontEnd> CreateTerminalFrontEnd(const FrontEndSettings &settings, std::string &error);

// Replaces the choice of InitializeFrame (tests); nullptr restores it.
void SetFrontEndFactory(FrontEndFactory factory);

// The front end of the running frame; nullptr while no frame is up.
FrontEnd *ActiveFrontEnd();

}  // namespace orv::toolkit
