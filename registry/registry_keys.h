// The registry library's key operations, built on the entry points of RegistryApi.
// The plain forms work under HKEY_CLASSES_ROOT on a key's default text value; the Ex
// forms take the root and handle named values of any type. A failed step is reported
// through the toolkit's error handler under a label naming the operation and ends the
// run through the fatal stop, so callers see success or the end of the process.
#pragma once

#include "platform/registry.h"

// Error answered by GetRegKeyValueEx for a key that does not exist.
constexpr int RegistryNoSuchKey = 1010;

void CreateRegKey(LPCSTR name);
void CreateRegKeyValue(LPCSTR name, LPCSTR text);
void SetRegKeyValue(LPCSTR name, LPCSTR text);
// 1 when the key exists, else 0 (never reported).
int DoesRegKeyExist(LPCSTR name);
// The key's default text into `buffer`, which holds `size` + 1 bytes; a missing key
// leaves the empty text.
LPSTR GetRegKeyValue(LPCSTR name, LPSTR buffer, int size);
// Deletes the key and every key beneath it; a missing key is no error.
void DeleteAllSubKeys(LPCSTR name);

void CreateRegKeyEx(HKEY root, LPCSTR name);
// The key must exist: it is opened for writing, not created.
void CreateRegKeyValueEx(HKEY root, LPCSTR name, LPCSTR valueName, DWORD type, const BYTE *data, DWORD size);
void SetRegKeyValueEx(HKEY root, LPCSTR name, LPCSTR valueName, DWORD type, const BYTE *data, DWORD size);
int DoesRegKeyExistEx(HKEY root, LPCSTR name);
// 0 when read, RegistryNoSuchKey (buffer and type untouched) when the key is missing.
int GetRegKeyValueEx(HKEY root, LPCSTR name, LPCSTR valueName, LPDWORD typeOut, LPBYTE data, DWORD size);
void DeleteAllSubKeysEx(HKEY root, LPCSTR name);
// The recursive worker: deletes every child from the highest index down, then the
// key. 1 when done, 0 when it failed (open and enumeration failures are reported).
int DeleteRegKeyTree(HKEY root, LPCSTR path);
