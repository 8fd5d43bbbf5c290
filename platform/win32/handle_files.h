// Whole files by name on Windows, opened with their 16-bit names and read up to a limit; a
// file on disk that standard input was redirected from is refused. Where only a regular file
// will do, a folder or a device (CON) is never opened.
#pragma once

#include "file_reader.h"
#include "io/codec.h"

namespace platform {

class handle_files final : public huecast::file_reader {
public:
    // `messages` is the code page for the system's reasons. Takes the identity of standard
    // input, when it is a file on disk, now: make it before opening any file.
    explicit handle_files(const io::codec& messages);
    huecast::value_or_error<std::string, huecast::unreadable> read(std::string_view name, std::size_t limit,
                                                                   huecast::file_kind kind) override;

private:
    const io::codec& messages_;
    bool input_is_disk_file_ = false;
    unsigned long input_volume_ = 0;
    unsigned long input_index_high_ = 0;
    unsigned long input_index_low_ = 0;
};

}  // namespace platform
