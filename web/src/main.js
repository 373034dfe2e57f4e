// The page: reads the chosen files, hands them to the core in a worker, shows what it returns.
/* global __WORKER_SOURCE__ */
import { parseCsv, checkInputFile, treatmentHeading, MAX_FILE_BYTES, MAX_TOTAL_BYTES } from './input.js';
import { drawSortCountChart } from './chart.js';

const $ = (id) => document.getElementById(id);
let chosen = [];
let worker = null;
let workerReady = null;
let core = null; // { glue: string, wasm: ArrayBuffer }
let last = null; // the last cartesian result
let lastSort = null;
let pending = null;

async function loadCore() {
  if (core) return core;
  const embed = window.VORTEL_EMBED;
  if (embed) {
    const bin = atob(embed.wasm);
    const bytes = new Uint8Array(bin.length);
    for (let i = 0; i < bin.length; ++i) bytes[i] = bin.charCodeAt(i);
    core = { glue: embed.glue, wasm: bytes.buffer };
  } else {
    const [glue, wasm] = await Promise.all([
      fetch('vortel-web.js').then((r) => { if (!r.ok) throw new Error('vortel-web.js: ' + r.status); return r.text(); }),
      fetch('vortel-web.wasm').then((r) => { if (!r.ok) throw new Error('vortel-web.wasm: ' + r.status); return r.arrayBuffer(); }),
    ]);
    core = { glue, wasm };
  }
  return core;
}

function startWorker() {
  workerReady = loadCore().then((c) => new Promise((resolve, reject) => {
    const url = URL.createObjectURL(new Blob([c.glue, '\n', __WORKER_SOURCE__], { type: 'text/javascript' }));
    worker = new Worker(url);
    URL.revokeObjectURL(url);
    worker.onmessage = (e) => {
      if (e.data.type === 'ready') { resolve(); return; }
      if (e.data.type === 'progress') { showProgress(e.data.line); return; }
      if (pending) { const p = pending; pending = null; p(e.data); }
    };
    worker.onerror = (e) => {
      reject(new Error(e.message || 'the worker failed'));
      if (pending) { const p = pending; pending = null; p({ type: 'refused', message: 'The computation failed: ' + (e.message || 'worker error') }); }
    };
    // A copy goes over, so that a later fresh worker can have the bytes again.
    worker.postMessage({ type: 'wasm', bytes: c.wasm.slice(0) });
  }));
  return workerReady;
}

function ask(msg, transfer) {
  return workerReady.then(() => new Promise((resolve) => {
    pending = resolve;
    worker.postMessage(msg, transfer);
  }));
}

function showError(text) {
  const el = $('error');
  el.textContent = text;
  el.hidden = !text;
}

function setBusy(busy, text) {
  $('run').disabled = busy;
  $('sortcount-run').disabled = busy;
  $('stop').disabled = !busy;
  $('progress').hidden = !busy;
  if (busy) $('progress').removeAttribute('value');
  $('status').textContent = text || '';
}

// "progress began PAIRS", "progress pair I J differences|sorting", "progress done I J".
let pairsTotal = 0, pairsDone = 0;
function showProgress(line) {
  const w = line.split(' ');
  const bar = $('progress');
  if (w[1] === 'began') { pairsTotal = Number(w[2]); pairsDone = 0; bar.max = pairsTotal; bar.value = 0; }
  else if (w[1] === 'done') { bar.value = ++pairsDone; }
  if (w[1] === 'pair') $('status').textContent = `Pair ${w[2]}–${w[3]}: ${w[4]} (${pairsDone} of ${pairsTotal} done)`;
}

function listFiles() {
  const ul = $('file-list');
  ul.replaceChildren(...chosen.map((f, i) => {
    const li = document.createElement('li');
    li.textContent = f.name + ' (' + f.size.toLocaleString('en') + ' bytes) ';
    // Name and B as the file's first fields give them; the test's own reading comes after Run.
    if (!/\.csv$/i.test(f.name)) {
      f.slice(0, 4096).text().then((t) => {
        const h = treatmentHeading(t);
        if (h && li.isConnected) li.firstChild.textContent = `${f.name}: ${h.name}, B = ${h.B} (${f.size.toLocaleString('en')} bytes) `;
      });
    }
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = 'Drop';
    b.setAttribute('aria-label', 'Drop ' + f.name);
    b.onclick = () => { chosen.splice(i, 1); listFiles(); };
    li.append(b);
    return li;
  }));
}

async function readChecked(file) {
  const problem = await checkInputFile(file);
  if (problem) throw new Error(problem);
  return file.arrayBuffer();
}

function fillTable(table, header, rows) {
  const thead = table.tHead, tbody = table.tBodies[0];
  const tr = document.createElement('tr');
  header.forEach((h) => { const th = document.createElement('th'); th.scope = 'col'; th.textContent = h; tr.append(th); });
  thead.replaceChildren(tr);
  tbody.replaceChildren(...rows.map((r) => {
    const row = document.createElement('tr');
    r.forEach((v) => { const td = document.createElement('td'); td.textContent = v; row.append(td); });
    return row;
  }));
}

