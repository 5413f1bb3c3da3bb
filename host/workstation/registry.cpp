// The workstation's registry: NT's key and value semantics over the machine's SQLite
// store. Opened keys are small integer handles; every change is one transaction.
#include <algorithm>
#include <cstring>
#include <ctime>
#include <unordered_map>

#include "host/workstation/machine.h"
#include "host/workstation/registry_tree.h"
#include "host/workstation/store.h"
#include "host/text/ansi_text.h"
#include "platform/registry.h"

namespace orv::host::registry {
namespace {

using store::Query;
using store::Transaction;

constexpr std::size_t kMaxKeyName = 255;
constexpr std::uintptr_t kHandleBase = 0x1000;
constexpr std::uintptr_t kHandleStep = 4;

struct OpenKey {
    std::int64_t id = 0;
    REGSAM access = 0;
};
std::vector<OpenKey> g_handles;
std::vector<std::size_t> g_freeHandles;

// Subkeys of the parents this process enumerated, sorted as RegEnumKeyA answers
// them (folded name, then name). Kept in step with this process's own changes and
// dropped as a whole when another process committed, so that enumerating a large
// key from the last index down costs no more than walking it once.
using ChildList = std::vector<std::pair<std::string, std::string>>;
std::unordered_map<std::int64_t, ChildList> g_children;
std::int64_t g_cacheVersion = -1;

void ValidateCache()
{
    std::int64_t version = store::DataVersion();
    if (version != g_cacheVersion) {
        g_children.clear();
        g_cacheVersion = version;
    }
}

void CacheInsert(std::int64_t parent, const std::string& folded, const std::string& name)
{
    auto found = g_children.find(parent);
    if (found == g_children.end()) return;
    ChildList& list = found->second;
    auto at = std::lower_bound(list.begin(), list.end(), std::make_pair(folded, std::string()));
    list.insert(at, {folded, name});
}

void CacheErase(std::int64_t parent, const std::string& folded)
{
    auto found = g_children.find(parent);
    if (found == g_children.end()) return;
    ChildList& list = found->second;
    auto at = std::lower_bound(list.begin(), list.end(), std::make_pair(folded, std::string()));
    if (at != list.end() && at->first == folded) list.erase(at);
}

const ChildList& CachedChildren(std::int64_t parent)
{
    auto found = g_children.find(parent);
    if (found != g_children.end()) return found->second;
    ChildList list;
    Query query("SELECT folded, name FROM keys WHERE parent = ? ORDER BY folded");
    query.Bind(1, parent);
    while (query.Step()) list.emplace_back(query.Text(0), query.Text(1));
    return g_children.emplace(parent, std::move(list)).first->second;
}

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

// Splits a key path at backslashes, stepping over double-byte characters. A
// leading backslash is refused as NT refuses it; empty levels are skipped.
bool SplitKeyPath(const std::string& path, std::vector<std::string>& names, DWORD& error)
{
    names.clear();
    if (!path.empty() && path[0] == '\\') {
        error = ERROR_BAD_PATHNAME;
        return false;
    }
    std::string current;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && orv::text::IsDbcsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            current += path[i];
            current += path[++i];
            continue;
        }
        if (i == path.size() || path[i] == '\\') {
            if (current.size() > kMaxKeyName) {
                error = ERROR_INVALID_PARAMETER;
                return false;
            }
            if (!current.empty()) names.push_back(current);
            current.clear();
            continue;
        }
        current += path[i];
    }
    return true;
}

std::optional<std::int64_t> FindChild(std::int64_t parent, const std::string& folded)
{
    Query query("SELECT id FROM keys WHERE parent = ? AND folded = ?");
    query.Bind(1, parent).Bind(2, folded);
    if (query.Step()) return query.Int(0);
    return std::nullopt;
}

bool KeyExists(std::int64_t id)
{
    Query query("SELECT 1 FROM keys WHERE id = ?");
    query.Bind(1, id);
    return query.Step();
}

bool HasChildren(std::int64_t id)
{
    Query query("SELECT 1 FROM keys WHERE parent = ? LIMIT 1");
    query.Bind(1, id);
    return query.Step();
}

void Touch(std::int64_t id)
{
    Query query("UPDATE keys SET written = ? WHERE id = ?");
    query.Bind(1, Now()).Bind(2, id).Run();
}

