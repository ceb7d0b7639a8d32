// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The built site as a browser and a static host meet it, without a browser:
// every file the page and the manifest name is there, the icons have the sizes
// the manifest gives, the page asks for nothing but its own files, and the small
// server serves the right types and nothing outside the site. (That the service
// worker stores what the page needs, the browser test's reload offline proves.)
//
//   node --test tests/web/site_test.mjs      (SITE: the site, build/web/site)
import assert from 'node:assert/strict';
import { existsSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';

import { serve } from '../../tools/serve.mjs';

const site = process.env.SITE || 'build/web/site';
const read = (file) => readFileSync(join(site, file), 'utf8');

// Width and height from a PNG's header.
function pngSize(file) {
  const png = readFileSync(join(site, file));
  assert.equal(png.toString('latin1', 1, 4), 'PNG', `${file} is a PNG`);
  return `${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`;
}

test('the manifest names the program and icons that exist at their sizes', () => {
  const manifest = JSON.parse(read('manifest.webmanifest'));
  assert.equal(manifest.name, 'Vistral');
  assert.equal(manifest.short_name, 'Vistral');
  assert.deepEqual(manifest.icons.map((icon) => icon.sizes), ['192x192', '512x512']);
  for (const icon of manifest.icons) {
    assert.equal(pngSize(icon.src), icon.sizes, icon.src);
  }
});

test('the page asks for its own files only, and its policy allows nothing else', () => {
  const page = read('index.html');
  for (const [, address] of page.matchAll(/(?:href|src)="([^"]*)"/g)) {
    assert.ok(!/^[a-z]+:|^\/\//i.test(address), `${address} is the site's own`);
    assert.ok(existsSync(join(site, address)), `${address} is in the site`);
  }
  const policy = page.match(/http-equiv="Content-Security-Policy" content="([^"]*)"/)[1];
  assert.match(policy, /default-src 'self'/);
  assert.match(policy, /script-src 'self' 'wasm-unsafe-eval'(;|$)/);
});

test('the server sends the types the page needs and nothing outside the site', async () => {
  const server = await serve(site);
  try {
    const rows = [
      ['/', 200, 'text/html; charset=utf-8'],
      ['/vistral.wasm', 200, 'application/wasm'],
      ['/manifest.webmanifest', 200, 'application/manifest+json'],
      ['/..%2FCMakeCache.txt', 403, null], // the build folder, beside the site
      ['/missing.js', 404, null],
      ['/%E0%A4%A', 400, null], // a broken escape, which once ended the server
    ];
    for (const [path, status, type] of rows) {
      const response = await fetch(server.url.replace(/\/$/, '') + path);
      assert.equal(response.status, status, path);
      if (type) {
        assert.equal(response.headers.get('content-type'), type, path);
      }
      await response.arrayBuffer();
    }
  } finally {
    await server.close();
  }
});
