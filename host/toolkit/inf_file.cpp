// Parsing INF files, and the INF calls of the platform.
#include "host/toolkit/inf_file.h"

#include "host/toolkit/setup_log.h"
#include "host/toolkit/symbols.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/toolkit/workstation_access.h"
#include "platform/toolkit.h"

namespace orv::toolkit {

namespace {

constexpr std::size_t kInfLimit = 4 * 1024 * 1024;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

struct Scanner {
    std::string_view fileName;
    int line;
    std::string &error;

    bool Fail(const std::string &what) {
        error = std::string(fileName) + ", line " + std::to_string(line) + ": " + what;
        return false;
    }
};

// Splits a line into its key and fields. Quotes group (a doubled quote is one quote);
// ";" outside quotes starts a comment; "=" outside quotes, once, ends the key.
bool SplitLine(Scanner &scanner, std::string_view text, InfLine &line) {
    std::vector<std::string> pieces(1);
    std::vector<bool> quotedPiece(1, false);
    bool quoted = false;
    bool sawEquals = false;
    std::string key;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    pieces.back() += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                pieces.back() += c;
            }
            continue;
        }
        if (c == '"') {
            if (!std::string(Trim(pieces.back())).empty()) return scanner.Fail("a quote in the middle of a field");
            pieces.back().clear();
            quoted = true;
            quotedPiece.back() = true;
        } else if (c == ';') {
            break;
        } else if (c == ',') {
            pieces.emplace_back();
            quotedPiece.push_back(false);
        } else if (c == '=' && !sawEquals && pieces.size() == 1) {
            if (quotedPiece.back()) {
                key = pieces.back();
            } else {
                key = std::string(Trim(pieces.back()));
            }
            if (key.empty()) return scanner.Fail("'=' without a key before it");
            sawEquals = true;
            pieces.back().clear();
            quotedPiece.back() = false;
        } else {
            if (quotedPiece.back()) {
                // Only blanks may follow a quoted field; they are not part of it.
                if (c != ' ' && c != '\t') return scanner.Fail("text after a quoted field");
                continue;
            }
            pieces.back() += c;
        }
    }
    if (quoted) return scanner.Fail("a quoted field has no closing quote");
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        if (!quotedPiece[p]) pieces[p] = std::string(Trim(pieces[p]));
    }
    if (sawEquals) line.key = key;
    line.fields = std::move(pieces);
    return true;
}

}  // namespace

bool InfFile::Parse(std::string_view text, std::string_view fileName, std::string &error) {
    Close();
    std::vector<InfSection> sections;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Scanner scanner{fileName, 0, error};
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view raw = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? text.size() + 1 : end + 1;
        ++scanner.line;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (raw.find('\0') != std::string_view::npos) return scanner.Fail("the line holds a NUL byte");
        std::string_view body = Trim(raw);
        if (body.empty() || body.front() == ';') continue;
        if (body.front() == '[') {
            std::size_t close = body.find(']');
            if (close == std::string_view::npos) return scanner.Fail("the section header has no closing ']'");
            std::string_view rest = Trim(body.substr(close + 1));
            if (!rest.empty() && rest.front() != ';') return scanner.Fail("text after the section header");
            std::string_view name = Trim(body.substr(1, close - 1));
            if (name.empty()) return scanner.Fail("a section without a name");
            for (const auto &section : sections) {
                if (EqualNoCase(section.name, name)) {
                    return scanner.Fail("section [" + std::string(name) + "] appears again (first at line " +
                                        std::to_string(section.lineNumber) + ")");
                }
            }
            sections.push_back(InfSection{std::string(name), scanner.line, {}});
            continue;
        }
        if (sections.empty()) return scanner.Fail("a line before the first section");
        InfLine line;
        line.lineNumber = scanner.line;
        if (!SplitLine(scanner, body, line)) return false;
        if (line.key) {
            for (const auto &other : sections.back().lines) {
                if (other.key && EqualNoCase(*other.key, *line.key)) {
                    return scanner.Fail("key " + *line.key + " appears again in [" + sections.back().name +
                                        "] (first at line " + std::to_string(other.lineNumber) + ")");
                }
            }
        }
        sections.back().lines.push_back(std::move(line));
    }
    sections_ = std::move(sections);
    fileName_ = std::string(fileName);
    open_ = true;
    return true;
}

const InfSection *InfFile::Find(std::string_view section) const {
    for (const auto &candidate : sections_) {
        if (EqualNoCase(candidate.name, section)) return &candidate;
    }
    return nullptr;
}

const InfLine *InfFile::FindKey(std::string_view section, std::string_view key) const {
    const InfSection *found = Find(section);
    if (found == nullptr) return nullptr;
    for (const auto &line : found->lines) {
        if (line.key && EqualNoCase(*line.key, key)) return &line;
    }
    return nullptr;
}

void InfFile::Close() {
    sections_.clear();
    fileName_.clear();
    open_ = false;
}

InfFile &OpenedInf() {
    static InfFile inf;
    return inf;
}

}  // namespace orv::toolkit

using namespace orv::toolkit;

