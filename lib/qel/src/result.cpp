#include "qel/result.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "qel/error_registry.h"

namespace qel {
namespace {

std::u16string widen(const char* ascii) {
    const std::string_view s(ascii);
    return std::u16string(s.begin(), s.end());
}

}  // namespace

result::result(std::uint32_t code, std::u16string context, std::int32_t severity)
    : code_(code),
      severity_(code == code_success ? severity_success : severity),
      context_(std::move(context)),
      message_(MessageText(code)) {}

std::u16string result::ToText() const {
    static constexpr std::u16string_view layout = u"%c %d [%cd(%ch)]";
    char decimal[16], hex[16];
    std::snprintf(decimal, sizeof decimal, "%u", static_cast<unsigned>(code_));
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(code_));

    // One pass over the layout, trying the two-letter placeholders before their one-letter
    // prefixes. Substituting placeholder by placeholder over the whole text would read a
    // "%d" inside the context as the message's place.
    std::u16string text;
    for (std::size_t i = 0; i < layout.size();) {
        const std::u16string_view rest = layout.substr(i);
        if (rest.starts_with(u"%cd")) {
            text += widen(decimal);
            i += 3;
        } else if (rest.starts_with(u"%ch")) {
            text += widen(hex);
            i += 3;
        } else if (rest.starts_with(u"%c")) {
            text += context_;
            i += 2;
        } else if (rest.starts_with(u"%d")) {
            text += message_;
            i += 2;
        } else {
            text += layout[i++];
        }
    }
    return text;
}

}  // namespace qel
