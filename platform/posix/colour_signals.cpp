#include "platform/posix/colour_signals.h"

#include <poll.h>
#include <pthread.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "io/shown_colour.h"
#include "platform/posix/fd_streams.h"

namespace platform {
namespace {

// Those whose default action ends the process, besides the real-time ones. SIGSEGV, SIGBUS,
// SIGFPE, SIGILL and SIGABRT stay as they are: raised by the kernel they stop the instruction
// at hand, which cannot wait for the write under way, and their report (a sanitizer's, a
// debugger's, a core) must come from where it happened; nor may a thread block them to leave
// them to the writing thread, since a fault in a thread that blocks its signal ends the
// process past every handler. SIGPIPE is ignored (main.cpp): a reader that went away ends
// the run quietly.
constexpr int fatal_signals[] = {
    SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGSYS, SIGTRAP,
#if defined(__linux__)
    // Elsewhere some of these are ignored by default, or missing.
    SIGIO, SIGPWR,
#if defined(SIGSTKFLT)
    SIGSTKFLT,
#endif
#endif
};
constexpr int stop_signals[] = {SIGTSTP, SIGTTIN, SIGTTOU};

// How long the reset may wait for a terminal that is busy drawing: one that takes output at
// all takes four bytes within milliseconds. Output stopped (Ctrl-S, a stalled connection)
// never takes them, and the signal must not wait for that.
constexpr long reset_patience_ms = 250;

// One descriptor that gets colour. Set up before any handler can see it (every signal
// blocked); the rest changes only while `in_write` is set or the handled signals are
// blocked, so a handler that acts on its own sees it whole.
struct guarded_output {
    int fd = -1;
    char reset_bytes[16] = {};
    std::size_t reset_size = 0;
    io::shown_colour shown;  // what the bytes that reached the terminal leave it showing
    bool coloured = false;   // whether any escape sequence went out: a colour may have
    // What goes out before the next byte after a stop: the colour that was showing, then the
    // start of a sequence that the stop cut, which the reset abandoned.
    char put_back[4 * io::shown_colour::longest] = {};
    std::size_t put_back_at = 0;
    std::size_t put_back_size = 0;
};
// Standard output, and standard error where a command's errors are painted.
guarded_output outputs[2];
volatile std::sig_atomic_t guarded_count = 0;

sigset_t handled;  // the signals met here: blocked while one of them is met
bool handled_chosen = false;
bool stops_chosen = false;
bool stops_wanted = false;  // the stop signals not ignored, handled once output begins
bool stops_installed = false;

// Set while a write to a guarded descriptor is under way: only that write's caller will
// know how much of it reached the terminal, so a handler leaves the signal to it.
volatile std::sig_atomic_t in_write = 0;
volatile std::sig_atomic_t requested = 0;
volatile std::sig_atomic_t requested_typed = 0;
volatile std::sig_atomic_t requested_by_terminal = 0;

// The command that signals are passed to, while it runs.
std::atomic<pid_t> command{0};
static_assert(std::atomic<pid_t>::is_always_lock_free, "read in a signal handler");

bool is_stop(int signal) { return signal == SIGTSTP || signal == SIGTTIN || signal == SIGTTOU; }

// A trap the kernel raised for the instruction at hand: where the handler returns to that
// instruction (arm64's BRK), it would only trap again, so the signal cannot wait for a write.
bool cannot_wait(int signal, const siginfo_t* info) {
    return signal == SIGTRAP && info != nullptr && info->si_code > 0;
}

// The thread whose writes reach the guarded descriptor. A signal that lands on another one
// is handed on to it, so that it is met where the bytes go out: there a write that it cuts
// short returns to meet it, and nothing else writes meanwhile.
std::atomic<pthread_t> writing_thread;
pthread_t guarding_thread;
static_assert(std::atomic<pthread_t>::is_always_lock_free, "read in a signal handler");

// A signal handed on carries this in its value, with what handing on would otherwise
// forget: bit 0 set when it was typed at the terminal, bit 1 when the terminal sent it.
constexpr int handed_on = 0x68750000;

// Where a signal came from, as far as it matters here.
struct origin {
    bool typed = false;          // typed at the terminal: Ctrl-C, Ctrl-\, Ctrl-Z
    bool by_terminal = false;    // sent by the terminal to the foreground group: typed, or a hang-up
    bool from_another = false;   // sent by another process (kill), to this one alone as far as it knows
};

// Ctrl-C, Ctrl-\ and Ctrl-Z come from the terminal itself, which also throws away the output it
// has not shown yet (unless NOFLSH is set): it may show the colour of any byte written lately.
// A hang-up comes from it too; the other signals the kernel sends are this process's own.
origin origin_of(int signal, const siginfo_t* info) {
    origin o;
    if (info == nullptr) return o;
    if (info->si_code == SI_QUEUE && (info->si_value.sival_int & ~3) == handed_on) {
        o.typed = (info->si_value.sival_int & 1) != 0;
        o.by_terminal = (info->si_value.sival_int & 2) != 0;
        return o;
    }
    if (info->si_code == SI_KERNEL) {
        o.typed = signal == SIGINT || signal == SIGQUIT || signal == SIGTSTP;
        o.by_terminal = o.typed || signal == SIGHUP;
        return o;
    }
    const bool sent = info->si_code == SI_USER || info->si_code == SI_QUEUE || info->si_code == SI_TKILL;
    o.from_another = sent && info->si_pid != ::getpid();
    return o;
}

// True when the signal was handed on to the writing thread, to be met there.
bool handed_to_writer(int signal, const origin& o) {
    const pthread_t writer = writing_thread.load(std::memory_order_acquire);
    if (pthread_equal(writer, pthread_self()) != 0) return false;
    sigval value{};
    value.sival_int = handed_on | (o.typed ? 1 : 0) | (o.by_terminal ? 2 : 0);
    return ::pthread_sigqueue(writer, signal, value) == 0;
}

long milliseconds_since(const timespec& start) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
}

// Writes what the descriptor takes of [p, p + n) within the patience, a byte at a time, each
// once poll says it is writable: a blocking descriptor takes one byte without waiting then,
// where it would wait for room for more. Gives up at the first refusal, whatever its cause
// (a write from the background raises SIGTTOU and is refused again on every try). Returns
// the count written.
std::size_t write_without_waiting(int fd, const char* p, std::size_t n) {
    timespec start{};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    std::size_t done = 0;
    while (done < n) {
        const long left = reset_patience_ms - milliseconds_since(start);
        pollfd ready{fd, POLLOUT, 0};
        const int polled = ::poll(&ready, 1, left > 0 ? static_cast<int>(left) : 0);
        // Another signal (a command's SIGCHLD) may cut the wait short: the patience goes on.
        if (polled < 0 && errno == EINTR && left > 0) continue;
        if (polled != 1 || (ready.revents & POLLOUT) == 0) break;
        const ssize_t written = ::write(fd, p + done, 1);
        if (written < 0 && errno == EINTR) continue;
        if (written != 1) break;
        ++done;
    }
    return done;
}

void append(char* to, std::size_t& size, std::string_view bytes) {
    std::memcpy(to + size, bytes.data(), bytes.size());
    size += bytes.size();
}

extern "C" void on_signal(int signal, siginfo_t* info, void* context);

void install(int signal) {
    struct sigaction action {};
    action.sa_sigaction = on_signal;
    action.sa_mask = handled;
    // No SA_RESTART: a write blocked on the terminal must return, for the signal to be met.
    action.sa_flags = SA_SIGINFO;
    ::sigaction(signal, &action, nullptr);
}

// Resets the colour of `out` if one may show there, and keeps what is to be put back.
void reset(guarded_output& out, bool typed) {
    if (out.shown.sequence().empty() && out.shown.unfinished().empty() && !(typed && out.coloured)) return;
    char again[sizeof out.put_back];
    std::size_t again_size = 0;
    append(again, again_size, out.shown.sequence());
    append(again, again_size, out.shown.unfinished());
    const std::string_view still_due(out.put_back + out.put_back_at, out.put_back_size - out.put_back_at);
    if (again_size + still_due.size() <= sizeof again) append(again, again_size, still_due);
    const std::size_t written = write_without_waiting(out.fd, out.reset_bytes, out.reset_size);
    out.shown.passed(out.reset_bytes, written);
    if (written > 0) {
        std::memcpy(out.put_back, again, again_size);
        out.put_back_at = 0;
        out.put_back_size = again_size;
    }
}

void reset_every_output(bool typed) {
    for (std::sig_atomic_t i = 0; i < guarded_count; ++i) reset(outputs[i], typed);
}

// Lets `signal`, blocked in this thread, have its default effect here: the process dies, or
// stops until continued.
void take_default_effect(int signal) {
    struct sigaction by_default {};
    by_default.sa_handler = SIG_DFL;
    sigemptyset(&by_default.sa_mask);
    ::sigaction(signal, &by_default, nullptr);
    ::raise(signal);
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &just_this, nullptr);
}

