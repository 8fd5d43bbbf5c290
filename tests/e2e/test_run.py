"""End-to-end tests of --run: a command's output and errors painted apart through pipes and
pseudo-terminals; its exit status, its signals, its window size and its stops passed through;
and the filter set chosen by the command's name."""

import fcntl
import os
import pty
import re
import select
import shutil
import signal
import stat
import struct
import subprocess
import sys
import tempfile
import termios
import time
import tty
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from huecast_run import BINARY, environment  # noqa: E402

RED, GREEN, YELLOW, RESET = b"\x1b[0;91;49m", b"\x1b[0;92;49m", b"\x1b[0;93;49m", b"\x1b[0m"
SGR = re.compile(rb"\x1b\[[0-9;]*m")

# The user's own sets: one names sh and python3, one nothing. Those that came with huecast:
# one names sh too but is asked after the user's; one is hidden, with its commands, by the
# user's set of its name.
SETS = {
    "config/huecast/mine.filters": b"# Errors and passes.\n# commands: sh python3\n0c,error\n0a,ok\n",
    "config/huecast/notes.filters": b"0e,note\n",
    "share/huecast/build.filters": b"# commands: sh make  ninja\r\n0e,error\n",
    "share/huecast/notes.filters": b"# commands: true\n0c,note\n",
}
HOME = tempfile.mkdtemp(prefix="huecast-run-")


def setUpModule():
    for name, contents in SETS.items():
        os.makedirs(os.path.dirname(os.path.join(HOME, name)), exist_ok=True)
        with open(os.path.join(HOME, name), "wb") as f:
            f.write(contents)


def tearDownModule():
    shutil.rmtree(HOME)


def env():
    return environment(XDG_CONFIG_HOME=os.path.join(HOME, "config"), XDG_DATA_DIRS=os.path.join(HOME, "share"))


def sh(script):
    return ["--run", "sh", "-c", script]


def terminal(rows=24, columns=80, signals=False):
    """A pseudo-terminal whose reader gets exactly the bytes written, and that sends the
    signals of the keys typed at it with `signals`: (master, slave)."""
    master, slave = pty.openpty()
    tty.setraw(slave)
    if signals:
        attributes = termios.tcgetattr(slave)
        attributes[3] |= termios.ISIG
        termios.tcsetattr(slave, termios.TCSANOW, attributes)
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))
    return master, slave


def read_some(fd):
    """What one read gives: nothing at the end, also at a terminal's EIO once its other side closed."""
    try:
        return os.read(fd, 65536)
    except OSError:
        return b""


def read_until_quiet(fd, quiet=0.5):
    out = b""
    while select.select([fd], [], [], quiet)[0]:
        chunk = read_some(fd)
        if not chunk:
            break
        out += chunk
    return out


def proc(pid, name):
    with open("/proc/%d/%s" % (pid, name)) as f:
        return f.read()


def run(args, out_terminal=False, err_terminal=False):
    """huecast with its standard output and error each a pipe or a terminal of its own, or
    (err_terminal "same") the terminal of its output: (exit code, output, errors)."""
    out = terminal() if out_terminal else os.pipe()
    err = out if err_terminal == "same" else terminal() if err_terminal else os.pipe()
    p = subprocess.Popen([BINARY, *args], stdin=subprocess.DEVNULL, stdout=out[1], stderr=err[1], env=env())
    got, reading = {out[0]: b"", err[0]: b""}, {out[0], err[0]}
    for pair in {out, err}:
        os.close(pair[1])
    while reading:
        ready = select.select(list(reading), [], [], 20)[0]
        if not ready:
            p.kill()
            raise TimeoutError("nothing for 20 s")
        for fd in ready:
            chunk = read_some(fd)
            got[fd] += chunk
            if not chunk:
                reading.discard(fd)
                os.close(fd)
    return p.wait(20), got[out[0]], got[err[0]]


