// The toolkit's symbol table and the symbol and list calls of the platform.
#include "host/toolkit/symbols.h"

#include <cstring>

#include "host/toolkit/toolkit_internal.h"
#include "platform/toolkit.h"

namespace orv::toolkit {

bool SymbolStore::Has(std::string_view name) const { return symbols_.find(name) != symbols_.end(); }

std::string SymbolStore::Value(std::string_view name) const {
    auto found = symbols_.find(name);
    if (found == symbols_.end() || found->second.empty()) return {};
    if (found->second.size() == 1) return found->second.front();
    std::string text = "{";
    for (std::size_t i = 0; i < found->second.size(); ++i) {
        if (i > 0) text += ',';
        text += '"';
        text += found->second[i];
        text += '"';
    }
    text += '}';
    return text;
}

std::optional<std::string> SymbolStore::Item(std::string_view name, std::size_t index) const {
    auto found = symbols_.find(name);
    if (found == symbols_.end() || index < 1 || index > found->second.size()) return std::nullopt;
    return found->second[index - 1];
}

std::vector<std::string> SymbolStore::Items(std::string_view name) const {
    auto found = symbols_.find(name);
    return found == symbols_.end() ? std::vector<std::string>{} : found->second;
}

std::size_t SymbolStore::Length(std::string_view name) const {
    auto found = symbols_.find(name);
    return found == symbols_.end() ? 0 : found->second.size();
}

void SymbolStore::SetValue(std::string_view name, std::string_view value) {
    symbols_[std::string(name)] = {std::string(value)};
}

void SymbolStore::SetList(std::string_view name, std::vector<std::string> items) {
    symbols_[std::string(name)] = std::move(items);
}

void SymbolStore::Add(std::string_view name, std::string_view item) {
    symbols_[std::string(name)].emplace_back(item);
}

bool SymbolStore::Replace(std::string_view name, std::size_t index, std::string_view item) {
    auto found = symbols_.find(name);
    if (found == symbols_.end() || index < 1 || index > found->second.size()) return false;
    found->second[index - 1] = std::string(item);
    return true;
}

bool SymbolStore::Remove(std::string_view name) {
    auto found = symbols_.find(name);
    if (found == symbols_.end()) return false;
    symbols_.erase(found);
    return true;
}

void SymbolStore::Clear() { symbols_.clear(); }

SymbolStore &Symbols() {
    static SymbolStore store;
    return store;
}

}  // namespace orv::toolkit

using orv::toolkit::CopyOut;
using orv::toolkit::Symbols;

namespace {

bool ValidName(LPCSTR name) { return name != nullptr && name[0] != '\0'; }

BOOL Refuse(std::string why) {
    orv::toolkit::SetLastToolkitError(std::move(why));
    return FALSE;
}

}  // namespace

LONG CbGetSymbolValue(LPCSTR name, LPSTR buffer, LONG size) {
    if (!ValidName(name)) return 0;
    return CopyOut(Symbols().Value(name), buffer, size);
}

BOOL FSetSymbolValue(LPCSTR name, LPCSTR value) {
    if (!ValidName(name)) return Refuse("FSetSymbolValue: a symbol without a name");
    try {
        Symbols().SetValue(name, value != nullptr ? value : "");
        return TRUE;
    } catch (...) {
        return Refuse("FSetSymbolValue: out of memory");
    }
}

BOOL FRemoveSymbol(LPCSTR name) {
    if (!ValidName(name)) return Refuse("FRemoveSymbol: a symbol without a name");
    Symbols().Remove(name);  // removing a missing symbol is no failure
    return TRUE;
}

BOOL FAddListItem(LPCSTR list, LPCSTR item) {
    if (!ValidName(list)) return Refuse("FAddListItem: a list without a name");
    try {
        Symbols().Add(list, item != nullptr ? item : "");
        return TRUE;
    } catch (...) {
        return Refuse("FAddListItem: out of memory");
    }
}

// Items are counted from 1; an index past the list's end is refused, not appended.
BOOL FReplaceListItem(LPCSTR list, USHORT index, LPCSTR item) {
    if (!ValidName(list)) return Refuse("FReplaceListItem: a list without a name");
    try {
        if (Symbols().Replace(list, index, item != nullptr ? item : "")) return TRUE;
        return Refuse("FReplaceListItem: the list " + std::string(list) + " has " + std::to_string(Symbols().Length(list)) +
                      " items, no item " + std::to_string(index));
    } catch (...) {
        return Refuse("FReplaceListItem: out of memory");
    }
}

LONG CbGetListItem(LPCSTR list, USHORT index, LPSTR buffer, LONG size) {
    if (!ValidName(list)) return 0;
    auto item = Symbols().Item(list, index);
    if (!item) {
        if (buffer != nullptr && size > 0) buffer[0] = '\0';
        return 0;
    }
    return CopyOut(*item, buffer, size);
}

USHORT UsGetListLength(LPCSTR list) {
    if (!ValidName(list)) return 0;
    std::size_t length = Symbols().Length(list);
    return static_cast<USHORT>(length > 0xFFFF ? 0xFFFF : length);
}
