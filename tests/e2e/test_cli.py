"""End-to-end tests of the plain modes: usage, dispatch, whole-stream and text mode, through
pipes, files and a terminal, and the handling of bad input and output."""

import os
import pty
import select
import subprocess
import sys
import tempfile
import threading
import time
import tty
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from huecast_run import BINARY, drain_terminal, environment, run_pipe, run_terminal  # noqa: E402
from expectations import CONTROL_Z_INPUT, CONTROL_Z_OUTPUT, LINE_END_CASES, USAGE_LINES  # noqa: E402

ESC = b"\x1b"
RESET = ESC + b"[0m"


class Usage(unittest.TestCase):
    def test_pipe_gets_cr_cr_lf_inside_and_one_line_end(self):
        expected = b"\r\r\n".join(USAGE_LINES) + b"\r\n"
        for args in ([], ["-?"], ["/?"], ["-h"], ["/H"]):
            code, out, err = run_pipe(args, b"never read\n")
            self.assertEqual((code, out, err), (0, expected, b""), args)

    def test_terminal_shows_ordinary_line_breaks(self):
        code, out, _ = run_terminal([])
        self.assertEqual(code, 0)
        self.assertEqual(out, b"\r\n".join(USAGE_LINES) + b"\n")


class PlainModesThroughPipes(unittest.TestCase):
    def test_whole_stream_copies_lines_with_crlf(self):
        for data, expected in LINE_END_CASES + [(CONTROL_Z_INPUT, CONTROL_Z_OUTPUT["posix"])]:
            self.assertEqual(run_pipe(["1f"], data), (0, expected, b""), data)

    def test_undecodable_bytes_pass_through_in_every_mode(self):
        data = bytes(range(256)).replace(b"\n", b"").replace(b"\x1a", b"") + b"\n\xff\xfe\xc3(\n"
        expected = data.replace(b"\n", b"\r\n")
        for locale in ("C.UTF-8", "C"):
            self.assertEqual(run_pipe(["0a"], data, locale), (0, expected, b""), locale)
            self.assertEqual(run_pipe(["0a,zzz"], data, locale), (0, expected, b""), locale)

    def test_text_mode_joins_arguments(self):
        self.assertEqual(run_pipe(["1f", "hello", "world"]), (0, b"hello world\r\n", b""))
        self.assertEqual(run_pipe(["1f", "a", "", "b"]), (0, b"a  b\r\n", b""))
        self.assertEqual(run_pipe(["1f", "2e,def"]), (0, b"2e,def\r\n", b""))
        self.assertEqual(run_pipe(["0a", "ошибка", "naïve"]), (0, "ошибка naïve\r\n".encode(), b""))

    def test_c_locale_arguments_pass_through_as_bytes(self):
        code, out, _ = run_pipe(["0a", "caf\u00e9 \u4e2d end"], locale="C")
        # Under the C locale arguments are bytes, so é arrives as its two UTF-8 bytes and stays so.
        self.assertEqual((code, out), (0, "caf\u00e9 \u4e2d end\r\n".encode()))

    def test_pipes_are_widened_only_for_a_bulk_copy_and_never_narrowed(self):
        import fcntl
        # (arguments, output expected, widened): only a run that streams standard input
        # through widens its pipes, coloured or not; text mode and the usage text leave them
        # as they are.
        cases = [(["1f"], b"x\r\n", True), (["0c,x"], b"x\r\n", True),
                 (["--color=always", "0c,x"], b"\x1b[0;91;49mx\x1b[0m\n", True),
                 (["--color=always", "1f", "t"], b"\x1b[0;97;44mt\x1b[0m\n", False), (["1f", "t"], b"t\r\n", False),
                 (["-?"], None, False)]
        for start in (64 << 10, 2 << 20):
            for args, expected, widened in cases:
                pipes = [os.pipe(), os.pipe()]  # standard input, standard output
                try:
                    try:
                        for read_end, write_end in pipes:
                            fcntl.fcntl(write_end, fcntl.F_SETPIPE_SZ, start)
                    except PermissionError:  # above the system's limit for this user
                        break
                    (in_read, in_write), (out_read, out_write) = pipes
                    os.write(in_write, b"x\n")
                    os.close(in_write)
                    pipes[0] = (in_read, None)
                    p = subprocess.run([BINARY, *args], stdin=in_read, stdout=out_write, env=environment())
                    out = os.read(out_read, 4096)
                    self.assertEqual(p.returncode, 0, args)
                    if expected is not None:
                        self.assertEqual(out, expected, args)
                    size = max(start, 1 << 20) if widened else start
                    for end in (in_read, out_read):
                        self.assertEqual(fcntl.fcntl(end, fcntl.F_GETPIPE_SZ), size, (args, start))
                finally:
                    for ends in pipes:
                        for end in ends:
                            if end is not None:
                                os.close(end)

    def test_output_to_a_file(self):
        with tempfile.TemporaryFile() as f:
            p = subprocess.run([BINARY, "1f"], input=b"x\ny", stdout=f, env=environment())
            f.seek(0)
            self.assertEqual((p.returncode, f.read()), (0, b"x\r\ny\r\n"))


