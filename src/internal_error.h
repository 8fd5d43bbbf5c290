// What the last resort of an entry says about an exception that nothing else caught: the
// text for its one line "huecast: internal error: <text>".
#pragma once

#include <string>

#include "io/codec.h"

namespace huecast {

// Call only while an exception is being handled: a standard exception's own text, the
// support library's exception text in the bytes of `codec`, or "unknown exception".
std::string current_exception_text(const io::codec& codec);

}  // namespace huecast
