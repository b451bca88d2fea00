// The web build in headless Chromium (WebGL on SwiftShader), served by the plain static server:
// the page loads cleanly, the form starts the demo, its clock and music advance together, Escape
// and the schedule's end return to the form, and held moments match the native gles2 capture.
//   node tests/web/browser_test.mjs <site folder> <native velmorra> <folder for failed pictures>
// Exits non-zero when a check fails or cannot run (no Chromium, no native program).
import { spawn } from 'node:child_process';
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from '../../scripts/serve.mjs';
import { frameLuma, lumaFromRgba, psnr, writePgm } from './luma.mjs';

const [site, nativeProgram, failures] = process.argv.slice(2);
if (!site || !nativeProgram || !failures) {
  console.error('usage: node browser_test.mjs <site folder> <native velmorra> <failure folder>');
  process.exit(2);
}

const seed = 7;
// Moments spread over the schedule (s): the title, the liquid's parts, the models and credits.
const moments = [6, 28, 52, 77, 101, 124, 149];
const psnrFloor = 30;
const audioTolerance = 0.1;

let failed = 0;
function check(name, ok, detail = '') {
  console.log(`${ok ? 'PASS' : 'FAIL'} ${name}${detail ? `: ${detail}` : ''}`);
  if (!ok) {
    failed += 1;
  }
}

const server = await serve(site, 0);
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--headless=new', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--autoplay-policy=no-user-gesture-required', '--no-sandbox', '--window-size=1024,768'],
});

// A page that records every complaint: console errors and warnings, uncaught exceptions,
// requests that failed or were answered with an error.
async function openPage(query = '') {
  const page = await browser.newPage();
  const complaints = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warn') {
      complaints.push(`console ${message.type()}: ${message.text()}`);
    }
  });
  page.on('pageerror', (error) => complaints.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => complaints.push(`request failed: ${request.url()}`));
  page.on('response', (response) => {
    if (response.status() >= 400) {
      complaints.push(`HTTP ${response.status()}: ${response.url()}`);
    }
  });
  await page.goto(`${base}index.html${query}`, { waitUntil: 'load' });
  await page.waitForFunction(() => window.velmorra && window.velmorra.ready, { timeout: 60000 });
  return { page, complaints };
}

const status = (page) => page.evaluate(() => ({ ...window.velmorra, log: undefined }));
const formShown = (page) => page.evaluate(() => !document.getElementById('settings').hidden);

async function startedFromTheForm() {
  const { page, complaints } = await openPage();
  check('the form is shown once the module has loaded', await formShown(page));
  await page.click('input[value="640x480"]');
  await page.click('#start');
  await page.waitForFunction(() => window.velmorra.time >= 2, { timeout: 60000 });
  const early = await status(page);
  await page.waitForFunction(() => window.velmorra.time >= 10, { timeout: 120000 });
  const later = await status(page);
  check('Start runs the demo and its clock advances', early.running && later.frame > early.frame
    && later.time > early.time, `frame ${early.frame} -> ${later.frame}, ${later.time.toFixed(2)} s`);
  check('the canvas takes the chosen mode', await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    return canvas.width === 640 && canvas.height === 480;
  }));
  const drift = later.audioTime === null ? Infinity : Math.abs(later.audioTime - later.time);
  check('the music keeps with the demo after 10 s', drift <= audioTolerance,
    `audio ${later.audioTime} s, demo ${later.time.toFixed(3)} s`);
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => !window.velmorra.running, { timeout: 30000 });
  check('Escape returns to the form', await formShown(page));
  const log = await page.evaluate(() => window.velmorra.log.join('\n'));
  check('the log reaches the console', log.includes('WebGL display ENABLED'));
  check('no console complaint or failed request', complaints.length === 0, complaints.join('; '));
  await page.close();
}

