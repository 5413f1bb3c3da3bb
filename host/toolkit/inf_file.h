// The INF reader: sections of lines, each an optional key and comma-separated fields
// (field 1 the file name, field 19 the file's version). Syntax errors name the file
// and the line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::toolkit {

struct InfLine {
    int lineNumber = 0;
    std::optional<std::string> key;
    std::vector<std::string> fields;  // field 1 is fields[0]
};

struct InfSection {
    std::string name;
    int lineNumber = 0;
    std::vector<InfLine> lines;
};

class InfFile {
public:
    // Parses INF text. False with `error` as "<file>, line N: <what>".
    bool Parse(std::string_view text, std::string_view fileName, std::string &error);

    // Sections and keys compare without regard to case.
    const InfSection *Find(std::string_view section) const;
    const InfLine *FindKey(std::string_view section, std::string_view key) const;
    const std::string &FileName() const { return fileName_; }
    bool IsOpen() const { return open_; }
    void Close();

private:
    std::string fileName_;
    std::vector<InfSection> sections_;
    bool open_ = false;
};

// The INF that FOpenInf opened last; the section look-ups and the copy list read it.
InfFile &OpenedInf();

}  // namespace orv::toolkit
