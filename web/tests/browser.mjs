// The page in headless chromium, as one table of cases run in both forms (the served folder and
// vortel.html from file://), each against the native program's files for the same inputs.
// Usage: node tests/browser.mjs DIST_FOLDER   (VORTEL_NATIVE: the native vortel)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { unzipSync } from 'fflate';
import {
    serve,
    launch,
    forms,
    openPage,
    runFiles,
    writeBadFile,
    copyExamples,
    treatmentFile,
} from './common.mjs';
import { parseCsv } from '../src/input.js';

const dist = path.resolve(process.argv[2] || 'dist');
const repo = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const native = process.env.VORTEL_NATIVE || path.join(repo, 'build/release/vortel');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vortel-web-test-'));
const examples = copyExamples(repo, work);
const table = (name) => {
    const to = path.join(work, name);
    fs.copyFileSync(path.join(repo, 'examples', name), to);
    return to;
};
const longTable = table('treatments-long.csv');
const wideTable = table('treatments-wide.csv');
const bad = path.join(work, 'bad.txt');
writeBadFile(examples[1], bad);
const binary = path.join(work, 'binary.txt');
fs.writeFileSync(binary, Buffer.from([0x7f, 0x45, 0x4c, 0x46, 0, 0, 1, 2, 0, 0xff]));
const huge = path.join(work, 'huge.txt');
fs.writeFileSync(huge, '');
fs.truncateSync(huge, 65 * 1024 * 1024); // sparse: takes no room on disk
// Small treatments for the detail files; large ones for a run that reads long enough to stop.
const small = [1, 2, 3].map((i) => treatmentFile(work, `small-${i}`, 0.2 + 0.01 * i, 0.01, 40, i));
// The smallest pairs past the value lists (B_i x B_j above 4,000,005), and one treatment whose
// pairs stay within them.
const pastLists = [2001, 2002, 2003, 500].map((B, i) =>
    treatmentFile(work, `past-${i + 1}`, 0.2 + 0.004 * i, 0.01, B, 50 + i),
);
// Split between two workers, the second reads the bad file.
const badPast = path.join(work, 'past-bad.txt');
writeBadFile(pastLists[1], badPast);
const badSplit = [pastLists[0], badPast, pastLists[2]];
const slow = [1, 2, 3, 4].map((i) =>
    treatmentFile(work, `slow-${i}`, 0.2 + 0.01 * i, 0.01, 1000000, i),
);

// The native program's files, from copies of the inputs in a folder of their own.
function desktop(args, inputs) {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vortel-web-golden-'));
    const copies = inputs.map((f) => {
        const to = path.join(dir, path.basename(f));
        fs.copyFileSync(f, to);
        return to;
    });
    const r = spawnSync(native, args.concat(copies), { cwd: dir, encoding: 'utf8' });
    const files = Object.fromEntries(
        fs
            .readdirSync(dir)
            .filter((f) => !inputs.some((i) => path.basename(i) === f))
            .map((f) => [f, fs.readFileSync(path.join(dir, f))]),
    );
    fs.rmSync(dir, { recursive: true, force: true });
    // Messages name the file as the page does, without the folder and the command's name.
    return {
        status: r.status,
        out: r.stdout
            .split('\n')
            .filter(Boolean)
            .map((p) => path.basename(p)),
        files,
        message: r.stderr
            .trim()
            .replace(/^vortel \w+: /, '')
            .replaceAll(dir + '/', ''),
    };
}
const golden = desktop(['cartesian', '--csv'], examples);
assert.equal(golden.status, 0, golden.message);
const goldenFile = (k) => golden.files[golden.out[k]].toString('latin1');
const goldenBad = desktop(['cartesian'], [examples[0], bad]);
assert.notEqual(goldenBad.status, 0);
const goldenSort = desktop(['sortcount', '--kind', 'boot', '--decimals', '4'], [examples[0]]);
assert.equal(goldenSort.status, 0, goldenSort.message);
const goldenColumn = desktop(['sortcount', '--column', 'Pepper'], [wideTable]);
assert.equal(goldenColumn.status, 0, goldenColumn.message);
const goldenPast = desktop(['cartesian', '--csv'], pastLists);
assert.equal(goldenPast.status, 0, goldenPast.message);
const goldenBadSplit = desktop(['cartesian'], badSplit);
assert.notEqual(goldenBadSplit.status, 0);
const goldenDetails = desktop(['cartesian', '--detail-differences', '--flow-record'], small);
assert.equal(goldenDetails.status, 0, goldenDetails.message);