class PlainModesOnATerminal(unittest.TestCase):
    def test_text_mode_colours_the_text_and_not_the_line_end(self):
        self.assertEqual(run_terminal(["1f", "hello"])[:2], (0, ESC + b"[0;97;44mhello" + RESET + b"\n"))
        self.assertEqual(run_terminal(["x7", "a", "b"])[:2], (0, ESC + b"[0;37;107ma b" + RESET + b"\n"))

    def test_whole_stream_colours_each_line(self):
        code, out, _ = run_terminal(["0c"], b"one\r\n\ntwo")
        line = lambda text: ESC + b"[0;91;49m" + text + RESET + b"\n"
        self.assertEqual((code, out), (0, line(b"one") + line(b"") + line(b"two")))

    def test_attribute_words_become_sgr_sequences(self):
        cases = {"1f": b"[0;97;44m", "0c": b"[0;91;49m", "xx": b"[0;97;107m", "7": b"[0;97;107m",
                 "x7": b"[0;37;107m", "e1": b"[0;34;103m", "80": b"[0;30;100m", "06": b"[0;33;49m"}
        for code, sgr in cases.items():
            self.assertEqual(run_terminal([code, "t"])[1], ESC + sgr + b"t" + RESET + b"\n", code)

    def test_c_and_posix_locales_read_utf8(self):
        # Case folds beyond ASCII and "." takes a whole character; bytes that are not UTF-8 pass.
        red, green = ESC + b"[0;91;49m", ESC + b"[0;92;49m"
        line = "x ОШИБКА é!".encode() + b" \xff"
        expected = b"x " + red + "ОШИБКА".encode() + RESET + b" " + green + "é!".encode() + RESET + b" \xff\n"
        for locale in ("C", "POSIX", "xx_XX.UTF-8"):  # the last is not installed: the C locale
            self.assertEqual(run_terminal(["0c,ошибка", "0a,.!"], line, locale), (0, expected, b""), locale)

    def test_dumb_terminal_gets_no_colour_and_terminal_line_ends(self):
        self.assertEqual(run_terminal(["1f", "hello"], term="dumb")[:2], (0, b"hello\n"))


