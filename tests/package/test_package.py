#!/usr/bin/env python3
"""The Debian package that `make package` writes, checked as a user and lintian see it.

Usage: test_package.py PATH-TO-huecast_VERSION_ARCH.deb

Builds nothing: lintian judges the package; its control fields, files, owners and modes are
read from it; then it is unpacked into a temporary root, and from there the program runs,
the man page renders, the completions complete and the example filter files colour.
"""
import gzip
import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import huecast_run  # noqa: E402

DEB = None
ROOT = None  # the package unpacked
DOC = "usr/share/doc/huecast/"
SETS = "usr/share/huecast/"
EXAMPLES = ["build.filters", "syslog.filters", "access-log.filters", "diff.filters", "structured-log.filters",
            "stack-trace.filters", "net-probe.filters", "net-interfaces.filters", "disk-usage.filters",
            "processes.filters", "mounts.filters", "kernel.filters", "log.filters"]
FILES = {
    "usr/bin/huecast": 0o755,
    "usr/share/man/man1/huecast.1.gz": 0o644,
    "usr/share/bash-completion/completions/huecast": 0o644,
    "usr/share/zsh/vendor-completions/_huecast": 0o644,
    "usr/share/fish/vendor_completions.d/huecast.fish": 0o644,
    "usr/share/lintian/overrides/huecast": 0o644,
    DOC + "copyright": 0o644,
    DOC + "changelog.Debian.gz": 0o644,
    DOC + "README.md": 0o644,
    **{SETS + name: 0o644 for name in EXAMPLES},
}
ESC, RESET = "\x1b[", "\x1b[0m"


def run(argv, **kwargs):
    return subprocess.run(argv, capture_output=True, text=True, **kwargs)


def field(name):
    return run(["dpkg-deb", "-f", DEB, name]).stdout.strip()


def setUpModule():
    global ROOT
    ROOT = tempfile.mkdtemp(prefix="huecast-package-")
    subprocess.run(["dpkg-deb", "-x", DEB, ROOT], check=True)
    huecast_run.BINARY = os.path.join(ROOT, "usr/bin/huecast")


def tearDownModule():
    shutil.rmtree(ROOT)


class Lintian(unittest.TestCase):
    def test_no_errors_and_nothing_in_the_colour_of_failure_through_the_build_set(self):
        p = run(["lintian", "--fail-on", "error", "--display-info", "--show-overrides", DEB])
        self.assertEqual(p.returncode, 0, "lintian:\n" + p.stdout + p.stderr)
        code, out, err = huecast_run.run_pipe(["--color=always", *filters("build.filters")], p.stdout.encode())
        self.assertEqual((code, err), (0, b""))
        self.assertNotRegex(out.decode(), r"\x1b\[0;(\d;)*(91;49|\d+;41)m", out.decode())


class Control(unittest.TestCase):
    def test_depends_on_the_systems_shared_libraries(self):
        names = {re.split(r"[\s(]", d.strip())[0] for d in field("Depends").split(",")}
        self.assertLessEqual({"libpcre2-8-0", "libodbc2", "libstdc++6", "libc6"}, names)

    def test_fields(self):
        self.assertEqual([field(f) for f in ("Package", "Section", "Priority", "Architecture")],
                         ["huecast", "utils", "optional", run(["dpkg", "--print-architecture"]).stdout.strip()])
        self.assertRegex(field("Version"), r"^\d+(\.\d+)+-\d+$")
        self.assertRegex(field("Maintainer"), r"^[^<>]+ <[^@<>\s]+@[^<>\s]+>$")
        description = field("Description")
        self.assertNotIn("&", description, "an XML escape in the description")
        self.assertGreater(len(description.splitlines()), 3)


