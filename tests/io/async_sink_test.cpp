#include "io/async_sink.h"

#include <gtest/gtest.h>

#include <string>

#include "memory_streams.h"

namespace {

using testing_support::memory_sink;

// Before a bulk is announced writes go straight through; after it, on the thread, in order,
// whole, and finish() waits for them; the first failure stops what follows and is reported
// by the later writes and by finish().
TEST(AsyncSink, WritesInOrderOnItsThreadAndKeepsTheFirstFailure) {
    constexpr std::size_t never = static_cast<std::size_t>(-1);
    for (const std::size_t fail_after : {never, std::size_t{5000}}) {
        memory_sink target;
        target.fail_after = fail_after;
        int thread_started = 0, thread_ending = 0;
        std::string expected;
        {
            io::async_sink sink(target, {[&] { ++thread_started; }, [&] { ++thread_ending; }});
            ASSERT_EQ(sink.write("head ", 5), io::transfer_status::ok);
            EXPECT_EQ(target.bytes, "head ") << "no thread before the bulk";
            sink.prepare_for_bulk();
            expected = "head ";
            for (int i = 0; i < 1000; ++i) {
                std::string block = "block " + std::to_string(i) + ";";
                if (i % 2 == 0) {
                    sink.write(block.data(), block.size());
                } else {
                    std::string taken = block;
                    sink.write_block(taken);
                    EXPECT_TRUE(taken.empty());
                }
                expected += block;
            }
            const io::transfer_status finished = sink.finish();
            if (fail_after == never) {
                EXPECT_EQ(finished, io::transfer_status::ok);
                EXPECT_EQ(target.bytes, expected);
            } else {
                EXPECT_EQ(finished, io::transfer_status::failed);
                EXPECT_EQ(sink.write("x", 1), io::transfer_status::failed);
                EXPECT_EQ(sink.error_text(), "disk full");
                EXPECT_LE(target.bytes.size(), fail_after);
                EXPECT_EQ(target.bytes, expected.substr(0, target.bytes.size()));
            }
        }
        EXPECT_EQ(thread_started, 1);
        EXPECT_EQ(thread_ending, 1);
    }
}

}  // namespace
