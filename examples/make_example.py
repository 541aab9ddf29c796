#!/usr/bin/env python3
"""Writes the bundled example ride: ride.hrm and the GPX track ride.gpx beside it.

A one-hour bike ride recorded every 5 seconds by a cycling computer (monitor
code 12) with speed, cadence, altitude, power and power balance, three laps
and a note; the GPX track has one point per sample time. The output is fixed:
running the script again writes the same bytes.

    python3 examples/make_example.py [OUTPUT_DIR]   (default: this folder)
"""

import math
import os
import sys
from datetime import datetime, timedelta

START = datetime(2024, 5, 12, 9, 30, 0)
INTERVAL = 5  # seconds
SAMPLES = 720  # one hour
LAP_ENDS = [1200, 2400, 3600]  # seconds since the start
LAP_TEMPERATURES = [185, 205, 215]  # tenths of a degree
START_LAT, START_LON = 47.61235, 8.73410
NOTE = "Sunday loop around the lake, light westerly wind; coffee at the harbour caf\u00e9 afterwards."

RIDER_KG = 78.0


def speed_kmh(t):
    """Speed over the ride: roll-out, a fast flat, a climb, a descent, the way home."""
    if t < 180:
        return 6.0 + 22.0 * t / 180
    if t < 1200:
        return 29.0 + 2.5 * math.sin(t / 97.0)
    if t < 2100:
        return 17.5 + 1.5 * math.sin(t / 61.0)
    if t < 2700:
        return 38.0 + 3.0 * math.sin(t / 43.0)
    if t < 3420:
        return 27.5 + 2.0 * math.sin(t / 83.0)
    return max(8.0, 27.5 - 19.5 * (t - 3420) / 180)


def altitude_m(t):
    """Lake level, 130 m up through the second lap, back down, then flat."""
    base = 398.0
    if t < 1200:
        return base + 4 * math.sin(t / 150.0)
    if t < 2100:
        return base + 130.0 * (t - 1200) / 900
    if t < 2700:
        return base + 130.0 * (1 - (t - 2100) / 600)
    return base + 3 * math.sin(t / 120.0)


def heart_rate(t, grade):
    warm = min(1.0, t / 420.0)
    effort = 118 + 27 * warm + 420 * max(grade, 0.0) + 4 * math.sin(t / 37.0)
    if t > 3420:
        effort -= 25 * (t - 3420) / 180
    return int(round(effort))


def power_w(v_ms, grade):
    """Air drag, rolling resistance and climbing for rider and bike."""
    mass = RIDER_KG + 9.0
    drag = 0.5 * 1.2 * 0.36 * v_ms**3
    rolling = 0.005 * mass * 9.81 * v_ms
    climbing = mass * 9.81 * v_ms * grade
    return max(0, int(round(drag + rolling + climbing)))


def ride():
    """One dict per sample; positions follow the heading of a loop."""
    samples = []
    lat, lon = START_LAT, START_LON
    distance_km = 0.0
    for i in range(SAMPLES):
        t = i * INTERVAL
        v = speed_kmh(t)
        alt = altitude_m(t)
        grade = (altitude_m(t + INTERVAL) - alt) / max(v / 3.6 * INTERVAL, 1.0)
        cadence = int(round(84 + 6 * math.sin(t / 53.0) - 10 * max(grade, 0.0) * 10))
        lrb = 50 + int(round(1.5 * math.sin(t / 71.0)))  # left share in percent
        pedalling_index = 24 + int(round(4 * math.sin(t / 29.0)))
        samples.append(
            dict(
                t=t,
                hr=heart_rate(t, grade),
                speed=v,
                cadence=cadence,
                altitude=int(round(alt)),
                power=power_w(v / 3.6, grade),
                balance=pedalling_index * 256 + lrb,  # the file packs both into one column
                lat=lat,
                lon=lon,
                ele=alt + 0.8 * math.sin(t / 11.0),
            )
        )
        # Move along a heading that turns once round the lake in an hour.
        step_km = v * INTERVAL / 3600
        distance_km += step_km
        heading = 2 * math.pi * t / 3600
        lat += step_km * math.cos(heading) / 111.2
        lon += step_km * math.sin(heading) / (111.2 * math.cos(math.radians(lat)))
    return samples


def hms(seconds, tenths=True):
    h, rest = divmod(int(seconds), 3600)
    m, s = divmod(rest, 60)
    text = f"{h}:{m:02d}:{s:02d}"
    return text + f".{int(round((seconds - int(seconds)) * 10))}" if tenths else text


