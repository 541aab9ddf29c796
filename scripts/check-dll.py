#!/usr/bin/env python3
"""Checks the plug-in DLL against the host's contract, without running it.

The 31 export names and ordinals, the stdcall clean-up of every export
(each `ret $N` in its body equals 4 x its argument count), imports from
system DLLs only (no MinGW runtime DLL), no debug information in the
shipped file, and one version throughout: the version resource's numbers and
texts and the number GetVersion returns are those of project(VERSION) in
CMakeLists.txt.

Exit status 1 on any failure.
"""

import argparse
import os
import re
import struct
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Ordinal, name, number of 32-bit argument slots.
EXPORTS = [
    (1, "CallImportDialog", 9), (2, "CallConfiguration", 9), (3, "GetDelProperty", 0),
    (4, "UseOwnImportDialog", 0), (5, "UseOwnSetupDialog", 0), (6, "GetPluginImage", 1),
    (7, "GetPluginIcon", 1), (8, "GetExInterface", 0), (9, "GetLapDatasEx", 2),
    (10, "GetExerciseDatasEx", 2), (11, "GetLogSummaryEx", 1), (12, "AnalyseExercise", 2),
    (13, "GetExerciseNumberFromRawFileEx", 2), (14, "GetExerciseNumberFromRawFile", 1),
    (15, "GetExerciseNumber", 0), (16, "SetPluginIniFile", 1), (17, "SetIniFile", 1),
    (18, "GetAHFactor", 0), (19, "GetDir", 2), (20, "GetDeviceName", 2),
    (21, "ValidRawExtension", 2), (22, "GetRawExtensionEx", 2), (23, "GetRawExtension", 2),
    (24, "GetRawHeader", 2), (25, "GetComment", 2), (26, "GetAuthor", 2),
    (27, "GetPluginDevType", 0), (28, "GetPluginType", 0), (29, "GetPluginName", 2),
    (30, "GetVersion", 0), (31, "Initialize", 3),
]

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "comctl32.dll",
    "comdlg32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll", "ws2_32.dll",
    "hrmcom.dll",
}
RUNTIME_DLL = re.compile(r"^(libgcc|libstdc\+\+|libwinpthread)", re.IGNORECASE)


class Report:
    def __init__(self):
        self.failures = 0

    def ok(self, text):
        print(f"  ok    {text}")

    def fail(self, text):
        self.failures += 1
        print(f"  FAIL  {text}")

    def note(self, text):
        print(f"  note  {text}")


def objdump(tool, option, path):
    try:
        return subprocess.run([tool, option, path], check=True, capture_output=True, text=True).stdout
    except FileNotFoundError:
        sys.exit(f"check-dll: {tool} not found")
    except subprocess.CalledProcessError as error:
        sys.exit(f"check-dll: {tool} {option} {path} failed:\n{error.stderr}")


def parse_headers(text):
    """Image base, export RVAs by ordinal, export names by ordinal, imported DLL names."""
    image_base = None
    match = re.search(r"^ImageBase\s+([0-9a-fA-F]+)", text, re.MULTILINE)
    if match:
        image_base = int(match.group(1), 16)
    ordinal_base = 1
    match = re.search(r"^Ordinal Base\s+(\d+)", text, re.MULTILINE)
    if match:
        ordinal_base = int(match.group(1))

    rvas, names = {}, {}
    section = None
    for line in text.splitlines():
        if line.startswith("Export Address Table"):
            section = "addresses"
            continue
        if line.startswith("[Ordinal/Name Pointer] Table") or line.startswith("[Name Pointer/Ordinal] Table"):
            section = "names"
            continue
        if section and not line.strip():
            if section == "names" and names:
                section = None
            continue
        if section == "addresses":
            match = re.match(r"\s*\[\s*(\d+)\]\s+\+base\[\s*(\d+)\]\s+([0-9a-fA-F]+)\s+Export RVA", line)
            if match:
                rvas[int(match.group(2))] = int(match.group(3), 16)
            elif not line.startswith("\t"):
                section = None
        elif section == "names":
            match = re.match(r"\s*\[\s*(\d+)\]\s+(\S+)\s*$", line)
            if match:
                names[int(match.group(1)) + ordinal_base] = match.group(2)
            else:
                section = None
    imports = re.findall(r"^\s*DLL Name:\s*(\S+)", text, re.MULTILINE)
    return image_base, rvas, names, imports


