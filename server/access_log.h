// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One line per request in the combined log format, to standard output (so
// that journald keeps it under the service) or to a file that SIGHUP
// reopens after a rotation.

#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

namespace velmora::server {

struct AccessRecord {
    std::string_view address;
    std::time_t when = 0;
    std::string_view method;
    std::string_view target;
    std::string_view version;
    unsigned status = 0;
    uint64_t bytes = 0;  // of the body; 0 is written "-"
    std::string_view referer;
    std::string_view userAgent;
};

// Each field the client chose is cut to this many bytes.
inline constexpr size_t kMaxLoggedField = 2048;

// The line, with its newline: address - - [time] "request" status bytes
// "referer" "user agent". Quotes, backslashes and bytes outside printable
// ASCII in the client's fields are escaped, so a line is always one line.
std::string combinedLogLine(const AccessRecord& record);

class AccessLog {
  public:
    // `path` empty: standard output. Throws std::runtime_error when the
    // file cannot be opened.
    explicit AccessLog(std::string path);
    ~AccessLog();
    AccessLog(const AccessLog&) = delete;
    AccessLog& operator=(const AccessLog&) = delete;

    void write(const AccessRecord& record);
    // Opens the file again by its name; keeps the old one when that fails.
    void reopen();

  private:
    std::string path_;
    std::mutex mutex_;
    int fd_ = 1;
};

}  // namespace velmora::server
