// Clave RFC as an ES module: the RFC key of a Mexican natural person, and
// `rfc check` and `rfc batch`, computed in WebAssembly by the same C++ as the
// command line `rfc`, in browsers and in Node 18 or later.
//
//     import createClaveRfc from './clave-rfc.mjs';
//     const rfc = await createClaveRfc();
//     rfc.key({ paterno: 'perez', materno: 'lopez', nombre: 'juan', fecha: '1980-01-15' });
//     // { outcome: 'key', key: 'PELJ8001152A0', masked: 'PELJ-800115-2A0', message: '',
//     //   exitStatus: 0, reason: null }
//     rfc.key({ paterno: 'pérez', materno: 'lopez', nombre: 'juan', fecha: '1980-01-15' }).reason;
//     // { kind: 'failed', failure: 'uncodedCharacter', foldingHelps: true,
//     //   character: { part: 'paterno', text: 'É', codePoint: 0xC9, position: 2 } }
//
// Every code below is the name of a value of the C++ libraries (keycalc/,
// convert/): the sentences in `message` and `text` are made from the same
// values, so a program can decide from the codes and show the sentences.

export interface Person {
  paterno?: string;
  materno?: string;
  nombre?: string;
  /** YYYY-MM-DD, 1601-01-01 to 9999-12-31 (or any date form `rfc key` reads). */
  fecha: string;
  /** As `--fold-accents`: letters lose their accents before the key; Ñ stays. */
  foldAccents?: boolean;
}

/** The name parts, by the fields of `Person`. */
export type NamePart = 'paterno' | 'materno' | 'nombre';

/** Why the input was refused before anything was computed (exit status `refused`). */
export type RefusalTest =
  | 'givenNamesBlank' // the given names are empty or spaces only
  | 'surnamesBlank' // both surnames are empty or spaces only
  | 'dateInvalid'; // the date of birth is not a calendar date

/** Why a computation that had started gave no key (exit status `noKey`). */
export type FailureReason =
  | 'uncodedCharacter' // a character of the names has no value in the table
  | 'sumBelow100' // the homoclave's sum has fewer than three digits
  | 'sumOverflow' // the homoclave's sum does not fit in a signed 32-bit integer
  | 'vowelPositionOverflow'; // the paternal surname's first vowel lies past position 32767

/** Why `fecha` is no date of birth (exit status `usage`). */
export type DateError =
  | 'notADate' // no known form: "ayer", "15/01-1980", "", or a bare number
  | 'noSuchDay' // the right shape, but no calendar day: 1980-02-30
  | 'outOfRange' // a day outside texts.dateMin to texts.dateMax
  | 'twoDigitYear' // "15/01/80": the century would be a guess
  | 'monthFirst' // "1/15/1980": the month before the day
  | 'february29Of1900'; // "60", the spreadsheets' day that never was

/** The character a computation found without value, placed as the message places it. */
export interface UncodedCharacter {
  part: NamePart;
  /** The character as the computation was given it (upper-cased, folded with `foldAccents`):
   *  one UTF-16 unit, or a surrogate pair. */
  text: string;
  /** Its code point, which the message writes as U+00C9. */
  codePoint: number;
  /** Where it stands in its part, counted in characters from 1 (a surrogate pair is one). */
  position: number;
}

/** Why there is no key, as values; `kind` tells which. */
export type KeyReason =
  | { kind: 'refused'; test: RefusalTest }
  | {
      kind: 'failed';
      failure: FailureReason;
      /** For 'uncodedCharacter'; null otherwise. */
      character: UncodedCharacter | null;
      /** Whether `foldAccents` would get past the character (the message then says so). */
      foldingHelps: boolean;
    }
  | {
      kind: 'date';
      dateError: DateError;
      /** For a bare number: the day (YYYY-MM-DD) a spreadsheet's date column reads it as. */
      spreadsheetDay: string | null;
    }
  /** A name is not valid UTF-8: never for a JavaScript string, which is encoded whole. */
  | { kind: 'nameNotUtf8'; part: NamePart }
  /** `check`'s key is not valid UTF-8: likewise never for a JavaScript string. */
  | { kind: 'keyNotUtf8' };

