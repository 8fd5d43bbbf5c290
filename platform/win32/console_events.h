// Ctrl-C, Ctrl-Break and closing the console window never leave colour behind: the console
// attribute in effect when the program started is put back before the system ends it.
#pragma once

namespace platform {

// `console` is standard output's HANDLE, a console screen buffer; does nothing when its
// attribute cannot be read.
void restore_attribute_on_console_events(void* console);

}  // namespace platform
