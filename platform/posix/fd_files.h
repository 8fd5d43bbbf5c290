// Whole files by name on POSIX: the name in the process code page, opened and read through.
#pragma once

#include "file_reader.h"
#include "io/codec.h"

namespace platform {

class fd_files final : public huecast::file_reader {
public:
    explicit fd_files(const io::codec& names) : names_(names) {}
    huecast::value_or_error<std::string, huecast::unreadable> read(std::u16string_view name) override;

private:
    const io::codec& names_;
};

}  // namespace platform
