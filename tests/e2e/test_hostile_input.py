"""Input built to make huecast crawl or take the machine's memory: lines that make expressions
backtrack, thrown at hostile filters and at every shipped set, a huge set of filters, and an
expression the interpreter runs. Each run must end, lose no byte, and say once which limit a
filter reached; the timeouts only guard against a hang (speed is the benchmarks' business)."""

import glob
import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from huecast_run import BINARY, environment  # noqa: E402

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
ESCAPE = re.compile(rb"\x1b\[[0-9;]*m")


def run(args, data, timeout=120):
    """--color=always into a pipe; returns (exit code, output without its escapes, stderr, output)."""
    p = subprocess.run([BINARY, "--color=always", *args], input=data, capture_output=True, env=environment(),
                       timeout=timeout)
    return p.returncode, ESCAPE.sub(b"", p.stdout), p.stderr, p.stdout


class BacktrackingLines(unittest.TestCase):
    def test_a_filter_that_backtracks_without_end_gives_up_for_the_line_and_says_why(self):
        # Thousands of searches in one line, each of which backtracks without end; a line that
        # needs more stack than it is allowed.
        pieces = b"x" * 20 + b"!z "
        cases = (
            # expression, input, the limit named in the warning
            ("(x+x+)+y|z", pieces * 4000 + b"\n", b"too much backtracking"),
            ("(?:a|b)*c", b"ab" * (2 << 20) + b"c\n", b"its engine's stack for the line ran out"),
        )
        for expression, data, limit in cases:
            code, shown, err, _ = run(["0c," + expression], data)
            self.assertEqual((code, shown), (0, data), expression)
            self.assertEqual(err.count(b"\n"), 1, (expression, err))
            self.assertIn(b"gave up on line 1 (" + limit + b")", err, expression)

    def test_every_shipped_set_ends_on_lines_built_to_make_it_backtrack(self):
        # Long runs of what expressions repeat: word characters, digits, blanks, the
        # separators of dates, addresses, paths, key=value pairs and quotes, and mixtures.
        runs = [b"a", b"0", b" ", b".", b":", b"/", b"-", b"=", b'"', b"'", b"\\", b"[", b"(", b"a ", b"a.", b"0.",
                b"0:", b"a=", b"a/", b"a-", b"ab1 ", b"x=\"", b"error ", b"warn: ", b"at a.b(", b"\t", b"+", b"@"]
        data = b"".join(r * (30000 // len(r)) + b"!\n" for r in runs)
        for path in sorted(glob.glob(os.path.join(EXAMPLES, "*.filters"))):
            code, shown, err, _ = run(["--file=" + path], data, timeout=300)
            self.assertEqual((code, shown), (0, data), os.path.basename(path))
            self.assertLessEqual(err.count(b"\n"), 1, (os.path.basename(path), err))


class Expressions(unittest.TestCase):
    def test_the_interpreter_asked_for_colours_as_the_jit_does(self):
        code, _, err, out = run(["0c,(*NO_JIT)a"], b"banana\n")
        self.assertEqual((code, err), (0, b""))
        self.assertEqual(out.count(b"\x1b[0;91;49ma"), 3)

    def test_filters_that_would_take_too_much_memory_are_refused_at_once(self):
        with tempfile.NamedTemporaryFile("w", suffix=".filters") as f:
            f.write("0c,(?:ab){4000}\n" * 8000)
            f.flush()
            code, shown, err, _ = run(["--file=" + f.name], b"never read\n", timeout=60)
        self.assertEqual((code, shown, err.count(b"\n")), (2, b"", 1))
        self.assertIn(b"would take more than 64 MiB", err)


if __name__ == "__main__":
    sys.argv[1:] = []
    unittest.main(verbosity=2)
