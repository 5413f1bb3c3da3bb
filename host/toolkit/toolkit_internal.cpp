// Bounded copies into the caller's buffers, and the last toolkit error.
#include "host/toolkit/toolkit_internal.h"

#include <cstring>
#include <limits>

#include "host/toolkit/setup_log.h"

namespace orv::toolkit {

namespace {
std::string g_lastError;
std::string g_stopReason;
}

LONG CopyOut(std::string_view text, LPSTR buffer, LONG size) {
    if (buffer != nullptr && size > 0) {
        std::size_t fits = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, text.data(), fits);
        buffer[fits] = '\0';
    }
    constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<LONG>::max());
    return static_cast<LONG>(std::min(text.size(), kMax));
}

void SetLastToolkitError(std::string text) {
    LogLine("error: " + text);
    g_lastError = std::move(text);
}

const std::string &LastToolkitError() { return g_lastError; }

void ClearLastToolkitError() {
    g_lastError.clear();
    g_stopReason.clear();
}

void SetStopReason(std::string text) { g_stopReason = std::move(text); }

const std::string &StopReason() { return g_stopReason; }

}  // namespace orv::toolkit

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::toolkit {

namespace {

std::string ErrnoText(int code) { return std::strerror(code); }

bool WriteAll(int fd, std::string_view content) {
    const char *data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path &file, std::string_view content, std::string &error) {
    std::filesystem::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    std::string pattern = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = "cannot write " + file.string() + ": " + ErrnoText(errno);
        return false;
    }
    bool ok = WriteAll(fd, content) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    int saved = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && ::rename(pattern.c_str(), file.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        ::unlink(pattern.c_str());
        error = "cannot write " + file.string() + ": " + ErrnoText(saved);
        return false;
    }
    int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool ReadSmallFile(const std::filesystem::path &file, std::size_t limit, std::string &content, std::string &error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        error = "cannot read " + file.string() + ": " + (std::filesystem::exists(file, ec) ? "not a file" : "no such file");
        return false;
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        error = "cannot read " + file.string() + ": " + ErrnoText(errno);
        return false;
    }
    content.clear();
    char chunk[8192];
    while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0) {
        content.append(chunk, static_cast<std::size_t>(stream.gcount()));
        if (content.size() > limit) {
            error = "cannot read " + file.string() + ": larger than " + std::to_string(limit) + " bytes";
            return false;
        }
    }
    if (stream.bad()) {
        error = "cannot read " + file.string();
        return false;
    }
    return true;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace orv::toolkit
