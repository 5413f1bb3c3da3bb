// Windows profile (INI) file semantics on host files, with locked, atomic changes.
#include "host/profile/profile_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::profile {
namespace {

constexpr std::size_t npos = std::string::npos;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
    return text.substr(begin, end - begin);
}

// The section name of a header line, or nothing when the line is not a header.
std::optional<std::string_view> HeaderName(std::string_view line)
{
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    trimmed.remove_prefix(1);
    std::size_t close = trimmed.find(']');
    return Trim(close == npos ? trimmed : trimmed.substr(0, close));
}

// Splits a key line; comments and lines without "=" are no entries.
bool SplitEntry(std::string_view line, std::string_view& key, std::string_view& value)
{
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return false;
    std::size_t equals = trimmed.find('=');
    if (equals == npos) return false;
    key = Trim(trimmed.substr(0, equals));
    value = Trim(trimmed.substr(equals + 1));
    return true;
}

std::string SystemError(const char* what, const path& file)
{
    return std::string(what) + " \"" + file.string() + "\": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t written = ::write(fd, data.data() + done, data.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Holds an exclusive lock on the folder of a profile file for one change. The
// file itself is replaced by rename, so its folder is what all writers share.
class FolderLock {
public:
    explicit FolderLock(const path& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~FolderLock()
    {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool Held() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

private:
    int fd_;
};

bool ReplaceFile(const path& file, const std::string& content, int folderFd, std::string& error)
{
    path temp = file.parent_path() / ("." + file.filename().string() + ".tmp" + std::to_string(::getpid()));
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(file.c_str(), &existing) == 0) mode = existing.st_mode & 07777;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        error = SystemError("cannot write", temp);
        return false;
    }
    bool ok = WriteAll(fd, content) && ::fsync(fd) == 0;
    if (!ok) error = SystemError("cannot write", temp);
    if (::close(fd) != 0 && ok) {
        error = SystemError("cannot write", temp);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), file.c_str()) != 0) {
        error = SystemError("cannot replace", file);
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    ::fsync(folderFd);
    return true;
}

bool Change(const path& file, const std::function<void(Document&)>& change, std::string& error)
{
    try {
        path folder = file.parent_path().empty() ? path(".") : file.parent_path();
        FolderLock lock(folder);
        if (!lock.Held()) {
            error = SystemError("cannot lock the folder of", file);
            return false;
        }
        std::error_code ec;
        bool existed = std::filesystem::exists(file, ec);
        Document document;
        if (!Load(file, document, error)) return false;
        std::string before = document.Serialise();
        change(document);
        std::string after = document.Serialise();
        if (existed ? after == before : after.empty()) return true;
        return ReplaceFile(file, after, lock.Fd(), error);
    } catch (const std::exception& e) {
        error = "cannot change \"" + file.string() + "\": " + e.what();
        return false;
    }
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

Document Document::Parse(std::string_view text)
{
    Document document;
    if (text.find("\r\n") != npos)
        document.newline_ = "\r\n";
    else if (text.find('\n') != npos)
        document.newline_ = "\n";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == npos ? npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        document.lines_.push_back(Line{std::string(line)});
        if (end == npos) break;
        start = end + 1;
    }
    return document;
}

std::string Document::Serialise() const
{
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += newline_;
    }
    return text;
}

std::size_t Document::FindSection(std::string_view section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto name = HeaderName(lines_[i].text);
        if (name && NamesEqual(*name, section)) return i;
    }
    return npos;
}

std::size_t Document::SectionEnd(std::size_t header) const
{
    std::size_t i = header + 1;
    while (i < lines_.size() && !HeaderName(lines_[i].text)) ++i;
    return i;
}

std::size_t Document::FindKey(std::size_t header, std::string_view key) const
{
    std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view lineKey, value;
        if (SplitEntry(lines_[i].text, lineKey, value) && NamesEqual(lineKey, key)) return i;
    }
    return npos;
}

std::optional<std::string> Document::Read(std::string_view section, std::string_view key) const
{
    std::size_t header = FindSection(section);
    if (header == npos) return std::nullopt;
    std::size_t line = FindKey(header, key);
    if (line == npos) return std::nullopt;
    std::string_view lineKey, value;
    SplitEntry(lines_[line].text, lineKey, value);
    return std::string(value);
}

bool Document::HasSection(std::string_view section) const { return FindSection(section) != npos; }

std::vector<std::string> Document::Sections() const
{
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        auto name = HeaderName(line.text);
        if (!name) continue;
        bool seen = false;
        for (const std::string& known : names) seen = seen || NamesEqual(known, *name);
        if (!seen) names.emplace_back(*name);
    }
    return names;
}

