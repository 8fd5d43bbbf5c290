"""Runs the Windows tests under Wine: the back end's unit tests, then the end-to-end suite.

    python3 tests/windows/run_tests.py --build build-windows --cache build-win-deps

Keeps its Wine prefix and the compiled Unix locales (which let Wine take the code pages of
other regions) in the cache directory, and runs Wine headless: console programs need no
display when their console is a terminal (tmux) or absent (pipes)."""

import argparse
import glob
import os
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
LOCALES = [("ru_RU", "ru_RU.UTF-8"), ("ja_JP", "ja_JP.UTF-8")]


def prepare_wine(prefix):
    os.environ["WINEPREFIX"] = prefix
    os.environ["WINEDEBUG"] = "-all"
    # No prompts to install Mono or Gecko; nothing here needs them.
    os.environ["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    os.environ.pop("DISPLAY", None)
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        print("creating the Wine prefix", prefix, flush=True)
        subprocess.run(["wineboot", "--init"], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The prefix is complete once the boot's server has finished.
        subprocess.run(["wineserver", "--wait"], check=True, timeout=300)
    # One server for the whole run rather than one per program start (none is started when
    # one is already running for this prefix).
    subprocess.run(["wineserver", "--persistent=60"], check=True)


def prepare_locales(directory):
    os.makedirs(directory, exist_ok=True)
    for source, name in LOCALES:
        if not os.path.isdir(os.path.join(directory, name)):
            subprocess.run(["localedef", "-i", source, "-f", "UTF-8", os.path.join(directory, name)], check=True)
    os.environ["HUECAST_LOCPATH"] = directory


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build-windows")
    parser.add_argument("--cache", default="build-win-deps")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    cache = os.path.abspath(args.cache)
    exe = os.path.join(build, "huecast.exe")
    os.environ["HUECAST_EXE"] = exe
    downloads = sorted(glob.glob(os.path.join(build, "huecast-*-win64.zip")))
    if downloads:
        os.environ["HUECAST_ZIP"] = downloads[-1]

    prepare_wine(os.path.join(cache, "wineprefix"))
    prepare_locales(os.path.join(cache, "locales"))
    try:
        print("== back end unit tests", flush=True)
        unit = subprocess.run(["wine", os.path.join(build, "win32_backend_test.exe"), exe])
        print("== end-to-end tests", flush=True)
        sys.path.insert(0, HERE)
        suite = unittest.defaultTestLoader.discover(HERE, pattern="test_windows.py")
        result = unittest.TextTestRunner(verbosity=2).run(suite)
    finally:
        subprocess.run(["tmux", "-L", "huecast-wine-tests", "kill-server"], capture_output=True)
        subprocess.run(["wineserver", "--kill"], capture_output=True)
    return 0 if unit.returncode == 0 and result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
