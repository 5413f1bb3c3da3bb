// Windows profile (INI) files kept as host files: "[section]" and "key=value" lines
// whose names compare without regard to case. Comments, order, blank and unknown
// lines survive every change. A change locks the file's folder, re-reads the file,
// changes it in memory and replaces it through a synced temporary file, so two
// processes at once lose nothing and a killed process leaves the old or the new file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::profile {

using std::filesystem::path;
using KeyValue = std::pair<std::string, std::string>;

// Names of profile files compare as the workstation compares them: ASCII letters
// without regard to case, other bytes exactly.
bool NamesEqual(std::string_view a, std::string_view b);

// Changes. Each answers false with `error` naming the file when the file cannot be
// read, locked or replaced; the file is then as it was.

// Sets `key` in `section`, creating the file and the section as needed.
bool WriteKey(const path& file, std::string_view section, std::string_view key, std::string_view value,
              std::string& error);
// Removes the section with its lines; true also when the file or section is absent.
bool RemoveSection(const path& file, std::string_view section, std::string& error);
// Removes the key's line; true also when absent.
bool RemoveKey(const path& file, std::string_view section, std::string_view key, std::string& error);
// Replaces the keys of a section (created when missing) by `entries`, in their order.
bool ReplaceSection(const path& file, std::string_view section, const std::vector<KeyValue>& entries,
                    std::string& error);

// Reads. A missing file or section answers nothing.
std::optional<std::string> ReadKey(const path& file, std::string_view section, std::string_view key);
bool SectionExists(const path& file, std::string_view section);
bool KeyExists(const path& file, std::string_view section, std::string_view key);
std::vector<std::string> SectionNames(const path& file);
// The key lines of a section in file order; comment lines (";") and lines without
// "=" are left out.
std::vector<KeyValue> ReadSection(const path& file, std::string_view section);

// The in-memory form, for callers that read or change several entries at once.
class Document {
public:
    // Parses profile text; never fails (unknown lines are kept as they are).
    static Document Parse(std::string_view text);
    std::string Serialise() const;

    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    bool HasSection(std::string_view section) const;
    std::vector<std::string> Sections() const;
    std::vector<KeyValue> Entries(std::string_view section) const;

    void Write(std::string_view section, std::string_view key, std::string_view value);
    void EraseSection(std::string_view section);
    void EraseKey(std::string_view section, std::string_view key);
    void Replace(std::string_view section, const std::vector<KeyValue>& entries);

private:
    struct Line {
        std::string text;  // without the line ending
    };
    std::vector<Line> lines_;
    std::string newline_ = "\r\n";
    bool endsWithNewline_ = true;

    // Index of the section's header line, or npos.
    std::size_t FindSection(std::string_view section) const;
    // One past the section's last line (the next header or the end).
    std::size_t SectionEnd(std::size_t header) const;
    std::size_t FindKey(std::size_t header, std::string_view key) const;
};

// Reads a whole profile file; a missing file is an empty document. False with
// `error` when the file exists but cannot be read.
bool Load(const path& file, Document& document, std::string& error);

}  // namespace orv::profile