// The paper table and the means figure as `vortel cartesian` writes them: every format, both
// styles and both widths, automatic decimals and a number chosen, in four runs.
const PAPER_RUNS = [
    { decimals: '-1', style: 'points', width: 'single', format: 'csv', args: [] },
    {
        decimals: '-1',
        style: 'bars',
        width: 'single',
        format: 'md',
        args: ['--means-style', 'bars'],
    },
    {
        decimals: '-1',
        style: 'points',
        width: 'double',
        format: 'html',
        args: ['--means-width', 'double'],
    },
    {
        decimals: '4',
        style: 'bars',
        width: 'double',
        format: 'tex',
        args: ['--paper-decimals', '4', '--means-style', 'bars', '--means-width', 'double'],
    },
];
const goldenPaper = PAPER_RUNS.map((r) => {
    const table = `table.${r.format}`;
    const g = desktop(
        ['cartesian', '--paper-table', table, '--means-figure', 'means.svg', ...r.args],
        examples,
    );
    assert.equal(g.status, 0, g.message);
    return { table: g.files[table], figure: g.files['means.svg'] };
});
// The report's own letters, read from its last table: name first, letters last on each row.
function reportLetters(report) {
    const lines = report.split(/\r?\n/);
    const head = lines.findIndex((l) => /^ Treatment\s+Original\s+SE\s+Difference/.test(l));
    const rows = [];
    for (let k = head + 2; !/^ -{20}/.test(lines[k]); ++k) {
        const f = lines[k].trim().split(/\s+/);
        rows.push([f[0], f[f.length - 1]]);
    }
    return rows;
}
const svgTexts = (svg, cls) =>
    [...svg.matchAll(new RegExp(`<text [^>]*\\bclass="${cls}"[^>]*>([^<]*)</text>`, 'g'))].map(
        (m) => m[1],
    );

// The lines that carry the time of day differ between any two runs.
const masked = (report) =>
    report.replace(/^(Cartesian paired test (began|ended) at:|Total time =).*$/gm, '$1 <time>');

async function download(page, testid) {
    const [d] = await Promise.all([
        page.waitForEvent('download'),
        page.click(`[data-testid="${testid}"]`),
    ]);
    return { name: d.suggestedFilename(), bytes: fs.readFileSync(await d.path()) };
}
const downloadText = async (page, testid) => {
    const d = await download(page, testid);
    return { name: d.name, text: d.bytes.toString('latin1') };
};
// A table as shown: one object per row, keyed by the columns' keys.
const shown = (page, testid) =>
    page.$$eval(`[data-testid="${testid}"] tbody tr`, (rows) =>
        rows.map((r) =>
            Object.fromEntries([...r.cells].map((c) => [c.dataset.col, c.textContent])),
        ),
    );
const visible = (page, testid) => page.isVisible(`[data-testid="${testid}"]`);
const noError = async (page, testid = 'error') =>
    assert.equal(
        await visible(page, testid),
        false,
        await page.textContent(`[data-testid="${testid}"]`),
    );
const finished = (page) =>
    page.waitForFunction(() => document.getElementById('run').disabled === false, null, {
        timeout: 600000,
    });

