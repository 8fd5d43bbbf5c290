// Any character set that the C library converts (KOI8-R, BIG5, SHIFT_JIS, TCVN5712-1,
// TSCII, ...), through iconv. A run of bytes counts as one character only when iconv turns
// it, with whatever it held back for a combining sequence flushed out, into code points
// that, each encoded on its own, give back exactly those bytes; every other byte is
// escaped. So every byte string round-trips, whatever the set's table does.
#pragma once

#include <cstddef>
#include <memory>

#include "io/codec.h"

namespace platform {

// The codec of `charset`, whose characters are at most `longest` bytes long; null when
// the C library cannot convert it.
std::unique_ptr<io::codec> make_iconv_codec(const char* charset, std::size_t longest);

}  // namespace platform
