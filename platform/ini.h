// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing one key of an INI profile file, with the rules of the
// classic profile functions: section and key names match without regard to
// (ASCII) case, a value is the text after the first '=' with surrounding blanks
// (spaces and tabs) removed, the first matching section and key win, and a
// write touches only the line of its own key.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace velmora::platform {

// Values are read through a buffer of this many characters, terminator
// included, so a longer value comes back cut to its first 2047 characters.
inline constexpr std::size_t kIniValueBuffer = 2048;

// A file larger than this is no profile of ours: it reads as absent, and a
// write to it is refused rather than read whole. Only regular files are
// read at all (a FIFO or a device reads as absent too).
inline constexpr std::size_t kMaxIniFile = std::size_t{1} << 20;

// A write the system refused. what() reads "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string& path);
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The value of `key` in `section` of the file at `path`, or `fallback` when the
// file cannot be read or holds no such section or key. Never throws.
std::string readIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& fallback);

// The value of `key` read as a 32-bit integer: optional blanks are already gone
// by the INI rules, then an optional sign and either decimal digits or "0x"/"0X"
// and hexadecimal digits, and nothing else. Hexadecimal values up to 0xFFFFFFFF
// wrap into the signed range; decimal values outside it, an empty value and
// anything else that is not such an integer give `fallback`. Never throws.
std::int32_t readIniInt(const std::string& path, const std::string& section,
                        const std::string& key, std::int32_t fallback);

// Sets `key` in `section` to `value`. The key's line is rewritten where it
// stands (its name as spelt there, the new value after '='); a missing key is
// added after the last line of the section, a missing section at the end of
// the file, a missing file is created. Every other line stays byte for byte.
// The file is replaced atomically (a temporary beside it, then a rename), so a
// crash never leaves it half written. Throws IniWriteError when the file cannot
// be read back, written or replaced.
void writeIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);

// Parses an INI integer by the rules of readIniInt; false when `text` is not one.
bool parseIniInt(const std::string& text, std::int32_t& result);

}  // namespace velmora::platform
