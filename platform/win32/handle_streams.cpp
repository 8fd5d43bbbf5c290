#include "platform/win32/handle_streams.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "io/line_ends.h"
#include "io/utf16.h"

namespace platform {
namespace {

// Large enough to be cheap, small enough for consoles that refuse very long writes.
constexpr std::size_t console_write_limit = 8192;
constexpr std::size_t transfer_limit = std::size_t{1} << 30;

// A pipe whose reader has gone: "broken", "being closed" or, from some pipe emulations,
// "not connected".
bool reader_gone(DWORD error) {
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED;
}

// Writes every byte, in pieces of at most `limit`; returns the error code, 0 on success.
DWORD write_fully(HANDLE handle, const char* data, std::size_t size, std::size_t limit) {
    while (size > 0) {
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(std::min(size, limit));
        if (!WriteFile(handle, data, piece, &written, nullptr)) {
            const DWORD error = GetLastError();
            return error != 0 ? error : ERROR_WRITE_FAULT;
        }
        if (written == 0) return ERROR_WRITE_FAULT;
        data += written;
        size -= written;
    }
    return 0;
}

}  // namespace

device_kind kind_of(void* handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return device_kind::none;
    SetLastError(0);
    const DWORD type = GetFileType(handle);
    if (type == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR) return device_kind::none;
    DWORD mode = 0;
    if (type == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode)) return device_kind::console;
    return device_kind::other;
}

std::string system_error_text(unsigned long code, const io::codec& text_codec) {
    wchar_t buffer[512] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                   buffer, 511, nullptr);
    std::string text = io::utf16::to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(buffer), n));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    if (text.empty()) text = "system error " + std::to_string(code);
    std::string bytes;
    text_codec.encode(text, bytes);
    return bytes;
}

handle_source::handle_source(void* handle, const io::codec& message_codec)
    : handle_(handle), kind_(kind_of(handle)), codec_(message_codec) {}

bool handle_source::wait_for_input(std::chrono::milliseconds patience) {
    if (kind_ != device_kind::other || GetFileType(static_cast<HANDLE>(handle_)) != FILE_TYPE_PIPE) return true;
    // A pipe has no waitable "readable" state: it is looked at again every few milliseconds.
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(static_cast<HANDLE>(handle_), nullptr, 0, nullptr, &available, nullptr)) return true;
        if (available > 0) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        Sleep(5);
    }
}

io::transfer_status handle_source::read(char* buffer, std::size_t capacity, std::size_t& got) {
    got = 0;
    // No standard input at all reads as empty input.
    if (kind_ == device_kind::none) return io::transfer_status::end;
    DWORD n = 0;
    const auto ask = static_cast<DWORD>(std::min(capacity, transfer_limit));
    if (ReadFile(static_cast<HANDLE>(handle_), buffer, ask, &n, nullptr)) {
        if (n == 0) return io::transfer_status::end;
        got = n;
        return io::transfer_status::ok;
    }
    const DWORD error = GetLastError();
    // A pipe whose writer has gone has simply ended.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return io::transfer_status::end;
    error_ = error;
    return io::transfer_status::failed;
}

handle_sink::handle_sink(void* handle, const io::codec& message_codec, bool text)
    : handle_(handle), codec_(message_codec), text_(text) {}

io::transfer_status handle_sink::write(const char* data, std::size_t size) {
    if (text_) {
        scratch_.clear();
        io::append_with_crlf(std::string_view(data, size), scratch_);
        data = scratch_.data();
        size = scratch_.size();
    }
    error_ = write_fully(static_cast<HANDLE>(handle_), data, size, transfer_limit);
    if (error_ == 0) return io::transfer_status::ok;
    return reader_gone(error_) ? io::transfer_status::closed : io::transfer_status::failed;
}

console_sink::console_sink(void* handle, const io::codec& message_codec, const code_page_codec* process_code_page,
                           unsigned console_code_page)
    : handle_(handle), codec_(message_codec), process_(process_code_page) {
    if (process_ == nullptr || console_code_page == process_->code_page()) return;
    if (console_code_page == CP_UTF8) {
        console_ = io::make_utf8_codec();
    } else if (is_usable_code_page(console_code_page)) {
        console_ = std::make_unique<code_page_codec>(console_code_page);
    }
}

io::transfer_status console_sink::write(const char* data, std::size_t size) {
    std::string_view bytes(data, size);
    if (!pending_.empty()) {
        pending_.append(data, size);
        bytes = pending_;
    }
    const std::size_t complete = process_ != nullptr ? process_->complete_prefix(bytes) : bytes.size();
    std::string_view now = bytes.substr(0, complete);
    if (console_) {
        text_.clear();
        process_->decode(now, text_);
        converted_.clear();
        console_->encode(text_, converted_);
        now = converted_;
    }
    out_.clear();
    io::append_with_crlf(now, out_);
    std::string rest(bytes.substr(complete));
    pending_.swap(rest);

    error_ = write_fully(static_cast<HANDLE>(handle_), out_.data(), out_.size(), console_write_limit);
    if (error_ == 0) return io::transfer_status::ok;
    return reader_gone(error_) ? io::transfer_status::closed : io::transfer_status::failed;
}

console_sink::~console_sink() {
    // A lead byte that never got its second byte is no character; it goes out as it came.
    if (!pending_.empty()) write_fully(static_cast<HANDLE>(handle_), pending_.data(), pending_.size(), console_write_limit);
}

std::unique_ptr<io::byte_sink> make_sink(void* handle, const io::codec& process_codec,
                                         const code_page_codec* process_code_page, bool text) {
    if (kind_of(handle) == device_kind::console) {
        return std::make_unique<console_sink>(handle, process_codec, process_code_page, GetConsoleCP());
    }
    return std::make_unique<handle_sink>(handle, process_codec, text);
}

}  // namespace platform
