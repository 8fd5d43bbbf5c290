// In-memory ends for driving filter mode in tests: the shared input and output stand-ins,
// and a console that records every attribute it is asked to apply, marking the spot in the
// output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "memory_streams.h"
#include "io/text_output.h"
#include "qel/console_color.h"

namespace huecast::testing {

using testing_support::memory_sink;
using testing_support::memory_source;

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
