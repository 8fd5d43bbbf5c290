"""End-to-end tests of the Unix conventions: colour control by option and environment, no
colour left behind by a fatal signal or a stop, --help, --version, unknown options and filter
files."""

import fcntl
import os
import pty
import re
import resource
import select
import signal
import subprocess
import sys
import tempfile
import termios
import threading
import time
import tty
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from huecast_run import BINARY, drain_terminal, environment, run_pipe, run_terminal  # noqa: E402

RED, BLUE_WHITE, RESET = b"\x1b[0;91;49m", b"\x1b[0;97;44m", b"\x1b[0m"
# qemu-user hands the program host real-time signal n as n - 2, since the host's C library keeps
# two more for itself: the program's first is the host's third, and its last two are out of reach.
FIRST_REAL_TIME = signal.SIGRTMIN + (2 if os.environ.get("HUECAST_EMULATED") else 0)
SAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "sample.log")


class ColourControl(unittest.TestCase):
    LINE = b"an error\r\nok\n"
    COLOURED = b"an " + RED + b"error" + RESET + b"\nok\n"

    def test_forced_colour_into_a_pipe_is_what_a_terminal_gets(self):
        for args, extra in ((["--color=always"], {}), (["--colour=always"], {"NO_COLOR": "1"}),
                            ([], {"FORCE_COLOR": "1"}), ([], {"CLICOLOR_FORCE": "1", "TERM": "dumb"})):
            self.assertEqual(run_pipe([*args, "0c,error"], self.LINE, **extra), (0, self.COLOURED, b""), (args, extra))
        self.assertEqual(run_pipe(["--color=always", "1f", "hi"]), (0, BLUE_WHITE + b"hi" + RESET + b"\n", b""))

    def test_colour_off_on_a_terminal_is_the_text_as_a_terminal_has_it(self):
        for args, extra in ((["--color=never"], {"FORCE_COLOR": "1"}), ([], {"NO_COLOR": "1"})):
            self.assertEqual(run_terminal([*args, "0c,error"], self.LINE, **extra)[:2], (0, b"an error\nok\n"))
            self.assertEqual(run_terminal([*args, "1f", "hi"], **extra)[:2], (0, b"hi\n"))

    def test_nothing_forced_a_pipe_gets_plain_text_with_crlf(self):
        for extra in ({}, {"FORCE_COLOR": "0"}, {"NO_COLOR": ""}, {"CLICOLOR_FORCE": ""}):
            self.assertEqual(run_pipe(["0c,error"], self.LINE, **extra), (0, b"an error\r\nok\r\n", b""), extra)

    def test_the_sample_log_into_a_pager(self):
        with open(SAMPLE, "rb") as f:
            log = f.read()
        code, out, err = run_pipe(["--color=always", "0c,error"], log)
        self.assertEqual((code, err), (0, b""))
        self.assertEqual(out.count(RED), log.lower().count(b"error"))
        self.assertNotIn(b"\r", out)


