// Colour through a console's text-attribute service, by way of the support library's
// guard: `begin` saves the console's attribute, `set` applies a colour's attribute word,
// `restore` and `end` apply the saved word again.
#pragma once

#include <optional>

#include "print/colour_writer.h"
#include "qel/console_color.h"

namespace huecast {

class console_writer final : public colour_writer {
public:
    explicit console_writer(qel::console_device& console) : console_(console) {}
    void begin() override { guard_.emplace(console_); }
    void set(text_colour colour) override { guard_->set(colour.attribute()); }
    void restore() override { guard_->restore(); }
    void end() override { guard_.reset(); }

private:
    qel::console_device& console_;
    std::optional<qel::console_color> guard_;
};

}  // namespace huecast