std::vector<KeyValue> Document::Entries(std::string_view section) const
{
    std::vector<KeyValue> entries;
    std::size_t header = FindSection(section);
    if (header == npos) return entries;
    std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view key, value;
        if (SplitEntry(lines_[i].text, key, value)) entries.emplace_back(std::string(key), std::string(value));
    }
    return entries;
}

void Document::Write(std::string_view section, std::string_view key, std::string_view value)
{
    std::size_t header = FindSection(section);
    if (header == npos) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(Line{});
        lines_.push_back(Line{"[" + std::string(section) + "]"});
        lines_.push_back(Line{std::string(key) + "=" + std::string(value)});
        return;
    }
    std::size_t line = FindKey(header, key);
    if (line != npos) {
        // The line keeps the key as it was written; only the value changes.
        std::string_view trimmed = Trim(lines_[line].text);
        std::string_view oldKey = Trim(trimmed.substr(0, trimmed.find('=')));
        lines_[line].text = std::string(oldKey) + "=" + std::string(value);
        return;
    }
    // A new key goes after the section's last non-blank line, so the blank line
    // that separates it from the next section stays where it was.
    std::size_t insertAt = SectionEnd(header);
    while (insertAt > header + 1 && Trim(lines_[insertAt - 1].text).empty()) --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  Line{std::string(key) + "=" + std::string(value)});
}

void Document::EraseSection(std::string_view section)
{
    for (std::size_t header = FindSection(section); header != npos; header = FindSection(section)) {
        std::size_t end = SectionEnd(header);
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(end));
    }
}

void Document::EraseKey(std::string_view section, std::string_view key)
{
    std::size_t header = FindSection(section);
    if (header == npos) return;
    for (std::size_t line = FindKey(header, key); line != npos; line = FindKey(header, key))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
}

void Document::Replace(std::string_view section, const std::vector<KeyValue>& entries)
{
    std::size_t header = FindSection(section);
    if (header == npos) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(Line{});
        lines_.push_back(Line{"[" + std::string(section) + "]"});
        for (const KeyValue& entry : entries) lines_.push_back(Line{entry.first + "=" + entry.second});
        return;
    }
    std::size_t end = SectionEnd(header);
    std::vector<Line> kept;
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view key, value;
        if (!SplitEntry(lines_[i].text, key, value)) kept.push_back(lines_[i]);
    }
    // Comments stay at the top of the section, trailing blank lines at its end.
    std::size_t trailingBlanks = 0;
    while (trailingBlanks < kept.size() && Trim(kept[kept.size() - 1 - trailingBlanks].text).empty())
        ++trailingBlanks;
    std::vector<Line> body(kept.begin(), kept.end() - static_cast<std::ptrdiff_t>(trailingBlanks));
    for (const KeyValue& entry : entries) body.push_back(Line{entry.first + "=" + entry.second});
    body.insert(body.end(), kept.end() - static_cast<std::ptrdiff_t>(trailingBlanks), kept.end());
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header + 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(header + 1), body.begin(), body.end());
}

bool Load(const path& file, Document& document, std::string& error)
{
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            document = Document{};
            return true;
        }
        error = SystemError("cannot read", file);
        return false;
    }
    std::string text;
    char buffer[8192];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = SystemError("cannot read", file);
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    document = Document::Parse(text);
    return true;
}

namespace {
Document LoadQuietly(const path& file)
{
    Document document;
    std::string ignored;
    try {
        if (!Load(file, document, ignored)) return Document{};
    } catch (const std::exception&) {
        return Document{};
    }
    return document;
}
}  // namespace

bool WriteKey(const path& file, std::string_view section, std::string_view key, std::string_view value,
              std::string& error)
{
    return Change(file, [&](Document& d) { d.Write(section, key, value); }, error);
}

bool RemoveSection(const path& file, std::string_view section, std::string& error)
{
    return Change(file, [&](Document& d) { d.EraseSection(section); }, error);
}

bool RemoveKey(const path& file, std::string_view section, std::string_view key, std::string& error)
{
    return Change(file, [&](Document& d) { d.EraseKey(section, key); }, error);
}

bool ReplaceSection(const path& file, std::string_view section, const std::vector<KeyValue>& entries,
                    std::string& error)
{
    return Change(file, [&](Document& d) { d.Replace(section, entries); }, error);
}

std::optional<std::string> ReadKey(const path& file, std::string_view section, std::string_view key)
{
    return LoadQuietly(file).Read(section, key);
}

bool SectionExists(const path& file, std::string_view section) { return LoadQuietly(file).HasSection(section); }

bool KeyExists(const path& file, std::string_view section, std::string_view key)
{
    return ReadKey(file, section, key).has_value();
}

std::vector<std::string> SectionNames(const path& file) { return LoadQuietly(file).Sections(); }

std::vector<KeyValue> ReadSection(const path& file, std::string_view section)
{
    return LoadQuietly(file).Entries(section);
}

}  // namespace orv::profile
