// The registry functions of the workstation. The setup calls RegDeleteKeyA directly;
// the registry library reaches the twelve others (and RegDeleteKeyA again) only through
// the entry points it looks up by name in "ADVAPI32.DLL", so their function types are
// given here too.
#pragma once

#include "platform/wintypes.h"

// The predefined roots, as the workstation numbers them.
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000003u));

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

LONG RegCloseKey(HKEY key);
LONG RegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY result);
LONG RegDeleteKeyA(HKEY root, LPCSTR subKey);
LONG RegOpenKeyA(HKEY root, LPCSTR subKey, PHKEY result);
LONG RegQueryValueA(HKEY root, LPCSTR subKey, LPSTR data, LONG *dataSize);
LONG RegSetValueA(HKEY root, LPCSTR subKey, DWORD type, LPCSTR data, DWORD dataSize);
LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE *data,
                    DWORD dataSize);
LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize);
LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                      LPDWORD maxValueNameLength, LPDWORD maxValueLength, LPDWORD securityDescriptorSize,
                      PFILETIME lastWriteTime);

// Function types of the entry points as looked up by name.
using RegCloseKeyFn = decltype(&RegCloseKey);
using RegCreateKeyAFn = decltype(&RegCreateKeyA);
using RegDeleteKeyAFn = decltype(&RegDeleteKeyA);
using RegOpenKeyAFn = decltype(&RegOpenKeyA);
using RegQueryValueAFn = decltype(&RegQueryValueA);
using RegSetValueAFn = decltype(&RegSetValueA);
using RegCreateKeyExAFn = decltype(&RegCreateKeyExA);
using RegOpenKeyExAFn = decltype(&RegOpenKeyExA);
using RegQueryValueExAFn = decltype(&RegQueryValueExA);
using RegSetValueExAFn = decltype(&RegSetValueExA);
using RegEnumKeyAFn = decltype(&RegEnumKeyA);
using RegQueryInfoKeyAFn = decltype(&RegQueryInfoKeyA);
