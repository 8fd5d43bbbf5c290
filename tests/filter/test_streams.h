// In-memory ends for driving filter mode in tests: input bytes that count how often they
// are read, output bytes collected in a string, and a console that records every attribute
// it is asked to apply, marking the spot in the output.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "io/byte_stream.h"
#include "io/text_output.h"
#include "qel/console_color.h"

namespace huecast::testing {

class memory_source final : public io::byte_source {
public:
    explicit memory_source(std::string bytes) : bytes_(std::move(bytes)) {}
    io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override {
        ++reads;
        got = std::min(capacity, bytes_.size() - at_);
        if (got == 0) return io::transfer_status::end;
        bytes_.copy(buffer, got, at_);
        at_ += got;
        return io::transfer_status::ok;
    }
    bool is_console() const override { return false; }
    std::string error_text() const override { return {}; }

    int reads = 0;

private:
    std::string bytes_;
    std::size_t at_ = 0;
};

class memory_sink final : public io::byte_sink {
public:
    io::transfer_status write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        return io::transfer_status::ok;
    }
    std::string error_text() const override { return {}; }

    std::string bytes;
};

// Saved attribute 0x07. Each apply puts "{XX}" (the attribute in hex) into the output, so
// a test sees exactly where colours change between pieces of text.
class recording_console final : public qel::console_device {
public:
    explicit recording_console(io::text_output& output) : output_(output) {}
    bool query(qel::ColourAttribute& attribute) override {
        attribute = saved;
        return true;
    }
    bool apply(qel::ColourAttribute attribute) override {
        applied.push_back(attribute);
        char mark[16];
        std::snprintf(mark, sizeof mark, "{%02X}", static_cast<unsigned>(attribute));
        output_.write_control(mark);
        return true;
    }

    static constexpr qel::ColourAttribute saved = 0x07;
    std::vector<qel::ColourAttribute> applied;

private:
    io::text_output& output_;
};

}  // namespace huecast::testing
