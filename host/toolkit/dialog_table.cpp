// The dialogs of "mscuistf.dll": their kinds, texts, buttons and help.
#include <algorithm>
#include <array>
#include <cctype>

#include "host/toolkit/frontend.h"

namespace orv::toolkit {

namespace {

constexpr const char *kContinue = "Continue";
constexpr const char *kBack = "Back";
constexpr const char *kExit = "Exit Setup";

const std::array<DialogDefinition, 15> kDialogs = {{
    {100, DialogKind::Info, "FInfoDlgProc", "Welcome", "Welcome",
     "Welcome to Orvalen Plotter Driver Setup.\n\n"
     "Setup installs the driver for your Orvalen plotter, creates a printer for it "
     "and records the driver's settings.\n\n"
     "Choose Continue to begin, or Exit Setup to leave without installing anything.",
     kContinue, kBack, kExit, {}, 900},
    {101, DialogKind::Info, "FInfoDlgProc", "Confirm", "Ready to Install",
     "Setup is ready to install the plotter with these settings:",
     "Install", "Change", kExit, {}, 904},
    {102, DialogKind::Info, "FInfoDlgProc", "Notice", "Notice",
     "Setup has a notice for you: the plotter driver is installed for every user of "
     "this workstation.",
     kContinue, nullptr, nullptr, {}, 900},
    {200, DialogKind::Quit, "FQuitDlgProc", "Quit", "Exit Setup",
     "Setup is not complete. If you exit now, the plotter will not be installed.\n\n"
     "Choose Exit Setup to leave, or Continue to return to Setup.",
     kContinue, nullptr, kExit, {}, 900},
    {400, DialogKind::Fatal, "FInfo0DlgProc", "Fatal", "Setup Error",
     "Setup cannot go on because of an error. The plotter has not been installed "
     "completely.\n\nChoose Continue to leave Setup.",
     kContinue, nullptr, nullptr, {}, 0},
    {800, DialogKind::Radio, "FRadioDlgProc", "DriverKind", "Driver",
     "This plotter works with either of two drivers. Choose the driver to install.",
     kContinue, kBack, kExit, {"Vector driver (ORV412)", "Raster driver (IRCOL_RS)", nullptr, nullptr}, 901},
    {850, DialogKind::Plotter, "FCustInstDlgProc", "Plotter", "Plotter",
     "Choose your plotter model, the port it is connected to and the directory in which "
     "print jobs are spooled.",
     kContinue, kBack, kExit, {"Model:", "Port:", "Spool directory:", "Make this plotter the default printer"}, 903},
    {906, DialogKind::Info, "FInfoDlgProc", "WelcomeBack", "Welcome",
     "This is the first step of Setup; there is no step before it.\n\n"
     "Choose Continue to return to the welcome screen.",
     kContinue, nullptr, nullptr, {}, 900},
    {908, DialogKind::Radio, "FRadioDlgProc", "InstalledDriver", "Installed Driver",
     "A driver with the name of this plotter is already installed. Keep it, or install "
     "the driver from the setup disk again?",
     kContinue, kBack, kExit, {"Keep the installed driver", "Install the driver again", nullptr, nullptr}, 907},
    {6400, DialogKind::Info, "FInfoDlgProc", "CreateSpoolDirectory", "Spool Directory",
     "The spool directory does not exist. The raster driver needs it.\n\n"
     "Choose Create to make it, or Back to enter another directory.",
     "Create", kBack, kExit, {}, 0},
    {900, DialogKind::Help, "FHelpDlgProc", nullptr, "Setup Help",
     "Setup installs the Orvalen plotter driver in a few steps: you choose the plotter, "
     "its port and spool directory, confirm, and Setup copies the files, registers the "
     "driver and creates the printer.\n\n"
     "Continue goes to the next step, Back to the previous one. Exit Setup leaves "
     "without installing; you are asked first.",
     "Close", nullptr, nullptr, {}, 0},
    {901, DialogKind::Help, "FHelpDlgProc", nullptr, "Help: Driver",
     "The vector driver (ORV412) sends drawings to the plotter as pen movements; it is "
     "small and fast for line drawings.\n\n"
     "The raster driver (IRCOL_RS) renders each page and sends it as an image; it "
     "handles fills and colour best and needs a spool directory.",
     "Close", nullptr, nullptr, {}, 0},
    {903, DialogKind::Help, "FHelpDlgProc", nullptr, "Help: Plotter",
     "Model: the plotter as named on its front panel.\n"
     "Port: where the plotter is connected; FILE: prints to a file.\n"
     "Spool directory: where the raster driver keeps print jobs while they wait.\n"
     "Default printer: programs print to the default printer unless told otherwise.",
     "Close", nullptr, nullptr, {}, 0},
    {904, DialogKind::Help, "FHelpDlgProc", nullptr, "Help: Confirm",
     "Nothing has been changed yet. Install copies the driver files, registers the "
     "driver, creates the printer and records its settings. Change returns to the "
     "plotter choice.",
     "Close", nullptr, nullptr, {}, 0},
    {907, DialogKind::Help, "FHelpDlgProc", nullptr, "Help: Installed Driver",
     "Keeping the installed driver adds only the printer and its settings. Installing "
     "it again copies the driver files from the setup disk and registers the driver "
     "anew; choose this when the installed driver is older or damaged.",
     "Close", nullptr, nullptr, {}, 0},
}};

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

const char *EventWord(DialogEvent event) {
    switch (event) {
    case DialogEvent::Continue: return kEventContinue;
    case DialogEvent::Back: return kEventBack;
    case DialogEvent::Cancel: return kEventCancel;
    case DialogEvent::Exit: return kEventExit;
    }
    return kEventContinue;
}

bool ParseEventWord(std::string_view word, DialogEvent &event) {
    for (DialogEvent candidate : {DialogEvent::Continue, DialogEvent::Back, DialogEvent::Cancel, DialogEvent::Exit}) {
        if (EqualNoCase(word, EventWord(candidate))) {
            event = candidate;
            return true;
        }
    }
    return false;
}

std::span<const DialogDefinition> AllDialogs() { return kDialogs; }

const DialogDefinition *FindDialog(int id) {
    for (const auto &dialog : kDialogs) {
        if (dialog.id == id) return &dialog;
    }
    return nullptr;
}

const DialogDefinition *FindDialogBySection(std::string_view section) {
    for (const auto &dialog : kDialogs) {
        if (dialog.answerSection != nullptr && EqualNoCase(section, dialog.answerSection)) return &dialog;
    }
    return nullptr;
}

}  // namespace orv::toolkit
