"""End-to-end tests under locales whose character set is neither UTF-8 nor C: KOI8-R, one byte
per character, and SHIFT_JIS, one or two, in depth; and every byte sequence of one or two bytes
in every character set that localedef builds here. The locales are compiled for the run with
localedef into a temporary directory that LOCPATH names (the runs inherit it). Exits 77 where
localedef, a character map or a locale source is missing."""

import concurrent.futures
import gettext
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from huecast_run import BINARY, environment, run_pipe, run_terminal  # noqa: E402

SKIPPED = 77
I18N = "/usr/share/i18n"
# Locale name, source, charmap, the codeset the C library must then report.
LOCALES = [("ru_RU.KOI8-R", "ru_RU", "KOI8-R", "KOI8-R"),
           ("ja_JP.SJIS", "ja_JP", "SHIFT_JIS", "SHIFT_JIS")]
# Sets whose tables hold characters that do not come back as their bytes, combining
# characters that the C library holds back, bytes that stand for several characters, and
# the other common sets; built on the C locale's source, which is quick to compile.
CHARMAPS = ["UTF-8", "ISO-8859-1", "KOI8-R", "CP1251", "SHIFT_JIS", "EUC-JP", "EUC-KR", "GBK", "GB18030", "BIG5",
            "BIG5-HKSCS", "TCVN5712-1", "TSCII", "EUC-TW", "TIS-620", "GEORGIAN-PS"]
LOCALES += [("C." + charmap, "C", charmap, charmap) for charmap in CHARMAPS]

RED, GREEN, RESET = b"\x1b[0;91;49m", b"\x1b[0;92;49m", b"\x1b[0m"
# Every byte on one line, apart from the line feed and Ctrl-Z, which end lines and input.
EVERY_BYTE = bytes(range(256)).replace(b"\n", b"").replace(b"\x1a", b"")


def build_locales(directory):
    """Compiles LOCALES into `directory`; returns why that cannot be done here, or None."""
    if shutil.which("localedef") is None:
        return "no localedef"
    for name, source, charmap, codeset in LOCALES:
        if not os.path.exists("%s/charmaps/%s.gz" % (I18N, charmap)) and \
                not os.path.exists("%s/charmaps/%s" % (I18N, charmap)):
            return "no charmap " + charmap
        if not os.path.exists("%s/locales/%s" % (I18N, source)):
            return "no locale source " + source

    def build(locale):
        name, source, charmap, codeset = locale
        # SHIFT_JIS puts other characters than ASCII's at 0x5C and 0x7E: localedef warns and
        # exits 1 even under -c, yet writes the locale. What the C library makes of it counts.
        made = subprocess.run(["localedef", "-c", "-i", source, "-f", charmap, os.path.join(directory, name)],
                              capture_output=True, text=True)
        env = dict(environment(name), LOCPATH=directory)
        reported = subprocess.run(["locale", "charmap"], env=env, capture_output=True, text=True).stdout.strip()
        return None if reported == codeset else "localedef made no %s locale: %s" % (codeset, made.stderr.strip())

    with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 2) as pool:
        for failure in pool.map(build, LOCALES):
            if failure is not None:
                sys.exit(failure)
    return None


def painted(marked, encode):
    """The input line and the terminal bytes of a line whose {braced} pieces are painted red."""
    pieces = re.split("[{}]", marked)
    out = b"".join(RED + encode(p) + RESET if i % 2 else encode(p) for i, p in enumerate(pieces))
    return encode("".join(pieces)), out


class CodePageTests:
    """What holds in every set: bytes come out as they went in, and messages are in the set."""
    LOCALE = CODEC = None
    ARGUMENTS = LINES = BAD_FILTER = None

    def encode(self, text):
        # Lone surrogates U+DC80-U+DCFF stand for single bytes the set does not define.
        return text.encode(self.CODEC, "surrogateescape")

    def test_text_mode_writes_the_arguments_bytes(self):
        text = b" ".join(self.ARGUMENTS)
        self.assertEqual(run_pipe(["0a", *self.ARGUMENTS], locale=self.LOCALE), (0, text + b"\r\n", b""))
        self.assertEqual(run_terminal(["0a", *self.ARGUMENTS], locale=self.LOCALE),
                         (0, GREEN + text + RESET + b"\n", b""))

    def test_whole_stream_and_filters_pass_every_byte_through(self):
        data = b"\n".join(self.LINES)  # the last line has no line feed
        piped = b"".join(line + b"\r\n" for line in self.LINES)
        for args in (["0a"], ["0a,zzz"]):
            self.assertEqual(run_pipe(args, data, self.LOCALE), (0, piped, b""), args)
        shown = b"".join(GREEN + line + RESET + b"\n" for line in self.LINES)
        self.assertEqual(run_terminal(["0a"], data, self.LOCALE), (0, shown, b""))

    def check_painting(self, cases):
        for pattern, marked in cases:
            data, expected = painted(marked, self.encode)
            result = run_terminal([b"0c," + self.encode(pattern)], data + b"\n", self.LOCALE)
            self.assertEqual(result, (0, expected + b"\n", b""), (pattern, marked))

    def test_invalid_filter_is_quoted_in_the_sets_bytes(self):
        argument, message = self.BAD_FILTER
        self.assertEqual(run_pipe([argument], b"x\n", self.LOCALE),
                         (2, b"", b'huecast: filter 1 "' + argument + b'": ' + message + b"\n"))

    def test_system_error_text_is_in_the_sets_bytes(self):
        language = self.LOCALE[:2]
        why = gettext.translation("libc", "/usr/share/locale", [language], fallback=True).gettext(
            "No space left on device")
        env = environment(self.LOCALE)
        env.pop("LANGUAGE", None)  # it would choose the messages' language over the locale
        with open("/dev/full", "wb") as full:
            p = subprocess.run([BINARY, "0a", "x"], stdout=full, stderr=subprocess.PIPE, env=env)
        self.assertEqual((p.returncode, p.stderr), (1, b"huecast: standard output: " + self.encode(why) + b"\n"))


