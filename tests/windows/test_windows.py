"""End-to-end tests of huecast.exe under Wine: exact bytes through pipes and files, the OEM
code pages (437, 866, and the double-byte 932), failing ends, and on a Wine console the text
and colour of every piece as the screen shows it."""

import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from wine_run import (EXE, ConsoleSession, environment, pieces, row_text, run_console, run_pipe,  # noqa: E402
                      run_shell)
from expectations import CONTROL_Z_INPUT, CONTROL_Z_OUTPUT, LINE_END_CASES, USAGE_LINES  # noqa: E402


DEFAULT = (7, 0)


def windows_path(path):
    """The path as Wine's Z: drive shows a Unix path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Executable(unittest.TestCase):
    def test_needs_no_dll_beside_it(self):
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", EXE], capture_output=True, text=True,
                              check=True).stdout
        dlls = {line.split(":", 1)[1].strip().lower() for line in dump.splitlines() if "DLL Name:" in line}
        self.assertIn("kernel32.dll", dlls)
        # Only libraries that every Windows system has.
        self.assertLessEqual(dlls, {"kernel32.dll", "msvcrt.dll", "odbc32.dll", "user32.dll", "advapi32.dll"})


@unittest.skipUnless(os.environ.get("HUECAST_ZIP"), "no download was made (make windows-zip)")
class Download(unittest.TestCase):
    def test_the_zip_unpacked_colours_with_a_set_by_name(self):
        path = os.environ["HUECAST_ZIP"]
        top = os.path.basename(path)[:-len(".zip")]
        with tempfile.TemporaryDirectory() as unpacked:
            with zipfile.ZipFile(path) as download:
                download.extractall(unpacked)
                names = sorted(n for n in download.namelist() if not n.endswith("/"))
            sets = sorted(os.listdir(os.path.join(os.path.dirname(__file__), "..", "..", "examples")))
            self.assertEqual(names, sorted([top + "/huecast.exe", top + "/README.txt", top + "/LICENSE.txt",
                                            *[top + "/filters/" + s for s in sets if s.endswith(".filters")]]))
            with open(os.path.join(unpacked, top, "README.txt"), "rb") as readme:
                self.assertNotIn(b"\n", readme.read().replace(b"\r\n", b""))
            exe = os.path.join(unpacked, top, "huecast.exe")
            line = b"Dec  9 21:59:04 web1 systemd[1]: apt-daily.service: Failed with result\n"
            p = subprocess.run(["wine", exe, "--color=always", "--set=syslog"], input=line, capture_output=True,
                               env=environment(), timeout=60)
        self.assertEqual((p.returncode, p.stderr), (0, b""))
        self.assertIn(b"\x1b[0;91;49mFailed\x1b[0m", p.stdout)


class ThroughPipesAndFiles(unittest.TestCase):
    def test_usage_has_cr_cr_lf_inside_and_one_line_end(self):
        expected = b"\r\r\n".join(USAGE_LINES) + b"\r\n"
        for args in ([], ["-?"], ["/?"], ["-h"], ["/H"]):
            self.assertEqual(run_pipe(args, b"never read\n"), (0, expected, b""), args)

    def test_whole_stream_line_ends(self):
        for data, expected in LINE_END_CASES + [(CONTROL_Z_INPUT, CONTROL_Z_OUTPUT["windows"])]:
            self.assertEqual(run_pipe(["1f"], data), (0, expected, b""), data)

    def test_text_and_filter_modes(self):
        self.assertEqual(run_pipe(["1f", "hello", "world"]), (0, b"hello world\r\n", b""))
        self.assertEqual(run_pipe(["1f", "a", "", "b"]), (0, b"a  b\r\n", b""))
        self.assertEqual(run_pipe(["1f", "2e,def"]), (0, b"2e,def\r\n", b""))
        # The runtime expands no wildcards: "*" is text, and part of a filter's expression.
        self.assertEqual(run_pipe(["0a", "*", "*.exe"]), (0, b"* *.exe\r\n", b""))
        self.assertEqual(run_pipe(["0c,err.*", "0a,ok"], b"an error\r\nok\x1a\n"), (0, b"an error\r\nok\r\n", b""))

    def test_forced_colour_into_a_pipe_is_what_a_terminal_gets(self):
        coloured = (0, b"an \x1b[0;91;49merror\x1b[0m\nok\n", b"")
        self.assertEqual(run_pipe(["--color=always", "0c,error"], b"an error\r\nok\n"), coloured)
        self.assertEqual(run_pipe(["--colour=never", "0c,error"], b"an error\n"), (0, b"an error\r\n", b""))

    def test_output_to_a_file(self):
        with tempfile.TemporaryFile() as f:
            p = subprocess.run(["wine", EXE, "1f"], input=b"x\ny", stdout=f, env=environment())
            f.seek(0)
            self.assertEqual((p.returncode, f.read()), (0, b"x\r\ny\r\n"))

    def test_input_from_a_file_ends_at_ctrl_z(self):
        with tempfile.TemporaryFile() as f:
            f.write(b"a\r\nb\x1ac\r\nd\n")
            f.seek(0)
            p = subprocess.run(["wine", EXE, "0a"], stdin=f, capture_output=True, env=environment())
            self.assertEqual((p.returncode, p.stdout), (0, b"a\r\nb\r\n"))


class RunningACommand(unittest.TestCase):
    """huecast.exe --run, with huecast.exe itself and cmd as the commands: their output and
    errors through pipes, each painted onto its own stream, and their exit codes."""

    def setUp(self):
        rules = tempfile.NamedTemporaryFile(suffix=".filters", delete=False)
        rules.write(b"0a,hello\r\n0c,unknown\r\n")
        rules.close()
        self.addCleanup(os.unlink, rules.name)
        self.rules = "--file=" + windows_path(rules.name)

    def test_output_and_errors_apart_and_the_exit_code_passed_on(self):
        exe = windows_path(EXE)
        green, red, reset = b"\x1b[0;92;49m", b"\x1b[0;91;49m", b"\x1b[0m"
        cases = [  # arguments, exit code, output, errors
            (["--color=always", self.rules, "--run", exe, "0a", "hello"], 0, green + b"hello" + reset + b"\n", b""),
            (["--color=always", self.rules, "--run", exe, "--bad"], 2, b"",
             b"huecast: " + red + b"unknown" + reset + b" option '--bad'; try 'huecast --help'\n"),
            # Into pipes without colour: the lines as they came, with the line ends of a pipe.
            ([self.rules, "--run", exe, "0a", "hello"], 0, b"hello\r\n", b""),
            # Each argument reaches the command as it was given: quotes, blanks, nothing at all,
            # backslashes before a quote and elsewhere.
            ([self.rules, "--run", exe, "0a", 'a "b"  c', "", 'e\\f\\"', "d\\"], 0,
             b'a "b"  c  e\\f\\" d\\\r\n', b""),
            ([self.rules, "--run", "cmd", "/c", "exit 7"], 7, b"", b""),
            ([self.rules, "--run", "no-such-program"], 127, b"", b"huecast: no-such-program: command not found\r\n"),
        ]
        for args, code, out, err in cases:
            self.assertEqual(run_pipe(args), (code, out, err), args)

    def test_on_the_console_output_and_errors_each_in_their_colours(self):
        command = "$HUECAST '%s' --run '%s' " % (self.rules, windows_path(EXE))
        screens = run_console([command + "0a hello there", command + "--bad"])
        self.assertEqual([pieces(r) for r in screens[0]], [[("hello", 10, 0), (" there", *DEFAULT)]])
        self.assertEqual([pieces(r) for r in screens[1]],
                         [[("huecast: ", *DEFAULT), ("unknown", 12, 0),
                           (" option '--bad'; try 'huecast --help'", *DEFAULT)]])


class CodePages(unittest.TestCase):
    def test_oem_437(self):
        # Arguments are written in the OEM code page; what it cannot hold becomes "?".
        self.assertEqual(run_pipe(["0a", "caf\u00e9", "na\u00efve", "\u4e2d\u0416!"]),
                         (0, b"caf\x82 na\x8bve ??!\r\n", b""))
        # Every byte of input comes back unchanged.
        data = bytes(range(256)).replace(b"\n", b"").replace(b"\x1a", b"") + b"\n"
        self.assertEqual(run_pipe(["0a"], data), (0, data.replace(b"\n", b"\r\n"), b""))
        # A filter sees the input decoded: 0x82 is e acute, matched case-insensitively.
        self.assertEqual(run_pipe(["0c,CAF\u00c9"], b"caf\x82\n"), (0, b"caf\x82\r\n", b""))

    def test_oem_866(self):
        self.assertEqual(run_pipe(["0a", "ошибка", "OK"], code_page="866"),
                         (0, b"\xae\xe8\xa8\xa1\xaa\xa0 OK\r\n", b""))
        self.assertEqual(run_pipe(["0c,ОШИБКА"], b"\xae\xe8\xa8\xa1\xaa\xa0\n", code_page="866"),
                         (0, b"\xae\xe8\xa8\xa1\xaa\xa0\r\n", b""))

    def test_oem_932_double_byte(self):
        self.assertEqual(run_pipe(["0a", "日本語"], code_page="932"), (0, b"\x93\xfa\x96\x7b\x8c\xea\r\n", b""))
        # Undefined bytes, a lead byte before NUL, one before a byte it makes nothing with,
        # and one at the very end all pass through as they came.
        data = b"\x93\xfa\xfd\xff|\x93\x00|\x81\x7f|\x93"
        for args in (["0a"], ["0a,zzz"], ["0a,\u65e5"]):
            self.assertEqual(run_pipe(args, data, code_page="932"), (0, data + b"\r\n", b""), args)


class FailingEnds(unittest.TestCase):
    def test_reader_gone_ends_the_run_quietly(self):
        p = run_shell("yes | $HUECAST 0a | head -1; echo \"exit ${PIPESTATUS[1]}\"")
        self.assertEqual(p.stdout, b"y\r\nexit 0\n")
        self.assertEqual(p.stderr, b"")

    def test_disk_full_is_reported(self):
        p = run_shell("$HUECAST 0a hello >/dev/full")
        self.assertEqual(p.returncode, 1)
        self.assertTrue(p.stderr.startswith(b"huecast: standard output: "), p.stderr)
        self.assertTrue(p.stderr.endswith(b"\r\n"), p.stderr)

    def test_read_error_is_reported(self):
        p = run_shell("$HUECAST 1f </")
        self.assertEqual((p.returncode, p.stdout), (1, b""))
        self.assertTrue(p.stderr.startswith(b"huecast: standard input: "), p.stderr)

    def test_no_line_is_held_back_while_input_waits(self):
        p = subprocess.Popen(["wine", EXE, "1f"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=environment())
        try:
            for text in (b"first", b"second"):
                p.stdin.write(text + b"\n")
                p.stdin.flush()
                self.assertEqual(p.stdout.readline(), text + b"\r\n")
        finally:
            p.stdin.close()
            p.wait(30)


class OnTheConsole(unittest.TestCase):
    """The screen as a person would see it: text, and the colour of every piece."""

    @classmethod
    def setUpClass(cls):
        cls.screens = run_console([
            "$HUECAST 1f hello",
            "$HUECAST 1E hello world",
            "printf 'one\\r\\n\\ntwo' | $HUECAST 0c",
            "printf 'an Error here, ok\\nno match\\nERROR ok error\\n' | $HUECAST 0c,error 0a,ok",
            "$HUECAST",
            "$HUECAST x7 bits",
            "$HUECAST 0a caf\u00e9 \u4e2d",
            "wine cmd /c 'chcp 65001 >nul & %s 0e caf\u00e9'" % windows_path(EXE),
            # Text that another program writes to the same console after the run.
            "wine cmd /c '%s 2f tail & echo after'" % windows_path(EXE),
            # Colour turned off on the console.
            "$HUECAST --color=never 1f plain; NO_COLOR=1 $HUECAST 1f also",
        ])

    def rows(self, n):
        return [pieces(r) for r in self.screens[n]]

    def test_text_mode_colours_the_text_only(self):
        self.assertEqual(self.rows(0), [[("hello", 15, 1)]])
        self.assertEqual(self.rows(1), [[("hello world", 14, 1)]])

    def test_whole_stream_colours_each_line(self):
        self.assertEqual([row_text(r) for r in self.screens[2]], ["one", "", "two"])
        self.assertEqual(self.rows(2)[0], [("one", 12, 0)])
        self.assertEqual(self.rows(2)[2], [("two", 12, 0)])

    def test_filter_mode_colours_the_matches(self):
        self.assertEqual(self.rows(3), [
            [("an ", *DEFAULT), ("Error", 12, 0), (" here, ", *DEFAULT), ("ok", 10, 0)],
            [("no match", *DEFAULT)],
            [("ERROR", 12, 0), (" ", *DEFAULT), ("ok", 10, 0), (" ", *DEFAULT), ("error", 12, 0)],
        ])

    def test_usage_shows_plain_line_breaks(self):
        self.assertEqual([row_text(r) for r in self.screens[4]], [line.decode().rstrip() for line in USAGE_LINES])
        self.assertTrue(all(p[1:] == DEFAULT for r in self.rows(4) for p in r))

    def test_whole_attribute_word_is_applied(self):
        self.assertEqual(self.rows(5), [[("bits", 7, 15)]])

    def test_console_code_page(self):
        # The OEM code page holds e acute but not the CJK character, which is written as "?".
        self.assertEqual(self.rows(6), [[("caf\u00e9 ?", 10, 0)]])
        # Converted to the console's own code page when that differs (UTF-8 here).
        self.assertEqual(self.rows(7), [[("caf\u00e9", 14, 0)]])

    def test_colour_is_restored_after_the_run(self):
        self.assertEqual(self.rows(8), [[("tail", 15, 2)], [("after", *DEFAULT)]])

    def test_colour_turned_off_leaves_the_console_as_it_is(self):
        self.assertEqual(self.rows(9), [[("plain", *DEFAULT)], [("also", *DEFAULT)]])

    def test_other_code_pages_on_the_console(self):
        cyrillic = run_console(["printf '\\xae\\xe8\\xa8\\xa1\\xaa\\xa0 \\x8e\\x8a\\n' | $HUECAST 0c,ОШИБКА 0a,ок",
                                "$HUECAST 1e Привет"], code_page="866")
        self.assertEqual([pieces(r) for r in cyrillic[0]], [[("ошибка", 12, 0), (" ", *DEFAULT), ("ОК", 10, 0)]])
        self.assertEqual([pieces(r) for r in cyrillic[1]], [[("Привет", 14, 1)]])
        japanese = run_console(["$HUECAST 0a 日本語", "printf 'x\\x93\\xfa\\x96\\x7by\\n' | $HUECAST 0c,本"],
                               code_page="932")
        self.assertEqual([pieces(r) for r in japanese[0]], [[("日本語", 10, 0)]])
        self.assertEqual([pieces(r) for r in japanese[1]], [[("x日", *DEFAULT), ("本", 12, 0), ("y", *DEFAULT)]])


class TypedAtTheConsole(unittest.TestCase):
    def test_each_typed_line_comes_back_coloured_while_input_waits(self):
        # The console takes keys once Wine's console owns the terminal: cmd says when.
        session = ConsoleSession("wine cmd /c 'echo ready & %s 0c,b 0a,in'" % windows_path(EXE))
        try:
            session.wait_for(lambda rows: any(row_text(r) == "ready" for r in rows))
            session.wait_until_keys_reach_the_console()
            for line in ("abc", "second line"):
                session.type_line(line)
                # The typed line is echoed by the console, then written back coloured before
                # the program waits for the next one.
                rows = session.wait_for(lambda rows: sum(row_text(r) == line for r in rows) == 2)
                shown = [pieces(r) for r in rows if row_text(r) == line]
                self.assertEqual(shown[0], [(line, *DEFAULT)])
                expected = {"abc": [("a", *DEFAULT), ("b", 12, 0), ("c", *DEFAULT)],
                            "second line": [("second l", *DEFAULT), ("in", 10, 0), ("e", *DEFAULT)]}[line]
                self.assertEqual(shown[1], expected)
        finally:
            session.close()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
