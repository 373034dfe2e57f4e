// The page: reads the chosen files, hands them to the core in a worker, shows what it returns.
/* global __WORKER_SOURCE__ */
import { checkInputFile, treatmentHeading, isTable, MAX_TOTAL_BYTES, MIB } from './input.js';
import { sortCountSvg } from './chart.js';
import { EXAMPLES } from './examples.js';

const $ = (id) => document.getElementById(id);
let chosen = []; // { file, note }
let core = null; // { glue: string, wasm: ArrayBuffer }
let version = '';
let last = null; // the last test's result, while it is shown
let lastSort = null;
// Every run and every Stop takes a new number; a run whose number is no longer current was
// stopped, and whatever it was waiting for is dropped.
let runNumber = 0;
// The detail files' size grows with the differences they list, about 60 bytes each, and they are
// held in the core's memory, which a 32-bit wasm caps at 4 GiB (less in many browsers).
const MAX_DETAIL_DIFFERENCES = 10e6;

async function loadCore() {
    if (core) return core;
    const embed = window.VORTEL_EMBED;
    if (embed) {
        const bin = atob(embed.wasm);
        const bytes = new Uint8Array(bin.length);
        for (let i = 0; i < bin.length; ++i) bytes[i] = bin.charCodeAt(i);
        core = { glue: embed.glue, wasm: bytes.buffer };
        // The base64 text is not needed again: the page keeps only the bytes.
        delete window.VORTEL_EMBED;
    } else {
        const [glue, wasm] = await Promise.all([
            fetch('vortel-web.js').then((r) => {
                if (!r.ok) throw new Error('vortel-web.js: ' + r.status);
                return r.text();
            }),
            fetch('vortel-web.wasm').then((r) => {
                if (!r.ok) throw new Error('vortel-web.wasm: ' + r.status);
                return r.arrayBuffer();
            }),
        ]);
        core = { glue, wasm };
    }
    return core;
}

// One worker with its own instance of the core; one request at a time.
class CoreWorker {
    constructor() {
        this.pending = null;
        this.worker = null;
        this.ready = loadCore().then(
            (c) =>
                new Promise((resolve, reject) => {
                    const url = URL.createObjectURL(
                        new Blob([c.glue, '\n', __WORKER_SOURCE__], { type: 'text/javascript' }),
                    );
                    this.worker = new Worker(url);
                    URL.revokeObjectURL(url);
                    this.worker.onmessage = (e) => {
                        if (e.data.type === 'ready') resolve(e.data.version);
                        else if (e.data.type === 'progress') showProgress(e.data.event);
                        else this.answer(e.data);
                    };
                    this.worker.onerror = (e) => {
                        reject(new Error(e.message || 'the worker failed'));
                        this.answer({
                            type: 'refused',
                            message: 'The computation failed: ' + (e.message || 'worker error'),
                        });
                    };
                    // A copy goes over, so that a later fresh worker can have the bytes again.
                    this.worker.postMessage({ type: 'wasm', bytes: c.wasm.slice(0) });
                }),
        );
    }
    answer(data) {
        const p = this.pending;
        this.pending = null;
        if (p) p(data);
    }
    ask(msg, transfer) {
        return this.ready.then(
            () =>
                new Promise((resolve) => {
                    this.pending = resolve;
                    this.worker.postMessage(msg, transfer);
                }),
        );
    }
    // Whatever it was computing is dropped: nothing is written until a run ends.
    end() {
        if (this.worker) this.worker.terminate();
        this.answer({ type: 'stopped' });
    }
}

// The first worker runs every test; the others, made when a test first needs them, take shares
// of the pairs past the value lists.
let workers = [];
function startWorker() {
    workers = [new CoreWorker()];
    return workers[0].ready;
}
const ask = (msg, transfer) => workers[0].ask(msg, transfer);
function workerNumber(k) {
    while (workers.length <= k) workers.push(new CoreWorker());
    return workers[k];
}

// Each section has its own message area and status line, beside its own controls.
const areas = {
    cartesian: { error: 'error', status: 'status', button: 'run', stop: 'stop' },
    sortcount: {
        error: 'sortcount-error',
        status: 'sortcount-status',
        button: 'sortcount-run',
        stop: 'sortcount-stop',
    },
};
let busyArea = null;