bool DeleteOne(std::int64_t id)
{
    std::int64_t parent = 0;
    std::string folded;
    {
        Query query("SELECT parent, folded FROM keys WHERE id = ?");
        query.Bind(1, id);
        if (!query.Step()) return false;
        parent = query.Int(0);
        folded = query.Text(1);
    }
    Query values("DELETE FROM key_values WHERE key = ?");
    Query key("DELETE FROM keys WHERE id = ?");
    if (!values.Bind(1, id).Run() || !key.Bind(1, id).Run()) return false;
    CacheErase(parent, folded);
    g_children.erase(id);
    return true;
}

// The key a handle stands for. HKEY_CLASSES_ROOT is the view of
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes, made again when someone removed it.
LONG KeyOf(HKEY key, REGSAM needed, std::int64_t& id)
{
    if (!orv::host::EnsureMachineOpen() || !store::IsOpen()) return static_cast<LONG>(ERROR_BADDB);
    if (key == HKEY_LOCAL_MACHINE) {
        id = store::LocalMachineRootId;
        return ERROR_SUCCESS;
    }
    if (key == HKEY_CURRENT_USER) {
        id = store::CurrentUserRootId;
        return ERROR_SUCCESS;
    }
    if (key == HKEY_USERS) {
        id = store::UsersRootId;
        return ERROR_SUCCESS;
    }
    if (key == HKEY_CLASSES_ROOT) {
        if (auto found = FindKey(store::LocalMachineRootId, "SOFTWARE\\Classes")) {
            id = *found;
            return ERROR_SUCCESS;
        }
        DWORD error = 0;
        if (store::InTransaction())  // the caller's change takes the new key along
            return CreateKey(store::LocalMachineRootId, "SOFTWARE\\Classes", id, error)
                       ? ERROR_SUCCESS
                       : static_cast<LONG>(ERROR_CANTWRITE);
        Transaction transaction;
        if (!transaction.Ok() || !CreateKey(store::LocalMachineRootId, "SOFTWARE\\Classes", id, error) ||
            !transaction.Commit()) {
            ForgetCache();
            return static_cast<LONG>(ERROR_CANTWRITE);
        }
        return ERROR_SUCCESS;
    }
    auto value = reinterpret_cast<std::uintptr_t>(key);
    if (value < kHandleBase || (value - kHandleBase) % kHandleStep != 0) return static_cast<LONG>(ERROR_INVALID_HANDLE);
    std::size_t index = (value - kHandleBase) / kHandleStep;
    if (index >= g_handles.size() || g_handles[index].id == 0) return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if ((g_handles[index].access & needed) != needed) return static_cast<LONG>(ERROR_ACCESS_DENIED);
    id = g_handles[index].id;
    if (!KeyExists(id)) return static_cast<LONG>(ERROR_KEY_DELETED);
    return ERROR_SUCCESS;
}

HKEY NewHandle(std::int64_t id, REGSAM access)
{
    std::size_t index;
    if (!g_freeHandles.empty()) {
        index = g_freeHandles.back();
        g_freeHandles.pop_back();
        g_handles[index] = OpenKey{id, access};
    } else {
        index = g_handles.size();
        g_handles.push_back(OpenKey{id, access});
    }
    return reinterpret_cast<HKEY>(kHandleBase + index * kHandleStep);
}

std::string Text(LPCSTR text) { return text ? std::string(text) : std::string(); }

// Answers a value into a caller's buffer as the query calls do: the size alone for
// no buffer, ERROR_MORE_DATA with the size needed for too small a buffer.
LONG AnswerData(const std::vector<unsigned char>& data, LPBYTE buffer, LPDWORD size)
{
    if (!size) return buffer ? static_cast<LONG>(ERROR_INVALID_PARAMETER) : ERROR_SUCCESS;
    DWORD needed = static_cast<DWORD>(data.size());
    if (!buffer) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return static_cast<LONG>(ERROR_MORE_DATA);
    }
    if (needed) std::memcpy(buffer, data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

std::optional<Value> ReadValue(std::int64_t key, const std::string& name)
{
    Query query("SELECT name, type, data FROM key_values WHERE key = ? AND folded = ?");
    query.Bind(1, key).Bind(2, store::FoldName(name));
    if (!query.Step()) return std::nullopt;
    return Value{query.Text(0), static_cast<DWORD>(query.Int(1)), query.Blob(2)};
}

template <typename Body>
LONG Guarded(Body body)
{
    try {
        return body();
    } catch (...) {
        ForgetCache();
        return static_cast<LONG>(ERROR_NOT_ENOUGH_MEMORY);
    }
}

}  // namespace

std::optional<std::int64_t> FindKey(std::int64_t parent, const std::string& path)
{
    std::vector<std::string> names;
    DWORD error = 0;
    if (!SplitKeyPath(path, names, error)) return std::nullopt;
    std::int64_t id = parent;
    for (const std::string& name : names) {
        auto child = FindChild(id, store::FoldName(name));
        if (!child) return std::nullopt;
        id = *child;
    }
    return id;
}

