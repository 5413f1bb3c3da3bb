// Test stand-ins for the screens and installation steps the main sequence calls. Each
// notes itself in the fake's call records and does what the test scripted.
#pragma once

#include <functional>
#include <vector>

namespace stand_in {

struct Script {
    std::vector<int> confirmAnswers{0};      // RunConfirm's results in turn; the last repeats
    std::vector<int> createSpoolAnswers{1};  // RunCreateSpoolDir's results in turn
    std::function<void()> onWelcome;         // run inside RunWelcome
    std::function<void(int pass)> onSelection;  // run inside RunSelection, passes from 1
    std::function<void(int pass)> onConfirm;    // run inside RunConfirm
    std::function<void()> onInstall;         // run inside InstallPlotter
};

// The script of the running test; reset by Reset().
Script &Current();
// fake::Reset() and a fresh script.
void Reset();

}  // namespace stand_in
