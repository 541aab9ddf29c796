#!/usr/bin/env python3
"""Runs the stand-alone Windows converter under Wine on two archives with a
relative --output, from a folder of their own: the plug-in's clean-up after
the first archive makes C:\\ the current directory, and the second archive's
files must still go into the output folder as named, none to C:\\out. The
run's private work folder must be gone from Wine's temporary directory
afterwards."""
import argparse
import os
import pathlib
import subprocess
import sys
import tempfile
import zipfile


def wine_prefix(converter):
    """The prefix wine-run.sh uses: POLAR_WINEPREFIX, else "wineprefix" in the build tree."""
    if os.environ.get("POLAR_WINEPREFIX"):
        return pathlib.Path(os.environ["POLAR_WINEPREFIX"])
    for folder in pathlib.Path(converter).resolve().parents:
        if (folder / "CMakeCache.txt").is_file():
            return folder / "wineprefix"
    return None


def left_in_temp(prefix):
    """The converter's work folders in the Wine users' temporary directories."""
    if prefix is None:
        return set()
    return {str(p) for p in (prefix / "drive_c" / "users").glob("*/AppData/Local/Temp/polarhost-*")}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--converter", required=True, help="the stand-alone polarhost.exe")
    parser.add_argument("exercise", help="an exercise file")
    args = parser.parse_args()
    exercise = pathlib.Path(args.exercise).read_bytes()
    prefix = wine_prefix(args.converter)
    before = left_in_temp(prefix)

    problems = []
    with tempfile.TemporaryDirectory(prefix="polar-safety-") as scratch:
        scratch = pathlib.Path(scratch)
        for name in ("one", "two"):
            with zipfile.ZipFile(scratch / f"{name}.hrz", "w", zipfile.ZIP_DEFLATED) as archive:
                for k in range(2):
                    archive.writestr(f"{name}{k}.hrm", exercise)
        cwd = scratch / "cwd"
        cwd.mkdir()
        done = subprocess.run(["bash", args.wine_run, args.converter, "--format", "fit", "--output", "out",
                               "..\\one.hrz", "..\\two.hrz"],
                              cwd=cwd, capture_output=True, stdin=subprocess.DEVNULL)
        out = done.stdout.decode(errors="replace").replace("\r\n", "\n")
        err = done.stderr.decode(errors="replace")
        expected = [f"{name}-{k}.fit" for name in ("one", "two") for k in range(2)]
        if done.returncode != 0:
            problems.append(f"exit status {done.returncode}, expected 0")
        found = sorted(p.name for p in (cwd / "out").iterdir()) if (cwd / "out").is_dir() else []
        # Beside the files, the folder's history of what was converted into it.
        if found != sorted(expected + ["index.tsv"]):
            problems.append(f"the output folder holds {found}, expected {expected}")
        if sorted(out.split()) != sorted(f"out\\{name}" for name in expected):
            problems.append("the paths printed are not those below the output folder as named")
        left = left_in_temp(prefix) - before
        if left:
            problems.append(f"work folders left: {sorted(left)}")
        if problems:
            problems.append(f"standard output:\n{out}\nstandard error:\n{err}")
    for problem in problems:
        print(f"run_safety: {problem}")
    print("run_safety: " + ("FAILED" if problems else "both archives converted under the relative output folder"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
