// Pairs past the value lists shared between workers, timed: five treatments of B = 1,000,000
// (C = 10^12 a pair; or another B) from Run to results shown, with one worker and with two, in
// both forms of the page, beside the native command on the same files in the same run. Figures
// only, with the target (two workers at most 0.6 times one).
// Usage: node tests/bench-workers.mjs DIST_FOLDER [RUNS] [B]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {
    serve,
    launch,
    forms,
    openPage,
    runFiles,
    treatmentFile,
    nativeSeconds,
} from './common.mjs';

const dist = path.resolve(process.argv[2] || 'dist');
const runs = Number(process.argv[3] || 3);
const B = Number(process.argv[4] || 1000000);
const repo = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const native = process.env.VORTEL_NATIVE || path.join(repo, 'build/release/vortel');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vortel-web-workers-'));
const files = [0, 1, 2, 3, 4].map((i) =>
    treatmentFile(work, `M${i + 1}`, 0.2 + 0.002 * i, 0.005, B, i + 7),
);
const median = (xs) => xs.slice().sort((a, b) => a - b)[Math.floor(xs.length / 2)];

const { server, url } = await serve(dist);
const { browser, close } = await launch();
try {
    const nativeTimes = [];
    for (let i = 0; i < runs; ++i) nativeTimes.push(nativeSeconds(native, work, files));
    console.log(`native: ${median(nativeTimes).toFixed(2)} s (median of ${runs})`);
    for (const form of forms(dist, url)) {
        const { context, page } = await openPage(browser, form.url);
        const times = { 1: [], 2: [] };
        // A first run warms the browser's compiler; the counts then alternate.
        await runFiles(page, files);
        for (let i = 0; i < runs; ++i)
            for (const count of [1, 2]) {
                await page.evaluate((n) => (document.body.dataset.workers = n), String(count));
                await runFiles(page, files);
                if (await page.isVisible('[data-testid="error"]'))
                    throw new Error(await page.textContent('[data-testid="error"]'));
                times[count].push(
                    Number(await page.evaluate(() => document.body.dataset.lastRunMs)) / 1000,
                );
            }
        const [one, two] = [median(times[1]), median(times[2])];
        console.log(
            `${form.name}: 5 x B = ${B.toLocaleString('en')}, one worker ${one.toFixed(2)} s, two ${two.toFixed(2)} s: ` +
                `${(two / one).toFixed(2)} of one (target 0.6); native ${median(nativeTimes).toFixed(2)} s ` +
                `[one: ${times[1].map((t) => t.toFixed(2)).join(' ')}; two: ${times[2].map((t) => t.toFixed(2)).join(' ')}]`,
        );
        await context.close();
    }
} finally {
    await close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
}
