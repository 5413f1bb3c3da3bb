// Windows paths of the workstation as the toolkit uses them.
#include "host/toolkit/workstation_access.h"

#include "host/workstation/machine.h"

namespace orv::toolkit {

std::string Win32ErrorText(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND: return "the file does not exist";
    case ERROR_PATH_NOT_FOUND: return "the path does not exist";
    case ERROR_ACCESS_DENIED: return "access is denied";
    case ERROR_WRITE_PROTECT: return "the drive is read-only";
    case ERROR_INVALID_NAME: return "the name is not valid";
    case orv::host::ERROR_BAD_NETPATH: return "network paths are not supported";
    case orv::host::ERROR_FILENAME_EXCED_RANGE: return "the path is too long";
    default: return "error " + std::to_string(code);
    }
}

bool ResolveWindowsPath(std::string_view windowsPath, std::filesystem::path &hostPath, std::string &error,
                        bool *readOnly) {
    if (!orv::host::MachineIsOpen()) {
        error = "no workstation is open";
        return false;
    }
    DWORD code = 0;
    if (!orv::host::ResolvePath(std::string(windowsPath), hostPath, code, readOnly)) {
        error = Win32ErrorText(code);
        return false;
    }
    return true;
}

std::string JoinWindowsPath(std::string_view directory, std::string_view name) {
    std::string joined(directory);
    if (!joined.empty() && joined.back() != '\\' && joined.back() != '/' && joined.back() != ':') joined += '\\';
    joined += name;
    return joined;
}

}  // namespace orv::toolkit
