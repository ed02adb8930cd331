// Block storage of a key set's rowids.
#include "engine/key_array.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tv::engine {

namespace {

// Blocks from this size on are mapped with their pages in place: one system call instead
// of a fault per page as the keys are written (a quarter of opening a million-row
// dynaset went to those faults).
constexpr size_t kMappedBytes = size_t{1} << 20;

std::uint32_t* allocate(size_t count) {
    const size_t bytes = count * sizeof(std::uint32_t);
#ifdef __linux__
    if (bytes >= kMappedBytes) {
        void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (memory == MAP_FAILED) throw std::bad_alloc();
        return static_cast<std::uint32_t*>(memory);
    }
#endif
    void* memory = std::malloc(bytes);
    if (!memory) throw std::bad_alloc();
    return static_cast<std::uint32_t*>(memory);
}

void release(std::uint32_t* memory, size_t count) {
    if (!memory) return;
#ifdef __linux__
    const size_t bytes = count * sizeof(std::uint32_t);
    if (bytes >= kMappedBytes) {
        munmap(memory, bytes);
        return;
    }
#else
    (void)count;
#endif
    std::free(memory);
}

}  // namespace

KeyArray::~KeyArray() {
    for (Block& block : blocks_) {
        release(block.low, block.capacity);
        release(block.high, block.capacity);
    }
}

void KeyArray::addBlock() {
    const size_t capacity = kFirst << blocks_.size();
    blocks_.reserve(blocks_.size() + 1);  // so that a failed allocation leaks nothing
    blocks_.push_back({allocate(capacity), nullptr, capacity});
}

void KeyArray::setHigh(Block& block, size_t offset, std::uint32_t high) {
    if (!block.high) {
        block.high = allocate(block.capacity);
        std::memset(block.high, 0, block.capacity * sizeof(std::uint32_t));
    }
    block.high[offset] = high;
}

long KeyArray::indexOf(std::int64_t id) const {
    for (long pos = 0; pos < size_; ++pos)
        if ((*this)[pos] == id) return pos;
    return -1;
}

long KeyArray::lastIndexOf(std::int64_t id) const {
    for (long pos = size_ - 1; pos >= 0; --pos)
        if ((*this)[pos] == id) return pos;
    return -1;
}

void KeyArray::markDeleted(long pos) {
    if (deleted_.empty()) deleted_.assign(static_cast<size_t>(size_), 0);
    char& mark = deleted_[static_cast<size_t>(pos)];
    if (mark) return;
    mark = 1;
    ++deletedCount_;
}

long KeyArray::liveBefore(long pos) const {
    if (deletedCount_ == 0) return pos;
    return static_cast<long>(std::count(deleted_.begin(), deleted_.begin() + pos, 0));
}

}  // namespace tv::engine