class Streams(unittest.TestCase):
    def test_output_and_errors_are_painted_each_on_its_own_stream(self):
        both, ok = "echo ok; echo an error >&2", GREEN + b"ok" + RESET + b"\n"
        error = b"an " + RED + b"error" + RESET + b"\n"
        # Tells what each of the command's streams is; the two terminals are not the same one.
        what = ('for fd in 1 2; do [ -t $fd ] && echo "$fd tty" || echo "$fd pipe"; done; '
                '[ "$(readlink /proc/self/fd/1)" != "$(readlink /proc/self/fd/2)" ] && echo apart')
        many = "head -c 300000 /dev/zero | tr '\\0' x; head -c 200000 /dev/zero | tr '\\0' y >&2"
        in_order = b"one " + GREEN + b"ok" + RESET + b"\ntwo " + RED + b"error" + RESET + b"\nthree\n"
        cases = [  # script, options, terminals (output, errors), what comes out (output, errors)
            (both, ["--color=always"], False, False, ok, error),
            (both, [], True, True, ok, error),
            # Each stream's colour is decided from what it reaches, as standard output's is.
            (both, [], True, False, ok, b"an error\r\n"),
            (both, [], False, True, b"ok\r\n", error),
            (what, [], True, True, b"1 tty\n2 tty\napart\n", b""),
            # The last line keeps having no line end, and nothing is lost when the command
            # ends as soon as it has written.
            ("printf 'prompt> '", [], True, True, b"prompt> ", b""),
            (many, [], True, True, b"x" * 300000, b"y" * 200000),
            # Where both reach one terminal, the lines of the two show as they came.
            ("echo one ok; sleep 0.2; echo two error >&2; sleep 0.2; echo three", [], True, "same", in_order, in_order),
        ]
        for script, options, out_terminal, err_terminal, out, err in cases:
            self.assertEqual(run([*options, *sh(script)], out_terminal, err_terminal), (0, out, err),
                             (script[:20], options, out_terminal, err_terminal))

    def test_the_commands_standard_input_is_huecasts(self):
        p = subprocess.run([BINARY, "--color=always", *sh('read line; echo "got $line"')], input=b"ok\nnot read\n",
                           capture_output=True, env=env(), timeout=20)
        self.assertEqual((p.returncode, p.stdout, p.stderr), (0, b"got " + GREEN + b"ok" + RESET + b"\n", b""))

    def test_a_reader_that_goes_away_ends_the_commands_writes_as_a_pipe_would(self):
        # yes would write for ever: once head has gone, its next write breaks its pipe.
        p = subprocess.run(["bash", "-c", '"$0" --set=mine --run yes | head -2; echo "${PIPESTATUS[0]}"', BINARY],
                           capture_output=True, env=env(), timeout=20)
        self.assertEqual((p.stdout, p.stderr), (b"y\r\ny\r\n%d\n" % (128 + signal.SIGPIPE), b""))


class ExitStatus(unittest.TestCase):
    def test_the_commands_status_is_huecasts(self):
        with tempfile.NamedTemporaryFile() as not_executable:
            os.chmod(not_executable.name, stat.S_IRUSR | stat.S_IWUSR)
            not_executable.write(b"0c,(x\n")
            not_executable.flush()
            cases = [  # arguments, exit code (minus: the signal that ended huecast), errors
                # A filter that does not compile stops the run before the command starts.
                (["--file=" + not_executable.name, *sh("echo started >&2")], 2,
                 b'huecast: %s:1 "0c,(x": missing closing parenthesis at offset 2\n' % not_executable.name.encode()),
                (sh("exit 3"), 3, b""),
                (sh("kill -TERM $$"), -signal.SIGTERM, b""),
                (["--set=mine", "--run", "no-such-command-here"], 127,
                 b"huecast: no-such-command-here: command not found\n"),
                (["--set=mine", "--run", "./no/such/file"], 127,
                 b"huecast: ./no/such/file: No such file or directory\n"),
                (["--set=mine", "--run", not_executable.name], 126,
                 b"huecast: %s: Permission denied\n" % not_executable.name.encode()),
            ]
            for args, code, err in cases:
                self.assertEqual(run(args), (code, b"", err), args)


