// Registry semantics on a temporary machine: names without regard to case, values
// of every type with exact sizes, small buffers, deletion rules, enumeration, key
// information, and changes that a killed or a concurrent process makes.
#include <csignal>
#include <fstream>
#include <iterator>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "machine_fixture.h"
#include "platform/registry.h"
#include "platform/win32.h"
#include "host/workstation/registry_tree.h"

namespace {

using orv::test::MachineTest;

class RegistryTest : public MachineTest {
protected:
    HKEY Create(HKEY root, const char* path)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyA(root, path, &key), ERROR_SUCCESS) << path;
        return key;
    }
    std::vector<std::string> Enumerate(HKEY key)
    {
        std::vector<std::string> names;
        char name[256];
        for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) names.push_back(name);
        return names;
    }
};

TEST_F(RegistryTest, NamesCompareWithoutCaseAndKeepTheirCase)
{
    HKEY key = Create(HKEY_LOCAL_MACHINE, "Software\\MyCo\\Tool");
    HKEY same = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\myco\\TOOL", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &same, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    HKEY myco = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "software\\MYCO", &myco), ERROR_SUCCESS);
    EXPECT_EQ(Enumerate(myco), std::vector<std::string>{"Tool"});
    // The software key of a new machine keeps NT's capitals.
    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "software", &software), ERROR_SUCCESS);
    char name[64];
    ASSERT_EQ(RegEnumKeyA(HKEY_LOCAL_MACHINE, 0, name, sizeof name), ERROR_SUCCESS);
    EXPECT_STREQ(name, "SOFTWARE");
    for (HKEY k : {key, same, myco, software}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), static_cast<LONG>(ERROR_INVALID_HANDLE)) << "closed twice";
    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Nobody", &missing), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "\\Software", &missing),
              static_cast<LONG>(orv::host::registry::ERROR_BAD_PATHNAME));
}

TEST_F(RegistryTest, ValuesOfEveryTypeKeepTheirExactSize)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Values");
    const unsigned char binary[] = {0, 1, 2, 0, 255};
    const DWORD number = 0x12345678;
    const char multi[] = "one\0two\0";  // with the final terminator: 9 bytes
    const char unterminated[] = {'a', 'b', 'c'};
    struct Case {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {
        {"", REG_SZ, "default", 8},          {"Text", REG_SZ, "hello", 6},
        {"Raw", REG_SZ, unterminated, 3},    {"Bin", REG_BINARY, binary, 5},
        {"Num", REG_DWORD, &number, 4},      {"Multi", REG_MULTI_SZ, multi, 9},
        {"Expand", REG_EXPAND_SZ, "%PATH%", 7}, {"Empty", REG_BINARY, nullptr, 0},
        {"None", REG_NONE, binary, 2},
    };
    for (const Case& c : cases)
        ASSERT_EQ(RegSetValueExA(key, c.name, 0, c.type, static_cast<const BYTE*>(c.data), c.size), ERROR_SUCCESS)
            << c.name;
    for (const Case& c : cases) {
        DWORD type = 99, size = 0;
        ASSERT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(size, c.size) << c.name;
        std::vector<BYTE> buffer(c.size + 4, 0xEE);
        size = static_cast<DWORD>(buffer.size());
        ASSERT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
        EXPECT_EQ(size, c.size);
        if (c.size) {
            EXPECT_EQ(std::memcmp(buffer.data(), c.data, c.size), 0) << c.name;
        }
        EXPECT_EQ(buffer[c.size], 0xEE) << "nothing written past the value";
        if (c.size > 1) {
            std::vector<BYTE> small(c.size - 1, 0xEE);
            size = c.size - 1;
            EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, small.data(), &size),
                      static_cast<LONG>(ERROR_MORE_DATA))
                << c.name;
            EXPECT_EQ(size, c.size) << "the size needed";
        }
    }
    // Value names compare without regard to case; a rewrite keeps one value.
    ASSERT_EQ(RegSetValueExA(key, "TEXT", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
    DWORD values = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, std::size(cases));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    RegCloseKey(key);
}

