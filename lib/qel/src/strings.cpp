#include "qel/strings.h"

namespace qel {

int strip_pairs(std::u16string& text, char16_t open, char16_t close) {
    if (close == 0) close = open;
    while (!text.empty() && text.front() == open && text.back() == close) {
        text.erase(0, 1);
        // A text that was a single `open` has no last character left to remove.
        if (!text.empty()) text.pop_back();
    }
    return 0;
}

}  // namespace qel
