"""The filter sets of examples/ on what real tools write here: diff and git on files written
here, tracebacks, exceptions, panics and logs of small programs run with python3, java and go,
ping and traceroute to this machine, ip, ifconfig, df, du, free, ps on children of this test,
mount and dmesg; and on a few lines of those tools' formats for what this machine cannot show
(a full disk, a host that cannot be reached, an OOM kill). A tool that is not installed, or
that may not be used here, skips its rows (make test installs them)."""

import os
import pwd
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from huecast_run import run_pipe  # noqa: E402

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
SAMPLE_LOG = os.path.join(EXAMPLES, "sample.log")
RED, YELLOW, GREEN, AQUA, GRAY, BLUE, PURPLE = "91;49", "93;49", "92;49", "96;49", "90;49", "94;49", "95;49"  # light
DARK_RED, DARK_GREEN, DARK_AQUA, ON_BLUE, ON_RED = "31;49", "32;49", "36;49", "97;44", "97;41"
BOLD_RED, BOLD_ON_RED, BOLD_GRAY, DIM = "1;91;49", "1;97;41", "1;90;49", "2;39;49"
# Light red, or anything on red: what must never colour what is normal.
ATTRIBUTES = {"bold", "dim", "italic", "ul", "underline", "blink", "reverse", "strike"}
PALE_OR_DARK = {"black", "white", "brightwhite", "0", "7", "15", "16", "231", "#000", "#000000", "#fff", "#ffffff"}
FAILURE = re.compile(r"(\d;)*(91;49|\d+;41)")
PACKAGES = {"java": "openjdk-17-jdk-headless", "go": "golang-go", "git": "git", "diff": "diffutils",
            "ping": "iputils-ping", "traceroute": "traceroute", "ip": "iproute2", "ifconfig": "net-tools",
            "df": "coreutils", "du": "coreutils", "free": "procps", "ps": "procps", "mount": "mount",
            "dmesg": "util-linux"}
SLOG = "/usr/share/gocode/src/golang.org/x/exp/slog"  # Debian 12's Go (1.19) has no log/slog
TMP = tempfile.mkdtemp(prefix="huecast-sets-")


def tool(argv, files, program=None, codes=(0, 1), **env):
    """Writes files ({name: text}) into a new directory of TMP and runs argv there, with its home
    and caches there too; returns (stdout, stderr). An exit code outside `codes` fails (1: the
    differences found, the exception or panic, the ping that got no answer)."""
    program = program or argv[0]
    if not shutil.which(program):
        raise unittest.SkipTest("%s is not installed (Debian package %s)" % (program, PACKAGES[program]))
    d = tempfile.mkdtemp(dir=TMP)
    for name, text in files.items():
        os.makedirs(os.path.dirname(os.path.join(d, name)), exist_ok=True)
        with open(os.path.join(d, name), "w") as f:
            f.write(text)
        os.utime(os.path.join(d, name), (1700000000, 1700000000))  # 2023-11-14 22:13:20 UTC
    inherited = {k: v for k, v in os.environ.items()
                 if not k.startswith(("GIT", "GO", "LC_", "LANG", "JAVA", "_JAVA", "JDK"))}
    env = dict(inherited, HOME=d, LC_ALL="C.UTF-8", TZ="UTC", GIT_CONFIG_NOSYSTEM="1", GOCACHE=d + "/cache",
               GOPATH=d + ":/usr/share/gocode", GO111MODULE="off", GOTOOLCHAIN="local", GOPROXY="off", **env)
    p = subprocess.run(argv, cwd=d, capture_output=True, text=True, env=env, timeout=300)
    if p.returncode not in codes:
        raise AssertionError("%s: exit %d\n%s%s" % (argv, p.returncode, p.stdout, p.stderr))
    return p.stdout, p.stderr


