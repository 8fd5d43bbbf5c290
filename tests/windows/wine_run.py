"""Runs huecast.exe under Wine for the Windows end-to-end tests: through pipes and files, and
on a Wine console inside tmux, whose screen is read back as text with a colour per cell.

Settings come from the environment, as run_tests.py sets them: HUECAST_EXE, WINEPREFIX and
HUECAST_LOCPATH (compiled Unix locales, so that Wine picks the code pages of other regions)."""

import os
import re
import shlex
import subprocess
import sys
import time
import uuid

EXE = os.environ.get("HUECAST_EXE", "build-windows/huecast.exe")
TMUX_SOCKET = "huecast-wine-tests"

# The Unix locale decides Wine's user locale, and with it the OEM code page.
LOCALES = {"437": "C.UTF-8", "866": "ru_RU.UTF-8", "932": "ja_JP.UTF-8"}


def environment(code_page="437"):
    # Variables that decide colour are set by the tests that mean to, never inherited.
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("LC_") and k not in ("LANG", "NO_COLOR", "FORCE_COLOR", "CLICOLOR_FORCE")}
    env["LC_ALL"] = LOCALES[code_page]
    env["WINEDEBUG"] = "-all"
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    if os.environ.get("HUECAST_LOCPATH"):
        env["LOCPATH"] = os.environ["HUECAST_LOCPATH"]
    return env


def run_pipe(args, data=b"", code_page="437", timeout=60):
    """Standard input and output are pipes. Returns (exit code, stdout bytes, stderr bytes)."""
    p = subprocess.run(["wine", EXE, *args], input=data, capture_output=True, env=environment(code_page),
                       timeout=timeout)
    return p.returncode, p.stdout, p.stderr


def run_shell(script, code_page="437", timeout=60):
    """A bash command line with $HUECAST standing for the program under Wine."""
    env = environment(code_page)
    env["HUECAST"] = "wine " + shlex.quote(EXE)
    return subprocess.run(["bash", "-c", script], capture_output=True, env=env, timeout=timeout)


# Console colour numbers (blue, green, red, intensity bits) from ANSI ones (red, green, blue).
def _console_colour(ansi):
    return ((ansi & 1) << 2) | (ansi & 2) | ((ansi & 4) >> 2)


DEFAULT_FG, DEFAULT_BG = 7, 0  # a fresh Wine console's attribute, 0x07


class Cell:
    __slots__ = ("char", "fg", "bg")

    def __init__(self, char, fg, bg):
        self.char, self.fg, self.bg = char, fg, bg


def parse_screen(text):
    """Rows of cells from `tmux capture-pane -e`: each character with the console colours
    (0-15) of its text and background. Attributes carry over from row to row."""
    fg, bg = DEFAULT_FG, DEFAULT_BG
    rows, row = [], []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\x1b":
            m = re.match(r"\x1b\[([0-9;]*)m", text[i:])
            if not m:
                raise ValueError("unexpected escape in capture: %r" % text[i:i + 10])
            codes = [int(x) if x else 0 for x in m.group(1).split(";")]
            j = 0
            while j < len(codes):
                n = codes[j]
                if n == 0:
                    fg, bg = DEFAULT_FG, DEFAULT_BG
                elif 30 <= n <= 37:
                    fg = _console_colour(n - 30)
                elif 90 <= n <= 97:
                    fg = 8 + _console_colour(n - 90)
                elif n == 39:
                    fg = DEFAULT_FG
                elif 40 <= n <= 47:
                    bg = _console_colour(n - 40)
                elif 100 <= n <= 107:
                    bg = 8 + _console_colour(n - 100)
                elif n == 49:
                    bg = DEFAULT_BG
                elif n in (38, 48) and j + 2 < len(codes) and codes[j + 1] == 5:
                    value = codes[j + 2]
                    colour = (8 if value >= 8 else 0) + _console_colour(value & 7) if value < 16 else -1
                    if n == 38:
                        fg = colour
                    else:
                        bg = colour
                    j += 2
                j += 1
            i += m.end()
            continue
        if c == "\n":
            rows.append(row)
            row = []
        else:
            row.append(Cell(c, fg, bg))
        i += 1
    if row:
        rows.append(row)
    return rows


def row_text(row):
    return "".join(cell.char for cell in row).rstrip(" ")


def pieces(row):
    """The row as runs of (text, fg, bg), trailing blanks dropped."""
    out = []
    text = row_text(row)
    for cell in row[:len(text)]:
        if out and out[-1][1] == cell.fg and out[-1][2] == cell.bg:
            out[-1][0] += cell.char
        else:
            out.append([cell.char, cell.fg, cell.bg])
    return [tuple(p) for p in out]


def run_console(cases, code_page="437", timeout=90):
    """Runs each shell command of `cases` (a list of strings, with $HUECAST standing for the
    program under Wine) in turn on one Wine console in a 200x50 tmux window, and returns the
    screen rows that each one left, parsed by parse_screen. Every case is expected to show
    something: now and then Wine's console leaves one case's rows blank, which the same
    program through pipes never does, so a session where that happens is run once more."""
    screens = _console_session(cases, code_page, timeout)
    if not all(screens):
        print("\nWine's console showed nothing for a case; running the session again", file=sys.stderr, flush=True)
        screens = _console_session(cases, code_page, timeout)
    return screens


