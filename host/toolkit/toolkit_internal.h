// Helpers shared by the toolkit's own files: bounded copies into the caller's
// buffers and the last toolkit error that the fatal dialog shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/wintypes.h"

namespace orv::toolkit {

// Copies as much of `text` as fits in `buffer` (with its terminator) and answers the
// full length, so that a caller can see that the value did not fit.
LONG CopyOut(std::string_view text, LPSTR buffer, LONG size);

// The last error the toolkit met (an INF syntax error, a copy failure, ...); the fatal
// dialog shows it. Recording one also writes it to the log.
void SetLastToolkitError(std::string text);
const std::string &LastToolkitError();
void ClearLastToolkitError();

// Why the run is stopping when that was no error (the user stopped the copy); the
// fatal dialog says it. Cleared with the last error.
void SetStopReason(std::string text);
const std::string &StopReason();

}  // namespace orv::toolkit

#include <filesystem>

namespace orv::toolkit {

// Writes `content` to a temporary file in the same folder, syncs it and renames it
// over `file`: readers see the old file or the new one, never a part.
bool WriteFileAtomically(const std::filesystem::path &file, std::string_view content, std::string &error);

// Reads a whole host file of at most `limit` bytes.
bool ReadSmallFile(const std::filesystem::path &file, std::size_t limit, std::string &content, std::string &error);

// ASCII comparison without regard to case, as the toolkit compares section and key names.
bool EqualNoCase(std::string_view a, std::string_view b);

}  // namespace orv::toolkit

namespace orv::toolkit {

// Shows a message box through the front end (stderr when there is none), logs its
// caption and text, and notes what it says about the outcome. Answers IDOK. In
// silent mode (FSetSilent) the box is only logged.
int ShowMessage(std::string_view text, std::string_view caption, UINT style);
bool MessagesSilenced();

// The dialog library's state (tests): closes every dialog and forgets the showings
// and the recorded answers.
void ResetDialogLibrary();
// The ids of the open dialogs, bottom first.
const std::vector<int> &OpenDialogs();
// The answers given in this run so far, in answer-file form.
const struct AnswerFile &RecordedAnswers();

}  // namespace orv::toolkit

namespace orv::toolkit {

// Tests that run the frame in their own process: end the run's records as the exit
// hook would, and put the frame back to its state before InitializeFrame.
void FinishRunForTesting();
void ResetFrameForTesting();

}  // namespace orv::toolkit
