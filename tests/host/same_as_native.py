#!/usr/bin/env python3
"""Runs a Windows polarhost (the host with the 32-bit product DLL, or the
stand-alone converter, under Wine) and the native polarhost over the same raw
files and fails unless both give the same: for json the same document and
exit status, so every record field the plug-in hands over, doubles to the
last bit, equals the native build's; for tcx, gpx, fit and svg the same exit
status and the same files, byte for byte (at a fixed UTC offset, so that the
machines' time zones play no part).

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


def converted(command, out_dir):
    """Runs a conversion into out_dir; its status and the files it wrote."""
    out_dir.mkdir()
    status, _, err = run([*command, "--utc-offset", "+01:00", "--output", str(out_dir)])
    return status, {f.name: f.read_bytes() for f in sorted(out_dir.iterdir())}, err


def compare(native_host, windows_command, path, format_name, scratch):
    """(None, a summary) when both hosts agree on path in this format, else (what differs, None)."""
    if format_name == "json":
        arguments = ["--format", "json", str(path)]
        native = run([native_host, *arguments])
        windows = run([*windows_command, *arguments])
        if native[:2] == windows[:2]:
            return None, f"exit {native[0]}, {len(native[1])} bytes"
        report = [f"exit {windows[0]} (native {native[0]})"]
        for number, (a, b) in enumerate(zip(native[1].splitlines(), windows[1].splitlines()), 1):
            if a != b:
                report.append(f"first difference in line {number}:\n      native  {a[:300]!r}\n      windows {b[:300]!r}")
                break
        report.append(f"windows stderr: {windows[2][-2000:]}")
        return report, None
    arguments = ["--format", format_name, str(path)]
    base = scratch / f"{path.name}.{format_name}"
    native = converted([native_host, *arguments], base.with_name(base.name + ".native"))
    windows = converted([*windows_command, *arguments], base.with_name(base.name + ".windows"))
    if native[:2] == windows[:2]:
        return None, f"exit {native[0]}, {len(native[1])} files, {sum(map(len, native[1].values()))} bytes"
    report = [f"exit {windows[0]} (native {native[0]}), files {sorted(windows[1])} (native {sorted(native[1])})"]
    for name in sorted(set(native[1]) & set(windows[1])):
        a, b = native[1][name], windows[1][name]
        if a != b:
            at = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
            report.append(f"{name} differs from byte {at} ({len(b)} bytes, native {len(a)}): "
                          f"native {a[max(0, at - 40):at + 80]!r}\n      windows {b[max(0, at - 40):at + 80]!r}")
    report.append(f"windows stderr: {windows[2][-2000:]}")
    return report, None


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--windows-host", required=True)
    parser.add_argument("--native-host", required=True)
    parser.add_argument("--formats", default="json",
                        help="comma-separated: json, tcx, gpx, fit, svg (default json)")
    parser.add_argument("paths", nargs="+")
    args = parser.parse_args()
    if not pathlib.Path(args.native_host).exists():
        sys.exit(f"same_as_native: no native host at {args.native_host}; build it first (scripts/build.sh native)")
    formats = args.formats.split(",")
    windows_command = ["bash", args.wine_run, args.windows_host]

    compared = differing = 0
    with tempfile.TemporaryDirectory(prefix="polar-same-") as scratch:
        scratch = pathlib.Path(scratch)
        for path in raw_files(args.paths, scratch):
            if not path.exists():
                print(f"skip  {path}: not there")
                continue
            for format_name in formats:
                compared += 1
                report, summary = compare(args.native_host, windows_command, path, format_name, scratch)
                if report is None:
                    print(f"same  {path} {format_name} ({summary})")
                    continue
                differing += 1
                print(f"DIFF  {path} {format_name}: " + "\n      ".join(report))
    print(f"same_as_native: {compared} comparisons ({', '.join(formats)}), {differing} differ")
    return 1 if differing or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