class WhatIsWaitingIsShown(unittest.TestCase):
    """When input pauses in the middle of a line, what has come of it is written, but for a CR
    that may begin a CR LF and a character still incomplete; the rest is a text of its own."""
    RED = ESC + b"[0;91;49m"

    def shown_in_two_parts(self, args, first, rest, terminal):
        """Writes `first`, waits until huecast has written what it shows of it, then `rest`;
        returns both parts of the output."""
        master = slave = None
        if terminal:
            master, slave = pty.openpty()
            tty.setraw(slave)
        p = subprocess.Popen([BINARY, *args], stdin=subprocess.PIPE, stdout=slave or subprocess.PIPE,
                             env=environment())
        if terminal:
            os.close(slave)
        out = master if terminal else p.stdout.fileno()
        try:
            p.stdin.write(first)
            p.stdin.flush()
            shown = b""
            while True:
                ready, _, _ = select.select([out], [], [], 10)
                self.assertTrue(ready, "nothing was shown while input waited; so far %r" % shown)
                shown += os.read(out, 4096)
                time.sleep(0.2)  # anything more that would come
                if not select.select([out], [], [], 0)[0]:
                    break
            p.stdin.write(rest)
            p.stdin.close()
            after = drain_terminal(master) if terminal else p.stdout.read()
        finally:
            if p.poll() is None:
                p.kill()
            if not terminal:
                p.stdout.close()
        self.assertEqual(p.wait(10), 0)
        return shown, after

    def test_a_line_that_waits_for_its_rest(self):
        red = lambda text: self.RED + text + RESET
        cases = [  # arguments, terminal, what comes first and then, what shows first and then
            (["0c"], False, b"Password: ", b"secret\n", b"Password: ", b"secret\r\n"),
            (["0c"], True, b"Password: ", b"secret\n", red(b"Password: "), red(b"secret") + b"\n"),
            (["0c,zzz"], False, b"Password: ", b"secret\n", b"Password: ", b"secret\r\n"),
            (["0c,pass"], True, b"Password: ", b"secret\n", red(b"Pass") + b"word: ", b"secret\n"),
            # The rest is a text of its own: "^" holds where it begins.
            (["0c,^s"], True, b"Password: ", b"secret\n", b"Password: ", red(b"s") + b"ecret\n"),
            # A last CR may be the start of a CR LF; the bytes of a character are kept together.
            (["0c"], False, b"10%\r20%\r", b"\n", b"10%\r20%", b"\r\n"),
            (["0c"], True, "Пар".encode() + b"\xd0", b"\xbe\n", red("Пар".encode()), red("о".encode()) + b"\n"),
        ]
        for args, terminal, first, rest, shown, after in cases:
            self.assertEqual(self.shown_in_two_parts(args, first, rest, terminal), (shown, after), (args, first))

    def test_a_progress_line_shows_each_redraw_as_it_is_drawn(self):
        # Redrawn with a CR every 20 ms for a second, and no line feed until the end: each
        # redraw reaches the terminal, coloured, while the next ones are still coming.
        master, slave = pty.openpty()
        tty.setraw(slave)
        p = subprocess.Popen([BINARY, "0c,error"], stdin=subprocess.PIPE, stdout=slave, env=environment(), bufsize=0)
        os.close(slave)
        redraws = lambda n: b"".join(self.RED + b"error" + RESET + b" %d%%\r" % i for i in range(1, n + 1))
        shown = b""
        for i in range(1, 51):
            p.stdin.write(b"error %d%%\r" % i)
            until = time.monotonic() + 0.02
            while select.select([master], [], [], max(until - time.monotonic(), 0))[0]:
                shown += os.read(master, 65536)
        # Half a second behind at most, however busy the machine.
        self.assertTrue(shown.startswith(redraws(25)), shown[-60:])
        p.stdin.write(b"done\n")
        p.stdin.close()
        self.assertEqual((shown + drain_terminal(master), p.wait(10)), (redraws(50) + b"done\n", 0))

    @unittest.skipIf(os.environ.get("HUECAST_SANITIZED"), "the sanitizers' shadow memory is counted in the peak")
    @unittest.skipIf(os.environ.get("HUECAST_EMULATED"), "the peak would be the emulator's")
    def test_a_line_redrawn_without_end_is_shown_in_bounded_memory(self):
        # yes "error 42%" | tr '\n' '\r' for three seconds: a line that never ends, nor pauses.
        master, slave = pty.openpty()
        tty.setraw(slave)
        yes = subprocess.Popen(["yes", "error 42%"], stdout=subprocess.PIPE)
        tr = subprocess.Popen(["tr", "\n", "\r"], stdin=yes.stdout, stdout=subprocess.PIPE)
        p = subprocess.Popen([BINARY, "--color=always", "0c,error"], stdin=tr.stdout, stdout=slave, env=environment())
        yes.stdout.close()
        tr.stdout.close()
        os.close(slave)
        shown_each_second, peak_kib, start = [0, 0, 0], 0, time.monotonic()
        while time.monotonic() - start < 3:
            if select.select([master], [], [], 0.05)[0]:
                shown_each_second[min(int(time.monotonic() - start), 2)] += len(os.read(master, 1 << 20))
            with open("/proc/%d/status" % p.pid) as status:
                peak_kib = max([peak_kib] + [int(line.split()[1]) for line in status if line.startswith("VmHWM:")])
        p.kill()
        os.close(master)
        for process in (p, tr, yes):
            process.wait(10)
        self.assertTrue(all(shown_each_second), shown_each_second)
        self.assertLess(peak_kib, 64 << 10)

