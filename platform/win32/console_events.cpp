#include "platform/win32/console_events.h"

#include <windows.h>

namespace platform {
namespace {

// Set before the handler is installed; the handler, on a thread of its own, only reads them.
HANDLE screen = nullptr;
WORD attribute_at_start = 0;

BOOL WINAPI on_console_event(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        SetConsoleTextAttribute(screen, attribute_at_start);
    }
    // Not handled: the system's own handler ends the process as it would have.
    return FALSE;
}

}  // namespace

void restore_attribute_on_console_events(void* console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(static_cast<HANDLE>(console), &info)) return;
    screen = static_cast<HANDLE>(console);
    attribute_at_start = info.wAttributes;
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

}  // namespace platform
