"""End-to-end tests of --run: a command's output and errors painted apart through pipes and
pseudo-terminals; its exit status, its signals, its window size and its stops passed through;
and the filter set chosen by the command's name."""

import fcntl
import os
import pty
import re
import select
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
PYTHON = sys.executable

# The sets of these tests: the user's own, which name sh and python3, one that names nothing,
# and one that came with huecast, which names sh too but is asked after the user's.
SETS = {
    "config/huecast/mine.filters": b"# Errors and passes.\n# commands: sh python3\n0c,error\n0a,ok\n",
    "config/huecast/notes.filters": b"0e,note\n",
    "share/huecast/build.filters": b"# commands: sh make  ninja\r\n0e,error\n",
}
HOME = tempfile.mkdtemp(prefix="huecast-run-")


def setUpModule():
    for name, contents in SETS.items():
        os.makedirs(os.path.dirname(os.path.join(HOME, name)), exist_ok=True)
        with open(os.path.join(HOME, name), "wb") as f:
            f.write(contents)


def tearDownModule():
    subprocess.run(["rm", "-rf", HOME], check=True)


def env(**extra):
    return environment(XDG_CONFIG_HOME=os.path.join(HOME, "config"), XDG_DATA_DIRS=os.path.join(HOME, "share"),
                       **extra)


def sh(script, *args):
    return ["--run", "sh", "-c", script, "sh", *args]


def raw_terminal(rows=24, columns=80):
    """A pseudo-terminal whose reader gets exactly the bytes written: (master, slave)."""
    master, slave = pty.openpty()
    tty.setraw(slave)
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))
    return master, slave


def read_all(fds, timeout=20):
    """Reads each descriptor until its writers have all closed it; {fd: bytes}."""
    got = {fd: b"" for fd in fds}
    open_fds = list(fds)
    while open_fds:
        ready, _, _ = select.select(open_fds, [], [], timeout)
        if not ready:
            raise TimeoutError("nothing for %s s" % timeout)
        for fd in ready:
            try:
                chunk = os.read(fd, 65536)
            except OSError:  # a terminal's master once the other side is closed
                chunk = b""
            if chunk:
                got[fd] += chunk
            else:
                open_fds.remove(fd)
    return got


def run(args, out_terminal=False, err_terminal=False, one_terminal=False, **extra):
    """huecast with its standard output and error each a pipe, a raw terminal of its own, or
    (one_terminal) both the same terminal: (exit code, output, errors)."""
    fds, ours = {}, []
    terminal = raw_terminal() if one_terminal else None
    for name, wants in (("out", out_terminal), ("err", err_terminal)):
        if one_terminal:
            fds[name] = terminal
        elif wants:
            fds[name] = raw_terminal()
        else:
            fds[name] = os.pipe()
    p = subprocess.Popen([BINARY, *args], stdin=subprocess.DEVNULL, stdout=fds["out"][1], stderr=fds["err"][1],
                         env=env(**extra))
    for read_end, write_end in {fds["out"], fds["err"]}:
        os.close(write_end)
        ours.append(read_end)
    try:
        got = read_all(ours)
    finally:
        code = p.wait(20)
        for fd in ours:
            os.close(fd)
    return code, got[fds["out"][0]], got[fds["err"][0]]


def children_of(pid):
    with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
        return [int(c) for c in f.read().split()]


def state_of(pid):
    with open("/proc/%d/stat" % pid) as f:
        return f.read().rsplit(")", 1)[1].split()[0]


def read_until_quiet(master, quiet=0.5):
    out = b""
    while select.select([master], [], [], quiet)[0]:
        try:
            chunk = os.read(master, 65536)
        except OSError:
            break
        if not chunk:
            break
        out += chunk
    return out


