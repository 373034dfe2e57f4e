// A stand-in for the wasm core, for testing the page where the core is not built: it replays
// what the desktop program wrote for the browser test's inputs (the five examples, the bad file,
// sort-and-count of the first example), and knows nothing else.
// Usage: node stand-in-core.mjs NATIVE_VORTEL OUT_FOLDER
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { writeBadFile, copyExamples } from './common.mjs';

const [native, outDir] = process.argv.slice(2).map((p) => path.resolve(p));
const repo = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vortel-stand-in-'));
const examples = copyExamples(repo, work);
writeBadFile(examples[1], path.join(work, 'bad.txt'));
const run = (args) => {
  const r = spawnSync(native, args, { cwd: work, encoding: 'latin1' });
  return { status: r.status, out: r.stdout.split('\n').filter(Boolean), err: r.stderr.split('\n').filter(Boolean) };
};
const read = (p) => fs.readFileSync(p, 'latin1');
const inFs = (p) => '/in/' + path.basename(p);
const cart = run(['cartesian', '--csv', '--progress', '--figure', path.join(work, 'figure.svg'), ...examples]);
const badRun = run(['cartesian', examples[0], path.join(work, 'bad.txt')]);
const sort = run(['sortcount', '--kind', 'boot', '--decimals', '4', examples[0]]);
if (cart.status !== 0 || sort.status !== 0 || badRun.status === 0) throw new Error('the desktop program did not run as expected');
const data = {
  examples: examples.map(read),
  cartesian: { print: cart.out.map(inFs), printErr: cart.err, files: Object.fromEntries(cart.out.map((p) => [inFs(p), read(p)])) },
  figure: read(path.join(work, 'figure.svg')),
  badText: read(path.join(work, 'bad.txt')),
  bad: badRun.err.map((l) => l.replaceAll(work + '/', '/in/')),
  sortcount: { print: sort.out.map(inFs), files: Object.fromEntries(sort.out.map((p) => [inFs(p), read(p)])) },
};
const glue = `var createVortel = (() => {
const D = ${JSON.stringify(data)};
const bytes = (s) => Uint8Array.from(s, (c) => c.charCodeAt(0));
const text = (b) => Array.from(b, (c) => String.fromCharCode(c)).join('');
return (o) => new Promise((resolve) => o.instantiateWasm({}, () => {
  const files = new Map();
  const FS = {
    mkdir() {},
    writeFile(p, d) { files.set(p, typeof d === 'string' ? bytes(d) : d); },
    readFile(p, opt) {
      const d = files.get(p);
      if (!d) throw new Error('no file ' + p);
      return opt && opt.encoding === 'utf8' ? new TextDecoder().decode(d) : d;
    },
  };
  const replay = (r) => { for (const [p, t] of Object.entries(r.files)) FS.writeFile(p, t); r.print.forEach((l) => o.print(l)); (r.printErr || []).forEach((l) => o.printErr(l)); return 0; };
  resolve({ FS, callMain(args) {
    const paths = args.filter((a) => a.startsWith('/in/'));
    const inputs = paths.map((p) => text(files.get(p)));
    const badAt = inputs.indexOf(D.badText);
    if (badAt >= 0) { D.bad.forEach((l) => o.printErr(l.replaceAll('/in/bad.txt', paths[badAt]))); return 1; }
    if (args[0] === 'sortcount' && inputs[0] === D.examples[0]) return replay(D.sortcount);
    if (args[0] === 'cartesian' && inputs.join() === D.examples.join()) {
      files.set(args[args.indexOf('--figure') + 1], bytes(D.figure));
      return replay(D.cartesian);
    }
    o.printErr('vortel ' + args[0] + ': the stand-in core knows only the browser test\\'s inputs');
    return 1;
  } });
}));
})();
`;
fs.mkdirSync(outDir, { recursive: true });
fs.writeFileSync(path.join(outDir, 'vortel-web.js'), glue);
fs.writeFileSync(path.join(outDir, 'vortel-web.wasm'), Buffer.from([0, 0x61, 0x73, 0x6d, 1, 0, 0, 0]));
fs.rmSync(work, { recursive: true, force: true });