class FatalSignals(unittest.TestCase):
    """huecast on a raw pseudo-terminal whose reader is slow: a signal in the middle of a long
    coloured piece must leave the terminal's bytes ending in the reset sequence."""

    # Every signal whose default action ends the process, but those that report a fault of
    # huecast's own (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT), which are left to the sanitizers.
    ENDING = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT, signal.SIGUSR1, signal.SIGUSR2,
              signal.SIGALRM, signal.SIGVTALRM, signal.SIGPROF, signal.SIGIO, signal.SIGPWR, signal.SIGSTKFLT,
              signal.SIGXCPU, signal.SIGXFSZ, signal.SIGSYS, signal.SIGTRAP,
              FIRST_REAL_TIME, signal.SIGRTMAX)

    def start(self, *args, stop_output=False, stdin=subprocess.PIPE):
        master, slave = pty.openpty()
        tty.setraw(slave)
        if stop_output:
            termios.tcflow(slave, termios.TCOOFF)
        # Those signals that dump core leave none behind.
        p = subprocess.Popen([BINARY, *args], stdin=stdin, stdout=slave, stderr=subprocess.PIPE,
                             env=environment(), preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_CORE, (0, 0)))
        os.close(slave)
        return p, master

    def read_some(self, master, at_least):
        out = b""
        while len(out) < at_least:
            ready, _, _ = select.select([master], [], [], 10)
            self.assertTrue(ready, "huecast wrote nothing")
            out += os.read(master, 65536)
        return out

    def drain(self, master):
        return drain_terminal(master, 10, quiet_ends=True)

    def test_a_signal_in_a_coloured_piece_resets_the_colour_and_kills_with_the_signal(self):
        for sig in self.ENDING:
            # From a file, so that the line arrives whole: from a pipe that runs dry, each part
            # of it would have its own colour.
            with tempfile.TemporaryFile() as line:
                line.write(b"x" * (4 << 20) + b"\n")
                line.seek(0)
                p, master = self.start("1f", stdin=line)
            out = self.read_some(master, 1000)
            time.sleep(0.3)  # long enough for huecast to block on the full terminal
            p.send_signal(sig)
            out += self.drain(master)
            code = p.wait(20)
            p.stderr.close()
            # A shell reports this as 128 + the signal: 130 for SIGINT.
            self.assertEqual(code, -sig)
            self.assertTrue(out.startswith(BLUE_WHITE + b"xxx"), (sig, out[:20]))
            self.assertTrue(out.endswith(b"x" + RESET), (sig, out[-20:]))
            self.assertLess(out.count(b"x"), 4 << 20, (sig, "the whole line went out before the signal"))
            self.assertEqual(out.count(RESET), 1, sig)

    def test_a_terminal_that_takes_nothing_does_not_hold_up_the_signal(self):
        # Output stopped, as by Ctrl-S or a stalled ssh session: the reset cannot go out.
        p, master = self.start("1f", stop_output=True)
        feeder = threading.Thread(target=self.feed, args=(p, b"x" * (4 << 20) + b"\n"))
        feeder.start()
        time.sleep(0.5)  # long enough for huecast to block on the full terminal
        p.send_signal(signal.SIGTERM)
        try:
            self.assertEqual(p.wait(5), -signal.SIGTERM)
        finally:
            p.kill()
            p.wait(20)
            os.close(master)
            feeder.join(20)
            p.stderr.close()

    @staticmethod
    def feed(p, data):
        try:
            p.stdin.write(data)
            p.stdin.close()
        except BrokenPipeError:
            pass

    def test_ctrl_c_typed_at_the_terminal_resets_what_it_shows(self):
        # A signal typed at the terminal also throws away the output it has not read yet: it
        # shows the colour it had read up to, whatever huecast wrote after that.
        master, slave = pty.openpty()
        tty.setraw(slave)
        attributes = termios.tcgetattr(slave)
        attributes[3] |= termios.ISIG
        termios.tcsetattr(slave, termios.TCSANOW, attributes)
        with tempfile.TemporaryFile() as lines:
            lines.write((b"x" * 1000 + b"E\n") * 20000)
            lines.seek(0)
            # huecast's own session, with the pseudo-terminal as its controlling terminal.
            p = subprocess.Popen([BINARY, "0c,E"], stdin=lines, stdout=slave, stderr=subprocess.PIPE, env=environment(),
                                 preexec_fn=lambda: (os.setsid(), fcntl.ioctl(1, termios.TIOCSCTTY, 0)))
        os.close(slave)
        try:
            # Up to the middle of the tenth coloured piece: light red shows.
            out, up_to = b"", 10 * len(b"x" * 1000 + RED + b"E" + RESET + b"\n") - len(b"E" + RESET + b"\n")
            while len(out) < up_to:
                out += os.read(master, up_to - len(out))
            self.assertTrue(out.endswith(RED), out[-20:])
            time.sleep(0.3)  # long enough for huecast to block on the full terminal
            os.write(master, b"\x03")
            out += self.drain(master)
            self.assertEqual(p.wait(20), -signal.SIGINT)
        finally:
            p.kill()
            p.wait(20)
            p.stderr.close()
        self.assertTrue(out.endswith(RESET), out[-40:])

    def test_no_reset_when_no_colour_is_showing(self):
        p, master = self.start("1f")
        p.stdin.write(b"a\n")
        p.stdin.flush()
        expected = BLUE_WHITE + b"a" + RESET + b"\n"
        out = self.read_some(master, len(expected))
        time.sleep(0.3)  # long enough for huecast to wait for more input
        p.send_signal(signal.SIGINT)
        out += self.drain(master)
        self.assertEqual(p.wait(20), -signal.SIGINT)
        p.stdin.close()
        p.stderr.close()
        self.assertEqual(out, expected)


