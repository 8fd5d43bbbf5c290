#include "program_streams.h"

#include "messages.h"

namespace huecast {

void report_error(program_streams& streams, std::string_view message) {
    messages::report(streams.errors, streams.output.text_codec(), message);
}

}  // namespace huecast