# Two trees: a C file edited, an SQL file losing a "-- " comment (a removed line that starts
# with "--- "), a file added, a file renamed (in git; only in the old tree for diff).
C = "int main(void)\n{\n    int n = 0;\n    puts(\"1\");\n    puts(\"2\");\n    return 0;\n}\n"
TREES = {"old/a.c": C, "old/b.sql": "-- users\n-- old\nSELECT 1;\n", "old/e.txt": "e\n",
         "new/a.c": C.replace("return 0;", "return n;"), "new/b.sql": "-- users\nSELECT 1;\n++ x", "new/c.txt": "c\n"}
GIT = ("cd old && git init -q && git add . && git commit -qm First && cp ../new/* . && git mv e.txt f.txt && "
       "git add -A && git commit -qm Second && git log -p --word-diff -1 && git diff HEAD~1")
STAMP = "@1700000000 +0000"
PYTHON = """import warnings
def parse(text):
    return int(text)
def load(text):
    try:
        return parse(text)
    except ValueError as e:
        raise RuntimeError("could not load: bad settings") from e
warnings.warn("old format", DeprecationWarning)
try:
    {}["retries"]
except KeyError:
    load("12x")
"""
JAVA = """public class Trace {
    static int load(String text) {
        try { return Integer.parseInt(text); }
        catch (NumberFormatException e) { throw new IllegalStateException("could not load", e); }
    }
    public static void main(String[] args) {
        try { load("12x"); } catch (IllegalStateException e) { e.printStackTrace(); }
        throw new UnsupportedOperationException();
    }
}
"""
GO_PANIC = """package main
type Loader struct{ sizes []int }
func (l *Loader) Load(i int) int { return l.sizes[i] }
func main() {
	done := make(chan bool)
	go func() { (&Loader{sizes: []int{1}}).Load(5); done <- true }()
	<-done
}
"""
GO_LOGS = """package main
import ("errors"; "os"; "time"; "golang.org/x/exp/slog")
func main() {
	o := slog.HandlerOptions{Level: slog.DebugLevel}
	for _, l := range []slog.Logger{slog.New(o.NewTextHandler(os.Stdout)), slog.New(o.NewJSONHandler(os.Stdout))} {
		l.Debug("read", "path", "/etc/app.ini", "size", 2048)
		l.Info("server started", "addr", ":8080", "tls", true, "ratio", 0.75)
		l.Warn("slow", "method", "GET", "elapsed", 1500*time.Millisecond, "peer", nil)
		l.Error("failed", errors.New("no such file"), "status", 503)
	}
}
"""


def go_logs(json):
    if not os.path.isdir(SLOG):
        raise unittest.SkipTest("%s is not installed (Debian package golang-golang-x-exp-dev)" % SLOG)
    out = tool(["go", "run", "main.go"], {"main.go": GO_LOGS})[0]
    return "".join(line for line in out.splitlines(True) if line.startswith("{") == json)


STAMP_RE = r"\d{4}-\d\d-\d\dT[\d:.]+Z"

# A project whose build and tests pass: CMake, make, CTest and a GoogleTest program.
PASSING = {"CMakeLists.txt": "cmake_minimum_required(VERSION 3.16)\nproject(p CXX)\nfind_package(GTest REQUIRED)\n"
                             "enable_testing()\nadd_executable(t t.cpp)\ntarget_link_libraries(t GTest::gtest_main)\n"
                             "add_test(NAME t COMMAND t)\n",
           "t.cpp": "#include <gtest/gtest.h>\nTEST(Sums, Add) { EXPECT_EQ(1 + 1, 2); }\n"
                    "TEST(Sums, NoErrorsWhenEmpty) { EXPECT_TRUE(true); }\n"}
BUILD = "cmake -S . -B b && cmake --build b && ctest --test-dir b && b/t"


def compiler_diagnostics():
    return tool(["g++", "-Wall", "-c", "e.cpp"], {"e.cpp": "int f() { int unused; return 0 }\n"}, codes=(1,))[1]



def unanswered_ping():
    """ping to an address kept for documentation, which no network should answer; where this
    machine's own network holds one of them, the next is tried."""
    for address in ("192.0.2.1", "198.51.100.1", "203.0.113.1"):
        out, err = tool(["ping", "-c", "1", "-W", "1", address], {}, codes=(0, 1, 2))
        if " 0 received" in out:
            return out + err
    raise unittest.SkipTest("every address for documentation answers ping here")