// Resets the colour where one may show, then lets the signal have its default effect. After a
// stop the handler goes back in place and the colour is put back before the next byte; where
// the process group is orphaned, the system discards the stop and that happens at once. While
// a command runs, a signal the terminal sent it as well ends nothing here: the process ends
// with the command. The handled signals are blocked. Async-signal-safe: no locks, no
// allocation.
void meet(int signal, bool typed, bool by_terminal) {
    reset_every_output(typed);
    if (by_terminal && !is_stop(signal) && command.load() != 0) return;
    take_default_effect(signal);
    if (is_stop(signal)) install(signal);
}

// Which of two signals waiting to be met goes first: one that ends the process, then a stop,
// then one that only resets.
int weight(int signal, bool by_terminal) {
    if (is_stop(signal)) return 2;
    return by_terminal && command.load() != 0 ? 1 : 3;
}

extern "C" void on_signal(int signal, siginfo_t* info, void*) {
    const int saved_errno = errno;
    const origin o = origin_of(signal, info);
    const pid_t running = command.load();
    if (running != 0 && o.from_another && info->si_pid != running) {
        // Meant for the command as much as for huecast, which ends when the command has.
        ::kill(running, signal);
        if (!is_stop(signal)) {
            errno = saved_errno;
            return;
        }
    }
    if (!cannot_wait(signal, info) && handed_to_writer(signal, o)) {
        errno = saved_errno;
        return;
    }
    if (in_write != 0 && !cannot_wait(signal, info)) {
        // The weightier signal goes first; either way the write returns to meet it.
        if (requested == 0 || weight(signal, o.by_terminal) > weight(requested, requested_by_terminal != 0)) {
            requested = signal;
            requested_typed = o.typed ? 1 : 0;
            requested_by_terminal = o.by_terminal ? 1 : 0;
        }
        errno = saved_errno;
        return;
    }
    meet(signal, o.typed, o.by_terminal);
    errno = saved_errno;
}

