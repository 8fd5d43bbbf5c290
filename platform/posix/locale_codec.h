// The process code page: the C library's locale from the environment.
#pragma once

#include <memory>

#include "io/codec.h"

namespace platform {

// Sets the C locale from the environment (all categories) and returns the codec of its
// character set: UTF-8 for a UTF-8 locale, for "C"/"POSIX" and for a failed setting; the
// C library's conversion (iconv) for any other set.
std::unique_ptr<io::codec> set_locale_from_environment();

}  // namespace platform
