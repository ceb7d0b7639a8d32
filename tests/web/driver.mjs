// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Helpers that drive Vistral's page as a person would: the built site served on
// 127.0.0.1, and Debian's Chromium or Firefox ESR started through puppeteer-core
// (Chromium over the DevTools protocol, Firefox over WebDriver BiDi), headless,
// with a fresh profile and nothing that reaches the network.
import { mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize, sep } from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.css': 'text/css; charset=utf-8',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};

// Serves the files of `root` on 127.0.0.1 at a free port (or `port`); a
// directory serves its index.html. Resolves to { url, close }, where close
// also ends the open connections, as a network that went away would.
export function serve(root, port = 0) {
  const sockets = new Set();
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    let file = normalize(join(root, path));
    if (!file.startsWith(normalize(root + sep)) && file !== normalize(root)) {
      response.writeHead(403).end();
      return;
    }
    try {
      if (statSync(file).isDirectory()) {
        file = join(file, 'index.html');
      }
      const body = readFileSync(file);
      response.writeHead(200, {
        'Content-Type': TYPES[extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  server.on('connection', (socket) => {
    sockets.add(socket);
    socket.on('close', () => sockets.delete(socket));
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        close: () => new Promise((done) => {
          for (const socket of sockets) {
            socket.destroy();
          }
          server.close(() => done());
        }),
      });
    });
  });
}

const CHROMIUM_ARGS = [
  '--no-sandbox', // as root, Chromium's sandbox cannot start
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--font-render-hinting=none',
];

// Starts `name` ('chromium' or 'firefox') headless with a profile of its own,
// removed when the browser closes.
export async function launch(name) {
  const profile = mkdtempSync(join(tmpdir(), `vistral-${name}-`));
  const options = name === 'firefox'
    ? {
        browser: 'firefox',
        executablePath: '/usr/bin/firefox-esr',
        headless: true,
        userDataDir: profile,
        extraPrefsFirefox: {
          // Nothing of the browser's own reaches out to the network.
          'network.connectivity-service.enabled': false,
          'app.update.enabled': false,
          'browser.safebrowsing.malware.enabled': false,
          'browser.safebrowsing.phishing.enabled': false,
        },
      }
    : {
        executablePath: '/usr/bin/chromium',
        headless: true,
        userDataDir: profile,
        args: CHROMIUM_ARGS,
        // Scroll bars are shown, as a person sees them.
        ignoreDefaultArgs: ['--hide-scrollbars'],
      };
  const browser = await puppeteer.launch(options);
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// Opens the page at `url` in a viewport of `width` x `height` CSS pixels and
// waits until the window has been built and has the focus in its description.
export async function openWindow(browser, url, width = 1280, height = 1024) {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  await page.goto(url);
  await waitForWindow(page);
  return page;
}

export async function waitForWindow(page) {
  await page.waitForFunction(
    () => document.getElementById('Vistral') !== null &&
          document.activeElement && document.activeElement.id === 'Text1_0',
    { polling: 50 });
}

// The texts of the eight number fields, Text2_0 to Text2_7.
export function fields(page) {
  return page.evaluate(() =>
    Array.from({ length: 8 }, (_, i) => document.getElementById(`Text2_${i}`).value));
}

// The id of the element with the focus (inside an open dialog: 'dialog:' and the
// text of the focused element).
export function focused(page) {
  return page.evaluate(() => {
    const element = document.activeElement;
    const dialog = element && element.closest('dialog');
    return dialog ? `dialog:${element.textContent}` : element && element.id;
  });
}

// The open message's title and text, or null while none is open.
export function message(page) {
  return page.evaluate(() => {
    const dialog = document.querySelector('dialog[open]');
    return dialog && {
      title: dialog.querySelector(`#${dialog.getAttribute('aria-labelledby')}`).textContent,
      text: dialog.querySelector(`#${dialog.getAttribute('aria-describedby')}`).textContent,
    };
  });
}
