"""End-to-end checks of the support library's start-up objects in a real run.

order <huecast>: under gdb, the driver manager's SQLAllocEnv runs before the program's entry
and SQLFreeEnv after it returns (skipped, exit 77, when gdb is missing or cannot trace, or
when the program is emulated: HUECAST_EMULATED).
fault <binary>: a start-up whose registration check fails ends with exit code 3 and one
line on standard error, before the entry writes anything.
"""

import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77

GDB_SCRIPT = """set pagination off
set confirm off
set breakpoint pending on
break SQLAllocEnv
commands
silent
printf "ORDER SQLAllocEnv\\n"
continue
end
break huecast::run_command_line
commands
silent
printf "ORDER entry\\n"
continue
end
break SQLFreeEnv
commands
silent
printf "ORDER SQLFreeEnv\\n"
continue
end
run
"""


def environment():
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k != "LANG"}
    env["LC_ALL"] = "C.UTF-8"
    return env


def check_order(binary):
    if os.environ.get("HUECAST_EMULATED"):
        print("the program runs under an emulator, which the host's gdb cannot trace: skipped")
        return SKIP
    gdb = shutil.which("gdb")
    if gdb is None:
        print("gdb not found: skipped")
        return SKIP
    with tempfile.NamedTemporaryFile("w", suffix=".gdb", delete=False) as f:
        f.write(GDB_SCRIPT)
        script = f.name
    try:
        p = subprocess.run([gdb, "-batch", "-nx", "-x", script, "--args", binary, "0a", "hello"],
                           stdin=subprocess.DEVNULL, capture_output=True, env=environment(), timeout=120)
    finally:
        os.unlink(script)
    out = p.stdout.decode("utf-8", "replace")
    if "ptrace" in out + p.stderr.decode("utf-8", "replace") and "ORDER" not in out:
        print("gdb cannot trace here: skipped")
        return SKIP
    order = [line.split()[1] for line in out.splitlines() if line.startswith("ORDER ")]
    expected = ["SQLAllocEnv", "entry", "SQLFreeEnv"]
    if order != expected or "hello" not in out:
        print("expected", expected, "got", order)
        print(out)
        print(p.stderr.decode("utf-8", "replace"))
        return 1
    print("order:", " -> ".join(order))
    return 0


def check_fault(binary):
    p = subprocess.run([binary, "0a", "hello"], stdin=subprocess.DEVNULL, capture_output=True,
                       env=environment(), timeout=60)
    expected = (b"huecast: internal error: !::RegisterError(dtrWrongYear,txtWrongYear) "
                b"at ..\\Src\\gen\\BTmErr line 28\n")
    ok = p.returncode == 3 and p.stdout == b"" and p.stderr == expected
    if not ok:
        print("exit", p.returncode, "stdout", p.stdout, "stderr", p.stderr)
        return 1
    print("exit 3:", p.stderr.decode().rstrip())
    return 0


def main():
    mode, binary = sys.argv[1], sys.argv[2]
    return check_order(binary) if mode == "order" else check_fault(binary)


if __name__ == "__main__":
    sys.exit(main())
