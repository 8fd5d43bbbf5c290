"""End-to-end tests of the Unix conventions: colour control by option and environment, no
colour left behind by a fatal signal, --help, --version, unknown options and filter files."""

import contextlib
import os
import pty
import select
import signal
import subprocess
import sys
import tempfile
import threading
import time
import tty
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from huecast_run import BINARY, drain_terminal, environment, run_pipe, run_terminal  # noqa: E402

RED, BLUE_WHITE, RESET = b"\x1b[0;91;49m", b"\x1b[0;97;44m", b"\x1b[0m"
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

    def start(self, *args):
        master, slave = pty.openpty()
        tty.setraw(slave)
        p = subprocess.Popen([BINARY, *args], stdin=subprocess.PIPE, stdout=slave, stderr=subprocess.PIPE,
                             env=environment())
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
        for sig in (signal.SIGINT, signal.SIGTERM):
            p, master = self.start("1f")
            line = b"x" * (4 << 20) + b"\n"

            def feed():
                # huecast may be killed before it has read the whole line: the pipe breaks.
                with contextlib.suppress(BrokenPipeError):
                    p.stdin.write(line)
                    p.stdin.flush()

            feeder = threading.Thread(target=feed)
            feeder.start()
            out = self.read_some(master, 1000)
            time.sleep(0.3)  # long enough for huecast to block on the full terminal
            p.send_signal(sig)
            out += self.drain(master)
            code = p.wait(20)
            feeder.join(20)
            with contextlib.suppress(BrokenPipeError):  # what the broken pipe left unwritten
                p.stdin.close()
            p.stderr.close()
            # A shell reports this as 128 + the signal: 130 for SIGINT.
            self.assertEqual(code, -sig)
            self.assertTrue(out.startswith(BLUE_WHITE + b"xxx"), out[:20])
            self.assertTrue(out.endswith(b"x" + RESET), out[-20:])
            self.assertLess(out.count(b"x"), 4 << 20, "the whole line went out before the signal")
            self.assertEqual(out.count(RESET), 1)

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
        self.assertEqual(err, b'huecast: bad:3: not a filter (colour digits, a comma, an expression): "x,y"\n')

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


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