async function endOfSchedule() {
  const { page, complaints } = await openPage('?seed=7&from=159&mode=640x480&autostart=1');
  await page.waitForFunction(() => window.velmorra.ended, { timeout: 300000 });
  const last = await status(page);
  check('the schedule ends and the form returns', await formShown(page) && !last.running,
    `ended at frame ${last.frame}`);
  check('no complaint until the end', complaints.length === 0, complaints.join('; '));
  await page.close();
}

// The native gles2 capture of the whole schedule up to the last moment, as YUV4MPEG2 on a pipe;
// only the luma planes of the wanted frames are kept.
function nativeLumas(frames, width, height) {
  const last = Math.max(...frames);
  const args = ['--capture', '-', '--size', `${width}x${height}`, '--seed', String(seed),
    '--renderer', 'gles2', '--to', ((last + 2) / 30).toFixed(3)];
  const env = { ...process.env };
  delete env.DISPLAY;
  return frameLuma(spawn(nativeProgram, args, { env, stdio: ['ignore', 'pipe', 'ignore'] }),
    new Set(frames), width, height);
}

async function webLuma(moment, width, height) {
  const { page, complaints } = await openPage(
    `?seed=${seed}&from=${moment}&mode=${width}x${height}&autostart=1&hold=1`);
  await page.waitForFunction(() => window.velmorra.held || window.velmorra.ended,
    { timeout: 600000 });
  const picture = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d');
    context.drawImage(canvas, 0, 0);
    const rgba = context.getImageData(0, 0, copy.width, copy.height).data;
    let text = '';
    for (let i = 0; i < rgba.length; i += 0x8000) {
      text += String.fromCharCode(...rgba.subarray(i, i + 0x8000));
    }
    return { width: copy.width, height: copy.height, rgba: btoa(text), png: canvas.toDataURL() };
  });
  await page.close();
  check(`the page holds the frame at ${moment} s without complaint`, complaints.length === 0,
    complaints.join('; '));
  return picture;
}

async function samePicturesAsNative() {
  const width = 640;
  const height = 480;
  const frames = moments.map((moment) => Math.round(moment * 30));
  const native = await nativeLumas(frames, width, height);
  mkdirSync(failures, { recursive: true });
  let lowest = { value: Infinity, moment: null };
  for (const [index, moment] of moments.entries()) {
    const picture = await webLuma(moment, width, height);
    const expected = native.get(frames[index]);
    if (!expected || picture.width !== width || picture.height !== height) {
      check(`the picture at ${moment} s`, false, 'missing or of the wrong size');
      continue;
    }
    const web = lumaFromRgba(Buffer.from(picture.rgba, 'base64'), width, height);
    const value = psnr(web, expected);
    if (value < lowest.value) {
      lowest = { value, moment };
    }
    const ok = value >= psnrFloor;
    check(`the picture at ${moment} s matches native gles2`, ok, `${value.toFixed(2)} dB luma`);
    if (!ok) {
      const stem = join(failures, `moment-${moment}`);
      writeFileSync(`${stem}-web.png`, Buffer.from(picture.png.split(',')[1], 'base64'));
      writePgm(`${stem}-native.pgm`, expected, width, height);
      writePgm(`${stem}-difference.pgm`, web.map((y, i) => Math.min(255, 4 * Math.abs(y - expected[i]))),
        width, height);
      console.log(`  written: ${stem}-web.png, -native.pgm, -difference.pgm`);
    }
  }
  console.log(`Lowest PSNR: ${lowest.value.toFixed(2)} dB at ${lowest.moment} s`);
}

try {
  await startedFromTheForm();
  await endOfSchedule();
  await samePicturesAsNative();
} catch (error) {
  check('the browser checks ran to the end', false, error.stack || String(error));
} finally {
  await browser.close();
  server.close();
}
console.log(failed === 0 ? 'All browser checks passed.' : `${failed} browser check(s) failed.`);
process.exit(failed === 0 ? 0 : 1);