function showError(area, text) {
    const el = $(areas[area].error);
    el.textContent = text;
    el.hidden = !text;
}
const setStatus = (area, text) => {
    $(areas[area].status).textContent = text || '';
};

function setBusy(area, busy, text) {
    const active = document.activeElement;
    const hadFocus =
        active === $(areas[area].stop) ||
        active === $(areas[area].button) ||
        active === document.body ||
        !active;
    for (const a of Object.values(areas)) {
        $(a.button).disabled = busy;
        $(a.stop).disabled = !busy;
    }
    $('progress').hidden = !(busy && area === 'cartesian');
    if (busy) {
        $('progress').removeAttribute('value');
        $('progress').removeAttribute('max');
    }
    busyArea = busy ? area : null;
    setStatus(area, text);
    // Focus stays where the user is: on Stop while a test runs, back on the button after.
    if (hadFocus) $(busy ? areas[area].stop : areas[area].button).focus();
}

let pairsTotal = 0,
    pairsDone = 0;
function showProgress(e) {
    const bar = $('progress');
    const counted = () => ` (${pairsDone} of ${pairsTotal} pairs done)`;
    if (e.step === 'share' && e.event === 'began') {
        // Each worker says how many pairs its share holds, as it has read the treatments.
        pairsTotal += e.pairs;
        bar.max = pairsTotal + 1;
        setStatus('cartesian', `Treatments read; comparing ${pairsTotal} pairs…`);
    } else if (e.event === 'began') {
        pairsTotal = e.pairs;
        pairsDone = 0;
        // One step per pair and one for the report.
        bar.max = pairsTotal + 1;
        bar.value = 0;
        setStatus('cartesian', `Treatments read; comparing ${pairsTotal} pairs…`);
    } else if (e.event === 'differences' || e.event === 'sorting') {
        setStatus(
            'cartesian',
            `Pair ${e.i}–${e.j}: ${e.event === 'sorting' ? 'sorting the differences' : 'forming the differences'}` +
                counted(),
        );
    } else if (e.event === 'done') {
        bar.value = ++pairsDone;
        if (pairsDone === pairsTotal)
            setStatus('cartesian', 'Every pair compared; writing the report…');
    } else if (e.event === 'packing') {
        bar.value = pairsTotal + 1;
        setStatus('cartesian', 'Report written; handing the files to the page…');
    }
}

function treatmentCount() {
    if (chosen.some((c) => isTable(c.file.name))) return null; // known once the tables are read
    return chosen.length;
}

function listFiles() {
    const ul = $('file-list');
    ul.replaceChildren(
        ...chosen.map((c, i) => {
            const f = c.file;
            const li = document.createElement('li');
            const text = document.createElement('span');
            const size = `${f.size.toLocaleString('en')} bytes`;
            text.textContent = `${f.name} (${isTable(f.name) ? 'table, ' : ''}${size})${c.note ? ' ' + c.note : ''} `;
            // Name and B as the file's first fields give them; the test's own reading comes after Run.
            if (!isTable(f.name)) {
                f.slice(0, 4096)
                    .text()
                    .then((t) => {
                        const h = treatmentHeading(t);
                        c.B = h ? Number(h.B) : null;
                        if (h && li.isConnected)
                            text.textContent = `${f.name}: ${h.name}, B = ${h.B} (${size})${c.note ? ' ' + c.note : ''} `;
                    });
            }
            const b = document.createElement('button');
            b.type = 'button';
            b.textContent = 'Drop';
            b.setAttribute('aria-label', 'Drop ' + f.name);
            b.onclick = () => {
                chosen.splice(i, 1);
                listFiles();
                // Focus goes to the file now in the dropped one's place, or back to choosing files.
                const buttons = $('file-list').querySelectorAll('button');
                (buttons[Math.min(i, buttons.length - 1)] || $('treatment-files')).focus();
            };
            li.append(text, b);
            return li;
        }),
    );
    const n = chosen.length,
        tables = chosen.filter((c) => isTable(c.file.name)).length;
    $('files-summary').textContent =
        n === 0
            ? 'No files chosen.'
            : `${n} file${n > 1 ? 's' : ''} chosen` +
              (tables ? ` (${tables} table${tables > 1 ? 's' : ''})` : '') +
              '.';
}

