// Makes the engine's two scripts from what em++ links (a loader and its
// WebAssembly binary) and from api.js:
//   engine.js      a classic script (a page, a worker) that defines the global createClaveRfc
//   clave-rfc.mjs  the same engine as an ES module, for browsers and Node
// Both carry the binary inside, deflated in the zlib format and in base64, and
// hand it to the loader, which so never fetches it; the platform inflates it
// (DecompressionStream('deflate'), or Node's zlib). zopfli deflates it to 41%
// of its size, where zlib's best level gives 45%. The zlib format rather than
// raw deflate: 6 bytes more, a checksum of the binary, and read by every
// browser that has a DecompressionStream (raw deflate only since Chromium 103).
//
//     node assemble.mjs LOADER.js LOADER.wasm VERSION OUT_DIR
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync, copyFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const [loaderPath, wasmPath, version, outDir] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));

// em++ ends its loader with lines that also export it to CommonJS and AMD;
// here it stays private to the script that wraps it.
const loader = readFileSync(loaderPath, 'utf8');
const exportsAt = loader.lastIndexOf("if (typeof exports === 'object' && typeof module === 'object')");
if (exportsAt < 0) throw new Error(`${loaderPath}: the loader's export lines were not found`);

const compressed = execFileSync('zopfli', ['--zlib', '-c', wasmPath], { maxBuffer: 1 << 26 });
const engine = [
  loader.slice(0, exportsAt).trim(),
  `var claveRfcWasmDeflateBase64 = "${compressed.toString('base64')}";`,
  readFileSync(join(here, 'api.js'), 'utf8').trim(),
].join('\n');

const banner = `// Clave RFC ${version}: the RFC key of a person, computed in WebAssembly. Built by web/build.sh.\n`;

writeFileSync(
  join(outDir, 'engine.js'),
  `${banner}var createClaveRfc = (function () {\n${engine}\nreturn createClaveRfc;\n})();\n`,
);

// In an ES module Node gives no require() or __dirname, which em++'s loader
// uses under Node (for files it never opens here, as the binary is handed to
// it): the module makes its own before the loader runs.
writeFileSync(
  join(outDir, 'clave-rfc.mjs'),
  `${banner}let require;
const __dirname = '.';
${engine}
export default async function createClaveRfcModule(options) {
  if (runsOnNode && !require) require = (await import('node:module')).createRequire(import.meta.url);
  return createClaveRfc(options);
}
`,
);

copyFileSync(join(here, 'clave-rfc.d.ts'), join(outDir, 'clave-rfc.d.ts'));
