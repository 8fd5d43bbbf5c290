// The byte layer's two ends: a source that fills a buffer and a sink that takes bytes.
// Platforms provide them over their standard handles; tests provide them in memory.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace io {

// What byte 0x1A (Ctrl-Z) is in an input. Ending a text at it is a Windows convention.
enum class control_z {
    data,        // an ordinary byte, as POSIX systems read it
    ends_input,  // a Windows file or pipe ends there: nothing after it is read
    ends_read,   // from a Windows console: a byte, and the rest of that read is dropped
};

// What a transfer came to.
enum class transfer_status {
    ok,
    end,      // no more input (end of file, or no such handle)
    closed,   // the reader of the output has gone
    failed,   // a device error; `error_text` says which
};

class byte_source {
public:
    virtual ~byte_source() = default;
    // Reads up to `capacity` bytes; `got` is 0 unless the status is ok. May block.
    virtual transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) = 0;
    virtual control_z control_z_rule() const = 0;
    // Waits at most `patience` for input; false when none has come (a read would wait), true
    // when a read would return at once, with bytes, the end or an error. True is never wrong:
    // a source that cannot tell says true, and its reads wait as they always do.
    virtual bool wait_for_input(std::chrono::milliseconds patience) {
        (void)patience;
        return true;
    }
    // True when a read never waits for another process (a disk file), so that what was
    // written need not be passed on before it. False is never wrong.
    virtual bool never_waits() const { return false; }
    virtual std::string error_text() const = 0;
    // The run is about to read the whole input through in large blocks: a chance to make
    // the way in wider. Doing nothing is always right.
    virtual void prepare_for_bulk() {}
};

class byte_sink {
public:
    virtual ~byte_sink() = default;
    // Writes all `size` bytes, or reports why not. A sink that writes later (async_sink)
    // reports a failure with the writes after it, and with finish().
    virtual transfer_status write(const char* data, std::size_t size) = 0;
    // Writes the bytes of `block` and leaves it empty: the same as write(), but a sink may
    // take the block itself and hand back another, with no copy.
    virtual transfer_status write_block(std::string& block) {
        const transfer_status status = write(block.data(), block.size());
        block.clear();
        return status;
    }
    // Waits until every byte written has gone out, and says how that went.
    virtual transfer_status finish() { return transfer_status::ok; }
    virtual std::string error_text() const = 0;
    // The run is about to write the whole input through in large blocks: a chance to make
    // the way out wider. Doing nothing is always right.
    virtual void prepare_for_bulk() {}
};

}  // namespace io
