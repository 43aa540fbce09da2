// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs gumbo on a page within a budget of memory and processor time. Gumbo
// cannot be told to stop, and some pages (thousands of elements left open)
// take it time quadratic in their nesting, so every block it asks for comes
// from here: past the budget, the allocator jumps straight out of the
// parser, and the blocks, kept on a list, are freed together.

#include <gumbo.h>

#include <chrono>
#include <csetjmp>
#include <cstddef>
#include <string_view>

namespace velmora::online {

class BoundedParse {
  public:
    BoundedParse(size_t maxBytes, std::chrono::milliseconds maxTime);
    ~BoundedParse();  // frees the document and anything an abandoned parse left
    BoundedParse(const BoundedParse&) = delete;
    BoundedParse& operator=(const BoundedParse&) = delete;

    // The page's document, valid while this object lives; null when the
    // parse needed more than maxBytes at once or more than maxTime of this
    // thread's processor time. Called once.
    const GumboOutput* parse(std::string_view page);

  private:
    struct alignas(std::max_align_t) Block {
        Block* previous;
        Block* next;
        size_t size;
    };

    static void* allocate(void* self, size_t size);
    static void deallocate(void* self, void* pointer);
    [[noreturn]] void giveUp();

    size_t maxBytes_;
    std::chrono::milliseconds maxTime_;
    std::chrono::nanoseconds deadline_{0};  // of this thread's processor time
    size_t bytes_ = 0;
    unsigned calls_ = 0;
    Block* blocks_ = nullptr;
    std::jmp_buf abort_;
};

}  // namespace velmora::online
