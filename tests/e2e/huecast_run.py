"""Runs the built huecast through pipes, files and a pseudo-terminal, for the end-to-end tests."""

import os
import pty
import select
import subprocess
import sys
import tempfile
import tty

BINARY = os.environ.get("HUECAST") or (sys.argv[1] if len(sys.argv) > 1 else "build/huecast")


# Variables that decide colour and its depth: the tests set them where they mean to, never by
# inheritance.
COLOUR_VARIABLES = ("NO_COLOR", "FORCE_COLOR", "CLICOLOR_FORCE", "COLORTERM")


def environment(locale="C.UTF-8", term="xterm", **extra):
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("LC_") and k != "LANG" and k not in COLOUR_VARIABLES}
    env["LC_ALL"] = locale
    env["TERM"] = term
    env.update(extra)
    return env


def drain_terminal(master, timeout=20, quiet_ends=False):
    """Reads the other end of a pseudo-terminal until huecast has closed it, then closes it.
    Nothing for `timeout` seconds raises TimeoutError, or with `quiet_ends` simply ends."""
    out = bytearray()
    while True:
        ready, _, _ = select.select([master], [], [], timeout)
        if not ready:
            if quiet_ends:
                break
            raise TimeoutError("huecast wrote nothing for %s s" % timeout)
        try:
            chunk = os.read(master, 65536)
        except OSError:  # the slave side is closed once huecast has exited
            break
        if not chunk:
            break
        out += chunk
    os.close(master)
    return bytes(out)


def run_pipe(args, data=b"", locale="C.UTF-8", timeout=20, **extra):
    """Standard input and output are pipes. Returns (exit code, stdout bytes, stderr bytes)."""
    p = subprocess.run([BINARY, *args], input=data, capture_output=True, env=environment(locale, **extra),
                       timeout=timeout)
    return p.returncode, p.stdout, p.stderr


def run_terminal(args, data=b"", locale="C.UTF-8", term="xterm", timeout=20, from_file=False, **extra):
    """Standard output is a raw pseudo-terminal (no line-end translation by the driver), so the
    bytes read from its other end are exactly those huecast wrote. Standard input is a pipe, or
    with `from_file` a file, which never pauses in a line (a pipe may, on a busy machine, and
    a long line is then painted in pieces)."""
    master, slave = pty.openpty()
    tty.setraw(slave)
    with tempfile.TemporaryFile() as file:
        if from_file:
            file.write(data)
            file.seek(0)
        p = subprocess.Popen([BINARY, *args], stdin=file if from_file else subprocess.PIPE, stdout=slave,
                             stderr=subprocess.PIPE, env=environment(locale, term, **extra))
    os.close(slave)
    if not from_file:
        p.stdin.write(data)
        p.stdin.close()
    try:
        out = drain_terminal(master, timeout)
    except TimeoutError:
        p.kill()
        raise
    err = p.stderr.read()
    p.stderr.close()
    return p.wait(timeout), out, err
