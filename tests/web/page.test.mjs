// clave-rfc.html in headless Chromium or Firefox, used as a person uses it:
// typing, pasting and composing names, keys computed and checked, files
// converted and downloaded. Every answer is compared with the native `rfc` on
// the same input.
//
//   node tests/web/page.test.mjs --page build-web/clave-rfc.html --rfc build/cli/rfc \
//       [--screenshots build-web/screens] [--browser chromium|firefox] [--workbooks DIR]
//
// DIR holds the workbooks tests/workbooks/make_workbooks.py makes, and its cases.json.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, describe, it } from 'node:test';
import { parseArgs } from 'node:util';
import { allowDownloads, launch, openPage } from './browser.mjs';

const { values: args } = parseArgs({
    options: {
        page: { type: 'string' },
        rfc: { type: 'string' },
        screenshots: { type: 'string' },
        browser: { type: 'string', default: 'chromium' },
        workbooks: { type: 'string' },
    },
});
// What only Chromium's own protocol can do (input methods, inserted text) is
// left out in Firefox.
const onlyInChromium = args.browser !== 'chromium' && 'needs the Chrome DevTools Protocol';
assert.ok(args.page && args.rfc, 'usage: page.test.mjs --page PAGE --rfc RFC [--screenshots DIR] [--browser chromium|firefox]');
const pagePath = resolve(args.page);
const samples = join(dirname(fileURLToPath(import.meta.url)), '..', 'data');
const scratch = mkdtempSync(join(tmpdir(), 'clave-rfc-page-'));

function rfc(...argv) {
    const run = spawnSync(args.rfc, argv, { maxBuffer: 1 << 30 });
    return { status: run.status, stdout: run.stdout, stderr: run.stderr.toString('utf8') };
}
// What `rfc` says on standard error, less its "rfc: " before each line.
const stderrLines = (text) => text.split('\n').filter(Boolean).map((line) => line.replace(/^rfc: /, ''));
const withoutRfc = (line) => line.replace(/^rfc: /, '');
// The page names its controls where the command line names its options;
// read back in the command line's words, its messages are the command line's.
const checkBox = '«Quitar acentos y diéresis»';
const asOnCommandLine = (text) => {
    assert.ok(!/--(fold-accents|columns|delimiter|encoding)/.test(text), `the page names its controls: ${text}`);
    return text
        .replaceAll(`; marque ${checkBox} y se quitan los acentos`, '; con --fold-accents se quitan los acentos')
        .replaceAll(`: marque ${checkBox}`, ': vea --fold-accents')
        .replaceAll('elija Windows-1252 en «Codificación»', 'léalo con --encoding windows-1252')
        .replaceAll('«Columnas»', '--columns')
        .replaceAll('«Otro separador»', '--delimiter')
        .replaceAll('«Codificación» espera', '--encoding espera')
        .replaceAll('«Codificación» no se aplica', '--encoding no se aplica');
};
// The command line's pointer to its help, which the page, with its labelled
// controls, leaves out.
const helpHint = 'Pruebe «rfc --help» para más información.';

let browser;
let download;
before(async () => {
    browser = await launch(args.browser);
    download = await allowDownloads(browser, args.browser);
});
after(() => browser?.close());

// A state of the page, at 1024 and at 320 px, for a person to look at; at
// 320 px nothing may scroll sideways.
async function shoot(page, name) {
    const width = page.viewport().width;
    for (const shown of [1024, 320]) {
        await page.setViewport({ width: shown, height: 900 });
        const scroll = await page.evaluate(() => document.documentElement.scrollWidth);
        assert.ok(scroll <= shown, `${name}: scrollWidth ${scroll} at ${shown} px`);
        if (!args.screenshots) continue;
        mkdirSync(args.screenshots, { recursive: true });
        await page.screenshot({ path: join(args.screenshots, `${name}-${shown}.png`), fullPage: true });
    }
    await page.setViewport({ width, height: 900 });
}

const value = (page, id) => page.$eval(`#${id}`, (element) => element.value);
const text = (page, id) => page.$eval(`#${id}`, (element) => element.textContent);
const focused = (page) => page.evaluate(() => document.activeElement?.id ?? '');