// Two files of one name would share one place in the core's folder: a file chosen under a name
// already listed takes the listed one's place, and the list says so.
function addFiles(list) {
    const replaced = [];
    for (const f of list) {
        const i = chosen.findIndex((c) => c.file.name === f.name);
        if (i >= 0) {
            chosen[i] = { file: f, note: '— replaced the file of this name chosen before' };
            replaced.push(f.name);
        } else chosen.push({ file: f, note: '' });
    }
    listFiles();
    if (replaced.length)
        setStatus(
            'cartesian',
            `${replaced.join(', ')}: chosen again; the new file replaces the one listed before.`,
        );
}

function clearResults() {
    last = null;
    $('results').hidden = true;
    for (const id of ['letters', 'pairs']) {
        $(id).tHead.replaceChildren();
        $(id).tBodies[0].replaceChildren();
    }
    $('figure').replaceChildren();
    $('means-figure').replaceChildren();
    $('paper-table').removeAttribute('srcdoc');
    for (const id of ['parameter', 'f-value', 'sidak', 'notes', 'paper-status'])
        $(id).textContent = '';
    $('download-details-zip').hidden = true;
}

function clearSortResults() {
    lastSort = null;
    $('sc-results').hidden = true;
    $('sc-chart').replaceChildren();
}

// A table's cells; each cell of a column carries its column's key for scripts that read it.
function fillTable(table, columns, rows) {
    const tr = document.createElement('tr');
    for (const [key, heading] of columns) {
        const th = document.createElement('th');
        th.scope = 'col';
        th.textContent = heading;
        th.dataset.col = key;
        tr.append(th);
    }
    table.tHead.replaceChildren(tr);
    table.tBodies[0].replaceChildren(
        ...rows.map((r) => {
            const row = document.createElement('tr');
            columns.forEach(([key], k) => {
                const td = document.createElement('td');
                td.textContent = r[k];
                td.dataset.col = key;
                row.append(td);
            });
            return row;
        }),
    );
}

// The drawing holds treatment names from the files: keep it to drawing, with nothing to run.
function showSvg(container, svg) {
    const doc = new DOMParser().parseFromString(svg, 'image/svg+xml');
    doc.querySelectorAll('script, foreignObject').forEach((n) => n.remove());
    doc.querySelectorAll('*').forEach((n) =>
        [...n.attributes].forEach((a) => {
            if (/^on/i.test(a.name) || /^\s*javascript:/i.test(a.value)) n.removeAttribute(a.name);
        }),
    );
    // Moved into the page, not copied: the differences figure of 20 treatments has 14,000 elements.
    container.replaceChildren(document.adoptNode(doc.documentElement));
}

function showCartesian(r) {
    last = r;
    const s = r.summary;
    const yes = (v) => (v ? 'yes' : 'no');
    $('parameter').textContent = s.parameter;
    $('f-value').textContent = `${s.F.text} (${s.dfBetween.text}, ${s.dfWithin.text})`;
    $('sidak').textContent = s.sidak.text;
    $('notes').textContent = s.notes.join(' ');
    fillTable(
        $('letters'),
        [
            ['treatment', 'Treatment'],
            ['n', 'n'],
            ['B', 'B'],
            ['original', 'Original estimate'],
            ['mean', 'Bootstrap mean'],
            ['se', 'SE'],
            ['letters', 'Letters'],
        ],
        s.treatments.map((t) => [
            t.name,
            t.n,
            t.B,
            t.original.text,
            t.mean.text,
            t.se.text,
            t.letters,
        ]),
    );
    makeSortable($('letters'));
    // P and the verdicts first, so that a narrow screen shows them without scrolling sideways.
    fillTable(
        $('pairs'),
        [
            ['pair', 'Pair'],
            ['P', 'P'],
            ['at5', 'P ≤ 0.05'],
            ['sidak', 'Below Šidák'],
            ['mean', 'Mean difference'],
            ['tLower', 't lower'],
            ['tUpper', 't upper'],
            ['percentileLower', 'Percentile lower'],
            ['percentileUpper', 'Percentile upper'],
        ],
        s.pairs.map((p) => [
            `${p.a} − ${p.b}`,
            p.P.text,
            yes(p.atFivePercent),
            yes(p.belowSidak),
            p.mean.text,
            p.tLower.text,
            p.tUpper.text,
            p.percentileLower.text,
            p.percentileUpper.text,
        ]),
    );
    showSvg($('figure'), s.figure);
    $('download-details-zip').hidden = !r.details;
    $('results').hidden = false;
    fillDecimals(s.paper.autoDecimals);
    showPaper();
}

