// The WebAssembly engine's speed in Node: keys one call at a time, and a
// whole file through rfc.batch read in 1 MiB slices, written to a file.
//
//     node bench/web_engine.mjs CLAVE_RFC_MJS INPUT OUTPUT
import { closeSync, openSync, readSync, writeSync } from 'node:fs';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const [modulePath, inputPath, outputPath] = process.argv.slice(2);
const { default: createClaveRfc } = await import(pathToFileURL(resolve(modulePath)).href);
const rfc = await createClaveRfc();

const keys = 100000;
const people = [
  { paterno: 'HERNANDEZ', materno: 'GARCIA', nombre: 'MARIA JOSE', fecha: '1975-12-31' },
  { paterno: 'PEREZ', materno: 'LOPEZ', nombre: 'JUAN', fecha: '1980-01-15' },
];
// Processor time as well as wall time: on a shared machine the wall clock
// also counts the time other programs hold the core.
const cpuSeconds = (since) => {
  const { user, system } = process.cpuUsage(since);
  return (user + system) / 1e6;
};
let cpu = process.cpuUsage();
let started = process.hrtime.bigint();
for (let i = 0; i < keys; ++i) rfc.key(people[i & 1]);
let seconds = Number(process.hrtime.bigint() - started) / 1e9;
console.log(`rfc.key: ${Math.round(keys / seconds)} keys/s (${Math.round(keys / cpuSeconds(cpu))} per processor second)`);

const input = openSync(inputPath, 'r');
const output = openSync(outputPath, 'w');
const slice = Buffer.alloc(1 << 20);
cpu = process.cpuUsage();
started = process.hrtime.bigint();
const { exitStatus } = rfc.batch({
  read(maxBytes) {
    const count = readSync(input, slice, 0, Math.min(maxBytes, slice.length), null);
    return slice.subarray(0, count);
  },
  write: (view) => writeSync(output, view),
  message: (line) => console.error(line),
});
seconds = Number(process.hrtime.bigint() - started) / 1e9;
closeSync(input);
closeSync(output);
console.log(`rfc.batch: ${seconds.toFixed(2)} s, ${cpuSeconds(cpu).toFixed(2)} s of processor, exit status ${exitStatus}`);
