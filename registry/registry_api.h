// The registry library's entry points, looked up by name in "ADVAPI32.DLL" at run
// time, and their loading and release.
#pragma once

#include "platform/registry.h"

// One slot per registry function, in the order they are looked up; NULL until found.
struct RegistryApiTable {
    RegCloseKeyFn RegCloseKey;
    RegCreateKeyAFn RegCreateKeyA;
    RegDeleteKeyAFn RegDeleteKeyA;
    RegOpenKeyAFn RegOpenKeyA;
    RegQueryValueAFn RegQueryValueA;
    RegSetValueAFn RegSetValueA;
    RegCreateKeyExAFn RegCreateKeyExA;
    RegOpenKeyExAFn RegOpenKeyExA;
    RegQueryValueExAFn RegQueryValueExA;
    RegSetValueExAFn RegSetValueExA;
    RegEnumKeyAFn RegEnumKeyA;
    RegQueryInfoKeyAFn RegQueryInfoKeyA;
};

extern RegistryApiTable RegistryApi;

// 1: the module is loaded and the six required entry points were found; 0: failed,
// the module is not held.
int LoadRegistryApi();
// Releases the module when it is held; a second call does nothing.
void FreeRegistryApi();
// Empties every slot and forgets the module without releasing it. Tests use it
// between runs.
void ResetRegistryApi();
