// Measures clave-rfc.html in headless Chromium (see web_page.sh): size raw
// and gzip, time to ready over ten loads from file://, and one file converted
// through the page as a person does it (pick a second after the page shows,
// wait, download), sampling the memory of the renderer processes meanwhile.
//
//     node bench/web_page.mjs PAGE INPUT NATIVE_OUTPUT [INFLATED_BYTES]
//
// INFLATED_BYTES: for a workbook, the size of its sheet once inflated, which
// the renderer's memory is set beside.
import { mkdtempSync, readFileSync, readdirSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';
import { allowDownloads, launch, openPage } from '../tests/web/browser.mjs';

const [pagePath, inputPath, nativePath, inflated] = process.argv.slice(2);
const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
const mb = (bytes) => `${(bytes / 1048576).toFixed(1)} MB`;

const html = readFileSync(pagePath);
console.log(`page: ${kb(html.length)}, ${kb(gzipSync(html, { level: 9 }).length)} gzip`);

const browser = await launch();
const download = await allowDownloads(browser);

// The first paint of a page of one line, beside the page's, tells what the
// browser itself takes on this machine.
const blankPath = join(mkdtempSync(join(tmpdir(), 'clave-rfc-bench-')), 'blank.html');
writeFileSync(blankPath, '<!doctype html><title>x</title><p>x');
const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];
const firstPaint = () => performance.getEntriesByName('first-contentful-paint')[0]?.startTime ?? NaN;
const blank = [];
const loads = [];
for (let i = 0; i < 10; ++i) {
    const page = await browser.newPage();
    await page.goto(pathToFileURL(blankPath).href);
    await page.waitForFunction(() => performance.getEntriesByName('first-contentful-paint').length > 0);
    blank.push(await page.evaluate(firstPaint));
    await page.close();
    const ours = await browser.newPage();
    const cdp = await ours.createCDPSession();
    await cdp.send('Performance.enable');
    await ours.goto(pathToFileURL(pagePath).href);
    await ours.waitForSelector('html[data-listo="si"]');
    const { metrics } = await cdp.send('Performance.getMetrics');
    loads.push({
        paint: await ours.evaluate(firstPaint),
        ready: await ours.evaluate(() => performance.getEntriesByName('clave-rfc-listo')[0].startTime),
        // The main thread's processor time until then, which a loaded machine inflates less.
        busy: metrics.find((metric) => metric.name === 'ThreadTime').value * 1000,
    });
    await ours.close();
}
const middle = (name) => median(loads.map((load) => load[name])).toFixed(0);
console.log(
    `from file://: first paint ${middle('paint')} ms, ready ${middle('ready')} ms, the main thread ` +
        `computing ${middle('busy')} ms of it (medians of ${loads.length}); a one-line page paints in ` +
        `${median(blank).toFixed(0)} ms`,
);

// Resident memory of every renderer process of this browser (its
// descendants started with --type=renderer), in bytes.
const parentOf = (pid) => Number(readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ')[1]);
function descends(pid, ancestor) {
    for (let at = pid; at > 1; at = parentOf(at)) if (at === ancestor) return true;
    return false;
}
function renderers() {
    const found = [];
    for (const name of readdirSync('/proc').filter((entry) => /^\d+$/.test(entry))) {
        try {
            const pid = Number(name);
            if (!readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes('--type=renderer')) continue;
            if (descends(pid, browser.process().pid)) found.push(pid);
        } catch {
            // The process ended while it was read.
        }
    }
    return found;
}
const sum = (values) => values.reduce((a, b) => a + b, 0);
function rendererMemory() {
    return sum(renderers().map((pid) => {
        try {
            return Number(/VmRSS:\s+(\d+) kB/.exec(readFileSync(`/proc/${pid}/status`, 'utf8'))[1]) * 1024;
        } catch {
            return 0;
        }
    }));
}
// Processor seconds the renderers have used (user and system), which a busy
// machine inflates less than the wall clock.
function rendererProcessorTime() {
    return sum(renderers().map((pid) => {
        try {
            const fields = readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
            return (Number(fields[11]) + Number(fields[12])) / 100;
        } catch {
            return 0;
        }
    }));
}

const page = await openPage(browser, pagePath);
// Nobody chooses a file within a second of seeing the page, which uses that
// second to have its first worker ready, the engine's code compiled.
await new Promise((resolve) => setTimeout(resolve, 1000));
const before = rendererMemory();
let peak = before;
const sampler = setInterval(() => (peak = Math.max(peak, rendererMemory())), 50);
// The tab stays responsive: the longest a tiny script waits to run in the
// page while the worker converts.
let slowest = 0;
let converting = true;
const responsiveness = (async () => {
    while (converting) {
        const asked = performance.now();
        await page.evaluate(() => 0);
        slowest = Math.max(slowest, performance.now() - asked);
        await new Promise((resolve) => setTimeout(resolve, 100));
    }
})();
const started = performance.now();
const processorBefore = rendererProcessorTime();
await (await page.$('#archivo')).uploadFile(inputPath);
await page.waitForSelector('html[data-convirtiendo="no"]', { timeout: 0 });
const seconds = (performance.now() - started) / 1000;
const processor = rendererProcessorTime() - processorBefore;
converting = false;
await responsiveness;
clearInterval(sampler);
const size = statSync(inputPath).size;
console.log(
    `in the page: ${seconds.toFixed(2)} s (worker, one thread), ${processor.toFixed(2)} s of processor; ` +
        `the page answered within ` +
        `${slowest.toFixed(0)} ms at worst meanwhile`,
);
console.log(
    `renderer memory: ${mb(before)} before, ${mb(peak)} at most, grew by ${mb(peak - before)} ` +
        `for a file of ${mb(size)}${inflated ? ` whose sheet inflates to ${mb(Number(inflated))}` : ''}`,
);
const downloadStarted = performance.now();
const { bytes } = await download(page, '#descargar');
console.log(`download: ${((performance.now() - downloadStarted) / 1000).toFixed(2)} s more`);
console.log(bytes.equals(readFileSync(nativePath)) ? 'download: the bytes of rfc batch' : 'download: DIFFERS');
await browser.close();
