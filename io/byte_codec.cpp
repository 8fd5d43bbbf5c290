#include "io/codec.h"

namespace io {
namespace {

class byte_codec final : public codec {
public:
    void decode(std::string_view bytes, std::u16string& text) const override {
        const std::size_t start = text.size();
        text.resize(start + bytes.size());
        char16_t* out = text.data() + start;
        for (const char b : bytes) *out++ = static_cast<unsigned char>(b);
    }

    void encode(std::u16string_view text, std::string& bytes) const override {
        const std::size_t start = bytes.size();
        bytes.resize(start + text.size());
        char* out = bytes.data() + start;
        for (const char16_t c : text) {
            if (c <= 0xFF) {
                *out++ = static_cast<char>(c);
            } else if (is_escaped_byte(c)) {
                // A byte that another code page could not decode goes back as itself, as every codec does.
                *out++ = byte_of_escape(c);
            } else {
                *out++ = substitute_byte;
            }
        }
    }
};

}  // namespace

std::unique_ptr<codec> make_byte_codec() { return std::make_unique<byte_codec>(); }

}  // namespace io
