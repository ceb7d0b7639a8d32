// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The web page's size and start-up, beside a static page with the same 22
// controls and no script (bench/startup/web/bare.html, which carries the site's
// style as Vistral's page does).
//
//   node bench/startup/web_startup.mjs [SITE] [--runs N] [--lighthouse N]
//                                                            (SITE: build/web/site)
//
// Size: what the browser downloads to run the page (the page with its style,
// the program's script and WebAssembly, the manifest, the service worker; the
// icons aside), each gzipped at level 9.
// Start-up: in Debian's Chromium, both pages loaded N times, interleaved, as
//  - first visits: each load in a fresh browser context (empty caches, no
//    service worker), the pages taking turns at going first, and as
//  - return visits: one tab that has seen both pages once, so that the browser's
//    caches and Vistral's service worker serve them, going from one to the other;
// the time is the page's first contentful paint, which for Vistral is the
// window the page itself carries; and for Vistral also the time the window takes
// input: the program has taken it over (it is no longer inert) and put the focus
// in the description. Reports medians, ranges and the ratio of the medians.
// Lighthouse (12.2.3, from npm ci): its mobile profile, with its simulated slow
// network and processor, run N times (3 unless --lighthouse says; 0: none) on
// Debian's Chromium; reports the median of each figure.
import { execFile } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { loadavg, tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import { launch, serve } from '../../tests/web/driver.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const args = process.argv.slice(2);
const runsAt = args.indexOf('--runs');
const runs = runsAt >= 0 ? Number(args.splice(runsAt, 2)[1]) : 15;
const lighthouseAt = args.indexOf('--lighthouse');
const lighthouseRuns = lighthouseAt >= 0 ? Number(args.splice(lighthouseAt, 2)[1]) : 3;
const site = args[0] || join(here, '../../build/web/site');

const DOWNLOADED = ['index.html', 'vistral.js', 'vistral.wasm', 'manifest.webmanifest', 'sw.js'];

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

// Marks the moment Vistral's window takes input, in every page `page` loads from
// now on: the program has taken it over and put the focus in the description.
function watchForInput(page) {
  return page.evaluateOnNewDocument(() => {
    new MutationObserver((changes, observer) => {
      const root = document.getElementById('Vistral');
      if (root && !root.inert && document.activeElement &&
          document.activeElement.id === 'Text1_0') {
        performance.mark('takes-input');
        observer.disconnect();
      }
    }).observe(document, { subtree: true, childList: true, attributeFilter: ['inert'] });
  });
}

// The first contentful paint of `url` in `page`, and the time its window takes
// input (only where `input`), in milliseconds from the start of navigation.
async function paintIn(page, url, input = false) {
  await page.goto(url, { waitUntil: 'load' });
  const handle = await page.waitForFunction((input) => {
    const paint = performance.getEntriesByName('first-contentful-paint')[0];
    const ready = performance.getEntriesByName('takes-input')[0];
    return paint && (ready || !input) && { paint: paint.startTime, input: ready && ready.startTime };
  }, { polling: 20 }, input);
  return handle.jsonValue();
}

// The same in a fresh context: a first visit. Vistral's page then installs its
// service worker, which stores the site: the context is closed once it is
// done, so that no work of this visit falls into the next one.
async function firstVisit(browser, url, input = false) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await watchForInput(page);
    const times = await paintIn(page, url, input);
    if (input) {
      await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    }
    return times;
  } finally {
    await context.close();
  }
}

// Lighthouse's mobile profile on `url`, once: its performance figures and the
// score of each category.
function lighthouse(url) {
  const cli = join(here, '../../node_modules/lighthouse/cli/index.js');
  const flags = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic',
                 '--no-first-run', '--disable-background-networking',
                 '--disable-component-update', '--disable-sync'];
  return new Promise((done, fail) => {
    execFile(process.execPath,
             [cli, url, '--quiet', '--output=json', '--output-path=stdout',
              `--chrome-flags=${flags.join(' ')}`,
              '--only-categories=performance,accessibility,best-practices,seo'],
             { env: { ...process.env, CHROME_PATH: '/usr/bin/chromium' },
               maxBuffer: 64 << 20 },
             (error, stdout) => {
               if (error) {
                 fail(error);
                 return;
               }
               const report = JSON.parse(stdout);
               const figures = {};
               for (const id of ['first-contentful-paint', 'largest-contentful-paint',
                                 'total-blocking-time', 'cumulative-layout-shift',
                                 'speed-index']) {
                 figures[id] = report.audits[id].numericValue;
               }
               for (const category of Object.values(report.categories)) {
                 figures[category.id] = Math.round(category.score * 100);
               }
               done(figures);
             });
  });
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
// The bare page carries the site's style as Vistral's page does.
const style = readFileSync(join(site, 'index.html'), 'utf8').match(/<style>[^]*?<\/style>/)[0];
writeFileSync(join(bareRoot, 'index.html'),
              readFileSync(join(here, 'web/bare.html'), 'utf8').replace('@STYLE@', style));