def lap_rows(samples):
    rows = []
    previous_end = 0
    previous_distance = 0.0
    for lap, end in enumerate(LAP_ENDS):
        inside = [s for s in samples if previous_end <= s["t"] < end]
        at_end = inside[-1]
        hrs = [s["hr"] for s in inside]
        ascent = sum(max(0, b["altitude"] - a["altitude"]) for a, b in zip(inside, inside[1:]))
        distance = previous_distance + sum(s["speed"] * INTERVAL / 3600 for s in inside)
        rows += [
            f"{hms(end)}\t{at_end['hr']}\t{min(hrs)}\t{round(sum(hrs) / len(hrs))}\t{max(hrs)}",
            f"0\t0\t0\t{round(at_end['speed'] * 10)}\t{at_end['cadence']}\t{at_end['altitude']}",
            f"0\t0\t0\t{ascent}\t{round((distance - previous_distance) * 10)}",
            f"0\t{round((distance - previous_distance) * 1000)}\t"
            f"{round(sum(s['power'] for s in inside) / len(inside))}\t{LAP_TEMPERATURES[lap]}\t0\t0",
            "0\t0\t0\t0\t0\t0",
        ]
        previous_end, previous_distance = end, distance
    return rows


def hrm_text(samples):
    length = SAMPLES * INTERVAL
    distance_km = sum(s["speed"] * INTERVAL / 3600 for s in samples[1:])
    ascent = sum(max(0, b["altitude"] - a["altitude"]) for a, b in zip(samples, samples[1:]))
    max_hr = max(s["hr"] for s in samples)
    avg_hr = round(sum(s["hr"] for s in samples) / SAMPLES)
    speeds = [s["speed"] for s in samples]
    lines = [
        "[Params]",
        "Version=106",
        "Monitor=12",
        "SMode=111111100",
        f"Date={START:%Y%m%d}",
        f"StartTime={START:%H:%M:%S}.0",
        f"Length={hms(length)}",
        f"Interval={INTERVAL}",
        "Upper1=150", "Lower1=120", "Upper2=0", "Lower2=0", "Upper3=0", "Lower3=0",
        "Timer1=0:00:00.0", "Timer2=0:00:00.0", "Timer3=0:00:00.0",
        "ActiveLimit=0",
        "MaxHR=188",
        "RestHR=52",
        "StartDelay=0",
        "VO2max=54",
        f"Weight={int(RIDER_KG)}",
        "",
        "[Note]",
        NOTE,
        "",
        "[IntTimes]",
        *lap_rows(samples),
        "",
        "[IntNotes]",
        "",
        "[ExtraData]",
        "",
        "[Summary-123]",
        f"{length}\t0\t{length}\t0\t0\t0",
        f"{max_hr}\t150\t120\t52",
        f"{length}\t0\t{length}\t0\t0\t0",
        f"{max_hr}\t0\t0\t52",
        "0\t0\t0\t0\t0\t0",
        f"{max_hr}\t0\t0\t52",
        f"0\t{SAMPLES}",
        "",
        "[Summary-TH]",
        f"{length}\t0\t{length}\t0\t0\t0",
        f"{max_hr}\t{avg_hr}\t0\t52",
        f"0\t{SAMPLES}",
        "",
        "[HRZones]",
        "188", "169", "150", "131", "113", "94", "0", "0", "0", "0", "0",
        "",
        "[SwapTimes]",
        "",
        "[Trip]",
        f"{round(distance_km * 10)}",  # 1/10 km
        f"{ascent}",  # m
        f"{length}",  # s
        f"{round(sum(s['altitude'] for s in samples) / SAMPLES)}",  # average altitude, m
        f"{max(s['altitude'] for s in samples)}",  # maximum altitude, m
        f"{round(sum(speeds) / SAMPLES * 128)}",  # average speed, 1/128 km/h
        f"{round(max(speeds) * 128)}",  # maximum speed, 1/128 km/h
        f"{1842 + round(distance_km)}",  # odometer, km
        "",
        "[HRData]",
    ]
    for s in samples:
        lines.append(
            f"{s['hr']}\t{round(s['speed'] * 10)}\t{s['cadence']}\t{s['altitude']}\t{s['power']}\t{s['balance']}"
        )
    # Polar software writes CRLF and the ANSI code page.
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def gpx_text(samples):
    out = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<gpx version="1.1" creator="polarhost example" xmlns="http://www.topografix.com/GPX/1/1"'
        ' xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"'
        ' xsi:schemaLocation="http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd">',
        "  <metadata>",
        f"    <time>{START:%Y-%m-%dT%H:%M:%S}Z</time>",
        "  </metadata>",
        "  <trk>",
        "    <name>Sunday lake loop</name>",
        "    <trkseg>",
    ]
    for s in samples:
        when = START + timedelta(seconds=s["t"])
        out += [
            f'      <trkpt lat="{s["lat"]:.7f}" lon="{s["lon"]:.7f}">',
            f"        <ele>{s['ele']:.1f}</ele>",
            f"        <time>{when:%Y-%m-%dT%H:%M:%S}Z</time>",
            "      </trkpt>",
        ]
    out += ["    </trkseg>", "  </trk>", "</gpx>", ""]
    return "\n".join(out).encode("utf-8")


def main():
    directory = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    samples = ride()
    with open(os.path.join(directory, "ride.hrm"), "wb") as f:
        f.write(hrm_text(samples))
    with open(os.path.join(directory, "ride.gpx"), "wb") as f:
        f.write(gpx_text(samples))


if __name__ == "__main__":
    main()