def kernel_log():
    out, err = tool(["dmesg", "-x"], {})
    if not out:
        raise unittest.SkipTest("dmesg may not read the kernel's log here: " + err.strip())
    return out


def processes():
    """ps u on three children of this test: one asleep, one stopped, one ended and not yet
    waited for (a zombie)."""
    children = [subprocess.Popen(argv) for argv in (["sleep", "60"], ["sleep", "60"], ["true"])]
    try:
        os.kill(children[1].pid, signal.SIGSTOP)
        for _ in range(1000):
            if [state_of(c.pid) for c in children[1:]] == ["T", "Z"]:
                break
            time.sleep(0.01)
        return tool(["ps", "u", "-p", ",".join(str(c.pid) for c in children)], {})[0]
    finally:
        for c in children:
            c.kill()
            c.wait()


def state_of(pid):
    with open("/proc/%d/stat" % pid) as f:
        return f.read().rsplit(")", 1)[1].split()[0]


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


# ps shortens a user's name of more than 8 characters to 7 and "+".
USER = re.escape(re.sub(r"^(.{7}).{2,}$", r"\1+", pwd.getpwuid(os.geteuid()).pw_name))

# Lines in the tools' own formats, for what this machine cannot be made to show.
PROBE_LINES = """\
64 bytes from lhr25s34-in-f14.1e100.net (142.250.180.14): icmp_seq=1 ttl=117 time=9.41 ms (DUP!)
Request timeout for icmp_seq 3
From 192.168.1.1 icmp_seq=1 Destination Host Unreachable
10 packets transmitted, 7 received, 30% packet loss, time 9013ms
 2  * * *
 3  * 10.0.0.1 (10.0.0.1)  12.345 ms !H
  3.|-- ???                       100.0%    10    0.0   0.0   0.0   0.0   0.0
  4.|-- 10.1.2.3                  20.0%    10    5.1   5.3   5.0   6.1   0.3
"""
DISK_LINES = """\
/dev/sda1       100G   79G   21G  79% /
/dev/sdb1       100G   80G   20G  80% /data
/dev/sdd1       100G   90G   10G  90% /var
4.0K\t./95% of the report.txt
"""
KERNEL_LINES = """\
[ 1234.567890] app[4242]: segfault at 0 ip 000055d5c0a1b2c3 sp 00007ffd4e5f6a70 error 4 in app[55d5c0a1a000+2000]
[ 2345.678901] Out of memory: Killed process 4321 (java) total-vm:8123456kB, anon-rss:4012345kB, file-rss:0kB
[ 3456.789012] BUG: kernel NULL pointer dereference, address: 0000000000000008
[ 3456.789100] WARNING: CPU: 1 PID: 42 at drivers/gpu/drm/drm_atomic.c:123 drm_atomic_check_only+0x1c/0x80 [drm]
[ 3456.789200] CPU: 1 PID: 42 Comm: kworker/1:1 Tainted: G        W  OE      6.1.0-13-amd64 #1
[ 3456.789300] CPU: 0 PID: 1 Comm: swapper/0 Not tainted 6.1.0-13-amd64 #1
[ 3456.789400] Call Trace:
"""