// What the five example treatments give, however they were chosen: the desktop program's report
// and tables, and the same numbers on the page as the report writes them.
async function fiveTreatments(page) {
    await noError(page);
    const treatmentsCsv = (await downloadText(page, 'download-treatments-csv')).text;
    const pairsCsv = (await downloadText(page, 'download-pairs-csv')).text;
    assert.equal(treatmentsCsv, goldenFile(2), 'treatments CSV = desktop');
    assert.equal(pairsCsv, goldenFile(1), 'pairs CSV = desktop');
    const report = await downloadText(page, 'download-report');
    assert.match(report.name, /^25A-Cartesian diff results-r_\d{8}-\d+\.txt$/);
    assert.equal(
        masked(report.text),
        masked(goldenFile(0)),
        'report = desktop report apart from the time of day',
    );
    const treatments = parseCsv(treatmentsCsv),
        T = treatments[0];
    const letters = await shown(page, 'letters');
    assert.deepEqual(
        letters.map((r) => [r.treatment, r.letters]),
        treatments.slice(1).map((r) => [r[T.indexOf('treatment')], r[T.indexOf('letters')]]),
    );
    const pairs = parseCsv(pairsCsv),
        P = pairs[0];
    const rows = await shown(page, 'pairs');
    assert.equal(rows.length, 10);
    rows.forEach((r, k) => {
        const p = Number(pairs[k + 1][P.indexOf('P')]);
        assert.ok(
            Math.abs(Number(r.P) - p) <= 1e-14 * Math.abs(p),
            `P shown ${r.P} = pairs CSV ${p}`,
        );
    });
    // Numbers stand as the report writes them.
    const sidak = await page.textContent('[data-testid="sidak"]');
    assert.ok(
        report.text.includes(`Alpha(Sidak) = ${sidak} `),
        `Šidák level ${sidak} as in the report`,
    );
    for (const r of rows)
        assert.ok(
            report.text.includes(` ${r.P} `) ||
                report.text.includes(`=${r.P}`) ||
                report.text.includes(`= ${r.P}`),
            `P ${r.P} as in the report`,
        );
    for (const t of letters)
        assert.ok(report.text.includes(t.mean), `mean ${t.mean} as in the report`);
}

async function figure(page) {
    const svg = await downloadText(page, 'download-figure-svg');
    assert.match(svg.text, /<svg/);
    const png = await download(page, 'download-figure-png');
    assert.equal(png.bytes.toString('latin1', 1, 4), 'PNG');
    const svgWidth = await page.evaluate(
        () => document.querySelector('#figure svg').width.baseVal.value,
    );
    assert.equal(
        png.bytes.readUInt32BE(16),
        Math.round(svgWidth * 2),
        'PNG drawn at twice the pixel ratio',
    );
}

// Nothing of an earlier run is left on the page.
async function noResults(page) {
    assert.equal(await visible(page, 'results'), false, 'results hidden');
    assert.equal((await shown(page, 'pairs')).length, 0, 'no pair rows');
    assert.equal((await shown(page, 'letters')).length, 0, 'no treatment rows');
    assert.equal(await page.textContent('[data-testid="sidak"]'), '');
    assert.equal(await page.locator('[data-testid="means-figure"] svg').count(), 0, 'no figure');
    assert.equal(await page.getAttribute('[data-testid="paper-table"]', 'srcdoc'), null);
}