// Types a date as a person does in the picker, its fields in the order of the
// browser's language (month, day, year in the only one Debian's Chromium has).
async function typeDate(page, iso) {
    const [year, month, day] = iso.split('-');
    const order = await page.evaluate(() =>
        new Intl.DateTimeFormat(navigator.language, { year: 'numeric', month: '2-digit', day: '2-digit' })
            .formatToParts(new Date(2000, 0, 2))
            .map((part) => part.type)
            .filter((type) => type !== 'literal'),
    );
    await page.focus('#DtP');
    await page.keyboard.type(order.map((type) => ({ year, month, day })[type]).join(''));
}

async function fillPerson(page, { paterno, materno, nombre, fecha }) {
    for (const [id, name] of [['Txt0', paterno], ['Txt1', materno], ['Txt2', nombre]]) {
        await page.focus(`#${id}`);
        await page.keyboard.type(name);
    }
    await typeDate(page, fecha);
}

describe('loading', () => {
    it('shows the window from disk with no policy violation or error, and fits 320 px', async () => {
        for (const width of [1024, 320]) {
            const page = await openPage(browser, pagePath, width);
            assert.deepEqual(page.problems, []);
            assert.equal(await focused(page), 'Txt0');
            assert.equal(await value(page, 'DtP'), '1980-01-01');
            assert.equal(await value(page, 'TxtRFC'), '');
            const scroll = await page.evaluate(() => document.documentElement.scrollWidth);
            assert.ok(scroll <= width, `scrollWidth ${scroll} at ${width} px`);
            if (width === 1024) await shoot(page, 'empty');
            await page.close();
        }
    });

    it('labels every field and links the web address as the window shows it', async () => {
        const page = await openPage(browser, pagePath);
        const unlabelled = await page.$$eval('input, select', (fields) =>
            fields.filter((field) => field.labels.length === 0).map((field) => field.id),
        );
        assert.deepEqual(unlabelled, []);
        const link = await page.$eval('#lblweb', (a) => [a.textContent, a.href, a.target, a.rel]);
        assert.equal(link[1], `https://${link[0]}/`);
        assert.deepEqual(link.slice(2), ['_blank', 'noopener noreferrer']);
        await page.close();
    });

    it('goes through the window order with Tab alone', async () => {
        const page = await openPage(browser, pagePath);
        const order = [await focused(page)];
        for (let i = 0; i < 16; ++i) {
            await page.keyboard.press('Tab');
            const id = await focused(page);
            if (id !== order.at(-1)) order.push(id);
        }
        assert.deepEqual(order.slice(0, 8), [
            'Txt0', 'Txt1', 'Txt2', 'DtP', 'CmdGen', 'TxtRFC', 'quitarAcentos', 'TxtClave',
        ]);
        await page.close();
    });
});

