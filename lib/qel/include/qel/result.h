// `result`: the status an operation that can fail hands back by value: a code, a
// severity, the operation's own context text and the code's message text, looked up
// when the result is made. A result with code 0 always has severity 0.
#pragma once

#include <cstdint>
#include <string>

#include "qel/base.h"

namespace qel {

// Codes with this bit are the library's own and have their texts in the error registry;
// the others are system error codes, 0 meaning success.
inline constexpr std::uint32_t library_code_bit = 0x20000000;

inline constexpr std::int32_t severity_success = 0;
inline constexpr std::int32_t severity_warning = 2;
inline constexpr std::int32_t severity_error = 3;

// System codes the library itself hands out.
inline constexpr std::uint32_t code_success = 0;
inline constexpr std::uint32_t code_invalid_handle = 6;
inline constexpr std::uint32_t code_invalid_parameter = 87;

class result : public base {
public:
    result(std::uint32_t code, std::u16string context, std::int32_t severity);

    // "<context> <message> [<code in decimal>(<code as eight upper-case hex digits>)]".
    virtual std::u16string ToText() const;

    std::uint32_t Code() const noexcept { return code_; }
    std::int32_t Severity() const noexcept { return severity_; }
    const std::u16string& Context() const noexcept { return context_; }
    const std::u16string& Message() const noexcept { return message_; }

private:
    std::uint32_t code_;
    std::int32_t severity_;
    std::u16string context_;
    std::u16string message_;
};

// A warning counts as success; only an error does not.
inline bool Succeeded(const result& r) noexcept { return r.Severity() != severity_error; }

}  // namespace qel