// The paper panel's table and figure, as chosen there, are the desktop program's bytes; the
// letters read back from the figure (downloaded and shown) are the report's.
async function paperPanel(page) {
    await noError(page);
    const letters = reportLetters(goldenFile(0));
    assert.equal(letters.length, 5);
    for (const [k, r] of PAPER_RUNS.entries()) {
        await page.selectOption('[data-testid="paper-decimals"]', r.decimals);
        await page.selectOption('[data-testid="means-style"]', r.style);
        await page.selectOption('[data-testid="means-width"]', r.width);
        const table = await download(page, `download-paper-${r.format}`);
        assert.match(
            table.name,
            new RegExp(`^25A-Cartesian diff results-r_.* table\\.${r.format}$`),
        );
        assert.ok(table.bytes.equals(goldenPaper[k].table), `table.${r.format} = desktop`);
        const figure = await download(page, 'download-means-svg');
        assert.ok(figure.bytes.equals(goldenPaper[k].figure), `means figure ${r.style} ${r.width}`);
        const svg = figure.bytes.toString('utf8');
        assert.deepEqual(
            [svgTexts(svg, 'treatment'), svgTexts(svg, 'letters')],
            [letters.map((l) => l[0]), letters.map((l) => l[1])],
            "the figure's letters are the report's",
        );
        const shown = await page.$$eval('[data-testid="means-figure"] text.letters', (ts) =>
            ts.map((t) => t.textContent),
        );
        assert.deepEqual(shown, svgTexts(svg, 'letters'), 'the figure shown is the one saved');
        // The table shown is the one chosen: each treatment's row with its letters.
        const rows = await page
            .frameLocator('[data-testid="paper-table"]')
            .locator('tbody tr')
            .allInnerTexts();
        assert.deepEqual(
            rows.map((t) => t.split('\t')[0].trim()),
            letters.map((l) => l[0]),
        );
        for (const [i, row] of rows.entries())
            assert.match(row, new RegExp(`\\d ${letters[i][1]}\\s`), `letters of ${letters[i][0]}`);
    }
    // The PNG: 600 dpi of the printed size, the resolution recorded.
    const png = await download(page, 'download-means-png');
    const mm = Number(
        goldenPaper[3].figure.toString('utf8').match(/<svg[^>]* width="([\d.]+)mm"/)[1],
    );
    assert.equal(png.bytes.toString('latin1', 1, 4), 'PNG');
    assert.equal(png.bytes.readUInt32BE(16), Math.round((mm / 25.4) * 600), 'PNG 600 dpi wide');
    assert.equal(png.bytes.toString('latin1', 37, 41), 'pHYs');
    assert.equal(png.bytes.readUInt32BE(41), 23622, '600 dpi recorded');
    for (const [id, v] of [
        ['paper-decimals', '-1'],
        ['means-style', 'points'],
        ['means-width', 'single'],
    ])
        await page.selectOption(`[data-testid="${id}"]`, v);
}

// Every file of a run as downloaded, the report's time-of-day lines masked.
async function everyFile(page) {
    const files = {};
    for (const id of [
        'download-report',
        'download-pairs-csv',
        'download-treatments-csv',
        'download-figure-svg',
        'download-paper-md',
        'download-means-svg',
    ])
        files[id] = (await download(page, id)).bytes.toString('latin1');
    files['download-report'] = masked(files['download-report']);
    return files;
}
let byWorkers = {};

const choose = (files) => async (page) => runFiles(page, files);
const refusedWith = (message) => async (page) => {
    assert.equal(await visible(page, 'error'), true, 'the message is shown');
    const text = (await page.textContent('[data-testid="error"]')).trim();
    if (message instanceof RegExp) assert.match(text, message);
    else assert.equal(text, message);
    await noResults(page);
};

