"""End-to-end tests of styled filters: what a terminal shows, character by character, for
filters given with --filter and in filter files, with and without COLORTERM."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from huecast_run import run_pipe  # noqa: E402
from sgr_screen import PLAIN, look, screen  # noqa: E402

RED, GREEN = ("basic", 1), ("basic", 2)


def shown(args, data, **env):
    """What a terminal shows, with colour forced into a pipe (the same bytes)."""
    code, out, err = run_pipe(["--color=always", *args], data, **env)
    if (code, err) != (0, b""):
        raise AssertionError("exit %d: %r" % (code, err))
    return screen(out)


class WhatATerminalShows(unittest.TestCase):
    def test_groups_of_styled_filters(self):
        cases = [  # arguments, a line, what it shows
            (["--filter=bold red;green;ul,(a(b)c)d"], b"xabcdx",
             [("x", PLAIN), ("a", look("bold", text=GREEN)), ("b", look("bold", "underline", text=RED)),
              ("c", look("bold", text=GREEN)), ("d", look("bold", text=RED)), ("x", PLAIN)]),
            # A group that took no part; a group before \K.
            (["--filter", "red;bold;ul,x(a)?(b)?"], b"xb", [("x", look(text=RED)), ("b", look("underline", text=RED))]),
            (["--filter=red;ul,(ab\\Kc)"], b"abc", [("ab", PLAIN), ("c", look("underline", text=RED))]),
            # Empty styles: the match's, and a group's.
            (["--filter=;green,id=(\\d+)"], b"id=42 x", [("id=", PLAIN), ("42", look(text=GREEN)), (" x", PLAIN)]),
            (["--filter=red;;bold,(a)(b)"], b"ab", [("a", look(text=RED)), ("b", look("bold", text=RED))]),
        ]
        for args, line, expected in cases:
            self.assertEqual(shown(args, line + b"\n"), [expected], args)

    def test_24_bit_colours_as_they_are_only_where_colorterm_says_so(self):
        args = ["--filter=#ff8000;#00ff00 #000080,e(r)"]
        for env, colours in (({"COLORTERM": "truecolor"}, [("rgb", 255, 128, 0), ("rgb", 0, 255, 0), ("rgb", 0, 0, 128)]),
                             ({}, [("palette", 208), ("palette", 46), ("palette", 18)])):
            self.assertEqual(shown(args, b"er\n", **env),
                             [[("e", look(text=colours[0])), ("r", look(text=colours[1], background=colours[2]))]], env)

    def test_a_filter_file_holds_styled_and_classic_lines(self):
        with tempfile.NamedTemporaryFile() as rules:
            rules.write(b"# styled\nbold red;ul,err(or)\r\n0a,ok\n")
            rules.flush()
            self.assertEqual(shown(["--file", rules.name], b"error ok\n"), [
                [("err", look("bold", text=RED)), ("or", look("bold", "underline", text=RED)), (" ", PLAIN),
                 ("ok", look(text=("basic", 10)))]])

    def test_classic_filters_write_the_same_bytes_however_given(self):
        for classic in ("0c,a;b", "0c,bold,x"):
            expected = run_pipe(["--color=always", classic], b"a;b bold,x\n")
            with tempfile.NamedTemporaryFile() as rules:
                rules.write(classic.encode() + b"\n")
                rules.flush()
                for given in ("--filter=" + classic, "--file=" + rules.name):
                    self.assertEqual(run_pipe(["--color=always", given], b"a;b bold,x\n"), expected, given)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
