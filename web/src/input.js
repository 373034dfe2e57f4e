// Checks made before a file reaches the core, so that a huge or binary file cannot take the
// tab's memory: the size first, then a look at its start for bytes no text file holds.
export const MIB = 1024 * 1024;
export const MAX_FILE_BYTES = 64 * MIB;
// All the files of one test together: they are held in the page and again in the core's memory.
export const MAX_TOTAL_BYTES = 256 * MIB;
const SNIFF_BYTES = 64 * 1024;

export async function checkInputFile(file) {
    if (file.size > MAX_FILE_BYTES) {
        return `${file.name}: the file is ${(file.size / MIB).toFixed(1)} MiB; the page takes files of at most ${MAX_FILE_BYTES / MIB} MiB.`;
    }
    const head = new Uint8Array(await file.slice(0, SNIFF_BYTES).arrayBuffer());
    if (!isText(head, file.size <= SNIFF_BYTES))
        return `${file.name}: the file is not text (it holds binary bytes).`;
    return null;
}

export function isText(bytes, whole) {
    if (bytes.includes(0)) return false;
    try {
        // A multi-byte character may be cut at the end of a sample; stream mode allows that.
        new TextDecoder('utf-8', { fatal: true }).decode(bytes, { stream: !whole });
        return true;
    } catch {
        // Older files may be Latin-1: allow them when control bytes are rare.
        let controls = 0;
        for (const b of bytes) if (b < 9 || (b > 13 && b < 32)) ++controls;
        return controls * 100 < bytes.length;
    }
}

// RFC 4180: quoted fields, doubled quotes, CR LF or LF.
export function parseCsv(text) {
    const rows = [];
    let row = [],
        field = '',
        i = 0,
        quoted = false;
    while (i < text.length) {
        const c = text[i];
        if (quoted) {
            if (c === '"') {
                if (text[i + 1] === '"') {
                    field += '"';
                    i += 2;
                    continue;
                }
                quoted = false;
            } else field += c;
            ++i;
            continue;
        }
        if (c === '"') quoted = true;
        else if (c === ',') {
            row.push(field);
            field = '';
        } else if (c === '\n' || c === '\r') {
            if (c === '\r' && text[i + 1] === '\n') ++i;
            row.push(field);
            rows.push(row);
            row = [];
            field = '';
        } else field += c;
        ++i;
    }
    if (field !== '' || row.length) {
        row.push(field);
        rows.push(row);
    }
    return rows;
}

// The name and B of a treatment file, from its first fields (commas or line ends separate them,
// texts may stand in double quotes); null for a table or a file too short to tell.
export function treatmentHeading(text) {
    const fields = text.split(/,|\r?\n/, 6).map((f) => f.trim().replace(/^"(.*)"$/, '$1'));
    if (fields.length < 6) return null;
    return { name: fields[0], B: fields[4] };
}

// A table holds any number of treatments; the core reads a file whose name ends in .csv as one.
export const isTable = (name) => /\.csv$/i.test(name);
