// The toolkit's view of the emulated workstation: Windows paths to host paths with an
// error text, and joining Windows paths.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/wintypes.h"

namespace orv::toolkit {

// False with `error` saying why (no machine, unmapped drive, forbidden name...).
bool ResolveWindowsPath(std::string_view windowsPath, std::filesystem::path &hostPath, std::string &error,
                        bool *readOnly = nullptr);
// `directory` and `name` with one backslash between them.
std::string JoinWindowsPath(std::string_view directory, std::string_view name);
// A Win32 error code in words, for messages.
std::string Win32ErrorText(DWORD code);

}  // namespace orv::toolkit
