#include "platform/posix/colour_signals.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

constexpr int fatal_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the handler needs, set before it is installed; it only reads them.
int reset_fd = -1;
char reset_bytes[16];
std::size_t reset_size = 0;
volatile std::sig_atomic_t* shown = nullptr;

// Async-signal-safe: write(2), sigaction(2) and raise(3) only; no locks, no allocation.
extern "C" void on_fatal_signal(int signal) {
    if (*shown != 0) {
        *shown = 0;
        const char* p = reset_bytes;
        std::size_t left = reset_size;
        while (left > 0) {
            const ssize_t n = ::write(reset_fd, p, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    struct sigaction by_default {};
    by_default.sa_handler = SIG_DFL;
    sigemptyset(&by_default.sa_mask);
    ::sigaction(signal, &by_default, nullptr);
    // Delivered once this handler returns and the signal is unblocked.
    ::raise(signal);
}

}  // namespace

void reset_colour_on_fatal_signals(int fd, std::string_view reset, volatile std::sig_atomic_t* colour_shown) {
    reset_fd = fd;
    reset_size = std::min(reset.size(), sizeof reset_bytes);
    std::memcpy(reset_bytes, reset.data(), reset_size);
    shown = colour_shown;

    struct sigaction action {};
    action.sa_handler = on_fatal_signal;
    // One handler at a time, so that the reset is written once.
    sigemptyset(&action.sa_mask);
    for (const int s : fatal_signals) sigaddset(&action.sa_mask, s);
    action.sa_flags = SA_RESTART;
    for (const int s : fatal_signals) {
        struct sigaction old {};
        // A signal the caller chose to ignore (nohup) stays ignored.
        if (::sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(s, &action, nullptr);
    }
}

}  // namespace platform