def check_exports(rvas, names, report):
    expected = {ordinal: name for ordinal, name, _ in EXPORTS}
    if len(rvas) != len(expected):
        report.fail(f"{len(rvas)} entries in the export address table, expected {len(expected)}")
    if len(names) == len(expected):
        report.ok(f"{len(names)} named exports")
    else:
        report.fail(f"{len(names)} named exports, expected {len(expected)}")
    for ordinal, name in sorted(expected.items()):
        found = names.get(ordinal)
        if found == name:
            continue
        where = [o for o, n in names.items() if n == name]
        detail = f"at ordinal {where[0]}" if where else "missing"
        report.fail(f"ordinal {ordinal}: expected {name}, found {found or 'nothing'} ({name} {detail})")
    for ordinal, name in sorted(names.items()):
        if ordinal not in expected:
            report.fail(f"unexpected export {name} @{ordinal}")
    if all(names.get(o) == n for o, n in expected.items()):
        report.ok("every name at its ordinal, undecorated")


def check_imports(imports, report):
    bad = []
    for dll in imports:
        low = dll.lower()
        if RUNTIME_DLL.match(low):
            report.fail(f"imports the MinGW runtime DLL {dll}")
            bad.append(dll)
        elif low not in SYSTEM_DLLS and not low.startswith("api-ms-win-crt-"):
            report.fail(f"imports {dll}, which is not a system DLL")
            bad.append(dll)
    if not bad:
        report.ok(f"imports only system DLLs ({', '.join(imports) or 'none'})")


# The device library is linked at load time under the names a 32-bit C
# compiler gives its stdcall functions; one of them is cdecl and undecorated.
HRMCOM_IMPORTS = {
    "_fnHRMCom_SetComText@8", "_fnHRMCom_ResetIRCommunication@4", "_fnHRMCom_StartIRCommunication@8",
    "_fnHRMCom_IsIrDAConnected@0", "_fnHRMCom_ReadMonitorInfo@8", "fnHRMCom_GetPolarHRMonitorName",
    "_fnHRMCom_ReadExercisesData@8", "_fnHRMCom_GetExeFileInfo@8", "_fnHRMCom_AnalyzeFile@8",
    "_fnHRMCom_ReadExerciseFile@12", "_fnHRMCom_GetRecParam@4", "_fnHRMCom_SaveExerciseHRM@12",
    "_fnHRMCom_SendMonitorToWatchMode@4", "_fnHRMCom_EndIRCommunication@4",
}


def imported_names(text, dll):
    names, inside = [], False
    for line in text.splitlines():
        match = re.match(r"^\s*DLL Name:\s*(\S+)", line)
        if match:
            inside = match.group(1).lower() == dll.lower()
            continue
        if not inside:
            continue
        if not line.strip():
            if names:
                break
            continue
        match = re.match(r"^\s*[0-9a-fA-F]+\s+\d+\s+(\S+)\s*$", line)
        if match:
            names.append(match.group(1))
    return names


def check_hrmcom_imports(headers, report):
    names = set(imported_names(headers, "HRMCom.dll"))
    missing, unexpected = HRMCOM_IMPORTS - names, names - HRMCOM_IMPORTS
    for name in sorted(missing):
        report.fail(f"HRMCom.dll: {name} is not imported")
    for name in sorted(unexpected):
        report.fail(f"HRMCom.dll: unexpected import {name}")
    if not missing and not unexpected:
        report.ok(f"the {len(names)} HRMCom.dll imports carry their decorated names")


LABEL = re.compile(r"^([0-9a-f]+) <([^>]+)>:$")
INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\t(?:[0-9a-f]{2} )+\s*\t?(.*)$")
RET = re.compile(r"^(?:(?:rep|repz)\s+)?ret[lw]?\s*(\$0x[0-9a-f]+)?\s*(?:#.*)?$")


def parse_disassembly(text):
    """Symbol start addresses and the instructions (address, text) in address order."""
    labels, instructions = set(), []
    for line in text.splitlines():
        match = LABEL.match(line)
        if match:
            labels.add(int(match.group(1), 16))
            continue
        match = INSTRUCTION.match(line)
        if match and match.group(2):
            instructions.append((int(match.group(1), 16), match.group(2).strip()))
    return labels, instructions


def check_cleanup(image_base, rvas, names, disassembly, report):
    if image_base is None:
        report.fail("no ImageBase in the headers")
        return
    labels, instructions = parse_disassembly(disassembly)
    starts = {ordinal: image_base + rva for ordinal, rva in rvas.items()}
    boundaries = sorted(labels | set(starts.values()))
    if len(labels) <= len(starts):
        report.note("few symbols in the DLL: function ends are only the next export or section")
    bad = 0
    for ordinal, name, arguments in EXPORTS:
        start = starts.get(ordinal)
        if start is None or names.get(ordinal) != name:
            continue  # reported by the export check
        end = next((b for b in boundaries if b > start), None)
        body = [text for address, text in instructions if address >= start and (end is None or address < end)]
        expected = 4 * arguments
        rets = []
        for text in body:
            match = RET.match(text)
            if match:
                rets.append(int(match.group(1)[1:], 16) if match.group(1) else 0)
        if not body:
            report.fail(f"{name}: no code found at {start:#x}")
            bad += 1
        elif not rets:
            if body[-1].startswith("jmp"):
                report.note(f"{name}: ends in a jump ({body[-1]}), no ret to check")
            else:
                report.fail(f"{name}: no ret instruction in its body")
                bad += 1
        elif any(r != expected for r in rets):
            shown = ", ".join("ret" if r == 0 else f"ret ${r}" for r in rets)
            want = "ret" if expected == 0 else f"ret ${expected}"
            report.fail(f"{name}: {shown}, expected {want} ({arguments} arguments)")
            bad += 1
    if bad == 0:
        report.ok("every export removes 4 x its argument count from the stack")


