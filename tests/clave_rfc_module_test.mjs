// The JavaScript module clave-rfc.mjs against the command line it is built
// from: every key, check and batch of the tables below must give the same
// bytes, messages and exit status as the native `rfc` of the same build, and
// the codes of a key's reason and of a check's verdict must say what `rfc`'s
// sentence says.
//
//     RFC=build-test/cli/rfc CLAVE_RFC=build-web/clave-rfc.mjs node --test tests/clave_rfc_module_test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, dirname, join, resolve } from 'node:path';
import { test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import vm from 'node:vm';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const rfcPath = resolve(process.env.RFC ?? join(root, 'build-test/cli/rfc'));
const modulePath = resolve(process.env.CLAVE_RFC ?? join(root, 'build-web/clave-rfc.mjs'));
const { default: createClaveRfc } = await import(pathToFileURL(modulePath).href);
const rfc = await createClaveRfc();

function native(args, { input, cwd } = {}) {
  const run = spawnSync(rfcPath, args, { input, cwd, maxBuffer: 1 << 30 });
  // Bytes as latin1 text, one character a byte, so that a difference shows where it is.
  return { status: run.status, out: run.stdout.toString('latin1'), err: run.stderr.toString('utf8') };
}

const firstLine = (text) => text.split('\n')[0].replace(/^rfc: /, '');

// [paterno, materno, nombre, fecha, foldAccents]
const people = [
  ['perez', 'lopez', 'juan', '1980-01-15'],
  ['LI', 'WU', 'A', '2000-01-01'],
  ['pérez', 'lopez', 'juan', '1980-01-15'],
  ['pérez', 'lopez', 'juan', '1980-01-15', true],
  ['gonzález', 'müller', 'maría josé', '1975-12-31', true],
  ['muñoz', 'ñuñez', 'íñigo', '1990-06-30'],
  ['de la garza', 'y de los santos', 'josé maría', '1601-01-01'],
  ['', 'martinez', 'jose', '9999-12-31'],
  ['', '', 'ana', '1980-01-01'],
  ['perez', 'lopez', '   ', '1980-01-15'],
  ['buey', 'iñiguez', 'luis', '1985-03-03'],
  ['o\'brien', 'smith-jones', 'mary ann', '1970-07-07'],
  ['-perez', '--help', '--', '1980-01-15'],
  ['perez\u00a0', 'lopez', 'juan 😀', '1980-01-15'],
  ['perez', 'lopez', 'juan', '1980-02-30'],
  ['perez', 'lopez', 'juan', '15/01/1980'],
  ['perez', 'lopez', 'juan', ''],
  // Dates that cannot be read, one of each fault.
  ['perez', 'lopez', 'juan', '29235'],
  ['perez', 'lopez', 'juan', '60'],
  ['perez', 'lopez', 'juan', '15/01/80'],
  ['perez', 'lopez', 'juan', '1/15/1980'],
  ['perez', 'lopez', 'juan', '1500-01-01'],
  ['perez', 'lopez', 'juan', 'ayer'],
  // Uncoded characters in each part, before and after a pair, visible or not,
  // with and without folding, that folding helps or not.
  ['perez', 'lópez', 'juan', '1980-01-15'],
  ['perez', 'lopez', 'josé', '1980-01-15'],
  ['perez', 'lopez', 'josé', '1980-01-15', true],
  ['gonzález', 'pérez', 'josé', '1980-01-05'],
  ['ab😀c', 'lopez', 'juan', '1980-01-15'],
  ['perez', 'lopez', '😀é', '1980-01-15'],
  ['perez', 'lopez', 'ju an', '1980-01-15'],
  ['perez', 'lopez', 'juań', '1980-01-15'],
  ['perez', 'lopez', 'juań', '1980-01-15', true],
  ['o’neil', 'lopez', 'ana', '1980-01-15', true],
  ['ñandú', 'peña', 'ana', '1980-01-15'],
  ['perez', 'lopez', 'ana"<\\', '1980-01-15'],
  ['', '', '', '1980-02-30'],
];

const personOf = ([paterno, materno, nombre, fecha, foldAccents = false]) => ({
  paterno, materno, nombre, fecha, foldAccents,
});
const personArgs = ([paterno, materno, nombre, fecha, fold]) => [
  ...(fold ? ['--fold-accents'] : []), '--', paterno, materno, nombre, fecha,
];
const { ok, noKey, usage, refused, keyDoubtful, keyWrong } = rfc.exitStatus;
const outcomeOfStatus = { [ok]: 'key', [noKey]: 'empty' };

// What `rfc` says for each code: a piece of its sentence that only that code gives.
const said = {
  refused: {
    givenNamesBlank: 'entrada rechazada: el nombre está vacío',
    surnamesBlank: 'entrada rechazada: los dos apellidos',
    dateInvalid: 'entrada rechazada: la fecha de nacimiento no existe',
  },
  failed: {
    uncodedCharacter: 'sin clave: el carácter U+',
    sumBelow100: 'sin clave: la suma de la homoclave es menor que 100',
    sumOverflow: 'sin clave: la suma de la homoclave no cabe',
    vowelPositionOverflow: 'sin clave: la primera vocal',
  },
  date: {
    notADate: 'no tiene una forma de fecha conocida',
    noSuchDay: 'no existe en el calendario',
    outOfRange: 'está fuera de las fechas admitidas',
    twoDigitYear: 'tiene el año con dos cifras',
    monthFirst: 'tiene el mes antes del día',
    february29Of1900: 'es el día 60 de las hojas de cálculo',
  },
  part: { paterno: 'del apellido paterno', materno: 'del apellido materno', nombre: 'del nombre' },
  verdict: {
    valid: /^clave (válida|genérica)/,
    agrees: /^coincide( salvo la Ñ, que estas reglas escriben X)?( (con la calculada|\(calculada))/,
    checkFails: /su dígito verificador no corresponde|coincide salvo el dígito verificador/,
    homoclaveDiffers: /^coincide salvo la homoclave/,
    disagrees: /^no coincide: /,
    notAKey: /^no es una clave/,
    noComputedKey: /^no hay clave calculada con que compararla: /,
  },
  notAKey: {
    length: (f) => (f.length === 0 ? 'está vacía' : `tiene ${f.length} caracteres, y una clave tiene 13`),
    letter: (f) => `en la posición ${f.position} no es una letra`,
    dateDigits: () => 'no es una fecha',
    noSuchDay: () => 'no es una fecha',
    homoclave: (f) => `en la posición ${f.position} no puede ir en la homoclave`,
    checkSymbol: () => 'no es un dígito ni la A',
    withoutHomoclave: (f) => `no es una clave completa: tiene ${f.length} caracteres`,
  },
};
const foldHint = '; con --fold-accents se quitan los acentos';
const hex = (codePoint) => codePoint.toString(16).toUpperCase().padStart(4, '0');

// Asserts that `reason`'s codes say what `message`, rfc's sentence, says, and
// that its kind goes with `status`, rfc's exit status.
function assertReasonSays(reason, message, status, where) {
  const statusOfKind = { refused, failed: noKey, date: usage };
  assert.equal(status, statusOfKind[reason.kind], where);
  if (reason.kind === 'date') {
    assert.ok(message.includes(said.date[reason.dateError]) !== (reason.spreadsheetDay !== null), where);
    if (reason.spreadsheetDay !== null) {
      const [y, m, d] = reason.spreadsheetDay.split('-');
      assert.ok(message.includes(`una hoja de cálculo guarda para el ${d}/${m}/${y}`), where);
    }
    return;
  }
  const piece = said[reason.kind][reason.test ?? reason.failure];
  assert.ok(message.startsWith(piece) || message.includes(`: ${piece}`), `${where}: ${message}`);
  if (reason.kind !== 'failed') return;
  assert.equal(reason.foldingHelps, message.endsWith(foldHint), where);
  const { character } = reason;
  assert.equal(character !== null, reason.failure === 'uncodedCharacter', where);
  if (character === null) return;
  assert.equal(character.text.codePointAt(0), character.codePoint, where);
  assert.equal(character.text.length, character.codePoint > 0xffff ? 2 : 1, where);
  assert.ok(new RegExp(`el carácter U\\+${hex(character.codePoint)}( «${character.text.replace(/[\\^$.*+?()[\]{}|]/g, '\\$&')}»)? ` +
    `en la posición ${character.position} ${said.part[character.part]} no tiene valor`).test(message), `${where}: ${message}`);
}

test('exitStatus names the exit statuses of rfc', () => {
  assert.deepEqual({ ...rfc.exitStatus },
    { ok: 0, noKey: 1, unreadableRows: 1, usage: 2, refused: 3, ioError: 4, keyDoubtful: 5, keyWrong: 6 });
  assert.ok(Object.isFrozen(rfc.exitStatus));
  assert.equal(native(['key', 'a']).status, rfc.exitStatus.usage);
});

test('key gives what rfc key gives, masked as rfc key --mask, with its reason in codes', () => {
  const kinds = new Set();
  for (const person of people) {
    const { reason, ...got } = rfc.key(personOf(person));
    const plain = native(['key', ...personArgs(person)]);
    const masked = native(['key', '--mask', ...personArgs(person)]);
    const expected = {
      outcome: outcomeOfStatus[plain.status] ?? 'none',
      key: plain.out.trim(),
      masked: plain.status === ok ? masked.out.replace(/\n$/, '') : '    -      -   ',
      message: plain.status === ok ? '' : firstLine(plain.err),
      exitStatus: plain.status,
    };
    assert.deepEqual(got, expected, JSON.stringify(person));
    assert.equal(reason === null, plain.status === ok, JSON.stringify(person));
    if (reason === null) continue;
    assertReasonSays(reason, got.message, plain.status, JSON.stringify(person));
    kinds.add(`${reason.kind} ${reason.test ?? reason.failure ?? reason.dateError} ${reason.character?.part ?? ''}`);
  }
  // The table reaches every code it can: a sum too small or too large takes names no one has.
  assert.deepEqual([...kinds].sort(), ['date noSuchDay ', 'date notADate ', 'date outOfRange ', 'date february29Of1900 ',
    'date monthFirst ', 'date twoDigitYear ', 'failed uncodedCharacter materno', 'failed uncodedCharacter nombre',
    'failed uncodedCharacter paterno', 'refused givenNamesBlank ', 'refused surnamesBlank '].sort());
});

// The exit status of rfc check for each verdict that compares.
const statusOfVerdict = {
  valid: ok, agrees: ok, checkFails: keyDoubtful, homoclaveDiffers: keyDoubtful, disagrees: keyWrong, notAKey: keyWrong,
};

test('check gives the line and status of rfc check, alone and against a person, with its verdict in codes', () => {
  const keys = ['PELJ8001152A0', 'pelj-800115-2a0', 'PELJ8001152A1', 'PELJ8001153A0', 'PELJ8002302A0',
    'LWA000101QM3', 'XAXX010101000', 'PÉLJ8001152A0', '', 'x'.repeat(200), 'PELJ\n800115', 'PELJ800115',
    'SAT970701NN3', 'XEXX010101000', 'PELJ800115XY8', 'PELJ8001162A0', 'PEL18001152A0', 'PELJ8001152O0',
    'PELJ8001152A-', 'PELJ80011A2A0', 'GOPJ800105T72', 'NAPA800115'];
  const persons = [null, ...people.slice(0, 4), people[14], ...people.filter(([, , , fecha, fold]) =>
    ['29235', 'ayer', '1980-01-05'].includes(fecha) || (fold && fecha === '1980-01-15'))];
  const verdicts = new Set();
  for (const clave of keys) {
    for (const person of persons) {
      const where = `${clave} ${JSON.stringify(person)}`;
      const { verdict, notAKey, reason, ...got } = rfc.check(clave, person && personOf(person));
      const run = native(['check', ...(person ? personArgs(person).slice(0, -5) : []), '--', clave,
        ...(person ? person.slice(0, 4) : [])]);
      const text = run.out.length ? Buffer.from(run.out, 'latin1').toString().replace(/\n$/, '') : firstLine(run.err);
      assert.deepEqual(got, { status: run.status, text }, where);
      if (verdict === null) {
        assertReasonSays(reason, text, run.status, where);
        continue;
      }
      verdicts.add(verdict);
      const finding = text.slice(text.indexOf(': ') + 2);
      assert.match(finding, said.verdict[verdict], where);
      if (verdict === 'noComputedKey') assertReasonSays(reason, finding, run.status, where);
      else assert.equal(reason, null, where);
      if (verdict !== 'noComputedKey') assert.equal(run.status, statusOfVerdict[verdict], where);
      if (verdict === 'notAKey') assert.ok(finding.includes(said.notAKey[notAKey.fault](notAKey)), `${where}: ${finding}`);
      if (notAKey === null) assert.ok(!finding.startsWith('no es una clave'), where);
    }
  }
  assert.deepEqual([...verdicts].sort(), Object.keys(said.verdict).sort());
});

test('upperCase is the window\'s typing rule, the length kept', () => {
  const typed = [['perez', 'PEREZ'], ['muñoz', 'MUÑOZ'], ['pérez güell', 'PÉREZ GÜELL'], ['12 -_', '12 -_'],
    ['straße', 'STRAßE'], ['\ud800a', '\ud800A'], ['ǆ', 'Ǆ'], ['', '']];
  for (const [text, upper] of typed) assert.equal(rfc.upperCase(text), upper, text);
});

test('texts: the window\'s, and the picker\'s limits as <input type="date"> takes them', () => {
  const { caption, calcular, dateMin, dateMax, dateStart } = rfc.texts;
  assert.deepEqual([caption, calcular, dateMin, dateMax, dateStart],
    ['Generación de RFC', '&Calcular', '1601-01-01', '9999-12-31', '1980-01-01']);
  assert.equal(`rfc ${rfc.version}\n`, native(['--version']).out);
});

// The batch with `slice` bytes at most per read, as a browser's file slices come.
// What each code of a row's reason says, at the start of the row's text.
const reasonWords = {
  badRecord: /^fila ilegible: (fila demasiado larga|comilla|texto después)/,
  fieldCount: /^fila ilegible: (se esperaban|hay \d+ campos)/,
  invalidText: /^fila ilegible: el campo \d+ no es /,
  noDate: /^fila ilegible: falta la fecha$/,
  badDate: /^fila ilegible: la fecha /,
  noCurp: /^fila ilegible: falta la CURP$/,
  badCurp: /^fila ilegible: la CURP /,
  halfCharacter: /^fila ilegible: el archivo termina en medio carácter UTF-16/,
  errorValue: /^fila ilegible: la celda de la columna [A-Z]+ tiene un valor de error$/,
  formulaWithoutValue: /^fila ilegible: la celda de la columna [A-Z]+ tiene una fórmula /,
  missingString: /^fila ilegible: la celda de la columna [A-Z]+ remite a un texto /,
};

// The rows a batch could not read and its counts, against what its messages
// say: each row's value comes just before its line, and says what it says;
// the counts add up to the summary's rows, the unreadable ones to the rows
// told.
function assertProblemsAsSaid(problems, counts, messages, where) {
  // A workbook's rows are named by their number in the sheet.
  const told = messages.filter((line) => /(^|: )(línea|fila) \d+: /.test(line));
  assert.equal(problems.length, told.length, where);
  problems.forEach(({ line, reason, text }, i) => {
    assert.ok(told[i].endsWith(`línea ${line}: ${text}`) || told[i].endsWith(`fila ${line}: ${text}`),
      `${where}: ${told[i]}`);
    assert.match(text, reasonWords[reason.code], `${where}: ${JSON.stringify(reason)}`);
    if (reason.code === 'invalidText') assert.ok(text.includes(`el campo ${reason.column} `), where);
  });
  if (counts === null) return;
  const summary = /(\d+) filas?: /.exec(messages.at(-1));
  assert.equal(counts.rows, Number(summary[1]), where);
  const all = [...Object.values(counts.outcomes), ...Object.values(counts.checks)];
  assert.equal(all.reduce((a, b) => a + b, 0), counts.rows, where);
  assert.equal(counts.outcomes.unreadable, problems.length, where);
}

function engineBatch(bytes, options, slice = Infinity) {
  const parts = [];
  const messages = [];
  const problems = [];
  let at = 0;
  const { exitStatus, counts } = rfc.batch({
    read(maxBytes) {
      const end = Math.min(bytes.length, at + Math.min(maxBytes, slice));
      const chunk = bytes.subarray(at, end);
      at = end;
      return chunk;
    },
    write: (view) => parts.push(Buffer.from(view)),
    message: (line) => messages.push(line),
    problem: (row) => problems.push(row),
  }, options);
  assertProblemsAsSaid(problems, counts, messages, JSON.stringify(options));
  return { status: exitStatus, out: Buffer.concat(parts).toString('latin1'), err: messages.map((line) => `${line}\n`).join('') };
}

const optionArgs = (options) => [
  ...(options.foldAccents ? ['--fold-accents'] : []),
  ...(options.fillEmpty ? ['--fill-empty'] : []),
  ...['delimiter', 'encoding', 'columns', 'sheet'].flatMap((name) => (name in options ? [`--${name}`, options[name]] : [])),
];

function assertSameBatch(path, options, slice) {
  const bytes = readFileSync(path);
  const named = native(['batch', ...optionArgs(options), '--', basename(path)], { cwd: dirname(path) });
  assert.deepEqual(engineBatch(bytes, { ...options, name: basename(path) }, slice), named, `${path} ${JSON.stringify(options)}`);
  const piped = native(['batch', ...optionArgs(options)], { input: bytes });
  assert.deepEqual(engineBatch(bytes, options, slice), piped, `${path} from standard input`);
}

// Rows that use what the reader knows: quotes, separators inside quotes,
// accents, Ñ, blank lines, a refused person, an impossible date.
const rows = [
  ['paterno', 'materno', 'nombre', 'fecha'],
  ['Pérez', 'López', 'Juan', '15/01/1980'],
  ['"Muñoz, de la"', 'Ñuñez', 'María José', '1975-12-31'],
  ['"Say ""Hi"""', 'Wu', 'A', '2000-01-01'],
  [],
  ['Garza', '', '', '1980-01-01'],
  ['Luna', 'Sol', 'Ana', '1980-02-30'],
  ['Güell', 'Peña', 'Íñigo', '1990-06-30 00:00:00'],
];

const encoders = {
  'utf-8': (text) => Buffer.from(text, 'utf8'),
  'utf-8-bom': (text) => Buffer.from(`\ufeff${text}`, 'utf8'),
  'utf-16le-bom': (text) => Buffer.from(`\ufeff${text}`, 'utf16le'),
  'utf-16be-bom': (text) => Buffer.from(`\ufeff${text}`, 'utf16le').swap16(),
  'windows-1252': (text) => Buffer.from(text, 'latin1'),
};

test('batch writes the bytes and messages of rfc batch, in every encoding, separator and line end', () => {
  const dir = mkdtempSync(join(tmpdir(), 'clave-rfc-'));
  for (const [encoding, encode] of Object.entries(encoders)) {
    for (const [endName, end] of Object.entries({ lf: '\n', crlf: '\r\n', cr: '\r' })) {
      for (const separator of [',', ';', '\t']) {
        const text = rows.map((row) => row.join(separator) + end).join('');
        const path = join(dir, `${encoding}-${endName}-${separator === '\t' ? 'tab' : separator}.csv`);
        writeFileSync(path, encode(text));
        assertSameBatch(path, { foldAccents: separator === ';' }, separator === '\t' ? 7 : Infinity);
      }
    }
  }
});

test('batch over the office samples, and with every option, right or wrong, as rfc batch', () => {
  const data = join(root, 'tests/data');
  const samples = readdirSync(data).filter((name) => !name.endsWith('.keys')).map((name) => join(data, name));
  const optionSets = [{}, { foldAccents: true }, { delimiter: ';' }, { encoding: 'windows-1252' },
    { encoding: 'utf-16' }, { columns: 'paterno=1,materno=2,nombre=3,fecha=4' }, { delimiter: 'x' },
    { encoding: 'latin-9' }, { columns: '' }, { columns: 'rfc=9' },
    { sheet: '2', fillEmpty: true }, { sheet: 'Empleados' }, { sheet: 'nada' }, { sheet: '' }];
  for (const path of samples) {
    for (const options of optionSets) assertSameBatch(path, options, 4096);
  }
});

test('batch over a file that ends in the middle of a row, over no bytes at all, and over files that are no text', () => {
  const dir = mkdtempSync(join(tmpdir(), 'clave-rfc-'));
  const zipEntry = (name) => Buffer.concat([Buffer.from('PK\x03\x04\x14\0\0\0\x08\0', 'latin1'), Buffer.alloc(16),
    Buffer.from([name.length, 0, 0, 0]), Buffer.from(name)]);
  for (const [name, bytes] of [['cut.csv', Buffer.from('perez,lopez,juan,1980-01-15\nperez,"lo')],
    ['empty.csv', Buffer.alloc(0)], ['odd.txt', Buffer.from('\ufeffa,b,c,1980-01-01\n', 'utf16le').subarray(0, 39)],
    ['book.xlsx', Buffer.concat([zipEntry('[Content_Types].xml'), zipEntry('xl/workbook.xml')])],
    ['table.xls', Buffer.from('<html><body><table><tr><td>paterno</td>')],
    ['pk.csv', Buffer.from('PK,LOPEZ,JUAN,1980-01-15\n')]]) {
    writeFileSync(join(dir, name), bytes);
    assertSameBatch(join(dir, name), {});
  }
});

// Workbooks as openpyxl and LibreOffice write them (several sheets, title
// rows, dates with styles, held keys), made by tests/workbooks/make_workbooks.py
// into the folder WORKBOOKS names, with cases.json saying the sheet of people.
const workbooks = process.env.WORKBOOKS;
test('batch over workbooks of openpyxl and LibreOffice gives rfc batch\'s bytes for every sheet, lists the sheets and tells its progress',
  { skip: !workbooks && 'WORKBOOKS names no folder of workbooks' }, () => {
    const cases = JSON.parse(readFileSync(join(workbooks, 'cases.json'), 'utf8'));
    assert.ok(cases.length >= 5);
    for (const { file, sheet, args = [] } of cases) {
      const path = join(workbooks, file);
      const options = args.includes('--fill-empty') ? { fillEmpty: true } : {};
      // The sheets as rfc batch names them when asked for one the workbook lacks.
      const refused = native(['batch', '--sheet', 'ninguna hoja', path]);
      const names = [...refused.err.matchAll(/\d+ «([^»]*)»/g)].map((found) => found[1]);
      assert.ok(names.includes(sheet), `${file}: ${refused.err}`);
      // Read at offsets, as a file can be: the same bytes as rfc batch's,
      // and only the first bytes through read().
      const bytes = readFileSync(path);
      const listed = [];
      const progress = [];
      const parts = [];
      let at = 0;
      const result = rfc.batch({
        size: bytes.length,
        read(maxBytes) {
          const chunk = bytes.subarray(at, at + maxBytes);
          at += chunk.length;
          return chunk;
        },
        readAt: (offset, length) => bytes.subarray(offset, offset + length),
        write: (view) => parts.push(Buffer.from(view)),
        sheets: (told) => listed.push(told),
        progress: (told) => progress.push(told),
      }, options);
      const expected = native(['batch', ...optionArgs(options), path]);
      assert.equal(Buffer.concat(parts).toString('latin1'), expected.out, file);
      assert.equal(result.exitStatus, expected.status, file);
      if (bytes.length > 1 << 20) assert.ok(at < bytes.length, `${file}: read() gave all ${at} bytes`);
      assert.deepEqual([result.sheets, result.sheet], [names, sheet], file);
      assert.deepEqual(listed, [{ sheets: names, sheet }], file);
      // Told every few thousand rows, forward only.
      progress.forEach(({ done, total }, i) =>
        assert.ok(done > (progress[i - 1]?.done ?? 0) && done <= total, `${file}: ${done} of ${total}`));
      if (file === 'many.xlsx') assert.ok(progress.length >= 2, `${file}: progress told ${progress.length} times`);
      // The proposed sheet, and every sheet chosen by name, as rfc batch --sheet NAME.
      assertSameBatch(path, options, 1 << 16);
      for (const name of names) assertSameBatch(path, { ...options, sheet: name });
    }
  });

test('a workbook whose readAt fails or lies is a read error, told as such, and a size that lies is harmless', () => {
  const bytes = readFileSync(join(root, 'tests/data/nomina.xlsx'));
  const expected = native(['batch', join(root, 'tests/data/nomina.xlsx')]);
  const failure = new Error('disk gone');
  const cases = [
    [{ readAt: () => { throw failure; } }, 'ioError', failure],
    [{ readAt: () => new Uint8Array(3) }, 'ioError', undefined],
    [{ readAt: (offset, length) => bytes.subarray(offset, offset + length), size: bytes.length + 10 }, 'ioError', undefined],
    [{ size: 1.5e9 }, 'asRfc', undefined],
    [{ size: 4294967295 }, 'asRfc', undefined],
    [{ size: -4 }, 'asRfc', undefined],
    [{ size: 'many' }, 'asRfc', undefined],
    [{ size: 3 }, 'asRfc', undefined],
  ];
  for (const [extra, status, error] of cases) {
    const parts = [];
    const messages = [];
    let at = 0;
    const result = rfc.batch({
      size: bytes.length,
      read(maxBytes) {
        const chunk = bytes.subarray(at, at + maxBytes);
        at += chunk.length;
        return chunk;
      },
      write: (view) => parts.push(Buffer.from(view)),
      message: (line) => messages.push(line),
      ...extra,
    }, {});
    const where = JSON.stringify(Object.keys(extra)) + String(extra.size);
    assert.equal(result.exitStatus, status === 'asRfc' ? expected.status : rfc.exitStatus[status], where);
    assert.equal(result.error, error, where);
    if (status === 'asRfc') assert.equal(Buffer.concat(parts).toString('latin1'), expected.out, where);
    else assert.match(messages.join('\n'), /no se pudo leer el libro/, where);
  }
});

test('a callback that throws fails the batch as a read or write error, and is handed back', () => {
  const failure = new Error('disk gone');
  for (const io of [
    { read() { throw failure; }, write() {} },
    { read: (() => { let given = false; return () => (given ? new Uint8Array(0) : ((given = true), Buffer.from('a,b,c,1980-01-01\n'))); })(),
      write() { throw failure; } },
  ]) {
    const messages = [];
    const result = rfc.batch({ ...io, message: (line) => messages.push(line) });
    assert.equal(result.exitStatus, 4);
    assert.equal(result.error, failure);
    assert.match(messages.at(-1), /^rfc: no se pudo (leer|escribir)/);
  }
});

// The engine's binary travels deflated: under Node zlib inflates it, in a
// browser or a worker DecompressionStream does. engine.js, run as a worker
// sees it (no process, no require), takes the second path, and its engine
// must answer as this one, which answers as rfc.
test('engine.js run as in a worker inflates its binary with DecompressionStream and answers as the module', async () => {
  const formats = [];
  const context = vm.createContext({
    atob, Blob, Response, WebAssembly, TextEncoder, TextDecoder, console, setTimeout, clearTimeout,
    location: { href: 'blob:clave-rfc-worker' },
    importScripts() {},
    DecompressionStream: class extends DecompressionStream {
      constructor(format) {
        super(format);
        formats.push(format);
      }
    },
  });
  context.self = context;
  vm.runInContext(readFileSync(join(dirname(modulePath), 'engine.js'), 'utf8'), context);
  const worker = await context.createClaveRfc();
  assert.deepEqual(formats, ['deflate']);
  assert.deepEqual(WebAssembly.Module.exports(worker.wasmModule), WebAssembly.Module.exports(rfc.wasmModule));
  assert.equal(worker.version, rfc.version);
  assert.deepEqual(structuredClone(worker.exitStatus), rfc.exitStatus);
  for (const person of people) {
    // Copied into this realm: the worker's objects have the context's prototypes.
    assert.deepEqual(structuredClone(worker.key(personOf(person))), rfc.key(personOf(person)), person.join(' '));
    assert.deepEqual(structuredClone(worker.check('PELJ8001152A0', personOf(person))),
      rfc.check('PELJ8001152A0', personOf(person)));
  }
});

test('a binary of another build is refused, and a batch run inside a batch callback leaves the outer one whole', async () => {
  // A module that imports env.nope, which the engine's loader does not give.
  const foreign = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 4, 1, 96, 0, 0, 2, 12, 1, 3, 101, 110, 118, 4, 110, 111, 112, 101, 0, 0]);
  await assert.rejects(createClaveRfc({ wasmBinary: foreign }), WebAssembly.LinkError);
  const rows = Buffer.from('perez,lopez,juan,1980-01-15\n'.repeat(3));
  const once = () => { let given = false; return () => (given ? new Uint8Array(0) : ((given = true), rows)); };
  const inner = [];
  const outer = [];
  const result = rfc.batch({ read: once(), write: (view) => {
    if (inner.length === 0) rfc.batch({ read: once(), write: (bytes) => inner.push(Buffer.from(bytes)) });
    outer.push(Buffer.from(view));
  } });
  assert.equal(result.exitStatus, rfc.exitStatus.ok);
  assert.equal(result.counts.rows, 3);
  assert.equal(result.counts.outcomes.key, 3);
  assert.equal(Buffer.concat(outer).toString(), Buffer.concat(inner).toString());
  assert.equal(Buffer.concat(outer).toString(), native(['batch'], { input: rows }).out);
});
