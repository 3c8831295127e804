// Headless Chromium, or Firefox, opening clave-rfc.html from disk, as the page
// tests and the page benchmark use it: each page records the console's
// errors, the page's uncaught errors and every Content-Security-Policy
// violation, and downloads go to a folder where a test can read them.
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

export const chromium = process.env.CHROMIUM ?? '/usr/bin/chromium';
export const firefox = process.env.FIREFOX ?? '/usr/bin/firefox-esr';

// Firefox saves every download, unasked, in this folder.
const firefoxDownloads = mkdtempSync(join(tmpdir(), 'clave-rfc-firefox-downloads-'));

// `name` is 'chromium' or 'firefox'.
export async function launch(name = 'chromium') {
    if (name === 'firefox') {
        return puppeteer.launch({
            browser: 'firefox',
            executablePath: firefox,
            headless: true,
            extraPrefsFirefox: {
                'browser.download.folderList': 2,
                'browser.download.dir': firefoxDownloads,
                'browser.download.useDownloadDir': true,
                'browser.download.always_ask_before_handling_new_types': false,
            },
        });
    }
    return puppeteer.launch({
        executablePath: chromium,
        headless: true,
        args: ['--no-sandbox', '--disable-dev-shm-usage'],
    });
}

// Opens the page at `width` pixels and waits until it says it is ready;
// `beforeLoad` is a function run in the page before its own scripts.
export async function openPage(browser, pagePath, width = 1024, beforeLoad = null) {
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
    if (beforeLoad) await page.evaluateOnNewDocument(beforeLoad);
    await page.setViewport({ width, height: 900 });
    await page.goto(pathToFileURL(pagePath).href);
    await page.waitForSelector('html[data-listo="si"]');
    return page;
}

// Downloads of the whole browser land in one scratch folder; download(page,
// selector) clicks the link and resolves to the file's name and bytes.
export async function allowDownloads(browser, name = 'chromium') {
    if (name === 'firefox') return firefoxDownload;
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

// Firefox writes a download under its own name, with ".part" beside it until
// it is whole; the file is taken away once read, so that the next download
// of the same name keeps its name.
async function firefoxDownload(page, selector) {
    const before = new Set(readdirSync(firefoxDownloads));
    await page.click(selector);
    for (let waited = 0; waited < 120000; waited += 50) {
        await sleep(50);
        const names = readdirSync(firefoxDownloads);
        const name = names.find((n) => !before.has(n) && !n.endsWith('.part'));
        if (!name || names.some((n) => n.startsWith(name) && n.endsWith('.part'))) continue;
        const path = join(firefoxDownloads, name);
        if (!existsSync(path) || (statSync(path).size === 0 && waited < 1000)) continue;
        const bytes = readFileSync(path);
        rmSync(path);
        return { name, bytes };
    }
    throw new Error('no download');
}
