// The registry's tree as the rest of the workstation reaches it in C++: key lookup
// and creation inside a caller's transaction (the spooler keeps its printer keys
// with them), and the REGEDIT4 text the machine tool exports and imports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace orv::host::registry {

constexpr DWORD ERROR_BAD_PATHNAME = 161;

struct Value {
    std::string name;  // empty: the default value
    DWORD type = 0;
    std::vector<unsigned char> data;
};

// Inside a transaction of the caller. Paths are relative to `parent`, levels
// separated by backslashes.
std::optional<std::int64_t> FindKey(std::int64_t parent, const std::string& path);
// Creates the missing levels; false with a Win32 error for a bad path.
bool CreateKey(std::int64_t parent, const std::string& path, std::int64_t& id, DWORD& error, bool* created = nullptr);
bool SetValue(std::int64_t key, const std::string& name, DWORD type, const void* data, std::size_t size);
// Removes a key with its values and everything beneath it.
void DeleteTree(std::int64_t key);
std::vector<Value> Values(std::int64_t key);
// Subkeys in enumeration order: (id, name).
std::vector<std::pair<std::int64_t, std::string>> Children(std::int64_t key);
// Forgets what this process cached of the tree (after a change it made outside the
// registry calls).
void ForgetCache();
// Drops every open key handle and the cache, when the machine is closed.
void ResetHandles();

// The root key id of a root's name ("HKEY_LOCAL_MACHINE" or "HKLM", any case).
std::optional<std::int64_t> RootByName(const std::string& name);

// REGEDIT4 text of the key named by its full path ("HKEY_LOCAL_MACHINE\System"),
// or of the whole registry when the path is empty.
bool ExportText(const std::string& keyPath, std::string& text, std::string& error);
// Applies REGEDIT4 text in one transaction: all of it or, on an error naming
// `sourceName` and the line, nothing.
bool ImportText(const std::string& text, const std::string& sourceName, std::string& error);

}  // namespace orv::host::registry
