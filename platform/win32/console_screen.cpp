#include "platform/win32/console_screen.h"

#include <windows.h>

#include "platform/win32/handle_streams.h"

namespace platform {

bool interprets_escapes(void* handle) {
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
    constexpr DWORD ENABLE_VIRTUAL_TERMINAL_PROCESSING = 0x0004;
#endif
    DWORD mode = 0;
    return GetConsoleMode(static_cast<HANDLE>(handle), &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

console_screen::console_screen(void* handle, io::text_output& output)
    : handle_(handle), output_(output), console_(kind_of(handle) == device_kind::console) {}

bool console_screen::query(qel::ColourAttribute& attribute) {
    if (!console_) return false;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(static_cast<HANDLE>(handle_), &info)) return false;
    attribute = info.wAttributes;
    return true;
}

bool console_screen::apply(qel::ColourAttribute attribute) {
    if (!console_) return false;
    output_.flush();
    return SetConsoleTextAttribute(static_cast<HANDLE>(handle_), attribute) != 0;
}

}  // namespace platform