class FilterSetsByCommand(unittest.TestCase):
    def test_the_set_is_the_first_that_names_the_command_the_users_first(self):
        cases = [  # program, options, output
            ("/bin/sh", ["--color=always"], GREEN + b"ok" + RESET + b" " + RED + b"error" + RESET + b" note\n"),
            ("sh", ["--color=always", "--set=notes"], b"ok error " + YELLOW + b"note" + RESET + b"\n"),
        ]
        for program, options, out in cases:
            self.assertEqual(run([*options, "--run", program, "-c", "echo ok error note"]), (0, out, b""), program)

    def test_no_set_for_the_command_lists_each_set_and_its_commands(self):
        self.assertEqual(run(["--run", "true"]), (2, b"", b"huecast: no filter set is for the command 'true'; give one "
                                                         b"with --set or --file (the sets and their commands: build: sh "
                                                         b"make ninja; mine: sh python3; notes: none)\n"))
        listed = [line.split("\t") for line in run(["--list-sets"])[1].decode().splitlines()]
        self.assertEqual(listed, [["build", HOME + "/share/huecast/build.filters", "sh make ninja"],
                                  ["mine", HOME + "/config/huecast/mine.filters", "sh python3"],
                                  ["notes", HOME + "/config/huecast/notes.filters", ""]])


class Signals(unittest.TestCase):
    """The command in huecast's process group, on a terminal that is their controlling terminal."""

    def start(self, script, rows=24, columns=80):
        master, slave = terminal(rows, columns, signals=True)
        p = subprocess.Popen([BINARY, "--color=always", *sh(script)], stdin=slave, stdout=slave, stderr=slave,
                             env=env(), preexec_fn=lambda: (os.setsid(), fcntl.ioctl(0, termios.TIOCSCTTY, 0)))
        os.close(slave)
        self.addCleanup(os.close, master)
        out = b""
        while b"ready" not in out:
            out += os.read(master, 65536)
        return p, master, out

    def test_what_the_terminal_sends_and_what_is_sent_to_huecast_reach_the_command(self):
        keys = {signal.SIGINT: b"\x03", signal.SIGQUIT: b"\x1c"}
        # (signal, typed at the terminal or sent to huecast, whether the command catches it):
        # huecast ends as the command did.
        for sig, typed, caught in ((signal.SIGINT, True, True), (signal.SIGQUIT, True, True),
                                   (signal.SIGINT, True, False), (signal.SIGTERM, False, True),
                                   (signal.SIGHUP, False, True), (signal.SIGTERM, False, False)):
            name = signal.Signals(sig).name[3:]
            trap = 'trap "echo got %s ok; exit 5" %s; ' % (name, name) if caught else ""
            # The sleep holds none of the command's streams, which would keep huecast reading.
            p, master, _ = self.start(trap + "echo ready; sleep 5 </dev/null >/dev/null 2>&1 & wait; echo late")
            if typed:
                os.write(master, keys[sig])
            else:
                p.send_signal(sig)
            out = read_until_quiet(master, 1)
            self.assertEqual(p.wait(20), 5 if caught else -sig, (name, typed, caught))
            self.assertEqual(out.endswith(b"got %s " % name.encode() + GREEN + b"ok" + RESET + b"\n"), caught, out)
            self.assertNotIn(b"late", out)

    def test_the_command_sees_the_terminals_size_and_its_changes(self):
        # stty asks its standard input, here the command's own terminal.
        script = 'trap "stty size <&1" WINCH; stty size <&1; echo ready; sleep 1; sleep 1'
        p, master, first = self.start(script, 30, 100)
        fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", 40, 132, 0, 0))
        out = read_until_quiet(master, 2)
        self.assertEqual((p.wait(20), first), (0, b"30 100\nready\n"))
        self.assertEqual(set(out.splitlines()), {b"40 132"})


