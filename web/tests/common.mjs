// What the browser test and the benchmarks share: a static server, a headless chromium that
// reaches no network, and the page's two forms.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { chromium } from 'playwright-core';

const TYPES = {
    '.html': 'text/html',
    '.js': 'text/javascript',
    '.wasm': 'application/wasm',
    '.css': 'text/css',
};

export function serve(dir) {
    const server = http.createServer((req, res) => {
        const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
        const file = path.join(dir, name === '/' ? 'index.html' : name);
        if (!file.startsWith(dir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
            res.writeHead(404);
            res.end();
            return;
        }
        res.writeHead(200, {
            'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
        });
        fs.createReadStream(file).pipe(res);
    });
    return new Promise((resolve) =>
        server.listen(0, '127.0.0.1', () =>
            resolve({ server, url: `http://127.0.0.1:${server.address().port}/` }),
        ),
    );
}

export async function launch() {
    // Playwright starts chromium with a fresh, empty profile of its own, removed on close.
    const browser = await chromium.launch({
        executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
        args: [
            '--headless',
            '--no-sandbox',
            '--disable-gpu',
            '--disable-quic',
            '--no-first-run',
            '--disable-background-networking',
            '--disable-component-update',
            '--disable-sync',
        ],
    });
    const close = () => browser.close();
    return { browser, close };
}

// Both forms of the page: the served folder and the single file from disk.
export function forms(dist, served) {
    return [
        { name: 'served folder', url: served },
        { name: 'vortel.html from file://', url: 'file://' + path.join(dist, 'vortel.html') },
    ];
}

export async function openPage(browser, url) {
    const context = await browser.newContext({ acceptDownloads: true });
    const page = await context.newPage();
    const requests = [];
    page.on('request', (r) => requests.push(r.url()));
    await page.goto(url);
    await page.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
    return { context, page, requests };
}

export async function runFiles(page, files) {
    await page.click('#clear-files');
    await page.setInputFiles('[data-testid="treatment-files"]', files);
    await page.click('[data-testid="run"]');
    await page.waitForFunction(() => document.getElementById('run').disabled === false, null, {
        timeout: 600000,
    });
}

// A treatment file whose fourth bootstrap value (field 12) is not a number.
export function writeBadFile(from, to) {
    fs.writeFileSync(
        to,
        fs
            .readFileSync(from, 'utf8')
            .split('\n')
            .map((l, i) => (i === 11 ? '0.2x' : l))
            .join('\n'),
    );
}

// The five example treatments, copied into a folder of the test's own.
export function copyExamples(repo, dir) {
    return [1, 2, 3, 4, 5].map((i) => {
        const to = path.join(dir, `treatment-${i}.txt`);
        fs.copyFileSync(path.join(repo, `examples/treatment-${i}.txt`), to);
        return to;
    });
}

// A treatment file of B normal draws (Box-Muller from a fixed seed), named NAME.txt in `dir`.
export function treatmentFile(dir, name, mean, sd, B, seed) {
    let s = seed >>> 0;
    const u = () => ((s = (Math.imul(s, 1664525) + 1013904223) >>> 0) + 1) / 4294967297;
    const lines = [
        name,
        'Bootstrap results',
        '48',
        'Life table',
        String(B),
        'r',
        '48',
        mean.toFixed(4),
    ];
    for (let i = 0; i < B; ++i)
        lines.push(
            (mean + sd * Math.sqrt(-2 * Math.log(u())) * Math.cos(2 * Math.PI * u())).toFixed(6),
        );
    const file = path.join(dir, `${name}.txt`);
    fs.writeFileSync(file, lines.join('\n') + '\n');
    return file;
}

// The native command on copies of `files` in a folder of its own under `work`, from start to
// exit, in seconds.
export function nativeSeconds(native, work, files) {
    const dir = fs.mkdtempSync(path.join(work, 'native-'));
    const copies = files.map((f) => {
        const to = path.join(dir, path.basename(f));
        fs.copyFileSync(f, to);
        return to;
    });
    const t = performance.now();
    const r = spawnSync(native, ['cartesian', '--csv', ...copies], { encoding: 'utf8' });
    const seconds = (performance.now() - t) / 1000;
    if (r.status !== 0) throw new Error(r.stderr);
    fs.rmSync(dir, { recursive: true, force: true });
    return seconds;
}
