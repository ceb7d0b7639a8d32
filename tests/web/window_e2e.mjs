// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// End-to-end test of the web page in Debian's Chromium or Firefox ESR
// (puppeteer-core) or WebKitGTK's MiniBrowser (WebKitWebDriver, on an Xvfb of
// its own): the steps of tests/e2e/window_rows.txt, which the X11 driver reads
// too, done as a person does them, with keys, clicks and the clipboard; what the
// person then sees is read from the page. The clipboard is filled from outside
// the page, by copying from a second tab with real keys, so that a paste is the
// browser's own. Then what only the page has: its place, the focus that never
// leaves the window, a click that leaves the focus on its button, the dialog's
// role, the hand-over of the window the page carries to the program, the fit on
// a phone and a reload without the network; and no error on the page.
//
//   node tests/web/window_e2e.mjs chromium|firefox|webkit [SITE]   (SITE: build/web/site)
//
// VISTRAL_SCREENSHOTS=DIR also keeps what the page shows at a desktop's and a
// phone's width, as DIR/BROWSER-WIDTH.png.
//
// Exit status: 0 passed, 1 failed, 77 skipped (a browser, its driver or Xvfb
// missing outside CI).
import { existsSync, readFileSync, writeFileSync } from 'node:fs';
import { delimiter, dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

import { MINIBROWSER, WEBKIT_DRIVER } from './webdriver.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const [browserName = 'chromium', site = join(here, '../../build/web/site')] =
    process.argv.slice(2);
const onPath = (tool) => (process.env.PATH || '').split(delimiter)
  .some((folder) => existsSync(join(folder, tool)));
const needed = {
  chromium: ['/usr/bin/chromium', join(here, '../../node_modules/puppeteer-core')],
  firefox: ['/usr/bin/firefox-esr', join(here, '../../node_modules/puppeteer-core')],
  webkit: [WEBKIT_DRIVER, MINIBROWSER],
}[browserName];
if (!needed) {
  console.error('usage: node tests/web/window_e2e.mjs chromium|firefox|webkit [SITE]');
  process.exit(2);
}
const missing = needed.filter((file) => !existsSync(file))
  .concat(browserName === 'webkit' ? ['Xvfb', 'xdotool'].filter((tool) => !onPath(tool)) : []);
if (missing.length) {
  console.log(`SKIP: ${missing.join(', ')} missing (tools/setup.sh web-test)`);
  process.exit(process.env.CI ? 1 : 77);
}
const { launch, openWindow, serve, waitForWindow, focused, message } =
    await import('./driver.mjs');
const shots = process.env.VISTRAL_SCREENSHOTS;

let failures = 0;
function check(what, got, want) {
  const ok = got === want;
  const shown = typeof got === 'string' && got.length > 80
    ? `${got.slice(0, 40)}... (${got.length} characters)` : got;
  console.log(ok ? `ok   ${what}: '${shown}'` : `FAIL ${what}: got '${shown}', want '${want}'`);
  failures += ok ? 0 : 1;
}

// What `read` gives once it is `want`, or after 10 s what it is then: a click is
// run by the program after the event that made it.
async function settled(page, read, want) {
  let got;
  for (let i = 0; i < 200; i++) {
    got = await page.evaluate(read);
    if (got === want) break;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return got;
}

// A key as the table names it (xdotool's names), with its modifiers.
const KEYS = { Return: 'Enter', BackSpace: 'Backspace', space: ' ' };
const MODIFIERS = { ctrl: 'Control', shift: 'Shift', alt: 'Alt' };
async function press(page, chord) {
  const parts = chord.split('+');
  const key = parts.pop();
  const modifiers = parts.map((m) => MODIFIERS[m]);
  for (const m of modifiers) await page.keyboard.down(m);
  await page.keyboard.press(KEYS[key] || (key.length === 1 ? `Key${key.toUpperCase()}` : key));
  for (const m of modifiers.reverse()) await page.keyboard.up(m);
}

// Clicks the middle of a control: Text2_1 overlaps the bottom of Text2_0, as
// in the window, so each is clicked where it is on top.
async function click(page, id) {
  const [x, y] = await page.evaluate((name) => {
    const box = document.getElementById(name).getBoundingClientRect();
    return [box.x + box.width / 2, box.y + box.height / 2];
  }, id);
  await page.mouse.click(x, y);
}

const valueOf = (id) => `document.getElementById(${JSON.stringify(id)}).value`;
const focusedValue = '(document.activeElement && document.activeElement.value)';

async function runSteps(page, scratch, lines) {
  let row = '';
  const copy = async (text) => {
    await scratch.bringToFront();
    await scratch.evaluate((t) => {
      const area = document.querySelector('textarea');
      area.value = t;
      area.focus();
      area.select();
    }, text);
    await press(scratch, 'ctrl+c');
    await page.bringToFront();
  };
  for (const line of lines) {
    const [verb, ...words] = line.split(' ');
    const rest = words.join(' ');
    const [control, ...textWords] = words;
    const unquote = (t) => (t === '""' ? '' : t);
    const text = unquote(textWords.join(' '));
    switch (verb) {
      case 'row': row = rest; break;
      case 'click': await click(page, rest); break;
      case 'type':
        await click(page, control);
        await press(page, 'ctrl+a');
        await press(page, 'BackSpace');
        await page.keyboard.type(text);
        break;
      case 'typekeys': await page.keyboard.type(rest); break;
      case 'key': for (const k of words) await press(page, k); break;
      case 'clipboard': await copy(rest); break;
      case 'clipboard-fill': await copy(text.repeat(Number(control))); break;
      case 'expect':
        await click(page, control);
        await press(page, 'ctrl+a');
        check(`${row}: ${control}`, await settled(page, valueOf(control), text), text);
        break;
      case 'expect-focused':
        check(`${row}: the focused box`, await settled(page, focusedValue, unquote(rest)),
              unquote(rest));
        break;
      case 'expect-focused-start':
        check(`${row}: the focused box starts`,
              (await page.evaluate(focusedValue) || '').slice(0, rest.length), rest);
        break;
      case 'expect-focus':
        check(`${row}: focus on ${rest}`, await settled(page, 'document.activeElement.id', rest),
              rest);
        break;
      case 'overflow-message': {
        await page.waitForSelector('dialog[open]');
        const shown = await message(page);
        check(`${row}: an alert dialog titled`, `${shown.role} ${shown.title}`,
              'alertdialog Vistral');
        check(`${row}: the message says overflow`, shown.text.startsWith('Препълване'), true);
        check(`${row}: the focus on its OK`, await focused(page), 'dialog:OK');
        await press(page, 'Return');
        await page.waitForFunction(() => !document.querySelector('dialog[open]'));
        break;
      }
      case 'hold': {
        // The key goes down, repeats 30 times as a held key does, and is let go;
        // every dialog that opens meanwhile is counted.
        await page.evaluate(() => {
          window.opened = 0;
          window.watch = new MutationObserver((changes) => {
            for (const c of changes) window.opened += c.target.open ? 1 : 0;
          });
          window.watch.observe(document.body, { subtree: true, attributeFilter: ['open'] });
        });
        const key = KEYS[rest] || rest;
        for (let i = 0; i <= 30; i++) await page.keyboard.down(key);
        await page.keyboard.up(key);
        await page.waitForSelector('dialog[open]');
        check(`${row}: messages opened while ${rest} was held`,
              await page.evaluate(() => { window.watch.disconnect(); return window.opened; }), 1);
        await press(page, 'Return');
        await page.waitForFunction(() => !document.querySelector('dialog[open]'));
        break;
      }
      default: throw new Error(`unknown step: ${line}`);
    }
  }
}

const rows = readFileSync(join(here, '../e2e/window_rows.txt'), 'utf8')
  .split('\n').filter((line) => line !== '' && !line.startsWith('#'));
// 'fills' where the window fills the page's width to the pixel, scroll bar or
// not, and the page does not scroll sideways; else where its edges are.
const fit = () => {
  const box = document.getElementById('Vistral');
  const edges = box && box.getBoundingClientRect();
  const { clientWidth, scrollWidth } = document.documentElement;
  const got = edges && `${Math.round(edges.left)}..${Math.round(edges.right)} of ${clientWidth}, ` +
                       `scrolls to ${scrollWidth}`;
  return got === `0..${clientWidth} of ${clientWidth}, scrolls to ${clientWidth}` ? 'fills' : got;
};

async function screenshot(page, width) {
  if (shots) {
    writeFileSync(join(shots, `${browserName}-${width}.png`), await page.screenshot());
  }
}

// WebKit's narrow page is the page in a frame of its own: the server lets the
// page's own origin frame it, which it allows nobody by default.
const server = await serve(site, 0, browserName === 'webkit' ? { frameAncestors: "'self'" } : {});
const browser = await launch(browserName);
try {
  const page = await openWindow(browser, server.url);
  const scratch = await browser.newPage();
  await scratch.setContent('<textarea></textarea>');
  await page.bringToFront();

  // The window: 464 x 354 CSS pixels, centred, titled as the window.
  const place = await page.evaluate(() => {
    const r = document.getElementById('Vistral').getBoundingClientRect();
    return `${r.width}x${r.height}+${r.left * 2 + r.width === innerWidth}`;
  });
  check('window 464x354, centred across the page', place, '464x354+true');
  check('page title', await page.title(), 'ИТ - времена, статистика в сайт');
  await screenshot(page, 1280);

  await runSteps(page, scratch, rows);

  // A click that moves no focus itself, as in Safari, still leaves the focus on
  // the button it clicked.
  check('a click from elsewhere leaves the focus on its button', await page.evaluate(() => {
    document.getElementById('Text2_0').focus();
    document.getElementById('Command1_1').click();
    return document.activeElement.id;
  }), 'Command1_1');

  // Tab from the last box wraps to the description, and 11 presses of Tab go
  // round the window without the focus ever leaving it.
  await click(page, 'Text2_7');
  const seen = [];
  for (let i = 0; i < 11; i++) {
    await press(page, 'Tab');
    seen.push(await page.evaluate(() => document.activeElement.closest('#Vistral') &&
                                        document.activeElement.id));
  }
  check('Tab round the window', seen.join(' '),
        'Text1_0 Text2_0 Text2_1 Text2_2 Text2_3 Text2_4 Command1_0 Command1_1 Text2_5 ' +
        'Text2_6 Text2_7');

  check('errors on the page', (await page.errors()).join('; '), '');

  // The hand-over, on a first visit to the site at an address of its own: while
  // that server holds the program's script back, the page shows the window but
  // nothing typed into it arrives; once the program has taken it over, every key
  // does, up to the limit.
  let release;
  const held = new Promise((resolve) => { release = resolve; });
  const front = await serve(site, 0, { hold: (path) => path === '/vistral.js' && held });
  try {
    await page.goto(front.url, { waitUntil: 'domcontentloaded' });
    check('before the program: the window is shown, inert',
          await page.evaluate(() => document.getElementById('Vistral').inert), true);
    if (page.xType) {
      // In WebKit as a person's keys come, from the X server: the automation's
      // own actions wait for the page to finish loading.
      await page.xKey('Tab');
      await page.xType('1234567');
    } else {
      await click(page, 'Text2_0');
      await page.keyboard.type('1234567');
    }
    check('before the program: typed into Text2_0', await page.evaluate(valueOf('Text2_0')), '');
    release();
    await waitForWindow(page);
    await runSteps(page, scratch, ['row once the program has the window', 'key Tab',
                                   'typekeys 1234567', 'expect Text2_0 12345']);
  } finally {
    release();
    await front.close();
  }
  await page.goto(server.url);
  await waitForWindow(page);

  // A phone 390 pixels wide: the whole window fills its width, nothing scrolls
  // sideways; so too where the page is too short for it and scrolls.
  for (const height of [844, 200]) {
    await page.setViewport({ width: 390, height });
    check(`on a 390 x ${height} page: the window fills the width`,
          await settled(page, fit, 'fills'), 'fills');
    if (height === 844) await screenshot(page, 390);
  }

  // Offline: with the server gone, a reload still shows the working window.
  await page.setViewport({ width: 1280, height: 1024 });
  await page.evaluate(() => navigator.serviceWorker.ready);
  await server.close();
  await page.reload();
  await waitForWindow(page);
  await runSteps(page, scratch, ['row offline, after a reload', 'key Tab', 'typekeys 100',
                                 'key Tab', 'typekeys 10', 'click Command1_0',
                                 'expect Text2_6 16']);
  // Where the browser routes requests itself, the page came from the cache so.
  const source = await page.evaluate(() => {
    const entry = performance.getEntriesByType('navigation')[0];
    return 'workerFinalSourceType' in entry ? entry.workerFinalSourceType : null;
  });
  if (source !== null) {
    check('offline, the page came from the cache by a static route', source, 'cache');
  }
} finally {
  await browser.close();
  await server.close();
}
console.log(failures ? `${failures} check(s) failed` : 'all checks passed');
process.exit(failures ? 1 : 0);