BOOL FOpenInf(LPCSTR path, BOOL checkSyntax, BOOL checkSymbols) {
    (void)checkSyntax;  // the syntax is always checked: a half-read INF helps nobody
    (void)checkSymbols;
    try {
        if (path == nullptr || path[0] == '\0') {
            SetLastToolkitError("setup.inf was not found on the setup disk");
            return FALSE;
        }
        std::filesystem::path hostPath;
        std::string error;
        if (!ResolveWindowsPath(path, hostPath, error)) {
            SetLastToolkitError("cannot open the INF file " + std::string(path) + ": " + error);
            return FALSE;
        }
        std::string text;
        if (!ReadSmallFile(hostPath, kInfLimit, text, error)) {
            SetLastToolkitError("cannot open the INF file " + std::string(path) + ": " + error);
            return FALSE;
        }
        InfFile parsed;
        if (!parsed.Parse(text, path, error)) {
            SetLastToolkitError(error);
            return FALSE;
        }
        OpenedInf() = std::move(parsed);
        LogLine("INF opened: " + std::string(path));
        return TRUE;
    } catch (...) {
        SetLastToolkitError("cannot open the INF file: out of memory");
        return FALSE;
    }
}

namespace {

BOOL RefuseInf(std::string why) {
    orv::toolkit::SetLastToolkitError(std::move(why));
    return FALSE;
}

std::string InfName() {
    return orv::toolkit::OpenedInf().IsOpen() ? orv::toolkit::OpenedInf().FileName() : std::string("the INF file, which is not open");
}

}  // namespace

// Field `field` (from 1) of the line keyed `key` in `section`; -1 when there is no
// such line or the line has fewer fields, with the reason recorded.
LONG CbGetInfSectionKeyField(LPCSTR section, LPCSTR key, USHORT field, LPSTR buffer, LONG size) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    if (section == nullptr || key == nullptr || field < 1) {
        orv::toolkit::SetLastToolkitError("CbGetInfSectionKeyField: no section, key or field number given");
        return -1;
    }
    try {
        const InfLine *line = OpenedInf().FindKey(section, key);
        if (line == nullptr) {
            orv::toolkit::SetLastToolkitError("key " + std::string(key) + " is missing from section [" + section + "] of " + InfName());
            return -1;
        }
        if (field > line->fields.size()) {
            orv::toolkit::SetLastToolkitError(InfName() + ", line " + std::to_string(line->lineNumber) + ": no field " +
                                              std::to_string(field) + " (the line has " + std::to_string(line->fields.size()) + ")");
            return -1;
        }
        return CopyOut(line->fields[field - 1], buffer, size);
    } catch (...) {
        orv::toolkit::SetLastToolkitError("CbGetInfSectionKeyField: out of memory");
        return -1;
    }
}

// The keys of a section's lines, in order. With `includeUnkeyed` (the program passes
// 1) a line without a key gives an empty item, so that item n is line n of the
// section, as in the lists of FMakeListInfSectionField; with 0 such lines are left out.
BOOL FSetSymbolToListOfInfKeys(LPCSTR symbol, LPCSTR section, BOOL includeUnkeyed) {
    if (symbol == nullptr || symbol[0] == '\0') return RefuseInf("FSetSymbolToListOfInfKeys: no list symbol given");
    if (section == nullptr) return RefuseInf("FSetSymbolToListOfInfKeys: no section given");
    try {
        const InfSection *found = OpenedInf().Find(section);
        if (found == nullptr) return RefuseInf("section [" + std::string(section) + "] is missing from " + InfName());
        std::vector<std::string> keys;
        for (const auto &line : found->lines) {
            if (line.key) {
                keys.push_back(*line.key);
            } else if (includeUnkeyed) {
                keys.emplace_back();
            }
        }
        Symbols().SetList(symbol, std::move(keys));
        return TRUE;
    } catch (...) {
        return RefuseInf("FSetSymbolToListOfInfKeys: out of memory");
    }
}

// Field `field` of every line of a section, in order; a line with fewer fields gives
// an empty item. The program asks for fields 1 (file name), 5, 11, 15 and 19
// (version); this toolkit gives fields 2 to 18 no meaning of its own (see docs/inf.md).
BOOL FMakeListInfSectionField(LPCSTR symbol, LPCSTR section, USHORT field) {
    if (symbol == nullptr || symbol[0] == '\0') return RefuseInf("FMakeListInfSectionField: no list symbol given");
    if (section == nullptr) return RefuseInf("FMakeListInfSectionField: no section given");
    if (field < 1) return RefuseInf("FMakeListInfSectionField: field numbers start at 1");
    try {
        const InfSection *found = OpenedInf().Find(section);
        if (found == nullptr) return RefuseInf("section [" + std::string(section) + "] is missing from " + InfName());
        std::vector<std::string> items;
        for (const auto &line : found->lines) {
            items.push_back(field <= line.fields.size() ? line.fields[field - 1] : std::string());
        }
        Symbols().SetList(symbol, std::move(items));
        return TRUE;
    } catch (...) {
        return RefuseInf("FMakeListInfSectionField: out of memory");
    }
}