// The core made the paper table at every number of decimals and the means figure in every style
// and width; the page shows and saves the ones chosen, as bytes the core wrote.
const utf8 = new TextDecoder();
function paperChoice() {
    const p = last.summary.paper;
    const d = Number($('paper-decimals').value);
    return {
        table: p.tables[d < 0 ? p.autoDecimals : d],
        figure: p.figures[`${$('means-style').value}-${$('means-width').value}`],
    };
}

// Automatic (the core's choice for this test) first; a number chosen before stays chosen.
function fillDecimals(auto) {
    const select = $('paper-decimals');
    const kept = select.value;
    select.replaceChildren(
        ...[-1, ...Array.from({ length: 13 }, (_, d) => d)].map((d) => {
            const o = document.createElement('option');
            o.value = String(d);
            o.textContent = d < 0 ? `automatic (${auto})` : String(d);
            return o;
        }),
    );
    select.value = kept && kept !== '' ? kept : '-1';
}

function fitTableFrame() {
    const frame = $('paper-table');
    try {
        frame.style.height = '';
        frame.style.height = frame.contentDocument.documentElement.scrollHeight + 4 + 'px';
    } catch {
        frame.style.height = '';
    }
}
window.addEventListener('resize', () => last && fitTableFrame());

// The table is the core's HTML page, shown as it pastes into a word processor: in a frame of
// its own, sandboxed so that nothing in it runs, sized to what it holds.
function showPaper() {
    if (!last) return;
    const { table, figure } = paperChoice();
    const frame = $('paper-table');
    frame.onload = fitTableFrame;
    frame.srcdoc = utf8.decode(table.html);
    showSvg($('means-figure'), utf8.decode(figure.svg));
    // On screen at 1.5 times its printed size (its text is 7 to 8 points), on a phone at most
    // the screen's width.
    const svg = $('means-figure').querySelector('svg');
    svg.style.width = `${((figure.widthMm / 25.4) * 96 * 1.5).toFixed(1)}px`;
}

function makeSortable(table) {
    const ths = table.tHead.rows[0].cells;
    [...ths].forEach((th, c) => {
        th.tabIndex = 0;
        th.setAttribute('aria-sort', 'none');
        const sort = () => {
            const dir = th.getAttribute('aria-sort') === 'ascending' ? -1 : 1;
            [...ths].forEach((o) => o.setAttribute('aria-sort', 'none'));
            th.setAttribute('aria-sort', dir > 0 ? 'ascending' : 'descending');
            const rows = [...table.tBodies[0].rows];
            rows.sort((a, b) => {
                const x = a.cells[c].textContent,
                    y = b.cells[c].textContent;
                const nx = Number(x),
                    ny = Number(y);
                const d =
                    x !== '' && y !== '' && !isNaN(nx) && !isNaN(ny) ? nx - ny : x.localeCompare(y);
                return d * dir;
            });
            table.tBodies[0].append(...rows);
        };
        th.onclick = sort;
        th.onkeydown = (e) => {
            if (e.key === 'Enter' || e.key === ' ') {
                e.preventDefault();
                sort();
            }
        };
    });
}

function tableTsv(table) {
    return (
        [...table.rows].map((r) => [...r.cells].map((c) => c.textContent).join('\t')).join('\n') +
        '\n'
    );
}

function download(name, data, type) {
    const url = URL.createObjectURL(data instanceof Blob ? data : new Blob([data], { type }));
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
}

// A drawing as a PNG on white, by default at twice the screen's pixel ratio.
function svgPng(svg, size) {
    return new Promise((resolve, reject) => {
        const img = new Image();
        const url = URL.createObjectURL(new Blob([svg], { type: 'image/svg+xml' }));
        img.onload = () => {
            const scale = (window.devicePixelRatio || 1) * 2;
            const c = document.createElement('canvas');
            [c.width, c.height] = size
                ? size(img)
                : [Math.round(img.width * scale), Math.round(img.height * scale)];
            const g = c.getContext('2d');
            g.fillStyle = '#fff';
            g.fillRect(0, 0, c.width, c.height);
            g.drawImage(img, 0, 0, c.width, c.height);
            URL.revokeObjectURL(url);
            c.toBlob(resolve, 'image/png');
        };
        img.onerror = () => {
            URL.revokeObjectURL(url);
            reject(new Error('The drawing could not be turned into a picture.'));
        };
        img.src = url;
    });
}

