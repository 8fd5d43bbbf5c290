#include "qel/error_registry.h"

#include <memory>

#include "internal.h"
#include "qel/os.h"
#include "qel/result.h"
#include "qel/strings.h"

namespace qel {
namespace {

// Made on first use and never released: it and its entries stay reachable through this
// pointer until the process ends.
TList<ErrCode>* registry = nullptr;

TList<ErrCode>& the_registry() {
    if (registry == nullptr) registry = new TList<ErrCode>(TList<ErrCode>::unique, 64, ErrCode::by_code);
    return *registry;
}

// Beyond this the system's message buffer would not hold the text, and the system then
// gives none.
constexpr std::size_t message_capacity = 511;

}  // namespace

TCmpRes ErrCode::Compare(const ErrCode& other, std::int32_t key) const noexcept {
    if (key == by_text) return TCmpRes(text.compare(other.text));
    return TCmpRes(code < other.code ? -1 : (code > other.code ? 1 : 0));
}

bool RegisterError(std::uint32_t code, const std::u16string& text) {
    if ((code & library_code_bit) == 0) return false;
    auto entry = std::make_unique<ErrCode>(ErrCode{code, text});
    if (the_registry().Insert(entry.get()) < 0) return false;  // the refused entry is freed here
    entry.release();
    return true;
}

std::uint32_t RegisterErrorText(const std::u16string& text) {
    ErrCode probe{0, text};
    if (registry != nullptr) {
        if (const ErrCode* found = registry->Find(probe, ErrCode::by_text)) return found->code;
    }
    TList<ErrCode>& list = the_registry();
    const std::uint32_t code = list.Count() == 0 ? library_code_bit + 1 : list.At(list.Count() - 1)->code + 1;
    probe.code = code;
    auto entry = std::make_unique<ErrCode>(std::move(probe));
    // One above the highest code is never present, so the list takes it.
    if (list.Insert(entry.get()) >= 0) entry.release();
    return code;
}

std::u16string MessageText(std::uint32_t code) {
    if ((code & library_code_bit) == 0) {
        std::u16string text = os::MessageTableText(code);
        if (text.size() > message_capacity) return {};
        Trim(text, u"\r\n");
        return text;
    }
    if (registry == nullptr) return {};
    const ErrCode* found = registry->Find(ErrCode{code, {}}, ErrCode::by_code);
    return found == nullptr ? std::u16string() : found->text;
}

const TList<ErrCode>* Registry() noexcept { return registry; }

namespace detail {

void DropRegistry() noexcept {
    delete registry;
    registry = nullptr;
}

}  // namespace detail
}  // namespace qel