const cases = [
    [
        "five treatment files give the desktop program's report",
        choose(examples),
        async (page) => {
            await fiveTreatments(page);
            await figure(page);
            await paperPanel(page);
        },
    ],
    [
        'the example data give the same report',
        async (page) => {
            await page.click('#clear-files');
            await page.click('[data-testid="example-data"]');
            assert.equal(await page.locator('#file-list li').count(), 5);
            await page.click('[data-testid="run"]');
            await finished(page);
        },
        fiveTreatments,
    ],
    ["a lone long table gives the five files' report", choose([longTable]), fiveTreatments],
    ["a lone wide table gives the five files' report", choose([wideTable]), fiveTreatments],
    [
        'pairs past the value lists give the same files from one worker and from two',
        async (page) => {
            byWorkers = {};
            for (const count of ['1', '2']) {
                await page.evaluate((n) => (document.body.dataset.workers = n), count);
                await runFiles(page, pastLists);
                await noError(page);
                assert.equal(
                    await page.evaluate(() => document.body.dataset.lastRunWorkers),
                    count,
                    `${count} worker(s) ran the test`,
                );
                byWorkers[count] = await everyFile(page);
            }
            await page.evaluate(() => delete document.body.dataset.workers);
        },
        async () => {
            assert.deepEqual(byWorkers['2'], byWorkers['1']);
            const report = goldenPast.files[goldenPast.out[0]].toString('latin1');
            assert.equal(byWorkers['1']['download-report'], masked(report), 'report = desktop');
            assert.equal(
                byWorkers['1']['download-pairs-csv'],
                goldenPast.files[goldenPast.out[1]].toString('latin1'),
            );
        },
    ],
    [
        "a file refused in a test split between workers gives the desktop program's message",
        async (page) => {
            await page.evaluate(() => (document.body.dataset.workers = '2'));
            await runFiles(page, badSplit);
            await page.evaluate(() => delete document.body.dataset.workers);
            assert.equal(await page.evaluate(() => document.body.dataset.lastRunWorkers), '2');
        },
        refusedWith(goldenBadSplit.message),
    ],
    [
        'a failed run after a good one shows no old result',
        async (page) => {
            await runFiles(page, examples);
            assert.equal(await visible(page, 'results'), true);
            await runFiles(page, [examples[0], bad]);
        },
        refusedWith(goldenBad.message),
    ],
    [
        'a binary file is refused, naming it',
        choose([examples[0], binary]),
        refusedWith(/^binary\.txt: the file is not text/),
    ],
    [
        'a huge file is refused, naming it',
        choose([examples[0], huge]),
        refusedWith(/^huge\.txt: the file is 65\.0 MiB; the page takes files of at most 64 MiB\.$/),
    ],
    [
        'one treatment file is too few',
        choose([examples[0]]),
        refusedWith(/^Choose 2 to 20 treatments: .*\(1 treatment file chosen\)\.$/),
    ],
    [
        'a code that cannot stand in a file name names the Code field',
        async (page) => {
            await page.fill('#code', 'a/b');
            await runFiles(page, examples);
            await page.fill('#code', '');
            assert.equal(await page.evaluate(() => document.activeElement.id), 'code');
        },
        refusedWith(/^The code "a\/b" cannot be part of a file name/),
    ],
    [
        'Stop during reading writes and shows nothing',
        async (page) => {
            await runFiles(page, examples);
            await page.click('#clear-files');
            await page.setInputFiles('[data-testid="treatment-files"]', slow);
            await page.click('[data-testid="run"]');
            await page.waitForFunction(() =>
                /^Reading/.test(document.getElementById('status').textContent),
            );
            await page.click('[data-testid="stop"]');
            await finished(page);
            // A stopped run never comes back to show its results.
            await page.waitForTimeout(3000);
        },
        async (page) => {
            await noResults(page);
            await noError(page);
            assert.equal(
                await page.textContent('[data-testid="status"]'),
                'Stopped; nothing was written.',
            );
            // Focus stays on the controls: Stop hands it back to Run.
            assert.equal(await page.evaluate(() => document.activeElement.id), 'run');
        },
    ],
    [
        'a stopped run leaves a page that runs again',
        async (page) => {
            await page.click('#clear-files');
            await page.setInputFiles('[data-testid="treatment-files"]', examples);
            await page.click('[data-testid="run"]');
            await page.click('[data-testid="stop"]', { force: true });
            await finished(page);
            await runFiles(page, examples);
        },
        async (page) => {
            await noError(page);
            assert.equal((await shown(page, 'letters')).length, 5);
        },
    ],
    [
        'a file chosen again under a listed name replaces it, and the list says so',
        async (page) => {
            const again = path.join(work, 'again');
            fs.mkdirSync(again, { recursive: true });
            fs.copyFileSync(bad, path.join(again, 'treatment-2.txt'));
            await page.click('#clear-files');
            await page.setInputFiles('[data-testid="treatment-files"]', examples.slice(0, 2));
            await page.setInputFiles('[data-testid="treatment-files"]', [
                path.join(again, 'treatment-2.txt'),
            ]);
            assert.equal(await page.locator('#file-list li').count(), 2);
            assert.match(
                await page.textContent('#file-list li:nth-child(2)'),
                /replaced the file of this name chosen before/,
            );
            assert.match(
                await page.textContent('[data-testid="status"]'),
                /^treatment-2\.txt: chosen again; the new file replaces the one listed before\.$/,
            );
            assert.equal(await page.textContent('#files-summary'), '2 files chosen.');
            await page.click('[data-testid="run"]');
            await finished(page);
        },
        refusedWith(/^File "treatment-2\.txt", field 12/),
    ],
    [
        "Drop hands focus to the file now in the dropped one's place",
        async (page) => {
            await page.click('#clear-files');
            await page.setInputFiles('[data-testid="treatment-files"]', examples.slice(0, 3));
            await page.click('#file-list li:nth-child(1) button');
        },
        async (page) => {
            assert.equal(await page.locator('#file-list li').count(), 2);
            assert.equal(
                await page.evaluate(() => document.activeElement.getAttribute('aria-label')),
                'Drop treatment-2.txt',
            );
            assert.equal(await page.textContent('#files-summary'), '2 files chosen.');
        },
    ],
    [
        'files over the limit together are refused',
        async (page) => {
            const parts = [1, 2, 3, 4, 5].map((i) => {
                const f = path.join(work, `part-${i}.txt`);
                fs.writeFileSync(f, '');
                fs.truncateSync(f, 60 * 1024 * 1024);
                return f;
            });
            await runFiles(page, parts);
        },
        refusedWith(/^The 5 files hold 300\.0 MiB together; a test takes at most 256 MiB\.$/),
    ],
    [
        "detail files and the flow record come as one .zip of the desktop program's files",
        async (page) => {
            await page.check('[data-testid="detail-files"]');
            await page.check('[data-testid="flow-record"]');
            await runFiles(page, small);
            await page.uncheck('[data-testid="detail-files"]');
            await page.uncheck('[data-testid="flow-record"]');
        },
        async (page) => {
            await noError(page);
            const zip = await download(page, 'download-details-zip');
            assert.match(zip.name, / details\.zip$/);
            const entries = unzipSync(new Uint8Array(zip.bytes));
            const want = Object.keys(goldenDetails.files)
                .filter((f) => / diff_|_Flow\.txt$/.test(f))
                .sort();
            assert.equal(want.length, 3 * 6 + 1);
            assert.deepEqual(Object.keys(entries).sort(), want);
            for (const f of want)
                if (!/_Flow\.txt$/.test(f))
                    assert.ok(
                        Buffer.from(entries[f]).equals(goldenDetails.files[f]),
                        `${f} = desktop`,
                    );
        },
    ],
    [
        "sort-and-count gives all three files and the core's chart data",
        async (page) => {
            await page.setInputFiles('[data-testid="sortcount-file"]', examples[0]);
            await page.selectOption('#kind', 'boot');
            await page.fill('#decimals', '4');
            await page.fill('[data-testid="sortcount-column"]', '');
            await page.click('[data-testid="sortcount-run"]');
            await finished(page);
        },
        async (page) => {
            await noError(page, 'sortcount-error');
            for (const [k, testid] of [
                'download-percentiles',
                'download-sorted',
                'download-counts',
            ].entries()) {
                const f = await download(page, testid);
                assert.equal(f.name, goldenSort.out[[1, 0, 2][k]]);
                assert.ok(f.bytes.equals(goldenSort.files[f.name]), `${f.name} = desktop`);
            }
            const counts = goldenSort.files[goldenSort.out[2]].toString('latin1');
            const chart = await page.$eval('[data-testid="sortcount-chart"] svg', (svg) => ({
                text: svg.textContent,
                points: svg.querySelectorAll('circle').length,
                line: svg.querySelectorAll('line').length,
            }));
            // The caption is the core's; every class but the last is a probit point; the normal line.
            assert.match(chart.text, /Cumu\. Freq\. of Tomato in Probit/);
            const classes = Number(chart.text.match(/(\d+) values in (\d+) classes/)[2]);
            assert.ok(counts.includes(String(classes)), 'class count as in the counts file');
            assert.equal(chart.points, classes - 1);
            assert.equal(chart.line, 1);
            const svg = await downloadText(page, 'download-chart-svg');
            assert.match(svg.text, /^<svg/);
            const png = await download(page, 'download-chart-png');
            assert.equal(png.bytes.toString('latin1', 1, 4), 'PNG');
        },
    ],
    [
        'sort-and-count of a table sorts the column named',
        async (page) => {
            await page.setInputFiles('[data-testid="sortcount-file"]', wideTable);
            await page.fill('#decimals', '-1');
            await page.fill('[data-testid="sortcount-column"]', 'Pepper');
            await page.click('[data-testid="sortcount-run"]');
            await finished(page);
            await page.fill('[data-testid="sortcount-column"]', '');
        },
        async (page) => {
            await noError(page, 'sortcount-error');
            const f = await download(page, 'download-sorted');
            assert.ok(f.bytes.equals(goldenColumn.files[f.name]), 'sorted column = desktop');
        },
    ],
];

