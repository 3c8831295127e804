// Headless Chromium opening clave-rfc.html from disk, as the page tests and the
// page benchmark use it: each page records the console's errors, the page's
// uncaught errors and every Content-Security-Policy violation, and downloads
// go to a folder where a test can read them.
import { mkdtempSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

export const chromium = process.env.CHROMIUM ?? '/usr/bin/chromium';

export async function launch() {
    return puppeteer.launch({
        executablePath: chromium,
        headless: true,
        args: ['--no-sandbox', '--disable-dev-shm-usage'],
    });
}

// Opens the page at `width` pixels and waits until it says it is ready.
export async function openPage(browser, pagePath, width = 1024) {
    const page = await browser.newPage();
    page.problems = [];
    page.on('console', (message) => {
        if (message.type() === 'error') page.problems.push(`console: ${message.text()}`);
    });
    page.on('pageerror', (error) => page.problems.push(`error: ${error.message}`));
    await page.evaluateOnNewDocument(() => {
        document.addEventListener('securitypolicyviolation', (event) =>
            console.error(`CSP: ${event.violatedDirective} ${event.blockedURI}`),
        );
    });
    await page.setViewport({ width, height: 900 });
    await page.goto(pathToFileURL(pagePath).href);
    await page.waitForSelector('html[data-listo="si"]');
    return page;
}

// Downloads of the whole browser land in one scratch folder; download(page,
// selector) clicks the link and resolves to the file's name and bytes.
export async function allowDownloads(browser) {
    const folder = mkdtempSync(join(tmpdir(), 'clave-rfc-downloads-'));
    const cdp = await browser.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', {
        behavior: 'allowAndName',
        downloadPath: folder,
        eventsEnabled: true,
    });
    // Every download's end, by its guid, kept from the start so that none is missed.
    const ended = new Map();
    const waiting = new Map();
    cdp.on('Browser.downloadProgress', (event) => {
        if (event.state === 'inProgress') return;
        ended.set(event.guid, event.state);
        waiting.get(event.guid)?.();
    });
    return async (page, selector) => {
        const begun = new Promise((resolve) => cdp.once('Browser.downloadWillBegin', resolve));
        await page.click(selector);
        const { guid, suggestedFilename } = await begun;
        if (!ended.has(guid)) await new Promise((resolve) => waiting.set(guid, resolve));
        if (ended.get(guid) !== 'completed') throw new Error(`download ${ended.get(guid)}`);
        return { name: suggestedFilename, bytes: readFileSync(join(folder, guid)) };
    };
}
