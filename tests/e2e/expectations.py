"""What every build writes to a pipe, whatever its platform: the usage text's sixteen lines,
and whole-stream mode's input and output at the line ends."""

USAGE_LINES = [
    b"huecast v2.1 *** coloured console *** free *** https://huecast.example",
    b"Usage:",
    b"huecast <BG color><text color>        - write stdin with specified color",
    b"huecast <BG color><text color>,<regex> ...",
    b" " * 38 + b"- write stdin by lines with color",
    b" " * 40 + b"specified for each line by a filter",
    b"huecast <BG color><text color> <text> - write <text> with specified color",
    b"<BG color> and <text color> are same hex digit 0-F as in COLOR command",
    b"0 = Black       8 = Gray",
    b"1 = Blue        9 = Light blue",
    b"2 = Green       A = Light green",
    b"3 = Aqua        B = Light aqua",
    b"4 = Red         C = Light red",
    b"5 = Purple      D = Light purple",
    b"6 = Yellow      E = Light yellow",
    b"7 = White       F = Bright white",
]

# Whole-stream mode into a pipe: input bytes and the output they give.
LINE_END_CASES = [
    (b"", b""),
    (b"a\r\nb", b"a\r\nb\r\n"),
    (b"one\ntwo\n\n", b"one\r\ntwo\r\n\r\n"),
    (b"cr\rinside\r\r\n", b"cr\rinside\r\r\n"),
    (b"nul\x00byte\n", b"nul\x00byte\r\n"),
]

# Ctrl-Z ends a file or pipe on Windows, as its text files have it; elsewhere it is a byte.
CONTROL_Z_INPUT = b"before\x1aafter\nmore\n"
CONTROL_Z_OUTPUT = {"windows": b"before\r\n", "posix": b"before\x1aafter\r\nmore\r\n"}
