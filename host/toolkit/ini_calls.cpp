// The INI calls: Windows profile files reached by their Windows names (a bare name
// such as "WIN.INI" lives in the Windows directory), read and changed through the
// workstation's profile library, which locks and replaces files atomically.
#include <functional>
#include <optional>

#include "host/profile/profile_file.h"
#include "host/toolkit/setup_log.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/toolkit/workstation_access.h"
#include "host/workstation/machine.h"
#include "platform/toolkit.h"

namespace orv::toolkit {

namespace {

bool IsBareName(std::string_view name) {
    return name.find('\\') == std::string_view::npos && name.find('/') == std::string_view::npos &&
           name.find(':') == std::string_view::npos;
}

// The host file of a profile file name; false with the error recorded.
bool ProfilePath(LPCSTR file, std::filesystem::path &host, bool forWriting) {
    if (file == nullptr || file[0] == '\0') {
        SetLastToolkitError("a profile file without a name");
        return false;
    }
    std::string windowsName = IsBareName(file) ? JoinWindowsPath(orv::host::WindowsDirectory(), file) : std::string(file);
    std::string error;
    bool readOnly = false;
    if (!ResolveWindowsPath(windowsName, host, error, &readOnly)) {
        SetLastToolkitError("profile file " + windowsName + ": " + error);
        return false;
    }
    if (forWriting && readOnly) {
        SetLastToolkitError("profile file " + windowsName + ": the drive is read-only");
        return false;
    }
    return true;
}

bool ValidName(LPCSTR name) { return name != nullptr && name[0] != '\0'; }

BOOL Change(LPCSTR file, const std::string &what, const std::function<bool(const std::filesystem::path &, std::string &)> &change) {
    try {
        std::filesystem::path host;
        if (!ProfilePath(file, host, true)) return FALSE;
        std::string error;
        if (!change(host, error)) {
            SetLastToolkitError("profile file " + std::string(file) + ": " + error);
            return FALSE;
        }
        LogLine("profile " + std::string(file) + ": " + what);
        return TRUE;
    } catch (...) {
        SetLastToolkitError("profile file change failed: out of memory");
        return FALSE;
    }
}

}  // namespace

}  // namespace orv::toolkit

using namespace orv::toolkit;

BOOL FCreateIniKeyValue(LPCSTR file, LPCSTR section, LPCSTR key, LPCSTR value, int mode) {
    (void)mode;  // the key is always overwritten, as the setup asks with 1024
    if (!ValidName(section) || !ValidName(key)) return FALSE;
    std::string text = value != nullptr ? value : "";
    return Change(file, "[" + std::string(section) + "] " + key + "=" + text,
                  [&](const std::filesystem::path &host, std::string &error) {
                      return orv::profile::WriteKey(host, section, key, text, error);
                  });
}

BOOL FCreateSysIniKeyValue(LPCSTR file, LPCSTR section, LPCSTR key, LPCSTR value, int mode) {
    return FCreateIniKeyValue(file, section, key, value, mode);
}

BOOL FRemoveIniSection(LPCSTR file, LPCSTR section, int mode) {
    (void)mode;
    if (!ValidName(section)) return FALSE;
    return Change(file, "removed [" + std::string(section) + "]", [&](const std::filesystem::path &host, std::string &error) {
        return orv::profile::RemoveSection(host, section, error);
    });
}

BOOL FRemoveIniKey(LPCSTR file, LPCSTR section, LPCSTR key, int mode) {
    (void)mode;
    if (!ValidName(section) || !ValidName(key)) return FALSE;
    return Change(file, "removed [" + std::string(section) + "] " + key,
                  [&](const std::filesystem::path &host, std::string &error) {
                      return orv::profile::RemoveKey(host, section, key, error);
                  });
}

LONG CbGetIniKeyString(LPCSTR file, LPCSTR section, LPCSTR key, LPSTR buffer, LONG size) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    if (!ValidName(section) || !ValidName(key)) return 0;
    try {
        std::filesystem::path host;
        if (!ProfilePath(file, host, false)) return 0;
        auto value = orv::profile::ReadKey(host, section, key);
        return value ? CopyOut(*value, buffer, size) : 0;
    } catch (...) {
        return 0;
    }
}

BOOL FDoesIniSectionExist(LPCSTR file, LPCSTR section) {
    if (!ValidName(section)) return FALSE;
    try {
        std::filesystem::path host;
        if (!ProfilePath(file, host, false)) return FALSE;
        return orv::profile::SectionExists(host, section) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FDoesIniKeyExist(LPCSTR file, LPCSTR section, LPCSTR key) {
    if (!ValidName(section) || !ValidName(key)) return FALSE;
    try {
        std::filesystem::path host;
        if (!ProfilePath(file, host, false)) return FALSE;
        return orv::profile::KeyExists(host, section, key) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}
