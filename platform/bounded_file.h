// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a whole file of outside data safely: only a regular file is read
// (a FIFO would block, a device such as /dev/zero would never end, a folder
// has no bytes), and the size cap holds while reading, whatever size the
// system reported when the file was opened.

#include <cstddef>
#include <string>

namespace velmora::platform {

enum class FileReadStatus {
    ok,
    missing,     // no such file
    notRegular,  // a folder, FIFO, device or socket
    tooLarge,    // more than the cap
    failed,      // it exists but could not be opened or read
};

struct FileRead {
    FileReadStatus status = FileReadStatus::failed;
    std::string bytes;  // the whole file when ok, else empty
};

// Reads the file at `path` (a symbolic link is followed) if it is a regular
// file of at most `maxSize` bytes. Never blocks on a FIFO, never reads more
// than maxSize + 1 bytes, never throws except for lack of memory.
FileRead readRegularFile(const std::string& path, size_t maxSize);

}  // namespace velmora::platform