def _console_session(cases, code_page, timeout):
    marker = "@@" + uuid.uuid4().hex[:8]
    # Wine's console draws an attribute only with the characters that carry it, so the
    # terminal keeps the last one drawn after the program has gone; each marker resets it,
    # so that every case starts on the terminal's own colours, as Wine assumes.
    lines = []
    for n, command in enumerate(cases):
        lines.append("printf '\\033[0m%s %d\\n'" % (marker, n))
        lines.append(command)
    lines.append("printf '\\033[0m%s end\\n'" % marker)
    lines.append("sleep 600")
    env = environment(code_page)
    env["HUECAST"] = "wine " + shlex.quote(EXE)
    script = "\n".join(lines)
    session = "case" + uuid.uuid4().hex[:8]
    tmux = ["tmux", "-L", TMUX_SOCKET]
    env_args = []
    for key in ("HUECAST", "LC_ALL", "LOCPATH", "WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES", "PATH"):
        if key in env:
            env_args += ["-e", "%s=%s" % (key, env[key])]
    subprocess.run(tmux + ["-f", "/dev/null", "new-session", "-d", "-s", session, "-x", "200", "-y", "50",
                           *env_args, "bash", "--norc", "--noprofile", "-c", script],
                   check=True, env=env)
    try:
        deadline = time.monotonic() + timeout
        while True:
            screen = subprocess.run(tmux + ["capture-pane", "-e", "-p", "-J", "-S", "-", "-t", session],
                                    capture_output=True, text=True, check=True).stdout
            if marker + " end" in screen:
                break
            if time.monotonic() > deadline:
                raise TimeoutError("console cases did not finish:\n" + screen)
            time.sleep(0.2)
    finally:
        subprocess.run(tmux + ["kill-session", "-t", session], capture_output=True)
    rows = parse_screen(screen)
    results = [[] for _ in cases]
    current = None
    for row in rows:
        text = row_text(row)
        if text.startswith(marker):
            tag = text.split()[1]
            current = None if tag == "end" else int(tag)
            continue
        if current is not None:
            results[current].append(row)
    # Blank rows below the last output are the screen's, not the program's.
    for rows_of_case in results:
        while rows_of_case and not row_text(rows_of_case[-1]) and \
                all(c.fg == DEFAULT_FG and c.bg == DEFAULT_BG for c in rows_of_case[-1]):
            rows_of_case.pop()
    return results


class ConsoleSession:
    """One command on a Wine console in tmux, typed at like a person would: `type_line`
    sends keys and Enter, `wait_for` polls the screen until a row shows the given text."""

    def __init__(self, command, code_page="437"):
        env = environment(code_page)
        env["HUECAST"] = "wine " + shlex.quote(EXE)
        self.tmux = ["tmux", "-L", TMUX_SOCKET]
        self.session = "typed" + uuid.uuid4().hex[:8]
        env_args = []
        for key in ("HUECAST", "LC_ALL", "LOCPATH", "WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES", "PATH"):
            if key in env:
                env_args += ["-e", "%s=%s" % (key, env[key])]
        subprocess.run(self.tmux + ["-f", "/dev/null", "new-session", "-d", "-s", self.session, "-x", "200", "-y",
                                    "50", *env_args, "bash", "--norc", "--noprofile", "-c", command + "; sleep 600"],
                       check=True, env=env)

    def rows(self):
        screen = subprocess.run(self.tmux + ["capture-pane", "-e", "-p", "-J", "-S", "-", "-t", self.session],
                                capture_output=True, text=True, check=True).stdout
        return parse_screen(screen)

    def wait_until_keys_reach_the_console(self):
        """Until Wine's console has the terminal in raw mode, the terminal itself would take
        (and echo, and translate) the keys; give the program a moment to start reading."""
        tty = subprocess.run(self.tmux + ["display-message", "-p", "-t", self.session, "#{pane_tty}"],
                             capture_output=True, text=True, check=True).stdout.strip()
        deadline = time.monotonic() + 30
        while "-icanon" not in subprocess.run(["stty", "-F", tty, "-a"], capture_output=True, text=True).stdout:
            if time.monotonic() > deadline:
                raise TimeoutError("Wine's console never took the terminal")
            time.sleep(0.1)
        time.sleep(1)

    def type_line(self, text):
        subprocess.run(self.tmux + ["send-keys", "-t", self.session, "-l", text], check=True)
        subprocess.run(self.tmux + ["send-keys", "-t", self.session, "Enter"], check=True)

    def wait_for(self, predicate, timeout=30):
        deadline = time.monotonic() + timeout
        while True:
            rows = self.rows()
            if predicate(rows):
                return rows
            if time.monotonic() > deadline:
                raise TimeoutError("the console never showed what was expected:\n" +
                                   "\n".join(row_text(r) for r in rows))
            time.sleep(0.2)

    def close(self):
        subprocess.run(self.tmux + ["kill-session", "-t", self.session], capture_output=True)
