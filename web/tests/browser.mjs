// The page in headless chromium, in both forms: the five examples against the CSV the page offers
// and the desktop report, a bad file, and sort-and-count.
// Usage: node tests/browser.mjs DIST_FOLDER   (VORTEL_NATIVE: a native vortel for the golden files)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { serve, launch, forms, openPage, runFiles, writeBadFile, copyExamples } from './common.mjs';
import { parseCsv } from '../src/input.js';

const dist = path.resolve(process.argv[2] || 'dist');
const repo = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vortel-web-test-'));
const examples = copyExamples(repo, work);
const bad = path.join(work, 'bad.txt');
writeBadFile(examples[1], bad);
const binary = path.join(work, 'binary.txt');
fs.writeFileSync(binary, Buffer.from([0x7f, 0x45, 0x4c, 0x46, 0, 0, 1, 2, 0, 0xff]));
const huge = path.join(work, 'huge.txt');
fs.writeFileSync(huge, '');
fs.truncateSync(huge, 65 * 1024 * 1024); // sparse: takes no room on disk

// The desktop program (or the node command on the same core) makes the golden files.
function desktop(args, cwd) {
  const native = process.env.VORTEL_NATIVE || path.join(repo, 'build/release/src/app/vortel');
  const [cmd, pre] = fs.existsSync(native) ? [native, []] : ['node', ['--no-experimental-fetch', path.join(dist, 'vortel-cli.js')]];
  const r = spawnSync(cmd, pre.concat(args), { cwd, encoding: 'utf8' });
  return { status: r.status, out: r.stdout.split('\n').filter(Boolean), err: r.stderr.trim() };
}
const goldenDir = fs.mkdtempSync(path.join(os.tmpdir(), 'vortel-web-golden-'));
const goldenInputs = examples.map((f) => { const to = path.join(goldenDir, path.basename(f)); fs.copyFileSync(f, to); return to; });
const golden = desktop(['cartesian', '--csv', ...goldenInputs], goldenDir);
assert.equal(golden.status, 0, golden.err);
const goldenReport = fs.readFileSync(golden.out[0], 'utf8');
fs.copyFileSync(bad, path.join(goldenDir, 'bad.txt'));
const goldenBad = desktop(['cartesian', goldenInputs[0], path.join(goldenDir, 'bad.txt')], goldenDir);
assert.notEqual(goldenBad.status, 0);
const goldenSort = desktop(['sortcount', '--kind', 'boot', '--decimals', '4', goldenInputs[0]], goldenDir);
assert.equal(goldenSort.status, 0, goldenSort.err);

// The lines that carry the time of day differ between any two runs.
const masked = (report) => report.replace(/^(Cartesian paired test (began|ended) at:|Total time =).*$/gm, '$1 <time>');

async function downloadText(page, testid) {
  const [d] = await Promise.all([page.waitForEvent('download'), page.click(`[data-testid="${testid}"]`)]);
  return { name: d.suggestedFilename(), text: fs.readFileSync(await d.path(), 'latin1') };
}

