// The welcome, confirmation and notice screens: each shows its dialog and acts on the
// event alone.
#include "selection/welcome_screens.h"

#include "include/setup_codes.h"
#include "selection/screen_exchange.h"
#include "session/dialog_exchange.h"

void RunWelcome() {
    for (;;) {
        // The welcome dialog stays open while it is shown again; only the screens
        // shown over it are closed in between.
        const int event = ShowScreen(100, "FInfoDlgProc", 900, "FHelpDlgProc");
        if (event == EventBack) {
            ShowScreen(906, "FInfoDlgProc", 900, "FHelpDlgProc");
            KillDialogs(1);
        } else if (event == EventCancel || event == EventExit) {
            ConfirmQuit();
        } else if (event == EventContinue) {
            KillDialogs(1);
            return;
        }
    }
}

int RunConfirm() {
    for (;;) {
        const int event = ShowScreen(101, "FInfoDlgProc", 904, "FHelpDlgProc");
        KillDialogs(1);
        if (event == EventCancel || event == EventExit) {
            ConfirmQuit();
            continue;
        }
        return event == EventContinue ? 0 : 1;
    }
}

void ShowNotice() {
    ShowScreen(102, "FInfoDlgProc", 900, "FHelpDlgProc");
    KillDialogs(1);
}