/** A held key's verdict, from best to worst. */
export type CheckVerdict =
  | 'valid' // alone: a key whose check character verifies (status `ok`)
  | 'agrees' // agrees with the person's key, or differs only by its Ñ (`ok`)
  | 'checkFails' // well formed, but the check character does not verify (`keyDoubtful`)
  | 'homoclaveDiffers' // prefix and date agree, the homoclave differs (`keyDoubtful`)
  | 'disagrees' // the prefix or the date differ, or a key of another kind (`keyWrong`)
  | 'notAKey' // the text is no key (`keyWrong`)
  | 'noComputedKey' // the person gives no key to compare with (`noKey` or `refused`)
  | 'notGiven'; // the key is empty: nothing to check (only in `batch`'s rows)

/** Why a text is not a key. */
export type KeyFault =
  | 'length' // not 12 or 13 characters once compacted
  | 'letter' // a character of the prefix is not A to Z, Ñ or &
  | 'dateDigits' // the date is not six digits
  | 'noSuchDay' // six digits, but no century has that day (800230)
  | 'homoclave' // a homoclave character is no homoclave symbol
  | 'checkSymbol' // the check character is not a digit or A
  | 'withoutHomoclave'; // 10 characters: the key without homoclave and check character

export interface NotAKey {
  fault: KeyFault;
  /** Where, from 1, in the key compacted (upper case, without spaces and hyphens);
   *  0 for 'length' and 'withoutHomoclave'. */
  position: number;
  /** How many characters the compacted key has. */
  length: number;
}

/** The exit statuses of `rfc`, by name; `noKey` and `unreadableRows` are both 1. */
export interface ExitStatuses {
  ok: number;
  noKey: number;
  unreadableRows: number;
  usage: number;
  refused: number;
  ioError: number;
  keyDoubtful: number;
  keyWrong: number;
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
  /** The exit status of `rfc key`: `ok`, `noKey`, `refused` or `usage` (a date that
   *  cannot be read) of `exitStatus`. */
  exitStatus: number;
  /** Why there is no key, which `message` says; null for a key. */
  reason: KeyReason | null;
}

export interface CheckResult {
  /** The exit status of `rfc check`, one of `exitStatus`: `ok` sound, `keyDoubtful`,
   *  `keyWrong`; with a person, `noKey` or `refused` when the person gets no key;
   *  `usage` when an input cannot be read. */
  status: number;
  /** The line `rfc check` prints, without its line end; for `usage`, its message after "rfc: ". */
  text: string;
  /** The verdict the line says; null when an input cannot be read. */
  verdict: CheckVerdict | null;
  /** Why the key is no key, whenever it is none (also for a person who gets no key). */
  notAKey: NotAKey | null;
  /** Why there is no verdict (kind 'date', ...) or, for 'noComputedKey', why the person
   *  gets no key; null otherwise. */
  reason: KeyReason | null;
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
  /** Each row that could not be read, as soon as it is found, just before its line
   *  among the messages. */
  problem?(row: ProblemRow): void;
  /** The input's size in bytes, when known (a `File`'s `size`): a workbook, which the
   *  engine otherwise holds whole while it converts it, is then held in one block of that
   *  size, or, with `readAt`, not held at all. */
  size?: number;
  /** With `size`: `length` bytes of the input from `offset`, exactly, for an input that can
   *  be read anywhere (a `File` in a worker, with `FileReaderSync`; a file in Node, with
   *  `fs.readSync`). A workbook is then read in pieces where its parts lie, and never held
   *  whole; `read` still gives its first bytes. Synchronous, for `batchAsync` too; anything
   *  else than `length` bytes, or a throw, is a read error (`ioError`). */
  readAt?(offset: number, length: number): Uint8Array;
  /** A workbook's worksheets (chart sheets left out), and the one whose people are read
   *  (`options.sheet`, or the first with a header), as soon as it is chosen: for a sheet
   *  chooser, which passes the name back as `options.sheet`. */
  sheets?(listed: { sheets: string[]; sheet: string }): void;
  /** A workbook's progress, every few thousand rows: `done` of `total` (the reading of its
   *  sheet; the units are the engine's, only their ratio means anything). */
  progress?(progress: { done: number; total: number }): void;
}

