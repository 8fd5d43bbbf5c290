#!/usr/bin/env python3
"""The built program in filter mode, on a pseudo-terminal and on a pipe.

Usage: terminal_test.py PATH-TO-HUECAST

Checks the exact bytes that reach the terminal (SGR escapes around every coloured piece),
the exit code and message for an invalid filter, a line that makes one filter backtrack
without end, a line of several megabytes, and plain copies to a pipe.
"""
import os
import subprocess
import sys
import tempfile
import threading
import tty
import unittest

HUECAST = None
ENV = {k: v for k, v in os.environ.items() if k not in ("NO_COLOR", "FORCE_COLOR", "CLICOLOR_FORCE")}
ENV.update(TERM="xterm", LC_ALL="C.UTF-8")
RED, YELLOW, GREEN, RESET = b"\x1b[0;91;49m", b"\x1b[0;93;49m", b"\x1b[0;92;49m", b"\x1b[0m"


def red(text):
    return RED + text + RESET


def run_on_terminal(arguments, input_bytes, timeout=60):
    """Runs huecast with stdout on a raw pty; returns (exit code, terminal bytes, stderr, stdin offset)."""
    master, slave = os.openpty()
    tty.setraw(slave)  # no LF -> CR LF translation: the bytes are exactly what huecast wrote
    received = []

    def drain():
        while True:
            try:
                data = os.read(master, 1 << 16)
            except OSError:  # EIO once the child has closed the pty
                return
            if not data:
                return
            received.append(data)

    with tempfile.TemporaryFile() as stdin:
        stdin.write(input_bytes)
        stdin.seek(0)
        reader = threading.Thread(target=drain)
        reader.start()
        process = subprocess.Popen([HUECAST, *arguments], stdin=stdin, stdout=slave,
                                   stderr=subprocess.PIPE, env=ENV)
        os.close(slave)
        try:
            _, errors = process.communicate(timeout=timeout)
        finally:
            if process.poll() is None:
                process.kill()
        reader.join(timeout)
        os.close(master)
        offset = os.lseek(stdin.fileno(), 0, os.SEEK_CUR)
    return process.returncode, b"".join(received), errors, offset


def run_on_pipe(arguments, input_bytes):
    process = subprocess.run([HUECAST, *arguments], input=input_bytes, capture_output=True,
                             env=ENV, timeout=60)
    return process.returncode, process.stdout, process.stderr


class OnTerminal(unittest.TestCase):
    FILTERS = ["0c,error", "0e,warn(ing)?", r"0a,\bok\b"]

    def test_pieces_are_coloured_with_exact_escapes(self):
        code, out, err, _ = run_on_terminal(
            self.FILTERS, b"An Error and an ERROR\nwarning: ok, not okay\n\nplain\nlast ok")
        self.assertEqual(code, 0)
        self.assertEqual(err, b"")
        self.assertEqual(out,
                         b"An " + red(b"Error") + b" and an " + red(b"ERROR") + b"\n" +
                         YELLOW + b"warning" + RESET + b": " + GREEN + b"ok" + RESET + b", not okay\n"
                         b"\n"
                         b"plain\n"
                         b"last " + GREEN + b"ok" + RESET + b"\n")

    def test_the_rest_of_the_line_is_a_text_of_its_own(self):
        code, out, _, _ = run_on_terminal(["0a,x", r"0c,\bfoo", "0e,^a"], b"xfoo aaa\naa\n")
        self.assertEqual(code, 0)
        self.assertEqual(out, GREEN + b"x" + RESET + red(b"foo") + b" aaa\n" +
                         YELLOW + b"a" + RESET + YELLOW + b"a" + RESET + b"\n")

    def test_text_beyond_ascii_and_undecodable_bytes(self):
        code, out, _, _ = run_on_terminal(["0c,ошибка"], "x ОШИБКА ".encode() + b"\xff!\n")
        self.assertEqual(code, 0)
        self.assertEqual(out, b"x " + red("ОШИБКА".encode()) + b" \xff!\n")

    def test_invalid_filter_stops_before_reading(self):
        code, out, err, offset = run_on_terminal(["0a,ok", "0c,(abc"], b"ok\n")
        self.assertEqual(code, 2)
        self.assertEqual(out, b"")
        self.assertEqual(err, b'huecast: filter 2 "0c,(abc": missing closing parenthesis at offset 4\n')
        self.assertEqual(offset, 0, "standard input was read")

    def test_runaway_backtracking_line_is_still_written(self):
        runaway = b"a" * 5000 + b"b"
        code, out, err, _ = run_on_terminal(["0c,(a+)+$", "0a,b"], runaway + b"\n" + runaway + b"\nab\n")
        self.assertEqual(code, 0)
        line = b"a" * 5000 + GREEN + b"b" + RESET + b"\n"
        self.assertEqual(out, line + line + b"a" + GREEN + b"b" + RESET + b"\n")
        self.assertEqual(err.count(b"\n"), 1)
        self.assertTrue(err.startswith(b'huecast: warning: filter 1 "0c,(a+)+$" gave up on line 1'), err)

    def test_line_of_several_megabytes(self):
        line = b"abc error def " * 300_000  # 4.2 MB
        code, out, err, _ = run_on_terminal(["0c,error", "0a,(?:d|e|f)+$"], line + b"\n")
        self.assertEqual(code, 0)
        self.assertEqual(err, b"")
        self.assertEqual(out, line.replace(b"error", red(b"error")) + b"\n")


