// The Windows entry: the OEM code page as the process code page, the 16-bit arguments as
// the runtime split them (in UTF-8), the standard handles, files, the shelf of sets and the
// way to commands, and the console, whose colour is put back on Ctrl-C. The rest is the
// portable run.
#include <windows.h>

#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exit_code.h"
#include "internal_error.h"
#include "io/utf16.h"
#include "messages.h"
#include "out_of_memory.h"
#include "platform/win32/code_page_codec.h"
#include "platform/win32/command_process.h"
#include "platform/win32/console_events.h"
#include "platform/win32/console_screen.h"
#include "platform/win32/handle_files.h"
#include "platform/win32/handle_streams.h"
#include "platform/win32/process_locale.h"
#include "platform/win32/windows_shelf.h"
#include "run.h"

// The runtime must not expand wildcards: "*" in a filter is part of its expression.
extern "C" int _dowildcard;
int _dowildcard = 0;

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

// For the last resort, when the streams are gone.
void write_stderr(const std::string& message) {
    std::string text = huecast::messages::line(message);
    text.insert(text.size() - 1, 1, '\r');
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The line needs no memory: its bytes are fixed, and WriteFile takes them as they are.
void say_out_of_memory() noexcept {
    constexpr std::string_view line = huecast::messages::out_of_memory_line;
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size() - 1), &written, nullptr);
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), "\r\n", 2, &written, nullptr);
}

int run_on_standard_handles(int argc, wchar_t** argv) {
    const std::unique_ptr<io::codec> codec = platform::set_oem_locale();
    const auto* code_page = dynamic_cast<const platform::code_page_codec*>(codec.get());

    std::vector<std::string> arguments(static_cast<std::size_t>(argc));
    std::vector<const char*> pointers;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        arguments[i] = io::utf16::to_utf8(reinterpret_cast<const char16_t*>(argv[i]));
        pointers.push_back(arguments[i].c_str());
    }

    HANDLE in_handle = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE out_handle = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE error_handle = GetStdHandle(STD_ERROR_HANDLE);
    const auto kind = [](HANDLE handle) {
        if (platform::kind_of(handle) != platform::device_kind::console) return huecast::output_kind::file_or_pipe;
        return platform::interprets_escapes(handle) ? huecast::output_kind::escape_console
                                                    : huecast::output_kind::windows_console;
    };
    platform::handle_source in_bytes(in_handle, *codec);
    const std::unique_ptr<io::byte_sink> out_bytes = platform::make_sink(out_handle, *codec, code_page, false);
    const std::unique_ptr<io::byte_sink> error_bytes = platform::make_sink(error_handle, *codec, code_page, true);
    platform::handle_files files(*codec);
    const platform::windows_shelf sets;
    const auto output_for = [&](const huecast::output_policy& policy) -> io::byte_sink& {
        if (policy.colour == huecast::colour_method::console_attributes) {
            platform::restore_attribute_on_console_events(out_handle);
        }
        return *out_bytes;
    };
    std::optional<platform::console_screen> screen;
    const auto console_for = [&](io::text_output& output) -> qel::console_device* {
        return &screen.emplace(out_handle, output);
    };
    // A command's errors go through a sink of their own: the text output gives each line its
    // end, where the messages' sink would give it a second CR.
    std::unique_ptr<io::byte_sink> error_text_bytes;
    const auto error_output_for = [&](const huecast::output_policy&) -> io::byte_sink& {
        error_text_bytes = platform::make_sink(error_handle, *codec, code_page, false);
        return *error_text_bytes;
    };
    std::optional<platform::console_screen> error_screen;
    const auto error_console_for = [&](io::text_output& errors) -> qel::console_device* {
        return &error_screen.emplace(error_handle, errors);
    };
    platform::process_runner commands(*codec);
    return huecast::run({*codec, pointers, kind(out_handle), in_bytes, *error_bytes, files, sets, output_for,
                         console_for, true, &commands, kind(error_handle), error_output_for, error_console_for,
                         say_out_of_memory});
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Before the first allocation: where even the way out has no room, nothing can be done.
    if (!huecast::set_aside_memory_for_the_way_out()) {
        say_out_of_memory();
        return huecast::exit_status(huecast::exit_code::usage_error);
    }
    try {
        return run_on_standard_handles(argc, argv);
    } catch (const std::bad_alloc&) {
        // Before the run began: no input was read.
        say_out_of_memory();
        return huecast::exit_status(huecast::exit_code::usage_error);
    } catch (...) {
        // One byte per character up to U+00FF, "?" beyond: the library's own texts are
        // ASCII or Cyrillic, and the streams may be gone by now.
        write_stderr(huecast::messages::internal_error(huecast::current_exception_text(*io::make_byte_codec())));
        return huecast::exit_status(huecast::exit_code::internal_error);
    }
}
