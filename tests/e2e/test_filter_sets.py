"""The filter sets of examples/ on what real tools write here: diff and git on files written
here, tracebacks, exceptions, panics and logs of small programs run with python3, java and go.
A tool that is not installed skips its rows (make test installs them)."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from huecast_run import run_pipe  # noqa: E402

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
RED, YELLOW, GREEN, AQUA, GRAY, BLUE, PURPLE = "91;49", "93;49", "92;49", "96;49", "90;49", "94;49", "95;49"  # light
DARK_RED, DARK_GREEN, DARK_YELLOW, DARK_AQUA, ON_BLUE = "31;49", "32;49", "33;49", "36;49", "97;44"
PACKAGES = {"java": "openjdk-17-jdk-headless", "go": "golang-go", "git": "git", "diff": "diffutils"}
SLOG = "/usr/share/gocode/src/golang.org/x/exp/slog"  # Debian 12's Go (1.19) has no log/slog
TMP = tempfile.mkdtemp(prefix="huecast-sets-")


def tool(argv, files, program=None, **env):
    """Writes files ({name: text}) into a new directory of TMP and runs argv there, with its home
    and caches there too; returns (stdout, stderr)."""
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
    if p.returncode not in (0, 1):  # 1: the differences found, the exception or panic
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


class FilterSets(unittest.TestCase):
    def test_each_set_colours_what_real_tools_write(self):
        # (set, tool, what the tool writes, pieces in their colour (each a whole piece, written
        # as a regular expression), pieces left plain)
        cases = [
            ("diff", "diff -ru", lambda: tool(["diff", "-ru", "-p", "old", "new"], TREES)[0], [
                (r"diff -ru -p old/a\.c new/a\.c", ON_BLUE), (r"\+\+\+ new/a\.c\t2023-11-14 22:13:20\.0+ \+0000", ON_BLUE),
                (r"@@ -3,5 \+3,5 @@ int main\(void\)", AQUA), (r"-    return 0;", DARK_RED), (r"\+    return n;", DARK_GREEN),
                (r"--- old", DARK_RED), (r"\+\+\+ x", DARK_GREEN), (r"\\ No newline at end of file", GRAY),
                (r"Only in new: c\.txt", GRAY)], ['    puts("2");', " -- users"]),
            ("diff", "git log -p --word-diff, git diff", lambda: tool(
                ["sh", "-c", GIT], TREES, "git", GIT_AUTHOR_NAME="A", GIT_AUTHOR_EMAIL="a@example.org",
                GIT_AUTHOR_DATE=STAMP, GIT_COMMITTER_NAME="A", GIT_COMMITTER_EMAIL="a@example.org",
                GIT_COMMITTER_DATE=STAMP)[0], [
                (r"commit [0-9a-f]{40}", YELLOW), (r"\[-0;-\]", DARK_RED), (r"\{\+n;\+\}", DARK_GREEN),
                (r"diff --git a/e\.txt b/f\.txt", ON_BLUE), (r"similarity index 100%", GRAY), (r"rename to f\.txt", GRAY),
                (r"index [0-9a-f]+\.\.[0-9a-f]+ 100644", GRAY), (r"--- a/a\.c", ON_BLUE), (r"\+\+\+ b/a\.c", ON_BLUE),
                (r"new file mode 100644", GRAY), (r"--- /dev/null", ON_BLUE), (r"\+c", DARK_GREEN), (r"--- old", DARK_RED)],
             ["Author: A <a@example.org>", "    Second", "    return "]),
            ("structured-log", "slog TextHandler", lambda: go_logs(False), [
                ("level", BLUE), (STAMP_RE, GRAY), ("DEBUG", GRAY), ("INFO", GREEN), ("WARN", YELLOW), ("ERROR", RED),
                ('msg="server started"', AQUA), ('err="no such file"', RED), ("2048", PURPLE), ("0.75", PURPLE),
                ("true", PURPLE), (r"1\.5s", PURPLE), ("<nil>", GRAY)], ["=/etc/app.ini", "=GET"]),
            ("structured-log", "slog JSONHandler", lambda: go_logs(True), [
                ('"level"', BLUE), ('"%s"' % STAMP_RE, GRAY), ('"DEBUG"', GRAY), ('"INFO"', GREEN), ('"WARN"', YELLOW),
                ('"ERROR"', RED), ('"msg":"server started"', AQUA), ('"err":"no such file"', RED),
                ('"/etc/app.ini"', DARK_GREEN), ("1500000000", PURPLE), ("true", PURPLE), ("null", GRAY)], []),
            ("stack-trace", "python3", lambda: tool([sys.executable, "-I", "-Walways", "f.py"], {"f.py": PYTHON})[1], [
                (r"/.+/f\.py:9: ", GRAY), ("DeprecationWarning", YELLOW), ("old format", PURPLE),
                (r"Traceback \(most recent call last\):", RED), (r'"/.+/f\.py", line 11', GRAY), ("<module>", AQUA),
                ("parse", AQUA), ("KeyError", RED), ("'retries'", PURPLE), ("ValueError", RED), ("RuntimeError", RED),
                ("During handling of the above exception, another exception occurred:", YELLOW),
                ("The above exception was the direct cause of the following exception:", YELLOW),
                ("could not load: bad settings", PURPLE), *([(r"~*\^+", RED)] if sys.version_info >= (3, 11) else [])],
             ['    raise RuntimeError("could not load: bad settings") from e', "  File "]),
            ("stack-trace", "java", lambda: tool(["java", "Trace.java"], {"Trace.java": JAVA})[1], [
                (r"java\.lang\.IllegalStateException", RED), ("could not load", PURPLE), (r"Trace\.load", AQUA),
                (r"Trace\.java:4", GRAY), ("Native Method", GRAY), (r"java\.base/java\.lang\.Integer\.parseInt", AQUA),
                ("Caused by: ", YELLOW), (r"java\.lang\.NumberFormatException", RED),
                ('For input string: "12x"', PURPLE), (r"\.\.\. \d+ more", GRAY), ('Exception in thread "main" ', RED),
                (r"java\.lang\.UnsupportedOperationException", RED), (r"Trace\.java:8", GRAY)], ["\tat "]),
            ("stack-trace", "go run", lambda: tool(["go", "run", "main.go"], {"main.go": GO_PANIC})[1], [
                ("panic", RED), (r"runtime error: index out of range \[5\] with length 1", PURPLE),
                (r"goroutine \d+ \[running\]:", YELLOW), (r"main\.\(\*Loader\)\.Load", AQUA), (r"/.+/main\.go:3", GRAY),
                (r"main\.main\.func1", AQUA), (r"/.+/main\.go:6", GRAY), (r"main\.main", AQUA)],
             ["created by ", "exit status 2"]),
        ]
        for name, label, writer, coloured, plain in cases:
            with self.subTest(set=name, tool=label):
                text = writer()
                code, out, err = run_pipe(["--color=always", "--file=%s/%s.filters" % (EXAMPLES, name)], text.encode())
                out = out.decode()
                self.assertEqual((code, err, re.sub(r"\x1b\[[0-9;]*m", "", out)), (0, b"", text))
                got = re.findall(r"\x1b\[0;([0-9;]+)m(.*?)\x1b\[0m", out)
                for piece, sgr in coloured:
                    self.assertTrue(any(s == sgr and re.fullmatch(piece, t) for s, t in got),
                                    "%s not %s in\n%s" % (piece, sgr, out))
                uncoloured = re.sub(r"\x1b\[0;[0-9;]+m(.*?)\x1b\[0m", lambda m: "\0" * len(m.group(1)), out)
                for piece in plain:
                    self.assertTrue(piece in uncoloured, "%r coloured or missing in\n%s" % (piece, out))


def tearDownModule():
    shutil.rmtree(TMP, ignore_errors=True)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