TEST_F(RegistryTest, DefaultValueCallsWorkOnASubkeyAndCreateIt)
{
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".plt\\Shell", REG_SZ, "Plot file", 999), ERROR_SUCCESS);
    char text[32];
    LONG size = sizeof text;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ".PLT\\shell", text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "Plot file");
    EXPECT_EQ(size, 10) << "the text's length with its terminator, not the size the caller passed";
    size = 4;
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ".plt\\Shell", text, &size), static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(size, 10);
    // HKEY_CLASSES_ROOT is the view of HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
    size = sizeof text;
    ASSERT_EQ(RegQueryValueA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.plt\\Shell", text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "Plot file");
    // A key whose default value was never set answers the empty text.
    size = sizeof text;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ".plt", text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(size, 1);
    EXPECT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "x", REG_DWORD, "1", 2), static_cast<LONG>(ERROR_INVALID_PARAMETER));
    // Removing the classes key does not break the view: the next change makes it again.
    ASSERT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".plt\\Shell"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".plt"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".new", REG_SZ, "again", 0), ERROR_SUCCESS);
    size = sizeof text;
    ASSERT_EQ(RegQueryValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.new", text, &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "again");
}

TEST_F(RegistryTest, DeletionRefusesKeysWithSubkeysAndStalesOpenHandles)
{
    HKEY parent = Create(HKEY_LOCAL_MACHINE, "Tree\\Parent");
    HKEY child = Create(parent, "Child");
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Tree\\Parent"), static_cast<LONG>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Tree\\PARENT\\child"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(child, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
              static_cast<LONG>(ERROR_KEY_DELETED));
    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Tree\\Parent\\Child"), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Tree\\Parent"), ERROR_SUCCESS);
    RegCloseKey(parent);
}

TEST_F(RegistryTest, EnumerationIsStableAndQueryInfoCountsAndMeasures)
{
    HKEY key = Create(HKEY_LOCAL_MACHINE, "Enum");
    for (const char* name : {"beta", "Alpha", "gamma-long-name", "Delta"}) RegCloseKey(Create(key, name));
    const DWORD value = 1;
    RegSetValueExA(key, "LongestValueName", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&value), 4);
    RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("0123456789"), 11);
    std::vector<std::string> expected{"Alpha", "beta", "Delta", "gamma-long-name"};
    EXPECT_EQ(Enumerate(key), expected);
    EXPECT_EQ(Enumerate(key), expected) << "the same order each time";
    char name[8];
    EXPECT_EQ(RegEnumKeyA(key, 4, name, sizeof name), static_cast<LONG>(ERROR_NO_MORE_ITEMS));
    EXPECT_EQ(RegEnumKeyA(key, 3, name, sizeof name), static_cast<LONG>(ERROR_MORE_DATA));
    char className[128];
    DWORD classSize = sizeof className, subKeys = 0, longest = 0, values = 0, longestValueName = 0, longestValue = 0;
    FILETIME written{};
    ASSERT_EQ(RegQueryInfoKeyA(key, className, &classSize, nullptr, &subKeys, &longest, nullptr, &values,
                               &longestValueName, &longestValue, nullptr, &written),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 4u);
    EXPECT_EQ(longest, std::strlen("gamma-long-name"));
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(longestValueName, std::strlen("LongestValueName"));
    EXPECT_EQ(longestValue, 11u);
    EXPECT_NE(written.dwHighDateTime, 0u);
    // Deleting from the highest index down, as a tree deletion does, meets every key.
    for (DWORD i = 4; i-- > 0;) {
        char child[64];
        ASSERT_EQ(RegEnumKeyA(key, i, child, sizeof child), ERROR_SUCCESS);
        ASSERT_EQ(RegDeleteKeyA(key, child), ERROR_SUCCESS) << child;
    }
    EXPECT_TRUE(Enumerate(key).empty());
    RegCloseKey(key);
}

TEST_F(RegistryTest, AccessRightsOfAnOpenedKeyAreHonoured)
{
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, "Rights"));
    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Rights", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(readOnly, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
              static_cast<LONG>(ERROR_ACCESS_DENIED));
    RegCloseKey(readOnly);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(std::uintptr_t{0x1234567})), static_cast<LONG>(ERROR_INVALID_HANDLE));
}