/** A row `batch` could not read: it goes out with its cells, the key's empty. */
export interface ProblemRow {
  /** The line the row starts on, from 1. */
  line: number;
  reason: RowReason;
  /** What the row's result cell says: "fila ilegible: ...". */
  text: string;
}

/** Why a row was not read, with what tells it apart. */
export type RowReason =
  | {
      /** A quote out of place or left open, or a row past the length limit. */
      code: 'badRecord';
      record: 'strayQuote' | 'textAfterClosingQuote' | 'unterminatedQuote' | 'tooLong' | 'none';
      /** The file ends within the row in half a UTF-16 character. */
      halfCharacter: boolean;
      /** The row was first told too long; this fault showed only at its end. */
      tooLongFirst: boolean;
    }
  /** The row has `fields` fields, which the columns cannot be read from. */
  | { code: 'fieldCount'; fields: number }
  | {
      /** The cell in `column` (from 1) is not valid text in `encoding`. */
      code: 'invalidText';
      column: number;
      encoding: 'utf8' | 'windows1252' | 'utf16Le' | 'utf16Be';
      /** UTF-8 was guessed from the file's start: it may be Windows-1252. */
      guessed: boolean;
    }
  | { code: 'noDate' }
  | { code: 'badDate'; dateError: DateError }
  | { code: 'noCurp' }
  | { code: 'badCurp'; curpError: 'badShape' | 'noSuchDay' }
  /** The file ends in half a UTF-16 character, after its last row. */
  | { code: 'halfCharacter' }
  /**
   * A workbook's cell in `column` (from 1) holds an error value, a formula
   * whose value was never saved, or a shared string the workbook lacks.
   */
  | { code: 'errorValue' | 'formulaWithoutValue' | 'missingString'; column: number };

/** What became of the rows of a batch, each counted once. */
export interface BatchCounts {
  rows: number;
  /** The file holds keys of its own, which were checked. */
  checksKeys: boolean;
  /** The rows not counted by a held key's verdict, by their computation's outcome. */
  outcomes: {
    key: number;
    refused: number;
    accents: number;
    uncodedOther: number;
    homoclaveFault: number;
    unreadable: number;
  };
  /** The rows whose held key was compared with the computed one, by verdict. */
  checks: Record<CheckVerdict, number>;
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
  /** As `--sheet`, for a workbook (.xlsx, .ods): a sheet by its name, or by its place
   *  from 1; the first sheet with a header when left out. */
  sheet?: string;
  /** As `--fill-empty`: in a workbook, the key column's empty cells take the computed key. */
  fillEmpty?: boolean;
}

export interface BatchResult {
  /** The exit status of `rfc batch`: `ok`, `unreadableRows`, `usage`, `ioError`,
   *  `keyDoubtful` or `keyWrong` of `exitStatus`. A `read`, `readAt` or `write` that throws
   *  makes a read or write error: `ioError`; the other callbacks' throws stop nothing. */
  exitStatus: number;
  /** What became of the rows; null when they were not all read (a usage or an I/O error). */
  counts: BatchCounts | null;
  /** A workbook's worksheets, in order, and the one read, as `io.sheets` was told; absent
   *  for a delimited file, or when the workbook could not be opened. */
  sheets?: string[];
  sheet?: string;
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
  settingLabels: { columns: string; delimiter: string; encoding: string; sheet: string };
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
  /** The exit statuses by name, as the C++ libraries number them: compare `status` and
   *  `exitStatus` with these, e.g. `result.status === rfc.exitStatus.keyDoubtful`. */
  readonly exitStatus: Readonly<ExitStatuses>;
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
