#include "print/colour_writer.h"

#include "print/console_writer.h"
#include "print/escape_writer.h"

namespace huecast {

std::unique_ptr<colour_writer> make_colour_writer(const output_policy& policy, io::text_output& output,
                                                  qel::console_device* console) {
    switch (policy.colour) {
        case colour_method::escapes:
            return std::make_unique<escape_writer>(output, policy.depth);
        case colour_method::console_attributes:
            if (console != nullptr) {
                return std::make_unique<console_writer>(*console, policy.console_escapes ? &output : nullptr,
                                                        policy.depth);
            }
            break;
        case colour_method::none:
            break;
    }
    return std::make_unique<no_colour_writer>();
}

}  // namespace huecast
