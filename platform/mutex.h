// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A system-wide named mutex, held open for the life of the process. Nothing
// waits on it; it only marks that a copy of the program runs.

#include <semaphore.h>

#include <string>

namespace velmora::platform {

class NamedMutex {
  public:
    // Creates the mutex called name, or opens it when it already exists; it
    // is not taken. Failure leaves the object without a handle, which the
    // program does not examine.
    explicit NamedMutex(const std::string& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool isOpen() const { return handle_ != SEM_FAILED; }

  private:
    sem_t* handle_ = SEM_FAILED;
};

}  // namespace velmora::platform
