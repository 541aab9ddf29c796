#!/usr/bin/env bash
# Assembles the seed corpora of the fuzz targets into
# DIR/{hrm,gpx,hrz,ini,diary,track,recording,person,history}: the small seeds kept here, the
# regression files, the test data and the real exercise files and day
# diaries beside the repository; the archives and the tracks' option bytes
# are added at run time. Nothing is copied into the repository.
#   tests/fuzz/make-corpus.sh DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
real=${POLAR_REAL_FILES:-$root/../shared/real-files}
out=$1
mkdir -p "$out"/{hrm,gpx,hrz,ini,diary,track,recording,person,history}

# Copies every file with extension $2 found under the directories that follow into $out/$1.
collect() {
  local kind=$1 ext=$2 dir
  shift 2
  for dir in "$@"; do
    [ -d "$dir" ] || continue
    find "$dir" -type f -iname "*.$ext" -size -1024k -print0 |
      while IFS= read -r -d '' f; do
        cp -f "$f" "$out/$kind/$(basename "$(dirname "$f")")__$(basename "$f")"
      done
  done
}
collect hrm hrm "$here/seeds/hrm" "$root/tests/regressions/hrm" "$root/tests/data" "$real"
collect gpx gpx "$here/seeds/gpx" "$root/tests/regressions/gpx" "$root/tests/data" "$real"
collect ini ini "$here/seeds/ini" "$root/tests/regressions/ini" "$root/tests/data"
collect hrz hrz "$root/tests/regressions/hrz" "$root/tests/data"
collect diary pdd "$here/seeds/diary" "$root/tests/regressions/diary" "$real/diary"
collect track gpx "$here/seeds/track" "$here/seeds/gpx" "$real"
collect recording hrm "$here/seeds/hrm" "$root/tests/regressions/hrm" "$root/tests/regressions/recording" "$real"
collect person ppd "$here/seeds/person"
collect history tsv "$here/seeds/history"

# Tracks: each file behind the bytes that choose the exercise and options
# (TrackDriver.cpp): options, exercise offset, forced offset, duration, start.
python3 - "$out/track" <<'PY'
import os, struct, sys
out = sys.argv[1]
choices = [(0, 0, 0, 1200, 0), (0, 4, 0, 2260, -5), (1 | 4, 0, 0, 600, 30), (2, 0, 24, 1200, 0),
           (3, 0, 0, 300, 0), (0x50, -20, 0, 3600, -1800), (0, 0, 0, 0, 0)]
for name in sorted(os.listdir(out)):
    path = os.path.join(out, name)
    body = open(path, "rb").read()
    os.remove(path)
    for i, (options, offset, forced, duration, start) in enumerate(choices):
        head = struct.pack("<BbbH", options, offset, forced, duration) + struct.pack("<i", start)[:3]
        open("%s-%d" % (path, i), "wb").write(head + body)
PY

# Archives: every exercise alone, all of them together, a pair with its
# track, stored and deflated entries, and names an archive must not use.
python3 - "$out/hrm" "$out/gpx" "$out/hrz" <<'PY'
import os, sys, zipfile
hrm_dir, gpx_dir, out = sys.argv[1:4]
hrms = sorted(os.path.join(hrm_dir, f) for f in os.listdir(hrm_dir))
gpxs = sorted(os.path.join(gpx_dir, f) for f in os.listdir(gpx_dir))
small = [h for h in hrms if os.path.getsize(h) < 8192]

def archive(name, entries, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(os.path.join(out, name), "w", method, compresslevel=9 if method else None) as z:
        for entry, data in entries:
            z.writestr(entry, data)

read = lambda p: open(p, "rb").read()
for i, h in enumerate(small):
    archive("single-%d.hrz" % i, [("%d.hrm" % (i + 1), read(h))])
archive("all.hrz", [("%d.hrm" % (i + 1), read(h)) for i, h in enumerate(small)])
archive("stored.hrz", [("12.hrm", read(small[0])), ("12_1.hrm", read(small[-1]))], zipfile.ZIP_STORED)
if small and gpxs:
    archive("pair.hrz", [("ride.hrm", read(small[0])), ("ride.gpx", read(min(gpxs, key=os.path.getsize)))])
archive("names.hrz", [("../up.hrm", b"x"), ("/abs.hrm", b"x"), ("C:drive.hrm", b"x"), ("a\\b.hrm", b"x"),
                      ("dir/", b""), ("ride.gpx/", b""), ("CON.hrm", b"x"), ("ok.hrm", read(small[0]))])
archive("empty.hrz", [])
PY
for kind in hrm gpx hrz ini diary track recording person history; do
  echo "corpus $kind: $(find "$out/$kind" -type f | wc -l) files"
done

