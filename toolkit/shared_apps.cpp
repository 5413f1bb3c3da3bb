// The shared application directory in WIN.INI section "MSAPPS" and the lookup of a
// shared file: a registry value, then a WIN.INI entry, then the default path, each
// candidate judged by its version against the one the setup script requires.
#include "toolkit/shared_apps.h"

#include "include/setup_state.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "registry/registry_keys.h"
#include "toolkit/checked_calls.h"
#include "toolkit/detection.h"
#include "toolkit/text_helpers.h"

namespace {

constexpr LONG PathBufferSize = 256;   // paths and profile values
constexpr LONG PieceBufferSize = 32;   // versions and file-name pieces
constexpr int IniWriteMode = 1024;     // the same mode as the driver's own WIN.INI entries
constexpr LPCSTR WinIni = "WIN.INI";
constexpr LPCSTR SharedSection = "MSAPPS";
constexpr LPCSTR SharedDirKey = "MSAPPS";

// The subdirectory keys set up with the shared directory, in the order they are set.
constexpr LPCSTR SharedSubdirKeys[] = {"CLIPART", "EQUATION", "GRPHFLT",  "MSDRAW",
                                       "MSGRAPH", "PROOF",    "TEXTCONV", "WORDART"};

bool IsEmpty(LPCSTR text) { return text == nullptr || text[0] == '\0'; }

// Appends `tail` when the whole result fits `size` bytes; otherwise leaves `buffer` as
// it was and answers false, so a joined path is never cut short.
bool AppendWithin(LPSTR buffer, LONG size, LPCSTR tail) {
    if (tail == nullptr) return true;
    LONG length = lstrlenA(buffer);
    if (static_cast<long long>(length) + lstrlenA(tail) >= size) return false;
    lstrcpyA(buffer + length, tail);
    return true;
}

// Exactly one trailing backslash: one already there is cut and put back, which leaves
// the text as it was and keeps the walk over double-byte characters in one place.
bool AppendBackslashWithin(LPSTR buffer, LONG size) {
    return AppendWithin(RemoveTrailingBackslash(buffer), size, "\\");
}

// `out` empty, then `text` copied in when it fits; a text too long leaves it empty.
void CopyWhole(LPSTR out, LONG size, LPCSTR text) {
    out[0] = '\0';
    if (text != nullptr && lstrlenA(text) < size) lstrcpyA(out, text);
}

LPSTR NullWhenEmpty(LPSTR out) { return out[0] != '\0' ? out : nullptr; }

// The key's value in WIN.INI "MSAPPS" when the key is there and names a valid
// directory; `value` holds PathBufferSize bytes.
bool HasValidSharedEntry(LPCSTR key, LPSTR value) {
    if (!DoesIniKeyExist(WinIni, SharedSection, key)) return false;
    return FValidDir(GetIniKeyString(WinIni, SharedSection, key, value, PathBufferSize - 1)) != FALSE;
}

// `dir` followed by a backslash (unless it has one) and `key`; false when it would not
// fit a path buffer.
bool JoinSubdir(LPSTR path, LPCSTR key) {
    return AppendBackslashWithin(path, PathBufferSize) && AppendWithin(path, PathBufferSize, key);
}

}  // namespace

int SetUpSharedAppsDir() {
    if (g_state.g_sharedDirPending == 0) return 1;
    // Cleared before anything can fail, so a failed set-up is not tried again.
    g_state.g_sharedDirPending = 0;

    char value[PathBufferSize];
    if (!HasValidSharedEntry(SharedDirKey, value)) {
        // 247 leaves room for a backslash, "MSAPPS" and the terminator.
        GetWindowsDir(value, PathBufferSize - 9);
        if (!JoinSubdir(value, "MSAPPS")) return 0;
        // A value that could not be recorded is no base for the subdirectory keys.
        if (!FCreateIniKeyValue(WinIni, SharedSection, SharedDirKey, value, IniWriteMode)) return 0;
    }

    GetIniKeyString(WinIni, SharedSection, SharedDirKey, value, PathBufferSize - 1);
    if (!FValidDir(value)) return 0;
    if (!AppendBackslashWithin(value, PathBufferSize)) return 0;

    for (LPCSTR key : SharedSubdirKeys) {
        if (!EnsureSharedSubdirKey(key, value)) return 0;
    }
    return 1;
}

int EnsureSharedSubdirKey(LPCSTR key, LPCSTR base) {
    char value[PathBufferSize];
    if (HasValidSharedEntry(key, value)) return 1;
    value[0] = '\0';
    // A base and key too long for a profile value are not written cut short.
    if (!AppendWithin(value, PathBufferSize, base) || !AppendWithin(value, PathBufferSize, key)) return 0;
    return FCreateIniKeyValue(WinIni, SharedSection, key, value, IniWriteMode);
}

