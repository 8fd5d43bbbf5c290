// The support library's exception: one wide text saying which internal check failed and
// where. The library throws it by value and never prints it; it does not derive from
// std::exception, so only a handler that names it (or catches everything) sees it.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "qel/base.h"

namespace qel {

class wexception : public base {
public:
    explicit wexception(std::u16string text) : text_(std::move(text)) {}
    wexception(const wexception&) = default;
    wexception& operator=(const wexception&) = default;
    ~wexception() override = default;

    virtual const std::u16string& Text() const noexcept { return text_; }

private:
    std::u16string text_;
};

// Throws "!<expression> at <source> line <line>": a check written in a library source
// file, named by its path relative to the library's project, without extension.
[[noreturn]] void FailCheck(std::u16string_view expression, std::u16string_view source, int line);

// Throws "Lib\Src\lib\qel line <line>": a check inside the library header's containers.
[[noreturn]] void FailContainerCheck(int line);

}  // namespace qel
