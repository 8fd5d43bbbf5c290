// Three-way comparison result and the case-insensitive comparison of wide strings.
// `TCmpRes` always holds -1, 0 or +1, whatever magnitude it was made from.
#pragma once

#include <string>

#include "qel/base.h"

namespace qel {

class TCmpRes : public base {
public:
    explicit TCmpRes(int raw) noexcept : value_(raw < 0 ? -1 : (raw > 0 ? 1 : 0)) {}
    int Value() const noexcept { return value_; }

private:
    int value_;
};

// Replaces every 16-bit unit of `s` by `towupper` of it under the current C locale,
// one unit at a time (surrogate pairs get no special handling).
void MakeUpper(std::u16string& s);

// Upper-cases copies of both strings and compares them unit by unit as unsigned values;
// on a common prefix the shorter one orders first.
TCmpRes CompareNoCase(const std::u16string& a, const std::u16string& b);

}  // namespace qel
