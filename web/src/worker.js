// Runs the compiled core off the page's thread. The glue (createVortel) is prepended to this
// code when the worker's Blob is made; the page posts the wasm bytes once. The core is called
// through its typed functions (runCartesian, runSortCount): what it wrote, and what each file
// is, comes back as values.
/* global createVortel */
import { zipSync } from 'fflate';

let compiled = null;

// A fresh instance per run: the core keeps state in globals, and instancing a compiled module
// again is cheap.
function freshInstance() {
    return createVortel({
        print: () => {},
        printErr: () => {},
        instantiateWasm(imports, done) {
            WebAssembly.instantiate(compiled, imports).then((instance) => done(instance, compiled));
            return {};
        },
    });
}

// The chosen files in the core's working folder, under the names the user sees, so that the
// core's messages name them as chosen.
function putInputs(mod, files) {
    mod.FS.mkdir('/in');
    for (const f of files) mod.FS.writeFile('/in/' + f.name, new Uint8Array(f.bytes));
    mod.FS.chdir('/in');
}

const refused = (r) => ({ type: 'refused', message: r.message, control: r.control || '' });

// The test's options as the core takes them.
const testOptions = (msg) => ({
    files: msg.files.map((f) => f.name),
    transform: msg.transform,
    code: msg.code,
    reversed: msg.reversed,
    parameter: msg.parameter,
    detailFiles: msg.detailFiles,
    flowRecord: msg.flowRecord,
    finishing: msg.finishing,
});
// Progress as it happens, marked with the step of a test split between workers.
const progress = (step) => (e) =>
    self.postMessage({ type: 'progress', event: { ...e, step: step || '' } });

async function cartesian(msg) {
    // No files: those of the split test this worker began, run whole.
    const files = msg.files || keptFiles;
    keptFiles = null;
    const mod = await freshInstance();
    putInputs(mod, files);
    const r = mod.runCartesian(testOptions({ ...msg, files }), progress());
    return finished(mod, r);
}

// A test split between workers (the pairs past the value lists, computed in parallel): each
// worker reads its share of the treatment files and is given the others' values, then computes
// its share of the pairs; the first keeps its instance, and then finishes the test with every
// share's pairs.
let splitInstance = null;
let keptFiles = null; // the first worker's, to run the test whole when a file is refused
async function read(msg) {
    splitInstance = null;
    keptFiles = msg.finishing ? msg.files : null;
    const mod = await freshInstance();
    putInputs(mod, msg.files);
    const r = mod.readValues(testOptions(msg), msg.share, msg.shares);
    if (!r.ok) return refused(r);
    splitInstance = mod;
    const transfer = r.values.flatMap((v) => [v.first.values.buffer, v.second.values.buffer]);
    return { type: 'values', values: r.values, transfer };
}
function share(msg) {
    const mod = splitInstance;
    splitInstance = null;
    keptFiles = null;
    if (!mod) return { type: 'refused', message: 'The split test was not begun here.' };
    mod.giveValues(msg.given);
    const r = mod.computeShare(testOptions(msg), msg.share, msg.shares, progress('share'));
    if (!r.ok) return refused(r);
    if (msg.finishing) splitInstance = mod;
    return { type: 'share', pairs: r.pairs };
}
function finish(msg) {
    const mod = splitInstance;
    splitInstance = null;
    if (!mod) return { type: 'refused', message: 'The split test was not begun here.' };
    return finished(mod, mod.finishSplit(msg.given, progress('finish')));
}

// What a test wrote, handed to the page.
function finished(mod, r) {
    if (!r.ok) return refused(r);
    self.postMessage({ type: 'progress', event: { event: 'packing' } });
    const files = {};
    const extra = {};
    for (const f of r.files) {
        const bytes = mod.FS.readFile(f.path);
        if (f.kind === 'detail' || f.kind === 'flow-record') extra[f.name] = [bytes, { level: 1 }];
        else files[f.kind] = { name: f.name, bytes };
    }
    // Detail files and the flow record leave the worker as one archive: a pair of B = 2000 writes
    // tens of MB of text, which compresses well.
    const stem = files.report.name.replace(/\.txt$/, '');
    const details = Object.keys(extra).length
        ? { name: stem + ' details.zip', bytes: zipSync(extra) }
        : null;
    const { ok, files: _f, ...summary } = r;
    return { type: 'cartesian', files, details, summary };
}

async function sortcount(msg) {
    const mod = await freshInstance();
    putInputs(mod, [msg.file]);
    const r = mod.runSortCount({
        file: msg.file.name,
        kind: msg.kind,
        serials: msg.serials,
        column: msg.column,
        decimals: msg.decimals,
    });
    if (!r.ok) return refused(r);
    const files = {};
    for (const f of r.files) files[f.kind] = { name: f.name, bytes: mod.FS.readFile(f.path) };
    return { type: 'sortcount', files, chart: r.chart, classCount: r.classCount };
}

self.onmessage = async (e) => {
    const msg = e.data;
    try {
        if (msg.type === 'wasm') {
            compiled = await WebAssembly.compile(msg.bytes);
            const mod = await freshInstance();
            self.postMessage({ type: 'ready', version: mod.version() });
            return;
        }
        const run = { cartesian, read, share, finish, sortcount }[msg.type];
        const { transfer, ...result } = await run(msg);
        self.postMessage(result, transfer || []);
    } catch (x) {
        // A failure of the core itself (out of memory while growing, say), not a refusal.
        self.postMessage({
            type: 'refused',
            message: 'The computation failed: ' + (x && x.message ? x.message : String(x)),
        });
    }
};
