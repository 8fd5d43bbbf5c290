// In-memory stand-ins for the standard handles and the console, for driving the streams
// and the modes in tests.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "io/byte_stream.h"
#include "io/text_output.h"
#include "qel/console_color.h"

namespace testing_support {

// Delivers `data` in reads of at most `chunk` bytes each.
class memory_source final : public io::byte_source {
public:
    explicit memory_source(std::string data, std::size_t chunk = 1 << 20,
                           io::control_z rule = io::control_z::ends_input)
        : data_(std::move(data)), chunk_(chunk), rule_(rule) {}
    io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override {
        ++reads;
        got = std::min({capacity, chunk_, data_.size() - at_});
        if (got == 0) return io::transfer_status::end;
        data_.copy(buffer, got, at_);
        at_ += got;
        return io::transfer_status::ok;
    }
    io::control_z control_z_rule() const override { return rule_; }
    std::string error_text() const override { return "no error"; }
    void prepare_for_bulk() override { ++bulk; }
    int reads = 0;
    int bulk = 0;  // times told that a bulk copy is coming

private:
    std::string data_;
    std::size_t chunk_;
    std::size_t at_ = 0;
    io::control_z rule_;
};

// Collects what is written; after `fail_after` bytes it reports `failure`.
class memory_sink final : public io::byte_sink {
public:
    io::transfer_status write(const char* data, std::size_t size) override {
        ++writes;
        if (bytes.size() + size > fail_after) return failure;
        bytes.append(data, size);
        return io::transfer_status::ok;
    }
    std::string error_text() const override { return "disk full"; }
    void prepare_for_bulk() override { ++bulk; }
    std::string bytes;
    int writes = 0;
    int bulk = 0;
    std::size_t fail_after = static_cast<std::size_t>(-1);
    io::transfer_status failure = io::transfer_status::failed;
};

// Records every console call; a console only when `attached`.
class recording_console final : public qel::console_device {
public:
    explicit recording_console(bool attached = true, qel::ColourAttribute current = 0x07)
        : attached_(attached), current_(current) {}
    bool query(qel::ColourAttribute& attribute) override {
        calls.push_back("query");
        if (attached_) attribute = current_;
        return attached_;
    }
    bool apply(qel::ColourAttribute attribute) override {
        char text[16];
        std::snprintf(text, sizeof text, "apply %04X", attribute);
        calls.push_back(text);
        if (attached_) current_ = attribute;
        return attached_;
    }
    std::vector<std::string> calls;

private:
    bool attached_;
    qel::ColourAttribute current_;
};

// A console that shows its colour changes as markers in the text itself, as a terminal
// would: "[1F]" when an attribute takes effect, "[/]" when the saved one (0x07) comes
// back; applying the attribute already in effect shows nothing.
class marking_console final : public qel::console_device {
public:
    explicit marking_console(io::text_output& output) : output_(output) {}
    bool query(qel::ColourAttribute& attribute) override {
        attribute = saved;
        return true;
    }
    bool apply(qel::ColourAttribute attribute) override {
        if (attribute == in_effect_) return true;
        in_effect_ = attribute;
        char text[16];
        if (attribute == saved) {
            std::snprintf(text, sizeof text, "[/]");
        } else {
            std::snprintf(text, sizeof text, "[%02X]", attribute);
        }
        output_.write_control(text);
        return true;
    }
    static constexpr qel::ColourAttribute saved = 0x07;

private:
    io::text_output& output_;
    qel::ColourAttribute in_effect_ = saved;
};

}  // namespace testing_support