void meet_requested() {
    sigset_t before;
    ::pthread_sigmask(SIG_BLOCK, &handled, &before);
    const int signal = requested;
    requested = 0;
    if (signal != 0) meet(signal, requested_typed != 0, requested_by_terminal != 0);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void begin_write() {
    in_write = 1;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

// A signal that came after the last check is met here, never left for later.
void end_write() {
    for (;;) {
        std::atomic_signal_fence(std::memory_order_seq_cst);
        in_write = 0;
        std::atomic_signal_fence(std::memory_order_seq_cst);
        if (requested == 0) return;
        begin_write();
        meet_requested();
    }
}

// A signal the caller chose to ignore (nohup) stays ignored, and one that has a handler
// already (a profiler's SIGPROF) keeps it.
void take(int signal) {
    struct sigaction old {};
    if (::sigaction(signal, nullptr, &old) == 0 && (old.sa_flags & SA_SIGINFO) == 0 && old.sa_handler == SIG_DFL) {
        sigaddset(&handled, signal);
    }
}

// Chooses the signals to meet, once; the stops once job control is asked for. Every handler
// blocks all of them, so each is installed again when they change.
void choose_signals(bool job_control) {
    if (!handled_chosen) {
        handled_chosen = true;
        sigemptyset(&handled);
        for (const int s : fatal_signals) take(s);
#if defined(SIGRTMIN)
        // Not constants: the C library keeps the lowest few for itself.
        for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) take(s);
#endif
    }
    if (job_control && !stops_chosen) {
        stops_chosen = true;
        for (const int s : stop_signals) {
            take(s);
            stops_wanted = stops_wanted || sigismember(&handled, s) == 1;
        }
    }
    for (int s = 1; s < NSIG; ++s) {
        if ((!is_stop(s) || stops_installed) && sigismember(&handled, s) == 1) install(s);
    }
}

guarded_output* output_of(int fd) {
    for (std::sig_atomic_t i = 0; i < guarded_count; ++i) {
        if (outputs[i].fd == fd) return &outputs[i];
    }
    return nullptr;
}

}  // namespace

