#include "text_mode.h"

#include <string>

namespace huecast {

exit_code text_mode(int argc, const char16_t* const argv[], text_colour colour, program_streams& streams) {
    std::u16string text;
    for (int i = 2; i < argc; ++i) {
        text += argv[i];
        if (i != argc - 1) text += u' ';
    }
    const std::unique_ptr<colour_writer> colours = make_colour_writer(streams);
    colour_scope scope(*colours);
    scope.set(colour);
    streams.output.write(text);
    scope.restore();
    streams.output.end_line();
    return exit_code::done;
}

}  // namespace huecast
