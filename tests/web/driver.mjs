// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Helpers that drive Vistral's page as a person would: the built site served on
// 127.0.0.1, and Debian's Chromium or Firefox ESR started through puppeteer-core
// (Chromium over the DevTools protocol, Firefox over WebDriver BiDi), headless,
// with a fresh profile and nothing that reaches the network; or WebKitGTK's
// MiniBrowser through WebKitWebDriver (webdriver.mjs), whose pages offer the same
// operations.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { launchWebKit } from './webdriver.mjs';

export { serve } from '../../tools/serve.mjs';

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

// Starts `name` ('chromium', 'firefox' or 'webkit') headless with a profile of its
// own, removed when the browser closes.
export async function launch(name) {
  if (name === 'webkit') {
    return launchWebKit();
  }
  const { default: puppeteer } = await import('puppeteer-core');
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
// page.errors() then tells the page's errors since.
export async function openWindow(browser, url, width = 1280, height = 1024) {
  const page = await browser.newPage();
  if (!page.errors) {
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    page.on('console', (line) => line.type() === 'error' && errors.push(line.text()));
    page.errors = async () => errors;
  }
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

// The id of the element with the focus (inside an open dialog: 'dialog:' and the
// text of the focused element).
export function focused(page) {
  return page.evaluate(() => {
    const element = document.activeElement;
    const dialog = element && element.closest('dialog');
    return dialog ? `dialog:${element.textContent}` : element && element.id;
  });
}

// The open message's role, title and text, or null while none is open.
export function message(page) {
  return page.evaluate(() => {
    const dialog = document.querySelector('dialog[open]');
    return dialog && {
      role: dialog.getAttribute('role'),
      title: dialog.querySelector(`#${dialog.getAttribute('aria-labelledby')}`).textContent,
      text: dialog.querySelector(`#${dialog.getAttribute('aria-describedby')}`).textContent,
    };
  });
}
