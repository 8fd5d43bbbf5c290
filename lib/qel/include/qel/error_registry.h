// The process-wide error registry: the library's codes (bit 29 set) and their texts, kept
// sorted by code. Entries are only ever added; the registry is made on first use and
// lives until the process ends. `MessageText` turns any code, the library's or the
// system's, into its text.
#pragma once

#include <cstdint>
#include <string>

#include "qel/compare.h"
#include "qel/list.h"

namespace qel {

// One registry entry.
struct ErrCode {
    // Keys for Compare: by code as an unsigned number (the registry's order), or by text
    // unit by unit.
    static constexpr std::int32_t by_code = 1;
    static constexpr std::int32_t by_text = 2;

    std::uint32_t code = 0;
    std::u16string text;

    TCmpRes Compare(const ErrCode& other, std::int32_t key) const noexcept;
};

// Adds `code` with `text`. False, and nothing stored, for a code without bit 29 (the
// registry is not even made) or for a code already present (its first text stays).
bool RegisterError(std::uint32_t code, const std::u16string& text);

// The code that stands for `text`: the first entry with exactly that text, or else a new
// code one above the highest present (0x20000001 in an empty registry).
std::uint32_t RegisterErrorText(const std::u16string& text);

// The text of a library code from the registry, or of a system code from the system's
// message table without line breaks at either end; empty when none is known.
std::u16string MessageText(std::uint32_t code);

// The registry itself, for inspection; null until the first registration.
const TList<ErrCode>* Registry() noexcept;

}  // namespace qel
