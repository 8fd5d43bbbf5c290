#include "platform/win32/windows_shelf.h"

#include <windows.h>

#include <cwchar>
#include <string>

#include "io/utf16.h"
#include "platform/win32/handle_streams.h"

namespace platform {
namespace {

std::string of_wide(const wchar_t* text, std::size_t size) {
    return io::utf16::to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), size));
}

std::u16string wide(std::string_view text) { return io::utf16::to_utf16(text); }

std::string application_data() {
    wchar_t value[MAX_PATH + 1];
    const DWORD n = GetEnvironmentVariableW(L"APPDATA", value, MAX_PATH + 1);
    return n == 0 || n > MAX_PATH ? std::string() : of_wide(value, n);
}

std::string program_folder() {
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size()) return {};
    path.resize(n);
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::string() : of_wide(path.data(), separator);
}

}  // namespace

std::vector<std::string> windows_shelf::directories() const {
    std::vector<std::string> found;
    if (const std::string data = application_data(); !data.empty()) found.push_back(data + "\\huecast");
    if (const std::string folder = program_folder(); !folder.empty()) found.push_back(folder + "\\filters");
    return found;
}

huecast::value_or_error<std::vector<std::string>, huecast::unlisted> windows_shelf::sets_in(
    std::string_view directory) const {
    std::vector<std::string> names;
    const std::u16string pattern = wide(std::string(directory) + "\\*" + std::string(huecast::set_suffix));
    WIN32_FIND_DATAW entry{};
    const HANDLE listing = FindFirstFileW(reinterpret_cast<const wchar_t*>(pattern.c_str()), &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY) return names;
        return huecast::unlisted{system_error_text(error, *io::make_utf8_codec())};
    }
    do {
        if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) continue;
        const std::string name = of_wide(entry.cFileName, std::wcslen(entry.cFileName));
        // The pattern also matches longer extensions that begin with ".filters" (8.3 names).
        if (name.size() <= huecast::set_suffix.size() || !name.ends_with(huecast::set_suffix)) continue;
        // A link is a set only where it leads to a file.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            const std::u16string path = wide(std::string(directory) + "\\" + name);
            const DWORD target = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.c_str()));
            if (target == INVALID_FILE_ATTRIBUTES || (target & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        }
        names.push_back(name.substr(0, name.size() - huecast::set_suffix.size()));
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
    return names;
}

std::optional<std::string> windows_shelf::set_file(std::string_view directory, std::string_view name) const {
    // What a listing would never give: a name that leads out of the folder or onto a stream.
    if (name.empty() || name.find_first_of("\\/:") != std::string_view::npos) return std::nullopt;
    return std::string(directory) + "\\" + std::string(name) + std::string(huecast::set_suffix);
}

}  // namespace platform
