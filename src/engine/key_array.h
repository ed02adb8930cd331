// The rowids of a key set, in query order, with a mark for the rows deleted since.
//
// A dynaset over a million rows holds a million keys, read once when it opens, so the
// store is built for that read:
// - keys go into blocks that are never moved, each twice the size of the one before, where
//   a growing vector would copy every key read so far (and touch twice the memory) each
//   time it grows; a small dynaset still takes only a small first block;
// - a key takes 4 bytes: the low half of the rowid, with the high halves kept beside a
//   block only when one of its rowids needs them (auto-numbers never do);
// - the deleted marks are made only when the first row is deleted.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tv::engine {

class KeyArray {
public:
    KeyArray() = default;
    ~KeyArray();
    KeyArray(const KeyArray&) = delete;
    KeyArray& operator=(const KeyArray&) = delete;

    long size() const { return size_; }
    std::int64_t operator[](long pos) const {
        const Slot at = slotOf(static_cast<size_t>(pos));
        const Block& block = blocks_[at.block];
        const std::uint64_t low = block.low[at.offset];
        if (!block.high) return static_cast<std::int64_t>(low);
        return static_cast<std::int64_t>(
            static_cast<std::uint64_t>(static_cast<std::uint32_t>(block.high[at.offset])) << 32 |
            low);
    }
    void push_back(std::int64_t id) {
        const Slot at = slotOf(static_cast<size_t>(size_));
        if (at.block == blocks_.size()) addBlock();
        Block& block = blocks_[at.block];
        const auto bits = static_cast<std::uint64_t>(id);
        block.low[at.offset] = static_cast<std::uint32_t>(bits);
        if (bits >> 32 || block.high)
            setHigh(block, at.offset, static_cast<std::uint32_t>(bits >> 32));
        ++size_;
        if (!deleted_.empty()) deleted_.push_back(0);
    }
    // Empties the array but keeps its blocks, for the next keys.
    void clear() {
        size_ = 0;
        deleted_.clear();
        deletedCount_ = 0;
    }
    // The position of `id` from the start, or -1.
    long indexOf(std::int64_t id) const;
    // The position of `id` from the end backwards (the newest first), or -1.
    long lastIndexOf(std::int64_t id) const;

    bool deleted(long pos) const {
        return deletedCount_ != 0 && deleted_[static_cast<size_t>(pos)] != 0;
    }
    void markDeleted(long pos);
    long deletedCount() const { return deletedCount_; }
    // How many rows before `pos` are not deleted.
    long liveBefore(long pos) const;

private:
    static constexpr size_t kFirstBits = 10;  // the first block holds 1024 keys
    static constexpr size_t kFirst = size_t{1} << kFirstBits;

    struct Block {
        std::uint32_t* low = nullptr;
        std::uint32_t* high = nullptr;  // null while every high half is 0
        size_t capacity = 0;
    };
    struct Slot {
        size_t block;
        size_t offset;
    };
    // Block b holds kFirst << b keys, starting at position kFirst * (2^b - 1).
    static Slot slotOf(size_t pos) {
        const size_t biased = pos + kFirst;
        const size_t block = static_cast<size_t>(std::bit_width(biased)) - 1 - kFirstBits;
        return {block, biased - (kFirst << block)};
    }
    void addBlock();
    void setHigh(Block& block, size_t offset, std::uint32_t high);

    std::vector<Block> blocks_;
    long size_ = 0;
    std::vector<char> deleted_;  // empty until a row is deleted
    long deletedCount_ = 0;
};

}  // namespace tv::engine
