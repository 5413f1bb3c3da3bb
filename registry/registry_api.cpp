// Loading of the registry library: "ADVAPI32.DLL" is loaded at run time and its
// registry functions are looked up by name into RegistryApi.
#include "registry/registry_api.h"

#include "include/setup_state.h"
#include "platform/win32.h"

RegistryApiTable RegistryApi{};

namespace {

template <typename Fn>
Fn LookUp(const char *name) {
    // Through the generic function pointer type, which converts to any other.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(g_state.g_hAdvapi, name)));
}

}  // namespace

int LoadRegistryApi() {
    g_state.g_hAdvapi = LoadLibraryA("ADVAPI32.DLL");
    if (g_state.g_hAdvapi == nullptr) return 0;
    RegistryApi.RegCloseKey = LookUp<RegCloseKeyFn>("RegCloseKey");
    RegistryApi.RegCreateKeyA = LookUp<RegCreateKeyAFn>("RegCreateKeyA");
    RegistryApi.RegDeleteKeyA = LookUp<RegDeleteKeyAFn>("RegDeleteKeyA");
    RegistryApi.RegOpenKeyA = LookUp<RegOpenKeyAFn>("RegOpenKeyA");
    RegistryApi.RegQueryValueA = LookUp<RegQueryValueAFn>("RegQueryValueA");
    RegistryApi.RegSetValueA = LookUp<RegSetValueAFn>("RegSetValueA");
    if (RegistryApi.RegCloseKey == nullptr || RegistryApi.RegCreateKeyA == nullptr ||
        RegistryApi.RegDeleteKeyA == nullptr || RegistryApi.RegOpenKeyA == nullptr ||
        RegistryApi.RegQueryValueA == nullptr || RegistryApi.RegSetValueA == nullptr) {
        FreeLibrary(g_state.g_hAdvapi);
        g_state.g_hAdvapi = nullptr;
        return 0;
    }
    // The other six are stored as found, a missing one as NULL; the load does not
    // depend on them.
    RegistryApi.RegCreateKeyExA = LookUp<RegCreateKeyExAFn>("RegCreateKeyExA");
    RegistryApi.RegOpenKeyExA = LookUp<RegOpenKeyExAFn>("RegOpenKeyExA");
    RegistryApi.RegQueryValueExA = LookUp<RegQueryValueExAFn>("RegQueryValueExA");
    RegistryApi.RegSetValueExA = LookUp<RegSetValueExAFn>("RegSetValueExA");
    RegistryApi.RegEnumKeyA = LookUp<RegEnumKeyAFn>("RegEnumKeyA");
    RegistryApi.RegQueryInfoKeyA = LookUp<RegQueryInfoKeyAFn>("RegQueryInfoKeyA");
    return 1;
}

void FreeRegistryApi() {
    if (g_state.g_hAdvapi == nullptr) return;
    FreeLibrary(g_state.g_hAdvapi);
    g_state.g_hAdvapi = nullptr;
}

void ResetRegistryApi() {
    RegistryApi = RegistryApiTable{};
    g_state.g_hAdvapi = nullptr;
}