def check_no_debug_information(sections, report):
    debug = sorted(set(re.findall(r"\s(\.debug_\w+|\.stab\w*)\s", sections)))
    if debug:
        report.fail(f"debug information in the shipped DLL: {', '.join(debug)}")
    else:
        report.ok("no debug information")


def project_version():
    """(major, minor, patch) of project(VERSION) in the top CMakeLists.txt."""
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as file:
        match = re.search(r"^project\(PolarImport VERSION (\d+)\.(\d+)\.(\d+)", file.read(), re.MULTILINE)
    if not match:
        sys.exit("check-dll: no project(PolarImport VERSION x.y.z) in CMakeLists.txt")
    return tuple(int(part) for part in match.groups())


FIXED_FILE_INFO = struct.pack("<I", 0xFEEF04BD)


def resource_versions(data):
    """File and product version of VS_FIXEDFILEINFO, each (a, b, c, d), or None."""
    at = data.find(FIXED_FILE_INFO)
    if at < 0:
        return None
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", data, at + 8)
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    return split(file_ms, file_ls), split(product_ms, product_ls)


def resource_text(data, key):
    """Value of a StringFileInfo entry (UTF-16 key, padding to 4 bytes, UTF-16 value), or None."""
    encoded = (key + "\0").encode("utf-16-le")
    at = data.find(encoded)
    if at < 0:
        return None
    at += len(encoded)
    at += -at % 4
    end = at
    while end + 1 < len(data) and data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le", errors="replace")


MOV_EAX = re.compile(r"^mov\s+\$0x([0-9a-f]+),%eax$")


def check_version(data, image_base, rvas, disassembly, report):
    before = report.failures
    major, minor, patch = project_version()
    wanted = (major, minor, patch, 0)
    text = f"{major}.{minor}.{patch}.0"
    versions = resource_versions(data)
    if versions is None:
        report.fail("no version resource")
    else:
        for what, found in zip(("FILEVERSION", "PRODUCTVERSION"), versions):
            if found != wanted:
                report.fail(f"{what} {'.'.join(map(str, found))}, CMakeLists.txt says {text}")
    for key in ("FileVersion", "ProductVersion"):
        found = resource_text(data, key)
        if found != text:
            report.fail(f"version text {key} {found!r}, CMakeLists.txt says {text!r}")
    number = major * 100 + minor * 10 + patch
    start = image_base + rvas[30] if image_base is not None and 30 in rvas else None
    _, instructions = parse_disassembly(disassembly)
    body = [text for address, text in instructions if start is not None and address >= start][:2]
    match = MOV_EAX.match(body[0]) if body else None
    if not match or not RET.match(body[1]):
        report.fail(f"GetVersion is not a constant return: {body}")
    elif int(match.group(1), 16) != number:
        report.fail(f"GetVersion returns {int(match.group(1), 16)}, CMakeLists.txt's {text} gives {number}")
    if report.failures == before:
        report.ok(f"version {text} in the resource, {number} from GetVersion")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("dll", nargs="?", help="the DLL (default: build/win32/PolarImport.dll)")
    args = parser.parse_args()
    path = args.dll or "build/win32/PolarImport.dll"
    tool = "i686-w64-mingw32-objdump"

    print(f"check-dll: {path}")
    report = Report()
    headers = objdump(tool, "-p", path)
    image_base, rvas, names, imports = parse_headers(headers)
    check_exports(rvas, names, report)
    check_imports(imports, report)
    check_hrmcom_imports(headers, report)
    disassembly = objdump(tool, "-d", path)
    check_cleanup(image_base, rvas, names, disassembly, report)
    check_no_debug_information(objdump(tool, "-h", path), report)
    with open(path, "rb") as file:
        check_version(file.read(), image_base, rvas, disassembly, report)
    if report.failures:
        print(f"check-dll: {report.failures} failure(s) in {path}")
        return 1
    print(f"check-dll: {path} is fine")
    return 0


if __name__ == "__main__":
    sys.exit(main())
