// Decodes a FIT activity file with Garmin's FIT SDK and checks that its laps
// and session tell what its records hold: laps that cover the session and add
// up to it, averages and maxima of the records inside each lap, ascent from
// their altitudes, no temperature where nothing measured one. Prints one JSON
// document {laps, violations}; exits 1 when there is a violation.
//
//   node consistency.mjs FILE.fit
import { readFileSync } from "node:fs";
import { Decoder, Stream } from "@garmin/fitsdk";

const path = process.argv[2];
if (!path) {
    console.error("usage: node consistency.mjs FILE.fit");
    process.exit(2);
}
const decoder = new Decoder(Stream.fromBuffer(readFileSync(path)));
const violations = [];
const fail = (text) => violations.push(text);
if (!decoder.checkIntegrity()) fail("the integrity check fails");
const { messages, errors } = decoder.read();
for (const error of errors) fail(`decoder: ${error}`);

const records = messages.recordMesgs ?? [];
const laps = messages.lapMesgs ?? [];
const session = (messages.sessionMesgs ?? [])[0];
const seconds = (date) => new Date(date).getTime() / 1000;
const near = (a, b, tolerance) => Math.abs(a - b) <= tolerance;
const values = (list, name) => list.map((r) => r[name]).filter((v) => typeof v === "number");
const mean = (list) => list.reduce((a, b) => a + b, 0) / list.length;
// Ascent with a hysteresis: the altitude counts once it moved this far from the altitude last counted.
const gain = (altitudes, hysteresis) => {
    let turn, up = 0;
    for (const a of altitudes) {
        if (turn === undefined) turn = a;
        else if (a - turn >= hysteresis) (up += a - turn), (turn = a);
        else if (turn - a >= hysteresis) turn = a;
    }
    return up;
};

for (let k = 1; k < records.length; ++k)
    if (seconds(records[k].timestamp) <= seconds(records[k - 1].timestamp))
        fail(`record ${k} is not later than the one before`);
if (!session) fail("no session");

// A lap's records: from its start to the next lap's start.
const lapRecords = laps.map((lap, k) => {
    const from = seconds(lap.startTime);
    const to = k + 1 < laps.length ? seconds(laps[k + 1].startTime) : Infinity;
    return records.filter((r) => seconds(r.timestamp) >= from && seconds(r.timestamp) < to);
});
const distances = values(records, "distance");
const lastDistance = distances.length ? distances[distances.length - 1] : undefined;

if (session) {
    const sum = (name) => laps.reduce((a, lap) => a + (lap[name] ?? 0), 0);
    if (!near(sum("totalElapsedTime"), session.totalElapsedTime, 0.01 * laps.length + 0.01))
        fail(`lap times add up to ${sum("totalElapsedTime")} s, the session's is ${session.totalElapsedTime} s`);
    if (lastDistance !== undefined) {
        if (!near(session.totalDistance ?? NaN, lastDistance, 0.02))
            fail(`session distance ${session.totalDistance} m, the last record's ${lastDistance} m`);
        if (!near(sum("totalDistance"), session.totalDistance ?? NaN, 0.01 * laps.length + 0.02))
            fail(`lap distances add up to ${sum("totalDistance")} m, the session's is ${session.totalDistance} m`);
    }
    const rates = values(records, "heartRate");
    if (rates.length) {
        if (session.maxHeartRate !== Math.max(...rates)) fail(`session max heart rate ${session.maxHeartRate}`);
        if (!near(session.avgHeartRate ?? NaN, mean(rates), 0.51)) fail(`session avg heart rate ${session.avgHeartRate}`);
    }
    const altitudes = values(records, "altitude");
    if (altitudes.length) {
        const ascent = session.totalAscent;
        // Between what a coarse and a fine hysteresis count, as any sound one would.
        if (typeof ascent !== "number" || ascent > gain(altitudes, 1) + 1 || ascent < gain(altitudes, 10) - 1)
            fail(`session ascent ${ascent} m, the records climb ${gain(altitudes, 10).toFixed(0)} to ${gain(altitudes, 1).toFixed(0)} m`);
        if (!near(sum("totalAscent"), ascent ?? NaN, laps.length)) fail(`lap ascents add up to ${sum("totalAscent")} m`);
    }
}

const temperatures = values(records, "temperature");
if (temperatures.length && temperatures.every((t) => t === 0)) fail("0 °C on every record: no sensor measured it");

laps.forEach((lap, k) => {
    const inLap = lapRecords[k];
    const where = `lap ${k + 1}`;
    const time = lap.totalElapsedTime;
    if (typeof lap.totalDistance === "number" && time > 0) {
        if (!near(lap.avgSpeed ?? NaN, lap.totalDistance / time, 0.002))
            fail(`${where}: avg speed ${lap.avgSpeed} m/s, its distance over its time ${(lap.totalDistance / time).toFixed(3)}`);
        // Its distance lies between what its own records cover and what they cover with the records around it.
        const before = records.filter((r) => seconds(r.timestamp) < seconds(lap.startTime) && typeof r.distance === "number");
        const own = values(inLap, "distance");
        const after = records.filter((r) => seconds(r.timestamp) >= seconds(lap.startTime) + time && typeof r.distance === "number");
        if (own.length) {
            const low = own[own.length - 1] - own[0];
            const high = (after.length ? after[0].distance : own[own.length - 1]) - (before.length ? before[before.length - 1].distance : 0);
            if (lap.totalDistance < low - 0.02 || lap.totalDistance > high + 0.02)
                fail(`${where}: distance ${lap.totalDistance} m, its records cover ${low.toFixed(2)} to ${high.toFixed(2)} m`);
        }
        // Where every record of the lap has a speed.
        const speeds = values(inLap, "speed");
        if (speeds.length >= 10 && speeds.length === inLap.length && !near(lap.avgSpeed, mean(speeds), 0.1 * mean(speeds) + 0.3))
            fail(`${where}: avg speed ${lap.avgSpeed} m/s, its records' mean ${mean(speeds).toFixed(3)}`);
    }
    const check = (name, average, maximum, tolerance) => {
        const list = values(inLap, name);
        if (!list.length) {
            if (typeof lap[average] === "number") fail(`${where}: ${average} ${lap[average]} where no record has a ${name}`);
            return;
        }
        if (!near(lap[average] ?? NaN, mean(list), tolerance))
            fail(`${where}: ${average} ${lap[average]}, its records' mean ${mean(list).toFixed(2)}`);
        if (maximum && !near(lap[maximum] ?? NaN, Math.max(...list), 0.002))
            fail(`${where}: ${maximum} ${lap[maximum]}, its records' maximum ${Math.max(...list)}`);
    };
    check("heartRate", "avgHeartRate", "maxHeartRate", 0.51);
    check("cadence", "avgCadence", "maxCadence", 0.51);
    check("power", "avgPower", "maxPower", 0.51);
    const speeds = values(inLap, "speed");
    if (speeds.length && !(lap.maxSpeed >= Math.max(...speeds) - 0.002))
        fail(`${where}: max speed ${lap.maxSpeed} m/s below a record's ${Math.max(...speeds)}`);
});

process.stdout.write(JSON.stringify({ laps: laps.length, records: records.length, violations }));
process.exitCode = violations.length ? 1 : 0;
