// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The built site as a browser and a static host meet it, without a browser:
// every file the page and the manifest name is there, the icons have the sizes
// the manifest gives, the page asks for nothing but its own files and its policy
// allows no inline style or script but its own, every rule that WebKit needs
// prefixed has its -webkit- twin, and the small server serves
// the right types, the headers a host should send, and nothing outside the site.
// (That the service worker stores what the page needs, the browser test's reload
// offline proves.)
//
//   node --test tests/web/site_test.mjs      (SITE: the site, build/web/site)
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { existsSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';

import { pagePolicy, serve } from '../../tools/serve.mjs';

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

// The page's inline style and script, and the source of the policy that allows each.
const inline = (tag) => {
  const text = read('index.html').match(new RegExp(`<${tag}>([^]*?)</${tag}>`))[1];
  return { text, source: `'sha256-${createHash('sha256').update(text).digest('base64')}'` };
};

test('the page asks for its own files only, and its policy allows nothing else', () => {
  const page = read('index.html');
  for (const [, address] of page.matchAll(/(?:href|src)="([^"]*)"/g)) {
    assert.ok(!/^[a-z]+:|^\/\//i.test(address), `${address} is the site's own`);
    assert.ok(existsSync(join(site, address)), `${address} is in the site`);
  }
  const policy = pagePolicy(site);
  assert.match(policy, /default-src 'self'/);
  assert.ok(policy.includes(`script-src 'self' 'wasm-unsafe-eval' ${inline('script').source};`));
  assert.ok(policy.includes(`style-src ${inline('style').source};`));
});

test('user-select: none has its -webkit- twin, which Safari still needs', () => {
  const rules = inline('style').text.split('}');
  assert.ok(rules.some((rule) => /(^|[^-])user-select: none/.test(rule)));
  for (const rule of rules.filter((r) => /(^|[^-])user-select: none/.test(r))) {
    assert.match(rule, /-webkit-user-select: none/, rule);
  }
});

test('the server sends the types and headers a host should, nothing outside the site', async () => {
  const server = await serve(site);
  const framed = await serve(site, 0, { frameAncestors: "'self'" });
  const get = (at, path, headers) => fetch(at.url.replace(/\/$/, '') + path, { headers });
  try {
    const rows = [
      ['/', 200, 'text/html; charset=utf-8'],
      ['/sw.js', 200, 'text/javascript; charset=utf-8'],
      ['/vistral.wasm', 200, 'application/wasm'],
      ['/manifest.webmanifest', 200, 'application/manifest+json'],
      ['/..%2FCMakeCache.txt', 403, null], // the build folder, beside the site
      ['/missing.js', 404, null],
      ['/%E0%A4%A', 400, null], // a broken escape, which once ended the server
    ];
    for (const [path, status, type] of rows) {
      const response = await get(server, path);
      assert.equal(response.status, status, path);
      if (type) {
        assert.equal(response.headers.get('content-type'), type, path);
      }
      assert.equal(response.headers.get('x-content-type-options'), 'nosniff', path);
      assert.equal(response.headers.get('referrer-policy'), 'no-referrer', path);
      await response.arrayBuffer();
    }

    // The page's own policy, and no frame may show the page unless asked for.
    const page = await get(server, '/');
    assert.equal(page.headers.get('content-security-policy'),
                 `${pagePolicy(site)}; frame-ancestors 'none'`);
    assert.equal((await get(framed, '/')).headers.get('content-security-policy'),
                 `${pagePolicy(site)}; frame-ancestors 'self'`);

    // The page and the service worker are asked for again at every visit.
    for (const path of ['/', '/index.html', '/sw.js']) {
      assert.equal((await get(server, path)).headers.get('cache-control'), 'no-cache', path);
    }

    // Text is gzipped where the browser takes it (fetch unpacks it), and the same.
    for (const [path, file] of [['/', 'index.html'], ['/vistral.js', 'vistral.js']]) {
      const plain = await get(server, path, { 'Accept-Encoding': 'identity' });
      assert.equal(plain.headers.get('content-encoding'), null, path);
      const packed = await get(server, path, { 'Accept-Encoding': 'gzip, deflate, br' });
      assert.equal(packed.headers.get('content-encoding'), 'gzip', path);
      assert.equal(packed.headers.get('vary'), 'Accept-Encoding', path);
      assert.equal(await plain.text(), read(file), path);
      assert.equal(await packed.text(), read(file), `${path}, unpacked`);
    }
  } finally {
    await server.close();
    await framed.close();
  }
});