class OnPipe(unittest.TestCase):
    def test_output_is_a_plain_copy(self):
        data = b"an error\r\nwarning ok\nx\xff\n\nlast"
        code, out, err = run_on_pipe(["0c,error", "0e,warn(ing)?"], data)
        self.assertEqual(code, 0)
        self.assertEqual(err, b"")
        self.assertEqual(out, b"an error\r\nwarning ok\r\nx\xff\r\n\r\nlast\r\n")

    @unittest.skipIf(os.environ.get("HUECAST_SANITIZED"), "the sanitizers' own memory would be measured")
    @unittest.skipIf(os.environ.get("HUECAST_EMULATED"), "the emulator's own memory (some 20 MB) would be measured")
    def test_a_line_of_millions_of_matches_takes_a_small_multiple_of_itself(self):
        line = b"error " * (4 << 20)  # 24 MB, 4 million matches
        # The peak of huecast alone: a fresh process runs it and reports its children's peak.
        script = ("import resource, subprocess, sys; subprocess.run(sys.argv[2:], stdin=open(sys.argv[1], 'rb'), "
                  "stdout=subprocess.DEVNULL, check=True); print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
        with tempfile.NamedTemporaryFile() as data:
            data.write(line + b"\n")
            data.flush()
            peak_kb = subprocess.run([sys.executable, "-c", script, data.name, HUECAST, "--color=always", "0c,error"],
                                     capture_output=True, env=ENV, timeout=120, check=True).stdout
        self.assertLess(int(peak_kb) * 1024, 4 * len(line))

    def test_an_echoed_filter_is_escaped_and_cut(self):
        for argument, shown, offset in (("0c,(\x1b]0;pwned\x07", b"0c,(\\e]0;pwned\\x07", b"11"),
                                        ("0c,(" + "a" * 100_000, b"0c,(" + b"a" * 96 + b"...", b"100001")):
            self.assertEqual(run_on_pipe([argument], b"a\n"), (2, b"", b'huecast: filter 1 "' + shown +
                             b'": missing closing parenthesis at offset ' + offset + b"\n"))

    def test_invalid_filter_is_still_an_error(self):
        code, out, err = run_on_pipe(["0c,[a"], b"a\n")
        self.assertEqual(code, 2)
        self.assertEqual(out, b"")
        self.assertEqual(err, b'huecast: filter 1 "0c,[a": missing terminating ] for character class at offset 2\n')


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    HUECAST = sys.argv.pop(1)
    unittest.main(verbosity=2)
