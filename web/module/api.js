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

// The engine's binary, written into this file by the build compressed in the
// zlib format (see assemble.mjs) and in base64, so that the script needs no
// file beside it and makes no request (a page's policy may forbid every
// connection). The platform inflates it: a DecompressionStream reads a Blob of
// bytes already here, which is no fetch, so no policy stands in its way.
async function embeddedWasm() {
  const text = atob(claveRfcWasmDeflateBase64);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  // Node's own zlib: its web streams take tens of milliseconds to start.
  if (runsOnNode && typeof require === 'function') return require('node:zlib').inflateSync(bytes);
  const inflated = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate'));
  return new Uint8Array(await new Response(inflated).arrayBuffer());
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

// How much the batch asks of read() at a time: a call costs little beside a
// megabyte of rows.
const READ_BYTES = 1 << 20;
const utf8 = new TextEncoder();
const fromUtf8 = new TextDecoder();

// The engine's calls (web/engine/bindings.cpp): the arguments, a list of
// strings or bytes, go into its memory as 32-bit lengths and bytes, and the
// answers come back the same way. `runBatchWaiting`, where WebAssembly can
// wait for JavaScript (JSPI), is the batch's export made to return a promise.
function engineCalls(engine, runBatchWaiting) {
  // While a batch waits for its input, the engine is in the middle of a call
  // and takes no other until the batch ends.
  let waiting = false;
  const put = (list) => {
    if (waiting) throw new Error('clave-rfc: this engine is running batchAsync; make another for other calls');
    const parts = list.map((item) => (typeof item === 'string' ? utf8.encode(item) : item));
    let at = engine._engine_arguments(parts.reduce((size, part) => size + 4 + part.length, 0));
    for (const part of parts) {
      new DataView(engine.HEAPU8.buffer).setUint32(at, part.length, true);
      engine.HEAPU8.set(part, at + 4);
      at += 4 + part.length;
    }
  };
  const call = (name, list, ...numbers) => {
    put(list);
    return engine[`_engine_${name}`](...numbers);
  };
  // A list in the engine's memory at `start`, `size` bytes long.
  const listAt = (start, size) => {
    const list = [];
    const bytes = engine.HEAPU8;
    const view = new DataView(bytes.buffer);
    for (let at = start; at < start + size; ) {
      const length = view.getUint32(at, true);
      list.push(bytes.subarray(at + 4, at + 4 + length));
      at += 4 + length;
    }
    return list;
  };
  const answers = () => listAt(engine._engine_answers(), engine._engine_answers_size());
  const texts = () => answers().map((bytes) => fromUtf8.decode(bytes));
  const text = (bytes, size) => fromUtf8.decode(engine.HEAPU8.subarray(bytes, bytes + size));
  const personList = (person) =>
    [person.paterno, person.materno, person.nombre, person.fecha, person.foldAccents ? '1' : ''];
  const given = (value) => (value === null ? ['', ''] : ['1', value]);
  const batchList = (options) => [options.foldAccents ? '1' : '', ...given(options.delimiter),
    ...given(options.encoding), ...given(options.columns), options.name, ...given(options.sheet),
    options.fillEmpty ? '1' : ''];
  // What the batch's imports (web/engine/library.js) call: `io` is batchIo's,
  // and when `waits` its read gives a promise, and so does this read.
  const useCallbacks = (io, waits) => {
    let pending = new Uint8Array(0);
    let ended = false;
    const take = (buffer, capacity) => {
      const count = Math.min(capacity, pending.length);
      engine.HEAPU8.set(pending.subarray(0, count), buffer);
      pending = pending.subarray(count);
      return count;
    };
    const refilled = (bytes, buffer, capacity) => {
      if (bytes === null) return -1;
      pending = bytes;
      ended = bytes.length === 0;
      return take(buffer, capacity);
    };
    engine.claveRfcBatch = {
      read(buffer, capacity) {
        if (pending.length > 0 || ended) return waits ? Promise.resolve(take(buffer, capacity)) : take(buffer, capacity);
        if (waits) return io.readLater(READ_BYTES).then((bytes) => refilled(bytes, buffer, capacity));
        return refilled(io.read(READ_BYTES), buffer, capacity);
      },
      write: (bytes, size) => (io.write(engine.HEAPU8.subarray(bytes, bytes + size)) ? 1 : 0),
      message: (line, size) => io.message(text(line, size)),
      problem: (line, reason, reasonSize, why, whySize) =>
        io.problem(line, JSON.parse(text(reason, reasonSize)), text(why, whySize)),
      sheets: (list, size, chosen) => io.sheets(listAt(list, size).map((bytes) => fromUtf8.decode(bytes)), chosen),
      progress: (done, total) => io.progress(done, total),
      readAt(offset, buffer, size) {
        const bytes = io.readAt(offset, size);
        if (bytes === null || bytes.length !== size) return 0;
        engine.HEAPU8.set(bytes, buffer);
        return 1;
      },
    };
  };
  return {
    upperCase(typed) {
      const units = new Uint16Array(typed.length);
      for (let i = 0; i < typed.length; ++i) units[i] = typed.charCodeAt(i);
      call('upper_case', [new Uint8Array(units.buffer)]);
      const upper = answers()[0];
      const result = new Uint16Array(upper.slice().buffer);
      let shown = '';
      for (let i = 0; i < result.length; i += 4096) shown += String.fromCharCode(...result.subarray(i, i + 4096));
      return shown;
    },
    computeKey(person) {
      const exitStatus = call('compute_key', personList(person));
      const [outcome, key, masked, message, reason] = texts();
      return { outcome, key, masked, message, exitStatus, reason: JSON.parse(reason) };
    },
    checkKey(clave, person) {
      const status = call('check_key', [clave, ...(person ? personList(person) : [])], person ? 1 : 0);
      const [text, values] = texts();
      return { status, text, ...JSON.parse(values) };
    },
    exitStatuses() {
      engine._engine_exit_statuses();
      return JSON.parse(texts()[0]);
    },
    // `io` holds read, write, message and problem as batchIo makes them; an
    // option that is null is left out. Gives the exit status and the counts
    // (null when the rows were not all read).
    runBatch(io, options) {
      // A batch run from inside another's callback hands the outer one's back when it ends.
      const outer = engine.claveRfcBatch;
      useCallbacks(io, false);
      try {
        const exitStatus = call('run_batch', batchList(options), 0, io.size, io.readsAt);
        return { exitStatus, counts: JSON.parse(texts()[0]) };
      } finally {
        engine.claveRfcBatch = outer;
      }
    },
    // The same, waiting for io.readLater's promises.
    runBatchWaiting: runBatchWaiting && (async (io, options) => {
      put(batchList(options));
      useCallbacks(io, true);
      waiting = true;
      try {
        const exitStatus = await runBatchWaiting(1, io.size, io.readsAt);
        return { exitStatus, counts: JSON.parse(texts()[0]) };
      } finally {
        waiting = false;
        engine.claveRfcBatch = null;
      }
    }),
    texts() {
      call('texts', []);
      const found = {};
      const list = texts();
      for (let i = 0; i + 1 < list.length; i += 2) {
        const path = list[i].split('.');
        let into = found;
        for (const name of path.slice(0, -1)) into = into[name] ??= {};
        into[path.at(-1)] = list[i + 1];
      }
      return found;
    },
    namePageControls: () => engine._engine_name_page_controls(),
    version() {
      engine._engine_version();
      return texts()[0];
    },
  };
}

// The callbacks as the engine calls them: a callback that throws makes a
// failed read or write, which the batch reports as `rfc batch` reports its
// own (exit status 4), and the first error thrown is handed back in `ran`,
// as are a workbook's sheets.
function batchIo(io, ran) {
  const fail = (error) => {
    if (ran.error === undefined) ran.error = error;
  };
  const size = Number(io.size);
  return {
    size: Number.isSafeInteger(size) && size >= 0 ? size : -1,
    readsAt: typeof io.readAt === 'function' ? 1 : 0,
    // Synchronous even for batchAsync: the engine does not wait for it.
    readAt(offset, length) {
      try {
        return bytesOf(io.readAt(offset, length));
      } catch (error) {
        fail(error);
        return null;
      }
    },
    read(maxBytes) {
      try {
        return bytesOf(io.read(maxBytes));
      } catch (error) {
        fail(error);
        return null;
      }
    },
    async readLater(maxBytes) {
      try {
        return bytesOf(await io.read(maxBytes));
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
    problem(line, reason, text) {
      try {
        if (io.problem) io.problem({ line, reason, text });
      } catch (error) {
        fail(error);
      }
    },
    sheets(sheets, chosen) {
      ran.sheets = sheets;
      ran.sheet = sheets[chosen];
      try {
        if (io.sheets) io.sheets({ sheets, sheet: sheets[chosen] });
      } catch (error) {
        fail(error);
      }
    },
    progress(done, total) {
      try {
        if (io.progress) io.progress({ done, total });
      } catch (error) {
        fail(error);
      }
    },
  };
}

function batchRequest(options) {
  const given = options || {};
  return {
    foldAccents: Boolean(given.foldAccents),
    delimiter: optionOf(given.delimiter),
    encoding: optionOf(given.encoding),
    columns: optionOf(given.columns),
    name: textOf(given.name),
    sheet: optionOf(given.sheet),
    fillEmpty: Boolean(given.fillEmpty),
  };
}

// What a batch gives back: its exit status and counts, a workbook's sheets
// and the one read, and the first error a callback threw.
function batchResult({ exitStatus, counts }, ran) {
  const result = { exitStatus, counts };
  if (ran.sheets !== undefined) Object.assign(result, { sheets: ran.sheets, sheet: ran.sheet });
  if (ran.error !== undefined) result.error = ran.error;
  return result;
}

function claveRfcOf(engine, wasmModule) {
  const waiting = engine.runBatchWaiting && {
    async batchAsync(io, options) {
      const ran = {};
      return batchResult(await engine.runBatchWaiting(batchIo(io, ran), batchRequest(options)), ran);
    },
  };
  return Object.freeze({
    upperCase: (text) => engine.upperCase(textOf(text)),
    key: (person) => engine.computeKey(personOf(person)),
    check: (clave, person) =>
      engine.checkKey(textOf(clave), person === undefined || person === null ? null : personOf(person)),
    batch(io, options) {
      const ran = {};
      return batchResult(engine.runBatch(batchIo(io, ran), batchRequest(options)), ran);
    },
    ...waiting,
    texts: deepFreeze(engine.texts()),
    exitStatus: Object.freeze(engine.exitStatuses()),
    version: engine.version(),
    wasmModule,
  });
}

function deepFreeze(object) {
  for (const value of Object.values(object)) {
    if (typeof value === 'object' && value !== null) deepFreeze(value);
  }
  return Object.freeze(object);
}

// Whether WebAssembly can wait for a JavaScript promise (JSPI): then the
// batch's waiting read is an import the engine waits on, and the batch's
// export gives a promise.
const canWait = typeof WebAssembly.Suspending === 'function' && typeof WebAssembly.promising === 'function';

// The binary is compiled here rather than by the loader, so that the compiled
// module can be handed on: a worker given it starts at once, and shares its
// machine code with this engine.
async function createClaveRfc(options) {
  const given = options || {};
  const wasmModule = given.wasmModule ??
    (await WebAssembly.compile(given.wasmBinary ? bytesOf(given.wasmBinary) : await embeddedWasm()));
  let runBatchWaiting = null;
  let instantiated;
  const loading = createClaveRfcEngine({
    instantiateWasm(imports, receive) {
      if (canWait) imports.env.claverfc_read_waiting = new WebAssembly.Suspending(imports.env.claverfc_read_waiting);
      instantiated = WebAssembly.instantiate(wasmModule, imports).then((instance) => {
        if (canWait) runBatchWaiting = WebAssembly.promising(instance.exports.engine_run_batch);
        receive(instance, wasmModule);
      });
      return {};
    },
  });
  // A binary or module that does not fit (another build's) fails here,
  // where the loader alone would wait for ever.
  const [loaded] = await Promise.all([loading, instantiated]);
  const engine = engineCalls(loaded, runBatchWaiting);
  if (given.pageControls || given.foldAccentsCheckBox) engine.namePageControls();
  return claveRfcOf(engine, wasmModule);
}