class Streams(unittest.TestCase):
    def test_output_and_errors_are_painted_each_on_its_own_stream(self):
        write_both = "echo ok; echo an error >&2"
        # (script, options, terminals: output, errors; output, errors)
        cases = [
            (write_both, ["--color=always"], False, False, GREEN + b"ok" + RESET + b"\n",
             b"an " + RED + b"error" + RESET + b"\n"),
            (write_both, [], True, True, GREEN + b"ok" + RESET + b"\n", b"an " + RED + b"error" + RESET + b"\n"),
            # Each stream's colour is decided from what it reaches, as standard output's is.
            (write_both, [], True, False, GREEN + b"ok" + RESET + b"\n", b"an error\r\n"),
            (write_both, [], False, True, b"ok\r\n", b"an " + RED + b"error" + RESET + b"\n"),
            # A terminal where huecast has one, a pipe where it has a pipe; apart where both are.
            ('for fd in 1 2; do if [ -t $fd ]; then echo "$fd tty $(readlink /proc/self/fd/$fd)"; '
             'else echo "$fd pipe"; fi; done; [ "$(readlink /proc/self/fd/1)" != "$(readlink /proc/self/fd/2)" ] '
             '&& echo apart', [], True, True, None, b""),
            # The last line has no line end, as the command wrote it; nothing is lost when the
            # command ends as soon as it has written.
            ("printf 'prompt> '", [], True, True, b"prompt> ", b""),
            ("head -c 300000 /dev/zero | tr '\\0' x; head -c 200000 /dev/zero | tr '\\0' y >&2", ["--color=always"],
             False, False, b"x" * 300000, b"y" * 200000),
            ("head -c 300000 /dev/zero | tr '\\0' x; head -c 200000 /dev/zero | tr '\\0' y >&2", [], True, True,
             b"x" * 300000, b"y" * 200000),
        ]
        for script, options, out_terminal, err_terminal, out, err in cases:
            case = (script[:30], options, out_terminal, err_terminal)
            code, got_out, got_err = run([*options, *sh(script)], out_terminal, err_terminal)
            self.assertEqual((code, got_err), (0, err), case)
            if out is None:
                lines = got_out.decode().splitlines()
                self.assertEqual([line.split()[:2] for line in lines[:2]], [["1", "tty"], ["2", "tty"]], got_out)
                self.assertEqual(lines[2:], ["apart"])
            else:
                self.assertEqual(got_out, out, case)

    def test_lines_of_the_two_reach_one_terminal_in_the_order_they_came(self):
        code, out, _ = run(sh("echo one ok; sleep 0.2; echo two error >&2; sleep 0.2; echo three"), one_terminal=True)
        self.assertEqual((code, out), (0, b"one " + GREEN + b"ok" + RESET + b"\ntwo " + RED + b"error" + RESET +
                                       b"\nthree\n"))

    def test_the_commands_own_standard_input_is_huecasts(self):
        p = subprocess.run([BINARY, "--color=always", *sh("read line; echo \"got $line\"")], input=b"ok\nnot read\n",
                           capture_output=True, env=env(), timeout=20)
        self.assertEqual((p.returncode, p.stdout, p.stderr), (0, b"got " + GREEN + b"ok" + RESET + b"\n", b""))

    def test_a_reader_that_goes_away_ends_the_commands_writes_as_a_pipe_would(self):
        # yes would write for ever: once head has gone, its next write breaks its pipe.
        p = subprocess.run(["bash", "-c", '"$0" --set=mine --run yes | head -2; echo "${PIPESTATUS[0]}"', BINARY],
                           capture_output=True, env=env(), timeout=20)
        self.assertEqual((p.stdout, p.stderr), (b"y\r\ny\r\n%d\n" % (128 + signal.SIGPIPE), b""))


class ExitStatus(unittest.TestCase):
    def test_the_commands_status_is_huecasts(self):
        with tempfile.NamedTemporaryFile(suffix=".sh") as not_executable:
            os.chmod(not_executable.name, stat.S_IRUSR | stat.S_IWUSR)
            name = not_executable.name.encode()
            cases = [  # arguments, exit code (minus: the signal that ended huecast), errors
                (sh("exit 3"), 3, b""),
                (sh("exit 0"), 0, b""),
                (sh("kill -TERM $$"), -signal.SIGTERM, b""),
                (sh("kill -KILL $$"), -signal.SIGKILL, b""),
                (["--set=mine", "--run", "no-such-command-here", "x"], 127,
                 b"huecast: no-such-command-here: command not found\n"),
                (["--set=mine", "--run", "./no/such/file"], 127, b"huecast: ./no/such/file: No such file or directory\n"),
                (["--set=mine", "--run", not_executable.name], 126, b"huecast: " + name + b": Permission denied\n"),
                (["--set=mine", "--run", "/"], 126, b"huecast: /: Permission denied\n"),
            ]
            for args, code, err in cases:
                self.assertEqual(run(args), (code, b"", err), args)


