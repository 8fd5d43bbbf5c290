#include "internal_error.h"

#include <exception>

#include "io/utf16.h"
#include "qel/wexception.h"

namespace huecast {

std::string current_exception_text(const io::codec& codec) {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (const qel::wexception& e) {
        std::string text;
        codec.encode(io::utf16::to_utf8(e.Text()), text);
        return text;
    } catch (...) {
        return "unknown exception";
    }
}

}  // namespace huecast
