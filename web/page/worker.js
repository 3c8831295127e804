// The file conversion, off the page's thread. The page builds this worker from
// a Blob of the engine's script followed by this one, so createClaveRfc is
// defined here; it sends {file, options, wasmModule} and gets back, in order,
// progress, the batch's messages and one Blob of the converted file. The page
// makes its first worker as soon as it is shown and sends it {warmUp,
// wasmModule} first (see warmUp).
//
// The engine's batch pulls the input through read(). Where WebAssembly can
// wait for a promise (batchAsync), read() takes the file's stream into one
// buffer, reused; elsewhere the batch is synchronous and reads the File with
// FileReaderSync, a slice at a time. Neither the input nor the output is ever
// whole in memory here. Written
// bytes are gathered into parts and each part becomes a Blob at once, which
// the browser keeps outside this process (and on disk when large).
'use strict';

// How much of the file one FileReaderSync call reads, and how much output is
// gathered before it becomes one part of the result. Each read is a round
// trip to the browser's own process that costs about as much as a few
// megabytes of copying, so reads are large; the output is gathered in one
// buffer, reused, as every Blob copies what it is made of.
const SLICE_BYTES = 8 << 20;
const PART_BYTES = 4 << 20;
// How much of the file's stream one read of batchAsync takes.
const STREAM_BYTES = 1 << 20;
// Progress is posted at most this often (ms), not once per read.
const PROGRESS_INTERVAL = 100;
// The page shows the first rows with problems; the rest only count.
const ROWS_SHOWN = 100;

// Rows of the warm-up's made-up file.
const WARM_UP_ROWS = 3000;

// The file as the ByteSource the batch pulls from: read(maxBytes) gives at
// most maxBytes, and an empty array at the end. Progress counts the bytes
// handed over, so it moves at every read, not only at every slice.
function fileSource(file, onProgress) {
    const reader = new FileReaderSync();
    let offset = 0;
    let slice = new Uint8Array(0);
    let used = 0;
    let handed = 0;
    return (maxBytes) => {
        if (used === slice.length && offset < file.size) {
            const end = Math.min(file.size, offset + SLICE_BYTES);
            slice = new Uint8Array(reader.readAsArrayBuffer(file.slice(offset, end)));
            used = 0;
            offset = end;
        }
        const n = Math.min(maxBytes, slice.length - used);
        const bytes = slice.subarray(used, used + n);
        used += n;
        handed += n;
        onProgress(handed, file.size);
        return bytes;
    };
}

// The file as batchAsync's source: read(maxBytes) resolves to at most
// maxBytes, in the one buffer that the stream fills again at the next read
// (the engine has copied the bytes by then), and to no bytes at the end.
function streamSource(file, onProgress) {
    // Every browser whose WebAssembly can wait also reads a file's stream into
    // a buffer of the reader's own (BYOB).
    const reader = file.stream().getReader({ mode: 'byob' });
    let buffer = new ArrayBuffer(STREAM_BYTES);
    let handed = 0;
    return async (maxBytes) => {
        const { done, value } = await reader.read(new Uint8Array(buffer, 0, Math.min(maxBytes, buffer.byteLength)));
        if (done) return new Uint8Array(0);
        buffer = value.buffer;
        handed += value.length;
        onProgress(handed, file.size);
        return value;
    };
}

// The output as parts: write() copies each chunk (the engine hands a view of
// its own memory) into one buffer, which becomes a Blob whenever it is full.
function blobSink() {
    const parts = [];
    const gathered = new Uint8Array(PART_BYTES);
    let used = 0;
    const flush = () => {
        if (used === 0) return;
        parts.push(new Blob([gathered.subarray(0, used)]));
        used = 0;
    };
    return {
        write(chunk) {
            for (let at = 0; at < chunk.length; ) {
                if (used === gathered.length) flush();
                const n = Math.min(chunk.length - at, gathered.length - used);
                gathered.set(chunk.subarray(at, at + n), used);
                used += n;
                at += n;
            }
        },
        finish(type) {
            flush();
            return new Blob(parts, { type });
        },
    };
}