describe('the key', () => {
    // Typed as a person types; the box shows the upper-cased text, the key box
    // what `rfc key --mask` writes, or the blank mask and what `rfc key` says.
    const persons = [
        { paterno: 'perez', materno: 'lopez', nombre: 'juan', fecha: '1980-01-15', shown: 'PEREZ' },
        { paterno: 'PEREZ', materno: 'LOPEZ', nombre: 'JUAN', fecha: '1980-01-15', shown: 'PEREZ' },
        { paterno: 'li', materno: 'wu', nombre: 'a', fecha: '2000-01-01', shown: 'LI' },
        { paterno: 'muñoz', materno: 'de la garza', nombre: 'maria jose', fecha: '1975-12-31', shown: 'MUÑOZ' },
        { paterno: 'pérez', materno: 'lopez', nombre: 'juan', fecha: '1980-01-15', shown: 'PÉREZ' },
        { paterno: 'pérez', materno: 'lopez', nombre: 'juan', fecha: '1980-01-15', shown: 'PÉREZ', fold: true },
        { paterno: 'perez', materno: 'lopez', nombre: '   ', fecha: '1980-01-15', shown: 'PEREZ' },
        { paterno: "o'brien", materno: '', nombre: 'sean', fecha: '1999-02-28', shown: "O'BRIEN" },
        { paterno: 'gomez-12', materno: 'x', nombre: 'ana', fecha: '1601-01-01', shown: 'GOMEZ-12' },
        { paterno: '', materno: 'ruiz', nombre: 'eva', fecha: '9999-12-31', shown: '' },
    ];
    for (const person of persons) {
        const { paterno, materno, nombre, fecha, fold } = person;
        it(`${paterno} ${materno} ${nombre} ${fecha}${fold ? ' (sin acentos)' : ''}`, async () => {
            const page = await openPage(browser, pagePath);
            await fillPerson(page, person);
            if (fold) await page.click('#quitarAcentos');
            await page.click('#CmdGen');
            const native = rfc('key', '--mask', ...(fold ? ['--fold-accents'] : []), paterno, materno, nombre, fecha);
            assert.equal(await value(page, 'Txt0'), person.shown);
            assert.equal(await focused(page), 'TxtRFC');
            const masked = await value(page, 'TxtRFC');
            const message = await text(page, 'mensaje');
            if (native.status === 0) {
                assert.equal(masked, native.stdout.toString('utf8').replace(/\n$/, ''));
                assert.equal(message, '');
            } else {
                assert.equal(masked, '    -      -   ');
                assert.ok(message && native.stderr.includes(asOnCommandLine(message)), `${message} / ${native.stderr}`);
                if (native.stderr.includes('--fold-accents')) {
                    const label = await page.$eval('label[for="quitarAcentos"]', (l) => l.textContent);
                    assert.ok(message.includes(`marque «${label.split(' antes de')[0]}»`), `${message} / ${label}`);
                }
            }
            if (paterno === 'perez' && nombre === 'juan') await shoot(page, 'key');
            if (paterno === 'pérez' && !fold) await shoot(page, 'no-key');
            await page.close();
        });
    }

    it('calculates by Enter in any field and by Alt+C, and keeps the old key while editing', async () => {
        const page = await openPage(browser, pagePath);
        await fillPerson(page, persons[0]);
        for (const [field, press] of [['Txt0', ['Enter']], ['DtP', ['Enter']], ['Txt2', ['Alt', 'KeyC']]]) {
            await page.evaluate(() => (document.getElementById('TxtRFC').value = ''));
            await page.focus(`#${field}`);
            for (const key of press) await page.keyboard.down(key);
            for (const key of press.reverse()) await page.keyboard.up(key);
            assert.equal(await value(page, 'TxtRFC'), 'PELJ-800115-2A0', `${field} ${press}`);
            assert.equal(await focused(page), 'TxtRFC');
        }
        // The picker always holds a date: emptied, it goes back to the last one.
        await page.focus('#DtP');
        await page.keyboard.press('Backspace');
        await page.keyboard.press('Enter');
        assert.equal(await value(page, 'DtP'), '1980-01-15');
        assert.equal(await value(page, 'TxtRFC'), 'PELJ-800115-2A0');
        await page.click('#Txt2');
        await page.keyboard.type('pedro');
        assert.equal(await value(page, 'Txt2'), 'PEDRO', 'entering a box selects its whole text');
        assert.equal(await value(page, 'TxtRFC'), 'PELJ-800115-2A0');
        await page.focus('#TxtRFC');
        await page.keyboard.type('abc');
        assert.equal(await value(page, 'TxtRFC'), 'PELJ-800115-2A0');
        await page.close();
    });

    // However text arrives in a box: what the box then shows, and its caret.
    const entries = [
        { how: 'typed', steps: [['type', 'muñoz 12 -ü']], shown: 'MUÑOZ 12 -Ü', caret: 11 },
        { how: 'typed in the middle', steps: [['type', 'ab'], ['press', 'ArrowLeft'], ['type', 'x']], shown: 'AXB', caret: 2 },
        { how: 'inserted text', steps: [['insert', 'lópez']], shown: 'LÓPEZ', caret: 5 },
        { how: 'a dead key', steps: [['compose', '´'], ['commit', 'é']], shown: 'É', caret: 1 },
        { how: 'an input method', steps: [['type', 'a'], ['compose', 'ñ'], ['compose', 'ño'], ['commit', 'ño']], shown: 'AÑO', caret: 3 },
        { how: 'pasted', steps: [['paste', 'lopez']], shown: 'lopez', caret: 5 },
        { how: 'dropped', steps: [['drop', 'lopez']], shown: 'lopez', caret: 5 },
    ];
    for (const { how, steps, shown, caret } of entries) {
        const needsCdp = steps.some(([step]) => ['insert', 'compose', 'commit'].includes(step));
        it(`upper-cases what is typed, not what is pasted: ${how}`, { skip: needsCdp && onlyInChromium }, async () => {
            const page = await openPage(browser, pagePath);
            const cdp = needsCdp ? await page.createCDPSession() : null;
            await page.focus('#Txt1');
            for (const [step, data] of steps) {
                if (step === 'type') await page.keyboard.type(data);
                else if (step === 'press') await page.keyboard.press(data);
                else if (step === 'insert') await cdp.send('Input.insertText', { text: data });
                else if (step === 'compose') {
                    await cdp.send('Input.imeSetComposition', {
                        text: data, selectionStart: data.length, selectionEnd: data.length,
                    });
                } else if (step === 'commit') await cdp.send('Input.insertText', { text: data });
                else {
                    // A paste or a drop, as the browser delivers it: the text goes
                    // in with the input type of its origin.
                    await page.$eval('#Txt1', (box, data, inputType) => {
                        const end = box.selectionEnd;
                        box.setRangeText(data, box.selectionStart, end, 'end');
                        box.dispatchEvent(new InputEvent('input', { inputType, data, bubbles: true }));
                    }, data, step === 'paste' ? 'insertFromPaste' : 'insertFromDrop');
                }
            }
            assert.equal(await value(page, 'Txt1'), shown);
            assert.equal(await page.$eval('#Txt1', (box) => box.selectionStart), caret);
            await page.close();
        });
    }
});

