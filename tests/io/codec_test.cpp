#include <gtest/gtest.h>

#include <string>

#include "io/codec.h"
#include "io/utf16.h"
#include "io/utf8.h"

namespace {

std::string decode(const io::codec& c, std::string_view bytes) {
    std::string text;
    c.decode(bytes, text);
    return text;
}

std::string encode(const io::codec& c, std::string_view text) {
    std::string bytes;
    c.encode(text, bytes);
    return bytes;
}

std::string every_byte() {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    return all;
}

std::string escaped(unsigned char byte) {
    std::string s;
    io::utf8::append_escaped_byte(s, byte);
    return s;
}

TEST(Utf8Codec, TextIsTheBytesWhateverTheyAre) {
    const auto c = io::make_utf8_codec();
    ASSERT_TRUE(c->is_utf8());
    // Well-formed text, malformed bytes (a truncated sequence, an overlong form, an encoded
    // surrogate, past U+10FFFF) and every byte: nothing is converted either way.
    for (const std::string& bytes : {std::string("caf\xC3\xA9 \xF0\x9F\x98\x80"), std::string("\xE2\x82 \xC0\xAF"),
                                     std::string("\xED\xA0\x80\xF4\x90\x80\x80"), every_byte()}) {
        EXPECT_EQ(decode(*c, bytes), bytes);
        EXPECT_EQ(encode(*c, bytes), bytes);
    }
}

TEST(ByteCodec, EachByteIsTheCharacterOfTheSameValue) {
    const auto c = io::make_byte_codec();
    const std::string all = every_byte();
    const std::string text = decode(*c, all);
    EXPECT_EQ(text.substr(0, 128), all.substr(0, 128));
    EXPECT_EQ(text.substr(128, 4), "\xC2\x80\xC2\x81");
    EXPECT_EQ(encode(*c, text), all);
    // Beyond U+00FF a question mark; an escaped byte and a byte that is no UTF-8 as themselves.
    EXPECT_EQ(encode(*c, "\xC3\xA9x\xC4\x80y\xE4\xB8\xAD" + escaped(0x81) + "\xFF"), "\xE9x?y?\x81\xFF");
}

TEST(Utf16, ConversionsKeepEveryByteAndCharacter) {
    // Characters of one to four bytes, and bytes that are no character, which go over as
    // U+DC00 + the byte and come back as escaped bytes.
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(io::utf16::to_utf16(text), u"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(io::utf16::to_utf8(io::utf16::to_utf16(text)), text);
    EXPECT_EQ(io::utf16::to_utf16(std::string("x\xFF").append(escaped(0x41))), u"x\xDCFF\xDC41");
    EXPECT_EQ(io::utf16::to_utf8(u"x\xDCFF"), std::string("x").append(escaped(0xFF)));
    EXPECT_EQ(io::utf16::to_utf8(u"\xD83D"), "\xED\xA0\xBD");  // a lone high surrogate keeps its value
}

}  // namespace
