#include <gtest/gtest.h>

#include <string>

#include "memory_streams.h"
#include "platform/posix/write_behind_sink.h"

namespace {

using testing_support::memory_sink;

TEST(WriteBehindSink, BlocksArriveWholeAndInOrderLargeOnesIncluded) {
    memory_sink target;
    std::string expected;
    {
        platform::write_behind_sink sink(target);
        for (int i = 0; i < 2000; ++i) {
            // Every 500th block is too large to copy and is written by the caller.
            const std::string block = i % 500 == 499 ? std::string(3 << 20, static_cast<char>('a' + i % 26))
                                                     : "block " + std::to_string(i) + "\n";
            ASSERT_EQ(sink.write(block.data(), block.size()), io::transfer_status::ok);
            expected += block;
        }
        EXPECT_EQ(sink.finish(), io::transfer_status::ok);
        EXPECT_EQ(target.bytes, expected) << "finish() waits for the last block";
        EXPECT_EQ(target.writes, 2000);
        const std::string tail = "tail";
        sink.write(tail.data(), tail.size());
        expected += tail;
    }
    EXPECT_EQ(target.bytes, expected) << "the destructor finishes too";
}

TEST(WriteBehindSink, AFailureIsReportedLaterAndStopsEverythingAfterIt) {
    for (const auto failure : {io::transfer_status::closed, io::transfer_status::failed}) {
        memory_sink target;
        target.fail_after = 10;
        target.failure = failure;
        platform::write_behind_sink sink(target);
        EXPECT_EQ(sink.write("12345678", 8), io::transfer_status::ok);
        EXPECT_EQ(sink.write("abcdefgh", 8), io::transfer_status::ok) << "the failure is not known yet";
        EXPECT_EQ(sink.write("ijkl", 4), failure);
        EXPECT_EQ(sink.finish(), failure);
        EXPECT_EQ(sink.error_text(), "disk full");
        EXPECT_EQ(target.bytes, "12345678");
        EXPECT_EQ(target.writes, 2) << "nothing is tried after the failed block";
    }
}

}  // namespace
