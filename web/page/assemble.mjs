// Writes the one self-contained page, clave-rfc.html, from page.html: the
// style, the engine's script with its WebAssembly, the page's and the
// worker's scripts and the window's images go inside it, and the window's texts are asked of the engine itself and written in, so that
// the first paint already has its labels. The Content-Security-Policy lists
// the hashes of the inline script and style that run, and nothing may connect.
//
//   node web/page/assemble.mjs OUT_DIR
//
// reads OUT_DIR/engine.js (the engine as a classic script, its WebAssembly
// inside) and OUT_DIR/clave-rfc.mjs (the same engine for Node, asked for the
// texts) and writes OUT_DIR/clave-rfc.html.
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const images = join(here, '..', '..', 'window', 'images');

const outDir = process.argv[2];
if (!outDir) throw new Error('usage: node web/page/assemble.mjs OUT_DIR');

const read = (path) => readFileSync(path, 'utf8');
const dataUrl = (type, file) => `data:${type};base64,${readFileSync(join(images, file)).toString('base64')}`;
const sha256 = (text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;
const escapeHtml = (text) =>
    String(text).replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c]);

// Text inside <script> or <style> ends at the first "</script" or "</style";
// "<!--" and "<script" would change how the rest is parsed. None may appear.
function rawText(name, text) {
    if (/<\/script|<\/style|<!--|<script/i.test(text)) {
        throw new Error(`assemble.mjs: ${name} holds text that would end its element early`);
    }
    return text;
}

// The window's texts, from the engine as the module gives it to Node.
const { default: createClaveRfc } = await import(pathToFileURL(join(outDir, 'clave-rfc.mjs')).href);
const rfc = await createClaveRfc();
const { texts } = rfc;

// "&Calcular": the letter after "&" is the access key, shown underlined.
const accessAt = texts.calcular.indexOf('&');
const calcularKey = texts.calcular[accessAt + 1].toLowerCase();
const calcularHtml =
    escapeHtml(texts.calcular.slice(0, accessAt)) +
    `<u>${escapeHtml(texts.calcular[accessAt + 1])}</u>` +
    escapeHtml(texts.calcular.slice(accessAt + 2));

// The scripts go in minified by Debian's terser: about half as much to
// download once compressed. The engine's first line, its name and version, stays.
const minified = (text) =>
    execFileSync('terser', ['--compress', '--mangle', '--comments', '/^ Clave RFC/'], {
        input: text,
        encoding: 'utf8',
        maxBuffer: 1 << 26,
        env: { ...process.env, NODE_PATH: process.env.NODE_PATH ?? '/usr/share/nodejs' },
    });

const style = rawText('page.css', read(join(here, 'page.css')));
const engineJs = rawText('the engine', minified(read(join(outDir, 'engine.js'))));
const pageJs = rawText('page.js', minified(read(join(here, 'page.js'))));
const workerJs = rawText('worker.js', minified(read(join(here, 'worker.js'))));

const csp = [
    "default-src 'none'",
    `script-src ${sha256(engineJs)} ${sha256(pageJs)} 'wasm-unsafe-eval'`,
    `style-src ${sha256(style)}`,
    'img-src data:',
    'worker-src blob:',
    "base-uri 'none'",
    "form-action 'none'",
].join('; ');

const raw = {
    style,
    engineJs,
    pageJs,
    workerJs,
    calcularHtml,
};
const escaped = {
    csp,
    caption: texts.caption,
    productName: texts.productName,
    tagline: texts.tagline,
    webAddress: texts.webAddress,
    labelPaterno: texts.labels.paterno,
    labelMaterno: texts.labels.materno,
    labelNombre: texts.labels.nombre,
    labelFecha: texts.labels.fecha,
    labelRfc: texts.labels.rfc,
    calcularKey,
    foldAccentsCheckBox: texts.foldAccentsCheckBox,
    labelColumnas: texts.settingLabels.columns,
    labelOtroSeparador: texts.settingLabels.delimiter,
    labelCodificacion: texts.settingLabels.encoding,
    labelHoja: texts.settingLabels.sheet,
    dateMin: texts.dateMin,
    dateMax: texts.dateMax,
    dateStart: texts.dateStart,
    version: rfc.version,
    logo: dataUrl('image/gif', 'logo.gif'),
    icon16: dataUrl('image/png', 'icon-16.png'),
    icon32: dataUrl('image/png', 'icon-32.png'),
};

// One pass, so that nothing inserted is read again as a placeholder.
const page = read(join(here, 'page.html')).replace(/\{\{(\w+)\}\}/g, (_, name) => {
    if (name in raw) return raw[name];
    if (name in escaped) return escapeHtml(escaped[name]);
    throw new Error(`assemble.mjs: page.html asks for {{${name}}}, which nothing fills`);
});
writeFileSync(join(outDir, 'clave-rfc.html'), page);
