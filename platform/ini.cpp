// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ini.h"

#include "platform/atomic_temporary.h"
#include "platform/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace velmora::platform {

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + path), path_(path) {}

namespace {

// One line of the file with its own line end ("\n", "\r\n" or "" for a last
// line without one), so untouched lines go back out exactly as they came in.
struct Line {
    std::string text;
    std::string ending;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimmed(const std::string& s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && isBlank(s[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(s[end - 1])) {
        --end;
    }
    return s.substr(begin, end - begin);
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::vector<Line> splitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t nl = content.find('\n', pos);
        if (nl == std::string::npos) {
            lines.push_back({content.substr(pos), ""});
            break;
        }
        bool crlf = nl > pos && content[nl - 1] == '\r';
        std::size_t textEnd = crlf ? nl - 1 : nl;
        lines.push_back({content.substr(pos, textEnd - pos), crlf ? "\r\n" : "\n"});
        pos = nl + 1;
    }
    return lines;
}

std::string joinLines(const std::vector<Line>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

// The name of a section header line ("[name]", blanks allowed around it and
// inside the brackets), or nothing when the line is not a header.
std::optional<std::string> sectionName(const std::string& text) {
    std::string t = trimmed(text);
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    std::size_t close = t.find(']');
    std::size_t end = close == std::string::npos ? t.size() : close;
    return trimmed(t.substr(1, end - 1));
}

// The key name of a "key=value" line, or nothing for any other line.
std::optional<std::string> keyName(const std::string& text) {
    std::size_t eq = text.find('=');
    if (eq == std::string::npos || sectionName(text)) {
        return std::nullopt;
    }
    return trimmed(text.substr(0, eq));
}

std::string valueOf(const std::string& text) { return trimmed(text.substr(text.find('=') + 1)); }

// Lines [begin, end) of the first section called `section`; begin is the
// header line. Nothing when the file holds no such section.
struct SectionSpan {
    std::size_t begin;
    std::size_t end;
};

std::optional<SectionSpan> findSection(const std::vector<Line>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionName(lines[i].text);
        if (name && sameName(*name, section)) {
            std::size_t end = i + 1;
            while (end < lines.size() && !sectionName(lines[end].text)) {
                ++end;
            }
            return SectionSpan{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(const std::vector<Line>& lines, SectionSpan span,
                                   const std::string& key) {
    for (std::size_t i = span.begin + 1; i < span.end; ++i) {
        auto name = keyName(lines[i].text);
        if (name && sameName(*name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

// The whole file, or nothing when it does not exist; throws when it exists
// but cannot be read (or is no regular file, or is larger than any profile
// of ours), since rewriting it then would lose its contents.
std::optional<std::string> readWholeFile(const std::string& path, bool throwOnError) {
    FileRead file = readRegularFile(path, kMaxIniFile);
    if (file.status == FileReadStatus::ok) {
        return std::move(file.bytes);
    }
    if (file.status != FileReadStatus::missing && throwOnError) {
        throw IniWriteError(path);
    }
    return std::nullopt;
}

// The line end to use for new lines: the file's own, or "\n" for a new file.
std::string lineEndingOf(const std::vector<Line>& lines) {
    for (const auto& line : lines) {
        if (!line.ending.empty()) {
            return line.ending;
        }
    }
    return "\n";
}

void setKey(std::vector<Line>& lines, const std::string& section, const std::string& key,
            const std::string& value) {
    const std::string eol = lineEndingOf(lines);
    // A last line without a line end gets one only when a line follows it.
    auto endLastLine = [&lines, &eol] {
        if (!lines.empty() && lines.back().ending.empty()) {
            lines.back().ending = eol;
        }
    };
    auto span = findSection(lines, section);
    if (!span) {
        endLastLine();
        if (!lines.empty() && !trimmed(lines.back().text).empty()) {
            lines.push_back({"", eol});
        }
        lines.push_back({"[" + section + "]", eol});
        lines.push_back({key + "=" + value, eol});
        return;
    }
    if (auto at = findKey(lines, *span, key)) {
        lines[*at].text = *keyName(lines[*at].text) + "=" + value;
        return;
    }
    // After the last non-blank line of the section, so a blank line that
    // separates it from the next section stays where it is.
    std::size_t after = span->end;
    while (after > span->begin + 1 && trimmed(lines[after - 1].text).empty()) {
        --after;
    }
    if (after == lines.size()) {
        endLastLine();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after), Line{key + "=" + value, eol});
}

// Writes `content` to a temporary beside `path`, flushes it to disk and
// renames it over `path`; the old file stays whole until the rename.
void replaceFile(const std::string& path, const std::string& content, mode_t mode) {
    // What an earlier save left behind when it was killed halfway.
    removeStaleTemporaries(path);
    AtomicTemporary temporary = createAtomicTemporary(path);
    const std::string& temp = temporary.name;
    int fd = temporary.fd;
    if (fd < 0) {
        throw IniWriteError(path);
    }
    bool ok = ::fchmod(fd, mode) == 0;
    std::size_t done = 0;
    while (ok && done < content.size()) {
        ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        done += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        throw IniWriteError(path);
    }
}

// A symbolic link is followed, so the file it names is the one replaced.
std::string resolvedTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        auto target = std::filesystem::weakly_canonical(path, ec);
        if (!ec) {
            return target.string();
        }
    }
    return path;
}

}  // namespace

std::string readIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& fallback) {
    auto content = readWholeFile(path, false);
    if (!content) {
        return fallback;
    }
    auto lines = splitLines(*content);
    auto span = findSection(lines, section);
    if (!span) {
        return fallback;
    }
    auto at = findKey(lines, *span, key);
    if (!at) {
        return fallback;
    }
    std::string value = valueOf(lines[*at].text);
    if (value.size() > kIniValueBuffer - 1) {
        value.resize(kIniValueBuffer - 1);
    }
    return value;
}

bool parseIniInt(const std::string& text, std::int32_t& result) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X');
    if (hex) {
        i += 2;
    }
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (i == text.size()) {
        return false;
    }
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = lowerAscii(text[i]);
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        }
        if (digit < 0) {
            return false;
        }
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (value > limit) {
            return false;
        }
    }
    auto bits = static_cast<std::uint32_t>(value);
    result = static_cast<std::int32_t>(negative ? 0u - bits : bits);
    return true;
}

std::int32_t readIniInt(const std::string& path, const std::string& section,
                        const std::string& key, std::int32_t fallback) {
    std::int32_t value = 0;
    return parseIniInt(readIniString(path, section, key, ""), value) ? value : fallback;
}

void writeIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
    const std::string target = resolvedTarget(path);
    auto content = readWholeFile(target, true);
    mode_t mode = 0644;
    struct stat info {};
    if (content && ::stat(target.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;
        // A read-only file is refused, although the rename would replace it.
        if (::access(target.c_str(), W_OK) != 0) {
            throw IniWriteError(path);
        }
    }
    auto lines = splitLines(content.value_or(""));
    setKey(lines, section, key, value);
    try {
        replaceFile(target, joinLines(lines), mode);
    } catch (const IniWriteError&) {
        throw IniWriteError(path);
    }
}

}  // namespace velmora::platform
