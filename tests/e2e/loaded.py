"""Runs end-to-end scenarios again and again beside busy loops that keep the
cores busy, the way a loaded machine runs them, and counts the failures.

    python3 tests/e2e/loaded.py --runs 20 --busy 2 desktop-openbox desktop-xfwm4 -- \
        --binary build/shell/christmas-pegs --root . --out build/e2e-loaded \
        --wm-close build/tests/e2e/wm_close --build-dir build

Everything after "--" goes to scenarios.py unchanged. The busy loops end with
this script, whichever way it ends.
"""
import argparse
import glob
import os
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def start_busy_loops(count):
    return [subprocess.Popen([sys.executable, "-c", "while True: pass"], start_new_session=True)
            for _ in range(count)]


def end_busy_loops(loops):
    for loop in loops:
        loop.kill()
        loop.wait()


def keep_artifacts(passed_on, name, run):
    """Copies a failed run's files out of the scenario's folder, which the next run
    writes over, into failed-NAME-RUN/ beside them."""
    if "--out" not in passed_on:
        return
    out = passed_on[passed_on.index("--out") + 1]
    kept = os.path.join(out, f"failed-{name}-{run}")
    os.makedirs(kept, exist_ok=True)
    prefix = name if name.startswith("desktop-") else ""
    for path in glob.glob(os.path.join(out, "*")):
        if os.path.isfile(path) and (not prefix or os.path.basename(path).startswith(prefix)):
            shutil.copy(path, kept)
    print(f"files of the failed run: {kept}", flush=True)


def main():
    argv = sys.argv[1:]
    passed_on = argv[argv.index("--") + 1:] if "--" in argv else []
    own = argv[:argv.index("--")] if "--" in argv else argv
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=20, help="runs of each scenario")
    parser.add_argument("--busy", type=int, default=2, help="busy loops beside the runs")
    parser.add_argument("scenarios", nargs="+")
    args = parser.parse_args(own)
    failures = {name: 0 for name in args.scenarios}
    # Ended from outside, the script still ends its busy loops on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    loops = start_busy_loops(args.busy)
    try:
        for run in range(1, args.runs + 1):
            for name in args.scenarios:
                started = time.time()
                result = subprocess.run([sys.executable, os.path.join(HERE, "scenarios.py"), name, *passed_on],
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                lines = result.stdout.strip().splitlines() or ["(no output)"]
                last = next((line for line in lines if line.startswith("FAILED")), lines[-1])
                if result.returncode != 0:
                    failures[name] += 1
                print(f"run {run} {name}: {'passed' if result.returncode == 0 else 'FAILED'} "
                      f"in {time.time() - started:.0f} s: {last}", flush=True)
                if result.returncode != 0:
                    keep_artifacts(passed_on, name, run)
    finally:
        end_busy_loops(loops)
    for name, failed in failures.items():
        print(f"{name}: {failed} of {args.runs} runs failed with {args.busy} busy loops")
    return 1 if any(failures.values()) else 0


if __name__ == "__main__":
    sys.exit(main())
