// Stand-ins for RunWelcome, RunSelection, RunConfirm, RunCreateSpoolDir,
// QueueDriverFiles and InstallPlotter, driven by the running test's script.
#include "tests/system/session/stand_ins.h"

#include "install/copy_list.h"
#include "install/registration.h"
#include "selection/driver_choice.h"
#include "selection/welcome_screens.h"
#include "tests/fake/fake_platform.h"

#include <string>

namespace stand_in {
namespace {

struct Counters {
    int selectionPasses = 0;
    int confirmCalls = 0;
    int createSpoolCalls = 0;
};

Counters counters;

int Pick(const std::vector<int> &answers, int call) {
    if (answers.empty()) return 0;
    std::size_t index = static_cast<std::size_t>(call);
    return answers[index < answers.size() ? index : answers.size() - 1];
}

}  // namespace

Script &Current() {
    static Script script;
    return script;
}

void Reset() {
    fake::Reset();
    Current() = Script{};
    counters = Counters{};
}

}  // namespace stand_in

using stand_in::Current;

void RunWelcome() {
    fake::Note("RunWelcome");
    if (Current().onWelcome) Current().onWelcome();
}

void RunSelection() {
    int pass = ++stand_in::counters.selectionPasses;
    fake::Note("RunSelection", {std::to_string(pass)});
    if (Current().onSelection) Current().onSelection(pass);
}

int RunConfirm() {
    int call = stand_in::counters.confirmCalls++;
    fake::Note("RunConfirm");
    if (Current().onConfirm) Current().onConfirm(call + 1);
    return stand_in::Pick(Current().confirmAnswers, call);
}

int RunCreateSpoolDir() {
    fake::Note("RunCreateSpoolDir");
    return stand_in::Pick(Current().createSpoolAnswers, stand_in::counters.createSpoolCalls++);
}

void QueueDriverFiles() { fake::Note("QueueDriverFiles"); }

void InstallPlotter() {
    fake::Note("InstallPlotter");
    if (Current().onInstall) Current().onInstall();
}
