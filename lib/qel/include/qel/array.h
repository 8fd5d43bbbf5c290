// `Array<T>`: a fixed number of T in one block from the free store. Setting a new count
// replaces the block; the old contents are not kept.
#pragma once

#include <cstddef>

#include "qel/base.h"

namespace qel {

template <class T>
class Array : public base {
public:
    Array() = default;
    explicit Array(std::size_t count) { SetCount(count); }
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;
    ~Array() override { delete[] items_; }

    // Replaces the block by `count` value-initialised elements.
    void SetCount(std::size_t count) {
        T* fresh = count == 0 ? nullptr : new T[count]();
        delete[] items_;
        items_ = fresh;
        count_ = count;
    }

    std::size_t Count() const noexcept { return count_; }
    T& operator[](std::size_t i) noexcept { return items_[i]; }
    const T& operator[](std::size_t i) const noexcept { return items_[i]; }

private:
    T* items_ = nullptr;
    std::size_t count_ = 0;
};

}  // namespace qel
