#include "platform/win32/process_locale.h"

#include <windows.h>

#include <clocale>
#include <cwchar>

#include "platform/win32/code_page_codec.h"

namespace platform {

std::unique_ptr<io::codec> set_oem_locale() {
    wchar_t digits[8] = {};
    if (GetLocaleInfoW(GetUserDefaultLCID(), LOCALE_IDEFAULTCODEPAGE, digits, 8) == 0) return io::make_byte_codec();
    const unsigned code_page = static_cast<unsigned>(std::wcstoul(digits, nullptr, 10));
    // The byte rules of the streams hold for code pages of one or two bytes per character;
    // for any other the C locale is left alone, so that case mapping and bytes agree.
    if (!is_usable_code_page(code_page)) return io::make_byte_codec();
    if (_wsetlocale(LC_ALL, L".OCP") == nullptr) return io::make_byte_codec();
    return std::make_unique<code_page_codec>(code_page);
}

}  // namespace platform