describe('checking a key', () => {
    const person = { paterno: 'perez', materno: 'lopez', nombre: 'juan', fecha: '1980-01-15' };
    // [key, checked against the person in the form or alone]
    const keys = [
        ['pelj-800115-2a0', false],
        ['PELJ8001152A0', true],
        ['PELJ800115XY8', true],
        ['PELJ800115XY8', false],
        ['PELA800115XY8', true],
        ['XAXX010101000', false],
        ['ABC', false],
        ['', false],
        ['ABC8002302A1', false],
    ];
    for (const [clave, withPerson] of keys) {
        it(`«${clave}»${withPerson ? ' against PEREZ LOPEZ JUAN' : ''}`, async () => {
            const page = await openPage(browser, pagePath);
            if (withPerson) await fillPerson(page, person);
            await page.focus('#TxtClave');
            await page.keyboard.type(clave);
            await page.keyboard.press('Enter');
            const native = withPerson
                ? rfc('check', clave, person.paterno, person.materno, person.nombre, person.fecha)
                : rfc('check', clave);
            assert.equal(asOnCommandLine(await text(page, 'veredicto')), native.stdout.toString('utf8').replace(/\n$/, ''));
            if (clave === 'PELJ800115XY8' && withPerson) await shoot(page, 'checked');
            await page.close();
        });
    }
});

// Waits for the conversion of `path` to end, then compares what the page
// shows and offers with `rfc batch NATIVE... PATH`: the rows not read, in the
// table; the other lines, in the summary; the exit status; and the download,
// byte for byte.
async function assertAsRfcBatch(page, path, native) {
    await page.waitForSelector('#resumen[data-salida]', { timeout: 120000 });
    const expected = rfc('batch', ...native, path);
    const name = path.split('/').at(-1);
    const expectedLines = stderrLines(expected.stderr.replaceAll(path, name)).filter((line) => line !== helpHint);
    // A workbook's rows are named by their number in the sheet.
    const rowLines = expectedLines.filter((line) => /: (línea|fila) \d+: /.test(line));
    const shownRows = await page.$$eval('#problemas tbody tr', (rows) =>
        rows.map((row) => [...row.cells].map((c) => c.textContent)),
    );
    assert.deepEqual(
        shownRows,
        rowLines.slice(0, 100).map((line) => line.match(/: (?:línea|fila) (\d+): (.*)$/).slice(1)),
    );
    const summary = await page.$$eval('#resumen p', (lines) => lines.map((p) => p.textContent));
    assert.deepEqual(summary.map(withoutRfc).map(asOnCommandLine), expectedLines.filter((line) => !rowLines.includes(line)));
    assert.equal(await page.$eval('#resumen', (r) => Number(r.dataset.salida)), expected.status);
    const offered = await page.$eval('#descargar', (a) => !a.hidden);
    assert.equal(offered, expected.stdout.length > 0 || expected.status === 0);
    if (offered) {
        const got = await download(page, '#descargar');
        assert.equal(got.name, name.includes('.') ? name.replace(/(\.[^.]*)$/, '-rfc$1') : `${name}-rfc`);
        assert.ok(got.bytes.equals(expected.stdout), `${name} ${native.join(' ')}: the download differs from rfc batch`);
    }
}

