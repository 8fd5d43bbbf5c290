#include "platform/posix/iconv_codec.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/utf8.h"

namespace platform {
namespace {

// A code point that a text can carry: no surrogate, nothing past U+10FFFF.
constexpr bool is_scalar_value(std::uint32_t cp) { return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF); }

// Text on the code points' side of iconv: UTF-32, little-endian whatever the machine.
constexpr const char* code_points = "UTF-32LE";

// What a run of bytes at the front of a text is.
struct unit {
    enum kind_t : std::uint8_t {
        unknown,    // not yet asked
        character,  // `length` bytes that are the UTF-8 text in `text`
        foreign,    // `length` bytes that iconv reads as a character that does not round-trip
        invalid,    // the first byte starts no character
        longer,     // these bytes begin a character and need more than there are
    };
    kind_t kind = unknown;
    std::uint8_t length = 0;
    std::uint8_t text_length = 0;
    std::array<char, 8> text{};
};

// A code point's bytes on their own; `length` 0 when the set has no such character.
struct encoded {
    static constexpr std::size_t most = 7;
    std::uint8_t length = 0;
    bool known = false;
    std::array<char, most> bytes{};
};

class iconv_codec final : public io::codec {
public:
    iconv_codec(iconv_t to_text, iconv_t to_bytes, std::size_t longest)
        : to_text_(to_text), to_bytes_(to_bytes), longest_(longest) {}
    ~iconv_codec() override {
        iconv_close(to_text_);
        iconv_close(to_bytes_);
    }
    iconv_codec(const iconv_codec&) = delete;
    iconv_codec& operator=(const iconv_codec&) = delete;

    void decode(std::string_view bytes, std::string& text) const override;
    void encode(std::string_view text, std::string& bytes) const override;
    std::size_t complete_prefix(std::string_view bytes) const override;

private:
    const unit& unit_at(const unsigned char* p, std::size_t left) const;
    unit classify(const unsigned char* p, std::size_t length) const;
    const encoded& encoding_of(std::uint32_t cp) const;
    encoded encode_alone(std::uint32_t cp) const;

    iconv_t to_text_;
    iconv_t to_bytes_;
    std::size_t longest_;
    // Filled as the text asks for them: the first byte of a character, the first two, and
    // longer runs (rare: a third or fourth byte), keyed by their bytes.
    mutable std::array<unit, 256> singles_{};
    mutable std::array<std::unique_ptr<std::array<unit, 256>>, 256> pairs_{};
    mutable std::unordered_map<std::uint64_t, unit> longer_;  // by length, then bytes
    mutable std::vector<encoded> plane0_;  // by code point, made on the first need
    mutable std::unordered_map<std::uint32_t, encoded> beyond_plane0_;
};

// Runs `cd` over [in, in + size) from its initial state and flushes whatever it held back;
// the iconv error (EILSEQ, EINVAL) or 0, and the output in `out`.
int convert_alone(iconv_t cd, const char* in, std::size_t size, char* out, std::size_t room, std::size_t& produced) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* from = const_cast<char*>(in);
    std::size_t from_left = size;
    char* to = out;
    std::size_t to_left = room;
    int error = 0;
    if (iconv(cd, &from, &from_left, &to, &to_left) == static_cast<std::size_t>(-1)) error = errno;
    if (error == 0 && iconv(cd, nullptr, nullptr, &to, &to_left) == static_cast<std::size_t>(-1)) error = errno;
    // Only an output larger than any character can leave input unread without an error.
    if (error == 0 && from_left != 0) error = EILSEQ;
    produced = room - to_left;
    return error;
}

encoded iconv_codec::encode_alone(std::uint32_t cp) const {
    const char in[4] = {static_cast<char>(cp), static_cast<char>(cp >> 8), static_cast<char>(cp >> 16),
                        static_cast<char>(cp >> 24)};
    encoded e;
    e.known = true;
    std::size_t produced = 0;
    if (convert_alone(to_bytes_, in, sizeof in, e.bytes.data(), e.bytes.size(), produced) == 0 && produced > 0) {
        e.length = static_cast<std::uint8_t>(produced);
    }
    return e;
}

const encoded& iconv_codec::encoding_of(std::uint32_t cp) const {
    if (cp <= 0xFFFF) {
        if (plane0_.empty()) plane0_.resize(0x10000);
        encoded& e = plane0_[cp];
        if (!e.known) e = encode_alone(cp);
        return e;
    }
    auto [at, added] = beyond_plane0_.try_emplace(cp);
    if (added) at->second = encode_alone(cp);
    return at->second;
}

