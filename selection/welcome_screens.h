// The plain screens that exchange nothing but their event: welcome, confirmation and
// the notice.
#pragma once

// Shows the welcome screen until the user continues past it.
void RunWelcome();
// The confirmation before installing: 0 goes on to the installation, 1 goes back to
// the selection.
int RunConfirm();
// Shows the notice once; its event is not looked at.
void ShowNotice();