LPSTR FindSharedAppFile(LPCSTR infSection, LPCSTR infKey, LPCSTR subdirKey, LPCSTR regPath, LPCSTR iniSection,
                        LPCSTR iniKey, LONG fieldNo, LPSTR out, LONG size) {
    // No place for an answer: nothing is read or written, not even the set-up.
    if (out == nullptr || size <= 0) return nullptr;
    SetUpSharedAppsDir();  // a failed set-up still leaves whatever entries are there to use

    char path[PathBufferSize];
    if (DoesIniKeyExist(WinIni, SharedSection, subdirKey)) {
        GetIniKeyString(WinIni, SharedSection, subdirKey, path, PathBufferSize - 1);
    } else {
        if (!DoesIniKeyExist(WinIni, SharedSection, SharedDirKey)) return nullptr;
        GetIniKeyString(WinIni, SharedSection, SharedDirKey, path, PathBufferSize - 1);
        if (!JoinSubdir(path, subdirKey)) return nullptr;
        FCreateIniKeyValue(WinIni, SharedSection, subdirKey, path, IniWriteMode);
    }
    if (!AppendBackslashWithin(path, PathBufferSize)) return nullptr;

    // The file's name goes straight after the directory; one that does not fit in full
    // gives no path at all.
    LONG length = lstrlenA(path);
    LONG room = PathBufferSize - 1 - length;
    if (room <= 0) return nullptr;
    LONG nameLength = CbGetInfSectionKeyField(infSection, infKey, 1, path + length, room);
    if (nameLength == -1 || nameLength >= room) return nullptr;

    char requiredVersion[PieceBufferSize] = "";
    if (CbGetInfSectionKeyField(infSection, infKey, 19, requiredVersion, PieceBufferSize - 1) == -1) return nullptr;

    return FindSharedFile(regPath, iniSection, iniKey, fieldNo, path, requiredVersion, out, size);
}

LPSTR FindSharedFile(LPCSTR regPath, LPCSTR iniSection, LPCSTR iniKey, LONG fieldNo, LPCSTR defaultPath,
                     LPCSTR requiredVersion, LPSTR out, LONG size) {
    if (out == nullptr || size <= 0) return nullptr;
    char value[PathBufferSize];

    if (!IsEmpty(regPath)) {
        GetRegKeyValue(regPath, value, PathBufferSize - 1);
        if (CheckSharedCandidate(value, requiredVersion, out, size) != nullptr) return out;
    }

    if (!IsEmpty(iniSection) && !IsEmpty(iniKey)) {
        GetIniKeyString(WinIni, iniSection, iniKey, value, PathBufferSize - 1);
        if (value[0] != '\0') {
            char field[PathBufferSize];
            GetNthCommaField(value, fieldNo, field, PathBufferSize - 1);
            if (CheckSharedCandidate(field, requiredVersion, out, size) != nullptr) return out;
        }
    }

    CopyWhole(out, size, defaultPath);
    g_state.g_sharedFileOutdated = 1;
    if (out[0] != '\0' && DoesFileExist(out, 0)) {
        // Sized for the 255 characters the version is read with.
        char foundVersion[PathBufferSize];
        if (CompareVersions(GetVersionOfFile(out, foundVersion, PathBufferSize - 1), requiredVersion) >= 0) {
            g_state.g_sharedFileOutdated = 0;
        }
    }
    return NullWhenEmpty(out);
}

LPSTR CheckSharedCandidate(LPCSTR path, LPCSTR requiredVersion, LPSTR out, LONG size) {
    if (out == nullptr || size <= 0) return nullptr;
    CopyWhole(out, size, path);
    g_state.g_sharedFileOutdated = 0;

    if (out[0] != '\0' && !DoesFileExist(out, 0)) {
        // Not where it says: the same file name may still be in a standard place.
        char name[PieceBufferSize] = "";
        if (FValidPath(out) && FParsePathIntoPieces(out, nullptr, 0, nullptr, 0, name, PieceBufferSize - 1)) {
            LocateFileByName(name, out, size);
        } else {
            out[0] = '\0';
        }
    }

    if (out[0] != '\0') {
        char foundVersion[PieceBufferSize];
        if (CompareVersions(GetVersionOfFile(out, foundVersion, PieceBufferSize - 1), requiredVersion) < 0) {
            // An older copy is only worth returning when it can be replaced.
            if (IsFileWritable(out)) {
                g_state.g_sharedFileOutdated = 1;
            } else {
                out[0] = '\0';
            }
        }
    }
    return NullWhenEmpty(out);
}

LPSTR LocateFileByName(LPCSTR name, LPSTR out, LONG size) {
    if (out == nullptr || size <= 0) return out;
    out[0] = '\0';
    // No name, nothing to find: a bare directory must not pass for the file.
    if (IsEmpty(name)) return out;

    // A directory and name too long for the path buffer are simply not there.
    char path[PathBufferSize];
    bool found = AppendWithin(GetWindowsDir(path, PathBufferSize - 1), PathBufferSize, name) && DoesFileExist(path, 0);
    if (!found) {
        found = AppendWithin(GetSystemDir(path, PathBufferSize - 1), PathBufferSize, name) && DoesFileExist(path, 0);
    }
    if (!found) FindTargetOnEnvVar(name, "PATH", path, PathBufferSize - 1);

    // `out` is only as large as the caller says; a longer result is no result.
    CopyWhole(out, size, path);
    return out;
}

int CompareVersions(LPCSTR found, LPCSTR required) {
    if (IsEmpty(found)) return IsEmpty(required) ? 0 : -1;
    if (IsEmpty(required)) return 1;
    for (int field = 1; field <= 4; ++field) {
        LONG foundField = GetVersionNthField(found, field);
        LONG requiredField = GetVersionNthField(required, field);
        if (foundField > requiredField) return 1;
        if (foundField < requiredField) return -1;
    }
    return 0;
}

int IsSharedFileOutdated() { return g_state.g_sharedFileOutdated != 0 ? 1 : 0; }
