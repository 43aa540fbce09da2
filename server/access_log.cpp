// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/access_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace velmora::server {

namespace {

void appendEscaped(std::string& out, std::string_view text) {
    if (text.empty()) {
        out += '-';
        return;
    }
    bool cut = text.size() > kMaxLoggedField;
    for (char c : text.substr(0, kMaxLoggedField)) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    if (cut) {
        out += "...";
    }
}

int openForAppending(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0640);
    if (fd < 0) {
        throw std::runtime_error("cannot open the access log " + path + ": " +
                                 std::strerror(errno));
    }
    return fd;
}

}  // namespace

std::string combinedLogLine(const AccessRecord& record) {
    std::string line;
    line.reserve(256);
    appendEscaped(line, record.address);
    std::tm utc{};
    gmtime_r(&record.when, &utc);
    char time[40];
    std::strftime(time, sizeof time, " - - [%d/%b/%Y:%H:%M:%S +0000] \"", &utc);
    line += time;
    std::string request;
    request.append(record.method)
        .append(" ")
        .append(record.target)
        .append(" ")
        .append(record.version);
    appendEscaped(line, request);
    line.append("\" ").append(std::to_string(record.status)).append(" ");
    line += record.bytes == 0 ? "-" : std::to_string(record.bytes);
    line += " \"";
    appendEscaped(line, record.referer);
    line += "\" \"";
    appendEscaped(line, record.userAgent);
    line += "\"\n";
    return line;
}

AccessLog::AccessLog(std::string path) : path_(std::move(path)) {
    if (!path_.empty()) {
        fd_ = openForAppending(path_);
    }
}

AccessLog::~AccessLog() {
    if (fd_ > 2) {
        ::close(fd_);
    }
}

void AccessLog::write(const AccessRecord& record) {
    std::string line = combinedLogLine(record);
    std::lock_guard lock(mutex_);
    // One write a line, so that lines of concurrent requests never mix. A
    // log that cannot be written must not stop the serving.
    size_t done = 0;
    while (done < line.size()) {
        ssize_t written = ::write(fd_, line.data() + done, line.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        done += static_cast<size_t>(written);
    }
}

void AccessLog::reopen() {
    if (path_.empty()) {
        return;
    }
    int fresh = -1;
    try {
        fresh = openForAppending(path_);
    } catch (const std::runtime_error&) {
        return;
    }
    std::lock_guard lock(mutex_);
    ::close(fd_);
    fd_ = fresh;
}

}  // namespace velmora::server