bool CreateKey(std::int64_t parent, const std::string& path, std::int64_t& id, DWORD& error, bool* created)
{
    std::vector<std::string> names;
    if (created) *created = false;
    if (!SplitKeyPath(path, names, error)) return false;
    id = parent;
    for (const std::string& name : names) {
        std::string folded = store::FoldName(name);
        if (auto child = FindChild(id, folded)) {
            id = *child;
            continue;
        }
        Query insert("INSERT INTO keys(parent, name, folded, written) VALUES (?, ?, ?, ?)");
        if (!insert.Bind(1, id).Bind(2, name).Bind(3, folded).Bind(4, Now()).Run()) {
            error = ERROR_CANTWRITE;
            return false;
        }
        std::int64_t child = store::LastInsertId();
        CacheInsert(id, folded, name);
        id = child;
        if (created) *created = true;
    }
    return true;
}

bool SetValue(std::int64_t key, const std::string& name, DWORD type, const void* data, std::size_t size)
{
    Query upsert(
        "INSERT INTO key_values(key, name, folded, type, data) VALUES (?, ?, ?, ?, ?) "
        "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    if (!upsert.Bind(1, key).Bind(2, name).Bind(3, store::FoldName(name)).Bind(4, std::int64_t{type})
             .BindBlob(5, data, size)
             .Run())
        return false;
    Touch(key);
    return true;
}

void DeleteTree(std::int64_t key)
{
    std::vector<std::int64_t> pending{key};
    std::vector<std::int64_t> all;
    while (!pending.empty()) {
        std::int64_t id = pending.back();
        pending.pop_back();
        all.push_back(id);
        Query children("SELECT id FROM keys WHERE parent = ?");
        children.Bind(1, id);
        while (children.Step()) pending.push_back(children.Int(0));
    }
    for (auto it = all.rbegin(); it != all.rend(); ++it) DeleteOne(*it);
}

std::vector<Value> Values(std::int64_t key)
{
    std::vector<Value> values;
    Query query("SELECT name, type, data FROM key_values WHERE key = ? ORDER BY folded");
    query.Bind(1, key);
    while (query.Step()) values.push_back(Value{query.Text(0), static_cast<DWORD>(query.Int(1)), query.Blob(2)});
    return values;
}

std::vector<std::pair<std::int64_t, std::string>> Children(std::int64_t key)
{
    std::vector<std::pair<std::int64_t, std::string>> children;
    Query query("SELECT id, name FROM keys WHERE parent = ? ORDER BY folded");
    query.Bind(1, key);
    while (query.Step()) children.emplace_back(query.Int(0), query.Text(1));
    return children;
}

void ForgetCache()
{
    g_children.clear();
    g_cacheVersion = -1;
}

void ResetHandles()
{
    ForgetCache();
    g_handles.clear();
    g_freeHandles.clear();
}

std::optional<std::int64_t> RootByName(const std::string& name)
{
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "HKEY_LOCAL_MACHINE" || upper == "HKLM") return store::LocalMachineRootId;
    if (upper == "HKEY_CURRENT_USER" || upper == "HKCU") return store::CurrentUserRootId;
    if (upper == "HKEY_USERS" || upper == "HKU") return store::UsersRootId;
    if (upper == "HKEY_CLASSES_ROOT" || upper == "HKCR") {
        std::int64_t id = 0;
        if (KeyOf(HKEY_CLASSES_ROOT, 0, id) == ERROR_SUCCESS) return id;
    }
    return std::nullopt;
}

}  // namespace orv::host::registry

using namespace orv::host::registry;
using orv::host::store::Query;
using orv::host::store::Transaction;

