// Block storage of a key set's rowids.
#include "engine/key_array.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
namespace tv::engine {

namespace {

std::uint32_t* allocate(size_t count) {
    void* memory = std::malloc(count * sizeof(std::uint32_t));
    if (!memory) throw std::bad_alloc();
    return static_cast<std::uint32_t*>(memory);
}

}  // namespace

KeyArray::~KeyArray() {
    for (Block& block : blocks_) {
        std::free(block.low);
        std::free(block.high);
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
