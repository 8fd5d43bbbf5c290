// The process code page: the C locale set to the user's OEM code page (".OCP").
#pragma once

#include <memory>

#include "io/codec.h"

namespace platform {

// Sets the C locale, all categories, to the user's default locale with its OEM code page,
// and returns the codec of that code page. When the setting fails, or the code page is
// one that cannot serve (0, UTF-7, UTF-8), the C locale stays as it was and every byte
// stands for the character of the same value.
std::unique_ptr<io::codec> set_oem_locale();

}  // namespace platform
