// The support library's root class: every library object can be destroyed through a
// `base` pointer. It has no fields; its one virtual operation is its destructor.
#pragma once

namespace qel {

class base {
public:
    base() = default;
    base(const base&) = default;
    base& operator=(const base&) = default;
    virtual ~base() = default;
};

}  // namespace qel
