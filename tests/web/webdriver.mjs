// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// WebKitGTK's MiniBrowser driven through WebKitWebDriver (classic WebDriver over
// plain HTTP, node's fetch), offering the few page operations the end-to-end test
// uses from puppeteer-core: evaluate, keyboard, mouse, tabs, title, reload,
// waiting for a state, the viewport. It runs on an Xvfb of its own, started and
// stopped with the browser. What the driver cannot do as the others do:
//  - the window is at least 447 pixels wide: a narrower viewport is the page in
//    a same-origin frame of that size, in which the page operations then run;
//  - a held key does not repeat: a key pressed again while it is down is a
//    keydown marked repeat, dispatched by the page to the focused element;
//  - no console log reaches the driver: a probe in the page records errors;
//  - MiniBrowser binds no key to undo, which it leaves to the browser around
//    WebKit (Safari's Cmd+Z, Epiphany's Ctrl+Z run the editing command): Ctrl+Z
//    runs that command in the page;
//  - Insert does nothing as a key action: it is pressed on the X server
//    (xdotool), as a person's key is;
//  - text goes through key actions, which carry characters outside the Basic
//    Multilingual Plane, and clicks through pointer actions, which work inside a
//    scaled window.
import { execFile, spawn } from 'node:child_process';
import { mkdtempSync } from 'node:fs';
import { rm } from 'node:fs/promises';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';

export const WEBKIT_DRIVER = '/usr/bin/WebKitWebDriver';
export const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

const run = promisify(execFile);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// WebDriver's code points for the keys puppeteer names.
const KEYS = {
  Enter: '\uE007', Backspace: '\uE003', Tab: '\uE004', Escape: '\uE00C', End: '\uE010',
  Insert: '\uE016', Shift: '\uE008', Control: '\uE009', Alt: '\uE00A',
};
const X_MODIFIERS = { Shift: 'shift', Control: 'ctrl', Alt: 'alt' };
const keyValue = (key) => KEYS[key] || (/^Key[A-Z]$/.test(key) ? key[3].toLowerCase() : key);

