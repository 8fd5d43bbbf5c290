#include "platform/posix/locale_codec.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>
#include <strings.h>

namespace platform {

std::unique_ptr<io::codec> set_locale_from_environment() {
    if (std::setlocale(LC_ALL, "") == nullptr) return io::make_byte_codec();
    const char* codeset = ::nl_langinfo(CODESET);
    if (codeset == nullptr) return io::make_byte_codec();
    if (::strcasecmp(codeset, "UTF-8") == 0 || ::strcasecmp(codeset, "UTF8") == 0) return io::make_utf8_codec();
    if (std::strcmp(codeset, "ANSI_X3.4-1968") == 0 || std::strcmp(codeset, "ASCII") == 0) {
        return io::make_byte_codec();
    }
    return io::make_multibyte_codec();
}

}  // namespace platform
