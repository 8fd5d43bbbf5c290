#include "program_streams.h"

namespace huecast {

void report_error(program_streams& streams, std::string_view message) {
    std::string line = "huecast: ";
    streams.output.text_codec().encode(message, line);
    line.push_back('\n');
    streams.errors.write(line.data(), line.size());
}

}  // namespace huecast
