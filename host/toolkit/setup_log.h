// The setup log (--log): one line for each dialog shown with its answer, each file
// copied, each profile and spooler change and each message box, and as its last line
// the outcome of the run. Also the toolkit's own log file (FOpenLogFile), which the
// program writes through FWriteToLogFile.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orv::toolkit {

enum class Outcome { NotStarted, Installed, InstalledWithErrors, Quit, Fatal };

// "installed", "installed with errors", "quit", "fatal", "not started".
const char *OutcomeText(Outcome outcome);
// The exit status of an unattended run: 0 installed, 1 not started, 2 quit, 3 fatal,
// 4 installed with errors.
int OutcomeExitStatus(Outcome outcome);

// Opens (creating or truncating) the run log at a host path.
bool OpenRunLog(const std::filesystem::path &file, std::string &error);
bool RunLogIsOpen();
// Writes one line (a text with line breaks becomes several lines, each but the
// first indented) to the run log; nothing when no log is open.
void LogLine(std::string_view text);
// Writes "outcome: <text>" as the last line and closes the log. Only the first call
// writes.
void FinishRunLog(Outcome outcome);

// What the toolkit has seen of the run, from which the outcome follows.
struct RunEvents {
    bool dialogShown = false;        // any dialog came up
    bool quitConfirmed = false;      // the quit dialog was answered EXIT
    bool fatalShown = false;         // the fatal dialog came up
    bool completionShown = false;    // "Installation complete." was shown
    bool spoolerErrorShown = false;  // a spooler message box of the installation was shown
};
RunEvents &Events();
Outcome InferOutcome(const RunEvents &events);
// Notes what a message box tells about the outcome (completion, spooler errors).
void NoteMessageBox(std::string_view text, std::string_view caption);

// Resets the log and the events (tests).
void ResetRunLog();

}  // namespace orv::toolkit