class Koi8R(CodePageTests, unittest.TestCase):
    LOCALE, CODEC = "ru_RU.KOI8-R", "koi8_r"
    # KOI8-R defines all 256 bytes: box drawing from 0x80, lower case from 0xC0, upper from 0xE0.
    ARGUMENTS = ["Ошибка".encode("koi8_r"), "ёЁ".encode("koi8_r"), bytes(range(0x80, 0x100))]
    LINES = [EVERY_BYTE, "Ёлка, ЩУКА и ёж".encode("koi8_r")]
    BAD_FILTER = (b"0c,(" + "ошибка".encode("koi8_r"), b"missing closing parenthesis at offset 7")

    def test_filters_fold_cyrillic_case(self):
        self.check_painting([
            ("ошибка", "x {ОШИБКА} {Ошибка} {ошибкА}"),
            ("ё", "{Ё}лка {ё}ж"),
            # A range of characters, not of bytes: щ and Щ (0xDD, 0xFD) lie outside the bytes
            # of а-я (0xC1-0xD1); ё is outside the range in Unicode.
            ("[а-я]+", "{Щука} ё{ж} Ё{Ж}"),
        ])


class ShiftJis(CodePageTests, unittest.TestCase):
    LOCALE, CODEC = "ja_JP.SJIS", "shift_jis"
    ARGUMENTS = ["表示".encode("shift_jis") + b"\x5c\x7e", "ソ\uff71".encode("shift_jis"),
                 b"\x80\xa0\xfd\xff", b"\x81"]
    LINES = [
        EVERY_BYTE,
        # a lead byte before an invalid trail, before an undefined byte, and an unassigned pair
        b"\x81 \x81\xff\x85\x40",
        b"\xa0\xfd\xfe\xff\x80",
        "表示".encode("shift_jis") + b"\x5c\x7e",
        b"lead before the line feed\x81",
        b"lead at the end of input\x81",
    ]
    BAD_FILTER = (b"0c,a)" + "表示".encode("shift_jis"), b"unmatched closing parenthesis at offset 1")

    def test_filters_match_characters_never_a_trail_byte(self):
        self.check_painting([
            # the second byte of ア is "A", of 』 (0x81 0x78) "x", of the ideographic space "@"
            ("a", "ア{A}{a}"),
            ("x", "\udc80{x}\udc81x"),
            ("@", "\u3000{@}"),
            ("[[^]+", "データ{[^}"),  # trail bytes "[" and "^"
            ("ｱ", "鯵{ｱ}"),  # 鯵 ends in 0xB1, which alone is ｱ
            ("表", "{表}\\"),  # 表 ends in 0x5C
            ("^.$", "{表}"),
            ("^..$", "表"),
        ])

    def test_filters_fold_case_beyond_ascii(self):
        self.check_painting([("а", "{А}{а}"), ("ａ", "{Ａ}a"), ("α", "{Α}")])

    def test_undefined_bytes_never_match_and_never_stop_the_search(self):
        self.check_painting([(".+", "{a}\udc80\udc81{ b}\udc81"), (".*x", "\udc80{ax}")])

    # glibc's SHIFT_JIS table reads 0x5C as the yen sign; a filter must still be able to escape
    # with it, and find it in text, as grep and sed do, while the 0x5C that ends 表 stays part of it.
    def test_byte_5c_in_a_filter_is_the_escape_character(self):
        self.check_painting([("\\\\", "表 C:{\\}dir"), ("\\d+", "No. {42}"), ("\\bok\\b", "{ok} okay")])


class EveryShortSequence(unittest.TestCase):
    """Every sequence of one or two bytes, each framed in a line of its own, comes out as it went
    in, in every set: copied whole, and decoded and written again around a filter's search."""
    FRAMED = [b"<" + bytes(s) + b">" for s in [[a] for a in range(256)] + [[a, b] for a in range(256) for b in range(256)]
              if 0x0A not in s]
    DATA = b"\n".join(FRAMED) + b"\n"

    def test_every_sequence_round_trips(self):
        for charmap in CHARMAPS:
            with self.subTest(charmap=charmap):
                self.assertEqual(run_pipe(["0c"], self.DATA, "C." + charmap, timeout=120),
                                 (0, self.DATA.replace(b"\n", b"\r\n"), b""))
                self.assertEqual(run_pipe(["--color=always", "0c,(?!)"], self.DATA, "C." + charmap, timeout=120),
                                 (0, self.DATA, b""))


if __name__ == "__main__":
    with tempfile.TemporaryDirectory(prefix="huecast-locales-") as directory:
        reason = build_locales(directory)
        if reason is not None:
            print("skipped:", reason, file=sys.stderr)
            sys.exit(SKIPPED)
        os.environ["LOCPATH"] = directory
        result = unittest.main(argv=sys.argv[:1], verbosity=1, exit=False).result
    sys.exit(0 if result.wasSuccessful() else 1)