const num = (s, digits) => {
  const x = Number(s);
  return Number.isFinite(x) ? x.toPrecision(digits) : s;
};

function showCartesian(r) {
  last = r;
  // The bytes go to the downloads untouched; only the tables shown are decoded.
  const pairs = parseCsv(new TextDecoder().decode(r.pairs));
  const treatments = parseCsv(new TextDecoder().decode(r.treatments));
  const ph = pairs[0], th = treatments[0];
  const col = (h, name) => h.indexOf(name);
  const P = (name) => col(ph, name);
  const yes = (v) => (v === 'TRUE' ? 'yes' : 'no');
  fillTable($('pairs'), ['Pair', 'Mean difference', 't lower', 't upper', 'Percentile lower', 'Percentile upper', 'P', 'At 5 %', 'Below Šidák'],
    pairs.slice(1).map((row) => [
      row[P('treatment_a')] + ' − ' + row[P('treatment_b')],
      num(row[P('mean_difference')], 6), num(row[P('t_lower')], 6), num(row[P('t_upper')], 6),
      num(row[P('percentile_lower')], 6), num(row[P('percentile_upper')], 6),
      row[P('P')], yes(row[P('P_at_most_0.05')]), yes(row[P('P_below_sidak')]),
    ]));
  const T = (name) => col(th, name);
  const letterRows = treatments.slice(1).map((row) => [row[T('treatment')], row[T('B')], num(row[T('bootstrap_mean')], 6), row[T('letters')]]);
  fillTable($('letters'), ['Treatment', 'B', 'Mean', 'Letters'], letterRows);
  makeSortable($('letters'));
  const fig = $('figure');
  for (const id of ['download-figure-svg', 'download-figure-png']) $(id).disabled = !r.figure;
  if (!r.figure) {
    fig.textContent = 'This build of the core draws no figure.';
    $('results').hidden = false;
    return;
  }
  const doc = new DOMParser().parseFromString(r.figure, 'image/svg+xml');
  // The figure holds treatment names from the files: keep it to drawing, with nothing to run.
  doc.querySelectorAll('script, foreignObject').forEach((n) => n.remove());
  doc.querySelectorAll('*').forEach((n) => [...n.attributes].forEach((a) => {
    if (/^on/i.test(a.name) || /^\s*javascript:/i.test(a.value)) n.removeAttribute(a.name);
  }));
  fig.replaceChildren(document.importNode(doc.documentElement, true));
  $('results').hidden = false;
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
        const x = a.cells[c].textContent, y = b.cells[c].textContent;
        const nx = Number(x), ny = Number(y);
        const d = x !== '' && y !== '' && !isNaN(nx) && !isNaN(ny) ? nx - ny : x.localeCompare(y);
        return d * dir;
      });
      table.tBodies[0].append(...rows);
    };
    th.onclick = sort;
    th.onkeydown = (e) => { if (e.key === 'Enter' || e.key === ' ') { e.preventDefault(); sort(); } };
  });
}

