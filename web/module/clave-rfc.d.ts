// Clave RFC as an ES module: the RFC key of a Mexican natural person, and
// `rfc check` and `rfc batch`, computed in WebAssembly by the same C++ as the
// command line `rfc`, in browsers and in Node 18 or later.
//
//     import createClaveRfc from './clave-rfc.mjs';
//     const rfc = await createClaveRfc();
//     rfc.key({ paterno: 'perez', materno: 'lopez', nombre: 'juan', fecha: '1980-01-15' });
//     // { outcome: 'key', key: 'PELJ8001152A0', masked: 'PELJ-800115-2A0', message: '' }

export interface Person {
  paterno?: string;
  materno?: string;
  nombre?: string;
  /** YYYY-MM-DD, 1601-01-01 to 9999-12-31 (or any date form `rfc key` reads). */
  fecha: string;
  /** As `--fold-accents`: letters lose their accents before the key; Ñ stays. */
  foldAccents?: boolean;
}

export interface KeyResult {
  /** 'key'; 'empty' when a character has no value or the sum is too small;
   *  'none' when the input is refused or the date cannot be read. */
  outcome: 'key' | 'empty' | 'none';
  /** The key (12 or 13 characters), or ''. */
  key: string;
  /** The key through the mask "@@@@-@@@@@@-@@@", or the blank mask "    -      -   ". */
  masked: string;
  /** '' for a key; otherwise what `rfc key` says on standard error, after "rfc: ". */
  message: string;
}

export interface CheckResult {
  /** The exit status of `rfc check`: 0 sound, 5 doubtful, 6 wrong; with a person,
   *  1 or 3 when the person gets no key; 2 when an input cannot be read. */
  status: number;
  /** The line `rfc check` prints, without its line end; for status 2, its message after "rfc: ". */
  text: string;
}

export interface BatchIo {
  /** The next bytes of the file, at most about maxBytes; an empty array at the end. */
  read(maxBytes: number): Uint8Array;
  /** Bytes of the output, exactly as `rfc batch` writes them. The view may point
   *  into the engine's memory: copy it before returning. */
  write(bytes: Uint8Array): void;
  /** Each line `rfc batch` writes on standard error ("rfc: ..."), without the line end;
   *  with `pageControls`, without the "rfc: " either. */
  message?(line: string): void;
}

export interface BatchIoAsync extends Omit<BatchIo, 'read'> {
  /** As `BatchIo.read`, or a promise of it. The bytes need stay as they are only until
   *  the next call. */
  read(maxBytes: number): Uint8Array | Promise<Uint8Array>;
}

export interface BatchOptions {
  /** As `--fold-accents`. */
  foldAccents?: boolean;
  /** As `--delimiter`: ',', ';', '|', '\t', ...; found from the first row when left out. */
  delimiter?: string;
  /** As `--encoding`: 'utf-8', 'utf-16' or 'windows-1252'; found from the bytes when left out. */
  encoding?: string;
  /** As `--columns`: 'paterno=3,materno=4,nombre=2,fecha=7'; found by header when left out. */
  columns?: string;
  /** The file's name, which messages start with as `rfc batch NAME` writes them;
   *  left out, they read as for standard input. */
  name?: string;
}

export interface BatchResult {
  /** The exit status of `rfc batch` (0, 1, 2, 4, 5 or 6). A callback that throws
   *  makes a read or write error: status 4. */
  exitStatus: number;
  /** The first error a callback threw, if one did. */
  error?: unknown;
}

export interface WindowTexts {
  caption: string;
  productName: string;
  tagline: string;
  webAddress: string;
  labels: { paterno: string; materno: string; nombre: string; fecha: string; rfc: string };
  /** "&Calcular": "&" marks the access key. */
  calcular: string;
  /** The page's check box that folds accents, as messages name it ("Quitar acentos y diéresis"). */
  foldAccentsCheckBox: string;
  /** The labels of a page's fields for `batch`'s options, as messages name them ("Columnas"). */
  settingLabels: { columns: string; delimiter: string; encoding: string };
  dateMin: string;
  dateMax: string;
  dateStart: string;
}

export interface ClaveRfc {
  /** The window's upper-casing as the user types: every character where it stands,
   *  the length unchanged (so a caret position stays valid). */
  upperCase(text: string): string;
  /** The key as the window computes it, and why there is none as `rfc key` says. */
  key(person: Person): KeyResult;
  /** `rfc check CLAVE`, or against a person: `rfc check CLAVE PATERNO MATERNO NOMBRES FECHA`. */
  check(clave: string, person?: Person | null): CheckResult;
  /** `rfc batch` over the bytes `io.read` gives, on this thread, to the end of the input. */
  batch(io: BatchIo, options?: BatchOptions): BatchResult;
  /**
   * `batch` with an `io.read` that may return a promise, which the engine waits for: a file's
   * stream, say. Only where WebAssembly can wait for JavaScript (JSPI: `WebAssembly.Suspending`,
   * as in current Chromium and Firefox; not in Node 20), and undefined elsewhere. While it runs,
   * this engine's other calls throw; another engine made with `wasmModule` computes meanwhile.
   */
  batchAsync?(io: BatchIoAsync, options?: BatchOptions): Promise<BatchResult>;
  readonly texts: Readonly<WindowTexts>;
  /** The version of `rfc` this engine is. */
  readonly version: string;
  /** The engine's compiled WebAssembly, for `EngineOptions.wasmModule`. */
  readonly wasmModule: WebAssembly.Module;
}

export interface EngineOptions {
  /** The engine's WebAssembly binary; the module carries its own when left out. */
  wasmBinary?: ArrayBuffer | Uint8Array;
  /**
   * The `wasmModule` of an engine made before: this one then starts without compiling, for
   * instance in a worker that the module was posted to.
   */
  wasmModule?: WebAssembly.Module;
  /**
   * For a page with controls for the options: messages name the check box that folds accents
   * as `texts.foldAccentsCheckBox` ("Quitar acentos y diéresis") instead of `--fold-accents`,
   * and the fields for `batch`'s options by `texts.settingLabels` («Columnas», «Otro separador»,
   * «Codificación») instead of `--columns`, `--delimiter` and `--encoding`; a mistake in them
   * is not followed by the command line's pointer to `rfc --help`, and `batch`'s messages
   * leave out the "rfc: " in front of each line. The rows that `batch` writes keep the
   * options' names: they are the bytes `rfc batch` writes.
   */
  pageControls?: boolean;
  /** The earlier name of `pageControls`, which it still sets. */
  foldAccentsCheckBox?: boolean;
}

export default function createClaveRfc(options?: EngineOptions): Promise<ClaveRfc>;
