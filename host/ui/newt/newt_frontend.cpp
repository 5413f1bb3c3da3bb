// The interactive terminal front end of the dialog library, built on newt: the frame
// as the root screen (title, banner, key help), each dialog as a centred window,
// help on request, message boxes with their icon, the copy gauge and the wait note.
// It owns the terminal from its start to Shutdown and gives it back on every way
// out, a fatal stop and Ctrl-C included.
#include <newt.h>
#include <slang.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "host/toolkit/frontend.h"
#include "host/ui/newt/screen_text.h"
#include "host/workstation/windows.h"
#include "platform/win32.h"

namespace orv::toolkit {

namespace {

using orv::ui::DisplayWidth;
using orv::ui::FromScreen;
using orv::ui::ToScreen;
using orv::ui::WrapText;

constexpr int kMinColumns = 80;
constexpr int kMinRows = 24;
constexpr int kCtrlC = 3;
// How often a dialog looks for a quit request that arrived as a signal.
constexpr int kQuitPollMilliseconds = 200;
// The longest spool directory the program's field takes with its final backslash.
constexpr int kSpoolDirectoryLimit = 298;

// Set while newt owns the terminal; the exit hook and atexit read it.
bool g_terminalTaken = false;

// True once the terminal has hung up (its window closed, the tmux server killed, the
// ssh link dropped). newt must not touch such a terminal again: it would wait for its
// input to drain, and a hung-up terminal never stops reporting input.
bool TerminalHungUp() {
    int fd = SLang_TT_Read_FD >= 0 ? SLang_TT_Read_FD : STDIN_FILENO;
    struct pollfd terminal {fd, POLLIN, 0};
    if (poll(&terminal, 1, 0) <= 0) return false;
    return (terminal.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void GiveBackTerminal() {
    if (!g_terminalTaken) return;
    g_terminalTaken = false;
    // A terminal that hung up has nobody left to give it back to.
    if (!TerminalHungUp()) newtFinished();
}

// Lets go of a terminal that hung up without drawing on it again; the dialogs that
// follow then fail, which ends the setup.
bool LetGoOfHungUpTerminal() {
    if (!g_terminalTaken || !TerminalHungUp()) return false;
    g_terminalTaken = false;
    return true;
}

extern "C" void GiveBackTerminalAtExit() { GiveBackTerminal(); }

// The frame's banner, drawn from the dialog library's bitmap 1: a tall one where the
// screen has room for it, one line otherwise.
const char *const kTallBanner[] = {
    " ####  #####  #   #   ###   #      #####  #   #",
    "#    # #    # #   #  #   #  #      #      ##  #",
    "#    # #####  #   #  #####  #      ####   # # #",
    "#    # #  #    # #   #   #  #      #      #  ##",
    " ####  #   #    #    #   #  #####  #####  #   #",
};
constexpr int kTallBannerRows = 5;
constexpr const char *kShortBanner = "O R V A L E N   plotters";

enum class Outcome { None, Continue, Back, Exit, Cancel, Help, Quit, Timer };

// A centred window that is popped again when it goes out of scope.
class Window {
public:
    Window(int left, int top, int width, int height, const std::string &title) {
        newtOpenWindow(left, top, static_cast<unsigned>(width), static_cast<unsigned>(height), title.c_str());
    }
    // A window outliving the screen (the terminal already given back) draws nothing.
    ~Window() {
        if (g_terminalTaken) newtPopWindow();
    }
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;
};

// A form that destroys itself and its components.
class Form {
public:
    Form() : form_(newtForm(nullptr, nullptr, NEWT_FLAG_NOF12)) {}
    ~Form() { newtFormDestroy(form_); }
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;
    newtComponent get() const { return form_; }
    void Add(newtComponent component) { newtFormAddComponent(form_, component); }

private:
    newtComponent form_;
};

// Where a dialog window goes and how large it may be.
struct Placement {
    int left;
    int top;
    int width;
    int height;
};

struct ButtonSpec {
    const char *label;
    Outcome outcome;
};

class NewtFrontEnd final : public FrontEnd {
public:
    NewtFrontEnd() = default;
    ~NewtFrontEnd() override { Shutdown(); }

    bool Start(std::string &error) {
        const char *term = std::getenv("TERM");
        if (term == nullptr || term[0] == '\0' || std::strcmp(term, "dumb") == 0) {
            error = std::string("the terminal (TERM=") + (term != nullptr ? term : "") +
                    ") cannot show the setup screens; set TERM to your terminal's type, or use --unattended";
            return false;
        }
        // Checked here because the screen library ends the process on a terminal it
        // does not know.
        std::string termName = term;
        int known = SLtt_initialize(termName.data());
        if (known == -1) {
            error = std::string("the terminal type \"") + term + "\" is unknown here (no terminfo entry); set TERM to a "
                    "known type such as xterm, or use --unattended";
            return false;
        }
        if (known < 0) {
            error = std::string("the terminal type \"") + term + "\" lacks what the setup screens need; set TERM to a "
                    "type such as xterm, or use --unattended";
            return false;
        }
        struct winsize size {};
        if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0 &&
            (size.ws_col < kMinColumns || size.ws_row < kMinRows)) {
            error = "the terminal is " + std::to_string(size.ws_col) + "x" + std::to_string(size.ws_row) +
                    "; the setup screens need at least " + std::to_string(kMinColumns) + "x" + std::to_string(kMinRows) +
                    " (enlarge it, or use --unattended)";
            return false;
        }
        if (newtInit() < 0) {
            error = "the terminal cannot be set up for the setup screens; use --unattended";
            return false;
        }
        g_terminalTaken = true;
        static bool exitHooksInstalled = false;
        if (!exitHooksInstalled) {
            exitHooksInstalled = true;
            orv::host::AddExitHook([] { GiveBackTerminal(); });
            std::atexit(GiveBackTerminalAtExit);
        }
        orv::ui::SetScreenIsUtf8(SLutf8_is_utf8_mode() != 0);
        newtCls();
        newtPushHelpLine(HelpLine(true).c_str());
        DrawRoot();
        newtRefresh();
        return true;
    }

    bool RunDialog(const DialogDefinition &dialog, SymbolStore &symbols, const DialogShowing &showing,
                   std::string &error) override {
        if (LetGoOfHungUpTerminal()) orv::host::PostQuitMessage();
        if (!g_terminalTaken) {
            error = "dialog " + std::to_string(dialog.id) + " cannot be shown: the terminal was given back";
            return false;
        }
        try {
            FollowScreenSize();
            Outcome outcome = Outcome::None;
            switch (dialog.kind) {
            case DialogKind::Radio: outcome = RunRadio(dialog, symbols, showing); break;
            case DialogKind::Plotter: outcome = RunPlotter(dialog, symbols, showing); break;
            case DialogKind::Help:
                ShowHelp(dialog);
                outcome = Outcome::Continue;
                break;
            case DialogKind::Info:
            case DialogKind::Quit:
            case DialogKind::Fatal: outcome = RunInfo(dialog, showing); break;
            }
            symbols.SetValue(kSymEvent, EventWord(EventFor(outcome)));
            return true;
        } catch (const std::exception &failure) {
            error = "dialog " + std::to_string(dialog.id) + " failed: " + failure.what();
        } catch (...) {
            error = "dialog " + std::to_string(dialog.id) + " failed";
        }
        return false;
    }

    int MessageBox(std::string_view text, std::string_view caption, UINT style) override {
        LetGoOfHungUpTerminal();
        if (!g_terminalTaken) {
            std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(caption.size()), caption.data(),
                         static_cast<int>(text.size()), text.data());
            return IDOK;
        }
        FollowScreenSize();
        std::string icon = IconMark(style);
        int screenWidth = ScreenColumns();
        int textWidth = std::clamp(DisplayWidth(ToScreen(text)), 30, std::min(60, screenWidth - 16));
        std::vector<std::string> lines = WrapText(ToScreen(text), textWidth);
        int width = textWidth + 4 + (icon.empty() ? 0 : 5);
        int maxLines = AreaRows() - 7;
        int textRows = std::min(static_cast<int>(lines.size()), std::max(1, maxLines));
        int height = 1 + textRows + 1 + 1 + 1;
        int buttonRow = 1 + textRows + 1;
        Placement place = Place(width, height);
        Window window(place.left, place.top, place.width, place.height, ToScreen(caption));
        Form form;
        int textLeft = 2;
        if (!icon.empty()) {
            form.Add(newtLabel(2, 1, icon.c_str()));
            textLeft = 7;
        }
        bool scrolls = static_cast<int>(lines.size()) > textRows;
        newtComponent body = newtTextbox(textLeft, 1, textWidth, textRows, scrolls ? NEWT_FLAG_SCROLL : 0);
        newtTextboxSetText(body, orv::ui::JoinLines(lines).c_str());
        form.Add(body);
        newtComponent ok = newtCompactButton((width - 6) / 2, buttonRow, "OK");
        form.Add(ok);
        newtFormSetCurrent(form.get(), ok);
        AddCommonKeys(form.get(), false);
        newtPushHelpLine(" Enter or Esc: OK");
        while (true) {
            Outcome outcome = RunForm(form.get(), {{ok, Outcome::Continue}});
            if (outcome == Outcome::Timer) continue;
            break;
        }
        newtPopHelpLine();
        return IDOK;
    }

    void SetTitle(std::string_view title) override {
        title_ = ToScreen(title);
        if (g_terminalTaken) {
            DrawRoot();
            newtRefresh();
        }
    }

    void SetBanner(std::string_view library, int bitmapNumber) override {
        (void)library;
        bannerShown_ = bitmapNumber == 1;
        if (g_terminalTaken) {
            DrawRoot();
            newtRefresh();
        }
    }

    void SetAbout(std::string_view title, std::string_view text) override {
        aboutTitle_ = ToScreen(title);
        aboutText_ = ToScreen(text);
    }

    void WaitCursor(bool on) override {
        if (!g_terminalTaken || on == waiting_) return;
        waiting_ = on;
        if (on) {
            newtPushHelpLine(" Please wait...");
        } else {
            newtPopHelpLine();
        }
        newtRefresh();
    }

    void BeginCopy(std::size_t fileCount, std::uint64_t totalBytes) override {
        (void)totalBytes;
        if (!g_terminalTaken) return;
        EndCopy();
        gauge_ = std::make_unique<Gauge>();
        int width = std::min(70, ScreenColumns() - 10);
        int height = 7;
        Placement place = Place(width, height);
        gauge_->window = std::make_unique<Window>(place.left, place.top, place.width, place.height, "Copying Files");
        gauge_->form = std::make_unique<Form>();
        gauge_->width = width;
        std::string heading = "Setup is copying " + std::to_string(fileCount) + (fileCount == 1 ? " file." : " files.");
        gauge_->form->Add(newtLabel(2, 1, heading.c_str()));
        gauge_->file = newtLabel(2, 2, std::string(static_cast<std::size_t>(width - 4), ' ').c_str());
        gauge_->form->Add(gauge_->file);
        gauge_->scale = newtScale(2, 3, width - 4, 1000);
        gauge_->form->Add(gauge_->scale);
        gauge_->form->Add(newtLabel(2, 5, "Press Esc to stop the copy."));
        newtFormSetTimer(gauge_->form->get(), 1);
        newtFormAddHotKey(gauge_->form->get(), NEWT_KEY_ESCAPE);
        newtFormAddHotKey(gauge_->form->get(), kCtrlC);
        newtPushHelpLine(" Esc: stop the copy");
        newtDrawForm(gauge_->form->get());
        newtRefresh();
    }

    bool CopyProgress(std::string_view file, std::uint64_t bytesDone, std::uint64_t totalBytes) override {
        if (!g_terminalTaken || !gauge_) return true;
        std::string shown = orv::ui::ShortenFromLeft(ToScreen(file), gauge_->width - 4);
        shown.resize(shown.size() + static_cast<std::size_t>(std::max(0, gauge_->width - 4 - DisplayWidth(shown))), ' ');
        newtLabelSetText(gauge_->file, shown.c_str());
        unsigned long long position = totalBytes == 0 ? 1000 : bytesDone * 1000 / totalBytes;
        newtScaleSet(gauge_->scale, std::min(position, 1000ULL));
        newtDrawForm(gauge_->form->get());
        newtRefresh();

        // Looking at the keyboard costs a little; once per file and a few times a
        // second is enough.
        auto now = std::chrono::steady_clock::now();
        bool newFile = std::string(file) != gauge_->lastFile;
        if (!newFile && now - gauge_->lastPoll < std::chrono::milliseconds(50)) return true;
        gauge_->lastFile = std::string(file);
        gauge_->lastPoll = now;
        struct newtExitStruct exit {};
        newtFormRun(gauge_->form->get(), &exit);
        if (exit.reason != newtExitStruct::NEWT_EXIT_HOTKEY) return true;
        if (exit.u.key == kCtrlC) {
            orv::host::PostQuitMessage();
            return false;
        }
        if (exit.u.key == NEWT_KEY_ESCAPE) return !AskQuitCopy();
        return true;
    }

    void EndCopy() override {
        if (!gauge_) return;
        if (g_terminalTaken) newtPopHelpLine();
        gauge_.reset();
        if (g_terminalTaken) newtRefresh();
    }

    void Shutdown() override {
        if (gauge_) {
            // The windows belong to a terminal that is about to be given back.
            gauge_->form.reset();
            gauge_->window.reset();
            gauge_.reset();
        }
        GiveBackTerminal();
    }

private:
    struct Gauge {
        std::unique_ptr<Window> window;
        std::unique_ptr<Form> form;
        newtComponent file = nullptr;
        newtComponent scale = nullptr;
        int width = 0;
        std::string lastFile = "\x01";
        std::chrono::steady_clock::time_point lastPoll{};
        ~Gauge() {
            form.reset();
            window.reset();
        }
    };

    std::string title_ = "Setup";
    std::string aboutTitle_;
    std::string aboutText_;
    bool bannerShown_ = false;
    bool waiting_ = false;
    int drawnColumns_ = 0;
    int drawnRows_ = 0;
    std::unique_ptr<Gauge> gauge_;

    static int ScreenColumns() {
        int columns = 0;
        int rows = 0;
        newtGetScreenSize(&columns, &rows);
        return columns;
    }
    static int ScreenRows() {
        int columns = 0;
        int rows = 0;
        newtGetScreenSize(&columns, &rows);
        return rows;
    }

    bool TallBanner() const { return bannerShown_ && ScreenRows() >= 40 && ScreenColumns() >= 60; }

    // Rows above the dialog area: the title, and the banner under it.
    int HeaderRows() const {
        if (!bannerShown_) return 1;
        return TallBanner() ? 1 + kTallBannerRows + 1 : 2;
    }

    // Rows left for a dialog window with its border and shadow: between the header
    // and the help line.
    int AreaRows() const { return ScreenRows() - HeaderRows() - 1; }

    static std::string HelpLine(bool withHelp) {
        std::string line = " Tab: next  Arrows: choose  Space: mark  Enter: press";
        if (withHelp) line += "  F1: help";
        line += "  Esc: cancel";
        return line;
    }

    // A terminal resized since the last screen: the next window is laid out for the
    // new size over a root screen drawn afresh. Windows still open (the gauge)
    // keep their place.
    void FollowScreenSize() {
        if (gauge_) return;
        newtResizeScreen(0);
        int columns = ScreenColumns();
        int rows = ScreenRows();
        if (columns == drawnColumns_ && rows == drawnRows_) return;
        SLsmg_reinit_smg();
        newtCls();
        DrawRoot();
        newtRedrawHelpLine();
        newtRefresh();
    }

    void DrawRoot() {
        drawnColumns_ = ScreenColumns();
        drawnRows_ = ScreenRows();
        int columns = ScreenColumns();
        std::string blank(static_cast<std::size_t>(std::max(columns, 1)), ' ');
        for (int row = 0; row < HeaderRows(); ++row) newtDrawRootText(0, row, blank.c_str());
        std::string title = orv::ui::ShortenFromLeft(title_, columns - 2);
        newtDrawRootText(std::max(0, (columns - DisplayWidth(title)) / 2), 0, title.c_str());
        if (!bannerShown_) return;
        if (TallBanner()) {
            int width = static_cast<int>(std::strlen(kTallBanner[0]));
            for (int row = 0; row < kTallBannerRows; ++row) {
                newtDrawRootText(std::max(0, (columns - width) / 2), 1 + row, kTallBanner[row]);
            }
        } else {
            newtDrawRootText(2, 1, kShortBanner);
        }
    }

    Placement Place(int width, int height) const {
        Placement place{};
        int columns = ScreenColumns();
        place.width = std::min(width, columns - 4);
        int maxHeight = AreaRows() - 3;
        place.height = std::min(height, maxHeight);
        place.left = std::max(1, (columns - place.width - 2) / 2 + 1);
        int spare = AreaRows() - (place.height + 3);
        place.top = HeaderRows() + 1 + std::max(0, spare / 2);
        return place;
    }

    // Width for a dialog: its text at a comfortable measure, wider on wide screens.
    int DialogWidth(int wanted) const { return std::min(wanted, ScreenColumns() - 6); }

    static std::string IconMark(UINT style) {
        switch (style & 0xF0) {
        case MB_ICONSTOP: return "(X)";
        case MB_ICONQUESTION: return "(?)";
        case MB_ICONWARNING: return "(!)";
        case MB_ICONINFORMATION: return "(i)";
        default: return "";
        }
    }

    static DialogEvent EventFor(Outcome outcome) {
        switch (outcome) {
        case Outcome::Continue: return DialogEvent::Continue;
        case Outcome::Back: return DialogEvent::Back;
        case Outcome::Exit: return DialogEvent::Exit;
        default: return DialogEvent::Cancel;
        }
    }

    static void AddCommonKeys(newtComponent form, bool withHelp) {
        newtFormAddHotKey(form, NEWT_KEY_ENTER);
        newtFormAddHotKey(form, NEWT_KEY_ESCAPE);
        newtFormAddHotKey(form, kCtrlC);
        if (withHelp) newtFormAddHotKey(form, NEWT_KEY_F1);
        newtFormSetTimer(form, kQuitPollMilliseconds);
    }

    // Runs the form until a button is pressed or a key of its own is struck. Esc is
    // Cancel; Ctrl-C and a quit signal post the quit message and answer Cancel, so
    // the program's pump finds the quit right after the dialog returns.
    using KeyHandler = std::function<void(int key)>;

    Outcome RunForm(newtComponent form, const std::vector<std::pair<newtComponent, Outcome>> &buttons,
                    const KeyHandler &otherKey = {}) {
        while (true) {
            struct newtExitStruct exit {};
            newtFormRun(form, &exit);
            switch (exit.reason) {
            case newtExitStruct::NEWT_EXIT_COMPONENT:
                for (const auto &[button, outcome] : buttons) {
                    if (exit.u.co == button) return outcome;
                }
                continue;  // a list or entry that ended the form: keep going
            case newtExitStruct::NEWT_EXIT_HOTKEY:
                if (exit.u.key == NEWT_KEY_ENTER) {
                    // Enter presses the focused button, and the first (default) button
                    // from anywhere else, as in the dialogs of the workstation.
                    newtComponent focused = newtFormGetCurrent(form);
                    for (const auto &[button, outcome] : buttons) {
                        if (focused == button) return outcome;
                    }
                    if (!buttons.empty()) return buttons.front().second;
                    continue;
                }
                if (exit.u.key == NEWT_KEY_ESCAPE) return Outcome::Cancel;
                if (exit.u.key == kCtrlC) {
                    orv::host::PostQuitMessage();
                    return Outcome::Quit;
                }
                if (exit.u.key == NEWT_KEY_F1) return Outcome::Help;
                if (otherKey) otherKey(exit.u.key);
                continue;
            case newtExitStruct::NEWT_EXIT_TIMER:
                if (LetGoOfHungUpTerminal()) {
                    orv::host::PostQuitMessage();
                    return Outcome::Quit;
                }
                if (orv::host::QuitMessagePending()) return Outcome::Quit;
                return Outcome::Timer;
            default:
                // The terminal went away; a quit ends the setup cleanly.
                orv::host::PostQuitMessage();
                return Outcome::Quit;
            }
        }
    }

    // Adds the dialog's buttons in one centred row; the first is where focus starts.
    std::vector<std::pair<newtComponent, Outcome>> AddButtons(Form &form, const DialogDefinition &dialog, int row,
                                                              int width) {
        std::vector<ButtonSpec> specs;
        if (dialog.continueLabel != nullptr) specs.push_back({dialog.continueLabel, Outcome::Continue});
        if (dialog.backLabel != nullptr) specs.push_back({dialog.backLabel, Outcome::Back});
        if (dialog.exitLabel != nullptr) specs.push_back({dialog.exitLabel, Outcome::Exit});
        if (dialog.helpId != 0) specs.push_back({"Help", Outcome::Help});
        int total = 0;
        for (const auto &spec : specs) total += DisplayWidth(spec.label) + 3 + 2;
        total -= 2;
        int left = std::max(1, (width - total) / 2);
        std::vector<std::pair<newtComponent, Outcome>> buttons;
        for (const auto &spec : specs) {
            newtComponent button = newtCompactButton(left, row, spec.label);
            form.Add(button);
            buttons.emplace_back(button, spec.outcome);
            left += DisplayWidth(spec.label) + 3 + 2;
        }
        return buttons;
    }

    // The body text as a textbox at `row`, scrolling when it needs more than
    // `maxRows`; answers the rows it takes.
    static int AddBody(Form &form, const std::string &screenText, int row, int width, int maxRows) {
        std::vector<std::string> lines = WrapText(screenText, width - 4);
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        int rows = std::max(1, std::min(static_cast<int>(lines.size()), maxRows));
        bool scrolls = static_cast<int>(lines.size()) > rows;
        newtComponent body = newtTextbox(2, row, width - 4, rows, scrolls ? NEWT_FLAG_SCROLL : 0);
        newtTextboxSetText(body, orv::ui::JoinLines(lines).c_str());
        form.Add(body);
        return rows;
    }

    static int TextRows(const std::string &screenText, int width) {
        std::vector<std::string> lines = WrapText(screenText, width - 4);
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        return std::max(1, static_cast<int>(lines.size()));
    }

    std::string Title(const DialogDefinition &dialog) const { return ToScreen(dialog.title); }

    Outcome RunInfo(const DialogDefinition &dialog, const DialogShowing &showing) {
        std::string text = ToScreen(showing.text.empty() ? dialog.body : showing.text);
        int width = DialogWidth(74);
        int maxHeight = AreaRows() - 3;
        int textRows = std::min(TextRows(text, width), std::max(1, maxHeight - 4));
        int height = 1 + textRows + 1 + 1 + 1;
        Placement place = Place(width, height);
        Window window(place.left, place.top, place.width, place.height, Title(dialog));
        Form form;
        AddBody(form, text, 1, place.width, textRows);
        auto buttons = AddButtons(form, dialog, 1 + textRows + 1, place.width);
        if (!buttons.empty()) newtFormSetCurrent(form.get(), buttons.front().first);
        AddCommonKeys(form.get(), dialog.helpId != 0);
        return RunWithHelp(form.get(), buttons, dialog);
    }

    // Runs the form; help is shown over it and the same dialog goes on, raising no event.
    Outcome RunWithHelp(newtComponent form, const std::vector<std::pair<newtComponent, Outcome>> &buttons,
                        const DialogDefinition &dialog, const KeyHandler &otherKey = {}) {
        newtPushHelpLine(HelpLine(dialog.helpId != 0).c_str());
        Outcome outcome;
        while (true) {
            outcome = RunForm(form, buttons, otherKey);
            if (outcome == Outcome::Timer) continue;
            if (outcome == Outcome::Help) {
                if (const DialogDefinition *help = FindDialog(dialog.helpId)) ShowHelp(*help);
                continue;
            }
            break;
        }
        newtPopHelpLine();
        return outcome;
    }

    void ShowHelp(const DialogDefinition &help) {
        std::string text = ToScreen(help.body);
        if (!aboutText_.empty() && help.id == 900) text += "\n\n" + aboutTitle_ + ": " + aboutText_;
        int width = DialogWidth(70);
        int maxHeight = AreaRows() - 3;
        int textRows = std::min(TextRows(text, width), std::max(1, maxHeight - 4));
        int height = 1 + textRows + 1 + 1 + 1;
        Placement place = Place(width, height);
        Window window(place.left, place.top, place.width, place.height, Title(help));
        Form form;
        AddBody(form, text, 1, place.width, textRows);
        const char *label = help.continueLabel != nullptr ? help.continueLabel : "Close";
        newtComponent close = newtCompactButton((place.width - DisplayWidth(label) - 3) / 2, 1 + textRows + 1, label);
        form.Add(close);
        newtFormSetCurrent(form.get(), close);
        AddCommonKeys(form.get(), false);
        newtPushHelpLine(" Enter or Esc: close the help");
        while (true) {
            Outcome outcome = RunForm(form.get(), {{close, Outcome::Continue}});
            if (outcome == Outcome::Timer) continue;
            break;
        }
        newtPopHelpLine();
    }

    Outcome RunRadio(const DialogDefinition &dialog, SymbolStore &symbols, const DialogShowing &showing) {
        std::string text = ToScreen(showing.text.empty() ? dialog.body : showing.text);
        int width = DialogWidth(70);
        int maxHeight = AreaRows() - 3;
        int textRows = std::min(TextRows(text, width), std::max(1, maxHeight - 7));
        int height = 1 + textRows + 1 + 2 + 1 + 1 + 1;
        Placement place = Place(width, height);
        Window window(place.left, place.top, place.width, place.height, Title(dialog));
        Form form;
        int row = 1 + AddBody(form, text, 1, place.width, textRows) + 1;
        bool firstPreset = symbols.Value(kSymRadioDefault) == "1";
        std::string first = ToScreen(dialog.controlLabels[0] != nullptr ? dialog.controlLabels[0] : "1");
        std::string second = ToScreen(dialog.controlLabels[1] != nullptr ? dialog.controlLabels[1] : "2");
        newtComponent radioOne = newtRadiobutton(4, row, first.c_str(), firstPreset ? 1 : 0, nullptr);
        newtComponent radioTwo = newtRadiobutton(4, row + 1, second.c_str(), firstPreset ? 0 : 1, radioOne);
        form.Add(radioOne);
        form.Add(radioTwo);
        auto buttons = AddButtons(form, dialog, row + 3, place.width);
        newtFormSetCurrent(form.get(), firstPreset ? radioOne : radioTwo);
        AddCommonKeys(form.get(), dialog.helpId != 0);
        // The arrows choose a driver as they move, as radio buttons do on the workstation.
        newtFormAddHotKey(form.get(), NEWT_KEY_UP);
        newtFormAddHotKey(form.get(), NEWT_KEY_DOWN);
        auto arrows = [&](int key) {
            newtComponent target = key == NEWT_KEY_UP ? radioOne : radioTwo;
            newtRadioSetCurrent(target);
            newtFormSetCurrent(form.get(), target);
        };
        Outcome outcome = RunWithHelp(form.get(), buttons, dialog, arrows);
        symbols.SetValue(kSymButtonChecked, newtRadioGetCurrent(radioOne) == radioOne ? "1" : "2");
        return outcome;
    }

    static std::size_t PresetPosition(const std::string &text, std::size_t count) {
        if (text.empty() || text.size() > 9) return 0;
        std::size_t position = 0;
        for (char c : text) {
            if (c < '0' || c > '9') return 0;
            position = position * 10 + static_cast<std::size_t>(c - '0');
        }
        return position < count ? position : 0;
    }

    static std::size_t PortPosition(const std::vector<std::string> &ports, const std::string &preset) {
        for (std::size_t i = 0; i < ports.size(); ++i) {
            if (ports[i] == preset) return i;
        }
        for (std::size_t i = 0; i < ports.size(); ++i) {
            if (ports[i].size() == preset.size() &&
                std::equal(ports[i].begin(), ports[i].end(), preset.begin(), [](char a, char b) {
                    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                })) {
                return i;
            }
        }
        return 0;
    }

    static int SpoolFilter(newtComponent entry, void *, int ch, int cursor) {
        (void)cursor;
        // Editing keys and the keys that move between fields always pass.
        if (ch < 0x20 || ch >= NEWT_KEY_EXTRA_BASE || ch == 0x7F) return ch;
        const char *value = newtEntryGetValue(entry);
        if (value != nullptr && DisplayWidth(value) >= kSpoolDirectoryLimit) return 0;
        return ch;
    }

    Outcome RunPlotter(const DialogDefinition &dialog, SymbolStore &symbols, const DialogShowing &showing) {
        std::vector<std::string> models = symbols.Items(kSymModelsIn);
        std::vector<std::string> ports = symbols.Items(kSymPortsIn);
        std::string portPreset = symbols.Value(kSymPortDefault);
        std::string spoolPreset = symbols.Item(kSymSpoolIn, 1).value_or("");
        bool checkedPreset = symbols.Item(kSymCheckState, 1).value_or("ON") == "ON";
        std::size_t modelPosition = PresetPosition(symbols.Value(kSymModelDefault), models.size());
        std::size_t portPosition = PortPosition(ports, portPreset);

        std::string text = ToScreen(showing.text.empty() ? dialog.body : showing.text);
        int width = DialogWidth(std::max(76, std::min(96, ScreenColumns() - 6)));
        int textRows = TextRows(text, width);
        // Rows besides the lists: margins, text, labels, list borders, spool row,
        // box, buttons.
        int fixedRows = 1 + textRows + 1 + 1 + 2 + 1 + 1 + 1 + 1 + 1;
        int maxHeight = AreaRows() - 3;
        int listed = static_cast<int>(std::max(models.size(), ports.size()));
        int listRows = std::clamp(std::min(maxHeight - fixedRows, listed), 3, 16);
        int height = std::min(fixedRows + listRows, maxHeight);
        if (fixedRows + listRows > maxHeight) textRows = std::max(1, textRows - (fixedRows + listRows - maxHeight));
        Placement place = Place(width, height);
        width = place.width;

        int modelWidth = 4;
        for (const auto &model : models) modelWidth = std::max(modelWidth, DisplayWidth(ToScreen(model)));
        int portWidth = 6;
        for (const auto &port : ports) portWidth = std::max(portWidth, DisplayWidth(ToScreen(port)));
        // A bordered list takes its text, the border, the scroll bar and the blanks
        // around them.
        portWidth = std::min(portWidth, 24) + 7;
        modelWidth = std::min(modelWidth + 7, width - portWidth - 8);

        Window window(place.left, place.top, place.width, place.height, Title(dialog));
        Form form;
        int row = 1 + AddBody(form, text, 1, width, textRows) + 1;
        const char *modelLabel = dialog.controlLabels[0] != nullptr ? dialog.controlLabels[0] : "Model:";
        const char *portLabel = dialog.controlLabels[1] != nullptr ? dialog.controlLabels[1] : "Port:";
        const char *spoolLabel = dialog.controlLabels[2] != nullptr ? dialog.controlLabels[2] : "Spool directory:";
        const char *checkLabel = dialog.controlLabels[3] != nullptr ? dialog.controlLabels[3] : "Default printer";
        int portLeft = 2 + modelWidth + 4;
        form.Add(newtLabel(2, row, ToScreen(modelLabel).c_str()));
        form.Add(newtLabel(portLeft, row, ToScreen(portLabel).c_str()));
        ++row;

        newtComponent modelList = newtListbox(2, row, listRows + 2, NEWT_FLAG_SCROLL | NEWT_FLAG_BORDER);
        newtListboxSetWidth(modelList, modelWidth);
        std::vector<std::string> modelTexts;
        modelTexts.reserve(models.size());
        for (const auto &model : models) modelTexts.push_back(ToScreen(model));
        for (std::size_t i = 0; i < modelTexts.size(); ++i) {
            newtListboxAppendEntry(modelList, modelTexts[i].c_str(), reinterpret_cast<void *>(i + 1));
        }
        if (!models.empty()) newtListboxSetCurrent(modelList, static_cast<int>(modelPosition));
        form.Add(modelList);

        newtComponent portList = newtListbox(portLeft, row, listRows + 2, NEWT_FLAG_SCROLL | NEWT_FLAG_BORDER);
        newtListboxSetWidth(portList, portWidth);
        std::vector<std::string> portTexts;
        portTexts.reserve(ports.size());
        for (const auto &port : ports) portTexts.push_back(ToScreen(port));
        for (std::size_t i = 0; i < portTexts.size(); ++i) {
            newtListboxAppendEntry(portList, portTexts[i].c_str(), reinterpret_cast<void *>(i + 1));
        }
        if (!ports.empty()) newtListboxSetCurrent(portList, static_cast<int>(portPosition));
        form.Add(portList);
        row += listRows + 2 + 1;

        std::string spoolText = ToScreen(spoolLabel);
        int entryLeft = 2 + DisplayWidth(spoolText) + 1;
        form.Add(newtLabel(2, row, spoolText.c_str()));
        const char *spoolValue = nullptr;
        std::string spoolScreen = ToScreen(spoolPreset);
        newtComponent spoolEntry =
            newtEntry(entryLeft, row, spoolScreen.c_str(), std::max(10, width - entryLeft - 2), &spoolValue, NEWT_FLAG_SCROLL);
        newtEntrySetFilter(spoolEntry, SpoolFilter, nullptr);
        form.Add(spoolEntry);
        ++row;

        newtComponent check = newtCheckbox(2, row, ToScreen(checkLabel).c_str(), checkedPreset ? '*' : ' ', " *", nullptr);
        form.Add(check);
        row += 2;

        auto buttons = AddButtons(form, dialog, row, width);
        newtFormSetCurrent(form.get(), modelList);
        AddCommonKeys(form.get(), dialog.helpId != 0);

        Outcome outcome;
        std::string spoolAnsi;
        while (true) {
            outcome = RunWithHelp(form.get(), buttons, dialog);
            const char *typed = newtEntryGetValue(spoolEntry);
            if (FromScreen(typed != nullptr ? typed : "", spoolAnsi)) break;
            if (outcome == Outcome::Quit) {
                spoolAnsi = spoolPreset;
                break;
            }
            MessageBox("The spool directory holds a character that the workstation's code page cannot hold. "
                       "Please enter another directory name.",
                       "Spool Directory", MB_ICONWARNING);
            newtFormSetCurrent(form.get(), spoolEntry);
        }

        std::string model;
        if (!models.empty()) {
            auto data = reinterpret_cast<std::uintptr_t>(newtListboxGetCurrent(modelList));
            std::size_t index = data >= 1 && data <= models.size() ? data - 1 : modelPosition;
            model = models[index];
        }
        std::string port = portPreset;
        if (!ports.empty()) {
            auto data = reinterpret_cast<std::uintptr_t>(newtListboxGetCurrent(portList));
            std::size_t index = data >= 1 && data <= ports.size() ? data - 1 : portPosition;
            port = ports[index];
        }
        symbols.SetList(kSymCheckState, {newtCheckboxGetValue(check) == '*' ? "ON" : "OFF"});
        symbols.SetList(kSymPortOut, {port});
        symbols.SetList(kSymSpoolOut, {spoolAnsi});
        symbols.SetValue(kSymModelOut, model);
        return outcome;
    }

    // Esc during the copy: asks whether to stop it. True: stop.
    bool AskQuitCopy() {
        int width = DialogWidth(56);
        std::string text =
            "Do you want to stop copying the driver files? If you stop now, the plotter will not be installed.";
        std::vector<std::string> lines = WrapText(text, width - 4);
        int textRows = static_cast<int>(lines.size());
        Placement place = Place(width, textRows + 4);
        Window window(place.left, place.top, place.width, place.height, "Stop Copying");
        Form form;
        AddBody(form, text, 1, place.width, textRows);
        newtComponent goOn = newtCompactButton(place.width / 2 - 16, textRows + 2, "Go On");
        newtComponent stop = newtCompactButton(place.width / 2 + 2, textRows + 2, "Stop Copying");
        form.Add(goOn);
        form.Add(stop);
        newtFormSetCurrent(form.get(), goOn);
        AddCommonKeys(form.get(), false);
        newtPushHelpLine(" Enter: press the button  Esc: go on copying");
        Outcome outcome;
        while (true) {
            outcome = RunForm(form.get(), {{goOn, Outcome::Continue}, {stop, Outcome::Exit}});
            if (outcome == Outcome::Timer) continue;
            break;
        }
        newtPopHelpLine();
        return outcome == Outcome::Exit || outcome == Outcome::Quit;
    }
};

}  // namespace

std::unique_ptr<FrontEnd> CreateTerminalFrontEnd(const FrontEndSettings &settings, std::string &error) {
    (void)settings;
    try {
        auto frontEnd = std::make_unique<NewtFrontEnd>();
        if (!frontEnd->Start(error)) return nullptr;
        return frontEnd;
    } catch (...) {
        GiveBackTerminal();
        error = "the terminal front end cannot start: out of memory";
        return nullptr;
    }
}

}  // namespace orv::toolkit
