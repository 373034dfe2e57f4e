// The frequency and probit chart of a sort-and-count, drawn from its counts file.
export function parseCounts(text) {
  const lines = text.split(/\r?\n/);
  const start = lines.findIndex((l) => /Group serial no\./.test(l));
  const rows = [];
  for (const l of lines.slice(start + 1)) {
    const f = l.split(/[\s,"]+/).filter((s) => s !== '').map(Number);
    if (f.length >= 3 && f.every(Number.isFinite)) rows.push({ value: f[1], count: f[2] });
  }
  return rows;
}

// Acklam's rational approximation of the normal quantile; ample for a chart.
function probit(p) {
  const a = [-39.69683028665376, 220.9460984245205, -275.9285104469687, 138.357751867269, -30.66479806614716, 2.506628277459239];
  const b = [-54.47609879822406, 161.5858368580409, -155.6989798598866, 66.80131188771972, -13.28068155288572];
  const c = [-0.007784894002430293, -0.3223964580411365, -2.400758277161838, -2.549732539343734, 4.374664141464968, 2.938163982698783];
  const d = [0.007784695709041462, 0.3224671290700398, 2.445134137142996, 3.754408661907416];
  const q = Math.min(p, 1 - p);
  let z;
  if (q > 0.02425) {
    const u = p - 0.5, r = u * u;
    return (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * u /
      (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
  }
  const t = Math.sqrt(-2 * Math.log(q));
  z = (((((c[0] * t + c[1]) * t + c[2]) * t + c[3]) * t + c[4]) * t + c[5]) / ((((d[0] * t + d[1]) * t + d[2]) * t + d[3]) * t + 1);
  return p < 0.5 ? z : -z;
}

export function drawSortCountChart(canvas, countsText) {
  const rows = parseCounts(countsText);
  const dpr = window.devicePixelRatio || 1;
  const w = canvas.clientWidth || 600, h = canvas.clientHeight || 320;
  canvas.width = Math.round(w * dpr);
  canvas.height = Math.round(h * dpr);
  const g = canvas.getContext('2d');
  g.setTransform(dpr, 0, 0, dpr, 0, 0);
  const style = getComputedStyle(document.body);
  const fg = style.color, accent = style.getPropertyValue('--accent').trim() || '#0b5cad';
  g.clearRect(0, 0, w, h);
  g.font = '12px system-ui, sans-serif';
  g.fillStyle = fg;
  if (!rows.length) { g.fillText('No classes to draw.', 10, 20); return; }
  const total = rows.reduce((s, r) => s + r.count, 0);
  const maxCount = Math.max(...rows.map((r) => r.count));
  const lo = rows[0].value, hi = rows[rows.length - 1].value;
  const L = 48, R = 48, T = 20, B = 36;
  const x = (v) => L + (hi > lo ? (v - lo) / (hi - lo) : 0.5) * (w - L - R);
  const y = (c) => h - B - (c / maxCount) * (h - T - B);
  const zy = (z) => h - B - ((z + 3.5) / 7) * (h - T - B);
  const bw = Math.max(1, (w - L - R) / rows.length - 1);
  g.fillStyle = accent;
  g.globalAlpha = 0.5;
  for (const r of rows) g.fillRect(x(r.value) - bw / 2, y(r.count), bw, h - B - y(r.count));
  g.globalAlpha = 1;
  g.strokeStyle = fg;
  g.beginPath();
  let cum = 0;
  rows.forEach((r, i) => {
    cum += r.count;
    const p = Math.min(Math.max((cum - 0.5) / total, 1e-4), 1 - 1e-4);
    const z = Math.max(-3.5, Math.min(3.5, probit(p)));
    if (i) g.lineTo(x(r.value), zy(z)); else g.moveTo(x(r.value), zy(z));
  });
  g.stroke();
  g.fillStyle = fg;
  g.beginPath();
  g.moveTo(L, T); g.lineTo(L, h - B); g.lineTo(w - R, h - B); g.lineTo(w - R, T);
  g.stroke();
  g.fillText(String(lo), L, h - B + 14);
  const hs = String(hi);
  g.fillText(hs, w - R - g.measureText(hs).width, h - B + 14);
  g.fillText('Count (bars)', L, T - 6);
  const pz = 'Probit z (line)';
  g.fillText(pz, w - R - g.measureText(pz).width, T - 6);
  g.fillText(String(maxCount), 4, T + 10);
  for (const z of [-3, 0, 3]) g.fillText(String(z), w - R + 6, zy(z) + 4);
  g.fillText('Value', w / 2 - 14, h - 8);
}
