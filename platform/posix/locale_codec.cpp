#include "platform/posix/locale_codec.h"

#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "platform/posix/iconv_codec.h"

namespace platform {

std::unique_ptr<io::codec> set_locale_from_environment() {
    // The C and POSIX locales (and a locale that is not installed, which leaves the C locale
    // in force) name ASCII; their text today is UTF-8, as modern tools read it. Bytes that are
    // not valid UTF-8 still pass through unchanged.
    if (std::setlocale(LC_ALL, "") == nullptr) return io::make_utf8_codec();
    const char* codeset = ::nl_langinfo(CODESET);
    if (codeset == nullptr || ::strcasecmp(codeset, "UTF-8") == 0 || ::strcasecmp(codeset, "UTF8") == 0 ||
        std::strcmp(codeset, "ANSI_X3.4-1968") == 0 || std::strcmp(codeset, "ASCII") == 0) {
        return io::make_utf8_codec();
    }
    if (std::unique_ptr<io::codec> codec = make_iconv_codec(codeset, MB_CUR_MAX)) return codec;
    return io::make_byte_codec();
}

}  // namespace platform
