// Loading and releasing the registry library's entry points.
#include "include/setup_state.h"
#include "registry/registry_api.h"
#include "tests/fake/fake_platform.h"
#include "tests/system/session/stand_ins.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class RegistryApiTest : public ::testing::Test {
protected:
    void SetUp() override { stand_in::Reset(); }
};

const std::vector<std::string> LookUpOrder = {
    "RegCloseKey",     "RegCreateKeyA", "RegDeleteKeyA",    "RegOpenKeyA",
    "RegQueryValueA",  "RegSetValueA",  "RegCreateKeyExA",  "RegOpenKeyExA",
    "RegQueryValueExA", "RegSetValueExA", "RegEnumKeyA",    "RegQueryInfoKeyA",
};

std::vector<std::string> LookedUpNames() {
    std::vector<std::string> names;
    for (const fake::Call &call : fake::Calls()) {
        if (call.name == "GetProcAddress") names.push_back(call.args.at(1));
    }
    return names;
}

TEST_F(RegistryApiTest, LoadFillsEveryEntryPointInOrder) {
    EXPECT_EQ(LoadRegistryApi(), 1);
    EXPECT_EQ(fake::CallTexts({"LoadLibraryA"}), std::vector<std::string>{"LoadLibraryA(ADVAPI32.DLL)"});
    EXPECT_EQ(LookedUpNames(), LookUpOrder);
    EXPECT_NE(g_state.g_hAdvapi, nullptr);
    EXPECT_EQ(RegistryApi.RegCloseKey, &RegCloseKey);
    EXPECT_EQ(RegistryApi.RegQueryInfoKeyA, &RegQueryInfoKeyA);
    // The entry points work: they reach the registry of the fake.
    HKEY key = nullptr;
    ASSERT_EQ(RegistryApi.RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Orvalen", &key), 0);
    EXPECT_EQ(RegistryApi.RegCloseKey(key), 0);
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_LOCAL_MACHINE\\Software\\Orvalen"));
}

TEST_F(RegistryApiTest, MissingRequiredEntryPointReleasesTheModule) {
    fake::WithholdProc("RegQueryValueA");
    EXPECT_EQ(LoadRegistryApi(), 0);
    EXPECT_EQ(g_state.g_hAdvapi, nullptr);
    EXPECT_EQ(fake::CountCalls("FreeLibrary"), 1);
    EXPECT_EQ(fake::LoadedModules(), 0);
    // The six required names are all looked up, the optional ones not.
    EXPECT_EQ(LookedUpNames(), std::vector<std::string>(LookUpOrder.begin(), LookUpOrder.begin() + 6));
    EXPECT_EQ(RegistryApi.RegQueryValueA, nullptr);
    EXPECT_NE(RegistryApi.RegCloseKey, nullptr);  // slots already found keep their values
    FreeRegistryApi();
    EXPECT_EQ(fake::CountCalls("FreeLibrary"), 1);
}

TEST_F(RegistryApiTest, MissingOptionalEntryPointIsNotNoticed) {
    fake::WithholdProc("RegEnumKeyA");
    EXPECT_EQ(LoadRegistryApi(), 1);
    EXPECT_EQ(RegistryApi.RegEnumKeyA, nullptr);
    EXPECT_NE(RegistryApi.RegQueryInfoKeyA, nullptr);
    EXPECT_EQ(fake::CountCalls("FreeLibrary"), 0);
}

TEST_F(RegistryApiTest, ModuleThatDoesNotLoad) {
    fake::FailCall("LoadLibraryA");
    EXPECT_EQ(LoadRegistryApi(), 0);
    EXPECT_EQ(fake::CountCalls("GetProcAddress"), 0);
    EXPECT_EQ(fake::CountCalls("FreeLibrary"), 0);
}

TEST_F(RegistryApiTest, FreeTwiceOrWithoutLoadDoesNothingMore) {
    FreeRegistryApi();
    EXPECT_EQ(fake::CountCalls("FreeLibrary"), 0);

    ASSERT_EQ(LoadRegistryApi(), 1);
    HMODULE module = g_state.g_hAdvapi;
    FreeRegistryApi();
    FreeRegistryApi();
    char moduleText[32];
    std::snprintf(moduleText, sizeof moduleText, "FreeLibrary(0x%llx)",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(module)));
    EXPECT_EQ(fake::CallTexts({"FreeLibrary"}), std::vector<std::string>{moduleText});
    EXPECT_EQ(g_state.g_hAdvapi, nullptr);
    // The table is not cleared by the release.
    EXPECT_NE(RegistryApi.RegCloseKey, nullptr);
}

}  // namespace
