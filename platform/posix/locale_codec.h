// The process code page: the C library's locale from the environment.
#pragma once

#include <memory>

#include "io/codec.h"

namespace platform {

// Sets the C locale from the environment (all categories) and returns the codec of its
// character set: UTF-8, one byte per character for "C"/"POSIX" or a failed setting, or
// the C library's multibyte conversion for any other set.
std::unique_ptr<io::codec> set_locale_from_environment();

}  // namespace platform