class JobControl(unittest.TestCase):
    """Ctrl-Z and fg: the terminal is reset before huecast stops, and once it goes on the colour
    that was showing comes back, so that the rest comes out as it would have."""

    FILTERS = ["0c,a+", "0e,b+"]
    # Long runs in two colours, so that a stop lands inside one of them, and either may be the
    # one to put back.
    LINE = (b"a" * 200000 + b"b" * 200000) * 10 + b"\n"
    # A colour that the input sets and leaves showing while huecast waits for more.
    PURPLE = b"\x1b[35mpurple\n"

    def test_a_stop_resets_the_colour_and_going_on_puts_it_back(self):
        sgr = re.compile(rb"\x1b\[[0-9;]*m")
        # Stopped while writing to a full terminal, or while waiting for input; a group whose
        # parent is not in its session (orphaned) is never stopped, and must not hang.
        for sig, data, more, orphaned in ((signal.SIGTSTP, self.LINE, None, False),
                                          (signal.SIGTTOU, self.LINE, None, False),
                                          (signal.SIGTSTP, self.PURPLE, b"more a\n", False),
                                          (signal.SIGTSTP, self.LINE, None, True)):
            case = (sig, data[:10], more, orphaned)
            expected = run_terminal(self.FILTERS, data + (more or b""), from_file=True)[1]
            got, code = self.stop_and_go_on(sig, data, more, orphaned)
            self.assertEqual(code, 0, case)
            # Where the output first departs from an uninterrupted run, the reset and the
            # colour shown there are put in; nothing else differs.
            at = next((i for i, (a, b) in enumerate(zip(got, expected)) if a != b), len(expected))
            shown = sgr.findall(expected[:at])[-1]
            self.assertNotEqual(shown, RESET, case)
            self.assertTrue(got == expected[:at] + RESET + shown + expected[at:], (case, at, got[at - 20:at + 30]))

    def stop_and_go_on(self, sig, data, more, orphaned):
        """Stops huecast with `sig` in the middle of its output and lets it go on. Standard input
        is a file holding `data`; or with `more`, a pipe that gets `more` after the stop.
        Returns the bytes the terminal got and the exit code."""
        master, slave = pty.openpty()
        tty.setraw(slave)
        with tempfile.TemporaryFile() as file:
            file.write(data)
            file.seek(0)
            # A process group of its own, as a shell runs a job, with its parent in the same
            # session; or a session of its own, where its group is orphaned.
            p = subprocess.Popen([BINARY, *self.FILTERS], stdin=file if more is None else subprocess.PIPE, stdout=slave,
                                 stderr=subprocess.PIPE, env=environment(),
                                 preexec_fn=os.setsid if orphaned else os.setpgrp)
        os.close(slave)
        try:
            got = b""
            if more is None:
                while len(got) < 100000:
                    got += os.read(master, 65536)
                time.sleep(0.3)  # long enough for huecast to block on the full terminal
            else:
                p.stdin.write(data)
                p.stdin.flush()
                got = read_until_quiet(master)
            os.kill(p.pid, sig)
            if not orphaned:
                status = 0
                while status == 0:  # reading on, as a terminal does while its job stops
                    got += read_until_quiet(master, 0.1)
                    status = os.waitpid(p.pid, os.WUNTRACED | os.WNOHANG)[1]
                self.assertEqual((os.WIFSTOPPED(status), os.WSTOPSIG(status)), (True, sig))
                got += read_until_quiet(master)
                self.assertTrue(got.endswith(RESET), got[-30:])
                os.kill(p.pid, signal.SIGCONT)
            if more is not None:
                p.stdin.write(more)
                p.stdin.close()
            got += drain_terminal(master, 20)
            return got, p.wait(20)
        finally:
            p.kill()
            p.wait(20)
            p.stderr.close()


def read_until_quiet(master, quiet=0.5):
    out = b""
    while select.select([master], [], [], quiet)[0]:
        out += os.read(master, 65536)
    return out