unit iconv_codec::classify(const unsigned char* p, std::size_t length) const {
    unit u;
    u.length = static_cast<std::uint8_t>(length);
    char out[64];
    std::size_t produced = 0;
    const int error = convert_alone(to_text_, reinterpret_cast<const char*>(p), length, out, sizeof out, produced);
    if (error == EINVAL) {
        u.kind = unit::longer;
        return u;
    }
    if (error != 0) {
        u.kind = unit::invalid;
        return u;
    }
    // The code points, each encoded alone, must give back these bytes; and they must fit.
    u.kind = unit::foreign;
    std::string back;
    std::string text;
    // At most two characters of the Basic Multilingual Plane or one beyond it, and a single
    // byte stands for one character alone.
    constexpr std::size_t most_units = 2;
    std::size_t units = 0;
    for (std::size_t i = 0; i + 4 <= produced; i += 4) {
        const auto byte = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(out[i + k])); };
        const std::uint32_t cp = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
        if (!is_scalar_value(cp)) return u;
        if (cp < 0x80) {
            back.push_back(static_cast<char>(cp));
        } else {
            const encoded& e = encoding_of(cp);
            if (e.length == 0) return u;
            back.append(e.bytes.data(), e.length);
        }
        units += cp > 0xFFFF ? 2 : 1;
        if (units > most_units) return u;
        io::utf8::append_code_point(text, cp);
    }
    if (units == 0 || back != std::string_view(reinterpret_cast<const char*>(p), length) ||
        (length == 1 && units != 1)) {
        return u;
    }
    u.kind = unit::character;
    u.text_length = static_cast<std::uint8_t>(text.size());
    std::copy(text.begin(), text.end(), u.text.begin());
    return u;
}

// The unit at p, of the `left` bytes there: `longer` only when they run out before the
// character ends.
const unit& iconv_codec::unit_at(const unsigned char* p, std::size_t left) const {
    static const unit no_character{unit::invalid, 1, 0, {}};
    unit& single = singles_[p[0]];
    if (single.kind == unit::unknown) single = classify(p, 1);
    if (single.kind != unit::longer) return single;
    if (longest_ < 2) return no_character;
    if (left < 2) return single;
    auto& row = pairs_[p[0]];
    if (row == nullptr) row = std::make_unique<std::array<unit, 256>>();
    unit& pair = (*row)[p[1]];
    if (pair.kind == unit::unknown) pair = classify(p, 2);
    if (pair.kind != unit::longer || left == 2) return pair;
    std::uint64_t key = static_cast<std::uint64_t>(p[0]) << 8 | p[1];
    for (std::size_t length = 3; length <= longest_ && length <= 6 && length <= left; ++length) {
        key = key << 8 | p[length - 1];
        auto [at, added] = longer_.try_emplace(static_cast<std::uint64_t>(length) << 56 | key);
        if (added) at->second = classify(p, length);
        if (at->second.kind != unit::longer || length == left) return at->second;
    }
    return no_character;
}

std::size_t iconv_codec::complete_prefix(std::string_view bytes) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const unit& u = unit_at(p + i, n - i);
        if (u.kind == unit::longer) return i;
        i += u.kind == unit::invalid ? 1 : u.length;
    }
    return n;
}

void iconv_codec::decode(std::string_view bytes, std::string& text) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    text.reserve(text.size() + n);
    std::size_t i = 0;
    while (i < n) {
        // A byte below 0x80 that starts a character is that ASCII character, whatever the
        // set's table says: SHIFT_JIS tables read 0x5C as the yen sign and 0x7E as an
        // overline, which would leave a filter no backslash to escape with, and text typed
        // and shown as "\" and "~" would match neither. Windows reads these two bytes as
        // ASCII in its Japanese code page too.
        if (p[i] < 0x80) {
            const std::size_t ascii = io::utf8::ascii_end(bytes, i + 1);
            text.append(bytes.data() + i, ascii - i);
            i = ascii;
            continue;
        }
        const unit& u = unit_at(p + i, n - i);
        switch (u.kind) {
            case unit::character:
                text.append(u.text.data(), u.text_length);
                i += u.length;
                break;
            case unit::foreign:
                // The bytes of a character that would not come back: each stands for itself.
                for (std::size_t k = 0; k < u.length; ++k) io::utf8::append_escaped_byte(text, p[i + k]);
                i += u.length;
                break;
            default:  // no character, or one cut short by the end of the bytes
                io::utf8::append_escaped_byte(text, p[i++]);
                break;
        }
    }
}

void iconv_codec::encode(std::string_view text, std::string& bytes) const {
    bytes.reserve(bytes.size() + text.size());
    io::encode_with(text, bytes, [&](std::uint32_t cp) {
        const encoded& e = encoding_of(cp);
        if (e.length == 0) {
            bytes.push_back(io::substitute_byte);
        } else {
            bytes.append(e.bytes.data(), e.length);
        }
    });
}

}  // namespace

std::unique_ptr<io::codec> make_iconv_codec(const char* charset, std::size_t longest) {
    const iconv_t no_conversion = reinterpret_cast<iconv_t>(-1);
    const iconv_t to_text = iconv_open(code_points, charset);
    if (to_text == no_conversion) return nullptr;
    const iconv_t to_bytes = iconv_open(charset, code_points);
    if (to_bytes == no_conversion) {
        iconv_close(to_text);
        return nullptr;
    }
    return std::make_unique<iconv_codec>(to_text, to_bytes, longest == 0 ? 1 : longest);
}

}  // namespace platform