LONG RegCloseKey(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS)
        return ERROR_SUCCESS;
    auto value = reinterpret_cast<std::uintptr_t>(key);
    if (value < kHandleBase || (value - kHandleBase) % kHandleStep != 0) return static_cast<LONG>(ERROR_INVALID_HANDLE);
    std::size_t index = (value - kHandleBase) / kHandleStep;
    if (index >= g_handles.size() || g_handles[index].id == 0) return static_cast<LONG>(ERROR_INVALID_HANDLE);
    g_handles[index] = OpenKey{};
    try {
        g_freeHandles.push_back(index);
    } catch (...) {
        // The slot is only not reused.
    }
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD, LPSTR className, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES,
                     PHKEY result, LPDWORD disposition)
{
    return Guarded([&]() -> LONG {
        if (!result) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        std::string path = Text(subKey);
        std::int64_t parent = 0;
        if (LONG status = KeyOf(root, path.empty() ? 0 : KEY_CREATE_SUB_KEY, parent); status != ERROR_SUCCESS)
            return status;
        std::vector<std::string> names;
        DWORD error = 0;
        std::int64_t id = 0;
        // An existing key needs no write.
        if (auto found = FindKey(parent, path)) {
            id = *found;
            if (disposition) *disposition = REG_OPENED_EXISTING_KEY;
        } else {
            Transaction transaction;
            if (!transaction.Ok()) return static_cast<LONG>(ERROR_CANTWRITE);
            bool created = false;
            if (!CreateKey(parent, path, id, error, &created)) {
                ForgetCache();
                return static_cast<LONG>(error);
            }
            if (created && className && *className) {
                Query setClass("UPDATE keys SET class = ? WHERE id = ?");
                setClass.Bind(1, std::string(className)).Bind(2, id).Run();
            }
            if (!transaction.Commit()) {
                ForgetCache();
                return static_cast<LONG>(ERROR_CANTWRITE);
            }
            if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        }
        *result = NewHandle(id, access);
        return ERROR_SUCCESS;
    });
}

LONG RegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY result)
{
    return RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, result, nullptr);
}

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD, REGSAM access, PHKEY result)
{
    return Guarded([&]() -> LONG {
        if (!result) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        std::int64_t parent = 0;
        if (LONG status = KeyOf(root, 0, parent); status != ERROR_SUCCESS) return status;
        std::vector<std::string> names;
        std::string path = Text(subKey);
        if (!path.empty() && path[0] == '\\') return static_cast<LONG>(ERROR_BAD_PATHNAME);
        auto found = FindKey(parent, path);
        if (!found) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
        *result = NewHandle(*found, access);
        return ERROR_SUCCESS;
    });
}

LONG RegOpenKeyA(HKEY root, LPCSTR subKey, PHKEY result)
{
    return RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, result);
}