class GnuOptions(unittest.TestCase):
    def test_help_and_version(self):
        code, out, err = run_pipe(["--help"], b"never read\n")
        self.assertEqual((code, err), (0, b""))
        usage = run_pipe(["-?"])[1]
        self.assertTrue(out.startswith(usage), "the usage text first")
        self.assertIn(b"--color=WHEN", out[len(usage):])
        self.assertIn(b"NO_COLOR", out[len(usage):])
        code, out, err = run_pipe(["--version"])
        self.assertEqual((code, err), (0, b""))
        self.assertEqual(out.split(b"\r\n")[0], b"huecast 2.1.0.2")
        self.assertEqual(out.count(b"\r\n"), 2)

    def test_unknown_option_reads_nothing(self):
        with tempfile.TemporaryFile() as stdin:
            stdin.write(b"x\n")
            stdin.seek(0)
            p = subprocess.run([BINARY, "--colour-me", "0a"], stdin=stdin, capture_output=True, env=environment())
            offset = os.lseek(stdin.fileno(), 0, os.SEEK_CUR)
        self.assertEqual((p.returncode, p.stdout, offset), (2, b"", 0))
        self.assertEqual(p.stderr, b"huecast: unknown option '--colour-me'; try 'huecast --help'\n")


class FilterFiles(unittest.TestCase):
    def run_with_files(self, files, args, data=b"x\n"):
        with tempfile.TemporaryDirectory() as directory:
            paths = []
            for name, contents in files:
                path = os.path.join(directory, name)
                if contents is not None:
                    with open(path, "wb") as f:
                        f.write(contents)
                paths.append(path)
            with tempfile.TemporaryFile() as stdin:
                stdin.write(data)
                stdin.seek(0)
                p = subprocess.run([BINARY, *["--file=" + path for path in paths], *args], stdin=stdin,
                                   capture_output=True, env=environment())
                offset = os.lseek(stdin.fileno(), 0, os.SEEK_CUR)
            return p.returncode, p.stdout, p.stderr.replace(directory.encode() + b"/", b""), offset

    def test_a_good_file_a_bad_line_and_a_missing_file(self):
        rules = b"# build\n\n0c,error\r\n0e,warn(ing)?\n"
        code, out, err, _ = self.run_with_files([("rules", rules)], ["--color=always", "0a,ok"], b"ok: warning, error\n")
        self.assertEqual((code, err), (0, b""))
        self.assertEqual(out, b"\x1b[0;92;49mok\x1b[0m: \x1b[0;93;49mwarning\x1b[0m, " + RED + b"error" + RESET + b"\n")

        code, out, err, offset = self.run_with_files([("rules", rules), ("bad", b"0c,x\n\nx,y\n")], [])
        self.assertEqual((code, out, offset), (2, b"", 0))
        self.assertEqual(err, b'huecast: bad:3 "x,y": in the match\'s style, \'x\' is neither a colour nor an attribute\n')

        code, out, err, offset = self.run_with_files([("missing", None)], ["0c,x"])
        self.assertEqual((code, out, offset), (2, b"", 0))
        self.assertEqual(err, b"huecast: missing: No such file or directory\n")

    def test_a_file_without_end_is_refused_within_the_limit(self):
        limit, too_large = 1 << 20, b": too large for a filter file (more than 1 MiB)\n"
        with tempfile.NamedTemporaryFile() as rules:
            for size, code, name, err in ((limit, 0, rules.name, b""), (limit + 1, 2, rules.name, too_large),
                                          (0, 2, "/dev/zero", too_large)):
                rules.seek(0)
                rules.truncate()
                rules.write(b"0c,x\n" + b"#" * (size - 6) + b"\n")
                rules.flush()
                p = subprocess.run([BINARY, "--file=" + name], input=b"", capture_output=True, env=environment(),
                                   timeout=20)
                self.assertEqual((p.returncode, p.stderr), (code, err and b"huecast: " + name.encode() + err), size)

    def test_standard_input_is_never_a_filter_file(self):
        refused = b": cannot be a filter file: it is standard input, which holds the text to colour\n"
        with tempfile.NamedTemporaryFile() as rules:
            for name in ("/dev/stdin", "/proc/self/fd/0", rules.name):
                with open(rules.name, "rb") as stdin:
                    p = subprocess.run([BINARY, "--file=" + name], stdin=stdin, capture_output=True,
                                       env=environment(), timeout=20)
                    offset = os.lseek(stdin.fileno(), 0, os.SEEK_CUR)
                self.assertEqual((p.returncode, p.stdout, p.stderr, offset),
                                 (2, b"", b"huecast: " + name.encode() + refused, 0))
        # From a pipe, the filters would have been the lines meant for colouring.
        self.assertEqual(run_pipe(["--file=/dev/stdin"], b"0c,x\n"), (2, b"", b"huecast: /dev/stdin" + refused))


