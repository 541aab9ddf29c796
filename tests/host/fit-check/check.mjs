// Decodes a FIT file with Garmin's FIT SDK and prints, as one JSON document,
// whether its integrity check passed, the decoder's errors and the messages
// the file holds (field values scaled to their units, times in ISO 8601).
//
//   node check.mjs FILE.fit
import { readFileSync } from "node:fs";
import { Decoder, Stream } from "@garmin/fitsdk";

const path = process.argv[2];
if (!path) {
    console.error("usage: node check.mjs FILE.fit");
    process.exit(2);
}
const stream = Stream.fromBuffer(readFileSync(path));
const decoder = new Decoder(stream);
const report = {
    isFIT: decoder.isFIT(),
    integrity: decoder.checkIntegrity(),
};
const { messages, errors } = decoder.read();
report.errors = errors.map((error) => String(error));
report.messages = messages;
process.stdout.write(JSON.stringify(report));
// Not process.exit(): it would cut the output short on a pipe.
process.exitCode = report.integrity && errors.length === 0 ? 0 : 1;
