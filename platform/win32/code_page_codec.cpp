#include "platform/win32/code_page_codec.h"

#include <windows.h>

#include <cstring>

#include "io/utf16.h"
#include "io/utf8.h"

namespace platform {
namespace {

constexpr DWORD decode_flags = MB_PRECOMPOSED | MB_ERR_INVALID_CHARS;
// No code page decodes to a lone surrogate, so one can mark a pair that is no character,
// and a byte that is none.
constexpr char16_t no_character = 0xDBFF;

using io::utf16::is_surrogate;

// The one character of `bytes` in `code_page`, or no_character when they are not exactly
// one, or when the code page writes that character otherwise (a best-fit mapping).
char16_t decode_one(unsigned code_page, const char* bytes, int size) {
    wchar_t out[2];
    if (MultiByteToWideChar(code_page, decode_flags, bytes, size, out, 2) != 1) return no_character;
    const auto c = static_cast<char16_t>(out[0]);
    if (is_surrogate(c)) return no_character;
    char back[4];
    BOOL defaulted = FALSE;
    const int n = WideCharToMultiByte(code_page, 0, out, 1, back, sizeof back, nullptr, &defaulted);
    return n == size && !defaulted && std::memcmp(back, bytes, static_cast<std::size_t>(size)) == 0 ? c : no_character;
}

}  // namespace

bool is_usable_code_page(unsigned code_page) {
    return code_page != 0 && code_page != CP_UTF7 && code_page != CP_UTF8 && IsValidCodePage(code_page) != 0;
}

code_page_codec::code_page_codec(unsigned code_page) : code_page_(code_page) {
    CPINFO info{};
    if (GetCPInfo(code_page, &info) && info.MaxCharSize == 2) {
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
            for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1] && b < 256; ++b) lead_bytes_.set(b);
        }
        double_byte_ = lead_bytes_.any();
    }

    for (unsigned b = 0; b < 256; ++b) {
        if (lead_bytes_[b]) continue;
        const char byte = static_cast<char>(b);
        const char16_t c = decode_one(code_page, &byte, 1);
        single_[b] = c;
        std::string text;
        if (c == no_character) {
            io::utf8::append_escaped_byte(text, static_cast<unsigned char>(b));
        } else {
            io::utf8::append_code_point(text, c);
        }
        single_text_[b].length = static_cast<std::uint8_t>(text.size());
        std::copy(text.begin(), text.end(), single_text_[b].bytes.begin());
    }

    if (double_byte_) {
        pairs_.assign(lead_bytes_.count() * 256, no_character);
        std::uint8_t next = 0;
        for (unsigned lead = 0; lead < 256; ++lead) {
            if (!lead_bytes_[lead]) continue;
            pair_index_[lead] = next;
            for (unsigned trail = 1; trail < 256; ++trail) {
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pairs_[next * 256u + trail] = decode_one(code_page, pair, 2);
            }
            ++next;
        }
    }
}

void code_page_codec::decode(std::string_view bytes, std::string& text) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    text.reserve(text.size() + n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (b < 0x80 && single_[b] == b) {
            text.push_back(static_cast<char>(b));
            continue;
        }
        if (!lead_bytes_[b]) {
            text.append(single_text_[b].bytes.data(), single_text_[b].length);
            continue;
        }
        // A lead byte whose pair is no character stands alone, and the byte after it is read
        // afresh, so that both come back unchanged when the text is written.
        const char16_t c = i + 1 < n ? pair(b, p[i + 1]) : no_character;
        if (c == no_character) {
            io::utf8::append_escaped_byte(text, b);
        } else {
            io::utf8::append_code_point(text, c);
            ++i;
        }
    }
}

std::size_t code_page_codec::complete_prefix(std::string_view bytes) const {
    if (!double_byte_) return bytes.size();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        if (!lead_bytes_[p[i]]) {
            ++i;
        } else if (i + 1 == n) {
            return i;
        } else {
            i += pair(p[i], p[i + 1]) == no_character ? 1 : 2;
        }
    }
    return n;
}

void code_page_codec::encode(std::string_view text, std::string& bytes) const {
    // Runs of characters go to the system together; ASCII, what is no character of the text,
    // and what no code page here holds (beyond U+FFFF) go between the runs as they are.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::u16string run;
    const auto pass_run = [&] {
        encode_run(run, bytes);
        run.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        if (p[i] < 0x80 && single_[p[i]] == p[i]) {
            pass_run();
            bytes.push_back(static_cast<char>(p[i++]));
            continue;
        }
        unsigned char byte = 0;
        if (io::utf8::escaped_byte_at(text, i, byte)) {
            pass_run();
            bytes.push_back(static_cast<char>(byte));
            i += io::utf8::escaped_byte_length;
            continue;
        }
        const std::size_t n = io::utf8::sequence_length(p + i, text.size() - i);
        if (n == 0) {
            pass_run();
            bytes.push_back(text[i++]);
            continue;
        }
        const std::uint32_t cp = io::utf8::code_point(p + i, n);
        i += n;
        if (cp > 0xFFFF) {
            pass_run();
            bytes.push_back(io::substitute_byte);
        } else {
            run.push_back(static_cast<char16_t>(cp));
        }
    }
    pass_run();
}

void code_page_codec::encode_run(std::u16string_view run, std::string& bytes) const {
    static const char default_char[] = {io::substitute_byte, '\0'};
    // The conversion counts in int; a run is converted in pieces well below that.
    constexpr std::size_t piece = std::size_t{1} << 24;
    while (!run.empty()) {
        const std::u16string_view part = run.substr(0, piece);
        run.remove_prefix(part.size());
        const std::size_t start = bytes.size();
        const std::size_t room = part.size() * (double_byte_ ? 2 : 1);
        bytes.resize(start + room);
        const int written = WideCharToMultiByte(code_page_, 0, reinterpret_cast<const wchar_t*>(part.data()),
                                                static_cast<int>(part.size()), bytes.data() + start,
                                                static_cast<int>(room), default_char, nullptr);
        bytes.resize(start + static_cast<std::size_t>(written > 0 ? written : 0));
    }
}

}  // namespace platform
