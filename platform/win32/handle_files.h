// Whole files by name on Windows, opened with their 16-bit names.
#pragma once

#include "file_reader.h"
#include "io/codec.h"

namespace platform {

class handle_files final : public huecast::file_reader {
public:
    // `messages` is the code page for the system's reasons.
    explicit handle_files(const io::codec& messages) : messages_(messages) {}
    huecast::value_or_error<std::string, huecast::unreadable> read(std::u16string_view name) override;

private:
    const io::codec& messages_;
};

}  // namespace platform
