// The usage text: the program's only help, 16 lines held with CR LF between them and no
// line break after the last; the caller ends the line.
#pragma once

#include <string_view>

#include "io/text_output.h"

namespace huecast {

extern const std::u16string_view usage_text;

io::text_output& write_usage(io::text_output& output);

}  // namespace huecast
