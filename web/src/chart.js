// The frequency view of a sort-and-count as an SVG drawing, from the data the core gives (the
// window draws the same data): the histogram of the classes above, their cumulative frequency on
// a probit scale with the normal line below, both on one value axis.

const esc = (s) =>
    String(s).replace(
        /[&<>"]/g,
        (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c],
    );

// 1, 2 or 5 times a power of ten, giving about `count` steps over `span`.
export function niceStep(span, count) {
    if (!(span > 0) || !Number.isFinite(span)) return 0;
    const raw = span / count;
    const p = Math.pow(10, Math.floor(Math.log10(raw)));
    const m = raw / p;
    return (m <= 1 ? 1 : m <= 2 ? 2 : m <= 5 ? 5 : 10) * p;
}

function ticks(lo, hi, count) {
    const step = niceStep(hi - lo, count);
    if (!step) return { values: [lo], decimals: 0 };
    const decimals = Math.max(0, -Math.floor(Math.log10(step) + 1e-9));
    const values = [];
    for (let v = Math.ceil(lo / step - 1e-9) * step; v <= hi + step * 1e-9; v += step)
        values.push(Number(v.toFixed(decimals)));
    return { values, decimals };
}

export function sortCountSvg(chart) {
    const W = 760,
        L = 64,
        R = 20,
        panel = 200,
        gap = 70,
        top = 56;
    const H = top + panel + gap + panel + 56;
    const bars = chart.histogram;
    let lo = bars.length ? bars[0].lower : 0,
        hi = bars.length ? bars[bars.length - 1].upper : 1;
    const pad = Math.max((hi - lo) * 0.03, 1e-9 * Math.max(1, Math.abs(lo)));
    lo -= pad;
    hi += pad;
    const x = (v) => L + ((v - lo) / (hi - lo)) * (W - L - R);
    const maxCount = Math.max(1, ...bars.map((b) => b.count));
    // The count axis ends on a tick at or above the highest bar.
    const countStep = Math.max(1, niceStep(maxCount, 5));
    const countTop = Math.ceil(maxCount / countStep) * countStep;
    const countTicks = ticks(0, countTop, 5);
    const y1 = (c) => top + panel - (c / countTop) * panel;
    const zs = chart.points.map((p) => p.probit);
    const line = chart.normalLine;
    if (line) zs.push(line.start.probit, line.end.probit);
    const zlo = Math.min(-3, ...zs),
        zhi = Math.max(3, ...zs);
    const top2 = top + panel + gap;
    const y2 = (z) => top2 + panel - ((z - zlo) / (zhi - zlo)) * panel;
    const xt = ticks(lo, hi, 6);
    const s = [];
    s.push(
        `<svg xmlns="http://www.w3.org/2000/svg" width="${W}" height="${H}" viewBox="0 0 ${W} ${H}" font-family="sans-serif" font-size="13">`,
    );
    s.push(`<rect width="${W}" height="${H}" fill="#ffffff"/>`);
    s.push(
        `<text x="${W / 2}" y="22" text-anchor="middle" font-size="15" font-weight="bold" fill="#222">${esc(chart.title)}</text>`,
    );
    s.push(
        `<text x="${W / 2}" y="42" text-anchor="middle" fill="#222">${esc(chart.caption)}</text>`,
    );
    const frame = (y0) =>
        `<rect x="${L}" y="${y0}" width="${W - L - R}" height="${panel}" fill="none" stroke="#444"/>`;
    const xAxis = (y0) =>
        xt.values
            .map(
                (v) =>
                    `<path d="M${x(v).toFixed(1)} ${y0 + panel}v5" stroke="#444"/><text x="${x(v).toFixed(1)}" y="${y0 + panel + 18}" text-anchor="middle" fill="#222">${v.toFixed(xt.decimals)}</text>`,
            )
            .join('');
    // The histogram, one bar per bin as the core made them.
    s.push(frame(top));
    s.push('<g fill="#4c78a8" fill-opacity="0.8">');
    for (const b of bars) {
        const x0 = x(b.lower),
            x1 = Math.max(x(b.upper), x0 + 1);
        s.push(
            `<rect x="${x0.toFixed(2)}" y="${y1(b.count).toFixed(2)}" width="${(x1 - x0).toFixed(2)}" height="${(top + panel - y1(b.count)).toFixed(2)}"/>`,
        );
    }
    s.push('</g>');
    for (const c of countTicks.values)
        if (c <= countTop)
            s.push(
                `<path d="M${L - 5} ${y1(c).toFixed(1)}h5" stroke="#444"/><text x="${L - 8}" y="${(y1(c) + 4).toFixed(1)}" text-anchor="end" fill="#222">${c.toFixed(countTicks.decimals)}</text>`,
            );
    s.push(xAxis(top));
    s.push(
        `<text transform="translate(16 ${top + panel / 2}) rotate(-90)" text-anchor="middle" fill="#222">Count</text>`,
    );
    // The probit view: each class's cumulative fraction as a normal quantile, and the normal line.
    s.push(frame(top2));
    const zt = ticks(zlo, zhi, 6);
    for (const z of zt.values)
        s.push(
            `<path d="M${L - 5} ${y2(z).toFixed(1)}h5" stroke="#444"/><text x="${L - 8}" y="${(y2(z) + 4).toFixed(1)}" text-anchor="end" fill="#222">${z.toFixed(zt.decimals)}</text>`,
        );
    if (line)
        s.push(
            `<line x1="${x(line.start.value).toFixed(2)}" y1="${y2(line.start.probit).toFixed(2)}" x2="${x(line.end.value).toFixed(2)}" y2="${y2(line.end.probit).toFixed(2)}" stroke="#d62728" stroke-width="1.6"/>`,
        );
    s.push('<g fill="#222">');
    for (const p of chart.points)
        s.push(`<circle cx="${x(p.value).toFixed(2)}" cy="${y2(p.probit).toFixed(2)}" r="2.2"/>`);
    s.push('</g>');
    s.push(xAxis(top2));
    s.push(
        `<text transform="translate(16 ${top2 + panel / 2}) rotate(-90)" text-anchor="middle" fill="#222">Probit (normal z)</text>`,
    );
    s.push(
        `<text x="${(L + W - R) / 2}" y="${H - 10}" text-anchor="middle" fill="#222">${esc(chart.variable || 'Value')}</text>`,
    );
    const key = line
        ? `normal line: mean ${Number(line.mean.toPrecision(6))}, SD ${Number(line.sd.toPrecision(6))}`
        : 'no normal line (fewer than two distinct values)';
    s.push(
        `<text x="${W - R}" y="${top2 - 10}" text-anchor="end" fill="#d62728">${esc(key)}</text>`,
    );
    s.push(
        `<text x="${L}" y="${top2 - 10}" fill="#222">${chart.total} values in ${chart.classes.length} classes</text>`,
    );
    s.push('</svg>');
    return s.join('\n');
}