const HOOKS = [
    'treatment-files',
    'run',
    'stop',
    'pairs',
    'letters',
    'download-report',
    'download-pairs-csv',
    'download-treatments-csv',
    'download-figure-svg',
    'error',
    'sortcount-file',
    'sortcount-run',
    'download-sorted',
    'example-data',
    'download-percentiles',
    'download-counts',
    'sortcount-column',
    'table-parameter',
    'download-details-zip',
    'detail-files',
    'flow-record',
    'copy-pairs',
    'sidak',
    'sortcount-stop',
    'paper-table',
    'means-figure',
    'paper-decimals',
    'means-style',
    'means-width',
    'download-paper-csv',
    'download-paper-md',
    'download-paper-html',
    'download-paper-tex',
    'download-means-svg',
    'download-means-png',
    'copy-paper-table',
];

const { server, url } = await serve(dist);
const { browser, close } = await launch();
let failed = 0;
try {
    for (const form of forms(dist, url)) {
        console.log(`-- ${form.name}`);
        const { context, page, requests } = await openPage(browser, form.url);
        for (const id of HOOKS)
            assert.equal(
                await page.locator(`[data-testid="${id}"]`).count(),
                1,
                `data-testid ${id}`,
            );
        assert.equal(await page.getAttribute('[data-testid="treatment-files"]', 'multiple'), '');
        assert.equal(
            await page.isVisible('[data-testid="error"]'),
            false,
            'no error shown at load',
        );
        assert.equal(await page.inputValue('#decimals'), '-1', 'full precision by default');
        const unlabelled = await page.$$eval('input, select, button', (els) =>
            els
                .filter(
                    (el) =>
                        !(el.labels && el.labels.length) &&
                        !el.getAttribute('aria-label') &&
                        !el.textContent.trim(),
                )
                .map((el) => el.outerHTML),
        );
        assert.deepEqual(unlabelled, [], 'every control has a label');

        for (const [name, act, check] of cases) {
            try {
                await act(page);
                await check(page);
                console.log(`   ok: ${name}`);
            } catch (e) {
                ++failed;
                console.error(`   FAILED: ${name}\n`, e);
            }
        }

        // Sorting by a heading, by mouse and by keyboard; both tables copied as TSV; focus after Run.
        await runFiles(page, examples);
        const column = (key) =>
            page.$$eval(`[data-testid="letters"] tbody td[data-col="${key}"]`, (cells) =>
                cells.map((c) => c.textContent),
            );
        await page.click('[data-testid="letters"] th[data-col="mean"]');
        const means = (await column('mean')).map(Number);
        assert.deepEqual(
            means,
            means.slice().sort((a, b) => a - b),
            'sorted by mean, ascending',
        );
        await page.focus('[data-testid="letters"] th[data-col="treatment"]');
        await page.keyboard.press('Enter');
        const names = await column('treatment');
        assert.deepEqual(
            names,
            names.slice().sort((a, b) => a.localeCompare(b)),
            'sorted by name',
        );
        if (form.url.startsWith('http')) {
            await context.grantPermissions(['clipboard-read', 'clipboard-write']);
            for (const [button, testid] of [
                ['#copy-letters', 'letters'],
                ['[data-testid="copy-pairs"]', 'pairs'],
            ]) {
                await page.click(button);
                await page.waitForFunction(() =>
                    / copied\.$/.test(document.getElementById('status').textContent),
                );
                const tsv = (await page.evaluate(() => navigator.clipboard.readText()))
                    .trimEnd()
                    .split('\n')
                    .map((l) => l.split('\t'));
                const rows = await page.$$eval(`[data-testid="${testid}"] tr`, (trs) =>
                    trs.map((r) => [...r.cells].map((c) => c.textContent)),
                );
                assert.deepEqual(tsv, rows, `${testid} copied as shown`);
            }
            // The paper table goes on the clipboard as HTML, with its Markdown as plain text.
            await page.click('[data-testid="copy-paper-table"]');
            await page.waitForFunction(() =>
                /copied/.test(document.getElementById('paper-status').textContent),
            );
            assert.equal(
                await page.evaluate(() => navigator.clipboard.readText()),
                goldenPaper[1].table.toString('utf8'),
                'paper table copied as its Markdown',
            );
        }
        await page.focus('[data-testid="run"]');
        await page.keyboard.press('Enter');
        await finished(page);
        assert.equal(
            await page.evaluate(() => document.activeElement.id),
            'run',
            'focus back on Run',
        );
        // The page scrolls down, never sideways; on a phone the P column is in view.
        for (const [width, height] of [
            [1366, 768],
            [390, 844],
        ]) {
            await page.setViewportSize({ width, height });
            assert.equal(
                await page.evaluate(() => document.documentElement.scrollWidth),
                width,
                `fits ${width} x ${height}`,
            );
            const right = await page.$eval(
                '[data-testid="pairs"] th[data-col="at5"]',
                (th) => th.getBoundingClientRect().right,
            );
            assert.ok(right <= width, `P and its verdict in view at ${width}`);
        }
        // On a phone the figure keeps its own size (scrolling sideways in its box), so its text stays readable.
        const fig = await page.$eval('#figure svg', (svg) => [
            svg.getBoundingClientRect().width,
            svg.width.baseVal.value,
        ]);
        assert.equal(Math.round(fig[0]), Math.round(fig[1]), 'figure at its own size on a phone');
        console.log('   ok: sorting, copying, focus and layout');

        const outside = requests.filter(
            (u) =>
                !u.startsWith(form.url.replace(/[^/]*$/, '')) &&
                !u.startsWith('blob:') &&
                !u.startsWith('data:'),
        );
        assert.deepEqual(outside, [], 'no request leaves the page');
        await context.close();
    }
} catch (e) {
    ++failed;
    console.error(e);
} finally {
    await close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
}
if (failed) {
    console.error(`${failed} failed`);
    process.exit(1);
}
console.log('browser tests passed');