class FilterSetsByCommand(unittest.TestCase):
    def test_the_set_is_the_one_that_names_the_command_the_users_first(self):
        line = "echo ok error note"
        cases = [  # program, set options, output
            ("sh", [], b"ok error note\r\n"),  # into a pipe: no colour, whichever set
            ("/bin/sh", ["--color=always"], GREEN + b"ok" + RESET + b" " + RED + b"error" + RESET + b" note\n"),
            ("sh", ["--color=always", "--set=notes"], b"ok error " + YELLOW + b"note" + RESET + b"\n"),
        ]
        for program, options, out in cases:
            self.assertEqual(run([*options, "--run", program, "-c", line]), (0, out, b""), (program, options))

    def test_no_set_for_the_command_lists_each_set_and_its_commands(self):
        code, out, err = run(["--run", "true"])
        self.assertEqual((code, out), (2, b""))
        self.assertEqual(err, b"huecast: no filter set is for the command 'true'; give one with --set or --file "
                              b"(the sets and their commands: build: sh make ninja; mine: sh python3; notes: none)\n")
        listed = run(["--list-sets"])[1].decode().splitlines()
        self.assertEqual([line.split("\t") for line in listed],
                         [["build", os.path.join(HOME, "share/huecast/build.filters"), "sh make ninja"],
                          ["mine", os.path.join(HOME, "config/huecast/mine.filters"), "sh python3"],
                          ["notes", os.path.join(HOME, "config/huecast/notes.filters"), ""]])


class Signals(unittest.TestCase):
    """The command in huecast's process group on a terminal that is its controlling terminal."""

    def start(self, script, rows=24, columns=80):
        master, slave = raw_terminal(rows, columns)
        attributes = termios.tcgetattr(slave)
        attributes[3] |= termios.ISIG
        termios.tcsetattr(slave, termios.TCSANOW, attributes)
        p = subprocess.Popen([BINARY, "--color=always", *sh(script)], stdin=slave, stdout=slave, stderr=slave,
                             env=env(), preexec_fn=lambda: (os.setsid(), fcntl.ioctl(0, termios.TIOCSCTTY, 0)))
        os.close(slave)
        self.addCleanup(os.close, master)
        out = b""
        while b"ready" not in out:
            out += os.read(master, 65536)
        return p, master, out

    def finish(self, p, master, out):
        out += read_until_quiet(master, 2)
        return p.wait(20), out

    def test_what_the_terminal_sends_and_what_is_sent_to_huecast_reach_the_command(self):
        typed = lambda p, master: os.write(master, {signal.SIGINT: b"\x03", signal.SIGQUIT: b"\x1c"}[self.sig])
        sent = lambda p, master: p.send_signal(self.sig)
        # (signal, how, whether the command catches it): huecast ends as the command did.
        for sig, how, caught in ((signal.SIGINT, typed, True), (signal.SIGQUIT, typed, True),
                                 (signal.SIGINT, typed, False), (signal.SIGTERM, sent, True),
                                 (signal.SIGHUP, sent, True), (signal.SIGUSR1, sent, True),
                                 (signal.SIGTERM, sent, False)):
            self.sig = sig
            name = signal.Signals(sig).name[3:]
            trap = 'trap "echo got %s ok; exit 5" %s; ' % (name, name) if caught else ""
            # The sleep holds no stream of the command's, which would keep huecast reading.
            p, master, out = self.start(trap + "echo ready; sleep 5 </dev/null >/dev/null 2>&1 & wait; echo late")
            how(p, master)
            code, out = self.finish(p, master, out)
            case = (name, how is typed, caught)
            if caught:
                self.assertEqual(code, 5, case)
                self.assertIn(b"got %s " % name.encode() + GREEN + b"ok" + RESET, out, case)
            else:
                self.assertEqual(code, -sig, case)
            self.assertNotIn(b"late", out, case)

    def test_the_command_sees_the_terminals_size_and_its_changes(self):
        # stty asks its standard input, here the command's output.
        p, master, out = self.start('trap "stty size <&1" WINCH; stty size <&1; echo ready; sleep 1; sleep 1; sleep 1',
                                    30, 100)
        fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", 40, 132, 0, 0))
        code, out = self.finish(p, master, out)
        self.assertEqual(code, 0)
        self.assertEqual(out.split(b"\n")[0], b"30 100")
        self.assertIn(b"\n40 132\n", out)


