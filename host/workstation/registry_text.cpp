// REGEDIT4 text of the registry: export of a key's tree and import of such a file,
// the latter in one transaction.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "host/workstation/registry_tree.h"
#include "host/workstation/store.h"
#include "platform/registry.h"

namespace orv::host::registry {
namespace {

const char* RootName(std::int64_t id)
{
    switch (id) {
    case store::LocalMachineRootId: return "HKEY_LOCAL_MACHINE";
    case store::CurrentUserRootId: return "HKEY_CURRENT_USER";
    case store::UsersRootId: return "HKEY_USERS";
    default: return "";
    }
}

std::string Quote(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string HexBytes(const std::vector<unsigned char>& data, std::size_t column)
{
    std::string text;
    char byte[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        text += byte;
        column += 2;
        if (i + 1 < data.size()) {
            text += ',';
            ++column;
            if (column > 76) {  // regedit folds long lines
                text += "\\\r\n  ";
                column = 2;
            }
        }
    }
    return text;
}

std::string ValueText(const Value& value)
{
    std::string line = value.name.empty() ? "@" : Quote(value.name);
    line += '=';
    const auto& data = value.data;
    bool plainText = value.type == REG_SZ && !data.empty() && data.back() == 0 &&
                     std::find(data.begin(), data.end() - 1, 0) == data.end() - 1;
    if (plainText) return line + Quote(std::string(data.begin(), data.end() - 1));
    if (value.type == REG_DWORD && data.size() == 4) {
        char number[16];
        std::uint32_t n = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
        std::snprintf(number, sizeof number, "%08x", n);
        return line + "dword:" + number;
    }
    std::string prefix = value.type == REG_BINARY ? "hex:" : "hex(" + std::to_string(value.type) + "):";
    return line + prefix + HexBytes(data, line.size() + prefix.size());
}

void ExportKey(std::int64_t id, const std::string& path, std::string& text)
{
    text += "[" + path + "]\r\n";
    for (const Value& value : Values(id)) text += ValueText(value) + "\r\n";
    text += "\r\n";
    for (const auto& [child, name] : Children(id)) ExportKey(child, path + "\\" + name, text);
}

// Splits "HKEY_LOCAL_MACHINE\Some\Key" into its root id and the rest.
bool SplitFullPath(const std::string& full, std::int64_t& root, std::string& rest)
{
    std::size_t slash = full.find('\\');
    auto found = RootByName(full.substr(0, slash));
    if (!found) return false;
    root = *found;
    rest = slash == std::string::npos ? std::string() : full.substr(slash + 1);
    return true;
}

// The canonical text of a key's full path: the root's long name, then the rest.
std::string CanonicalPath(const std::string& full)
{
    std::size_t slash = full.find('\\');
    std::string head = full.substr(0, slash);
    std::string upper = head;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const char* longName = upper == "HKLM"   ? "HKEY_LOCAL_MACHINE"
                           : upper == "HKCU" ? "HKEY_CURRENT_USER"
                           : upper == "HKU"  ? "HKEY_USERS"
                           : upper == "HKCR" ? "HKEY_CLASSES_ROOT"
                                             : nullptr;
    if (longName) head = longName;
    else head = upper;
    return slash == std::string::npos ? head : head + full.substr(slash);
}

bool ParseQuoted(const std::string& text, std::size_t& pos, std::string& out)
{
    if (pos >= text.size() || text[pos] != '"') return false;
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] == '\\' && pos + 1 < text.size()) {
            out += text[++pos];
        } else if (text[pos] == '"') {
            ++pos;
            return true;
        } else {
            out += text[pos];
        }
    }
    return false;
}

bool ParseHex(const std::string& text, std::vector<unsigned char>& out)
{
    out.clear();
    std::string digits;
    for (char c : text) {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!digits.empty()) {
                if (digits.size() > 2) return false;
                out.push_back(static_cast<unsigned char>(std::stoul(digits, nullptr, 16)));
                digits.clear();
            }
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        digits += c;
    }
    if (!digits.empty()) {
        if (digits.size() > 2) return false;
        out.push_back(static_cast<unsigned char>(std::stoul(digits, nullptr, 16)));
    }
    return true;
}

}  // namespace

bool ExportText(const std::string& keyPath, std::string& text, std::string& error)
{
    if (!store::IsOpen()) {
        error = "no machine is open";
        return false;
    }
    text = "REGEDIT4\r\n\r\n";
    if (keyPath.empty()) {
        for (std::int64_t root : {store::LocalMachineRootId, store::CurrentUserRootId, store::UsersRootId})
            ExportKey(root, RootName(root), text);
        return true;
    }
    std::int64_t root = 0;
    std::string rest;
    if (!SplitFullPath(keyPath, root, rest)) {
        error = "\"" + keyPath + "\" does not start with a registry root such as HKEY_LOCAL_MACHINE";
        return false;
    }
    auto key = FindKey(root, rest);
    if (!key) {
        error = "there is no registry key \"" + keyPath + "\"";
        return false;
    }
    // The heading names each level as it is stored, whatever case was asked for.
    std::string path = CanonicalPath(keyPath.substr(0, keyPath.find('\\')));
    std::int64_t id = root;
    std::size_t start = 0;
    while (id != *key && start < rest.size()) {
        std::size_t end = rest.find('\\', start);
        std::string level = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? rest.size() : end + 1;
        if (level.empty()) continue;
        auto child = FindKey(id, level);
        if (!child) break;
        for (const auto& [childId, name] : Children(id)) {
            if (childId == *child) path += "\\" + name;
        }
        id = *child;
    }
    ExportKey(*key, path, text);
    return true;
}

