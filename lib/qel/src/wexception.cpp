#include "qel/wexception.h"

#include <string>

namespace qel {
namespace {

std::u16string decimal(int n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

void FailCheck(std::u16string_view expression, std::u16string_view source, int line) {
    std::u16string text = u"!";
    text.append(expression).append(u" at ").append(source).append(u" line ").append(decimal(line));
    throw wexception(std::move(text));
}

void FailContainerCheck(int line) {
    throw wexception(u"Lib\\Src\\lib\\qel line " + decimal(line));
}

}  // namespace qel