const vistral = await serve(site);
const bare = await serve(bareRoot);
const urls = { vistral: vistral.url, bare: bare.url };
const browser = await launch('chromium');
const first = { vistral: [], bare: [] };
const again = { vistral: [], bare: [] };
const audits = [];
try {
  // One load of each first, not counted: the browser's own start-up work.
  await firstVisit(browser, vistral.url, true);
  await firstVisit(browser, bare.url);
  // Each load may pay for the one before it (the closing of its context, its
  // garbage): the pages take turns at going first.
  for (let i = 0; i < runs; ++i) {
    for (const which of i % 2 ? ['bare', 'vistral'] : ['vistral', 'bare']) {
      first[which].push(await firstVisit(browser, urls[which], which === 'vistral'));
    }
  }
  // One tab (a tab in the background paints nothing); its first load of each page
  // fills the caches and installs the service worker, which then serves Vistral.
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await watchForInput(page);
  await paintIn(page, bare.url);
  await paintIn(page, vistral.url, true);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { polling: 20 });
  // Each visit comes from the other page, as a person comes from another site.
  for (let i = 0; i < runs; ++i) {
    again.vistral.push(await paintIn(page, vistral.url, true));
    again.bare.push(await paintIn(page, bare.url));
  }
  await context.close();
  // Lighthouse starts a browser of its own for each run, alone on the machine.
  await browser.close();
  for (let i = 0; i < lighthouseRuns; ++i) {
    audits.push(await lighthouse(vistral.url));
  }
} finally {
  if (browser.connected) {
    await browser.close();
  }
  await vistral.close();
  await bare.close();
  rmSync(bareRoot, { recursive: true, force: true });
}

console.log();
console.log(`First contentful paint in headless Chromium, median of ${runs} interleaved loads ` +
            `(min-max), load average ${loadavg()[0].toFixed(2)} at the end:`);
for (const [visits, times] of [['first visits', first], ['return visits', again]]) {
  const paints = times.vistral.map((t) => t.paint);
  const bares = times.bare.map((t) => t.paint);
  const ratio = median(paints) / median(bares);
  console.log(`  ${visits}:`);
  console.log(`    Vistral page      ${summary(paints)}`);
  console.log(`    bare static page  ${summary(bares)}`);
  console.log(`    ratio ${ratio.toFixed(2)}x: ${ratio <= 1.1 ? 'within' : 'NOT within'} 1.1x the static page`);
  console.log(`    the window takes input at ${summary(times.vistral.map((t) => t.input))}`);
}
if (audits.length) {
  const at = (id) => median(audits.map((figures) => figures[id]));
  console.log();
  console.log(`Lighthouse, mobile profile (simulated slow 4G, 4x slower processor), median of ` +
              `${audits.length}:`);
  console.log(`  first contentful paint    ${(at('first-contentful-paint') / 1000).toFixed(2)} s`);
  console.log(`  largest contentful paint  ${(at('largest-contentful-paint') / 1000).toFixed(2)} s` +
              `: ${at('largest-contentful-paint') <= 1000 ? 'within' : 'NOT within'} 1.0 s`);
  console.log(`  total blocking time       ${at('total-blocking-time').toFixed(0)} ms`);
  console.log(`  cumulative layout shift   ${at('cumulative-layout-shift').toFixed(3)}`);
  console.log(`  speed index               ${(at('speed-index') / 1000).toFixed(2)} s`);
  console.log(`  scores: performance ${at('performance')} (each run: ` +
              `${audits.map((figures) => figures.performance).join(', ')}), accessibility ` +
              `${at('accessibility')}, best practices ${at('best-practices')}, SEO ${at('seo')}`);
}
