// Measures curve-viewer's page against a bare page that only clears a WebGL
// canvas of the same size, in one headless Chromium: the time from the start
// of the navigation to the first frame that shows the picture, as medians of
// alternating loads, their ratio, and the page's size raw and gzipped. Prints
// a table and the targets, and ends with status 1 when one is missed.
//
// Usage: node page-benchmark.mjs PAGE BARE_PAGE
import { launchChromium } from '../tools/web/browsers.mjs';

import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const LOADS = 31;
const RATIO_TARGET = 1.15;
const GZIPPED_TARGET_KIB = 40;

// Notes, in the page, the time of the first animation frame after the one in
// which it first cleared or drew on a WebGL canvas: when that frame is shown.
function noteFirstPicture() {
  const prototype = WebGLRenderingContext.prototype;
  for (const name of ['clear', 'drawArrays']) {
    const original = prototype[name];
    prototype[name] = function (...args) {
      if (window.firstPictureMilliseconds === undefined) {
        window.firstPictureMilliseconds = null;
        requestAnimationFrame(() => { window.firstPictureMilliseconds = performance.now(); });
      }
      return original.apply(this, args);
    };
  }
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const [pagePath, barePath] = process.argv.slice(2);
const profile = mkdtempSync(join(tmpdir(), 'curve-viewer-bench-'));
// Frames as fast as they come, not at the screen's rate, so that the time
// is the page's and not a count of screen refreshes.
const browser = await launchChromium(['--disable-gpu-vsync', '--disable-frame-rate-limit'], true, profile);
// One tab for all loads, so that each is a navigation and not a new tab's start.
const tab = await browser.newPage();
await tab.evaluateOnNewDocument(noteFirstPicture);
const pages = [{ name: 'curve-viewer page', path: pagePath, times: [] }, { name: 'bare page', path: barePath, times: [] }];
// The first load of each warms the browser up, and is not counted.
for (let load = 0; load <= LOADS; ++load) {
  for (const page of pages) {
    await tab.goto(pathToFileURL(page.path).href);
    await tab.waitForFunction(() => window.firstPictureMilliseconds, { polling: 'raf' });
    const milliseconds = await tab.evaluate(() => window.firstPictureMilliseconds);
    if (load > 0) {
      page.times.push(milliseconds);
    }
  }
}
const version = await browser.version();
await browser.close();
rmSync(profile, { recursive: true, force: true });

const [viewer, bare] = pages.map((page) => median(page.times));
const ratio = viewer / bare;
const bytes = readFileSync(pagePath);
const gzipped = gzipSync(bytes, { level: 9 }).length;
const verdict = (met) => (met ? 'met' : 'MISSED');
console.log(`Medians of ${LOADS} loads of each page, alternating, in headless ${version} (SwiftShader).\n`);
console.log('| figure (median)             | curve-viewer page | bare page | against it | target          |        |');
console.log('|-----------------------------|-------------------|-----------|------------|-----------------|--------|');
console.log(`| navigation to first picture | ${viewer.toFixed(1).padStart(14)} ms | ${bare.toFixed(1).padStart(6)} ms |` +
  ` ${ratio.toFixed(2).padStart(9)}x | at most ${RATIO_TARGET.toFixed(2)}x   | ${verdict(ratio <= RATIO_TARGET).padEnd(6)} |`);
console.log(`| page size, raw              | ${(bytes.length / 1024).toFixed(1).padStart(13)} KiB |           |            |                 |        |`);
console.log(`| page size, gzip -9          | ${(gzipped / 1024).toFixed(1).padStart(13)} KiB |           |            |` +
  ` under ${GZIPPED_TARGET_KIB} KiB    | ${verdict(gzipped < GZIPPED_TARGET_KIB * 1024).padEnd(6)} |`);
process.exit(ratio <= RATIO_TARGET && gzipped < GZIPPED_TARGET_KIB * 1024 ? 0 : 1);