void guard_colour(int fd, std::string_view reset, bool job_control) {
    sigset_t all, before;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &before);
    if (guarded_count == 0) {
        guarding_thread = pthread_self();
        writing_thread.store(guarding_thread, std::memory_order_release);
    }
    if (output_of(fd) == nullptr && guarded_count < static_cast<std::sig_atomic_t>(std::size(outputs))) {
        guarded_output& out = outputs[guarded_count];
        out.fd = fd;
        out.reset_size = std::min(reset.size(), sizeof out.reset_bytes);
        std::memcpy(out.reset_bytes, reset.data(), out.reset_size);
        guarded_count = guarded_count + 1;
    }
    choose_signals(job_control);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void meet_signals_on_this_thread() { writing_thread.store(pthread_self(), std::memory_order_release); }

void meet_signals_where_guarded() { writing_thread.store(guarding_thread, std::memory_order_release); }

io::transfer_status guarded_write(int fd, const char* data, std::size_t size, int& error) {
    guarded_output* const out = output_of(fd);
    if (stops_wanted && !stops_installed) {
        // Until the first byte goes out nothing can show, and a stop needs nothing of ours;
        // nor is a read before it (of a filter file) cut short by one.
        stops_installed = true;
        for (const int s : stop_signals) {
            if (sigismember(&handled, s) == 1) install(s);
        }
    }
    begin_write();
    io::transfer_status status = io::transfer_status::ok;
    int failure = 0;
    for (;;) {
        const bool putting_back = out->put_back_at < out->put_back_size;
        const char* const p = putting_back ? out->put_back + out->put_back_at : data;
        const std::size_t n = putting_back ? out->put_back_size - out->put_back_at : size;
        if (n == 0) break;
        const ssize_t written = ::write(fd, p, n);
        if (written > 0) {
            const auto count = static_cast<std::size_t>(written);
            out->shown.passed(p, count);
            out->coloured = out->coloured || std::memchr(p, '\x1b', count) != nullptr;
            if (putting_back) {
                out->put_back_at += count;
            } else {
                data += count;
                size -= count;
            }
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            failure = wait_until_ready(fd, POLLOUT);
        } else if (written < 0 && errno != EINTR) {
            failure = errno;
        }
        if (failure != 0) {
            error = failure;
            status = failure == EPIPE ? io::transfer_status::closed : io::transfer_status::failed;
            break;
        }
        if (requested != 0) meet_requested();
    }
    end_write();
    return status;
}

void pass_signals_to(pid_t running) {
    sigset_t all, before;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &before);
    command.store(running);
    if (running != 0) {
        if (guarded_count == 0) {
            guarding_thread = pthread_self();
            writing_thread.store(guarding_thread, std::memory_order_release);
        }
        // A stop sent to huecast alone must reach the command too, colour or not.
        choose_signals(true);
        if (stops_wanted && !stops_installed) {
            stops_installed = true;
            for (const int s : stop_signals) {
                if (sigismember(&handled, s) == 1) install(s);
            }
        }
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void end_by_signal(int signal) {
    sigset_t all;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
    command.store(0);
    reset_every_output(false);
    // The command's core, if it left one, is the one that tells what happened.
    const rlimit no_core{0, 0};
    ::setrlimit(RLIMIT_CORE, &no_core);
    take_default_effect(signal);
}

}  // namespace platform
