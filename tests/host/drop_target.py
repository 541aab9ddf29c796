#!/usr/bin/env python3
"""Runs the release's drop target (the .cmd beside the stand-alone converter)
under Wine's cmd as Windows does when files are dropped on it, and checks
what a user sees: the FIT and TCX files in "converted" beside the first path
dropped, the converter's summary, a last line true to the exit status, and
the pause that keeps the window open (wine-run.sh gives every program an
empty standard input, which answers it).

The converter's folder and the rides' folder have spaces and letters beyond ASCII in their names; the
first run drops more than nine paths with spaces (files and a folder), the
second a folder first that holds a file which is no recording."""
import argparse
import pathlib
import shutil
import subprocess
import sys
import tempfile


def windows_path(path):
    # Wine's drive Z: is the root of the Linux file system.
    return "Z:" + str(path).replace("/", "\\")


def drop(wine_run, drop_target, paths):
    """Runs the drop target on paths: its exit status, standard output and error."""
    # `call` keeps cmd from taking the quotes around the .cmd's path for
    # quotes around the whole command.
    done = subprocess.run(["bash", wine_run, "cmd", "/c", "call", windows_path(drop_target),
                           *map(windows_path, paths)],
                          capture_output=True, stdin=subprocess.DEVNULL)
    return (done.returncode, done.stdout.decode(errors="replace").replace("\r\n", "\n"),
            done.stderr.decode(errors="replace"))


def problems_of(result, expected_status, last_line, converted, expected_files):
    status, out, err = result
    problems = []
    if status != expected_status:
        problems.append(f"exit status {status}, expected {expected_status}")
    lines = [line for line in out.splitlines() if line.strip()]
    if len(lines) < 2 or not lines[-1].startswith("Press any key") or not lines[-2].startswith(last_line):
        problems.append(f"the window does not end with {last_line!r} and the pause")
    if "polarhost: summary: " not in err:
        problems.append("no summary shown")
    found = sorted(f.name for f in converted.iterdir()) if converted.is_dir() else []
    # Beside the files, the folder's history of what was converted into it.
    expected_files = list(expected_files) + ["index.tsv"]
    if found != sorted(expected_files):
        problems.append(f"{converted} holds {found}, expected {sorted(expected_files)}")
    if problems:
        problems.append(f"standard output:\n{out}\nstandard error:\n{err}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--converter", required=True, help="the stand-alone polarhost.exe")
    parser.add_argument("--drop-target", required=True, help="the .cmd as the repository keeps it")
    parser.add_argument("exercise", help="an exercise file with its .gpx track beside it")
    args = parser.parse_args()
    exercise = pathlib.Path(args.exercise)

    with tempfile.TemporaryDirectory(prefix="polar-drop-") as scratch:
        scratch = pathlib.Path(scratch)
        folder = scratch / "Konverter für Übungen"
        folder.mkdir()
        shutil.copy(args.converter, folder / "polarhost.exe")
        drop_target = folder / pathlib.Path(args.drop_target).name
        # As the release carries it: Windows line ends.
        text = pathlib.Path(args.drop_target).read_text(encoding="ascii")
        drop_target.write_bytes(text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii"))

        rides = scratch / "Fahrten über Berge"
        rides.mkdir()
        shutil.copy(exercise.with_suffix(".gpx"), rides / "ride 1.gpx")
        files = [rides / f"ride {n}.hrm" for n in range(1, 11)]
        for file in files:
            shutil.copy(exercise, file)
        two = scratch / "two exercises"
        two.mkdir()
        for name in ("a.hrm", "b.hrm"):
            shutil.copy(exercise, two / name)
        stems = [file.stem for file in files] + ["a", "b"]
        problems = problems_of(drop(args.wine_run, drop_target, [*files, two]), 0, "Everything was converted",
                               rides / "converted", [f"{stem}.{kind}" for stem in stems for kind in ("fit", "tcx")])

        (two / "notes.hrm").write_text("[Params]\nnot a recording\n")
        problems += problems_of(drop(args.wine_run, drop_target, [two, files[0]]), 1,
                                "NOT everything was converted", scratch / "converted",
                                [f"{stem}.{kind}" for stem in ("a", "b", "ride 1") for kind in ("fit", "tcx")])
    for problem in problems:
        print(f"drop_target: {problem}")
    print("drop_target: " + ("FAILED" if problems else "both drops converted as expected"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
