#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <limits>
#include <new>
#include <cstdint>
#include <exception>
#include <type_traits>

#include "qel/compare.h"
#include "qel/list.h"
#include "qel/memory.h"
#include "qel/strings.h"
#include "qel/wexception.h"

namespace {

std::u16string thrown_text(void (*f)()) {
    try {
        f();
    } catch (const qel::wexception& e) {
        return e.Text();
    }
    return u"<nothing thrown>";
}

TEST(TCmpRes, FoldsEveryMagnitudeToItsSign) {
    EXPECT_EQ(qel::TCmpRes(INT_MIN).Value(), -1);
    EXPECT_EQ(qel::TCmpRes(-1).Value(), -1);
    EXPECT_EQ(qel::TCmpRes(0).Value(), 0);
    EXPECT_EQ(qel::TCmpRes(1).Value(), 1);
    EXPECT_EQ(qel::TCmpRes(INT_MAX).Value(), 1);
    EXPECT_EQ(qel::CompareNoCase(u"Ok", u"oK").Value(), 0);
    EXPECT_EQ(qel::CompareNoCase(u"abc", u"ABD").Value(), -1);
}

TEST(FailedCheck, TextsNameTheCheckAndItsPlace) {
    EXPECT_EQ(thrown_text([] { qel::FailCheck(u"::RegisterError(dtrWrongYear,txtWrongYear)", u"..\\Src\\gen\\BTmErr", 28); }),
              u"!::RegisterError(dtrWrongYear,txtWrongYear) at ..\\Src\\gen\\BTmErr line 28");
    EXPECT_EQ(thrown_text([] { qel::FailContainerCheck(qel::container_check::reserve_storage); }),
              u"Lib\\Src\\lib\\qel line 1730");
}

TEST(FailedCheck, ExceptionCopiesItsText) {
    const qel::wexception original(u"text");
    const qel::wexception copy(original);
    EXPECT_EQ(copy.Text(), u"text");
    EXPECT_NE(copy.Text().data(), original.Text().data());
    static_assert(!std::is_base_of_v<std::exception, qel::wexception>);
    static_assert(std::is_base_of_v<qel::base, qel::wexception>);
}

TEST(Heap, BlocksKnowTheirSizeAndKeepContentsWhenResized) {
    void* block = qel::MemRealloc(nullptr, 10);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(qel::MemSize(block), 10u);
    std::memcpy(block, "0123456789", 10);
    block = qel::MemRealloc(block, 100000);
    EXPECT_EQ(qel::MemSize(block), 100000u);
    EXPECT_EQ(std::memcmp(block, "0123456789", 10), 0);
    block = qel::MemRealloc(block, 3);
    EXPECT_EQ(qel::MemSize(block), 3u);
    EXPECT_EQ(std::memcmp(block, "012", 3), 0);
    EXPECT_EQ(qel::MemFree(block), 0u);

    void* empty = qel::MemAlloc(0);
    void* other = qel::MemAlloc(0);
    EXPECT_NE(empty, other);
    EXPECT_EQ(qel::MemSize(empty), 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(empty) % alignof(std::max_align_t), 0u);
    qel::MemFree(empty);
    qel::MemFree(other);
    EXPECT_EQ(qel::MemFree(nullptr), 0u);
    EXPECT_EQ(qel::MemSize(nullptr), 0u);
}

TEST(Heap, ExhaustionIsRaisedNotReturned) {
    const std::size_t too_much = std::numeric_limits<std::size_t>::max() - 4;
    EXPECT_THROW(qel::MemAlloc(too_much), std::bad_alloc);
    void* block = qel::MemAlloc(8);
    std::memcpy(block, "kept....", 8);
    EXPECT_THROW(qel::MemRealloc(block, too_much), std::bad_alloc);
    EXPECT_EQ(std::memcmp(block, "kept....", 8), 0);
    qel::MemFree(block);
}

TEST(Trim, RemovesSetCharactersFromTheEndsOnly) {
    std::u16string s = u"\r\nText\r\n in\r\n";
    qel::Trim(s, u"\r\n");
    EXPECT_EQ(s, u"Text\r\n in");

    s = u"\r\n\n\r";
    qel::Trim(s, u"\r\n");
    EXPECT_EQ(s, u"");
    qel::Trim(s, u"\r\n");
    EXPECT_EQ(s, u"");

    s = u"xxabcyy";
    qel::Trim(s, u"x", u"y");
    EXPECT_EQ(s, u"abc");
    s = u"xyabcyx";
    qel::TrimLeft(s, u"xy");
    EXPECT_EQ(s, u"abcyx");
    qel::TrimRight(s, u"x");
    EXPECT_EQ(s, u"abcy");
    qel::Trim(s, u"");
    EXPECT_EQ(s, u"abcy");
}

TEST(ReplaceAll, ScansOnceWithoutOverlapOrRescanning) {
    std::u16string s = u"%c-%c%c";
    EXPECT_EQ(qel::ReplaceAll(s, u"%c", u"<%c>"), 3u);
    EXPECT_EQ(s, u"<%c>-<%c><%c>");

    s = u"aaaa";
    EXPECT_EQ(qel::ReplaceAll(s, u"aa", u"b"), 2u);
    EXPECT_EQ(s, u"bb");

    s = u"aaa";
    EXPECT_EQ(qel::ReplaceAll(s, u"aa", u""), 1u);
    EXPECT_EQ(s, u"a");

    s = u"none here";
    EXPECT_EQ(qel::ReplaceAll(s, u"%d", u"x"), 0u);
    EXPECT_EQ(s, u"none here");
    EXPECT_EQ(qel::ReplaceAll(s, u"", u"x"), 0u);
    EXPECT_EQ(s, u"none here");
}

}  // namespace
