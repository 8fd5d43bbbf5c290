#include "text_mode.h"

#include <string>

namespace huecast {

int text_mode(int argc, const char16_t* const argv[], text_colour colour, program_streams& streams) {
    std::u16string text;
    for (int i = 2; i < argc; ++i) {
        text += argv[i];
        if (i != argc - 1) text += u' ';
    }
    qel::console_color guard(streams.console, colour.attribute());
    streams.output.write(text);
    guard.restore();
    streams.output.end_line();
    return 0;
}

}  // namespace huecast
