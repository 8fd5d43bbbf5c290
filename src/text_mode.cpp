#include "text_mode.h"

#include <string>

namespace huecast {

exit_code text_mode(std::span<const char* const> words, text_colour colour, program_streams& streams) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i != 0) text += ' ';
        text += words[i];
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
