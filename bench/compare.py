#!/usr/bin/env python3
"""Whole-process comparison of huecast with cat, sed, perl, grep, ugrep and ccze.

Every tool reads the same generated log from a file and writes into one of:
  terminal  a pseudo-terminal (default line discipline, as a terminal emulator has it) whose
            other end this harness reads and drops; `cat` through it is the floor;
  pipe      a pipe that this harness reads and drops; `cat` through it is the floor.
Start-up is `huecast 0a hello` against `/bin/echo hello` (hyperfine, output to /dev/null).
Peak memory is /usr/bin/time's %M of the same runs.

Runs are interleaved (every tool once per round, the order rotating from round to round) and
the table shows medians. With --smoke everything runs once on small inputs and nothing is
judged; without it the performance targets are checked and listed under the table.
"""

import argparse
import datetime
import json
import os
import platform
import pty
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FOUR = ["0c,error", "0e,warn(ing)?", "0a,\\bok\\b", "0b,\\d+\\.\\d+\\.\\d+\\.\\d+"]
# A rule file's worth: the four and 28 words of the log, one filter per line.
FILTER_FILE = os.path.join(HERE, "filters-32.txt")
# The filter sets that come with huecast, each run on the same log as the build set: none may
# take more than twice the build set's time.
SETS = sorted(os.path.join(HERE, "..", "examples", n) for n in os.listdir(os.path.join(HERE, "..", "examples"))
              if n.endswith(".filters"))
SET_PREFIX = "huecast --color=always, set "
# The peers' colours for the same four pieces: light red, light yellow, light green, light cyan.
RED, YELLOW, GREEN, CYAN, OFF = "\x1b[91m", "\x1b[93m", "\x1b[92m", "\x1b[96m", "\x1b[0m"
SED = ["sed", "-E",
       "s/error/%s&%s/gI; s/warn(ing)?/%s&%s/gI; s/\\bok\\b/%s&%s/gI; "
       "s/[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+/%s&%s/g" % (RED, OFF, YELLOW, OFF, GREEN, OFF, CYAN, OFF)]
PERL = ["perl", "-pe",
        "s/error/\\e[91m$&\\e[0m/gi; s/warn(ing)?/\\e[93m$&\\e[0m/gi; s/\\bok\\b/\\e[92m$&\\e[0m/gi; "
        "s/\\d+\\.\\d+\\.\\d+\\.\\d+/\\e[96m$&\\e[0m/g"]
ALTERNATION = "error|warn(ing)?|\\bok\\b|[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+"
GREP = ["grep", "--color=always", "-i", "-E", ALTERNATION + "|$"]
UGREP = ["ugrep", "--color=always", "--passthru", "-i", "-E", ALTERNATION]


def filter_file_patterns():
    with open(FILTER_FILE, encoding="utf-8") as f:
        return [line.strip().split(",", 1)[1] for line in f if line.strip() and not line.startswith("#")]


# ugrep with the same 32 patterns; [0-9] for \d, as above.
UGREP_32 = ["ugrep", "--color=always", "--passthru", "-i", "-E",
            "|".join(p.replace("\\d", "[0-9]") for p in filter_file_patterns())]
CCZE = ["ccze", "-A"]

READ_BUFFER = bytearray(1 << 20)


def environment():
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("LC_") and k not in ("LANG", "GREP_COLORS", "NO_COLOR", "FORCE_COLOR", "CLICOLOR_FORCE")}
    env.update(LC_ALL="C.UTF-8", TERM="xterm")
    return env


def drain(fd):
    """Reads `fd` to its end (EOF, or EIO once a pseudo-terminal's last writer has gone)."""
    total = 0
    view = memoryview(READ_BUFFER)
    while True:
        try:
            n = os.readv(fd, [view])
        except OSError:
            break
        if n == 0:
            break
        total += n
    return total


