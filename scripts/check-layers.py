#!/usr/bin/env python3
"""Fails when a source file includes a header its layer may not include.

The plug-in, top to bottom: plugin/ (the exports); processing/, device/,
config/ (side by side, none includes another); model/; framework/.

The converter (tools/host), top to bottom: program/ (options and the run);
binding/ (the plug-in loaded or linked, the only part that includes plugin/);
driver/ (the host's calls, streaming the records); recording/ (what the
converter reads from raw files itself); report/ and convert/ side by side,
never including each other; formats/ (the exchange formats: FIT, TCX, GPX)
and views/ (what people look at: the chart and the overview page) side by
side, which know the exercise only as a track, views/ writing its XML with
formats/' XML output; track/; time/. Nothing in it includes processing/;
of model/ only the host records, the settings reader, the facts of the
.hrm format and the version.

tests/ and the other tools/ drive the exports as a host does and may include
anything."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
PLUGIN = {
    "plugin": {"plugin", "processing", "device", "config", "model", "framework"},
    "processing": {"processing", "model", "framework"},
    "device": {"device", "model", "framework"},
    "config": {"config", "model", "framework"},
    "model": {"model", "framework"},
    "framework": {"framework"},
}
HOST = "tools/host"
HOST_LAYERS = ["program", "binding", "driver", "recording", "report", "convert", "formats", "views", "track", "time"]
SHARED_MODEL = {"model/HostRecords.h", "model/Settings.h", "model/HrmFormat.h", "model/PluginVersion.h"}
CONVERTER = {
    "program": set(HOST_LAYERS) | {"framework"} | SHARED_MODEL,
    "binding": {"binding", "plugin", "framework"} | SHARED_MODEL,
    "driver": {"driver", "binding", "recording", "time", "framework"} | SHARED_MODEL,
    "recording": {"recording", "track", "time", "framework"} | SHARED_MODEL,
    "report": {"report", "driver", "recording", "track", "time"} | SHARED_MODEL,
    "convert": {"convert", "driver", "recording", "formats", "views", "track", "time", "framework"} | SHARED_MODEL,
    "formats": {"formats", "track", "time"},
    "views": {"views", "track", "time", "tools/host/formats/XmlOutput.h"},
    "track": {"track", "time"},
    "time": {"time", "framework"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCES = (".h", ".cpp", ".rc")


def allowed_include(header, allowed):
    """True when `header` (a path from the root) is one the layer may include."""
    if header in allowed:
        return True
    parts = header.split("/")
    if parts[:2] == HOST.split("/") and len(parts) > 3:
        return parts[2] in allowed
    return parts[0] in allowed


def checked(header):
    """True for a header of the project's own layers (not a library's)."""
    parts = header.split("/")
    return parts[0] in PLUGIN or (parts[:2] == HOST.split("/") and len(parts) > 3 and parts[2] in CONVERTER)


def faults_in(path, layer, allowed):
    faults = []
    for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
        match = INCLUDE.match(line)
        if match and checked(match.group(1)) and not allowed_include(match.group(1), allowed):
            faults.append(f"{path.relative_to(ROOT)}:{number}: {layer} includes {match.group(1)}")
    return faults


def main():
    faults = []
    for layer, allowed in PLUGIN.items():
        for path in sorted((ROOT / layer).rglob("*")):
            if path.suffix in SOURCES:
                faults += faults_in(path, layer + "/", allowed)
    host = ROOT / HOST
    for path in sorted(host.rglob("*")):
        if path.suffix not in SOURCES:
            continue
        layer = path.relative_to(host).parts[0]
        if layer not in CONVERTER:
            faults.append(f"{path.relative_to(ROOT)}: outside the converter's layers ({', '.join(HOST_LAYERS)})")
            continue
        faults += faults_in(path, f"{HOST}/{layer}/", CONVERTER[layer])
    for fault in faults:
        print(fault)
    print(f"check-layers: {len(faults)} include(s) against the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
