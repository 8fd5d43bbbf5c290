// The Windows console's text-attribute service behind the colour guard. Text written so
// far is flushed to the console before every attribute change, so each change falls
// exactly between the characters it separates. When standard output is no console the
// query fails and nothing is applied or flushed.
#pragma once

#include "io/text_output.h"
#include "qel/console_color.h"

namespace platform {

// Whether the console behind `handle` interprets escape sequences (virtual-terminal
// processing on, as a terminal program or the user set it). The console's mode belongs to
// every program on it and to the shell after them, so it is read here and never changed.
bool interprets_escapes(void* handle);

class console_screen final : public qel::console_device {
public:
    // `handle` is standard output's HANDLE; `output` writes to the same handle.
    console_screen(void* handle, io::text_output& output);
    bool query(qel::ColourAttribute& attribute) override;
    bool apply(qel::ColourAttribute attribute) override;

private:
    void* handle_;
    io::text_output& output_;
    const bool console_;
};

}  // namespace platform