def run_once(argv, input_path, into, env):
    """One run; returns (seconds, output bytes, peak kB). The clock runs from the start of the
    process to the moment its last output byte has been read and it has exited."""
    with tempfile.NamedTemporaryFile(prefix="hc-rss-", delete=False) as f:
        rss_path = f.name
    command = ["/usr/bin/time", "-f", "%M", "-o", rss_path, *argv]
    if into == "terminal":
        reader, writer = pty.openpty()
    else:
        reader, writer = os.pipe()
    with open(input_path, "rb") as stdin:
        start = time.perf_counter()
        p = subprocess.Popen(command, stdin=stdin, stdout=writer, stderr=subprocess.DEVNULL, env=env)
    os.close(writer)
    out = drain(reader)
    code = p.wait()
    seconds = time.perf_counter() - start
    os.close(reader)
    try:
        with open(rss_path) as f:
            peak = int(f.read().split()[-1])
    except (OSError, ValueError, IndexError):
        peak = 0
    os.unlink(rss_path)
    if code != 0 and argv[0] != "grep":  # grep says 1 when nothing matched
        raise RuntimeError("%s exited with %d" % (" ".join(argv), code))
    return seconds, out, peak


class Row:
    def __init__(self, workload, path, name, argv, input_path, scale=1.0, floor=False, input_bytes=None):
        self.workload, self.path, self.name, self.argv = workload, path, name, argv
        self.input_path, self.scale, self.floor = input_path, scale, floor
        self.input_bytes = input_bytes if input_bytes is not None else os.path.getsize(input_path)
        self.times, self.outs, self.peaks = [], [], []

    def median(self):
        return statistics.median(self.times) * self.scale if self.times else float("nan")

    def peak_mb(self):
        return max(self.peaks) / 1024 if self.peaks else float("nan")


def make_rows(args, huecast, log, line, ccze_slice, coloured, matches):
    size = os.path.getsize(log)
    rows = []
    for path in ("terminal", "pipe"):
        w = "%s log" % human(size)
        rows.append(Row(w, path, "cat (floor)", ["cat"], log, floor=True))
        if path == "terminal":
            # What the terminal must take from huecast, fed by cat: the terminal's own share.
            rows.append(Row(w, path, "cat of huecast's coloured output", ["cat"], coloured, input_bytes=size))
        rows.append(Row(w, path, "huecast, four filters", [huecast, *FOUR], log))
        if path == "pipe":
            rows.append(Row(w, path, "huecast --color=always, four filters", [huecast, "--color=always", *FOUR], log))
            rows.append(Row(w, path, "huecast --color=always, 32 filters",
                            [huecast, "--color=always", "--file=" + FILTER_FILE], log))
            for f in SETS:
                rows.append(Row(w, path, SET_PREFIX + set_name(f), [huecast, "--color=always", "--file=" + f], log))
        rows.append(Row(w, path, "huecast 0a (whole stream)", [huecast, "0a"], log))
        rows.append(Row(w, path, "sed -E, four s///", SED, log))
        rows.append(Row(w, path, "perl -pe, four s///", PERL, log))
        rows.append(Row(w, path, "grep --color -E 'a|b|c|d|$'", GREP, log))
        if shutil.which("ugrep"):
            rows.append(Row(w, path, "ugrep --passthru -E 'a|b|c|d'", UGREP, log))
            if path == "pipe":
                rows.append(Row(w, path, "ugrep --passthru -E, 32 patterns", UGREP_32, log))
        if shutil.which("ccze") and not args.no_ccze:
            scale = size / os.path.getsize(ccze_slice)
            rows.append(Row(w, path, "ccze -A (slice, time x%d)" % round(scale), CCZE, ccze_slice,
                            scale=scale, input_bytes=size))
    w = "one %s line" % human(os.path.getsize(line))
    for path in ("terminal", "pipe"):
        rows.append(Row(w, path, "cat (floor)", ["cat"], line, floor=True))
        rows.append(Row(w, path, "huecast, four filters", [huecast, *FOUR], line))
        if path == "terminal":
            rows.append(Row(w, path, "sed -E, four s///", SED, line))
            rows.append(Row(w, path, "perl -pe, four s///", PERL, line))
            if shutil.which("ugrep"):
                rows.append(Row(w, path, "ugrep --passthru -E 'a|b|c|d'", UGREP, line))
    # Every sixth byte begins a match: one line of them, and the same matches in short lines.
    one_line, short_lines = matches
    for w, path in (("matches, 1 line", one_line), ("matches, lines", short_lines)):
        rows.append(Row(w, "pipe", "cat (floor)", ["cat"], path, floor=True))
        rows.append(Row(w, "pipe", "huecast --color=always 0c,error", [huecast, "--color=always", "0c,error"], path))
        if shutil.which("ugrep"):
            rows.append(Row(w, "pipe", "ugrep --color=always --passthru error",
                            ["ugrep", "--color=always", "--passthru", "-i", "error"], path))
    return rows


