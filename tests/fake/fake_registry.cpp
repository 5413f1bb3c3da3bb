// The fake registry: an in-memory tree of keys under the four roots, with open
// handles, string and binary values, enumeration and the workstation's error codes.
#include "platform/registry.h"
#include "tests/fake/fake_state.h"

#include <cstring>

using fake::detail::CopyOut;
using fake::detail::Enter;
using fake::detail::Lower;
using fake::detail::Num;
using fake::detail::Ptr;
using fake::detail::S;
using fake::detail::Str;

namespace {

const std::vector<std::pair<HKEY, std::string>> &Roots() {
    static const std::vector<std::pair<HKEY, std::string>> roots = {
        {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
        {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
        {HKEY_USERS, "HKEY_USERS"},
    };
    return roots;
}

std::string KeyText(HKEY key) {
    for (const auto &[root, name] : Roots()) {
        if (root == key) return name;
    }
    return Ptr(key);
}

std::vector<std::string> SplitPath(const std::string &path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// The lower-case full path of an open key or root, or nothing for an unknown handle.
std::optional<std::string> BasePath(HKEY key) {
    for (const auto &[root, name] : Roots()) {
        if (root == key) return Lower(name);
    }
    auto found = S().openKeys.find(key);
    if (found == S().openKeys.end()) return std::nullopt;
    return found->second;
}

std::string Join(const std::string &base, LPCSTR subKey) {
    std::string path = base;
    for (const std::string &part : SplitPath(subKey != nullptr ? subKey : "")) path += "\\" + Lower(part);
    return path;
}

bool Exists(const std::string &path) { return S().registry.count(path) != 0; }

void Create(const std::string &base, LPCSTR subKey) {
    std::string path = base;
    for (const std::string &part : SplitPath(subKey != nullptr ? subKey : "")) {
        path += "\\" + Lower(part);
        auto [it, inserted] = S().registry.try_emplace(path);
        if (inserted) it->second.name = part;
    }
}

std::vector<std::string> SubKeyPaths(const std::string &path) {
    std::vector<std::string> children;
    std::string prefix = path + "\\";
    for (auto it = S().registry.lower_bound(prefix); it != S().registry.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        if (it->first.find('\\', prefix.size()) == std::string::npos) children.push_back(it->first);
    }
    return children;
}

HKEY OpenHandle(const std::string &path) {
    HKEY key = reinterpret_cast<HKEY>(fake::detail::NewHandleValue());
    S().openKeys[key] = path;
    return key;
}

// Resolves an open key and checks that it was not deleted meanwhile.
LONG Resolve(HKEY key, LPCSTR subKey, std::string &path) {
    std::optional<std::string> base = BasePath(key);
    if (!base) return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if (!Exists(*base)) return static_cast<LONG>(ERROR_KEY_DELETED);
    path = Join(*base, subKey);
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG AnswerData(const std::string &bytes, LPBYTE data, LPDWORD dataSize) {
    if (dataSize == nullptr) return data == nullptr ? static_cast<LONG>(ERROR_SUCCESS) : static_cast<LONG>(ERROR_INVALID_PARAMETER);
    DWORD needed = static_cast<DWORD>(bytes.size());
    if (data == nullptr) {
        *dataSize = needed;
        return static_cast<LONG>(ERROR_SUCCESS);
    }
    if (*dataSize < needed) {
        *dataSize = needed;
        return static_cast<LONG>(ERROR_MORE_DATA);
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *dataSize = needed;
    return static_cast<LONG>(ERROR_SUCCESS);
}

}  // namespace

namespace fake::detail {
void ResetRegistry() {
    S().registry.clear();
    S().openKeys.clear();
    for (const auto &[root, name] : Roots()) S().registry[Lower(name)].name = name;
}
}  // namespace fake::detail

namespace fake {

void AddRegistryKey(const std::string &path) {
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return;
    std::string rest = path.substr(path.find(parts[0]) + parts[0].size());
    Create(Lower(parts[0]), rest.c_str());
}

void SetRegistryValue(const std::string &path, const std::string &valueName, const std::string &value) {
    AddRegistryKey(path);
    std::string key = Join("", path.c_str()).substr(1);
    auto &data = S().registry[key].values[Lower(valueName)];
    data.name = valueName;
    data.type = REG_SZ;
    data.bytes = value + '\0';
}

bool RegistryKeyExists(const std::string &path) { return Exists(Join("", path.c_str()).substr(1)); }

std::optional<std::string> RegistryValue(const std::string &path, const std::string &valueName) {
    auto key = S().registry.find(Join("", path.c_str()).substr(1));
    if (key == S().registry.end()) return std::nullopt;
    auto value = key->second.values.find(Lower(valueName));
    if (value == key->second.values.end()) return std::nullopt;
    std::string text = value->second.bytes;
    return text.substr(0, text.find('\0'));
}

std::vector<std::string> RegistrySubKeys(const std::string &path) {
    std::vector<std::string> names;
    for (const std::string &child : SubKeyPaths(Join("", path.c_str()).substr(1))) names.push_back(S().registry[child].name);
    return names;
}

int OpenRegistryKeys() { return static_cast<int>(S().openKeys.size()); }

}  // namespace fake

LONG RegCloseKey(HKEY key) {
    if (auto r = Enter("RegCloseKey", {KeyText(key)})) return static_cast<LONG>(*r);
    for (const auto &[root, name] : Roots()) {
        if (root == key) return static_cast<LONG>(ERROR_SUCCESS);
    }
    return S().openKeys.erase(key) != 0 ? static_cast<LONG>(ERROR_SUCCESS) : static_cast<LONG>(ERROR_INVALID_HANDLE);
}

namespace {

LONG CreateKey(HKEY root, LPCSTR subKey, PHKEY result, LPDWORD disposition) {
    if (result == nullptr) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    std::string path;
    if (LONG error = Resolve(root, nullptr, path); error != 0) return error;
    std::string full = Join(path, subKey);
    bool existed = Exists(full);
    Create(path, subKey);
    if (disposition != nullptr) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = OpenHandle(full);
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG OpenKey(HKEY root, LPCSTR subKey, PHKEY result) {
    if (result == nullptr) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    std::string path;
    if (LONG error = Resolve(root, subKey, path); error != 0) return error;
    if (!Exists(path)) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    *result = OpenHandle(path);
    return static_cast<LONG>(ERROR_SUCCESS);
}

}  // namespace

LONG RegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY result) {
    if (auto r = Enter("RegCreateKeyA", {KeyText(root), Str(subKey)})) return static_cast<LONG>(*r);
    return CreateKey(root, subKey, result, nullptr);
}

LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD, LPSTR, DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES,
                     PHKEY result, LPDWORD disposition) {
    if (auto r = Enter("RegCreateKeyExA", {KeyText(root), Str(subKey), Num(options), Num(access)})) {
        return static_cast<LONG>(*r);
    }
    return CreateKey(root, subKey, result, disposition);
}

LONG RegOpenKeyA(HKEY root, LPCSTR subKey, PHKEY result) {
    if (auto r = Enter("RegOpenKeyA", {KeyText(root), Str(subKey)})) return static_cast<LONG>(*r);
    return OpenKey(root, subKey, result);
}

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    if (auto r = Enter("RegOpenKeyExA", {KeyText(root), Str(subKey), Num(options), Num(access)})) {
        return static_cast<LONG>(*r);
    }
    return OpenKey(root, subKey, result);
}

LONG RegDeleteKeyA(HKEY root, LPCSTR subKey) {
    if (auto r = Enter("RegDeleteKeyA", {KeyText(root), Str(subKey)})) return static_cast<LONG>(*r);
    std::string path;
    if (LONG error = Resolve(root, subKey, path); error != 0) return error;
    if (SplitPath(path).size() < 2) return static_cast<LONG>(ERROR_ACCESS_DENIED);  // a root stays
    if (!Exists(path)) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    if (!SubKeyPaths(path).empty()) return static_cast<LONG>(ERROR_ACCESS_DENIED);
    S().registry.erase(path);
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegQueryValueA(HKEY root, LPCSTR subKey, LPSTR data, LONG *dataSize) {
    if (auto r = Enter("RegQueryValueA", {KeyText(root), Str(subKey), Num(dataSize != nullptr ? *dataSize : -1)})) {
        return static_cast<LONG>(*r);
    }
    std::string path;
    if (LONG error = Resolve(root, subKey, path); error != 0) return error;
    if (!Exists(path)) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    const auto &values = S().registry[path].values;
    auto found = values.find("");
    std::string text = found == values.end() ? std::string() : found->second.bytes.substr(0, found->second.bytes.find('\0'));
    std::string bytes = text + '\0';
    DWORD size = dataSize != nullptr ? static_cast<DWORD>(*dataSize) : 0;
    LONG error = AnswerData(bytes, reinterpret_cast<LPBYTE>(data), dataSize != nullptr ? &size : nullptr);
    if (dataSize != nullptr) *dataSize = static_cast<LONG>(size);
    return error;
}

LONG RegSetValueA(HKEY root, LPCSTR subKey, DWORD type, LPCSTR data, DWORD dataSize) {
    if (auto r = Enter("RegSetValueA", {KeyText(root), Str(subKey), Num(type), Str(data), Num(dataSize)})) {
        return static_cast<LONG>(*r);
    }
    if (type != REG_SZ || data == nullptr) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    std::string path;
    if (LONG error = Resolve(root, nullptr, path); error != 0) return error;
    Create(path, subKey);
    auto &value = S().registry[Join(path, subKey)].values[""];
    value.type = REG_SZ;
    value.bytes = std::string(data) + '\0';
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    if (auto r = Enter("RegQueryValueExA", {KeyText(key), Str(valueName), Num(dataSize != nullptr ? *dataSize : -1)})) {
        return static_cast<LONG>(*r);
    }
    std::string path;
    if (LONG error = Resolve(key, nullptr, path); error != 0) return error;
    const auto &values = S().registry[path].values;
    auto found = values.find(Lower(valueName != nullptr ? valueName : ""));
    if (found == values.end()) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    if (type != nullptr) *type = found->second.type;
    return AnswerData(found->second.bytes, data, dataSize);
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE *data, DWORD dataSize) {
    std::string shown = data == nullptr ? "NULL" : std::string(reinterpret_cast<const char *>(data), dataSize);
    if (type == REG_SZ || type == REG_EXPAND_SZ) shown = shown.substr(0, shown.find('\0'));
    if (auto r = Enter("RegSetValueExA", {KeyText(key), Str(valueName), Num(type), shown, Num(dataSize)})) {
        return static_cast<LONG>(*r);
    }
    std::string path;
    if (LONG error = Resolve(key, nullptr, path); error != 0) return error;
    if (data == nullptr && dataSize != 0) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    std::string name = valueName != nullptr ? valueName : "";
    auto &value = S().registry[path].values[Lower(name)];
    value.name = name;
    value.type = type;
    value.bytes = data == nullptr ? std::string() : std::string(reinterpret_cast<const char *>(data), dataSize);
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
    if (auto r = Enter("RegEnumKeyA", {KeyText(key), Num(index), Num(nameSize)})) return static_cast<LONG>(*r);
    std::string path;
    if (LONG error = Resolve(key, nullptr, path); error != 0) return error;
    std::vector<std::string> children = SubKeyPaths(path);
    if (index >= children.size()) return static_cast<LONG>(ERROR_NO_MORE_ITEMS);
    const std::string &childName = S().registry[children[index]].name;
    if (name == nullptr || nameSize <= childName.size()) return static_cast<LONG>(ERROR_MORE_DATA);
    CopyOut(childName, name, static_cast<LONG>(nameSize));
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD, LPDWORD subKeys, LPDWORD maxSubKeyLength,
                      LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                      LPDWORD securityDescriptorSize, PFILETIME lastWriteTime) {
    if (auto r = Enter("RegQueryInfoKeyA", {KeyText(key)})) return static_cast<LONG>(*r);
    std::string path;
    if (LONG error = Resolve(key, nullptr, path); error != 0) return error;
    std::vector<std::string> children = SubKeyPaths(path);
    DWORD longestChild = 0;
    for (const std::string &child : children) {
        DWORD length = static_cast<DWORD>(S().registry[child].name.size());
        if (length > longestChild) longestChild = length;
    }
    DWORD longestName = 0;
    DWORD longestData = 0;
    for (const auto &[lowerName, value] : S().registry[path].values) {
        if (value.name.size() > longestName) longestName = static_cast<DWORD>(value.name.size());
        if (value.bytes.size() > longestData) longestData = static_cast<DWORD>(value.bytes.size());
    }
    if (className != nullptr && classSize != nullptr && *classSize > 0) className[0] = '\0';
    if (classSize != nullptr) *classSize = 0;
    if (subKeys != nullptr) *subKeys = static_cast<DWORD>(children.size());
    if (maxSubKeyLength != nullptr) *maxSubKeyLength = longestChild;
    if (maxClassLength != nullptr) *maxClassLength = 0;
    if (values != nullptr) *values = static_cast<DWORD>(S().registry[path].values.size());
    if (maxValueNameLength != nullptr) *maxValueNameLength = longestName;
    if (maxValueLength != nullptr) *maxValueLength = longestData;
    if (securityDescriptorSize != nullptr) *securityDescriptorSize = 0;
    if (lastWriteTime != nullptr) *lastWriteTime = FILETIME{};
    return static_cast<LONG>(ERROR_SUCCESS);
}
