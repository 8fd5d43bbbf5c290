// What the micro benchmarks share: the sample log they run on, split into lines, and byte
// ends that cost as little as possible (a source that serves one buffer without copying it
// first, a sink that counts and drops), so that the figures are the streams' own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_stream.h"

namespace bench {

// The sample log (UTF-8), loaded once by main from the file given with --log=PATH.
const std::string& sample_log();
// Its lines without their line feeds, pointing into sample_log().
const std::vector<std::string_view>& sample_lines();
// The filter file given with --filters=PATH (a rule file of the --file form, its first four
// filters the README's four), or empty.
const std::string& filter_file();

// Serves `data` in reads of at most `chunk` bytes; rewind() starts it over.
class view_source final : public io::byte_source {
public:
    explicit view_source(std::string_view data, std::size_t chunk = 1 << 20) : data_(data), chunk_(chunk) {}
    io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override {
        got = std::min({capacity, chunk_, data_.size() - at_});
        if (got == 0) return io::transfer_status::end;
        data_.copy(buffer, got, at_);
        at_ += got;
        return io::transfer_status::ok;
    }
    io::control_z control_z_rule() const override { return io::control_z::data; }
    std::string error_text() const override { return {}; }
    void rewind() { at_ = 0; }

private:
    std::string_view data_;
    std::size_t chunk_;
    std::size_t at_ = 0;
};

// Counts what is written and drops it; the checksum keeps the writes observable.
class counting_sink final : public io::byte_sink {
public:
    io::transfer_status write(const char* data, std::size_t size) override {
        bytes += size;
        if (size > 0) checksum += static_cast<unsigned char>(data[size - 1]);
        return io::transfer_status::ok;
    }
    std::string error_text() const override { return {}; }
    std::size_t bytes = 0;
    std::size_t checksum = 0;
};

}  // namespace bench