def set_name(path):
    return os.path.basename(path)[:-len(".filters")]


def set_times(rows):
    """{set name: its median time on the log into a pipe, as a multiple of the build set's}."""
    times = {r.name[len(SET_PREFIX):]: r.median() for r in rows if r.name.startswith(SET_PREFIX)}
    return {name: t / times["build"] for name, t in times.items()} if times.get("build") else {}


def parse_size(text):
    """"50M" as bytes."""
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    return int(float(text[:-1]) * units[text[-1].upper()]) if text[-1].upper() in units else int(text)


def human(n):
    for unit, size in (("GB", 1 << 30), ("MB", 1 << 20), ("KB", 1 << 10)):
        if n >= size:
            return "%g %s" % (round(n / size, 1), unit)
    return "%d B" % n


def run_rows(rows, rounds, env, progress, short=0.25):
    """Every row once per round, the order rotating. Then, in the same round and interleaved
    too, the rows the targets are judged on get more passes: 6 for those under `short`
    seconds (a few milliseconds of other load would decide their median), 2 for the other
    huecast rows and their floors."""
    def run(row):
        seconds, out, peak = run_once(row.argv, row.input_path, row.path, env)
        row.times.append(seconds)
        row.outs.append(out)
        row.peaks.append(peak)

    for r in range(rounds):
        order = rows[r % len(rows):] + rows[:r % len(rows)]
        for row in order:
            run(row)
        if rounds == 1:
            continue
        judged = [row for row in order if row.floor or row.name.startswith("huecast")]
        quick = [row for row in judged if statistics.median(row.times) < short]
        for passes, group in ((6, quick), (2, [row for row in judged if row not in quick])):
            for _ in range(passes):
                for row in group:
                    run(row)
        progress("round %d of %d done" % (r + 1, rounds))


def set_shelf(data):
    """A directory of 5,000 filter sets, made once in `data`, for 1,600 of them by name. Its path
    is absolute: huecast ignores a relative XDG_CONFIG_HOME, as the XDG rules say."""
    shelf = os.path.abspath(os.path.join(data, "huecast-sets-5000"))
    if not os.path.isdir(shelf):
        os.makedirs(shelf + ".part/huecast")
        for i in range(5000):
            with open("%s.part/huecast/set%04d.filters" % (shelf, i), "w") as f:
                f.write("0c,error%d\n" % i)
        os.replace(shelf + ".part", shelf)
    return shelf, ["--set=set%04d" % (i * 3) for i in range(1600)]


