#include "qel/console_color.h"

namespace qel {

console_color::console_color(console_device& device) : device_(device) {
    saved_valid_ = device_.query(saved_);
}

console_color::console_color(console_device& device, ColourAttribute attribute)
    : console_color(device) {
    set(attribute);
}

console_color::~console_color() { restore(); }

bool console_color::set(ColourAttribute attribute) { return device_.apply(attribute); }

bool console_color::restore() { return saved_valid_ && device_.apply(saved_); }

}  // namespace qel
