#include "io/codec.h"

namespace io {
namespace {

class byte_codec final : public codec {
public:
    void decode(std::string_view bytes, std::string& text) const override {
        text.reserve(text.size() + bytes.size());
        for (const char b : bytes) utf8::append_code_point(text, static_cast<unsigned char>(b));
    }

    void encode(std::string_view text, std::string& bytes) const override {
        encode_with(text, bytes, [&](std::uint32_t cp) {
            bytes.push_back(cp <= 0xFF ? static_cast<char>(cp) : substitute_byte);
        });
    }
};

}  // namespace

std::unique_ptr<codec> make_byte_codec() { return std::make_unique<byte_codec>(); }

}  // namespace io
