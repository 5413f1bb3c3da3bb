// Helpers shared by the toolkit's own files: bounded copies into the caller's
// buffers and the last toolkit error that the fatal dialog shows.
#pragma once

#include <string>
#include <string_view>

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

}  // namespace orv::toolkit