// A workbook is read whole before its rows are, so its progress is the
// engine's, by rows through its sheet, rather than the bytes read.
async function convert(engine, { file, workbook, options }) {
    let lastProgress = 0;
    const postProgress = (done, total) => {
        const now = performance.now();
        if (now - lastProgress < PROGRESS_INTERVAL && done < total) return;
        lastProgress = now;
        self.postMessage({ type: 'progress', done, total });
    };
    const onProgress = workbook ? () => {} : postProgress;
    const progress = ({ done, total }) => postProgress(done, total);
    const sheets = ({ sheets: names, sheet }) => self.postMessage({ type: 'sheets', sheets: names, sheet });
    // A row not read comes as a value just before its line among the
    // messages, which the page's table shows instead.
    let rowsSeen = 0;
    let rowLine = false;
    const problem = ({ line, text }) => {
        rowLine = true;
        if (++rowsSeen <= ROWS_SHOWN) self.postMessage({ type: 'row', line, text });
    };
    const message = (line) => {
        if (!rowLine) self.postMessage({ type: 'message', line });
        rowLine = false;
    };
    const sink = blobSink();
    // A workbook's parts are read where they lie, never the whole file at once.
    const pieces = new FileReaderSync();
    const readAt = (offset, length) =>
        new Uint8Array(pieces.readAsArrayBuffer(file.slice(offset, offset + length)));
    const io = { size: file.size, readAt, write: sink.write, message, problem, sheets, progress };
    const { exitStatus } = engine.batchAsync
        ? await engine.batchAsync({ ...io, read: streamSource(file, onProgress) }, options)
        : engine.batch({ ...io, read: fileSource(file, onProgress) }, options);
    // Bytes in the file's own encoding, named by the page: a text type would
    // let the browser add an extension of its own to a name without one.
    const output = sink.finish('application/octet-stream');
    self.postMessage({ type: 'done', exitStatus, output });
}

// The browser first runs WebAssembly through a quick compiler, and compiles
// a function fully only once it has run for a while, in the background: the
// first file converted would run its first second or so at two thirds of the
// speed. A small batch of made-up payroll rows, while the page waits to be
// given a file, gets the batch's functions compiled fully; they stay so for
// every worker of the page.
function warmUp(engine) {
    const surnames = ['PÉREZ', 'HERNÁNDEZ', 'DE LA CRUZ', 'MUÑOZ', 'GARCÍA', 'LÓPEZ', 'O\'NEILL'];
    const names = ['JUAN', 'MARÍA JOSÉ', 'JOSÉ LUIS', 'ANA', 'GUADALUPE'];
    const lines = ['paterno,materno,nombre,fecha,rfc'];
    for (let i = 0; i < WARM_UP_ROWS; ++i) {
        const day = String(1 + (i % 28)).padStart(2, '0');
        const month = String(1 + (i % 12)).padStart(2, '0');
        lines.push(
            `${surnames[i % 7]},${surnames[(i * 3 + 1) % 7]},${names[i % 5]},${1940 + (i % 60)}-${month}-${day},` +
                (i % 2 ? 'PELJ8001152A0' : ''),
        );
    }
    const bytes = new TextEncoder().encode(lines.join('\n'));
    let at = 0;
    const read = (maxBytes) => {
        const part = bytes.subarray(at, at + maxBytes);
        at += part.length;
        return part;
    };
    engine.batch({ read, write() {}, message() {} }, {});
}

// One engine for the worker's messages, however soon after another they come.
let engineMade = null;
self.onmessage = async (event) => {
    try {
        engineMade ??= createClaveRfc({ pageControls: true, wasmModule: event.data.wasmModule });
        const engine = await engineMade;
        if (event.data.warmUp) warmUp(engine);
        else await convert(engine, event.data);
    } catch (error) {
        self.postMessage({ type: 'failed', text: String(error && error.message ? error.message : error) });
    }
};
