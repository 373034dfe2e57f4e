// Runs the compiled core off the page's thread. The glue (createVortel) is prepended to this
// code when the worker's Blob is made; the page posts the wasm bytes once.
let compiled = null;

async function freshInstance(out, err) {
  // A fresh instance per run: the program keeps state between calls of main, and instancing a
  // compiled module again is cheap.
  return createVortel({
    noInitialRun: true,
    print: (line) => out.push(line),
    // Progress lines go to the page as they come: the run holds this thread till it ends.
    printErr: (line) => (line.startsWith('progress ') ? self.postMessage({ type: 'progress', line }) : err.push(line)),
    instantiateWasm(imports, done) {
      WebAssembly.instantiate(compiled, imports).then((instance) => done(instance, compiled));
      return {};
    },
  });
}

function callMain(mod, args) {
  try {
    const r = mod.callMain(args);
    return typeof r === 'number' ? r : 0;
  } catch (e) {
    if (e && (e.name === 'ExitStatus' || typeof e.status === 'number')) return e.status;
    throw e;
  }
}

// The page shows a file by the name the user chose, not by its place in the core's file system.
const refusal = (err, what, status) => ({ type: 'refused', message: (err.join('\n') || `vortel ${what}: exit status ${status}`).replaceAll('/in/', '') });

function readOut(mod, path, binary) {
  return mod.FS.readFile(path, binary ? {} : { encoding: 'utf8' });
}

async function cartesian(msg, withFigure = true) {
  const out = [], err = [];
  const mod = await freshInstance(out, err);
  mod.FS.mkdir('/in');
  mod.FS.mkdir('/out');
  const paths = msg.files.map((f) => {
    const p = '/in/' + f.name;
    mod.FS.writeFile(p, new Uint8Array(f.bytes));
    return p;
  });
  const args = ['cartesian', '--csv', '--progress', '--transform', msg.transform];
  if (withFigure) args.push('--figure', '/out/figure.svg');
  if (msg.code) args.push('--code', msg.code);
  if (msg.reversed) args.push('--reversed');
  const status = callMain(mod, args.concat(paths));
  // A core built without its chart drawing still gives every other result.
  if (status !== 0 && withFigure && err.some((l) => l.includes('built without charts'))) return cartesian(msg, false);
  if (status !== 0) return refusal(err, 'cartesian', status);
  const [report, pairs, treatments] = out;
  return {
    type: 'cartesian',
    reportName: report.split('/').pop(),
    report: readOut(mod, report, true),
    pairsName: pairs.split('/').pop(),
    pairs: readOut(mod, pairs, true),
    treatmentsName: treatments.split('/').pop(),
    treatments: readOut(mod, treatments, true),
    figure: withFigure ? readOut(mod, '/out/figure.svg') : null,
  };
}

async function sortcount(msg) {
  const out = [], err = [];
  const mod = await freshInstance(out, err);
  mod.FS.mkdir('/in');
  const p = '/in/' + msg.file.name;
  mod.FS.writeFile(p, new Uint8Array(msg.file.bytes));
  const args = ['sortcount', '--kind', msg.kind, '--decimals', String(msg.decimals)];
  if (msg.serials) args.push('--serials');
  const status = callMain(mod, args.concat([p]));
  if (status !== 0) return refusal(err, 'sortcount', status);
  const files = out.filter((l) => l.startsWith('/in/')).map((path) => ({ name: path.split('/').pop(), bytes: readOut(mod, path, true) }));
  return { type: 'sortcount', files };
}

self.onmessage = async (e) => {
  const msg = e.data;
  try {
    if (msg.type === 'wasm') {
      compiled = await WebAssembly.compile(msg.bytes);
      self.postMessage({ type: 'ready' });
      return;
    }
    const result = msg.type === 'cartesian' ? await cartesian(msg) : await sortcount(msg);
    self.postMessage(result);
  } catch (x) {
    self.postMessage({ type: 'refused', message: 'The computation failed: ' + (x && x.message ? x.message : String(x)) });
  }
};
