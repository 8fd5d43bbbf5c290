// A value, or the reason there is none: what an operation that can fail in an expected way
// returns, instead of an out-parameter beside a status code.
#pragma once

#include <utility>
#include <variant>

namespace huecast {

template <class T, class E>
class value_or_error {
public:
    value_or_error(T value) : held_(std::in_place_index<0>, std::move(value)) {}
    value_or_error(E error) : held_(std::in_place_index<1>, std::move(error)) {}

    bool has_value() const { return held_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    // Only when has_value().
    T& value() & { return std::get<0>(held_); }
    const T& value() const& { return std::get<0>(held_); }
    T&& value() && { return std::get<0>(std::move(held_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // Only when !has_value().
    const E& error() const { return std::get<1>(held_); }

private:
    std::variant<T, E> held_;
};

}  // namespace huecast