LONG RegDeleteKeyA(HKEY root, LPCSTR subKey)
{
    return Guarded([&]() -> LONG {
        std::string path = Text(subKey);
        if (path.empty()) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        if (path[0] == '\\') return static_cast<LONG>(ERROR_BAD_PATHNAME);
        Transaction transaction;
        if (!transaction.Ok()) return static_cast<LONG>(ERROR_CANTWRITE);
        std::int64_t parent = 0;
        if (LONG status = KeyOf(root, 0, parent); status != ERROR_SUCCESS) return status;
        auto found = FindKey(parent, path);
        if (!found) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
        // As on NT, a key is deleted only once it has no subkeys.
        if (HasChildren(*found)) return static_cast<LONG>(ERROR_ACCESS_DENIED);
        if (!DeleteOne(*found) || !transaction.Commit()) {
            ForgetCache();
            return static_cast<LONG>(ERROR_CANTWRITE);
        }
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueA(HKEY root, LPCSTR subKey, LPSTR data, LONG* dataSize)
{
    return Guarded([&]() -> LONG {
        std::int64_t parent = 0;
        if (LONG status = KeyOf(root, KEY_QUERY_VALUE, parent); status != ERROR_SUCCESS) return status;
        auto found = FindKey(parent, Text(subKey));
        if (!found) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
        auto value = ReadValue(*found, "");
        // A key whose default value was never set answers the empty text.
        std::vector<unsigned char> text = value ? value->data : std::vector<unsigned char>{0};
        if (!dataSize) return data ? static_cast<LONG>(ERROR_INVALID_PARAMETER) : ERROR_SUCCESS;
        if (*dataSize < 0) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        DWORD size = static_cast<DWORD>(*dataSize);
        LONG status = AnswerData(text, reinterpret_cast<LPBYTE>(data), &size);
        *dataSize = static_cast<LONG>(size);
        return status;
    });
}

LONG RegSetValueA(HKEY root, LPCSTR subKey, DWORD type, LPCSTR data, DWORD)
{
    return Guarded([&]() -> LONG {
        if (type != REG_SZ || !data) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        Transaction transaction;
        if (!transaction.Ok()) return static_cast<LONG>(ERROR_CANTWRITE);
        std::int64_t parent = 0;
        if (LONG status = KeyOf(root, KEY_SET_VALUE, parent); status != ERROR_SUCCESS) return status;
        std::int64_t id = 0;
        DWORD error = 0;
        if (!CreateKey(parent, Text(subKey), id, error)) {
            ForgetCache();
            return static_cast<LONG>(error);
        }
        // The size is the text's own with its terminator, whatever the caller said.
        if (!SetValue(id, "", REG_SZ, data, std::strlen(data) + 1) || !transaction.Commit()) {
            ForgetCache();
            return static_cast<LONG>(ERROR_CANTWRITE);
        }
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    return Guarded([&]() -> LONG {
        if (reserved) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        if (data && !dataSize) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        std::int64_t id = 0;
        if (LONG status = KeyOf(key, KEY_QUERY_VALUE, id); status != ERROR_SUCCESS) return status;
        auto value = ReadValue(id, Text(valueName));
        if (!value) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
        if (type) *type = value->type;
        return AnswerData(value->data, data, dataSize);
    });
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    return Guarded([&]() -> LONG {
        if (!data && dataSize) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        std::string name = Text(valueName);
        if (name.size() > kMaxKeyName) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        Transaction transaction;
        if (!transaction.Ok()) return static_cast<LONG>(ERROR_CANTWRITE);
        std::int64_t id = 0;
        if (LONG status = KeyOf(key, KEY_SET_VALUE, id); status != ERROR_SUCCESS) return status;
        if (!SetValue(id, name, type, data, dataSize) || !transaction.Commit()) return static_cast<LONG>(ERROR_CANTWRITE);
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize)
{
    return Guarded([&]() -> LONG {
        if (!name) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        std::int64_t id = 0;
        if (LONG status = KeyOf(key, KEY_ENUMERATE_SUB_KEYS, id); status != ERROR_SUCCESS) return status;
        ValidateCache();
        const ChildList& children = CachedChildren(id);
        if (index >= children.size()) return static_cast<LONG>(ERROR_NO_MORE_ITEMS);
        const std::string& child = children[index].second;
        if (child.size() + 1 > nameSize) return static_cast<LONG>(ERROR_MORE_DATA);
        std::memcpy(name, child.c_str(), child.size() + 1);
        return ERROR_SUCCESS;
    });
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength,
                      LPDWORD maxValueLength, LPDWORD securityDescriptorSize, PFILETIME lastWriteTime)
{
    return Guarded([&]() -> LONG {
        if (reserved) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        if (className && !classSize) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        std::int64_t id = 0;
        if (LONG status = KeyOf(key, KEY_QUERY_VALUE, id); status != ERROR_SUCCESS) return status;
        std::string keyClass;
        std::int64_t written = 0;
        {
            Query self("SELECT class, written FROM keys WHERE id = ?");
            self.Bind(1, id);
            if (self.Step()) {
                keyClass = self.Text(0);
                written = self.Int(1);
            }
        }
        Query children(
            "SELECT count(*), coalesce(max(length(CAST(name AS BLOB))), 0), "
            "coalesce(max(length(CAST(class AS BLOB))), 0) FROM keys WHERE parent = ?");
        children.Bind(1, id);
        children.Step();
        Query valueInfo(
            "SELECT count(*), coalesce(max(length(CAST(name AS BLOB))), 0), coalesce(max(length(data)), 0) "
            "FROM key_values WHERE key = ?");
        valueInfo.Bind(1, id);
        valueInfo.Step();
        if (classSize) {
            if (className && *classSize < keyClass.size() + 1) {
                *classSize = static_cast<DWORD>(keyClass.size());
                return static_cast<LONG>(ERROR_MORE_DATA);
            }
            if (className) std::memcpy(className, keyClass.c_str(), keyClass.size() + 1);
            *classSize = static_cast<DWORD>(keyClass.size());
        }
        if (subKeys) *subKeys = static_cast<DWORD>(children.Int(0));
        if (maxSubKeyLength) *maxSubKeyLength = static_cast<DWORD>(children.Int(1));
        if (maxClassLength) *maxClassLength = static_cast<DWORD>(children.Int(2));
        if (values) *values = static_cast<DWORD>(valueInfo.Int(0));
        if (maxValueNameLength) *maxValueNameLength = static_cast<DWORD>(valueInfo.Int(1));
        if (maxValueLength) *maxValueLength = static_cast<DWORD>(valueInfo.Int(2));
        if (securityDescriptorSize) *securityDescriptorSize = 0;
        if (lastWriteTime) {
            // FILETIME counts 100-nanosecond steps since 1601.
            std::uint64_t ticks = (static_cast<std::uint64_t>(written) + 11644473600ull) * 10000000ull;
            lastWriteTime->dwLowDateTime = static_cast<DWORD>(ticks);
            lastWriteTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        }
        return ERROR_SUCCESS;
    });
}
