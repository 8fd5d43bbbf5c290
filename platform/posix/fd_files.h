// Whole files by name on POSIX: the name in the process code page, opened and read through,
// up to a limit; a file that is standard input itself is refused. Where only a regular file
// will do, the open never waits and never takes a terminal as the controlling one.
#pragma once

#include <sys/types.h>

#include "file_reader.h"
#include "io/codec.h"

namespace platform {

class fd_files final : public huecast::file_reader {
public:
    // Takes standard input's identity now: make it before opening any file, so that a file
    // opened on a closed descriptor 0 is not taken for standard input, nor standard input
    // for another file.
    explicit fd_files(const io::codec& names);
    huecast::value_or_error<std::string, huecast::unreadable> read(std::string_view name, std::size_t limit,
                                                                   huecast::file_kind kind) override;

private:
    const io::codec& names_;
    bool has_input_ = false;  // false when standard input was closed
    dev_t input_device_ = 0;
    ino_t input_inode_ = 0;
};

}  // namespace platform
