#include "platform/win32/handle_files.h"

#include <windows.h>

#include "platform/win32/handle_streams.h"

namespace platform {

huecast::value_or_error<std::string, huecast::unreadable> handle_files::read(std::u16string_view name) {
    const std::wstring path(name.begin(), name.end());
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return huecast::unreadable{system_error_text(GetLastError(), messages_)};
    std::string contents;
    char block[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, block, sizeof block, &got, nullptr)) {
            const DWORD error = GetLastError();
            CloseHandle(file);
            return huecast::unreadable{system_error_text(error, messages_)};
        }
        if (got == 0) break;
        contents.append(block, got);
    }
    CloseHandle(file);
    return contents;
}

}  // namespace platform