// A free port on 127.0.0.1, for the driver to take.
function freePort() {
  return new Promise((resolve, reject) => {
    const probe = createServer();
    probe.once('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

// Xvfb on a display it picks itself (-displayfd), as tests/e2e/xsession.sh does.
function startXvfb() {
  return new Promise((resolve, reject) => {
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1600x1280x24',
                                '-nolisten', 'tcp', '-noreset'],
                       { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
    let display = '';
    xvfb.stdio[3].on('data', (data) => {
      display += data;
      if (display.includes('\n')) resolve({ xvfb, display: `:${display.trim()}` });
    });
    xvfb.once('exit', (code) => reject(new Error(`Xvfb ended (${code})`)));
    xvfb.once('error', reject);
  });
}

function stop(child) {
  if (child.exitCode !== null || child.signalCode !== null) return Promise.resolve();
  return new Promise((resolve) => {
    child.once('exit', resolve);
    child.kill();
  });
}

class Session {
  constructor(base) {
    this.base = base;
  }

  async command(method, path, body) {
    const response = await fetch(`${this.base}${path}`, {
      method,
      headers: { 'Content-Type': 'application/json' },
      body: method === 'POST' ? JSON.stringify(body || {}) : undefined,
    });
    const { value } = await response.json();
    if (value && value.error) {
      throw new Error(`${method} ${path}: ${value.error}: ${value.message}`);
    }
    return value;
  }
}

// The page's error probe: what went wrong since it was put in.
function probe() {
  if (!window.vistralErrors) {
    window.vistralErrors = [];
    const note = (what) => window.vistralErrors.push(String(what));
    addEventListener('error', (event) => note(event.message || event.type));
    addEventListener('unhandledrejection', (event) => note(event.reason));
    document.addEventListener('securitypolicyviolation',
                              (event) => note(`blocked ${event.violatedDirective}`));
  }
}
class Page {
  constructor(browser, handle) {
    this.browser = browser;
    this.handle = handle;
    this.frame = null; // the same-origin frame that stands for a narrow viewport
    this.held = new Set();
    this.keyboard = {
      down: (key) => this.keyDown(key),
      up: (key) => this.keys([{ type: 'keyUp', value: keyValue(key) }],
                             () => this.held.delete(key)),
      press: (key) => {
        if (key === 'KeyZ' && this.held.has('Control')) {
          return this.evaluate(() => document.execCommand('undo'));
        }
        if (key === 'Insert') {
          return this.xKey(key);
        }
        return this.keys([{ type: 'keyDown', value: keyValue(key) },
                          { type: 'keyUp', value: keyValue(key) }]);
      },
      type: (text) => this.keys([...text].flatMap((c) => [{ type: 'keyDown', value: c },
                                                          { type: 'keyUp', value: c }])),
    };
    this.mouse = {
      click: (x, y) => this.pointer([
        { type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport' },
        { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }]),
    };
  }

  async use() {
    await this.browser.switchTo(this);
  }

  async run(method, path, body) {
    await this.use();
    return this.browser.session.command(method, path, body);
  }

  async keys(actions, after) {
    await this.run('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions }] });
    after && after();
  }

  // The key with the modifiers held, or text, typed on the X server itself as a
  // person's keys come (WebKit's automation cannot while the page still loads,
  // which its actions wait for), into the browser's window (its tabs share it),
  // given the focus first: without a window manager, none has it.
  async xdotool(...command) {
    await this.use();
    await run('xdotool', ['search', '--onlyvisible', '--classname', 'MiniBrowser',
                          'windowfocus', '--sync', ...command],
              { env: { ...process.env, DISPLAY: this.browser.display } });
  }

  xKey(key) {
    const modifiers = [...this.held].map((held) => X_MODIFIERS[held]);
    return this.xdotool('key', [...modifiers, key].join('+'));
  }

  xType(text) {
    return this.xdotool('type', text);
  }

  async keyDown(key) {
    if (!this.held.has(key)) {
      this.held.add(key);
      await this.keys([{ type: 'keyDown', value: keyValue(key) }]);
      return;
    }
    await this.evaluate((name) => {
      document.activeElement.dispatchEvent(new KeyboardEvent('keydown', {
        key: name, code: name, repeat: true, bubbles: true, cancelable: true, composed: true,
      }));
    }, key);
  }

  async pointer(actions) {
    await this.run('POST', '/actions', {
      actions: [{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions }],
    });
    await this.run('DELETE', '/actions');
  }

  // `code` is a function, called with `args`, or an expression; a promise is
  // waited for.
  async evaluate(code, ...args) {
    const script = typeof code === 'function'
      ? `return (${code}).apply(null, arguments);`
      : `return (${code});`;
    await this.use();
    await this.browser.enterFrame(this.frame !== null);
    return this.browser.session.command('POST', '/execute/sync', { script, args });
  }

  // Until `code` gives a true value; after 30 s, as puppeteer, it fails.
  async waitForFunction(code, options, ...args) {
    for (const end = Date.now() + 30000; Date.now() < end;) {
      if (await this.evaluate(code, ...args)) return;
      await sleep((options && options.polling) || 50);
    }
    throw new Error(`still not true after 30 s: ${code}`);
  }

  waitForSelector(selector) {
    return this.waitForFunction((s) => document.querySelector(s) !== null, {}, selector);
  }

  async goto(url) {
    this.frame = null;
    await this.run('POST', '/url', { url });
    await this.evaluate(probe);
  }

  async reload() {
    this.frame = null;
    await this.run('POST', '/refresh');
    await this.evaluate(probe);
  }

  async setContent(html) {
    await this.evaluate((markup) => { document.body.innerHTML = markup; }, html);
  }

  title() {
    return this.run('GET', '/title');
  }

  bringToFront() {
    return this.use();
  }

  // Below the window's least width, the page runs in a frame of the viewport's
  // size over the page itself; at least as wide, in the window.
  async setViewport({ width, height }) {
    if (width < 447) {
      const url = await this.run('GET', '/url');
      this.frame = null;
      await this.evaluate((address, w, h) => {
        let frame = document.querySelector('iframe');
        if (!frame) {
          frame = document.createElement('iframe');
          frame.style.cssText = 'position: fixed; left: 0; top: 0; border: 0; z-index: 9';
          frame.src = address;
          document.body.appendChild(frame);
        }
        frame.style.width = `${w}px`;
        frame.style.height = `${h}px`;
      }, url, width, height);
      this.frame = 'iframe';
      await this.waitForFunction((address) => location.href === address &&
                                              document.readyState === 'complete', {}, url);
      await this.evaluate(probe);
      return;
    }
    if (this.frame) {
      this.frame = null;
      await this.evaluate(() => document.querySelector('iframe').remove());
    }
    this.viewport = { width, height };
    // The window's outer size is set so that its viewport has the size asked.
    const [outer, inner] = [await this.run('GET', '/window/rect'),
                            await this.evaluate(() => [innerWidth, innerHeight])];
    await this.run('POST', '/window/rect', {
      width: width + outer.width - inner[0], height: height + outer.height - inner[1],
    });
    await this.waitForFunction((w, h) => innerWidth === w && innerHeight === h, {}, width, height);
  }

  // What the probe recorded, in the page or its frame.
  errors() {
    return this.evaluate(() => window.vistralErrors || ['no probe']);
  }

  // A PNG of what the window shows (a narrow page's frame at its top left) once
  // two more frames have been drawn: a screenshot is the last frame drawn. (An
  // element's screenshot of the frame comes with a black band at its top.)
  async screenshot() {
    await this.evaluate(() => new Promise((resolve) => {
      requestAnimationFrame(() => requestAnimationFrame(resolve));
    }));
    await this.browser.enterFrame(false);
    return Buffer.from(await this.run('GET', '/screenshot'), 'base64');
  }
}

// Starts Xvfb, WebKitWebDriver and a MiniBrowser session; close() ends them all.
export async function launchWebKit() {
  const { xvfb, display } = await startXvfb();
  const profile = mkdtempSync(join(tmpdir(), 'vistral-webkit-'));
  let driver = null;
  // Nothing is left running should the test end without closing.
  const kill = () => {
    driver && driver.kill();
    xvfb.kill();
  };
  process.once('exit', kill);
  const close = async () => {
    process.off('exit', kill);
    driver && await stop(driver);
    await stop(xvfb);
    // The browser's helpers may still be writing as they end.
    await rm(profile, { recursive: true, force: true, maxRetries: 10 });
  };
  try {
    // The driver listens on a port found free; should another process take it
    // first, the driver ends and another port is tried.
    let base = null;
    for (let attempt = 0; !base; attempt++) {
      const port = await freePort();
      driver = spawn(WEBKIT_DRIVER, [`--port=${port}`], {
        env: { ...process.env, DISPLAY: display, XDG_CACHE_HOME: profile,
               XDG_DATA_HOME: profile, XDG_CONFIG_HOME: profile, GDK_BACKEND: 'x11',
               WAYLAND_DISPLAY: '', MESA_SHADER_CACHE_DISABLE: 'true' },
        stdio: ['ignore', 'ignore', 'inherit'],
      });
      for (let i = 0; i < 400 && driver.exitCode === null; i++) {
        try {
          await fetch(`http://127.0.0.1:${port}/status`);
          base = `http://127.0.0.1:${port}`;
          break;
        } catch {
          await sleep(50);
        }
      }
      if (!base && (attempt === 4 || driver.exitCode === null)) {
        throw new Error('WebKitWebDriver did not start');
      }
    }
    const created = await new Session(base).command('POST', '/session', {
      capabilities: {
        alwaysMatch: {
          browserName: 'MiniBrowser',
          'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] },
        },
      },
    });
    return new Browser(new Session(`${base}/session/${created.sessionId}`), close, display);
  } catch (error) {
    await close();
    throw error;
  }
}

class Browser {
  constructor(session, close, display) {
    this.session = session;
    this.display = display; // the Xvfb's
    this.current = null;
    this.inFrame = false;
    this.pages = [];
    this.closeAll = close;
  }

  async switchTo(page) {
    if (this.current !== page.handle) {
      await this.session.command('POST', '/window', { handle: page.handle });
      this.current = page.handle;
      this.inFrame = false;
    }
  }

  // Into the page's frame, or out to the page itself.
  async enterFrame(into) {
    if (this.inFrame !== into) {
      await this.session.command('POST', '/frame', { id: into ? 0 : null });
      this.inFrame = into;
    }
  }

  async newPage() {
    let handle;
    if (this.pages.length === 0) {
      handle = await this.session.command('GET', '/window');
    } else {
      ({ handle } = await this.session.command('POST', '/window/new', { type: 'tab' }));
    }
    const page = new Page(this, handle);
    // A second tab brings a tab bar, which takes the pages' viewports' height.
    for (const other of this.pages.filter((p) => p.viewport && !p.frame)) {
      await other.setViewport(other.viewport);
    }
    this.pages.push(page);
    return page;
  }

  async close() {
    try {
      await this.session.command('DELETE', '');
    } catch {
      // the browser may be gone already
    }
    await this.closeAll();
  }
}
