// The usage text: 16 lines held with CR LF between them and no line break after the last;
// the caller ends the line. Also the longer help of --help and the version of --version.
#pragma once

#include <string_view>

#include "io/text_output.h"

namespace huecast {

extern const std::string_view usage_text;

io::text_output& write_usage(io::text_output& output);

// The usage text, then the options and the environment variables, each line ended.
void write_help(io::text_output& output);
// The version, then the licence, each line ended.
void write_version(io::text_output& output);

}  // namespace huecast
