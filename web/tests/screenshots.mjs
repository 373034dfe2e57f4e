// The pictures of the page in docs/: the first view, the results of the example data and the
// help opened, at 1366 x 768 and at a phone's size, a sort-and-count chart and the paper panel. Usage: node tests/screenshots.mjs DIST DOCS
import path from 'node:path';
import { serve, launch, openPage } from './common.mjs';

const dist = path.resolve(process.argv[2] || 'dist');
const docs = path.resolve(process.argv[3] || '../docs');
const { server, url } = await serve(dist);
const { browser, close } = await launch();
try {
    for (const [suffix, width, height] of [
        ['', 1366, 768],
        ['-phone', 390, 844],
    ]) {
        const { context, page } = await openPage(browser, url);
        await page.setViewportSize({ width, height });
        await page.screenshot({ path: path.join(docs, `web-first-view${suffix}.png`) });
        await page.click('[data-testid="example-data"]');
        await page.click('[data-testid="run"]');
        await page.waitForSelector('[data-testid="results"]:not([hidden])', { timeout: 120000 });
        await page.locator('[data-testid="results"] h3').first().scrollIntoViewIfNeeded();
        await page.evaluate(() =>
            document.querySelector('[data-testid="results"]').scrollIntoView(),
        );
        await page.screenshot({ path: path.join(docs, `web-results${suffix}.png`) });
        if (!suffix) {
            await page.evaluate(() => document.getElementById('paper').scrollIntoView());
            await page.screenshot({ path: path.join(docs, 'web-paper.png') });
        }
        await page.click('[data-testid="help"] summary');
        await page.evaluate(() => document.querySelector('[data-testid="help"]').scrollIntoView());
        await page.screenshot({ path: path.join(docs, `web-help${suffix}.png`) });
        if (!suffix) {
            await page.setInputFiles(
                '[data-testid="sortcount-file"]',
                path.join(dist, '../../examples/treatment-1.txt'),
            );
            await page.fill('#decimals', '3');
            await page.click('[data-testid="sortcount-run"]');
            await page.waitForSelector('[data-testid="sortcount-results"]:not([hidden])', {
                timeout: 120000,
            });
            await page.evaluate(() =>
                document.querySelector('[data-testid="sortcount-chart"]').scrollIntoView(),
            );
            await page.screenshot({ path: path.join(docs, 'web-sortcount.png') });
        }
        await context.close();
    }
} finally {
    await close();
    server.close();
}