// The PNG's resolution chunk (pHYs, pixels per metre), which a canvas does not write, put after
// its header chunk so that a word processor places the picture at its printed size.
const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
});
function crc32(bytes) {
    let c = 0xffffffff;
    for (const b of bytes) c = CRC_TABLE[(c ^ b) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
}
async function withResolution(png, dpi) {
    const bytes = new Uint8Array(await png.arrayBuffer());
    const perMetre = Math.round(dpi / 0.0254);
    const chunk = new Uint8Array(21);
    const view = new DataView(chunk.buffer);
    view.setUint32(0, 9);
    chunk.set([0x70, 0x48, 0x59, 0x73], 4); // "pHYs"
    view.setUint32(8, perMetre);
    view.setUint32(12, perMetre);
    chunk[16] = 1; // the unit is the metre
    view.setUint32(17, crc32(chunk.subarray(4, 17)));
    const headerEnd = 8 + 25; // the signature, then IHDR (length, type, 13 bytes, CRC)
    return new Blob([bytes.subarray(0, headerEnd), chunk, bytes.subarray(headerEnd)], {
        type: 'image/png',
    });
}

// The means figure as a PNG at 600 dpi of its printed size, as the desktop program makes it.
const MEANS_DPI = 600;
function meansPng(figure) {
    const pixels = (mm) => Math.round((mm / 25.4) * MEANS_DPI);
    return svgPng(utf8.decode(figure.svg), () => [
        pixels(figure.widthMm),
        pixels(figure.heightMm),
    ]).then((png) => withResolution(png, MEANS_DPI));
}

// The page's controls that a refusal of the core can name.
const CONTROLS = { transform: 'transform', code: 'code', decimals: 'decimals', kind: 'kind' };
function refuse(area, r) {
    showError(area, r.message);
    setBusy(area, false);
    if (r.control && CONTROLS[r.control]) $(CONTROLS[r.control]).focus();
}

// Reads the files one by one, checking each first; null when the run was stopped meanwhile.
// The files are checked, then read, all at once: each read waits on the browser, not on the
// page, so twenty small files take little longer than one. The first problem in the list's
// order is the one told.
async function readFiles(files, number, area) {
    if (files.length > 1) setStatus(area, `Reading ${files.length} files…`);
    const problems = await Promise.all(files.map((f) => checkInputFile(f)));
    if (number !== runNumber) return null;
    const problem = problems.find(Boolean);
    if (problem) throw new Error(problem);
    const read = await Promise.all(files.map((f) => f.arrayBuffer()));
    if (number !== runNumber) return null;
    return files.map((f, k) => ({ name: f.name, bytes: read[k] }));
}

function detailProblem() {
    if (!$('detail-files').checked) return '';
    const Bs = chosen.map((c) => c.B);
    if (Bs.some((B) => !(B > 0))) return '';
    let sum = 0;
    for (let i = 0; i < Bs.length; ++i)
        for (let j = i + 1; j < Bs.length; ++j) sum += Bs[i] * Bs[j];
    return sum > MAX_DETAIL_DIFFERENCES
        ? `Detail files would list ${sum.toLocaleString('en')} differences; the page writes them for at most ${MAX_DETAIL_DIFFERENCES.toLocaleString('en')} (B × B summed over the pairs). Untick Detail files, or use the desktop program.`
        : '';
}

// Pairs of more differences than a value list holds (B_i x B_j above 4,000,005) are computed
// on their own, from the sorted samples, and so can be computed in parallel. Whether a test has
// any is told by the files' B (a table: by its lines, one value a line at least).
const LIST_CAPACITY = 4000005;
function pastTheLists(files) {
    const Bs = [];
    for (const f of files) {
        const bytes = new Uint8Array(f.bytes);
        if (isTable(f.name)) {
            let lines = 0;
            for (const b of bytes) if (b === 10 && ++lines > 2001) return true;
        } else {
            const h = treatmentHeading(utf8.decode(bytes.subarray(0, 4096)));
            if (h) Bs.push(Number(h.B));
        }
    }
    Bs.sort((a, b) => b - a);
    return Bs.length > 1 && Bs[0] * Bs[1] > LIST_CAPACITY;
}

// How many workers share such pairs: one per processor core up to four, each holding the values
// (about four times the files' bytes), within about 2 GiB in all; or as the page is told
// (data-workers on the body, for tests and timings). Below about 16 MiB of files, a second
// worker's start and its copy of the values cost more than its share saves.
const SHARED_FROM_BYTES = 16 * MIB;
function workerCount(files) {
    const told = Number(document.body.dataset.workers);
    if (told >= 1) return Math.floor(told);
    const bytes = files.reduce((sum, f) => sum + f.bytes.byteLength, 0);
    if (bytes < SHARED_FROM_BYTES) return 1;
    const fit = Math.floor((2 * 1024 ** 3) / (4 * bytes));
    return Math.max(1, Math.min(navigator.hardwareConcurrency || 1, 4, fit));
}

// Every worker parses its share of the treatment files (each file as the core reads it) and is
// given the others' values, reads the treatments and computes its share of the pairs past the
// lists; the first then finishes the test with all of them: the same files, byte for byte, as
// one worker computing every pair.
async function splitRun(files, options, number) {
    const count = workerCount(files);
    document.body.dataset.lastRunWorkers = String(count);
    if (count < 2)
        return ask(
            { type: 'cartesian', files, ...options },
            files.map((f) => f.bytes),
        );
    pairsTotal = 0;
    pairsDone = 0;
    // Each worker its own copy of the files, made before the first goes over.
    const inputs = Array.from({ length: count }, (_, k) =>
        k === 0 ? files : files.map((f) => ({ ...f, bytes: f.bytes.slice(0) })),
    );
    // The first worker, which also finishes the test, reads the last share of the files: the
    // smallest where they do not divide evenly.
    const read = await Promise.all(
        inputs.map((input, k) =>
            workerNumber(k).ask(
                {
                    type: 'read',
                    files: input,
                    ...options,
                    share: count - 1 - k,
                    shares: count,
                    finishing: k === 0,
                },
                input.map((f) => f.bytes),
            ),
        ),
    );
    if (number !== runNumber) return { type: 'stopped' };
    // A file refused: the test run whole in the first worker names the fault it meets first,
    // as one worker would.
    if (read.some((r) => r.type !== 'values'))
        return ask({ type: 'cartesian', files: null, ...options });
    // The files stand in each worker already: only their names go with the share.
    const names = files.map((f) => ({ name: f.name }));
    const shares = await Promise.all(
        read.map((_, k) => {
            const given = read.flatMap((r, m) => (m === k ? [] : r.values));
            // Between two workers each value list goes to one other: it is handed over, not
            // copied.
            const transfer =
                count === 2
                    ? given.flatMap((v) => [v.first.values.buffer, v.second.values.buffer])
                    : [];
            return workerNumber(k).ask(
                {
                    type: 'share',
                    files: names,
                    given,
                    ...options,
                    share: k,
                    shares: count,
                    finishing: k === 0,
                },
                transfer,
            );
        }),
    );
    if (number !== runNumber) return { type: 'stopped' };
    const refused = shares.find((r) => r.type !== 'share');
    if (refused) return refused;
    return ask({ type: 'finish', given: shares.flatMap((r) => r.pairs) });
}

async function runCartesian() {
    const number = ++runNumber;
    showError('cartesian', '');
    clearResults();
    const started = performance.now();
    const count = treatmentCount();
    if (chosen.length === 0) {
        showError('cartesian', 'Choose the treatment files first (or try the example data).');
        return;
    }
    if (count !== null && (count < 2 || count > 20)) {
        showError(
            'cartesian',
            `Choose 2 to 20 treatments: one file each, or a .csv table that holds them (${count} treatment file chosen).`,
        );
        return;
    }
    const total = chosen.reduce((sum, c) => sum + c.file.size, 0);
    if (total > MAX_TOTAL_BYTES) {
        showError(
            'cartesian',
            `The ${chosen.length} files hold ${(total / MIB).toFixed(1)} MiB together; a test takes at most ${MAX_TOTAL_BYTES / MIB} MiB.`,
        );
        return;
    }
    const tooMany = detailProblem();
    if (tooMany) {
        showError('cartesian', tooMany);
        return;
    }
    setBusy('cartesian', true, 'Reading the files…');
    try {
        const files = await readFiles(
            chosen.map((c) => c.file),
            number,
            'cartesian',
        );
        if (!files) return;
        setStatus('cartesian', 'Reading the treatments…');
        const options = {
            transform: $('transform').value,
            code: $('code').value.trim(),
            reversed: $('reversed').checked,
            parameter: $('table-parameter').value.trim(),
            detailFiles: $('detail-files').checked,
            flowRecord: $('flow-record').checked,
        };
        const shares = pastTheLists(files) && !options.detailFiles && !options.flowRecord;
        document.body.dataset.lastRunWorkers = '1';
        const r = shares
            ? await splitRun(files, options, number)
            : await ask(
                  { type: 'cartesian', files, ...options },
                  files.map((f) => f.bytes),
              );
        if (number !== runNumber || r.type === 'stopped') return;
        if (r.type === 'refused') {
            refuse('cartesian', r);
            return;
        }
        showCartesian(r);
        const seconds = ((performance.now() - started) / 1000).toFixed(2);
        setBusy(
            'cartesian',
            false,
            `Done in ${seconds} s: ${r.summary.treatments.length} treatments, ${r.summary.pairs.length} pairs.`,
        );
        document.body.dataset.lastRunMs = String(performance.now() - started);
    } catch (e) {
        if (number !== runNumber) return;
        showError('cartesian', e.message);
        setBusy('cartesian', false);
    }
}

async function runSortCount() {
    const number = ++runNumber;
    showError('sortcount', '');
    clearSortResults();
    const f = $('sortcount-file').files[0];
    if (!f) {
        showError('sortcount', 'Choose a file to sort and count.');
        $('sortcount-file').focus();
        return;
    }
    const decimals = $('decimals').value.trim() === '' ? -1 : Number($('decimals').value);
    setBusy('sortcount', true, 'Reading the file…');
    try {
        const files = await readFiles([f], number, 'sortcount');
        if (!files) return;
        setStatus('sortcount', 'Sorting and counting…');
        const r = await ask(
            {
                type: 'sortcount',
                file: files[0],
                kind: $('kind').value,
                decimals,
                serials: $('serials').checked,
                column: $('sortcount-column').value.trim(),
            },
            [files[0].bytes],
        );
        if (number !== runNumber || r.type === 'stopped') return;
        if (r.type === 'refused') {
            refuse('sortcount', r);
            return;
        }
        lastSort = r;
        if (r.chart) {
            lastSort.svg = sortCountSvg(r.chart);
            showSvg($('sc-chart'), lastSort.svg);
        } else {
            $('sc-chart').textContent =
                r.classCount > 0
                    ? `No chart: ${r.classCount.toLocaleString('en')} classes are more than the chart draws, or results have none.`
                    : 'No chart for this kind of file.';
        }
        for (const id of ['download-chart-svg', 'download-chart-png']) $(id).disabled = !r.chart;
        $('sc-results').hidden = false;
        setBusy(
            'sortcount',
            false,
            `Done: ${r.classCount.toLocaleString('en')} classes. Files: ${Object.values(r.files)
                .map((x) => x.name)
                .join(', ')}.`,
        );
    } catch (e) {
        if (number !== runNumber) return;
        showError('sortcount', e.message);
        setBusy('sortcount', false);
    }
}

function stop() {
    ++runNumber;
    const area = busyArea || 'cartesian';
    // Nothing is written anywhere until a run ends, so ending the workers loses nothing.
    for (const w of workers) w.end();
    if (area === 'cartesian') clearResults();
    else clearSortResults();
    setBusy(area, false, 'Stopped; nothing was written.');
    startWorker();
}

function loadExamples() {
    chosen = [];
    addFiles(EXAMPLES.map(([name, text]) => new File([text], name, { type: 'text/plain' })));
    setStatus('cartesian', 'The five example treatments are chosen: press Run.');
}

$('treatment-files').addEventListener('change', (e) => {
    addFiles(e.target.files);
    e.target.value = '';
});
// Files dragged onto the test's section are added as if chosen.
const cartSection = $('cart-h').parentElement;
cartSection.addEventListener('dragover', (e) => {
    e.preventDefault();
    e.dataTransfer.dropEffect = 'copy';
});
cartSection.addEventListener('drop', (e) => {
    e.preventDefault();
    addFiles(e.dataTransfer.files);
});
$('clear-files').onclick = () => {
    chosen = [];
    listFiles();
};
$('example-data').onclick = loadExamples;
$('run').onclick = runCartesian;
$('stop').onclick = stop;
$('sortcount-stop').onclick = stop;
$('sortcount-run').onclick = runSortCount;
const copy = (table, what) =>
    navigator.clipboard.writeText(tableTsv($(table))).then(
        () => setStatus('cartesian', `${what} copied.`),
        () =>
            setStatus(
                'cartesian',
                'The browser refused the clipboard; select the table and copy it instead.',
            ),
    );
$('copy-letters').onclick = () => copy('letters', 'Treatments');
$('copy-pairs').onclick = () => copy('pairs', 'Pairs');
const saveFile = (f, type) => f && download(f.name, f.bytes, type);
const stem = () => last.files.report.name.replace(/\.txt$/, '');
$('download-report').onclick = () => last && saveFile(last.files.report, 'text/plain');
$('download-pairs-csv').onclick = () => last && saveFile(last.files['pairs-csv'], 'text/csv');
$('download-treatments-csv').onclick = () =>
    last && saveFile(last.files['treatments-csv'], 'text/csv');
$('download-details-zip').onclick = () => last && saveFile(last.details, 'application/zip');
$('download-figure-svg').onclick = () =>
    last && download(stem() + ' figure.svg', last.summary.figure, 'image/svg+xml');
$('download-figure-png').onclick = () =>
    last &&
    svgPng(last.summary.figure).then(
        (b) => download(stem() + ' figure.png', b),
        (e) => showError('cartesian', e.message),
    );
const PAPER_TYPES = {
    csv: 'text/csv',
    md: 'text/markdown',
    html: 'text/html',
    tex: 'application/x-tex',
};
for (const [format, type] of Object.entries(PAPER_TYPES))
    $(`download-paper-${format}`).onclick = () =>
        last && download(`${stem()} table.${format}`, paperChoice().table[format], type);
$('download-means-svg').onclick = () =>
    last && download(stem() + ' means.svg', paperChoice().figure.svg, 'image/svg+xml');
$('download-means-png').onclick = () =>
    last &&
    meansPng(paperChoice().figure).then(
        (b) => download(stem() + ' means.png', b),
        (e) => showError('cartesian', e.message),
    );
for (const id of ['paper-decimals', 'means-style', 'means-width']) $(id).onchange = showPaper;
// HTML for a word processor, with the Markdown table as the plain text beside it.
$('copy-paper-table').onclick = () => {
    if (!last) return;
    const { table } = paperChoice();
    const [html, text] = [utf8.decode(table.html), utf8.decode(table.md)];
    const said = (what) => ($('paper-status').textContent = what);
    (typeof ClipboardItem === 'function'
        ? navigator.clipboard.write([
              new ClipboardItem({
                  'text/html': new Blob([html], { type: 'text/html' }),
                  'text/plain': new Blob([text], { type: 'text/plain' }),
              }),
          ])
        : navigator.clipboard.writeText(text)
    ).then(
        () => said('Table copied: paste it into a word processor.'),
        () => said('The browser refused the clipboard; download the HTML table instead.'),
    );
};
$('download-sorted').onclick = () => lastSort && saveFile(lastSort.files.sorted, 'text/plain');
$('download-percentiles').onclick = () =>
    lastSort && saveFile(lastSort.files.percentile, 'text/plain');
$('download-counts').onclick = () => lastSort && saveFile(lastSort.files.counts, 'text/plain');
const chartStem = () => lastSort.files.sorted.name.replace(/\.[^.]*$/, '');
$('download-chart-svg').onclick = () =>
    lastSort && lastSort.svg && download(chartStem() + ' chart.svg', lastSort.svg, 'image/svg+xml');
$('download-chart-png').onclick = () =>
    lastSort &&
    lastSort.svg &&
    svgPng(lastSort.svg).then(
        (b) => download(chartStem() + ' chart.png', b),
        (e) => showError('sortcount', e.message),
    );

setStatus('cartesian', 'Loading the core…');
startWorker().then(
    (v) => {
        version = v;
        setStatus('cartesian', 'Ready: choose treatment files, or try the example data.');
        $('version').textContent = version;
        $('cite-version').textContent = version;
        document.body.dataset.readyMs = String(Math.round(performance.now()));
        document.body.dataset.ready = 'true';
        // The workers that share large tests, ready before the first such test.
        for (let k = 1; k < Math.min(navigator.hardwareConcurrency || 1, 4); ++k) workerNumber(k);
    },
    (e) => showError('cartesian', 'The core could not be loaded: ' + e.message),
);