class JobControl(unittest.TestCase):
    """Ctrl-Z and fg with huecast as a shell's foreground job, and its command writing a long
    coloured line that huecast is held in the middle of by a terminal that reads slowly."""

    LINE = (b"a" * 200000 + b"b" * 200000) * 10
    # Writes the whole line, then ends on SIGUSR1 (which reaches it through huecast), also
    # one that came while it wrote. Each write's count is heeded: a stop cuts a write short,
    # and Python's own buffered writer then leaves the rest unwritten.
    WRITE_AND_WAIT = ("import os, signal\n"
                      "signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGUSR1})\n"
                      "line, written = (b'a' * 200000 + b'b' * 200000) * 10, 0\n"
                      "while written < len(line):\n"
                      "    written += os.write(1, line[written:written + 65536])\n"
                      "signal.sigwait({signal.SIGUSR1})")

    def setUp(self):
        rules = os.path.join(HOME, "ab.filters")
        with open(rules, "wb") as f:
            f.write(b"0c,a+\n0e,b+\n0a,ok\n")
        self.args = ["--color=always", "--file=" + rules, "--run", PYTHON, "-c", self.WRITE_AND_WAIT]

    def start_job(self):
        """huecast as the foreground job of a terminal, in a session whose leader stops and
        continues it as a shell does; returns (huecast's pid, terminal master, news, go on)."""
        master, slave = raw_terminal()
        attributes = termios.tcgetattr(slave)
        attributes[3] |= termios.ISIG
        termios.tcsetattr(slave, termios.TCSANOW, attributes)
        (news_read, news_write), (go_read, go_write) = os.pipe(), os.pipe()
        shell = os.fork()
        if shell == 0:
            try:
                os.close(master)
                os.setsid()
                fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
                signal.signal(signal.SIGTTOU, signal.SIG_IGN)
                job = os.fork()
                if job == 0:
                    os.setpgid(0, 0)
                    for fd in (0, 1, 2):
                        os.dup2(slave, fd)
                    signal.signal(signal.SIGTTOU, signal.SIG_DFL)
                    os.execve(BINARY, [BINARY, *self.args], env())
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
                    os.read(go_read, 1)  # fg
                    os.tcsetpgrp(slave, job)
                    os.killpg(job, signal.SIGCONT)
            finally:
                os._exit(0)
        os.close(slave)
        self.addCleanup(os.waitpid, shell, 0)
        self.addCleanup(os.close, master)
        news = os.fdopen(news_read, "rb", buffering=0)
        self.addCleanup(news.close)
        return int(news.readline()), master, news, go_write

    def stop_and_go_on(self, stop):
        """Stops the job with `stop`(huecast, its command, master) while huecast is held in the
        middle of a coloured piece; returns what the terminal showed before the stop and after
        fg, with the stopped states of both."""
        pid, master, news, go_on = self.start_job()
        before = b""
        while len(before) < 100000:
            before += os.read(master, 65536)
        time.sleep(0.3)  # long enough for huecast to block on the full terminal
        command = children_of(pid)[0]
        stop(pid, command, master)
        # Reading on at once, as a terminal does: one that takes nothing for a quarter of a
        # second does not get the reset.
        before += read_until_quiet(master, 0.1)
        while not select.select([news], [], [], 0)[0]:
            before += read_until_quiet(master, 0.1)
        stopped = news.readline()
        before += read_until_quiet(master)
        states = (state_of(pid), state_of(command))
        os.write(go_on, b"x")
        after = b""
        while len(after) < 1000:
            after += os.read(master, 65536)
        self.assertNotEqual(state_of(command), "T", "the command goes on too")
        os.kill(pid, signal.SIGUSR1)
        after += read_until_quiet(master, 2)
        self.assertEqual(news.readline(), b"ended 0\n")
        return stopped, states, before, after

    def test_ctrl_z_stops_both_and_fg_continues_both_with_the_colour_put_back(self):
        typed = lambda pid, command, master: os.write(master, b"\x1a")
        sent_to_huecast = lambda pid, command, master: os.kill(pid, signal.SIGTSTP)
        for stop in (typed, sent_to_huecast):
            case = "typed" if stop is typed else "sent"
            stopped, states, before, after = self.stop_and_go_on(stop)
            self.assertEqual((stopped, states), (b"stopped %d\n" % signal.SIGTSTP, ("T", "T")), case)
            # The stop met huecast in the middle of a piece: the terminal was reset, and the
            # colour showing there comes back first.
            self.assertTrue(before.endswith(RESET), (case, before[-30:]))
            self.assertIn(SGR.match(after).group(), (RED, YELLOW), (case, after[:30]))
            if stop is sent_to_huecast:
                # Nothing else differs. A typed stop also throws away what the terminal had not
                # shown yet, and with it what huecast had written last.
                self.assertTrue(after.startswith(SGR.findall(before[:-len(RESET)])[-1]), after[:30])
                self.assertEqual(SGR.sub(b"", before + after), self.LINE)

    def test_a_command_that_stops_by_itself_stops_huecast_and_both_go_on(self):
        self.args = ["--color=always", *sh("echo ready; kill -STOP $$; echo after ok")]
        pid, master, news, go_on = self.start_job()
        self.assertEqual(news.readline(), b"stopped %d\n" % signal.SIGTSTP)
        os.write(go_on, b"x")
        self.assertEqual(news.readline(), b"ended 0\n")
        self.assertEqual(read_until_quiet(master), b"ready\nafter " + GREEN + b"ok" + RESET + b"\n")

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