const { server, url } = await serve(dist);
const { browser, close } = await launch();
let failed = false;
try {
  for (const form of forms(dist, url)) {
    console.log(`-- ${form.name}`);
    const { context, page, requests } = await openPage(browser, form.url);
    for (const id of ['treatment-files', 'run', 'stop', 'pairs', 'letters', 'download-report', 'download-pairs-csv',
      'download-treatments-csv', 'download-figure-svg', 'error', 'sortcount-file', 'sortcount-run', 'download-sorted']) {
      assert.equal(await page.locator(`[data-testid="${id}"]`).count(), 1, `data-testid ${id}`);
    }
    assert.equal(await page.getAttribute('[data-testid="treatment-files"]', 'multiple'), '');
    assert.equal(await page.isVisible('[data-testid="error"]'), false, 'no error shown at load');
    const unlabelled = await page.$$eval('input, select, button', (els) => els.filter((el) =>
      !(el.labels && el.labels.length) && !el.getAttribute('aria-label') && !el.textContent.trim()).map((el) => el.outerHTML));
    assert.deepEqual(unlabelled, [], 'every control has a label');

    await runFiles(page, examples);
    assert.equal(await page.isVisible('[data-testid="error"]'), false, await page.textContent('[data-testid="error"]'));
    const treatmentsCsv = (await downloadText(page, 'download-treatments-csv')).text;
    const pairsCsv = (await downloadText(page, 'download-pairs-csv')).text;
    const treatments = parseCsv(treatmentsCsv);
    const pairs = parseCsv(pairsCsv);
    const shownLetters = await page.$$eval('[data-testid="letters"] tbody tr', (rows) => rows.map((r) => [r.cells[0].textContent, r.cells[r.cells.length - 1].textContent]));
    const T = treatments[0];
    assert.deepEqual(shownLetters, treatments.slice(1).map((r) => [r[T.indexOf('treatment')], r[T.indexOf('letters')]]), 'letters shown = treatments CSV');
    const shownP = await page.$$eval('[data-testid="pairs"] tbody tr', (rows) => rows.map((r) => r.cells[6].textContent));
    assert.deepEqual(shownP, pairs.slice(1).map((r) => r[pairs[0].indexOf('P')]), 'P shown = pairs CSV');
    assert.equal(shownP.length, 10);
    assert.equal(treatmentsCsv, fs.readFileSync(golden.out[2], 'latin1'), 'treatments CSV = desktop');
    assert.equal(pairsCsv, fs.readFileSync(golden.out[1], 'latin1'), 'pairs CSV = desktop');
    const report = await downloadText(page, 'download-report');
    assert.equal(masked(report.text), masked(goldenReport), 'report = desktop report apart from the time of day');
    if (!(await page.isDisabled('[data-testid="download-figure-svg"]'))) {
    const svg = await downloadText(page, 'download-figure-svg');
    assert.match(svg.text, /<svg/);
    const png = await downloadText(page, 'download-figure-png');
    assert.equal(png.text.slice(1, 4), 'PNG');
    const pngWidth = Buffer.from(png.text, 'latin1').readUInt32BE(16);
    const svgWidth = await page.evaluate(() => document.querySelector('#figure svg').width.baseVal.value);
    assert.equal(pngWidth, Math.round(svgWidth * 2), 'PNG drawn at twice the pixel ratio');

    } else console.log('   (this core draws no figure: its downloads are off)');

    // Sorting by a heading, by mouse and by keyboard; the letters copied as TSV.
    const column = (i) => page.$$eval('[data-testid="letters"] tbody tr', (rows, c) => rows.map((r) => r.cells[c].textContent), i);
    await page.click('[data-testid="letters"] th:nth-child(3)');
    const means = (await column(2)).map(Number);
    assert.deepEqual(means, means.slice().sort((a, b) => a - b), 'sorted by mean, ascending');
    await page.focus('[data-testid="letters"] th:nth-child(1)');
    await page.keyboard.press('Enter');
    const names = await column(0);
    assert.deepEqual(names, names.slice().sort((a, b) => a.localeCompare(b)), 'sorted by name');
    if (form.url.startsWith('http')) {
      await context.grantPermissions(['clipboard-read', 'clipboard-write']);
      await page.click('#copy-letters');
      await page.waitForFunction(() => document.getElementById('status').textContent === 'Letters copied.');
      const tsv = await page.evaluate(() => navigator.clipboard.readText());
      assert.deepEqual(tsv.trimEnd().split('\n').map((l) => l.split('\t')).slice(1).map((r) => [r[0], r[3]]),
        names.map((n) => [n, treatments.find((t) => t[0] === n)[T.indexOf('letters')]]));
    }
    console.log('   five examples: letters, P, CSV tables and report agree');
    // The page scrolls down, never sideways, on a laptop and on a phone (wide tables scroll in their box).
    for (const [width, height] of [[1366, 768], [390, 844]]) {
      await page.setViewportSize({ width, height });
      assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), width, `fits ${width} x ${height}`);
    }

    // A bad file: the desktop program's message, and the earlier results stay.
    await runFiles(page, [examples[0], bad]);
    assert.equal(await page.isVisible('[data-testid="error"]'), true);
    // The page names the file as it was chosen, with no folder.
    assert.equal((await page.textContent('[data-testid="error"]')).trim(), goldenBad.err.replaceAll(goldenDir + '/', ''));
    assert.deepEqual(await page.$$eval('[data-testid="pairs"] tbody tr', (rows) => rows.length), 10);
    for (const [file, message] of [[binary, /^binary\.txt: the file is not text/], [huge, /^huge\.txt: the file is 65\.0 MB; the page takes files of at most 64 MB/]]) {
      await runFiles(page, [examples[0], file]);
      assert.match(await page.textContent('[data-testid="error"]'), message);
      assert.deepEqual(await page.$$eval('[data-testid="pairs"] tbody tr', (rows) => rows.length), 10);
    }
    // A file chosen again under a name already chosen takes that file's place.
    const again = path.join(work, 'again');
    fs.mkdirSync(again, { recursive: true });
    fs.copyFileSync(bad, path.join(again, 'treatment-2.txt'));
    await page.click('#clear-files');
    await page.setInputFiles('[data-testid="treatment-files"]', examples.slice(0, 2));
    await page.setInputFiles('[data-testid="treatment-files"]', [path.join(again, 'treatment-2.txt')]);
    assert.equal(await page.locator('#file-list li').count(), 2);
    await page.waitForFunction(() => document.querySelector('#file-list li').textContent.startsWith('treatment-1.txt: Tomato, B = 2000 ('));
    await page.click('[data-testid="run"]');
    await page.waitForFunction(() => document.getElementById('run').disabled === false);
    assert.match(await page.textContent('[data-testid="error"]'), /File "treatment-2\.txt", field 12/);

    // Five files just under the limit each are over the limit together.
    const parts = [1, 2, 3, 4, 5].map((i) => { const f = path.join(work, `part-${i}.txt`); fs.writeFileSync(f, ''); fs.truncateSync(f, 60 * 1024 * 1024); return f; });
    await runFiles(page, parts);
    assert.match(await page.textContent('[data-testid="error"]'), /^The 5 files hold 300\.0 MB together; a test takes at most 256 MB\./);
    console.log('   bad, binary and huge files refused with a message naming the file');

    // Stop, however soon it comes, leaves a page that runs again.
    await page.click('#clear-files');
    await page.setInputFiles('[data-testid="treatment-files"]', examples);
    await page.click('[data-testid="run"]');
    await page.click('[data-testid="stop"]', { force: true });
    await page.waitForFunction(() => document.getElementById('run').disabled === false);
    await runFiles(page, examples);
    assert.equal(await page.isVisible('[data-testid="error"]'), false, await page.textContent('[data-testid="error"]'));
    assert.deepEqual(await page.$$eval('[data-testid="letters"] tbody tr', (rows) => rows.length), 5);
    console.log('   a stopped run leaves a page that runs again');

    await page.setInputFiles('[data-testid="sortcount-file"]', examples[0]);
    await page.selectOption('#kind', 'boot');
    await page.fill('#decimals', '4');
    await page.click('[data-testid="sortcount-run"]');
    await page.waitForSelector('#sc-results:not([hidden])', { timeout: 60000 });
    assert.equal(await page.isVisible('[data-testid="error"]'), false, await page.textContent('[data-testid="error"]'));
    const sorted = await downloadText(page, 'download-sorted');
    assert.equal(sorted.text, fs.readFileSync(goldenSort.out[0], 'latin1'), 'sorted file = desktop');
    console.log('   sort-and-count: the sorted file agrees');

    const outside = requests.filter((u) => !u.startsWith(form.url.replace(/[^/]*$/, '')) && !u.startsWith('blob:') && !u.startsWith('data:'));
    assert.deepEqual(outside, [], 'no request leaves the page');
    await context.close();
  }
} catch (e) {
  failed = true;
  console.error(e);
} finally {
  await close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
  fs.rmSync(goldenDir, { recursive: true, force: true });
}
if (failed) process.exit(1);
console.log('browser tests passed');
