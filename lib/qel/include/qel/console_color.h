// The only way colour reaches the output: a guard that remembers the console attribute
// in force when it is made, applies other attributes on request, and puts the
// remembered one back on `restore()` and when it is destroyed.
#pragma once

#include "qel/base.h"
#include "qel/colour_attribute.h"

namespace qel {

// What the guard needs from the platform: where standard output goes, seen as a console.
// `query` succeeds only when that destination is a console and yields the attribute for
// text written next; `apply` changes the attribute of text written afterwards and puts
// nothing into the output when the destination is not a console.
class console_device {
public:
    virtual ~console_device() = default;
    virtual bool query(ColourAttribute& attribute) = 0;
    virtual bool apply(ColourAttribute attribute) = 0;
};

class console_color : public base {
public:
    explicit console_color(console_device& device);
    console_color(console_device& device, ColourAttribute attribute);
    console_color(const console_color&) = delete;
    console_color& operator=(const console_color&) = delete;
    ~console_color() override;

    // Applies `attribute`, the whole 16-bit word, unchecked. Returns the device's success.
    bool set(ColourAttribute attribute);
    // Applies the attribute saved at construction. When the query failed there is nothing
    // to put back, and nothing is applied.
    bool restore();
    // The attribute saved at construction, when the query succeeded.
    bool saved(ColourAttribute& attribute) const {
        if (saved_valid_) attribute = saved_;
        return saved_valid_;
    }

private:
    console_device& device_;
    ColourAttribute saved_ = 0;
    bool saved_valid_ = false;
};

}  // namespace qel
