// The engine's JavaScript face: createClaveRfc(options) starts the
// WebAssembly engine and resolves to the object that clave-rfc.d.ts
// describes. Only arguments are put into shape here; every answer is the
// C++ engine's (web/engine/).
//
//     const rfc = await createClaveRfc();
//     rfc.key({ paterno: 'perez', materno: 'lopez', nombre: 'juan', fecha: '1980-01-15' }).masked
//         // 'PELJ-800115-2A0'

const runsOnNode = typeof process === 'object' && typeof process.versions === 'object' &&
  typeof process.versions.node === 'string';

// The engine's binary, written into this file by the build compressed (see
// lzma.js) and in base64, so that the script needs no file beside it and
// makes no request (a page's policy may forbid every connection).
function embeddedWasm() {
  const text = atob(claveRfcWasmLzmaBase64);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  return lzmaDecompress(bytes);
}

function textOf(value) {
  return value === undefined || value === null ? '' : String(value);
}

function personOf(person) {
  const given = person || {};
  return {
    paterno: textOf(given.paterno),
    materno: textOf(given.materno),
    nombre: textOf(given.nombre),
    fecha: textOf(given.fecha),
    foldAccents: Boolean(given.foldAccents),
  };
}

// An option left out (undefined or null) is not passed to the batch at all.
function optionOf(value) {
  return value === undefined || value === null ? null : String(value);
}

function bytesOf(chunk) {
  if (chunk === undefined || chunk === null) return new Uint8Array(0);
  if (chunk instanceof Uint8Array) return chunk;
  if (ArrayBuffer.isView(chunk)) return new Uint8Array(chunk.buffer, chunk.byteOffset, chunk.byteLength);
  return new Uint8Array(chunk);
}

// The callbacks as the engine calls them: a callback that throws makes a
// failed read or write, which the batch reports as `rfc batch` reports its
// own (exit status 4), and the first error thrown is handed back.
function batchIo(io, failed) {
  const fail = (error) => {
    if (failed.error === undefined) failed.error = error;
  };
  return {
    read(maxBytes) {
      try {
        return bytesOf(io.read(maxBytes));
      } catch (error) {
        fail(error);
        return null;
      }
    },
    write(view) {
      try {
        io.write(view);
        return true;
      } catch (error) {
        fail(error);
        return false;
      }
    },
    message(line) {
      try {
        if (io.message) io.message(line);
      } catch (error) {
        fail(error);
      }
    },
  };
}

function claveRfcOf(engine) {
  return Object.freeze({
    upperCase: (text) => engine.upperCase(textOf(text)),
    key: (person) => engine.computeKey(personOf(person)),
    check: (clave, person) =>
      engine.checkKey(textOf(clave), person === undefined || person === null ? null : personOf(person)),
    batch(io, options) {
      const given = options || {};
      const failed = {};
      const exitStatus = engine.runBatch(batchIo(io, failed), {
        foldAccents: Boolean(given.foldAccents),
        delimiter: optionOf(given.delimiter),
        encoding: optionOf(given.encoding),
        columns: optionOf(given.columns),
        name: textOf(given.name),
      });
      return failed.error === undefined ? { exitStatus } : { exitStatus, error: failed.error };
    },
    texts: deepFreeze(engine.texts()),
    version: engine.version(),
  });
}

function deepFreeze(object) {
  for (const value of Object.values(object)) {
    if (typeof value === 'object' && value !== null) deepFreeze(value);
  }
  return Object.freeze(object);
}

async function createClaveRfc(options) {
  const given = options || {};
  const wasmBinary = given.wasmBinary ? bytesOf(given.wasmBinary) : embeddedWasm();
  const engine = await createClaveRfcEngine({ wasmBinary });
  if (given.pageControls || given.foldAccentsCheckBox) engine.namePageControls();
  return claveRfcOf(engine);
}
