// The deletion of a key with every key beneath it: the order of the deletions, what a
// failure at any depth leaves behind, and the worker's buffers and open keys.
#include "tests/system/registry/registry_fixture.h"

#include <string>

namespace registry_test {
namespace {

using Strings = std::vector<std::string>;

// Plot\{a\{x, y\{deep}}, B, c\{z}}, with a sibling and a parent that must stay.
void AddTree() {
    for (const char *path : {"Orvalen\\Plot\\a\\x", "Orvalen\\Plot\\a\\y\\deep", "Orvalen\\Plot\\B",
                             "Orvalen\\Plot\\c\\z", "Orvalen\\Plotter\\keep"}) {
        fake::AddRegistryKey(std::string("HKEY_CLASSES_ROOT\\") + path);
    }
}

// Every key after all of its children; the children of one key from the highest
// index (the fake enumerates without regard to case) down.
const Strings TreeDeletionOrder = {
    "RegDeleteKeyA(HKEY_CLASSES_ROOT,Orvalen\\Plot\\c\\z)",
    "RegDeleteKeyA(HKEY_CLASSES_ROOT,Orvalen\\Plot\\c)",
    "RegDeleteKeyA(HKEY_CLASSES_ROOT,Orvalen\\Plot\\B)",
    "RegDeleteKeyA(HKEY_CLASSES_ROOT,Orvalen\\Plot\\a\\y\\deep)",
    "RegDeleteKeyA(HKEY_CLASSES_ROOT,Orvalen\\Plot\\a\\y)",
    "RegDeleteKeyA(HKEY_CLASSES_ROOT,Orvalen\\Plot\\a\\x)",
    "RegDeleteKeyA(HKEY_CLASSES_ROOT,Orvalen\\Plot\\a)",
    "RegDeleteKeyA(HKEY_CLASSES_ROOT,Orvalen\\Plot)",
};

TEST_F(RegistryKeysTest, DeletingAMissingKeyDoesNothing) {
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen");
    DeleteAllSubKeys("Orvalen\\Missing");
    DeleteAllSubKeysEx(HKEY_LOCAL_MACHINE, "Software\\Missing");
    EXPECT_TRUE(DeletedKeys().empty());
    EXPECT_EQ(fake::CountCalls("RegOpenKeyExA"), 0);
    EXPECT_TRUE(ReportedLabels().empty());
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen"));
}

TEST_F(RegistryKeysTest, AKeyWithoutSubkeysIsDeletedAlone) {
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen\\Plot");
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen\\Plotter");
    DeleteAllSubKeys("Orvalen\\Plot");
    EXPECT_EQ(DeletedKeys(), Strings{"RegDeleteKeyA(HKEY_CLASSES_ROOT,Orvalen\\Plot)"});
    EXPECT_FALSE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen\\Plot"));
    EXPECT_EQ(fake::RegistrySubKeys("HKEY_CLASSES_ROOT\\Orvalen"), Strings{"Plotter"});
    EXPECT_EQ(fake::CallTexts({"RegOpenKeyExA"}), Strings{"RegOpenKeyExA(HKEY_CLASSES_ROOT,Orvalen\\Plot,0,131097)"});
    EXPECT_EQ(fake::CountCalls("HeapAllocZeroed"), 0);
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
    EXPECT_TRUE(ReportedLabels().empty());
}

// The keys open at each deletion: the deleted key and its children must be closed.
std::vector<int> g_openAtDelete;
LONG DeleteNotingOpenKeys(HKEY root, LPCSTR subKey) {
    g_openAtDelete.push_back(fake::OpenRegistryKeys());
    return RegDeleteKeyA(root, subKey);
}

TEST_F(RegistryKeysTest, ATreeIsDeletedChildrenFirstFromTheHighestIndexDown) {
    AddTree();
    g_openAtDelete.clear();
    RegistryApi.RegDeleteKeyA = &DeleteNotingOpenKeys;
    DeleteAllSubKeys("Orvalen\\Plot");
    EXPECT_EQ(DeletedKeys(), TreeDeletionOrder);
    // Only the ancestors still being walked are open: the key itself is closed first.
    EXPECT_EQ(g_openAtDelete, (std::vector<int>{2, 1, 1, 3, 2, 2, 1, 0}));
    EXPECT_FALSE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen\\Plot"));
    EXPECT_EQ(fake::RegistrySubKeys("HKEY_CLASSES_ROOT\\Orvalen"), Strings{"Plotter"});
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen\\Plotter\\keep"));
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
    EXPECT_EQ(fake::LiveHeapBuffers(), 0);
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, TheExFormDeletesUnderTheRootItIsGiven) {
    fake::AddRegistryKey("HKEY_LOCAL_MACHINE\\Software\\Orvalen\\Plot\\a");
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Software\\Orvalen\\Plot\\a");
    DeleteAllSubKeysEx(HKEY_LOCAL_MACHINE, "Software\\Orvalen\\Plot");
    EXPECT_EQ(DeletedKeys(), (Strings{"RegDeleteKeyA(HKEY_LOCAL_MACHINE,Software\\Orvalen\\Plot\\a)",
                                      "RegDeleteKeyA(HKEY_LOCAL_MACHINE,Software\\Orvalen\\Plot)"}));
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_LOCAL_MACHINE\\Software\\Orvalen"));
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Software\\Orvalen\\Plot\\a"));
}

TEST_F(RegistryKeysTest, AFailedDeleteStillCountsAsDone) {
    AddTree();
    fake::FailCall("RegDeleteKeyA", {.result = static_cast<long long>(ERROR_ACCESS_DENIED)});
    EXPECT_EQ(DeleteRegKeyTree(HKEY_CLASSES_ROOT, "Orvalen\\Plot"), 1);
    EXPECT_EQ(DeletedKeys(), TreeDeletionOrder);
    DeleteAllSubKeys("Orvalen\\Plot\\B");  // no stop
    EXPECT_TRUE(ReportedLabels().empty());
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen\\Plot\\B"));
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
    EXPECT_EQ(fake::LiveHeapBuffers(), 0);
}

TEST_F(RegistryKeysTest, AnIndexThatNoLongerExistsIsSkipped) {
    AddTree();
    // The enumeration of the top key answers "no more items" for its highest index
    // once: that child is skipped and the others still go.
    fake::FailCall("RegEnumKeyA", {.result = static_cast<long long>(ERROR_NO_MORE_ITEMS), .times = 1});
    DeleteAllSubKeys("Orvalen\\Plot");
    EXPECT_TRUE(ReportedLabels().empty());
    EXPECT_EQ(fake::RegistrySubKeys("HKEY_CLASSES_ROOT\\Orvalen\\Plot"), Strings{"c"});
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen\\Plot\\c\\z"));
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
}

// Fails the open of one path and lets every other through, for a failure deep down.
std::string g_unopenable;
LONG OpenExceptOne(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    if (subKey != nullptr && g_unopenable == subKey) return static_cast<LONG>(ERROR_ACCESS_DENIED);
    return RegOpenKeyExA(root, subKey, options, access, result);
}
LONG EnumFailingUnder(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
    LONG status = RegEnumKeyA(key, index, name, nameSize);
    // The children of "y" cannot be enumerated.
    if (status == ERROR_SUCCESS && std::string(name) == "deep") return static_cast<LONG>(ERROR_CANTREAD);
    return status;
}

TEST_F(RegistryKeysTest, AFailureDeepInTheTreeReportsTwiceAndKeepsWhatWasDeleted) {
    struct Case {
        const char *name;
        std::function<void()> script;
        Strings labels;
        Strings deleted;
    };
    const std::vector<Case> cases = {
        {"open",
         [] {
             g_unopenable = "Orvalen\\Plot\\a\\y\\deep";
             RegistryApi.RegOpenKeyExA = &OpenExceptOne;
         },
         {"DeleteAllSubKeys:open", "DeleteAllSubKeys"},
         Strings(TreeDeletionOrder.begin(), TreeDeletionOrder.begin() + 3)},
        {"enum", [] { RegistryApi.RegEnumKeyA = &EnumFailingUnder; },
         {"DeleteAllSubKeys:enum", "DeleteAllSubKeys"},
         Strings(TreeDeletionOrder.begin(), TreeDeletionOrder.begin() + 3)},
        {"key query",
         [] { fake::FailCall("RegQueryInfoKeyA", {.result = static_cast<long long>(ERROR_CANTREAD), .times = 1}); },
         {"DeleteAllSubKeys"},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        ASSERT_EQ(LoadRegistryApi(), 1);
        AddTree();
        c.script();
        ExpectFatalStop(fake::RunUntilExit([] { DeleteAllSubKeys("Orvalen\\Plot"); }));
        EXPECT_EQ(ReportedLabels(), c.labels);
        EXPECT_EQ(DeletedKeys(), c.deleted);
        EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen\\Plot\\a\\y\\deep"));
        // Every level closed its key and released its buffers on the way out.
        EXPECT_EQ(fake::OpenRegistryKeys(), 0);
        EXPECT_EQ(fake::LiveHeapBuffers(), 0);
    }
}

TEST_F(RegistryKeysTest, WorkerBuffersThatCannotBeHadAreReportedAndNothingIsDeleted) {
    AddTree();
    fake::FailCall("HeapAllocZeroed", {.times = 1});
    ExpectFatalStop(fake::RunUntilExit([] { DeleteAllSubKeys("Orvalen\\Plot"); }));
    EXPECT_EQ(ReportedLabels(), (Strings{"DeleteAllSubKeys:alloc", "DeleteAllSubKeys"}));
    EXPECT_TRUE(DeletedKeys().empty());
    EXPECT_EQ(fake::OpenRegistryKeys(), 0);
    EXPECT_EQ(fake::LiveHeapBuffers(), 0);
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen\\Plot\\a\\y\\deep"));
}

TEST_F(RegistryKeysTest, WorkerBuffersAreSizedForTheLongestChild) {
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen\\Plot\\ab");
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen\\Plot\\abcdef");
    DeleteAllSubKeys("Orvalen\\Plot");
    // The name buffer holds the longest name and its terminator; the path buffer the
    // path, a backslash, the name and a terminator.
    EXPECT_EQ(fake::CallTexts({"HeapAllocZeroed"}), (Strings{"HeapAllocZeroed(7)", "HeapAllocZeroed(20)"}));
    EXPECT_EQ(fake::CallTexts({"RegEnumKeyA"})[0].substr(0, 12), "RegEnumKeyA(");
    EXPECT_FALSE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen\\Plot"));
}

TEST_F(RegistryKeysTest, PathsLongerThanTheFormatterTakesAreJoinedInFull) {
    // Five levels of 250-character names: the deepest path is over 1250 bytes.
    std::string path = "Orvalen";
    for (char level = 'a'; level <= 'e'; ++level) path += "\\" + std::string(250, level);
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\" + path);
    DeleteAllSubKeys("Orvalen");
    Strings deleted = DeletedKeys();
    ASSERT_EQ(deleted.size(), 6u);
    EXPECT_EQ(deleted.front(), "RegDeleteKeyA(HKEY_CLASSES_ROOT," + path + ")");
    EXPECT_FALSE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen"));
    EXPECT_TRUE(ReportedLabels().empty());
}

TEST_F(RegistryKeysTest, AnEmptyNameNeverEmptiesTheRoot) {
    fake::AddRegistryKey("HKEY_CLASSES_ROOT\\Orvalen\\Plot");
    ExpectFatalStop(fake::RunUntilExit([] { DeleteAllSubKeys(""); }));
    EXPECT_EQ(ReportedLabels(), (Strings{"DeleteAllSubKeys:open", "DeleteAllSubKeys"}));
    EXPECT_TRUE(DeletedKeys().empty());
    EXPECT_TRUE(fake::RegistryKeyExists("HKEY_CLASSES_ROOT\\Orvalen\\Plot"));
    EXPECT_EQ(DeleteRegKeyTree(HKEY_CLASSES_ROOT, nullptr), 0);
}

}  // namespace
}  // namespace registry_test