function tableTsv(table) {
  return [...table.rows].map((r) => [...r.cells].map((c) => c.textContent).join('\t')).join('\n') + '\n';
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

function figurePng() {
  return new Promise((resolve, reject) => {
    const svg = last.figure;
    const img = new Image();
    const url = URL.createObjectURL(new Blob([svg], { type: 'image/svg+xml' }));
    img.onload = () => {
      const scale = (window.devicePixelRatio || 1) * 2;
      const c = document.createElement('canvas');
      c.width = Math.round(img.width * scale);
      c.height = Math.round(img.height * scale);
      const g = c.getContext('2d');
      g.fillStyle = '#fff';
      g.fillRect(0, 0, c.width, c.height);
      g.drawImage(img, 0, 0, c.width, c.height);
      URL.revokeObjectURL(url);
      c.toBlob(resolve, 'image/png');
    };
    img.onerror = () => { URL.revokeObjectURL(url); reject(new Error('the figure could not be drawn')); };
    img.src = url;
  });
}

async function runCartesian() {
  showError('');
  const started = performance.now();
  if (chosen.length < 2 || chosen.length > 20) { showError('Choose 2 to 20 treatment files (' + chosen.length + ' chosen).'); return; }
  const total = chosen.reduce((sum, f) => sum + f.size, 0);
  if (total > MAX_TOTAL_BYTES) {
    showError(`The ${chosen.length} files hold ${(total / 1048576).toFixed(1)} MB together; a test takes at most ${MAX_TOTAL_BYTES / 1048576} MB.`);
    return;
  }
  setBusy(true, 'Reading the files…');
  try {
    const files = [];
    for (const f of chosen) files.push({ name: f.name, bytes: await readChecked(f) });
    setBusy(true, 'Running the test…');
    const r = await ask({ type: 'cartesian', files, transform: $('transform').value, code: $('code').value.trim(), reversed: $('reversed').checked },
      files.map((f) => f.bytes));
    if (r.type === 'stopped') return;
    if (r.type === 'refused') { showError(r.message); setBusy(false); return; }
    showCartesian(r);
    setBusy(false, 'Done in ' + ((performance.now() - started) / 1000).toFixed(2) + ' s.');
    document.body.dataset.lastRunMs = String(performance.now() - started);
  } catch (e) {
    showError(e.message);
    setBusy(false);
  }
}

async function runSortCount() {
  showError('');
  const f = $('sortcount-file').files[0];
  if (!f) { showError('Choose a file to sort and count.'); return; }
  setBusy(true, 'Sorting…');
  try {
    const bytes = await readChecked(f);
    const r = await ask({ type: 'sortcount', file: { name: f.name, bytes }, kind: $('kind').value,
      decimals: Number($('decimals').value) || 0, serials: $('serials').checked }, [bytes]);
    if (r.type === 'stopped') return;
    if (r.type === 'refused') { showError(r.message); setBusy(false); return; }
    lastSort = r;
    $('sc-results').hidden = false;
    const counts = r.files.find((x) => /counts/i.test(x.name));
    if (counts) drawSortCountChart($('sc-chart'), new TextDecoder().decode(counts.bytes));
    setBusy(false, 'Sorted: ' + r.files.map((x) => x.name).join(', '));
  } catch (e) {
    showError(e.message);
    setBusy(false);
  }
}

function stop() {
  // Nothing is written anywhere, so ending the worker loses nothing.
  if (worker) worker.terminate();
  worker = null;
  if (pending) { const p = pending; pending = null; p({ type: 'stopped' }); }
  setBusy(false, 'Stopped.');
  startWorker();
}

// Files of the same name would share one place in the core's file system: a file chosen again
// (say, after it was mended) takes the place of the earlier one.
function addFiles(list) {
  for (const f of list) {
    const i = chosen.findIndex((c) => c.name === f.name);
    if (i >= 0) chosen[i] = f; else chosen.push(f);
  }
  listFiles();
}
$('treatment-files').addEventListener('change', (e) => {
  addFiles(e.target.files);
  e.target.value = '';
});
// Files dragged onto the test's section are added as if chosen.
const cartSection = $('cart-h').parentElement;
cartSection.addEventListener('dragover', (e) => { e.preventDefault(); e.dataTransfer.dropEffect = 'copy'; });
cartSection.addEventListener('drop', (e) => { e.preventDefault(); addFiles(e.dataTransfer.files); });
$('clear-files').onclick = () => { chosen = []; listFiles(); };
$('run').onclick = runCartesian;
$('stop').onclick = stop;
$('sortcount-run').onclick = runSortCount;
$('copy-letters').onclick = () => navigator.clipboard.writeText(tableTsv($('letters'))).then(
  () => { $('status').textContent = 'Letters copied.'; },
  () => { $('status').textContent = 'The clipboard refused; select the table instead.'; });
$('download-report').onclick = () => last && download(last.reportName, last.report, 'text/plain');
$('download-pairs-csv').onclick = () => last && download(last.pairsName, last.pairs, 'text/csv');
$('download-treatments-csv').onclick = () => last && download(last.treatmentsName, last.treatments, 'text/csv');
$('download-figure-svg').onclick = () => last && download(last.reportName.replace(/\.txt$/, '') + ' figure.svg', last.figure, 'image/svg+xml');
$('download-figure-png').onclick = () => last && figurePng().then((b) => download(last.reportName.replace(/\.txt$/, '') + ' figure.png', b), (e) => showError(e.message));
const fileOf = (re) => lastSort && lastSort.files.find((x) => re.test(x.name));
$('download-sorted').onclick = () => { const f = lastSort && lastSort.files[0]; if (f) download(f.name, f.bytes, 'text/plain'); };
$('download-percentile').onclick = () => { const f = fileOf(/percentile/i); if (f) download(f.name, f.bytes, 'text/plain'); };
$('download-counts').onclick = () => { const f = fileOf(/counts/i); if (f) download(f.name, f.bytes, 'text/plain'); };
window.matchMedia('(prefers-color-scheme: dark)').addEventListener('change', () => {
  const counts = fileOf(/counts/i);
  if (counts) drawSortCountChart($('sc-chart'), new TextDecoder().decode(counts.bytes));
});

$('status').textContent = 'Loading the core…';
startWorker().then(() => {
  $('status').textContent = 'Ready.';
  document.body.dataset.readyMs = String(Math.round(performance.now()));
  document.body.dataset.ready = 'true';
}, (e) => showError('The core could not be loaded: ' + e.message));
export { MAX_FILE_BYTES };