class FilterSetsByName(unittest.TestCase):
    def test_the_users_sets_then_the_systems_in_the_order_given(self):
        with tempfile.TemporaryDirectory() as home:
            user, system = os.path.join(home, "config", "huecast"), os.path.join(home, "share", "huecast")
            for directory, name, filters in ((user, "mine", b"0a,ok\n"), (user, "build", b"0e,warn\n"),
                                             (system, "build", b"0c,error\n"), (system, "log", b"0c,warn\n")):
                os.makedirs(directory, exist_ok=True)
                with open(os.path.join(directory, name + ".filters"), "wb") as f:
                    f.write(filters)
            env = {"XDG_CONFIG_HOME": os.path.join(home, "config"), "XDG_DATA_DIRS": os.path.join(home, "share")}
            line = b"ok warn error\n"
            green, yellow = b"\x1b[0;92;49m", b"\x1b[0;93;49m"
            cases = [  # arguments, what comes out; the user's build hides the system's
                (["--set=build"], b"ok " + yellow + b"warn" + RESET + b" error\n"),
                (["--set", "log", "--set=mine", "0c,error"],
                 green + b"ok" + RESET + b" " + RED + b"warn" + RESET + b" " + RED + b"error" + RESET + b"\n"),
            ]
            for args, out in cases:
                self.assertEqual(run_pipe(["--color=always", *args], line, **env), (0, out, b""), args)
            for name in ("nope", "../huecast/build", ""):
                self.assertEqual(run_pipe(["--set=" + name], line, **env),
                                 (2, b"", b"huecast: no filter set '%s'; the sets found: build, log, mine\n" % name.encode()))
            listed = run_pipe(["--list-sets"], **env)[1].decode()
            # The third column, the commands a set names, is empty for these.
            self.assertEqual(listed.splitlines(), ["build\t%s/build.filters\t" % user,
                                                   "log\t%s/log.filters\t" % system, "mine\t%s/mine.filters\t" % user])
            # None anywhere: the line says where it looked (last, beside the program's prefix).
            env.update(XDG_CONFIG_HOME=home + "/none", XDG_DATA_DIRS=home + "/nothing")
            self.assertTrue(run_pipe(["--set=build"], line, **env)[2].startswith(
                b"huecast: no filter set 'build'; there are none in %s/none/huecast, %s/nothing/huecast, " % (
                    home.encode(), home.encode())))

    @staticmethod
    def shelf(home, user_sets, system_sets):
        """The user's and the system's set directories in `home`, holding the sets given, and their variables."""
        places = (os.path.join(home, "config", "huecast"), os.path.join(home, "share", "huecast"))
        for place, sets in zip(places, (user_sets, system_sets)):
            os.makedirs(place, exist_ok=True)
            for name, filters in sets.items():
                with open(os.path.join(place, name + ".filters"), "wb") as f:
                    f.write(filters)
        return places, {"XDG_CONFIG_HOME": home + "/config", "XDG_DATA_DIRS": home + "/share"}

    def test_listed_names_are_escaped_and_whole(self):
        # A file name may hold anything but "/": names and files are escaped as messages escape
        # them, so that none acts on the terminal or breaks the lines apart, and never cut.
        cases = [("e\x1b[31m", "e\\e[31m"), ("new\nline", "new\\nline"), ("tab\tbed", "tab\\tbed"),
                 ("\u202eevil", "\\u202eevil"), ("caf\u00e9", "caf\u00e9"), ("x" * 150, "x" * 150)]
        with tempfile.TemporaryDirectory() as home:
            home = os.path.join(home, "\x1b]0;t\x07")
            (user, _), env = self.shelf(home, {name: b"0c,x\n" for name, _ in cases}, {})
            shown = user.replace("\x1b", "\\e").replace("\x07", "\\x07")
            self.assertEqual(run_pipe(["--list-sets"], **env), (0, "".join(
                "%s\t%s/%s.filters\t\r\n" % (listed, shown, listed) for _, listed in sorted(cases)).encode(), b""))

    def test_only_regular_files_are_sets_and_relative_places_are_none(self):
        with tempfile.TemporaryDirectory() as home:
            (user, system), env = self.shelf(home, {"mine": b"0c,warn\n"}, {"log": b"0c,warn\n", "kept": b"0c,warn\n"})
            in_user = lambda name: os.path.join(user, name + ".filters")
            os.mkdir(in_user("directory"))
            os.symlink("nowhere.filters", in_user("dangling"))
            os.symlink("loop.filters", in_user("loop"))
            os.mkfifo(in_user("fifo"))
            os.mkfifo(in_user("kept"))  # no set, so it hides none
            os.symlink(os.path.join(system, "log.filters"), in_user("link"))
            missing = b"huecast: no filter set '%s'; the sets found: kept, link, log, mine\n"
            for name in ("directory", "dangling", "loop", "fifo", "link", "kept", "mine"):
                expected = (0, RED + b"warn" + RESET + b"\n", b"") if name in ("link", "kept", "mine") else (
                    2, b"", missing % name.encode())
                self.assertEqual(run_pipe(["--color=always", "--set=" + name], b"warn\n", timeout=10, **env), expected)
            self.assertEqual([line.split(b"\t")[0] for line in run_pipe(["--list-sets"], **env)[1].splitlines()],
                             [b"kept", b"link", b"log", b"mine"])
            # A relative HOME or XDG_CONFIG_HOME would make the sets depend on where huecast was
            # started: from `home`, both name the user's directory, and are ignored.
            os.symlink("config", os.path.join(home, ".config"))
            for relative in ({"HOME": ".", "XDG_CONFIG_HOME": ""}, {"HOME": "/none", "XDG_CONFIG_HOME": "config"}):
                p = subprocess.run([os.path.abspath(BINARY), "--set=mine"], capture_output=True, cwd=home,
                                   env=environment(**dict(env, **relative)), timeout=20)
                self.assertEqual((p.returncode, p.stderr),
                                 (2, b"huecast: no filter set 'mine'; the sets found: kept, log\n"), relative)

    def test_a_set_is_opened_by_its_name_as_the_user_may(self):
        # As root, permissions do not bind: the runs are another user's.
        as_nobody = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
        if os.geteuid() != 0 or subprocess.run([*as_nobody, BINARY, "--version"], capture_output=True).returncode:
            self.skipTest("cannot run huecast as another user here")
        # The user's directory and file modes, the arguments, and what they give. The system's v
        # colours in yellow: it never stands in for the user's, which the directory may hold.
        cases = [(0o711, 0o644, ["--set=v"], (0, RED + b"error" + RESET + b"\n", b"")),
                 (0o711, 0o644, ["--list-sets"], (1, b"v\tSYSTEM/v.filters\t\nw\tSYSTEM/w.filters\t\n",
                                                  b"huecast: cannot list USER: Permission denied\n")),
                 (0o000, 0o644, ["--set=v"],
                  (2, b"", b"huecast: filter set 'v': cannot search USER: Permission denied\n")),
                 (0o711, 0o000, ["--set=v"], (2, b"", b"huecast: USER/v.filters: Permission denied\n"))]
        for directory, file, args, expected in cases:
            with tempfile.TemporaryDirectory() as home:
                (user, system), env = self.shelf(home, {"v": b"0c,error\n"}, {"v": b"0e,error\n", "w": b"0e,error\n"})
                os.chmod(home, 0o755)
                os.chmod(user + "/v.filters", file)
                os.chmod(user, directory)
                p = subprocess.run([*as_nobody, BINARY, "--color=always", *args], input=b"error\n",
                                   capture_output=True, env=environment(**env), timeout=20)
                shown = lambda out: out.replace(user.encode(), b"USER").replace(system.encode(), b"SYSTEM")
                self.assertEqual((p.returncode, shown(p.stdout), shown(p.stderr)), expected, oct(directory) + oct(file))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
