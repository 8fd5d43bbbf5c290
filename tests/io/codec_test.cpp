#include <gtest/gtest.h>

#include <string>

#include "io/codec.h"

namespace {

std::u16string decode(const io::codec& c, std::string_view bytes) {
    std::u16string text;
    c.decode(bytes, text);
    return text;
}

std::string encode(const io::codec& c, std::u16string_view text) {
    std::string bytes;
    c.encode(text, bytes);
    return bytes;
}

std::string every_byte() {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    return all;
}

TEST(Utf8Codec, DecodesWellFormedTextIncludingPairsAboveFFFF) {
    const auto c = io::make_utf8_codec();
    EXPECT_EQ(decode(*c, "plain ASCII, long enough for the fast path"), u"plain ASCII, long enough for the fast path");
    EXPECT_EQ(decode(*c, "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0"), u"Ошибка");
    EXPECT_EQ(decode(*c, "caf\xC3\xA9 \xE2\x82\xAC"), u"café €");
    EXPECT_EQ(decode(*c, "\xF0\x9F\x98\x80!"), u"\U0001F600!");
    EXPECT_EQ(decode(*c, std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Utf8Codec, MalformedBytesBecomeLoneSurrogatesOneByOne) {
    const auto c = io::make_utf8_codec();
    EXPECT_EQ(decode(*c, "x\xFFy"), u"x\xDCFFy");
    // A truncated sequence, an overlong form, an encoded surrogate and a code point past
    // U+10FFFF: every byte of them stands for itself.
    EXPECT_EQ(decode(*c, "\xE2\x82"), u"\xDCE2\xDC82");
    EXPECT_EQ(decode(*c, "\xC0\xAF"), u"\xDCC0\xDCAF");
    EXPECT_EQ(decode(*c, "\xED\xA0\x80"), u"\xDCED\xDCA0\xDC80");
    EXPECT_EQ(decode(*c, "\xF4\x90\x80\x80"), u"\xDCF4\xDC90\xDC80\xDC80");
}

TEST(Utf8Codec, EveryByteStringRoundTrips) {
    const auto c = io::make_utf8_codec();
    const std::string all = every_byte();
    EXPECT_EQ(encode(*c, decode(*c, all)), all);
    // Pseudo-random byte soup, heavy in bytes above 0x7F.
    std::string soup;
    unsigned state = 12345;
    for (int i = 0; i < 100000; ++i) {
        state = state * 1103515245u + 12345u;
        soup.push_back(static_cast<char>((state >> 16) & 0xFF));
    }
    EXPECT_EQ(encode(*c, decode(*c, soup)), soup);
}

// ASCII runs go through 16 units at a time; a unit that is not ASCII must stop the run
// wherever it falls in or after such a block, and nothing around it may change.
TEST(Utf8Codec, ASingleNonAsciiPieceAnywhereInAsciiTextConvertsAsItDoesAlone) {
    const auto c = io::make_utf8_codec();
    const std::string ascii = "The quick brown fox jumps over the lazy dog 0123456789";
    const std::string pieces[] = {"\xC3\xA9", "\xD0\x96", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xFF", "\x80",
                                  "\xEF\xBE\x80", "\x7F"};
    for (const std::string& piece : pieces) {
        const std::u16string alone = decode(*c, piece);
        for (std::size_t at = 0; at <= 40; ++at) {
            const std::string bytes = ascii.substr(0, at) + piece + ascii.substr(at);
            const std::u16string text = decode(*c, bytes);
            const std::u16string expected =
                std::u16string(ascii.begin(), ascii.begin() + static_cast<std::ptrdiff_t>(at)) + alone +
                std::u16string(ascii.begin() + static_cast<std::ptrdiff_t>(at), ascii.end());
            ASSERT_EQ(text, expected) << "piece " << piece << " at " << at;
            ASSERT_EQ(encode(*c, text), bytes) << "piece " << piece << " at " << at;
        }
    }
    // Units whose low byte alone would pass for ASCII must not be narrowed to it.
    for (const char16_t unit : {char16_t{0x0141}, char16_t{0xFF41}, char16_t{0x0100}, char16_t{0xD800}}) {
        std::u16string text(40, u'a');
        text[21] = unit;
        const std::string bytes = encode(*c, text);
        EXPECT_EQ(bytes.substr(0, 21), std::string(21, 'a'));
        EXPECT_EQ(bytes.substr(21), encode(*c, std::u16string(1, unit)) + std::string(18, 'a'));
    }
}

TEST(Utf8Codec, UnrepresentableUnitsBecomeQuestionMarks) {
    const auto c = io::make_utf8_codec();
    // A lone high surrogate, and a lone low surrogate beyond the escaped bytes.
    EXPECT_EQ(encode(*c, u"a\xD800" u"b\xDE10" u"c\xDC41"), "a?b?cA");
    EXPECT_EQ(encode(*c, u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
}

TEST(ByteCodec, EachByteIsTheCharacterOfTheSameValue) {
    const auto c = io::make_byte_codec();
    const std::string all = every_byte();
    const std::u16string text = decode(*c, all);
    ASSERT_EQ(text.size(), 256u);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(text[static_cast<std::size_t>(b)], b);
    EXPECT_EQ(encode(*c, text), all);
    EXPECT_EQ(encode(*c, u"\x00E9x\x0100y\x4E2D"), "\xE9x?y?");
}

}  // namespace
