#include "platform/posix/command_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/colour_signals.h"
#include "platform/posix/fd_streams.h"

namespace platform {
namespace {

// Read by the handlers, set before they are installed.
int window_source = -1;      // the terminal whose window size the command's terminals take
int window_targets[2] = {-1, -1};  // the masters of the command's terminals
int wake_fd = -1;            // written when the command changes state, to end a wait
std::atomic<pid_t> running{0};
std::atomic<int> continued{0};  // how often this process went on after a stop

// The terminal's window size, where it differs, onto the command's terminals; true when
// it differed.
bool copy_window_size() {
    winsize size{};
    if (window_source < 0 || ::ioctl(window_source, TIOCGWINSZ, &size) != 0) return false;
    bool changed = false;
    for (const int target : window_targets) {
        winsize old{};
        if (target < 0 || (::ioctl(target, TIOCGWINSZ, &old) == 0 && old.ws_row == size.ws_row &&
                           old.ws_col == size.ws_col && old.ws_xpixel == size.ws_xpixel &&
                           old.ws_ypixel == size.ws_ypixel)) {
            continue;
        }
        ::ioctl(target, TIOCSWINSZ, &size);
        changed = true;
    }
    return changed;
}

void wake() {
    const char byte = 0;
    [[maybe_unused]] const auto ignored = ::write(wake_fd, &byte, 1);
}

extern "C" void on_child(int) {
    const int saved = errno;
    wake();
    errno = saved;
}

// The command's terminals are no one's controlling terminal: the command learns of a change
// from huecast. It also hears of the terminal's own change, maybe before its size has moved on.
extern "C" void on_window(int) {
    const int saved = errno;
    const pid_t command = running.load();
    if (copy_window_size() && command != 0) ::kill(command, SIGWINCH);
    errno = saved;
}

// Going on after a stop, huecast takes the command along; the window may have changed meanwhile.
extern "C" void on_continue(int) {
    const int saved = errno;
    continued.fetch_add(1);
    const pid_t command = running.load();
    if (command != 0) {
        if (copy_window_size()) ::kill(command, SIGWINCH);
        ::kill(command, SIGCONT);
    }
    wake();
    errno = saved;
}

void handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // A write under way goes on where it was: these are no reason to give it up.
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

// Moves `fd` above the standard descriptors, where the command's own are put: huecast may
// have been started with one of them closed.
int above_standard(int fd) {
    if (fd < 0 || fd > STDERR_FILENO) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

// One of the command's streams: its end, and huecast's.
struct channel {
    int ours = -1;
    int theirs = -1;
    bool terminal = false;
};

// A pseudo-terminal that passes the command's bytes on as they are (no output processing):
// its line ends reach the line reader as the command wrote them.
bool open_terminal(channel& c) {
    const int master = above_standard(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (master < 0) return false;
    char name[128];
    int slave = -1;
    if (::grantpt(master) == 0 && ::unlockpt(master) == 0 && ::ptsname_r(master, name, sizeof name) == 0) {
        slave = above_standard(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    }
    if (slave < 0) {
        ::close(master);
        return false;
    }
    termios settings{};
    if (::tcgetattr(slave, &settings) == 0) {
        settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        ::tcsetattr(slave, TCSANOW, &settings);
    }
    c = {master, slave, true};
    return true;
}

bool open_pipe(channel& c) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    c = {above_standard(ends[0]), above_standard(ends[1]), false};
    return c.ours >= 0 && c.theirs >= 0;
}

// A terminal for a terminal, where the system gives one; else a pipe, which loses nothing.
bool open_channel(channel& c, int like) {
    return (is_terminal(like) && open_terminal(c)) || open_pipe(c);
}

void close_channel(channel& c) {
    for (int* fd : {&c.ours, &c.theirs}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

// Huecast's end of one of the command's streams. A pseudo-terminal's master reads EIO once
// the command's side is closed, after the last of its bytes: that is its end.
class channel_source final : public io::byte_source {
public:
    channel_source(int fd, bool terminal) : fd_(fd), terminal_(terminal) {}
    ~channel_source() override { close(); }
    channel_source(const channel_source&) = delete;
    channel_source& operator=(const channel_source&) = delete;

    io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override {
        got = 0;
        int failure = 0;
        const ssize_t n = fd_ < 0 ? 0 : read_waiting(fd_, buffer, capacity, failure);
        if (n > 0) {
            got = static_cast<std::size_t>(n);
            return io::transfer_status::ok;
        }
        over_ = true;
        if (n == 0 || (terminal_ && failure == EIO)) return io::transfer_status::end;
        error_ = failure;
        return io::transfer_status::failed;
    }
    io::control_z control_z_rule() const override { return io::control_z::data; }
    bool wait_for_input(std::chrono::milliseconds patience) override {
        if (!watched()) return true;
        pollfd ready{fd_, POLLIN, 0};
        const int n = ::poll(&ready, 1, static_cast<int>(patience.count()));
        // What the poll cannot tell, the read will; cut short by a signal, nothing has come.
        return n > 0 || (n < 0 && errno != EINTR);
    }
    std::string error_text() const override { return std::strerror(error_); }

    // Still to be waited on: neither at its end nor closed.
    bool watched() const { return fd_ >= 0 && !over_; }
    int fd() const { return fd_; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
    const bool terminal_;
    bool over_ = false;
    int error_ = 0;
};

class running_command final : public huecast::started_command {
public:
    running_command(pid_t pid, channel& out, channel& err, int wake)
        : pid_(pid), output_(out.ours, out.terminal), errors_(err.ours, err.terminal), wake_(wake),
          last_continued_(continued.load()) {}
    ~running_command() override {
        window_targets[0] = window_targets[1] = -1;
        running.store(0);
        const int written = wake_fd;
        wake_fd = -1;
        ::close(written);
        ::close(wake_);
    }
    running_command(const running_command&) = delete;
    running_command& operator=(const running_command&) = delete;

    io::byte_source& output() override { return output_; }
    io::byte_source& errors() override { return errors_; }

    void wait_for_either(std::optional<std::chrono::milliseconds> patience) override {
        pollfd watched[3];
        nfds_t count = 0;
        for (const channel_source* s : {&output_, &errors_}) {
            if (s->watched()) watched[count++] = {s->fd(), POLLIN, 0};
        }
        watched[count++] = {wake_, POLLIN, 0};
        const int n = ::poll(watched, count, patience ? static_cast<int>(patience->count()) : -1);
        if (n > 0 && (watched[count - 1].revents & POLLIN) != 0) {
            char bytes[64];
            while (::read(wake_, bytes, sizeof bytes) > 0) {
            }
            look_at_the_command();
        }
    }

    void stop_reading(io::byte_source& source) override {
        for (channel_source* s : {&output_, &errors_}) {
            if (&source != s) continue;
            for (int& target : window_targets) {
                if (target == s->fd()) target = -1;
            }
            s->close();
        }
    }

    huecast::command_end wait() override {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pass_signals_to(0);
        running.store(0);
        if (WIFSIGNALED(status)) return {true, WTERMSIG(status)};
        return {false, WIFEXITED(status) ? WEXITSTATUS(status) : 0};
    }

private:
    // A stop of the command's own is huecast's too; an end is left for wait() to collect, and
    // from then on signals are huecast's own again, for a command that ended while what it
    // started still holds its streams.
    void look_at_the_command() {
        siginfo_t info{};
        const bool went_on = continued.load() != last_continued_;
        last_continued_ = continued.load();
        if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WSTOPPED | WNOHANG) == 0 && info.si_pid == pid_ &&
            info.si_code == CLD_STOPPED) {
            // Stopped with huecast (Ctrl-Z) and gone on with it since: its stop is over too.
            if (went_on) {
                ::kill(pid_, SIGCONT);
            } else {
                const int stop = info.si_status == SIGTTIN || info.si_status == SIGTTOU ? info.si_status : SIGTSTP;
                ::raise(stop);
                ::kill(pid_, SIGCONT);
                last_continued_ = continued.load();
            }
        }
        info = {};
        if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid_) {
            pass_signals_to(0);
            running.store(0);
        }
    }

    pid_t pid_;
    channel_source output_;
    channel_source errors_;
    int wake_;
    int last_continued_;
};

// What the command's process does between fork and exec: only what is safe there.
[[noreturn]] void become(char* const argv[], const channel& out, const channel& err, int report,
                         const sigset_t& mask, bool pipe_ignored) {
    for (int s = 1; s < NSIG; ++s) {
        struct sigaction old {};
        if (::sigaction(s, nullptr, &old) != 0) continue;
        const bool caught = (old.sa_flags & SA_SIGINFO) != 0 || (old.sa_handler != SIG_DFL && old.sa_handler != SIG_IGN);
        if (caught || (s == SIGPIPE && !pipe_ignored)) {
            struct sigaction by_default {};
            by_default.sa_handler = SIG_DFL;
            ::sigaction(s, &by_default, nullptr);
        }
    }
    if (::dup2(out.theirs, STDOUT_FILENO) < 0 || ::dup2(err.theirs, STDERR_FILENO) < 0) {
        const int error = errno;
        [[maybe_unused]] const auto ignored = ::write(report, &error, sizeof error);
        ::_exit(126);
    }
    ::sigprocmask(SIG_SETMASK, &mask, nullptr);
    ::execvp(argv[0], argv);
    const int error = errno;
    [[maybe_unused]] const auto ignored = ::write(report, &error, sizeof error);
    ::_exit(127);
}

}  // namespace

huecast::value_or_error<std::unique_ptr<huecast::started_command>, huecast::start_failure> process_runner::start(
    std::span<const char* const> command) {
    const auto failed = [&](int error) {
        return huecast::start_failure{true, std::strerror(error)};
    };
    // The command line as the system has it: in the process code page.
    std::vector<std::string> arguments(command.size());
    std::vector<char*> argv;
    for (std::size_t i = 0; i < command.size(); ++i) {
        codec_.encode(command[i], arguments[i]);
        argv.push_back(arguments[i].data());
    }
    argv.push_back(nullptr);

    channel out, err, report;
    if (!open_channel(out, STDOUT_FILENO) || !open_channel(err, STDERR_FILENO) || !open_pipe(report)) {
        const int error = errno;
        close_channel(out);
        close_channel(err);
        return failed(error);
    }
    int wake_ends[2];
    if (::pipe2(wake_ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        const int error = errno;
        for (channel* c : {&out, &err, &report}) close_channel(*c);
        return failed(error);
    }
    wake_fd = above_standard(wake_ends[1]);
    const int wake_read = above_standard(wake_ends[0]);
    window_source = is_terminal(STDOUT_FILENO) ? STDOUT_FILENO : STDERR_FILENO;
    window_targets[0] = out.terminal ? out.ours : -1;
    window_targets[1] = err.terminal ? err.ours : -1;
    copy_window_size();
    handle(SIGCHLD, on_child);
    handle(SIGCONT, on_continue);
    if (out.terminal || err.terminal) handle(SIGWINCH, on_window);

    // No handler of huecast's may run in the command's process before it is the command.
    sigset_t all, before;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &before);
    const pid_t pid = ::fork();
    if (pid == 0) become(argv.data(), out, err, report.theirs, before, pipe_ignored_);
    const int fork_error = errno;
    if (pid > 0) {
        running.store(pid);
        pass_signals_to(pid);
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    ::close(out.theirs);
    ::close(err.theirs);
    ::close(report.theirs);
    out.theirs = err.theirs = report.theirs = -1;

    int error = fork_error;
    ssize_t got = -1;
    if (pid > 0) {
        // Nothing comes once exec has closed the command's copy; its errno where exec failed.
        while ((got = ::read(report.ours, &error, sizeof error)) < 0 && errno == EINTR) {
        }
        if (got > 0 && got != static_cast<ssize_t>(sizeof error)) error = EIO;
    }
    ::close(report.ours);
    if (pid > 0 && got == 0) return std::unique_ptr<huecast::started_command>(new running_command(pid, out, err, wake_read));

    if (pid > 0) {
        pass_signals_to(0);
        running.store(0);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    close_channel(out);
    close_channel(err);
    ::close(wake_read);
    ::close(wake_fd);
    wake_fd = -1;
    window_targets[0] = window_targets[1] = -1;
    if (error == ENOENT) {
        // Looked for on the PATH, it is not a command; a path names a file that is not there.
        const bool path = std::string_view(command.front()).find('/') != std::string_view::npos;
        return huecast::start_failure{false, path ? std::strerror(error) : ""};
    }
    return failed(error);
}

int process_runner::exit_status(const huecast::command_end& end) {
    if (!end.signalled) return end.number;
    end_by_signal(end.number);
    return 128 + end.number;
}

}  // namespace platform
