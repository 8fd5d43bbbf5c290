// `TList<T>`: a growable list of pointers to elements that it owns, optionally kept in
// ascending order under one of the elements' comparison keys and optionally refusing
// duplicates. Storage comes from the library heap in multiples of `growBy` slots; misuse
// (an index out of range, a null element) throws a `wexception`.
//
// T provides `TCmpRes Compare(const T& other, std::int32_t key) const`, the order of
// *this relative to `other` under `key`. Elements are allocated singly with `new`; the list
// deletes them when it is cleared or destroyed.
#pragma once

#include <cstdint>
#include <cstring>

#include "qel/base.h"
#include "qel/compare.h"
#include "qel/memory.h"
#include "qel/wexception.h"

namespace qel {

// Where the containers' checks stand in the library header; the numbers are part of the
// check texts that callers and logs already know.
namespace container_check {
inline constexpr int insert_null = 1639;
inline constexpr int insert_at_range = 1688;
inline constexpr int reserve_storage = 1730;
inline constexpr int at_range = 1776;
}  // namespace container_check

template <class T>
class TList : public base {
public:
    // An element equal to one already present is refused by Insert.
    static constexpr std::uint32_t unique = 0x80;

    TList(std::uint32_t flags, std::uint32_t growBy, std::int32_t sortKey) noexcept
        : flags_(flags), growBy_(growBy == 0 ? 1 : growBy), sortKey_(sortKey) {}
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    ~TList() override { Clear(); }

    // The element at `i`; throws when `i` is not below Count().
    T* At(std::uint32_t i) const {
        if (i >= count_) FailContainerCheck(container_check::at_range);
        return items_[i];
    }

    // Makes room for `wanted` slots, rounded up to a multiple of growBy. False, and no
    // change, when `wanted` would not hold the elements present or is the capacity already.
    bool Reserve(std::uint32_t wanted) {
        if (wanted <= count_ || wanted == capacity_) return false;
        if (wanted == 0) wanted = 1;
        if (wanted % growBy_ != 0) wanted += growBy_ - wanted % growBy_;
        void* storage = MemRealloc(items_, std::size_t{wanted} * sizeof(T*));
        // The old block is still ours when the heap refuses, so the list is left as it was.
        if (storage == nullptr) FailContainerCheck(container_check::reserve_storage);
        items_ = static_cast<T**>(storage);
        capacity_ = wanted;
        return true;
    }

    // Puts `p` after the last element, whatever the order; returns its index.
    std::uint32_t Append(T* p) {
        if (count_ == capacity_) Reserve(capacity_ + 1);
        items_[count_] = p;
        return count_++;
    }

    // Puts `p` at `i` (0 .. Count()), moving the later elements up; returns `i`.
    std::uint32_t InsertAt(T* p, std::uint32_t i) {
        if (i > count_) FailContainerCheck(container_check::insert_at_range);
        if (count_ == capacity_) Reserve(count_ + 1);
        std::memmove(items_ + i + 1, items_ + i, std::size_t{count_ - i} * sizeof(T*));
        items_[i] = p;
        ++count_;
        return i;
    }

    // Adds `p` in its place under the sort key (at the end for an unsorted list) and returns
    // its index; -1 when the list is unique and holds an equal element, in which case the
    // list is unchanged and `p` stays the caller's.
    std::int32_t Insert(T* p) {
        if (p == nullptr) FailContainerCheck(container_check::insert_null);
        if (count_ == capacity_) Reserve(capacity_ + 1);
        if (sortKey_ == 0) return static_cast<std::int32_t>(Append(p));

        std::uint32_t pos = 0;
        if (count_ == 1) {
            pos = p->Compare(*items_[0], sortKey_).Value() < 0 ? 0 : 1;
        } else if (count_ >= 2) {
            if (p->Compare(*items_[count_ - 1], sortKey_).Value() > 0) {
                pos = count_;
            } else {
                // Everything below `lo` orders before p and the element at `hi` does not, so
                // the range closes on p's place; the probe sits three fifths of the way up.
                std::uint32_t lo = 0, hi = count_ - 1;
                std::uint32_t probe = (3 * hi) / 5;
                for (;;) {
                    const int c = p->Compare(*items_[probe], sortKey_).Value();
                    if (c == 0) {
                        pos = probe;
                        break;
                    }
                    if (c < 0) {
                        hi = probe;
                    } else {
                        lo = probe < hi ? probe + 1 : probe;
                    }
                    probe = (3 * hi + 2 * lo) / 5;
                    if (hi == lo) {
                        pos = probe;
                        break;
                    }
                }
            }
        }
        if ((flags_ & unique) != 0 && count_ != 0) {
            const T& neighbour = *items_[pos == count_ ? count_ - 1 : pos];
            if (p->Compare(neighbour, sortKey_).Value() == 0) return -1;
        }
        return static_cast<std::int32_t>(InsertAt(p, pos));
    }

    // The element equal to `probe` under `key`, or null. Under the list's own sort key this
    // is a search with the same three-fifths split as Insert; under any other key, the
    // first equal element from the start.
    T* Find(const T& probe, std::int32_t key) const {
        if (key != sortKey_ || sortKey_ == 0) {
            for (std::uint32_t i = 0; i < count_; ++i) {
                if (items_[i]->Compare(probe, key).Value() == 0) return items_[i];
            }
            return nullptr;
        }
        if (count_ == 0) return nullptr;
        if (count_ == 1) return items_[0]->Compare(probe, key).Value() == 0 ? items_[0] : nullptr;
        std::uint32_t lo = 0, hi = count_ - 1;
        do {
            const std::uint32_t i = (3 * hi + 2 * lo) / 5;
            const int c = items_[i]->Compare(probe, key).Value();
            if (c == 0) return items_[i];
            if (c < 0) {
                lo = i;
            } else {
                hi = i;
            }
        } while (hi - lo > 1);
        if (items_[lo]->Compare(probe, key).Value() == 0) return items_[lo];
        if (items_[hi]->Compare(probe, key).Value() == 0) return items_[hi];
        return nullptr;
    }

    // Deletes the elements, last first, and gives the storage back to the heap.
    void Clear() {
        while (count_ != 0) {
            --count_;
            delete items_[count_];
        }
        MemFree(items_);
        items_ = nullptr;
        capacity_ = 0;
    }

    std::uint32_t Count() const noexcept { return count_; }
    std::uint32_t Capacity() const noexcept { return capacity_; }
    std::uint32_t GrowBy() const noexcept { return growBy_; }
    std::uint32_t Flags() const noexcept { return flags_; }
    std::int32_t SortKey() const noexcept { return sortKey_; }

private:
    T** items_ = nullptr;
    std::uint32_t flags_;
    std::uint32_t capacity_ = 0;
    std::uint32_t growBy_;
    std::uint32_t count_ = 0;
    std::int32_t sortKey_;
};

}  // namespace qel
