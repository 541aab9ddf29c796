#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

Layers, top to bottom: plugin/ (the exports); processing/, device/, config/
(side by side, none includes another); model/; framework/. tools/ and tests/
drive the exports as a host does and may include anything."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
ALLOWED = {
    "plugin": {"plugin", "processing", "device", "config", "model", "framework"},
    "processing": {"processing", "model", "framework"},
    "device": {"device", "model", "framework"},
    "config": {"config", "model", "framework"},
    "model": {"model", "framework"},
    "framework": {"framework"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/')


def main():
    faults = []
    for layer, allowed in ALLOWED.items():
        for path in sorted((ROOT / layer).rglob("*")):
            if path.suffix not in (".h", ".cpp", ".rc"):
                continue
            for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
                match = INCLUDE.match(line)
                if match and match.group(1) in ALLOWED and match.group(1) not in allowed:
                    faults.append(f"{path.relative_to(ROOT)}:{number}: {layer}/ includes {match.group(1)}/")
    for fault in faults:
        print(fault)
    print(f"check-layers: {len(faults)} include(s) against the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
