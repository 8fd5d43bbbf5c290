#include "io/codec.h"

namespace io {
namespace {

class utf8_codec final : public codec {
public:
    bool is_utf8() const override { return true; }
    void decode(std::string_view bytes, std::string& text) const override { text.append(bytes); }
    void encode(std::string_view text, std::string& bytes) const override { bytes.append(text); }

    std::size_t complete_prefix(std::string_view bytes) const override {
        const std::size_t n = bytes.size();
        // Only the last three bytes can hold the start of an unfinished sequence.
        for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
            const auto b = static_cast<unsigned char>(bytes[n - back]);
            if (utf8::is_continuation(b)) continue;
            const std::size_t length = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 1;
            return length > back ? n - back : n;
        }
        return n;
    }
};

}  // namespace

std::unique_ptr<codec> make_utf8_codec() { return std::make_unique<utf8_codec>(); }

}  // namespace io
