"""What the support library's start-up objects cost a whole run of `huecast 0a hello`.

Runs the program and its build without the start-up objects (huecast_without_library_objects,
which also leaves the ODBC driver manager unloaded) alternately, so that both meet the same
machine load, and prints the median wall time of each and the median of the paired
differences.

usage: startup_cost.py <huecast> <huecast_without_library_objects> [runs]
"""

import os
import statistics
import sys
import time


def run_once(binary, devnull):
    start = time.perf_counter_ns()
    pid = os.posix_spawn(binary, [binary, "0a", "hello"], os.environ,
                         file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1)])
    _, status = os.waitpid(pid, 0)
    elapsed = time.perf_counter_ns() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{binary} failed")
    return elapsed / 1e6


def main():
    with_objects, without_objects = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
    devnull = os.open(os.devnull, os.O_WRONLY)
    for _ in range(50):
        run_once(with_objects, devnull)
        run_once(without_objects, devnull)
    on, off, diff = [], [], []
    for i in range(runs):
        # Alternate which goes first, so neither always follows the other's cache effects.
        if i % 2:
            a = run_once(with_objects, devnull)
            b = run_once(without_objects, devnull)
        else:
            b = run_once(without_objects, devnull)
            a = run_once(with_objects, devnull)
        on.append(a)
        off.append(b)
        diff.append(a - b)
    print(f"with start-up objects:    median {statistics.median(on):.3f} ms")
    print(f"without start-up objects: median {statistics.median(off):.3f} ms")
    print(f"paired difference:        median {statistics.median(diff):.3f} ms over {runs} pairs")


if __name__ == "__main__":
    main()
