// Measures curve-viewer's page against a bare page that only clears a WebGL
// canvas of the same size, in headless Chromium: the time from the start of
// the navigation to the first frame that shows the picture, as medians of
// loads that alternate between two Chromiums. The page as most browsers run
// it, with WebGL and WebAssembly, against the bare page; then against the
// page in a Chromium without WebGL, where it draws in software, in one
// without WebAssembly, as V8 runs without its compilers, and in one without
// both. Then their ratios; the time a frame takes in software, at one and
// two device pixels to the CSS pixel; and the page's size raw and gzipped.
// Prints a table and the targets, and ends with status 1 when one is missed.
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
// The page where the browser lacks something, against the page where it does not.
const WITHOUT_RATIO_TARGET = 1.25;
const GZIPPED_TARGET_BYTES = 40000;
// What the Chromiums lack, and the arguments that take it away.
const WITHOUT_WEBGL = ['--disable-3d-apis'];
const WITHOUT_WEBASSEMBLY = ['--js-flags=--jitless'];
const WAYS = [{ name: 'without WebGL', args: WITHOUT_WEBGL }, { name: 'without WebAssembly', args: WITHOUT_WEBASSEMBLY },
  { name: 'without both', args: [...WITHOUT_WEBGL, ...WITHOUT_WEBASSEMBLY] }];
// Key presses whose frames are timed, at each density.
const TIMED_FRAMES = 60;