class Files(unittest.TestCase):
    def test_each_file_in_its_place_owned_by_root_with_its_mode(self):
        listing = subprocess.run(["dpkg-deb", "--fsys-tarfile", DEB], capture_output=True, check=True).stdout
        with tempfile.TemporaryFile() as f:
            f.write(listing)
            f.seek(0)
            members = tarfile.open(fileobj=f).getmembers()
        files = {m.name.removeprefix("./"): m.mode for m in members if m.isfile()}
        self.assertEqual(files, FILES)
        for m in members:
            self.assertEqual((m.uid, m.gid), (0, 0), m.name)
            if m.isdir():
                self.assertEqual(m.mode, 0o755, m.name)

    def test_compressed_files_are_gzip_9_without_name_or_time(self):
        for name in ("usr/share/man/man1/huecast.1.gz", DOC + "changelog.Debian.gz"):
            with open(os.path.join(ROOT, name), "rb") as f:
                header = f.read(10)
            self.assertEqual(header[:3], b"\x1f\x8b\x08", name)
            self.assertEqual(header[3] & 0x08, 0, name + ": holds a file name")
            self.assertEqual(header[4:8], b"\0\0\0\0", name + ": holds a time stamp")
            self.assertEqual(header[8], 2, name + ": not packed with -9")

    def test_changelog_and_copyright(self):
        with gzip.open(os.path.join(ROOT, DOC + "changelog.Debian.gz"), "rt") as f:
            self.assertRegex(f.readline(), r"^huecast \(%s\) \S+; urgency=\w+$" % re.escape(field("Version")))
        with open(os.path.join(ROOT, DOC + "copyright")) as f:
            copyright = f.read()
        self.assertTrue(copyright.startswith(
            "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"))
        self.assertRegex(copyright, r"\nFiles: \*\nCopyright: \d{4} .+\nLicense: Expat\n")

    def test_program_is_stripped(self):
        sections = run(["readelf", "-S", "-W", os.path.join(ROOT, "usr/bin/huecast")]).stdout
        self.assertIn(".text", sections)
        self.assertNotRegex(sections, r"\.symtab|\.comment|\.debug")


class Program(unittest.TestCase):
    def test_runs_from_the_package(self):
        self.assertEqual(huecast_run.run_pipe(["0a"], b"x\n"), (0, b"x\r\n", b""))
        self.assertEqual(huecast_run.run_pipe(["0a", "hello"]), (0, b"hello\r\n", b""))
        self.assertEqual(huecast_run.run_terminal(["0a", "hello"])[:2], (0, b"\x1b[0;92;49mhello\x1b[0m\n"))

    def test_sets_by_name_need_nothing_under_share_doc(self):
        # A system may leave /usr/share/doc out (Debian Policy 12.3): unpacked again without it.
        with tempfile.TemporaryDirectory() as root, tempfile.TemporaryDirectory() as home:
            subprocess.run(["dpkg-deb", "-x", DEB, root], check=True)
            shutil.rmtree(os.path.join(root, DOC))
            env = {"HOME": home, "XDG_CONFIG_HOME": "", "XDG_DATA_DIRS": os.path.join(root, "usr/share")}
            saved, huecast_run.BINARY = huecast_run.BINARY, os.path.join(root, "usr/bin/huecast")
            try:
                code, out, err = huecast_run.run_pipe(["--color=always", "--set=syslog"], b"web1 app: Failed\n", **env)
                listed = [line.split("\t")[0] for line in huecast_run.run_pipe(["--list-sets"], **env)[1].decode().splitlines()]
            finally:
                huecast_run.BINARY = saved
        self.assertEqual((code, err), (0, b""))
        self.assertIn(b"\x1b[0;91;49mFailed\x1b[0m", out)
        self.assertEqual(listed, sorted(name[:-len(".filters")] for name in EXAMPLES))

    def test_example_filter_files_compile(self):
        for name in EXAMPLES:
            self.assertEqual(huecast_run.run_pipe(filters(name), b"plain\n"), (0, b"plain\r\n", b""), name)

    def test_example_filter_files_colour_what_they_say(self):
        # (file, line, pieces in their colour, pieces left plain)
        cases = [
            ("build.filters", "src/a.cpp:12:5: error: expected ';'", [("src/a.cpp", "36;49"), ("12:5", "1;39;49"), ("error:", "1;91;49")], []),
            ("build.filters", "100% tests passed, 0 tests failed out of 3",
             [("100% tests passed", "92;49"), ("0 tests failed", "92;49")], []),
            ("build.filters", "[  FAILED  ] Painter.Breaks (1 ms)", [("[  FAILED  ]", "1;91;49")], []),
            ("syslog.filters", "Dec  9 21:59:04 web1 systemd[1]: apt-daily.service: Failed with result",
             [("Dec  9 21:59:04", "2;39;49"), ("1", "2;39;49"), ("apt-daily.service", "95;49"), ("Failed", "91;49")], []),
            ("syslog.filters", "web1 app: ready at 10:30:00 from fe80::1", [("fe80::1", "96;49")], ["10:30:00"]),
            ("access-log.filters", '2001:db8::17 - - [09/Dec/2026:21:59:03 +0000] "GET /x HTTP/2.0" 404 153 "-" "-" 0.004',
             [("2001:db8::17", "96;49"), ("GET", "95;49"), ("404", "93;49")], ["0.004"]),
            ("access-log.filters", '10.0.0.8 - - [09/Dec/2026:21:59:04 +0100] "POST /a HTTP/1.1" 503 5 "-" "-" 12.402',
             [("503", "1;97;41"), ("12.402", "91;49")], []),
        ]
        for name, line, coloured, plain in cases:
            code, out, err = huecast_run.run_terminal(filters(name), line.encode() + b"\n")
            out = out.decode()
            self.assertEqual((code, err), (0, b""), name)
            self.assertEqual(re.sub(r"\x1b\[[0-9;]*m", "", out), line + "\n", name)
            for piece, sgr in coloured:
                self.assertIn(ESC + "0;" + sgr + "m" + piece + RESET, out, (name, line))
            uncoloured = re.sub(r"\x1b\[0;[0-9;]+m.*?\x1b\[0m", "", out)
            for piece in plain:
                self.assertIn(piece, uncoloured, (name, line))


