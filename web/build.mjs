// Bundles the page into dist/: index.html (with main.js, the core beside it) and vortel.html
// (one file: script, style, worker and wasm inside). Usage: node build.mjs [CORE_FOLDER]
import * as esbuild from 'esbuild';
import fs from 'node:fs';
import path from 'node:path';

const here = path.dirname(new URL(import.meta.url).pathname);
const dist = path.join(here, 'dist');
const coreDir = process.argv[2];
fs.rmSync(dist, { recursive: true, force: true });
fs.mkdirSync(dist, { recursive: true });

// The worker is bundled with what it imports (the zip writer); the core's glue goes before it.
const worker = await esbuild.build({
    entryPoints: [path.join(here, 'src/worker.js')],
    bundle: true,
    format: 'iife',
    minify: true,
    write: false,
    target: ['chrome100', 'firefox100', 'safari15'],
});
const workerSource = worker.outputFiles[0].text;
const main = await esbuild.build({
    entryPoints: [path.join(here, 'src/main.js')],
    bundle: true,
    minify: true,
    format: 'iife',
    write: false,
    target: ['chrome100', 'firefox100', 'safari15'],
    define: { __WORKER_SOURCE__: JSON.stringify(workerSource) },
    // The example treatments go into the page as text.
    loader: { '.txt': 'text' },
});
const mainSource = main.outputFiles[0].text;
const css = (
    await esbuild.build({
        entryPoints: [path.join(here, 'src/style.css')],
        minify: true,
        write: false,
    })
).outputFiles[0].text;
const html = fs.readFileSync(path.join(here, 'src/index.html'), 'utf8');
// A script's text must not close its own element.
const inline = (s) => s.replace(/<\/(script)/gi, '<\\/$1');
const page = (script) =>
    html
        .replace('<!--STYLE-->', () => `<style>${css}</style>`)
        .replace('<!--SCRIPT-->', () => script);

fs.writeFileSync(path.join(dist, 'main.js'), mainSource);
fs.writeFileSync(path.join(dist, 'index.html'), page('<script src="main.js"></script>'));

if (coreDir) {
    const glue = fs.readFileSync(path.join(coreDir, 'vortel-web.js'), 'utf8');
    const wasm = fs.readFileSync(path.join(coreDir, 'vortel-web.wasm'));
    fs.copyFileSync(path.join(coreDir, 'vortel-web.js'), path.join(dist, 'vortel-web.js'));
    fs.copyFileSync(path.join(coreDir, 'vortel-web.wasm'), path.join(dist, 'vortel-web.wasm'));
    if (fs.existsSync(path.join(coreDir, 'vortel-cli.js'))) {
        for (const f of fs.readdirSync(coreDir))
            if (f.startsWith('vortel-cli'))
                fs.copyFileSync(path.join(coreDir, f), path.join(dist, f));
        // The node command is CommonJS; without this, node would take web/package.json's "module".
        fs.writeFileSync(path.join(dist, 'package.json'), '{ "type": "commonjs" }\n');
    }
    const embed = `window.VORTEL_EMBED=${JSON.stringify({ glue, wasm: wasm.toString('base64') })};`;
    fs.writeFileSync(
        path.join(dist, 'vortel.html'),
        page(`<script>${inline(embed)}</script><script>${inline(mainSource)}</script>`),
    );
    const size = fs.statSync(path.join(dist, 'vortel.html')).size;
    console.error(`vortel.html: ${size} bytes`);
    if (size > 3 * 1024 * 1024) throw new Error(`vortel.html is ${size} bytes, more than 3 MB`);
} else {
    console.error('no core folder given: only index.html and main.js were made');
}
