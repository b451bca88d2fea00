// The page's frame times in headless Chromium (WebGL on SwiftShader) at 800x600: the main
// thread's time per frame, the intervals between frames, the first frame after Start, and the
// site's size.
//   node bench/web/browser_bench.mjs <site folder> [seconds of the demo, default 30]
import { readdirSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { createRequire } from 'node:module';
import { serve } from '../../scripts/serve.mjs';

const require = createRequire(new URL('../../tests/web/package.json', import.meta.url));
const puppeteer = require('puppeteer-core');
const [site, seconds = '30'] = process.argv.slice(2);

function bytesUnder(folder) {
  return readdirSync(folder, { withFileTypes: true }).reduce((sum, entry) => {
    const path = join(folder, entry.name);
    return sum + (entry.isDirectory() ? bytesUnder(path) : statSync(path).size);
  }, 0);
}

function quantile(sorted, q) {
  return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
}

const server = await serve(site, 0);
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--autoplay-policy=no-user-gesture-required', '--no-sandbox', '--window-size=1024,768'],
});
const page = await browser.newPage();
await page.goto(`http://127.0.0.1:${server.address().port}/index.html?seed=7&mode=800x600&autostart=1`);
await page.waitForFunction((until) => window.velmorra.time >= until, { timeout: 600000 },
  Number(seconds));
const result = await page.evaluate(() => ({
  intervals: window.velmorra.frameIntervals, work: window.velmorra.frameWork,
  firstFrameMs: window.velmorra.firstFrameMs, frame: window.velmorra.frame,
}));
await browser.close();
server.close();

const work = [...result.work].sort((a, b) => a - b);
const intervals = [...result.intervals].sort((a, b) => a - b);
const fmt = (ms) => ms.toFixed(2);
console.log(`Site: ${(bytesUnder(site) / 1e6).toFixed(2)} MB`);
console.log(`First frame after Start: ${fmt(result.firstFrameMs)} ms`);
console.log(`Frames: ${result.frame} in ${seconds} s of the demo`);
console.log(`Main-thread time per frame (ms): median ${fmt(quantile(work, 0.5))}, `
  + `90th ${fmt(quantile(work, 0.9))}, 99th ${fmt(quantile(work, 0.99))}, max ${fmt(work.at(-1))}`);
console.log(`Frame intervals (ms): median ${fmt(quantile(intervals, 0.5))}, `
  + `10th ${fmt(quantile(intervals, 0.1))}, 90th ${fmt(quantile(intervals, 0.9))}, `
  + `99th ${fmt(quantile(intervals, 0.99))}, max ${fmt(intervals.at(-1))}`);
const late = intervals.filter((ms) => ms > 1000 / 30 + 17).length;
console.log(`Intervals longer than a 30 fps frame and an animation frame (50 ms): ${late} of ${intervals.length}`);
