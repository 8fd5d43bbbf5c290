// How colour reaches the output. The printer says which colour the text written next is
// in; a writer puts that into the byte stream (escape sequences), onto the console (its
// attribute service) or nowhere. Changes happen inside a scope: `begin` remembers the
// colour in force, `restore` goes back to it, `end` goes back once more and closes the scope.
#pragma once

#include <memory>
#include <new>

#include "colour/colour.h"
#include "colour/colour_policy.h"
#include "io/text_output.h"
#include "qel/console_color.h"

namespace huecast {

class colour_writer {
public:
    virtual ~colour_writer() = default;
    virtual void begin() = 0;
    // Text written next is shown in `colour`.
    virtual void set(text_colour colour) = 0;
    // Text written next is shown in the colour `begin` found.
    virtual void restore() = 0;
    virtual void end() = 0;
};

// A scope of colour changes: begun when made, ended when destroyed, also by an exception,
// so that no colour outlives it. The output always has room for the sequence that ends it
// (text_output keeps it); only passing it on may run out of memory, and then it waits in the
// output for the last flush.
class colour_scope {
public:
    explicit colour_scope(colour_writer& writer) : writer_(writer) { writer_.begin(); }
    ~colour_scope() {
        try {
            writer_.end();
        } catch (const std::bad_alloc&) {
        }
    }
    colour_scope(const colour_scope&) = delete;
    colour_scope& operator=(const colour_scope&) = delete;

    void set(text_colour colour) { writer_.set(colour); }
    void restore() { writer_.restore(); }

private:
    colour_writer& writer_;
};

// Writes no colour at all.
class no_colour_writer final : public colour_writer {
public:
    void begin() override {}
    void set(text_colour) override {}
    void restore() override {}
    void end() override {}
};

// The writer that `policy` asks for: escapes into `output` in the policy's depth, the
// attribute service of `console` (which must then be given; with escapes into `output` for
// what its word cannot show, where the policy says the console interprets them), or none.
std::unique_ptr<colour_writer> make_colour_writer(const output_policy& policy, io::text_output& output,
                                                  qel::console_device* console);

}  // namespace huecast