class FilterSets(unittest.TestCase):
    def test_each_set_colours_what_real_tools_write(self):
        # (set, tool, what the tool writes, pieces in their colour (each a whole piece, written
        # as a regular expression; the colour, or a tuple of those it may be), pieces left
        # plain, and optionally what is normal: regular expressions, matched line by line, whose
        # matches are never in the colour of failure)
        every_line = [r".+"]
        cases = [
            ("build", "cmake, make, ctest, GoogleTest", lambda: tool(["sh", "-c", BUILD], PASSING, "cmake", codes=(0,))[0], [
                (r"\[\s*OK\s*\]", GREEN), (r"\[\s*PASSED\s*\]", GREEN), ("100% tests passed", GREEN),
                ("0 tests failed", GREEN)], [], every_line),
            ("build", "g++", compiler_diagnostics, [
                ("e.cpp", DARK_AQUA), (r"1:\d+", "1;39;49"), ("error:", BOLD_RED), ("warning:", YELLOW),
                (r"\[-Wunused-variable\]", GRAY)], ["expected "]),
            ("diff", "diff -ru", lambda: tool(["diff", "-ru", "-p", "old", "new"], TREES)[0], [
                (r"diff -ru -p old/a\.c new/a\.c", ON_BLUE), (r"@@ -3,5 \+3,5 @@ int main\(void\)", AQUA),
                (r"\+\+\+ new/a\.c\t2023-11-14 22:13:20\.0+ \+0000", ON_BLUE),
                (r"-    return 0;", DARK_RED), (r"\+    return n;", DARK_GREEN),
                (r"--- old", DARK_RED), (r"\+\+\+ x", DARK_GREEN), (r"\\ No newline at end of file", GRAY),
                (r"Only in new: c\.txt", GRAY)], ['    puts("2");', " -- users"], [r"^-.*"]),
            ("diff", "git log -p --word-diff, git diff", lambda: tool(
                ["sh", "-c", GIT], TREES, "git", GIT_AUTHOR_NAME="A", GIT_AUTHOR_EMAIL="a@example.org",
                GIT_AUTHOR_DATE=STAMP, GIT_COMMITTER_NAME="A", GIT_COMMITTER_EMAIL="a@example.org",
                GIT_COMMITTER_DATE=STAMP)[0], [
                (r"commit [0-9a-f]{40}", YELLOW), (r"\[-0;-\]", DARK_RED), (r"\{\+n;\+\}", DARK_GREEN),
                (r"diff --git a/e\.txt b/f\.txt", ON_BLUE), (r"similarity index 100%", GRAY),
                (r"rename to f\.txt", GRAY),
                (r"index [0-9a-f]+\.\.[0-9a-f]+ 100644", GRAY), (r"--- a/a\.c", ON_BLUE), (r"\+\+\+ b/a\.c", ON_BLUE),
                (r"new file mode 100644", GRAY), (r"--- /dev/null", ON_BLUE), (r"\+c", DARK_GREEN),
                (r"--- old", DARK_RED)],
             ["Author: A <a@example.org>", "    Second", "    return "]),
            ("structured-log", "slog TextHandler", lambda: go_logs(False), [
                ("level", BLUE), (STAMP_RE, DIM), ("DEBUG", DIM), ("INFO", GREEN), ("WARN", YELLOW), ("ERROR", BOLD_RED),
                ("msg", BLUE), ('"server started"', AQUA), ('"no such file"', BOLD_RED), ("2048", PURPLE), ("0.75", PURPLE),
                ("true", PURPLE), (r"1\.5s", PURPLE), ("<nil>", DIM)], ["=/etc/app.ini", "=GET"]),
            ("structured-log", "slog JSONHandler", lambda: go_logs(True), [
                ('"level"', BLUE), ('"%s"' % STAMP_RE, DIM), ('"DEBUG"', DIM), ('"INFO"', GREEN), ('"WARN"', YELLOW),
                ('"ERROR"', BOLD_RED), ('"msg"', BLUE), ('"server started"', AQUA), ('"no such file"', BOLD_RED),
                ('"/etc/app.ini"', DARK_GREEN), ("1500000000", PURPLE), ("true", PURPLE), ("null", DIM)], []),
            ("stack-trace", "python3", lambda: tool([sys.executable, "-I", "-Walways", "f.py"], {"f.py": PYTHON})[1], [
                (r"/.+/f\.py:", GRAY), ("9", BOLD_GRAY), ("DeprecationWarning", YELLOW), ("old format", PURPLE),
                (r"Traceback \(most recent call last\):", BOLD_RED), (r'"/.+/f\.py", line ', GRAY), ("11", BOLD_GRAY), ("<module>", AQUA),
                ("parse", AQUA), ("KeyError", RED), ("'retries'", PURPLE), ("ValueError", RED), ("RuntimeError", RED),
                ("During handling of the above exception, another exception occurred:", YELLOW),
                ("The above exception was the direct cause of the following exception:", YELLOW),
                ("could not load: bad settings", PURPLE), *([(r"~*\^+", RED)] if sys.version_info >= (3, 11) else [])],
             ['    raise RuntimeError("could not load: bad settings") from e', "  File "]),
            ("stack-trace", "java", lambda: tool(["java", "Trace.java"], {"Trace.java": JAVA})[1], [
                (r"java\.lang\.IllegalStateException", RED), ("could not load", PURPLE), (r"Trace\.load", AQUA),
                (r"Trace\.java:", GRAY), ("4", BOLD_GRAY), ("Native Method", GRAY), (r"java\.base/java\.lang\.Integer\.parseInt", AQUA),
                ("Caused by: ", YELLOW), (r"java\.lang\.NumberFormatException", RED),
                ('For input string: "12x"', PURPLE), (r"\.\.\. \d+ more", DIM), ('Exception in thread "main" ', BOLD_RED),
                (r"java\.lang\.UnsupportedOperationException", RED), ("8", BOLD_GRAY)], ["\tat "]),
            ("stack-trace", "go run", lambda: tool(["go", "run", "main.go"], {"main.go": GO_PANIC})[1], [
                ("panic", BOLD_RED), (r"runtime error: index out of range \[5\] with length 1", PURPLE),
                (r"goroutine \d+ \[running\]:", YELLOW), (r"main\.\(\*Loader\)\.Load", AQUA), (r"/.+/main\.go:", GRAY), ("3", BOLD_GRAY),
                (r"main\.main\.func1", AQUA), ("6", BOLD_GRAY), (r"main\.main", AQUA)],
             ["created by ", "exit status 2"]),
            ("net-probe", "ping", lambda: tool(["ping", "-c", "2", "-i", "0.2", "127.0.0.1"], {})[0], [
                (r"127\.0\.0\.1", AQUA), (r"\d+\.\d+ ms", PURPLE), ("0% packet loss", GREEN),
                (r"[\d.]+/[\d.]+/[\d.]+/[\d.]+ ms", PURPLE), (r"--- 127\.0\.0\.1 ping statistics ---", GRAY)],
             ["64 bytes from "], every_line),
            ("net-probe", "ping, no answer", unanswered_ping, [("100% packet loss", BOLD_RED)], ["0 received"]),
            ("net-probe", "traceroute", lambda: tool(["traceroute", "-n", "127.0.0.1"], {})[0], [
                (r" 1", GRAY), (r"127\.0\.0\.1", AQUA), (r"\d+\.\d+ ms", PURPLE)], ["30 hops max"], every_line),
            ("net-probe", "lines of ping, traceroute, mtr", lambda: PROBE_LINES, [
                ("lhr25s34-in-f14.1e100.net", BLUE), (r"\(DUP!\)", YELLOW), ("Request timeout for icmp_seq 3", RED),
                ("Destination Host Unreachable", RED), ("30% packet loss", YELLOW), (r"\* \* \*", YELLOW),
                ("!H", RED), (r"\?\?\?", YELLOW), (r"100\.0%", BOLD_RED), (r"20\.0%", YELLOW)], []),
            ("net-interfaces", "ip addr", lambda: tool(["ip", "addr", "show", "dev", "lo"], {})[0], [
                ("lo", BLUE), ("LOOPBACK", GRAY), ("UP", GREEN), ("UNKNOWN", GRAY), ("00:00:00:00:00:00", PURPLE),
                (r"127\.0\.0\.1/8", AQUA)], ["mtu 65536"], every_line),
            ("net-interfaces", "ip -br link", lambda: tool(["ip", "-br", "link", "show", "dev", "lo"], {})[0], [
                ("lo", BLUE), ("UNKNOWN", GRAY), ("00:00:00:00:00:00", PURPLE)], [], every_line),
            ("net-interfaces", "ip route", lambda: tool(["ip", "route", "show", "table", "local", "dev", "lo"], {})[0],
             [(r"127\.0\.0\.1", AQUA), (r"127\.0\.0\.0/8", AQUA)], ["proto kernel"], every_line),
            ("net-interfaces", "ifconfig", lambda: tool(["ifconfig", "lo"], {})[0], [
                ("lo", BLUE), ("RUNNING", GREEN), (r"127\.0\.0\.1", AQUA)], ["RX errors 0"], every_line),
            ("disk-usage", "df -h", lambda: tool(["df", "-h", "."], {})[0], [
                (r"\d+(\.\d)?[KMGTP]?", PURPLE), (r"\d+%", (GREEN, YELLOW, BOLD_RED)), (r"/.*", BLUE)], ["Use%"]),
            ("disk-usage", "du", lambda: tool(["du", "-a", "."], {"a/b.txt": "b" * 5000})[0], [
                (r"\d+", PURPLE), (r"\./a/b\.txt", BLUE)], [], every_line),
            ("disk-usage", "free -h", lambda: tool(["free", "-h"], {})[0], [
                ("Mem:", BLUE), (r"\d+(\.\d)?[KMGT]i", PURPLE)], ["available"], every_line),
            ("disk-usage", "lines of df and du", lambda: DISK_LINES, [
                ("79%", GREEN), ("80%", YELLOW), ("90%", BOLD_RED), ("/dev/sda1", AQUA), ("/data", BLUE),
                (r"\./95% of the report\.txt", BLUE)], [], [r"^/dev/sd[ab]1 .*", r"95%"]),
            ("processes", "ps u", processes, [
                (USER, YELLOW if USER == "root" else BLUE), (r"\d+", AQUA), (r"0\.0", GRAY), ("S", GRAY),
                ("T", PURPLE), ("Z", RED), ("<defunct>", RED)], ["%CPU", "sleep 60"]),
            ("mounts", "mount", lambda: tool(["mount"], {})[0], [
                (r"/\S*", BLUE), (r"[\w.+-]+", PURPLE), (r"rw(,[^\s()]*)?", GRAY)], [" on ", " type "], every_line),
            ("mounts", "a line of mount", lambda: "/dev/sdb1 on /media/My Disk type vfat (ro,nosuid,uid=1000)\n", [
                ("/dev/sdb1", AQUA), ("/media/My Disk", BLUE), ("vfat", PURPLE), ("ro", YELLOW),
                ("nosuid,uid=1000", GRAY)], [], every_line),
            ("kernel", "dmesg -x", kernel_log, [
                (r"kern *:", DIM), (r"(info|notice) *:", (DIM, AQUA)), (r" \[\s*\d+\.\d+\] ", DIM)],
             [], [r"(?<=:)(info|notice|debug) *:"]),
            ("kernel", "lines of dmesg", lambda: KERNEL_LINES, [
                (r"\[ 1234\.567890\] ", DIM), (r"app\[4242\]: segfault at 0", BOLD_RED),
                (r"Out of memory: Killed process 4321 \(java\)", BOLD_ON_RED),
                ("BUG: kernel NULL pointer dereference, address: 0000000000000008", BOLD_ON_RED), ("WARNING:", YELLOW),
                (r"drm_atomic_check_only\+0x1c/0x80 \[drm\]", AQUA), (r"Tainted: G        W  OE", YELLOW),
                ("Not tainted", GRAY), ("Call Trace:", YELLOW), ("CPU:", BLUE)], [], [r"Not tainted"]),
            ("log", "examples/sample.log", lambda: read(SAMPLE_LOG), [
                (r"2026-12-09 08:12:02\.931", DIM), ("ERROR", BOLD_RED), ("WARN", YELLOW), ("INFO", GREEN),
                ("DEBUG", DIM), (r"203\.24\.37\.211:5432", AQUA), ("GET", PURPLE),
                (r"/api/v1/orders/29977", DARK_AQUA),
                (r"191 ms", PURPLE), ("db", BLUE), ("318ms", PURPLE), (r"café-owner@example\.com", AQUA),
                ("failed", BOLD_RED), ("«Ёлкин и партнёры»", DARK_GREEN)], ["(attempt 5 of 5)"],
             [r"^.* (INFO|DEBUG) .*$"]),
            ("log", "slog TextHandler", lambda: go_logs(False), [
                (STAMP_RE, DIM), ("INFO", GREEN), ("WARN", YELLOW), ("ERROR", BOLD_RED), ('"server started"', DARK_GREEN),
                ("msg", BLUE), ("2048", PURPLE), ("/etc/app.ini", DARK_AQUA)], ["=:8080"],
             [r"^.*level=(INFO|DEBUG).*$"]),
        ]
        for name, label, writer, coloured, plain, *normal in cases:
            with self.subTest(set=name, tool=label):
                text = writer()
                code, out, err = run_pipe(["--color=always", "--file=%s/%s.filters" % (EXAMPLES, name)], text.encode())
                out = out.decode()
                self.assertEqual((code, err, re.sub(r"\x1b\[[0-9;]*m", "", out)), (0, b"", text))
                got = re.findall(r"\x1b\[0;([0-9;]+)m(.*?)\x1b\[0m", out)
                for piece, sgr in coloured:
                    self.assertTrue(any(s in (sgr if isinstance(sgr, tuple) else (sgr,)) and re.fullmatch(piece, t)
                                        for s, t in got), "%s not %s in\n%s" % (piece, sgr, out))
                uncoloured = re.sub(r"\x1b\[0;[0-9;]+m(.*?)\x1b\[0m", lambda m: "\0" * len(m.group(1)), out)
                for piece in plain:
                    self.assertTrue(piece in uncoloured, "%r coloured or missing in\n%s" % (piece, out))
                # The text again, with every character in the colour of failure as \0.
                failing = re.sub(r"\x1b\[0;([0-9;]+)m(.*?)\x1b\[0m",
                                 lambda m: ("\0" if FAILURE.fullmatch(m.group(1)) else "x") * len(m.group(2)), out)
                failing = re.sub(r"[^\0]", "x", failing)
                for pattern in (normal[0] if normal else []):
                    for m in re.finditer(pattern, text, re.M):
                        self.assertNotIn("\0", failing[m.start():m.end()],
                                         "%r in the colour of failure in\n%s" % (m.group(0), out))


    def test_every_set_is_installed_reads_on_any_background_and_names_its_commands_once(self):
        with open(os.path.join(EXAMPLES, "..", "CMakeLists.txt")) as f:
            installed = re.search(r"set\(HUECAST_FILTER_SETS ([^)]*)\)", f.read()).group(1).split()
        names = sorted(n for n in os.listdir(EXAMPLES) if n.endswith(".filters"))
        self.assertEqual(sorted(os.path.basename(n) for n in installed), names)
        owner = {}
        for name in names:
            lines = read(os.path.join(EXAMPLES, name)).splitlines()
            header = lines[:next(i for i, line in enumerate(lines) if not line.startswith("#"))]
            commands = [line for line in lines if re.match(r"#\s*commands\b", line)]
            self.assertLessEqual(len(commands), 1, name)
            for line in commands:
                self.assertIn(line, header, name)
                self.assertRegex(line, r"^# commands: [\w.+-]+( [\w.+-]+)*$", name)
                for command in line.split()[2:]:
                    self.assertNotIn(command, owner, "%s: %s is %s's" % (name, command, owner.get(command)))
                    owner[command] = name
            # Black, white or bright white text needs a background of its own (a group's may
            # come from its match's style).
            for line in lines:
                if line.strip() and not line.lstrip().startswith("#"):
                    self.assertNotRegex(line, r"^0[07fF][,;]", name)
                    parts = [[w for w in part.lower().split() if w not in ATTRIBUTES]
                             for part in line.split(",", 1)[0].split(";")]
                    for colours in parts:
                        background = len(colours) > 1 or len(parts[0]) > 1
                        self.assertFalse(colours[:1] and colours[0] in PALE_OR_DARK and not background, line)


def tearDownModule():
    shutil.rmtree(TMP, ignore_errors=True)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
