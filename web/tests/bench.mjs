// Timings of the page in headless chromium beside the native command on the same files, in the
// same run (figures, with the targets they are held to): load to ready; Run to results shown for
// 5 x B = 2000 (the examples), 5 x B = 100,000, 20 x B = 2000 and 5 x B = 1,000,000 (made here);
// the single file's size. Usage: node tests/bench.mjs DIST_FOLDER   (VORTEL_NATIVE: native vortel)
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
const repo = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const native = process.env.VORTEL_NATIVE || path.join(repo, 'build/release/vortel');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vortel-web-bench-'));
const folder = (name) => {
    const d = path.join(work, name);
    fs.mkdirSync(d);
    return d;
};

const examples = [1, 2, 3, 4, 5].map((i) => path.join(repo, `examples/treatment-${i}.txt`));
const big = folder('big'),
    twenty = folder('twenty'),
    huge = folder('huge');
const sets = [
    // label, files, runs, target (page against the native command or an absolute bound)
    ['5 x B = 2000', examples, 5, { seconds: 0.5 }],
    [
        '5 x B = 100,000',
        [0, 1, 2, 3, 4].map((i) =>
            treatmentFile(big, `T${i + 1}`, 0.2 + 0.01 * i, 0.005, 100000, i + 1),
        ),
        3,
        { seconds: 1 },
    ],
    [
        '20 x B = 2000',
        Array.from({ length: 20 }, (_, i) =>
            treatmentFile(twenty, `S${i + 1}`, 0.2 + 0.001 * i, 0.005, 2000, i + 31),
        ),
        3,
        { timesNative: 2 },
    ],
    [
        '5 x B = 1,000,000',
        [0, 1, 2, 3, 4].map((i) =>
            treatmentFile(huge, `M${i + 1}`, 0.2 + 0.002 * i, 0.005, 1000000, i + 7),
        ),
        1,
        null,
    ],
];
const median = (xs) => xs.slice().sort((a, b) => a - b)[Math.floor(xs.length / 2)];

// The native command from start to exit, writing its files into a folder of its own.
function nativeMedian(files, runs) {
    return median(Array.from({ length: runs }, () => nativeSeconds(native, work, files)));
}

const { server, url } = await serve(dist);
const { browser, close } = await launch();
const rows = [];
try {
    const nativeTimes = sets.map(([, files, runs]) => nativeMedian(files, runs));
    for (const form of forms(dist, url)) {
        const loads = [];
        let page, context;
        for (let i = 0; i < 5; ++i) {
            if (context) await context.close();
            ({ page, context } = await openPage(browser, form.url));
            // From the start of navigation, by the page's own clock.
            loads.push(Number(await page.evaluate(() => document.body.dataset.readyMs)));
        }
        console.log(`${form.name}: load to ready ${median(loads)} ms (median of 5)`);
        for (const [k, [label, files, runs, target]] of sets.entries()) {
            const times = [];
            for (let i = 0; i < runs; ++i) {
                await runFiles(page, files);
                if (await page.isVisible('[data-testid="error"]'))
                    throw new Error(await page.textContent('[data-testid="error"]'));
                times.push(
                    Number(await page.evaluate(() => document.body.dataset.lastRunMs)) / 1000,
                );
            }
            const t = median(times),
                n = nativeTimes[k];
            const bound = target && (target.seconds ?? target.timesNative * n);
            const verdict = !target
                ? ''
                : t <= bound
                  ? `  within ${bound.toFixed(2)} s`
                  : `  OVER ${bound.toFixed(2)} s`;
            rows.push(
                `| ${form.name} | ${label} | ${t.toFixed(2)} s | ${n.toFixed(2)} s | ${(t / n).toFixed(2)} |${verdict}`,
            );
            console.log(
                `${form.name}: ${label}, Run to results shown ${t.toFixed(2)} s (median of ${runs}); native ${n.toFixed(2)} s${verdict}`,
            );
        }
        await context.close();
    }
    const size = fs.statSync(path.join(dist, 'vortel.html')).size;
    console.log(`vortel.html: ${size} bytes (${(size / 1048576).toFixed(2)} MiB)`);
    console.log(
        '\n| form | files | page | native | page / native |\n|---|---|---|---|---|\n' +
            rows.join('\n'),
    );
} finally {
    await close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
}
