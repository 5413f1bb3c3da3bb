// The shared application directory, recorded in WIN.INI section "MSAPPS" with one key
// per kind of shared component, and the lookup of a shared file: a registry value,
// then a WIN.INI entry, then a default path, each judged by its version.
#pragma once

#include "platform/wintypes.h"

// Sets up "MSAPPS" and its eight subdirectory keys once per process. 1 when they are
// in place or set-up was already attempted, 0 when it failed.
int SetUpSharedAppsDir();
// 1 when WIN.INI has a valid directory for `key`; otherwise the toolkit's answer to
// writing `base` followed by `key`.
int EnsureSharedSubdirKey(LPCSTR key, LPCSTR base);
// Where the file of an INF line (field 1 the name, field 19 the version) is or should
// go in the shared subdirectory `subdirKey`; the lookup hints go to FindSharedFile.
LPSTR FindSharedAppFile(LPCSTR infSection, LPCSTR infKey, LPCSTR subdirKey, LPCSTR regPath, LPCSTR iniSection,
                        LPCSTR iniKey, LONG fieldNo, LPSTR out, LONG size);
LPSTR FindSharedFile(LPCSTR regPath, LPCSTR iniSection, LPCSTR iniKey, LONG fieldNo, LPCSTR defaultPath,
                     LPCSTR requiredVersion, LPSTR out, LONG size);
LPSTR CheckSharedCandidate(LPCSTR path, LPCSTR requiredVersion, LPSTR out, LONG size);
LPSTR LocateFileByName(LPCSTR name, LPSTR out, LONG size);
// -1, 0 or 1, comparing the first four fields of two version texts.
int CompareVersions(LPCSTR found, LPCSTR required);
// 1 when the file of the latest lookup is missing or older than required.
int IsSharedFileOutdated();
