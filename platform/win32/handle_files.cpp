#include "platform/win32/handle_files.h"

#include <windows.h>

#include "io/utf16.h"
#include "platform/win32/handle_streams.h"

namespace platform {
namespace {

// Closes the handle on every way out of read.
struct open_file {
    HANDLE handle;
    ~open_file() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

}  // namespace

handle_files::handle_files(const io::codec& messages) : messages_(messages) {
    // Only a file on disk has an identity to compare; a pipe or the console cannot be
    // opened by a file name anyway.
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    BY_HANDLE_FILE_INFORMATION info;
    if (input != nullptr && input != INVALID_HANDLE_VALUE && GetFileType(input) == FILE_TYPE_DISK &&
        GetFileInformationByHandle(input, &info)) {
        input_is_disk_file_ = true;
        input_volume_ = info.dwVolumeSerialNumber;
        input_index_high_ = info.nFileIndexHigh;
        input_index_low_ = info.nFileIndexLow;
    }
}

huecast::value_or_error<std::string, huecast::unreadable> handle_files::read(std::string_view name, std::size_t limit,
                                                                             huecast::file_kind kind) {
    const bool regular = kind == huecast::file_kind::regular;
    const std::u16string path = io::utf16::to_utf16(name);
    const auto* wide_path = reinterpret_cast<const wchar_t*>(path.c_str());
    if (regular) {
        // A folder would open as "access denied", and a device (CON) would open.
        const DWORD attributes = GetFileAttributesW(wide_path);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY ||
                error == ERROR_INVALID_NAME) {
                return huecast::unreadable{{}, huecast::unreadable::absent};
            }
            return huecast::unreadable{system_error_text(error, messages_)};
        }
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
            return huecast::unreadable{{}, huecast::unreadable::absent};
        }
    }
    const open_file file{CreateFileW(wide_path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) return huecast::unreadable{system_error_text(GetLastError(), messages_)};
    if (regular && GetFileType(file.handle) != FILE_TYPE_DISK) return huecast::unreadable{{}, huecast::unreadable::absent};
    BY_HANDLE_FILE_INFORMATION info;
    if (input_is_disk_file_ && GetFileInformationByHandle(file.handle, &info) &&
        info.dwVolumeSerialNumber == input_volume_ && info.nFileIndexHigh == input_index_high_ &&
        info.nFileIndexLow == input_index_low_) {
        return huecast::unreadable{{}, huecast::unreadable::standard_input};
    }
    std::string contents;
    char block[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.handle, block, sizeof block, &got, nullptr)) {
            return huecast::unreadable{system_error_text(GetLastError(), messages_)};
        }
        if (got == 0) return contents;
        if (got > limit - contents.size()) return huecast::unreadable{{}, huecast::unreadable::too_large};
        contents.append(block, got);
    }
}

}  // namespace platform
