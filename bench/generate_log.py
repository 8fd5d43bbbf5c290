#!/usr/bin/env python3
"""Writes a deterministic application log for the benchmarks: the same seed and size give the
same bytes on every machine. Lines are 60-150 bytes of UTF-8: a timestamp, a level (INFO, WARN,
WARNING, ERROR, DEBUG), a component, and messages with IP addresses, numbers, "ok" words, paths
and some Cyrillic and accented text.

    generate_log.py OUT --size 100M            a log of about that many bytes, whole lines
    generate_log.py OUT --one-line 50M         one line of exactly that many bytes and its LF
"""

import argparse
import random
import sys

LEVELS = ["INFO"] * 55 + ["DEBUG"] * 20 + ["WARN"] * 8 + ["WARNING"] * 5 + ["ERROR"] * 12
COMPONENTS = ["http", "db.pool", "auth", "scheduler", "cache", "worker-1", "worker-2", "mailer", "billing"]
USERS = ["alice", "bob", "José", "Zoë", "Müller", "François", "Ирина", "Дмитрий", "Ñoño", "chloé"]
WORDS_RU = ["пользователь", "запрос", "ошибка", "соединение", "готово", "файл"]
WORDS_ACCENTED = ["café", "résumé", "naïve", "façade", "über", "señal", "déjà vu"]
PATHS = ["/api/v1/orders", "/api/v1/users", "/static/app.js", "/health", "/api/v2/invoices", "/login"]
METHODS = ["GET", "GET", "GET", "POST", "PUT", "DELETE"]


def ip(r):
    return "%d.%d.%d.%d" % (r.choice([10, 172, 192, 203, 81]), r.randrange(256), r.randrange(256), r.randrange(1, 255))


def message(r, level):
    kind = r.randrange(10)
    if kind <= 2:
        return "%s %s/%d from %s status=%d took %d ms%s" % (
            r.choice(METHODS), r.choice(PATHS), r.randrange(100000), ip(r), r.choice([200, 200, 200, 201, 404, 500]),
            r.randrange(1, 2000), " ok" if r.randrange(3) == 0 else "")
    if kind == 3:
        return "user %s logged in from %s session=%08x" % (r.choice(USERS), ip(r), r.getrandbits(32))
    if kind == 4:
        return "%s: %s %s, retry %d of %d" % (
            r.choice(WORDS_RU), r.choice(WORDS_RU), r.choice(WORDS_ACCENTED), r.randrange(1, 5), 5)
    if kind == 5:
        return "pool size=%d active=%d idle=%d wait=%.3f s" % (
            r.randrange(8, 64), r.randrange(0, 64), r.randrange(0, 32), r.random() * 3)
    if kind == 6:
        if level == "ERROR":
            return "error: connection to %s:%d refused (errno %d), giving up after %d ms" % (
                ip(r), r.choice([5432, 6379, 443, 8080]), r.choice([111, 110, 113]), r.randrange(100, 30000))
        return "health check ok, %d of %d nodes ok, load %.2f" % (r.randrange(1, 9), 9, r.random() * 4)
    if kind == 7:
        return "cache hit ratio %.2f%% over %d keys, evicted %d" % (
            r.random() * 100, r.randrange(1000, 10 ** 6), r.randrange(0, 5000))
    if kind == 8:
        return "warning: slow query on table orders (%d rows, %d ms) for %s" % (
            r.randrange(1, 10 ** 6), r.randrange(500, 9000), r.choice(USERS))
    return "job %d finished: %d processed, %d failed; next run in %d s" % (
        r.randrange(10 ** 5), r.randrange(10 ** 4), r.randrange(20), r.randrange(10, 3600))


def fit(text, low, high, r):
    """Pads or trims `text` (on a character boundary) to between low and high bytes."""
    data = text.encode()
    while len(data) < low:
        data += (" " + r.choice(WORDS_ACCENTED + WORDS_RU + ["ok", "done", "id=%d" % r.randrange(10 ** 6)])).encode()
    if len(data) > high:
        data = data[:high].decode("utf-8", "ignore").encode()
    return data


def lines(seed):
    r = random.Random(seed)
    t = 1_700_000_000_000  # milliseconds
    while True:
        t += r.randrange(0, 250)
        s, ms = divmod(t, 1000)
        m, sec = divmod(s, 60)
        h, minute = divmod(m, 60)
        level = r.choice(LEVELS)
        stamp = "2026-03-%02dT%02d:%02d:%02d.%03dZ" % (1 + (h // 24) % 28, h % 24, minute, sec, ms)
        text = "%s %-7s [%s] %s" % (stamp, level, r.choice(COMPONENTS), message(r, level))
        yield fit(text, 60, 150, r) + b"\n"


def parse_size(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    if text[-1:].upper() in units:
        return int(float(text[:-1]) * units[text[-1:].upper()])
    return int(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("out")
    parser.add_argument("--size", default="100M", help="bytes of log, e.g. 100M")
    parser.add_argument("--one-line", help="instead: one line of this many bytes (without its LF)")
    parser.add_argument("--seed", type=int, default=20261209)
    args = parser.parse_args()

    with open(args.out, "wb") as out:
        if args.one_line:
            want = parse_size(args.one_line)
            written = 0
            for line in lines(args.seed):
                piece = line[:-1] + b" "
                if written + len(piece) >= want:
                    # Cut on a character boundary and pad with blanks to the exact size.
                    tail = piece[: want - written].decode("utf-8", "ignore").encode()
                    out.write(tail + b" " * (want - written - len(tail)) + b"\n")
                    break
                out.write(piece)
                written += len(piece)
        else:
            want = parse_size(args.size)
            written = 0
            chunk = []
            for line in lines(args.seed):
                if written >= want:
                    break
                chunk.append(line)
                written += len(line)
                if len(chunk) == 4096:
                    out.write(b"".join(chunk))
                    chunk = []
            out.write(b"".join(chunk))
    return 0


if __name__ == "__main__":
    sys.exit(main())