bool ImportText(const std::string& text, const std::string& sourceName, std::string& error)
{
    if (!store::IsOpen()) {
        error = "no machine is open";
        return false;
    }
    // Join continued lines, remembering where each logical line started.
    std::vector<std::pair<int, std::string>> lines;
    {
        std::istringstream in(text);
        std::string raw;
        int number = 0;
        std::string pending;
        int pendingStart = 0;
        while (std::getline(in, raw)) {
            ++number;
            if (!raw.empty() && raw.back() == '\r') raw.pop_back();
            if (pending.empty()) {
                pendingStart = number;
            } else {
                std::size_t first = raw.find_first_not_of(" \t");
                raw = first == std::string::npos ? std::string() : raw.substr(first);
            }
            // Only hex data is folded over lines, each ending in a backslash.
            if (!raw.empty() && raw.back() == '\\') {
                pending += raw.substr(0, raw.size() - 1);
                continue;
            }
            lines.emplace_back(pendingStart, pending + raw);
            pending.clear();
        }
        if (!pending.empty()) lines.emplace_back(pendingStart, pending);
    }
    auto fail = [&](int line, const std::string& why) {
        error = sourceName + ":" + std::to_string(line) + ": " + why;
        ForgetCache();
        return false;
    };
    if (lines.empty() || (lines[0].second != "REGEDIT4" && lines[0].second.rfind("Windows Registry Editor", 0) != 0))
        return fail(1, "not a registry file (the first line must be REGEDIT4)");
    store::Transaction transaction;
    if (!transaction.Ok()) return fail(1, "the registry is busy: " + store::LastError());
    std::int64_t current = 0;  // 0: no key line yet, or a deleted one
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto& [number, line] = lines[i];
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') return fail(number, "a key line must end in \"]\"");
            bool remove = line.size() > 1 && line[1] == '-';
            std::string full = line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2));
            std::int64_t root = 0;
            std::string rest;
            if (!SplitFullPath(full, root, rest)) return fail(number, "\"" + full + "\" is not under a registry root");
            if (remove) {
                if (auto key = FindKey(root, rest); key && !rest.empty()) DeleteTree(*key);
                current = 0;
                continue;
            }
            std::int64_t id = 0;
            DWORD code = 0;
            if (!CreateKey(root, rest, id, code)) return fail(number, "\"" + full + "\" is not a valid key path");
            current = id;
            continue;
        }
        if (current == 0) return fail(number, "a value outside of a key");
        std::string name;
        std::size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!ParseQuoted(line, pos, name)) {
            return fail(number, "a value name must be quoted or @");
        }
        if (pos >= line.size() || line[pos] != '=') return fail(number, "\"=\" expected after the value name");
        std::string data = line.substr(pos + 1);
        bool ok = true;
        if (data == "-") {
            store::Query remove("DELETE FROM key_values WHERE key = ? AND folded = ?");
            ok = remove.Bind(1, current).Bind(2, store::FoldName(name)).Run();
        } else if (!data.empty() && data[0] == '"') {
            std::string value;
            std::size_t at = 0;
            if (!ParseQuoted(data, at, value) || at != data.size()) return fail(number, "unterminated text value");
            ok = SetValue(current, name, REG_SZ, value.c_str(), value.size() + 1);
        } else if (data.rfind("dword:", 0) == 0) {
            std::string digits = data.substr(6);
            if (digits.empty() || digits.size() > 8 ||
                digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return fail(number, "\"" + data + "\" is not a dword of up to 8 hex digits");
            std::uint32_t n = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
            unsigned char bytes[4] = {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                      static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
            ok = SetValue(current, name, REG_DWORD, bytes, 4);
        } else if (data.rfind("hex", 0) == 0) {
            DWORD type = REG_BINARY;
            std::size_t colon = data.find(':');
            if (colon == std::string::npos) return fail(number, "\"hex\" value without \":\"");
            if (colon > 3) {
                std::string inner = data.substr(3, colon - 3);
                if (inner.size() < 3 || inner.front() != '(' || inner.back() != ')' ||
                    inner.find_first_not_of("0123456789abcdefABCDEF", 1) != inner.size() - 1)
                    return fail(number, "\"" + inner + "\" is not a value type such as hex(2)");
                type = static_cast<DWORD>(std::stoul(inner.substr(1, inner.size() - 2), nullptr, 16));
            }
            std::vector<unsigned char> bytes;
            if (!ParseHex(data.substr(colon + 1), bytes)) return fail(number, "bad hex bytes");
            ok = SetValue(current, name, type, bytes.data(), bytes.size());
        } else {
            return fail(number, "\"" + data + "\" is not a value (text, dword: or hex:)");
        }
        if (!ok) return fail(number, "cannot write: " + store::LastError());
    }
    if (!transaction.Commit()) return fail(static_cast<int>(lines.size()), "cannot commit: " + store::LastError());
    return true;
}

}  // namespace orv::host::registry
