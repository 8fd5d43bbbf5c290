#include "platform/win32/command_process.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "command/command_line.h"
#include "io/codec.h"
#include "io/utf16.h"
#include "platform/win32/handle_streams.h"

namespace platform {
namespace {

// Huecast's end of a pipe that one of the command's streams goes through. A pipe has no
// waitable "readable" state: it is looked at again every few milliseconds.
class pipe_source final : public io::byte_source {
public:
    pipe_source(HANDLE pipe, const io::codec& message_codec) : pipe_(pipe), codec_(message_codec) {}
    ~pipe_source() override { close(); }
    pipe_source(const pipe_source&) = delete;
    pipe_source& operator=(const pipe_source&) = delete;

    io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override {
        got = 0;
        const auto ask = static_cast<DWORD>(std::min<std::size_t>(capacity, std::size_t{1} << 30));
        for (;;) {
            DWORD n = 0;
            if (pipe_ == nullptr) break;
            if (ReadFile(pipe_, buffer, ask, &n, nullptr)) {
                // Nothing read is a write of nothing at the other end, not the pipe's end.
                if (n == 0) continue;
                got = n;
                return io::transfer_status::ok;
            }
            const DWORD error = GetLastError();
            if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) break;
            error_ = error;
            over_ = true;
            return io::transfer_status::failed;
        }
        over_ = true;
        return io::transfer_status::end;
    }
    // The command's bytes are data: a Ctrl-Z in them ends nothing.
    io::control_z control_z_rule() const override { return io::control_z::data; }
    bool wait_for_input(std::chrono::milliseconds patience) override {
        const auto until = std::chrono::steady_clock::now() + patience;
        for (;;) {
            if (ready()) return true;
            if (std::chrono::steady_clock::now() >= until) return false;
            Sleep(5);
        }
    }
    std::string error_text() const override { return system_error_text(error_, codec_); }

    // Bytes or the end are there to read.
    bool ready() const {
        DWORD available = 0;
        return !watched() || !PeekNamedPipe(pipe_, nullptr, 0, nullptr, &available, nullptr) || available > 0;
    }
    bool watched() const { return pipe_ != nullptr && !over_; }
    void close() {
        if (pipe_ != nullptr) CloseHandle(pipe_);
        pipe_ = nullptr;
    }

private:
    HANDLE pipe_;
    const io::codec& codec_;
    bool over_ = false;
    DWORD error_ = 0;
};

// While the command runs, Ctrl-C and Ctrl-Break are the command's, which shares the console:
// huecast ends once the command has. Closing the window goes on to the handler before this.
BOOL WINAPI leave_interrupts_to_the_command(DWORD event) {
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? TRUE : FALSE;
}

class running_command final : public huecast::started_command {
public:
    running_command(HANDLE process, HANDLE output, HANDLE errors, const io::codec& codec)
        : process_(process), output_(output, codec), errors_(errors, codec) {}
    ~running_command() override {
        SetConsoleCtrlHandler(leave_interrupts_to_the_command, FALSE);
        CloseHandle(process_);
    }
    running_command(const running_command&) = delete;
    running_command& operator=(const running_command&) = delete;

    io::byte_source& output() override { return output_; }
    io::byte_source& errors() override { return errors_; }
    void wait_for_either(std::optional<std::chrono::milliseconds> patience) override {
        const auto until = std::chrono::steady_clock::now() + patience.value_or(std::chrono::hours{24});
        while ((!output_.watched() || !output_.ready()) && (!errors_.watched() || !errors_.ready()) &&
               (output_.watched() || errors_.watched()) && std::chrono::steady_clock::now() < until) {
            Sleep(5);
        }
    }
    void stop_reading(io::byte_source& source) override {
        if (&source == &output_) output_.close();
        if (&source == &errors_) errors_.close();
    }
    huecast::command_end wait() override {
        WaitForSingleObject(process_, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return {false, static_cast<int>(code)};
    }

private:
    HANDLE process_;
    pipe_source output_;
    pipe_source errors_;
};

// A handle the command inherits, for one of huecast's own standard handles; null for none.
HANDLE inheritable(DWORD which) {
    const HANDLE own = GetStdHandle(which);
    HANDLE copy = nullptr;
    if (own == nullptr || own == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        return nullptr;
    }
    return copy;
}

// A pipe whose writing end the command inherits and whose reading end stays here.
bool make_pipe(HANDLE& ours, HANDLE& theirs) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(&ours, &theirs, &inherit, 0)) return false;
    SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0);
    return true;
}

}  // namespace

huecast::value_or_error<std::unique_ptr<huecast::started_command>, huecast::start_failure> process_runner::start(
    std::span<const char* const> command) {
    std::u16string line = io::utf16::to_utf16(huecast::windows_command_line(command));
    HANDLE out_ours = nullptr, out_theirs = nullptr, err_ours = nullptr, err_theirs = nullptr;
    const auto system_words = [&](DWORD error) { return system_error_text(error, codec_); };
    if (!make_pipe(out_ours, out_theirs) || !make_pipe(err_ours, err_theirs)) {
        const DWORD error = GetLastError();
        for (HANDLE h : {out_ours, out_theirs}) {
            if (h != nullptr) CloseHandle(h);
        }
        return huecast::start_failure{true, system_words(error)};
    }
    const HANDLE input = inheritable(STD_INPUT_HANDLE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = out_theirs;
    startup.hStdError = err_theirs;
    PROCESS_INFORMATION process{};
    // From before the command starts, so that a Ctrl-C typed as it starts cannot end huecast
    // first; a handler is not inherited, and the command has the console's usual handling.
    SetConsoleCtrlHandler(leave_interrupts_to_the_command, TRUE);
    const BOOL started = CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(line.data()), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    const DWORD error = started ? 0 : GetLastError();
    for (HANDLE h : {out_theirs, err_theirs, input}) {
        if (h != nullptr) CloseHandle(h);
    }
    if (!started) {
        SetConsoleCtrlHandler(leave_interrupts_to_the_command, FALSE);
        CloseHandle(out_ours);
        CloseHandle(err_ours);
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            const bool path = std::string_view(command.front()).find_first_of("/\\:") != std::string_view::npos;
            return huecast::start_failure{false, path ? system_words(error) : std::string()};
        }
        return huecast::start_failure{true, system_words(error)};
    }
    CloseHandle(process.hThread);
    return std::unique_ptr<huecast::started_command>(
        new running_command(process.hProcess, out_ours, err_ours, codec_));
}

std::string process_runner::name_of(std::string_view program) const {
    std::string name(program.substr(program.find_last_of("/\\:") + 1));
    std::ranges::transform(name, name.begin(),
                           [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    for (const std::string_view suffix : {".exe", ".com"}) {
        if (name.size() > suffix.size() && name.ends_with(suffix)) name.resize(name.size() - suffix.size());
    }
    return name;
}

}  // namespace platform