class JobControl(unittest.TestCase):
    """Ctrl-Z and fg with huecast as a shell's foreground job."""

    LINE = (b"a" * 200000 + b"b" * 200000) * 10
    # Writes the line, then ends on SIGUSR1 (which reaches it through huecast), also one that
    # came while it wrote. Each write's count is heeded: a stop cuts a write short, and
    # Python's own buffered writer then leaves the rest unwritten.
    WRITE_AND_WAIT = ("import os, signal\n"
                      "signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGUSR1})\n"
                      "line, written = (b'a' * 200000 + b'b' * 200000) * 10, 0\n"
                      "while written < len(line):\n"
                      "    written += os.write(1, line[written:written + 65536])\n"
                      "signal.sigwait({signal.SIGUSR1})")

    def start_job(self, args):
        """huecast with `args` as the foreground job of a terminal, in a session whose leader
        stops and continues it as a shell does: (huecast's pid, master, news, the way to fg)."""
        master, slave = terminal(signals=True)
        (news_read, news_write), (fg_read, fg_write) = os.pipe(), os.pipe()
        shell = os.fork()
        if shell == 0:
            try:
                os.setsid()
                fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
                signal.signal(signal.SIGTTOU, signal.SIG_IGN)
                job = os.fork()
                if job == 0:
                    os.setpgid(0, 0)
                    for fd in (0, 1, 2):
                        os.dup2(slave, fd)
                    signal.signal(signal.SIGTTOU, signal.SIG_DFL)
                    os.execve(BINARY, [BINARY, *args], env())
                os.setpgid(job, job)
                os.tcsetpgrp(slave, job)
                os.write(news_write, b"%d\n" % job)
                while True:
                    _, status = os.waitpid(job, os.WUNTRACED)
                    if not os.WIFSTOPPED(status):
                        os.write(news_write, b"ended %d\n" % os.waitstatus_to_exitcode(status))
                        break
                    os.tcsetpgrp(slave, os.getpgrp())
                    os.write(news_write, b"stopped %d\n" % os.WSTOPSIG(status))
                    os.read(fg_read, 1)
                    os.tcsetpgrp(slave, job)
                    os.killpg(job, signal.SIGCONT)
            finally:
                os._exit(0)
        os.close(slave)
        self.addCleanup(os.waitpid, shell, 0)
        self.addCleanup(os.close, master)
        news = os.fdopen(news_read, "rb", buffering=0)
        self.addCleanup(news.close)
        return int(news.readline()), master, news, fg_write

    def test_ctrl_z_stops_both_and_fg_continues_both_with_the_colour_put_back(self):
        rules = os.path.join(HOME, "ab.filters")
        with open(rules, "wb") as f:
            f.write(b"0c,a+\n0e,b+\n")
        for typed in (True, False):
            pid, master, news, fg = self.start_job(["--color=always", "--file=" + rules, "--run", sys.executable,
                                                    "-c", self.WRITE_AND_WAIT])
            before = b""
            while len(before) < 100000:
                before += os.read(master, 65536)
            time.sleep(0.3)  # long enough for huecast to block on the full terminal, inside a piece
            command = int(proc(pid, "task/%d/children" % pid).split()[0])
            if typed:
                os.write(master, b"\x1a")
            else:
                os.kill(pid, signal.SIGTSTP)  # huecast passes it on
            # Read on at once, as a terminal does: one that takes nothing for a quarter of a
            # second does not get the reset.
            before += read_until_quiet(master, 0.1)
            while not select.select([news], [], [], 0)[0]:
                before += read_until_quiet(master, 0.1)
            states = [proc(p, "stat").rsplit(")", 1)[1].split()[0] for p in (pid, command)]
            self.assertEqual((news.readline(), states), (b"stopped %d\n" % signal.SIGTSTP, ["T", "T"]), typed)
            before += read_until_quiet(master)
            self.assertTrue(before.endswith(RESET), (typed, before[-30:]))
            os.write(fg, b"x")
            after = b""
            while len(after) < 1000:
                after += os.read(master, 65536)
            os.kill(pid, signal.SIGUSR1)
            after += read_until_quiet(master, 2)
            self.assertEqual(news.readline(), b"ended 0\n")
            # The colour that showed comes back first; a typed stop also throws away what the
            # terminal had not shown, and with it the last colour it had been given.
            self.assertIn(SGR.match(after).group(), (RED, YELLOW), (typed, after[:30]))
            if not typed:
                self.assertTrue(after.startswith(SGR.findall(before[:-len(RESET)])[-1]), after[:30])
                self.assertEqual(SGR.sub(b"", before + after), self.LINE)

    def test_a_command_that_stops_by_itself_stops_huecast_and_both_go_on(self):
        pid, master, news, fg = self.start_job(["--color=always", *sh("echo ready; kill -STOP $$; echo after ok")])
        self.assertEqual(news.readline(), b"stopped %d\n" % signal.SIGTSTP)
        os.write(fg, b"x")
        self.assertEqual(news.readline(), b"ended 0\n")
        self.assertEqual(read_until_quiet(master), b"ready\nafter " + GREEN + b"ok" + RESET + b"\n")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