// Notes, in the page, the time of the first animation frame after the one in
// which it first cleared or drew on a WebGL canvas, or put pixels on a 2D
// one: when that frame is shown. Also notes how long each animation frame's
// callbacks take.
function noteFirstPicture() {
  const drawing = [[window.WebGLRenderingContext, ['clear', 'drawArrays']], [CanvasRenderingContext2D, ['putImageData']]];
  for (const [context, names] of drawing.filter(([context]) => context)) {
    for (const name of names) {
      const original = context.prototype[name];
      context.prototype[name] = function (...args) {
        if (window.firstPictureMilliseconds === undefined) {
          window.firstPictureMilliseconds = null;
          requestAnimationFrame(() => { window.firstPictureMilliseconds = performance.now(); });
        }
        return original.apply(this, args);
      };
    }
  }
  window.frameMilliseconds = [];
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((time) => {
    const start = performance.now();
    callback(time);
    window.frameMilliseconds.push(performance.now() - start);
  });
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Every Chromium the benchmark has open: each is closed, and its profile
// removed, however the benchmark ends.
const openBrowsers = new Set();

// A Chromium of its own, with these arguments, and its one tab, for all its
// loads, so that each is a navigation and not a new tab's start. Frames come
// as fast as they can, not at the screen's rate, so that the time is the
// page's and not a count of screen refreshes.
async function openTab(args) {
  const profile = mkdtempSync(join(tmpdir(), 'curve-viewer-bench-'));
  const browser = await launchChromium(['--disable-gpu-vsync', '--disable-frame-rate-limit', ...args], true, profile)
    .catch((error) => {
      rmSync(profile, { recursive: true, force: true });
      throw error;
    });
  const tab = await browser.newPage();
  await tab.evaluateOnNewDocument(noteFirstPicture);
  const opened = { tab, version: await browser.version(), close: async () => {
    openBrowsers.delete(opened);
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
  } };
  openBrowsers.add(opened);
  return opened;
}

// The median time of a frame the program draws for a key without WebGL, in
// a Chromium of its own with this many device pixels to the CSS pixel.
async function softwareFrameMilliseconds(pagePath, density) {
  const browser = await openTab([...WITHOUT_WEBGL, `--force-device-scale-factor=${density}`]);
  await browser.tab.goto(pathToFileURL(pagePath).href);
  await browser.tab.waitForFunction(() => window.firstPictureMilliseconds, { polling: 'raf' });
  await browser.tab.evaluate(() => { window.frameMilliseconds = []; });
  for (let press = 0; press < TIMED_FRAMES; ++press) {
    await browser.tab.keyboard.press('Space');
    await browser.tab.waitForFunction((count) => window.frameMilliseconds.length >= count, { polling: 'raf' }, press + 1);
  }
  const milliseconds = median(await browser.tab.evaluate(() => window.frameMilliseconds));
  await browser.close();
  return milliseconds;
}

// The medians of loads of two pages, alternating, each in a Chromium of its
// own with these arguments: two at a time, as more Chromiums on two cores
// make every figure swing.
async function measurePair(first, second) {
  const pages = [{ ...first, times: [] }, { ...second, times: [] }];
  for (const page of pages) {
    page.browser = await openTab(page.args);
  }
  // The first load of each warms the browser up, and is not counted.
  for (let load = 0; load <= LOADS; ++load) {
    for (const page of pages) {
      await page.browser.tab.goto(pathToFileURL(page.path).href);
      await page.browser.tab.waitForFunction(() => window.firstPictureMilliseconds, { polling: 'raf' });
      const milliseconds = await page.browser.tab.evaluate(() => window.firstPictureMilliseconds);
      if (load > 0) {
        page.times.push(milliseconds);
      }
    }
  }
  for (const page of pages) {
    await page.browser.close();
  }
  return { medians: pages.map((page) => median(page.times)), version: pages[0].browser.version };
}

// The page as most browsers run it against the bare page, and each way of
// running it without something against the page as most browsers run it.
async function measureLoads(pagePath, barePath) {
  const full = { path: pagePath, args: [] };
  const { medians: [viewer, bare], version } = await measurePair(full, { path: barePath, args: [] });
  const others = [];
  for (const way of WAYS) {
    const { medians: [withIt, without] } = await measurePair(full, { path: pagePath, args: way.args });
    others.push({ withIt, without });
  }
  return { viewer, bare, others, version };
}

const [pagePath, barePath] = process.argv.slice(2);
if (!pagePath || !barePath) {
  console.error('usage: node page-benchmark.mjs PAGE BARE_PAGE');
  process.exit(2);
}
let loads;
let softwareFrames;
try {
  loads = await measureLoads(pagePath, barePath);
  softwareFrames = [await softwareFrameMilliseconds(pagePath, 1), await softwareFrameMilliseconds(pagePath, 2)];
} finally {
  for (const opened of [...openBrowsers]) {
    await opened.close();
  }
}

const { viewer, bare, others, version } = loads;
const ratio = viewer / bare;
const withoutRatios = others.map(({ withIt, without }) => without / withIt);
const bytes = readFileSync(pagePath);
const gzipped = gzipSync(bytes, { level: 9 }).length;
const verdict = (met) => (met ? 'met' : 'MISSED');
console.log(`Medians of ${LOADS} loads of each page, alternating with the page as most browsers run it, in headless` +
  ` ${version} (SwiftShader), and of` +
  ` ${TIMED_FRAMES} frames.\n`);
console.log('| figure (median)                 | curve-viewer page | against   | ratio      | target          |        |');
console.log('|---------------------------------|-------------------|-----------|------------|-----------------|--------|');
console.log(`| navigation to first picture     | ${viewer.toFixed(1).padStart(14)} ms | ${bare.toFixed(1).padStart(6)} ms |` +
  ` ${ratio.toFixed(2).padStart(9)}x | at most ${RATIO_TARGET.toFixed(2)}x   | ${verdict(ratio <= RATIO_TARGET).padEnd(6)} |`);
WAYS.forEach((way, index) => {
  console.log(`| the same ${way.name.padEnd(23)}| ${others[index].without.toFixed(1).padStart(14)} ms |` +
    ` ${others[index].withIt.toFixed(1).padStart(6)} ms | ${withoutRatios[index].toFixed(2).padStart(9)}x |` +
    ` at most ${WITHOUT_RATIO_TARGET.toFixed(2)}x   | ${verdict(withoutRatios[index] <= WITHOUT_RATIO_TARGET).padEnd(6)} |`);
});
softwareFrames.forEach((milliseconds, index) => {
  const size = `${400 * (index + 1)}x${400 * (index + 1)}`;
  console.log(`| a frame in software, ${size.padEnd(11)}| ${milliseconds.toFixed(2).padStart(14)} ms |           |` +
    '            |                 |        |');
});
console.log(`| page size, raw                  | ${String(bytes.length).padStart(11)} bytes |           |            |` +
  '                 |        |');
console.log(`| page size, gzip -9              | ${String(gzipped).padStart(11)} bytes |           |            |` +
  ` at most ${GZIPPED_TARGET_BYTES} | ${verdict(gzipped <= GZIPPED_TARGET_BYTES).padEnd(6)} |`);
const met = ratio <= RATIO_TARGET && withoutRatios.every((without) => without <= WITHOUT_RATIO_TARGET) &&
  gzipped <= GZIPPED_TARGET_BYTES;
process.exit(met ? 0 : 1);
