#include "qel/compare.h"

#include <algorithm>
#include <cwctype>

namespace qel {

void MakeUpper(std::u16string& s) {
    for (char16_t& c : s) c = static_cast<char16_t>(std::towupper(static_cast<wint_t>(c)));
}

TCmpRes CompareNoCase(const std::u16string& a, const std::u16string& b) {
    std::u16string ua = a, ub = b;
    MakeUpper(ua);
    MakeUpper(ub);
    const std::size_t common = std::min(ua.size(), ub.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (ua[i] != ub[i]) return TCmpRes(ua[i] < ub[i] ? -1 : 1);
    }
    if (ua.size() == ub.size()) return TCmpRes(0);
    return TCmpRes(ua.size() < ub.size() ? -1 : 1);
}

}  // namespace qel