def filters(name):
    """The options that take the filters of an installed example file."""
    return ["--file=" + os.path.join(ROOT, SETS, name)]


class ManPage(unittest.TestCase):
    def test_renders_with_every_section(self):
        env = dict(os.environ, MANPAGER="cat", MANWIDTH="80", COLUMNS="80", LC_ALL="C.UTF-8")
        p = run(["man", "--warnings", "-l", os.path.join(ROOT, "usr/share/man/man1/huecast.1.gz")], env=env)
        self.assertEqual((p.returncode, p.stderr), (0, ""))
        headings = [line for line in p.stdout.splitlines() if re.match(r"[A-Z][A-Z ]+$", line)]
        self.assertEqual(headings, ["NAME", "SYNOPSIS", "DESCRIPTION", "RUNNING A COMMAND", "COLOURS", "STYLES",
                                    "OPTIONS", "ENVIRONMENT", "FILES", "EXIT STATUS", "EXAMPLES", "SEE ALSO"])
        upstream = field("Version").rsplit("-", 1)[0]
        self.assertRegex(p.stdout.splitlines()[-1], r"^huecast %s\s" % re.escape(upstream))
        self.assertIn(r"huecast '0e,user=\K\w+' '0c,\d+(?= ms)'", p.stdout)


class Completions(unittest.TestCase):
    def bash(self, line, directory=".", **env):
        """What the packaged bash completion offers for LINE, split as readline splits it."""
        words = re.findall(r"=|[^\s=]+", line) + ([""] if line.endswith((" ", "=")) else [])
        script = ('source /usr/share/bash-completion/bash_completion; source "$1"; compopt() { :; }; '
                  'COMP_LINE=$2; COMP_POINT=${#2}; COMP_WORDS=("${@:3}"); COMP_CWORD=$(($# - 3)); '
                  '_huecast huecast "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"; '
                  'printf "%s\\n" "${COMPREPLY[@]}"')
        p = run(["bash", "-c", script, "bash", os.path.join(ROOT, "usr/share/bash-completion/completions/huecast"),
                 line, *words], cwd=directory, env=dict(os.environ, **env))
        self.assertEqual(p.stderr, "")
        return sorted(filter(None, p.stdout.split("\n")))

    def test_bash(self):
        self.assertEqual(self.bash("huecast --co"), ["--color=", "--colour="])
        self.assertEqual(self.bash("huecast --colour=a"), ["always", "auto"])
        self.assertEqual(self.bash("huecast --color=never --v"), ["--version"])
        with tempfile.TemporaryDirectory() as directory:
            open(os.path.join(directory, "build.filters"), "w").close()
            self.assertEqual(self.bash("huecast --file=b", directory), ["build.filters"])
        for line in ("huecast 0c --", "huecast -- --", "huecast 0c,error --c"):
            self.assertEqual(self.bash(line), [], line)
        # The names of the sets come from the program itself.
        program = os.path.join(ROOT, "usr/bin/huecast")
        with tempfile.TemporaryDirectory() as home:
            self.assertEqual(self.bash(program + " --set=s", HOME=home, XDG_DATA_DIRS=os.path.join(ROOT, "usr/share")),
                             ["stack-trace", "structured-log", "syslog"])

    @unittest.skipUnless(shutil.which("fish"), "fish is not installed")
    def test_fish(self):
        def complete(line):
            p = run(["fish", "-c", 'source $argv[1]; complete -C $argv[2]',
                     os.path.join(ROOT, "usr/share/fish/vendor_completions.d/huecast.fish"), line])
            self.assertEqual(p.stderr, "")
            return [entry.split("\t") for entry in p.stdout.splitlines()]

        self.assertEqual(complete("huecast --color=n"), [["--color=never", "When to colour"]])
        codes = complete("huecast --colour=always 4")
        self.assertEqual([c[0] for c in codes], ["4" + d for d in "0123456789ABCDEF"])
        self.assertEqual(codes[12][1], "Light red on Red")
        self.assertEqual(complete("huecast 0c --"), [])


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    DEB = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
