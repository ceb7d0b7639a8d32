// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The web page's size and start-up, beside a static page with the same 22
// controls and no script (bench/startup/web/bare.html, with the site's style).
//
//   node bench/startup/web_startup.mjs [SITE] [--runs N]      (SITE: build/web/site)
//
// Size: what the browser downloads to run the page (HTML, script, WebAssembly,
// style, manifest, service worker; the icons aside), each gzipped at level 9.
// Start-up: in Debian's Chromium, both pages loaded N times, interleaved, as
//  - first visits: each load in a fresh browser context (empty caches, no
//    service worker), and as
//  - return visits: one tab that has seen both pages once, so that the browser's
//    caches and Vistral's service worker serve them;
// the time is the page's first contentful paint, which for Vistral is the
// painted window (the page shows nothing before the program has built it).
// Reports medians, ranges and the ratio of the medians.
import { copyFileSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { loadavg, tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import { launch, serve } from '../../tests/web/driver.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const args = process.argv.slice(2);
const runsAt = args.indexOf('--runs');
const runs = runsAt >= 0 ? Number(args.splice(runsAt, 2)[1]) : 15;
const site = args[0] || join(here, '../../build/web/site');

const DOWNLOADED = ['index.html', 'vistral.js', 'vistral.wasm', 'vistral.css',
                    'manifest.webmanifest', 'sw.js'];

function sizes() {
  let raw = 0;
  let gzipped = 0;
  console.log('file                    bytes   gzip -9');
  for (const file of DOWNLOADED) {
    const body = readFileSync(join(site, file));
    const packed = gzipSync(body, { level: 9 }).length;
    raw += body.length;
    gzipped += packed;
    console.log(`${file.padEnd(22)} ${String(body.length).padStart(7)} ${String(packed).padStart(9)}`);
  }
  console.log(`${'all'.padEnd(22)} ${String(raw).padStart(7)} ${String(gzipped).padStart(9)}` +
              `  (${(gzipped / 1024).toFixed(1)} KiB of 64 KiB)`);
}

// The first contentful paint of `url` in `page`, in milliseconds from the start
// of navigation.
async function paintIn(page, url) {
  await page.goto(url, { waitUntil: 'load' });
  const handle = await page.waitForFunction(() => {
    const paint = performance.getEntriesByName('first-contentful-paint')[0];
    return paint && paint.startTime;
  }, { polling: 20 });
  return handle.jsonValue();
}

// The same in a fresh context: a first visit.
async function firstVisit(browser, url) {
  const context = await browser.createBrowserContext();
  try {
    return await paintIn(await context.newPage(), url);
  } finally {
    await context.close();
  }
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

function summary(values) {
  return `${median(values).toFixed(1)} ms (${Math.min(...values).toFixed(1)}-` +
         `${Math.max(...values).toFixed(1)})`;
}

sizes();

const bareRoot = mkdtempSync(join(tmpdir(), 'vistral-bare-'));
copyFileSync(join(here, 'web/bare.html'), join(bareRoot, 'index.html'));
copyFileSync(join(site, 'vistral.css'), join(bareRoot, 'vistral.css'));
const vistral = await serve(site);
const bare = await serve(bareRoot);
const browser = await launch('chromium');
const first = { vistral: [], bare: [] };
const again = { vistral: [], bare: [] };
try {
  // One load of each first, not counted: the browser's own start-up work.
  await firstVisit(browser, vistral.url);
  await firstVisit(browser, bare.url);
  for (let i = 0; i < runs; ++i) {
    first.vistral.push(await firstVisit(browser, vistral.url));
    first.bare.push(await firstVisit(browser, bare.url));
  }
  // One tab (a tab in the background paints nothing); its first load of each page
  // fills the caches and installs the service worker, which then serves Vistral.
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await paintIn(page, bare.url);
  await paintIn(page, vistral.url);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { polling: 20 });
  for (let i = 0; i < runs; ++i) {
    again.vistral.push(await paintIn(page, vistral.url));
    again.bare.push(await paintIn(page, bare.url));
  }
  await context.close();
} finally {
  await browser.close();
  await vistral.close();
  await bare.close();
  rmSync(bareRoot, { recursive: true, force: true });
}

console.log();
console.log(`First contentful paint in headless Chromium, median of ${runs} interleaved loads ` +
            `(min-max), load average ${loadavg()[0].toFixed(2)} at the end:`);
for (const [visits, times] of [['first visits', first], ['return visits', again]]) {
  const ratio = median(times.vistral) / median(times.bare);
  console.log(`  ${visits}:`);
  console.log(`    Vistral page      ${summary(times.vistral)}`);
  console.log(`    bare static page  ${summary(times.bare)}`);
  console.log(`    ratio ${ratio.toFixed(2)}x: ${ratio <= 1.5 ? 'within' : 'NOT within'} 1.5x the static page`);
}