def startup(huecast, runs, rounds, progress, data):
    """Medians of `huecast 0a hello`, `/bin/echo hello` and two runs that only read their
    filters, through hyperfine, interleaved in rounds; falls back to timing from here when
    hyperfine is missing."""
    shelf, sets = set_shelf(data)
    commands = {"/bin/echo hello (floor)": ["/bin/echo", "hello"], "huecast 0a hello": [huecast, "0a", "hello"],
                "huecast --file (32 filters) < /dev/null": [huecast, "--file=" + FILTER_FILE],
                "huecast --set x 1,600 (of 5,000 sets)": [huecast, *sets]}
    times = {name: [] for name in commands}
    peaks = {name: 0 for name in commands}
    env = environment()
    env.update(XDG_CONFIG_HOME=shelf, XDG_DATA_DIRS=os.path.join(shelf, "none"))
    for r in range(rounds):
        names = list(commands) if r % 2 == 0 else list(reversed(commands))
        if shutil.which("hyperfine"):
            with tempfile.NamedTemporaryFile(suffix=".json") as f:
                subprocess.run(["hyperfine", "-N", "--warmup", "5", "--runs", str(runs), "--style", "none",
                                "--export-json", f.name,
                                *[" ".join(commands[n]) for n in names]],
                               check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
                result = json.load(open(f.name))["results"]
            for name, res in zip(names, result):
                times[name].extend(res["times"])
        else:
            for name in names:
                for _ in range(runs):
                    start = time.perf_counter()
                    subprocess.run(commands[name], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, env=env,
                                   check=True)
                    times[name].append(time.perf_counter() - start)
    for name, argv in commands.items():
        rss = subprocess.run(["/usr/bin/time", "-f", "%M", *argv], stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env, text=True).stderr
        peaks[name] = int(rss.split()[-1]) / 1024
    progress("start-up done")
    return {name: (statistics.median(t), peaks[name]) for name, t in times.items()}


def micro(binary, log, smoke):
    """Runs the micro benchmarks; prints their table and returns {name: bytes per second}."""
    with tempfile.NamedTemporaryFile(suffix=".json") as f:
        argv = [binary, "--log=" + log, "--filters=" + FILTER_FILE, "--benchmark_out=" + f.name,
                "--benchmark_out_format=json"]
        if smoke:
            argv.append("--benchmark_min_time=0.001")
        else:
            argv += ["--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"]
        subprocess.run(argv, check=True, stdout=subprocess.DEVNULL)
        data = json.load(open(f.name))
    rates = {}
    print("micro benchmarks on %s (%s), %s; throughput in input bytes" % (
        os.path.basename(log), human(os.path.getsize(log)), "one pass each" if smoke else "medians of 5"))
    print("  %-34s %12s %10s  %s" % ("benchmark", "time", "MB/s", "counters"))
    print("  " + "-" * 72)
    for b in data["benchmarks"]:
        if b.get("aggregate_name", "median") != "median":
            continue
        name = b.get("run_name", b["name"])
        rates[name] = b.get("bytes_per_second", 0.0)
        counters = ", ".join("%s %.2f" % (k, v) for k, v in b.items()
                             if k in ("out_per_in", "coloured_per_line", "filters"))
        ms = b["real_time"] / {"ns": 1e6, "us": 1e3, "ms": 1.0, "s": 1e-3}[b["time_unit"]]
        print("  %-34s %9.3f ms %10.0f  %s" % (name, ms, rates[name] / 1e6, counters))
    return rates


def print_table(rows, start):
    print()
    print("%-15s %-9s %-44s %9s %8s %9s %7s %8s" %
          ("workload", "path", "tool", "median s", "x floor", "MB/s in", "out/in", "peak MB"))
    print("-" * 116)
    floors = {(r.workload, r.path): r.median() for r in rows if r.floor}
    last = None
    for r in rows:
        key = (r.workload, r.path)
        m = r.median()
        ratio = m / floors[key] if floors.get(key) else float("nan")
        out_in = (statistics.median(r.outs) / os.path.getsize(r.input_path)) if r.outs else float("nan")
        print("%-15s %-9s %-44s %9.3f %8.2f %9.0f %7.2f %8.1f" % (
            r.workload if key != last else "", r.path if key != last else "", r.name, m, ratio,
            r.input_bytes / m / 1e6, out_in, r.peak_mb()))
        last = key
    ratios = set_times(rows)
    if ratios:
        print()
        print("filter sets on the log into a pipe, each set's time as a multiple of the build set's:")
        print("  " + "  ".join("%s %.2f" % (name, ratios[name]) for name in sorted(ratios)))
    floor = start.get("/bin/echo hello (floor)", (0,))[0]
    for name, (m, peak) in start.items():
        print("%-15s %-9s %-44s %9.4f %8.2f %9s %7s %8.1f" % (
            "start-up" if "echo" in name else "", "/dev/null" if "echo" in name else "", name, m, m / floor,
            "", "", peak))


def find(rows, workload_prefix, path, name_prefix):
    for r in rows:
        if r.workload.startswith(workload_prefix) and r.path == path and r.name.startswith(name_prefix):
            return r
    return None


def judge(rows, start, rates, log_size, line_size):
    """Each target with what was measured; returns the number missed."""
    def ratio(workload, path, name):
        r, f = find(rows, workload, path, name), find(rows, workload, path, "cat")
        return r.median() / f.median()

    def versus(path, name, other):
        r, o = find(rows, big, path, name), find(rows, big, path, other)
        # A peer that is not installed has no row: its target is not measured.
        return r.median() / o.median() if r and o else float("nan")

    big = human(log_size) + " log"
    matches = find(rows, "matches, 1 line", "pipe", "huecast")
    paint = rates.get("paint_four_filters")
    paint_file = rates.get("paint_file_filters")
    hello = start["huecast 0a hello"][0]
    checks = [
        ("four filters on a terminal, %s: <= 1.05 x cat of its own output" % big,
         versus("terminal", "huecast, four", "cat of huecast"), 1.05, "x"),
        ("whole-stream into a pipe, %s: <= 2 x cat" % big, ratio(big, "pipe", "huecast 0a"), 2.0, "x"),
        ("filter mode into a pipe, %s: <= 2 x cat" % big, ratio(big, "pipe", "huecast, four"), 2.0, "x"),
        ("colour into a pipe, four filters: <= 0.25 x ugrep",
         versus("pipe", "huecast --color=always, four", "ugrep --passthru -E 'a"), 0.25, "x"),
        ("colour into a pipe, 32 filters: <= 0.35 x ugrep, 32 patterns",
         versus("pipe", "huecast --color=always, 32", "ugrep --passthru -E, 32"), 0.35, "x"),
        ("colour into a pipe, 32 filters: <= 1.5 x huecast's own four",
         versus("pipe", "huecast --color=always, 32", "huecast --color=always, four"), 1.5, "x"),
        ("painting alone, four filters: >= 1000 MB/s", (paint or 0) / 1e6, 1000.0, "MB/s"),
        ("painting alone, the file's plain words: >= 2000 MB/s", rates.get("paint_plain_words", 0) / 1e6, 2000.0,
         "MB/s"),
        ("painting alone, 32 filters: <= 2 x the time of four",
         (paint or 0) / paint_file if paint_file else float("nan"), 2.0, "x"),
        ("huecast 0a hello: <= 1.5 x /bin/echo hello", hello / start["/bin/echo hello (floor)"][0], 1.5, "x"),
        ("start-up with 32 filters: <= 2 x huecast 0a hello",
         start["huecast --file (32 filters) < /dev/null"][0] / hello, 2.0, "x"),
        ("peak memory, %s, any mode: <= 8 MB" % big,
         max(r.peak_mb() for r in rows if r.workload == big and r.name.startswith("huecast")), 8.0, "MB"),
        ("peak memory, one line, filters on a terminal: <= 6 x its bytes",
         find(rows, "one", "terminal", "huecast").peak_mb() * (1 << 20) / line_size, 6.0, "x"),
        ("one line of matches, colour into a pipe: peak <= 1.5 x its bytes",
         matches.peak_mb() * (1 << 20) / os.path.getsize(matches.input_path), 1.5, "x"),
        ("one line of matches: <= 1.1 x the time of the same matches in lines",
         matches.median() / find(rows, "matches, lines", "pipe", "huecast").median(), 1.1, "x"),
        *[("filter set %s on the log: <= 2 x the build set's time" % name, ratio, 2.0, "x")
          for name, ratio in sorted(set_times(rows).items()) if name != "build"],
    ]
    missed = 0
    print()
    print("targets")
    for what, value, limit, unit in checks:
        ok = value >= limit if unit == "MB/s" else value <= limit
        missed += not ok
        verdict = "met" if ok else "not measured" if value != value else "MISSED"
        print("  %-66s %9.2f %-4s %s" % (what, value, unit, verdict))
    return missed


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--huecast", required=True)
    parser.add_argument("--micro", help="the micro benchmark binary; run first when given")
    parser.add_argument("--data", default=tempfile.gettempdir(), help="where the generated inputs go")
    parser.add_argument("--size", default="100M")
    parser.add_argument("--line", default="50M")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--no-ccze", action="store_true")
    parser.add_argument("--only", help="run only the rows whose tool name contains this (floors always run);"
                                       " no start-up, nothing judged")
    parser.add_argument("--smoke", action="store_true", help="1 MB, once each, nothing judged")
    args = parser.parse_args()
    if args.smoke:
        args.size, args.line, args.rounds = "1M", "1M", 1

    def progress(text):
        print("  [%s] %s" % (time.strftime("%H:%M:%S"), text), file=sys.stderr, flush=True)

    os.makedirs(args.data, exist_ok=True)
    generator = os.path.join(HERE, "generate_log.py")

    def generate(name, *options):
        path = os.path.join(args.data, name)
        if not os.path.exists(path):
            progress("generating " + path)
            subprocess.run([sys.executable, generator, path + ".part", *options], check=True)
            os.replace(path + ".part", path)
        return path

    log = generate("huecast-log-%s.txt" % args.size, "--size", args.size)
    # huecast's own coloured output of the log, for the terminal's share of the work.
    coloured = os.path.join(args.data, "huecast-coloured-%s.txt" % args.size)
    if not os.path.exists(coloured) or os.path.getmtime(coloured) < os.path.getmtime(args.huecast):
        with open(log, "rb") as stdin, open(coloured + ".part", "wb") as out:
            subprocess.run([args.huecast, "--color=always", *FOUR], stdin=stdin, stdout=out, env=environment(),
                           check=True)
        os.replace(coloured + ".part", coloured)
    line = generate("huecast-line-%s.txt" % args.line, "--one-line", args.line)
    matches = []
    for name, per_line in (("huecast-matches-%s-one-line.txt", None), ("huecast-matches-%s-lines.txt", 13)):
        path = os.path.join(args.data, name % args.line)
        if not os.path.exists(path):
            count = parse_size(args.line) // 6
            with open(path + ".part", "wb") as f:
                if per_line is None:
                    f.write(b"error " * count + b"\n")
                else:
                    f.write((b"error " * per_line + b"\n") * (count // per_line))
            os.replace(path + ".part", path)
        matches.append(path)
    # ccze takes about 8 s a megabyte: it runs on a thousandth of the log, scaled up.
    slice_size = max(os.path.getsize(log) // 1000, 4096)
    ccze_slice = os.path.join(args.data, "huecast-log-%s-slice-%d.txt" % (args.size, slice_size))
    if not os.path.exists(ccze_slice):
        with open(log, "rb") as f:
            data = f.read(slice_size)
        with open(ccze_slice, "wb") as f:
            f.write(data[: data.rfind(b"\n") + 1])

    rates = {}
    if args.micro:
        micro_log = generate("huecast-log-%s.txt" % ("1M" if args.smoke else "10M"),
                             "--size", "1M" if args.smoke else "10M")
        progress("micro benchmarks")
        rates = micro(args.micro, micro_log, args.smoke)

    load = os.getloadavg()
    progress("whole-process runs, %d round(s), load %.2f %.2f %.2f" % (args.rounds, *load))
    rows = make_rows(args, args.huecast, log, line, ccze_slice, coloured, matches)
    if args.only:
        rows = [r for r in rows if r.floor or args.only in r.name]
    env = environment()
    run_rows(rows, args.rounds, env, progress)
    start = {} if args.only else startup(args.huecast, 10 if args.smoke else 200, 1 if args.smoke else args.rounds,
                                         progress, args.data)

    cpu = "?"
    try:
        for text in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines():
            if text.startswith("Model name:"):
                cpu = text.split(":", 1)[1].strip()
    except OSError:
        pass
    end_load = os.getloadavg()
    print()
    print("huecast whole-process comparison: %s, %d CPUs (%s), %s; medians of %d interleaved round(s);"
          % (platform.node() and "this machine", os.cpu_count(), cpu, datetime.date.today().isoformat(), args.rounds))
    print("load average at start %.2f, at end %.2f; LC_ALL=C.UTF-8, TERM=xterm" % (load[0], end_load[0]))
    print_table(rows, start)
    if args.smoke or args.only:
        print("\n(nothing judged)")
        return 0
    judge(rows, start, rates, os.path.getsize(log), os.path.getsize(line))
    return 0


if __name__ == "__main__":
    sys.exit(main())
