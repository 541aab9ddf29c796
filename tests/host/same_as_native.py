#!/usr/bin/env python3
"""Runs the Windows polarhost (with the 32-bit product DLL, under Wine) and
the native polarhost over the same raw files and fails unless both print the
same JSON document and exit status: every record field the DLL hands over,
doubles to the last bit, must equal the native build's.

Arguments are raw files or folders; a folder stands for its .hrm files and
for one .hrz archive of them with their tracks, written for the run."""
import argparse
import pathlib
import subprocess
import sys
import tempfile
import zipfile


def run(command):
    done = subprocess.run(command, capture_output=True, stdin=subprocess.DEVNULL)
    # The Windows runtime may write its text with CR LF line ends.
    return done.returncode, done.stdout.replace(b"\r\n", b"\n"), done.stderr.decode(errors="replace")


def raw_files(arguments, scratch):
    for argument in arguments:
        path = pathlib.Path(argument)
        if not path.is_dir():
            yield path
            continue
        exercises = sorted(path.glob("*.hrm"))
        yield from exercises
        archive = scratch / f"{path.name}.hrz"
        with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as zip_file:
            for exercise in exercises:
                zip_file.write(exercise, exercise.name)
                track = exercise.with_suffix(".gpx")
                if track.exists():
                    zip_file.write(track, track.name)
        yield archive


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--windows-host", required=True)
    parser.add_argument("--native-host", required=True)
    parser.add_argument("paths", nargs="+")
    args = parser.parse_args()
    if not pathlib.Path(args.native_host).exists():
        sys.exit(f"same_as_native: no native host at {args.native_host}; build it first (scripts/build.sh native)")

    compared = differing = 0
    with tempfile.TemporaryDirectory(prefix="polar-same-") as scratch:
        for path in raw_files(args.paths, pathlib.Path(scratch)):
            if not path.exists():
                print(f"skip  {path}: not there")
                continue
            arguments = ["--format", "json", str(path)]
            native = run([args.native_host, *arguments])
            windows = run(["bash", args.wine_run, args.windows_host, *arguments])
            compared += 1
            if native[:2] == windows[:2]:
                print(f"same  {path} (exit {native[0]}, {len(native[1])} bytes)")
                continue
            differing += 1
            print(f"DIFF  {path}: exit {windows[0]} (native {native[0]})")
            for number, (a, b) in enumerate(zip(native[1].splitlines(), windows[1].splitlines()), 1):
                if a != b:
                    print(f"      first difference in line {number}:\n      native  {a[:300]!r}\n      windows {b[:300]!r}")
                    break
            print(f"      windows stderr: {windows[2][-2000:]}")
    print(f"same_as_native: {compared} raw files compared, {differing} differ")
    return 1 if differing or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
