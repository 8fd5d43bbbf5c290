// The byte layer over Windows standard handles. Files and pipes take and give bytes as
// they are; a console gets its text converted from the process code page to its own, and
// every line feed as CR LF, written at once.
#pragma once

#include <memory>
#include <string>

#include "io/byte_stream.h"
#include "io/codec.h"
#include "platform/win32/code_page_codec.h"

namespace platform {

// What a standard handle leads to, fixed when the program starts.
enum class device_kind {
    none,     // no such handle
    console,  // a console (input buffer or screen buffer)
    other,    // a disk file, a pipe, or a character device that is no console (NUL)
};

// `handle` is a HANDLE; the type is kept out of this header.
device_kind kind_of(void* handle);

// The system's text for an error code, in the process code page, without its line end.
std::string system_error_text(unsigned long code, const io::codec& text_codec);

class handle_source final : public io::byte_source {
public:
    handle_source(void* handle, const io::codec& message_codec);
    io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override;
    io::control_z control_z_rule() const override {
        return kind_ == device_kind::console ? io::control_z::ends_read : io::control_z::ends_input;
    }
    std::string error_text() const override { return system_error_text(error_, codec_); }
    // A pipe is watched for bytes to arrive; anything else says true.
    bool wait_for_input(std::chrono::milliseconds patience) override;

private:
    void* handle_;
    device_kind kind_;
    const io::codec& codec_;
    unsigned long error_ = 0;
};

// Files and pipes. With `text`, every LF is written as CR LF (for messages that do not
// pass through a text_output, which translates by itself).
class handle_sink final : public io::byte_sink {
public:
    handle_sink(void* handle, const io::codec& message_codec, bool text = false);
    io::transfer_status write(const char* data, std::size_t size) override;
    std::string error_text() const override { return system_error_text(error_, codec_); }

private:
    io::transfer_status write_all(const char* data, std::size_t size);

    void* handle_;
    const io::codec& codec_;
    const bool text_;
    std::string scratch_;
    unsigned long error_ = 0;
};

// A console screen buffer. Bytes arrive in the process code page; they are written in the
// console's code page, with each LF as CR LF. A double-byte character split between two
// writes is held back until its second byte arrives.
class console_sink final : public io::byte_sink {
public:
    // `process_code_page` is null when the process has no code page (each byte is its own
    // character), and then nothing is converted.
    console_sink(void* handle, const io::codec& message_codec, const code_page_codec* process_code_page,
                 unsigned console_code_page);
    ~console_sink() override;
    console_sink(const console_sink&) = delete;
    console_sink& operator=(const console_sink&) = delete;
    io::transfer_status write(const char* data, std::size_t size) override;
    std::string error_text() const override { return system_error_text(error_, codec_); }

private:
    void* handle_;
    const io::codec& codec_;
    const code_page_codec* process_;
    std::unique_ptr<io::codec> console_;  // null when no conversion is needed
    std::string pending_;
    std::string text_;
    std::string converted_;
    std::string out_;
    unsigned long error_ = 0;
};

// The sink for standard output or standard error: a console_sink on a console, else a
// handle_sink (with `text` as above).
std::unique_ptr<io::byte_sink> make_sink(void* handle, const io::codec& process_codec,
                                         const code_page_codec* process_code_page, bool text);

}  // namespace platform
