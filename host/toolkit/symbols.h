// The toolkit's symbol table: value symbols and lists of items counted from 1, shared
// by the program and the dialogs. A value symbol is a list of one item. Names compare
// exactly, case included.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::toolkit {

class SymbolStore {
public:
    bool Has(std::string_view name) const;

    // The value of a value symbol; for a list of several items, the list written as
    // the toolkit writes lists: {"a","b"}. Empty for a missing symbol.
    std::string Value(std::string_view name) const;
    // Item `index` (from 1), when there is one.
    std::optional<std::string> Item(std::string_view name, std::size_t index) const;
    // All items; empty for a missing symbol.
    std::vector<std::string> Items(std::string_view name) const;
    std::size_t Length(std::string_view name) const;

    void SetValue(std::string_view name, std::string_view value);
    void SetList(std::string_view name, std::vector<std::string> items);
    // Appends an item, creating the list when it is missing.
    void Add(std::string_view name, std::string_view item);
    // Replaces item `index` (from 1); false when there is no such item.
    bool Replace(std::string_view name, std::size_t index, std::string_view item);
    // False when the symbol did not exist.
    bool Remove(std::string_view name);
    void Clear();

private:
    std::map<std::string, std::vector<std::string>, std::less<>> symbols_;
};

// The process's symbol table, the one the platform calls work on.
SymbolStore &Symbols();

}  // namespace orv::toolkit
