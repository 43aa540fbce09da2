// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/bounded_parse.h"

#include <time.h>

#include <cstdlib>

namespace velmora::online {

namespace {

// The clock is read once in this many allocations: gumbo asks for a block at
// least once per element, so the parse overruns its time by little.
constexpr unsigned kCallsPerClockRead = 64;

// Processor time, not the wall clock: a busy machine must not turn a page
// away that it would show when quiet.
std::chrono::nanoseconds threadTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

BoundedParse::BoundedParse(size_t maxBytes, std::chrono::milliseconds maxTime)
    : maxBytes_(maxBytes), maxTime_(maxTime) {}

BoundedParse::~BoundedParse() {
    // Gumbo's own clean-up walks the tree recursively; the list needs no stack.
    while (blocks_ != nullptr) {
        Block* next = blocks_->next;
        std::free(blocks_);
        blocks_ = next;
    }
}

const GumboOutput* BoundedParse::parse(std::string_view page) {
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &BoundedParse::allocate;
    options.deallocator = &BoundedParse::deallocate;
    options.userdata = this;
    options.max_errors = 0;  // the page's mistakes are of no interest, and cost memory
    deadline_ = threadTime() + maxTime_;
    // Only gumbo's C frames lie between here and giveUp(): nothing is left
    // undestroyed, and its blocks stay on the list.
    if (setjmp(abort_) != 0) {
        return nullptr;
    }
    return gumbo_parse_with_options(&options, page.data(), page.size());
}

void* BoundedParse::allocate(void* self, size_t size) {
    auto& parse = *static_cast<BoundedParse*>(self);
    if (size > parse.maxBytes_ - parse.bytes_ ||
        (++parse.calls_ % kCallsPerClockRead == 0 &&
         threadTime() > parse.deadline_)) {
        parse.giveUp();
    }
    auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
    if (block == nullptr) {
        parse.giveUp();
    }
    *block = Block{nullptr, parse.blocks_, size};
    if (parse.blocks_ != nullptr) {
        parse.blocks_->previous = block;
    }
    parse.blocks_ = block;
    parse.bytes_ += size;
    return block + 1;
}

void BoundedParse::deallocate(void* self, void* pointer) {
    if (pointer == nullptr) {
        return;
    }
    auto& parse = *static_cast<BoundedParse*>(self);
    Block* block = static_cast<Block*>(pointer) - 1;
    (block->previous != nullptr ? block->previous->next : parse.blocks_) = block->next;
    if (block->next != nullptr) {
        block->next->previous = block->previous;
    }
    parse.bytes_ -= block->size;
    std::free(block);
}

void BoundedParse::giveUp() {
    std::longjmp(abort_, 1);
}

}  // namespace velmora::online
