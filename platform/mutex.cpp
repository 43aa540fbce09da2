// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mutex.h"

#include <fcntl.h>

namespace velmora::platform {

NamedMutex::NamedMutex(const std::string& name) {
    // POSIX names start with one slash; an unowned mutex has a count of one.
    handle_ = ::sem_open(("/" + name).c_str(), O_CREAT, 0600, 1);
}

NamedMutex::~NamedMutex() {
    if (handle_ != SEM_FAILED) {
        ::sem_close(handle_);
    }
}

}  // namespace velmora::platform