TEST_F(RegistryTest, AdvapiOffersTheTwelveFunctionsUnlessWithheld)
{
    HMODULE module = LoadLibraryA("advapi32.DLL");
    ASSERT_NE(module, nullptr);
    for (const char* name : {"RegCloseKey", "RegCreateKeyA", "RegDeleteKeyA", "RegOpenKeyA", "RegQueryValueA",
                             "RegSetValueA", "RegCreateKeyExA", "RegOpenKeyExA", "RegQueryValueExA", "RegSetValueExA",
                             "RegEnumKeyA", "RegQueryInfoKeyA"})
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    auto open = reinterpret_cast<RegOpenKeyAFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "RegOpenKeyA")));
    HKEY key = nullptr;
    EXPECT_EQ(open(HKEY_LOCAL_MACHINE, "SOFTWARE", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(GetProcAddress(module, "RegDeleteValueA"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(GetProcAddress(module, "regclosekey"), nullptr) << "entry point names are exact";
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(LoadLibraryA("GDI32.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

    std::string error;
    std::filesystem::path ini = machine_ / "machine.ini";
    std::string text;
    {
        std::ifstream in(ini);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    text.replace(text.find("WithheldFunctions="), 18, "WithheldFunctions=RegOpenKeyA, RegEnumKeyA");
    std::ofstream(ini) << text;
    ASSERT_TRUE(orv::host::OpenMachine(machine_, false, error)) << error;
    module = LoadLibraryA("ADVAPI32.DLL");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetProcAddress(module, "RegOpenKeyA"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "RegEnumKeyA"), nullptr);
    EXPECT_NE(GetProcAddress(module, "RegCloseKey"), nullptr);
    FreeLibrary(module);
}

// Each change is whole or absent after a kill: a multi-level create inserts all its
// levels, RegSetValueA its key and value, in one transaction.
TEST_F(RegistryTest, KilledProcessLeavesEachChangeWholeOrAbsent)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::string error;
            orv::host::AbandonMachineAfterFork();
            if (!orv::host::OpenMachine(machine_, false, error)) ::_exit(2);
            for (int i = 0;; ++i) {
                std::string name = std::to_string(attempt) + "-" + std::to_string(i);
                HKEY key = nullptr;
                RegCreateKeyA(HKEY_LOCAL_MACHINE, ("Chains\\" + name + "\\a\\b\\c\\d").c_str(), &key);
                RegCloseKey(key);
                RegSetValueA(HKEY_LOCAL_MACHINE, ("Texts\\" + name).c_str(), REG_SZ, "set", 4);
            }
        }
        ::usleep(150000 + attempt * 50000);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    std::string error;
    ASSERT_TRUE(orv::host::OpenMachine(machine_, false, error)) << error;
    HKEY chains = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Chains", &chains), ERROR_SUCCESS);
    std::vector<std::string> names = Enumerate(chains);
    EXPECT_GT(names.size(), 4u);
    for (const std::string& name : names) {
        HKEY deepest = nullptr;
        EXPECT_EQ(RegOpenKeyA(chains, (name + "\\a\\b\\c\\d").c_str(), &deepest), ERROR_SUCCESS) << name;
        RegCloseKey(deepest);
    }
    HKEY texts = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Texts", &texts), ERROR_SUCCESS);
    for (const std::string& name : Enumerate(texts)) {
        char value[8] = "";
        LONG size = sizeof value;
        EXPECT_EQ(RegQueryValueA(texts, name.c_str(), value, &size), ERROR_SUCCESS);
        EXPECT_STREQ(value, "set") << name;
    }
    RegCloseKey(chains);
    RegCloseKey(texts);
}

TEST_F(RegistryTest, TwoProcessesAtOnceLoseNoChangeAndSeeEachOther)
{
    HKEY shared = Create(HKEY_LOCAL_MACHINE, "Shared");
    EXPECT_TRUE(Enumerate(shared).empty());  // this process now holds the key's list
    constexpr int perProcess = 200;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            std::string error;
            orv::host::AbandonMachineAfterFork();
            if (!orv::host::OpenMachine(machine_, false, error)) ::_exit(2);
            for (int i = 0; i < perProcess; ++i) {
                std::string name = "p" + std::to_string(child) + "-" + std::to_string(i);
                if (RegSetValueA(HKEY_LOCAL_MACHINE, ("Shared\\" + name).c_str(), REG_SZ, name.c_str(), 0) !=
                    ERROR_SUCCESS)
                    ::_exit(1);
            }
            ::_exit(0);
        }
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Enumerate(shared).size(), 2u * perProcess);
    RegCloseKey(shared);
}

}  // namespace