class BrokenEnds(unittest.TestCase):
    def test_reader_gone_ends_the_run_quietly(self):
        start = time.monotonic()
        p = subprocess.run("yes | '%s' 0a | head -1" % BINARY, shell=True, capture_output=True,
                           env=environment(), timeout=30)
        self.assertEqual(p.stdout, b"y\r\n")
        self.assertEqual(p.stderr, b"")
        self.assertLess(time.monotonic() - start, 10)
        code = subprocess.run("yes | '%s' 0a | head -1 >/dev/null; echo ${PIPESTATUS[1]}" % BINARY, shell=True,
                              executable="/bin/bash", capture_output=True, env=environment(), timeout=30).stdout
        self.assertEqual(code, b"0\n")

    def test_disk_full_is_reported(self):
        with open("/dev/full", "wb") as full:
            p = subprocess.run([BINARY, "0a", "hello"], stdout=full, stderr=subprocess.PIPE, env=environment())
        self.assertEqual(p.returncode, 1)
        self.assertEqual(p.stderr, b"huecast: standard output: No space left on device\n")

    def test_read_error_is_reported(self):
        directory = os.open("/", os.O_RDONLY)
        try:
            p = subprocess.run([BINARY, "1f"], stdin=directory, capture_output=True, env=environment())
        finally:
            os.close(directory)
        self.assertEqual((p.returncode, p.stdout), (1, b""))
        self.assertEqual(p.stderr, b"huecast: standard input: Is a directory\n")

    @unittest.skipIf(os.environ.get("HUECAST_SANITIZED"), "the sanitizers reserve more address space than the limit")
    @unittest.skipIf(os.environ.get("HUECAST_EMULATED"), "the emulator's code buffer alone takes half the limit")
    def test_a_line_longer_than_the_memory_allowed_goes_through_whole(self):
        import resource

        def limit_memory():
            resource.setrlimit(resource.RLIMIT_AS, (256 << 20, 256 << 20))

        # From a file, which never pauses: copying, and painting, hold a piece of the line at
        # a time, never all of it.
        line = b"x" * (300 << 20)
        with tempfile.TemporaryFile() as data:
            data.write(b"first\n" + line + b"\nlast\n")
            for args, end in ((["1f"], b"\r\n"), (["0c,y", "0a,z"], b"\r\n"), (["--color=always", "0c,y"], b"\n")):
                data.seek(0)
                p = subprocess.run([BINARY, *args], stdin=data, capture_output=True, env=environment(),
                                   preexec_fn=limit_memory, timeout=60)
                self.assertEqual((p.returncode, p.stderr), (0, b""), args)
                self.assertTrue(p.stdout == b"first" + end + line + end + b"last" + end, args)

    @unittest.skipIf(os.environ.get("HUECAST_SANITIZED"), "the sanitizers reserve more address space than the limit")
    @unittest.skipIf(os.environ.get("HUECAST_EMULATED"), "the emulator's code buffer alone takes half the limit")
    def test_running_out_of_memory_anywhere_is_one_line(self):
        import re
        import resource
        # Short lines around one of 2 MiB, which painting holds whole: under each limit on the
        # address space, memory runs out at start-up, in the middle or not at all.
        lines = b"".join(b"line %d: an error, a warning and some words, ok\n" % i for i in range(1000))
        data = lines + b"error " * 350000 + b"\n" + lines
        sgr = re.compile(rb"\x1b\[[0-9;]*m")
        modes = [(["0a", "hello"], False), (["1f"], False), (["0c,error"], False),
                 (["--color=always", "0c,error", "0e,warn\\w+"], False), (["0c,error", "0e,warn\\w+"], True)]
        with tempfile.TemporaryFile() as stdin:
            stdin.write(data)
            def run(args, terminal, kib=None):  # exit code, output, error output, how much of the input was read
                stdin.seek(0)
                master, slave = pty.openpty() if terminal else (None, subprocess.PIPE)
                limit = kib and (lambda: resource.setrlimit(resource.RLIMIT_AS, (kib << 10, kib << 10)))
                with subprocess.Popen([BINARY, *args], stdin=stdin, stdout=slave, stderr=subprocess.PIPE,
                                      env=environment(), preexec_fn=limit) as p:
                    if terminal:
                        os.close(slave)
                    out = drain_terminal(master) if terminal else p.stdout.read()
                    err = p.stderr.read()
                return p.wait(60), out, err, os.lseek(stdin.fileno(), 0, os.SEEK_CUR)

            failed_somewhere = set()
            for args, terminal in modes:
                whole = run(args, terminal)[1]
                outcomes = set()
                for kib in range(4096, 32769, 2048):
                    code, out, err, read = run(args, terminal, kib)
                    if code == 127 and b"error while loading shared libraries" in err:  # too little for the loader
                        continue
                    outcomes.add(code)
                    case = (args, terminal, kib, code, err, read)
                    self.assertEqual(err, b"" if code == 0 else b"huecast: out of memory\n", case)
                    if code == 0:
                        self.assertTrue(out == whole, case)
                        continue
                    # 2 only before a byte of input was taken; what went out before the line is
                    # the output of a whole run up to there, with no colour left showing.
                    self.assertIn(code, (1, 2) if read == 0 else (1,), case)
                    self.assertTrue(sgr.sub(b"", whole).startswith(sgr.sub(b"", out)), case)
                    self.assertIn(sgr.findall(out)[-1:], ([], [RESET]), case)
                # Text mode needs so little beyond what starting takes that memory may run out
                # for it under none of these limits.
                self.assertIn(0, outcomes, (args, terminal))
                failed_somewhere |= outcomes - {0}
            self.assertTrue(failed_somewhere, "memory ran out under none of the limits")

    def test_standard_input_that_cannot_be_read_is_reported_where_it_is_read(self):
        unreadable = (1, b"", b"huecast: standard input: Bad file descriptor\n")
        for args, redirection, expected in ((["1f"], "<&-", unreadable),  # closed
                                            (["0c,x"], "0>/dev/null", unreadable),  # open for writing only
                                            (["0a", "hi"], "<&-", (0, b"hi\r\n", b""))):
            p = subprocess.run("'%s' %s %s" % (BINARY, " ".join(args), redirection), shell=True,
                               capture_output=True, env=environment())
            self.assertEqual((p.returncode, p.stdout, p.stderr), expected, (args, redirection))

    def test_descriptors_made_non_blocking_by_another_process_are_waited_on(self):
        # O_NONBLOCK belongs to the open pipe or terminal, which other processes share: one of
        # them may set it, and then reads and writes find it not ready now and then.
        data = b"".join(b"line %d\n" % i for i in range(300000))
        plain = data.replace(b"\n", b"\r\n")
        coloured = b"".join(b"\x1b[0;97;44m" + line + RESET + b"\n" for line in data.splitlines())
        for input_blocks, output, output_blocks, expected in ((False, "pipe", True, plain),
                                                              (True, "pipe", False, plain),
                                                              (True, "terminal", False, coloured)):
            in_r, in_w = os.pipe()
            out_r, out_w = pty.openpty() if output == "terminal" else os.pipe()
            if output == "terminal":
                tty.setraw(out_w)
            os.set_blocking(in_r, input_blocks)
            os.set_blocking(out_w, output_blocks)
            p = subprocess.Popen([BINARY, "1f"], stdin=in_r, stdout=out_w, stderr=subprocess.PIPE, env=environment())
            os.close(in_r)
            os.close(out_w)

            def feed():
                for at in range(0, len(data), 65536):
                    os.write(in_w, data[at:at + 65536])
                    time.sleep(0.005)  # long enough for huecast to find the pipe empty
                os.close(in_w)

            feeder = threading.Thread(target=feed)
            feeder.start()
            time.sleep(0.5)  # long enough for the output to fill while nobody reads it
            out = drain_terminal(out_r, 20)
            feeder.join(20)
            code = p.wait(20)
            err = p.stderr.read()
            p.stderr.close()
            self.assertEqual((code, err), (0, b""), (input_blocks, output, output_blocks))
            # Where input paused in a line, its two parts each have their colour.
            out = out.replace(RESET + b"\x1b[0;97;44m", b"")
            self.assertTrue(out == expected, (input_blocks, output, output_blocks, len(out), out[-40:]))

    def test_no_line_is_held_back_while_input_waits(self):
        p = subprocess.Popen([BINARY, "1f"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=environment())
        try:
            for text in (b"first", b"second"):
                p.stdin.write(text + b"\n")
                p.stdin.flush()
                self.assertEqual(p.stdout.readline(), text + b"\r\n")
        finally:
            p.stdin.close()
            p.wait(10)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