describe('a whole file', () => {
    // People as offices write them, with what makes files hard: accents, Ñ,
    // particles, separators and quotes inside cells, bad dates, empty names.
    const people = [
        ['Pérez', 'López', 'Juan', '15/01/1980'],
        ['Muñoz', 'de la Garza', 'María José', '1975-12-31'],
        ['li', 'wu', 'a', '2000-01-01'],
        ['Gómez, hijo', 'Ruiz', 'Ana "la chica"', '5/1/1980'],
        ['Sánchez', '', 'Eva', '1990-02-30'],
        ['Ortiz', 'Núñez', '   ', '1988-07-04'],
        ['Hernández', 'Müller', 'José', '1963-03-09 00:00:00'],
    ];
    const cell = (text, separator) =>
        /["\r\n]/.test(text) || text.includes(separator) ? `"${text.replaceAll('"', '""')}"` : text;
    function table({ rows = people.length, separator = ',', end = '\n', header = true }) {
        const lines = header ? [['Apellido Paterno', 'Apellido Materno', 'Nombre(s)', 'Fecha de Nacimiento']] : [];
        for (let i = 0; i < rows; ++i) lines.push(people[i % people.length]);
        return lines.map((line) => line.map((c) => cell(c, separator)).join(separator)).join(end) + end;
    }
    const utf16be = (text) => Buffer.from(`\ufeff${text}`, 'utf16le').swap16();
    const encodings = {
        'utf-8': (text) => Buffer.from(text, 'utf8'),
        'utf-8-bom': (text) => Buffer.from(`\ufeff${text}`, 'utf8'),
        'utf-16le': (text) => Buffer.from(`\ufeff${text}`, 'utf16le'),
        'utf-16be': utf16be,
        'windows-1252': (text) => Buffer.from(text, 'latin1'),
    };
    const generated = (name, encoding, shape) => {
        const path = join(scratch, name);
        writeFileSync(path, encodings[encoding](table(shape)));
        return path;
    };
    // The first bytes of a workbook as Excel writes it: its entries' local headers.
    const workbook = (name) => {
        const path = join(scratch, name);
        const entry = (entryName) => Buffer.concat([Buffer.from('PK\x03\x04\x14\0\0\0\x08\0', 'latin1'),
            Buffer.alloc(16), Buffer.from([entryName.length, 0, 0, 0]), Buffer.from(entryName)]);
        writeFileSync(path, Buffer.concat([entry('[Content_Types].xml'), entry('xl/workbook.xml')]));
        return path;
    };

    // The start of a workbook of Excel 97-2003: a compound file's header.
    const excel97 = (name) => {
        const path = join(scratch, name);
        writeFileSync(path, Buffer.concat([Buffer.from('d0cf11e0a1b11ae1', 'hex'), Buffer.alloc(504)]));
        return path;
    };

    // [file, the page's options, the same as `rfc batch` options]
    const files = [
        [join(samples, 'nomina-excel.csv'), { fold: true }, ['--fold-accents']],
        [join(samples, 'trabajadores-unicode.txt'), {}, []],
        [join(samples, 'empleados-rfc.csv'), { fold: true }, ['--fold-accents']],
        [join(samples, 'empleados-rfc.csv'), {}, []],
        [generated('lf.csv', 'utf-8', {}), {}, []],
        [generated('bom-crlf.csv', 'utf-8-bom', { end: '\r\n', separator: ';' }), {}, []],
        [generated('unicode.txt', 'utf-16le', { end: '\r\n', separator: '\t' }), { fold: true }, ['--fold-accents']],
        [generated('be.txt', 'utf-16be', { separator: '|' }), {}, []],
        [generated('mac.csv', 'windows-1252', { end: '\r' }), {}, []],
        [generated('ansi.csv', 'windows-1252', {}), { encoding: 'windows-1252' }, ['--encoding', 'windows-1252']],
        [generated('pipes', 'utf-8', { separator: '|' }), { separator: '|' }, ['--delimiter', '|']],
        [generated('tabs.tsv', 'utf-8', { separator: '\t' }), { separator: 'tab' }, ['--delimiter', 'tab']],
        [generated('spaces.txt', 'utf-8', { separator: ' ' }), { separator: 'otro', other: ' ' }, ['--delimiter', ' ']],
        [generated('bare.csv', 'utf-8', { header: false }), { columns: 'paterno=1,materno=2,nombre=3,fecha=4' },
            ['--columns', 'paterno=1,materno=2,nombre=3,fecha=4']],
        [generated('wrong-columns.csv', 'utf-8', {}), { columns: 'paterno=9' }, ['--columns', 'paterno=9']],
        [generated('bad-columns.csv', 'utf-8', {}), { columns: 'paterno=0' }, ['--columns', 'paterno=0']],
        [generated('bad-separator.csv', 'utf-8', {}), { separator: 'otro', other: 'x' }, ['--delimiter', 'x']],
        // A workbook whose start is no whole workbook: damaged, nothing to
        // download; the encoding chosen is set aside, as for any workbook.
        [workbook('nomina.xlsx'), { encoding: 'windows-1252' }, []],
        // A workbook: the same workbook back, with its keys, as rfc batch writes it.
        [join(samples, 'nomina.xlsx'), { separator: ';' }, []],
        // An old Excel workbook: refused with rfc batch's words and advice.
        [excel97('nomina.xls'), {}, []],
        [generated('big.csv', 'utf-8', { rows: 40000 }), { fold: true }, ['--fold-accents']],
        // As in a browser whose WebAssembly cannot wait for a promise: the worker reads synchronously.
        [generated('big.csv', 'utf-8', { rows: 40000 }), { fold: true, synchronous: true }, ['--fold-accents']],
        [generated('unicode.txt', 'utf-16le', { end: '\r\n', separator: '\t' }), { synchronous: true }, []],
    ];
    // Run first in every script the page makes into a worker.
    const withoutWaiting = () => {
        const make = URL.createObjectURL;
        URL.createObjectURL = (blob) => (blob.type === 'text/javascript'
            ? make(new Blob(['delete WebAssembly.Suspending;\n', blob], { type: blob.type }))
            : make(blob));
    };
    for (const [path, options, native] of files) {
        it(`${path.split('/').at(-1)} ${native.join(' ')}${options.synchronous ? ' (read synchronously)' : ''}`, async () => {
            const page = await openPage(browser, pagePath, 1024, options.synchronous ? withoutWaiting : null);
            if (options.encoding) await page.select('#codificacion', options.encoding);
            if (options.separator) await page.select('#separador', options.separator);
            if (options.other) await page.type('#otroSeparador', options.other);
            if (options.columns) await page.type('#columnas', options.columns);
            if (options.fold) await page.click('#quitarAcentosArchivo');
            await (await page.$('#archivo')).uploadFile(path);
            await assertAsRfcBatch(page, path, native);
            const name = path.split('/').at(-1);
            if (name === 'lf.csv') await shoot(page, 'file');
            if (name === 'nomina.xlsx' && !options.encoding) {
                assert.equal(await page.$eval('#tituloFila', (th) => th.textContent), 'Fila');
                await shoot(page, 'workbook');
            }
            assert.deepEqual(page.problems, []);
            await page.close();
        });
    }
});

// Workbooks as openpyxl and LibreOffice write them: several sheets, title
// rows, dates with styles, held keys, a template's empty key column.
describe('workbooks', { skip: !args.workbooks && 'no --workbooks folder' }, () => {
    const cases = args.workbooks ? JSON.parse(readFileSync(join(args.workbooks, 'cases.json'), 'utf8')) : [];
    const selectedSheet = (page) => page.$eval('#hoja', (hoja) => [[...hoja.options].map((o) => o.value), hoja.value]);
    for (const { file, sheet, args: native = [] } of cases) {
        it(`${file} ${native.join(' ')}, then each of its sheets chosen`, async () => {
            const path = join(args.workbooks, file);
            const page = await openPage(browser, pagePath, 1024);
            if (native.includes('--fill-empty')) await page.click('#llenarVacias');
            await (await page.$('#archivo')).uploadFile(path);
            await assertAsRfcBatch(page, path, native);
            // The sheets as rfc batch lists them when asked for one the workbook lacks.
            const names = [...rfc('batch', '--sheet', 'ninguna hoja', path).stderr.matchAll(/\d+ «([^»]*)»/g)]
                .map((found) => found[1]);
            assert.deepEqual(await selectedSheet(page), [names, sheet]);
            assert.deepEqual(await page.$$eval('#codificacion, #separador', (s) => s.map((e) => e.disabled)), [true, true]);
            for (const other of names.filter((name) => name !== sheet)) {
                await page.select('#hoja', other);
                await assertAsRfcBatch(page, path, [...native, '--sheet', other]);
                assert.deepEqual(await selectedSheet(page), [names, other]);
            }
            if (file === 'office.xlsx') await shoot(page, 'workbook-sheets');
            assert.deepEqual(page.problems, []);
            await page.close();
        });
    }
});
