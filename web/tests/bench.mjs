// Timings of the page in headless chromium (not a pass/fail test): load to ready, Run to results
// shown for 5 x B = 2000 (the examples), 5 x B = 100,000 and 5 x B = 1,000,000 (made here), and
// the single file's size. Usage: node tests/bench.mjs DIST_FOLDER
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { serve, launch, forms, openPage, runFiles } from './common.mjs';

const dist = path.resolve(process.argv[2] || 'dist');
const repo = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vortel-web-bench-'));

// A treatment file of B normal draws (Box-Muller from a fixed seed).
function treatmentFile(name, mean, sd, B, seed) {
  let s = seed >>> 0;
  const u = () => ((s = (Math.imul(s, 1664525) + 1013904223) >>> 0) + 1) / 4294967297;
  const lines = [name, 'Bootstrap results', '48', 'Life table', String(B), 'r', '48', mean.toFixed(4)];
  for (let i = 0; i < B; ++i) lines.push((mean + sd * Math.sqrt(-2 * Math.log(u())) * Math.cos(2 * Math.PI * u())).toFixed(6));
  const file = path.join(work, `${name}.txt`);
  fs.writeFileSync(file, lines.join('\n') + '\n');
  return file;
}
const examples = [1, 2, 3, 4, 5].map((i) => path.join(repo, `examples/treatment-${i}.txt`));
const big = ['A', 'B', 'C', 'D', 'E'].map((n, i) => treatmentFile(`T${n}`, 0.2 + 0.01 * i, 0.005, 100000, i + 1));
const huge = ['M1', 'M2', 'M3', 'M4', 'M5'].map((n, i) => treatmentFile(n, 0.2 + 0.002 * i, 0.005, 1000000, i + 7));

const { server, url } = await serve(dist);
const { browser, close } = await launch();
const median = (xs) => xs.slice().sort((a, b) => a - b)[Math.floor(xs.length / 2)];
try {
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
    for (const [label, files, runs] of [['5 x B = 2000', examples, 5], ['5 x B = 100,000', big, 3], ['5 x B = 1,000,000', huge, 1]]) {
      const times = [];
      for (let i = 0; i < runs; ++i) {
        await runFiles(page, files);
        const err = await page.textContent('[data-testid="error"]');
        if (await page.isVisible('[data-testid="error"]')) throw new Error(err);
        times.push(Number(await page.evaluate(() => document.body.dataset.lastRunMs)));
      }
      console.log(`${form.name}: ${label}, Run to results shown ${Math.round(median(times))} ms (median of ${runs})`);
    }
    await context.close();
  }
  const size = fs.statSync(path.join(dist, 'vortel.html')).size;
  console.log(`vortel.html: ${size} bytes (${(size / 1048576).toFixed(2)} MB)`);
} finally {
  await close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
