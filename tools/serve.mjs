// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Serves a static site (Vistral's build/web/site) on 127.0.0.1 as a static host
// should: with the types the page needs (.wasm as application/wasm), the page's
// own Content-Security-Policy as a header, with frame-ancestors, which a meta tag
// cannot carry, nothing sniffed, no referrer, every file revalidated (the page
// and the service worker above all, whose names never change), and text gzipped
// where the browser accepts it. Node's standard library only.
//
//   node tools/serve.mjs DIR [PORT]    prints the address, serves until stopped
//
// A busy PORT gives way to a free one.
import { readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.css': 'text/css; charset=utf-8',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};
// What gzip makes smaller: everything but the PNGs, compressed already.
const COMPRESSED = new Set(['.png']);

// The policy of the page's meta tag in DIR/index.html, or null where it has none.
export function pagePolicy(root) {
  try {
    const page = readFileSync(join(root, 'index.html'), 'utf8');
    const found = page.match(/http-equiv="Content-Security-Policy"\s+content="([^"]*)"/);
    return found && found[1];
  } catch {
    return null;
  }
}

// The headers every response carries; `frameAncestors` is who may show the
// page in a frame ('none': nobody).
export function securityHeaders(root, frameAncestors = "'none'") {
  const policy = pagePolicy(root);
  return {
    ...(policy && { 'Content-Security-Policy': `${policy}; frame-ancestors ${frameAncestors}` }),
    'X-Content-Type-Options': 'nosniff',
    'Referrer-Policy': 'no-referrer',
  };
}

const acceptsGzip = (request) =>
  /(^|,)\s*gzip\s*(,|;(?!\s*q=0(\.0*)?\s*(,|$))|$)/.test(request.headers['accept-encoding'] || '');

function listen(server, port) {
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => done());
  });
}

// Serves the files of `root`; a directory serves its index.html. Resolves to
// { url, close }, where close also ends the open connections, as a network that
// went away would. `options.frameAncestors` stands in the policy's
// frame-ancestors ('none' unless given: a test that frames the page allows 'self');
// `options.hold(path)`, where given, may return a promise that holds the answer
// for that path back until it settles, as a slow network would.
export async function serve(root, port = 0, options = {}) {
  const top = resolve(root);
  const security = securityHeaders(top, options.frameAncestors);
  // Each file is compressed once, again only when it changed.
  const packed = new Map();
  const gzipped = (file, body) => {
    const { mtimeMs } = statSync(file);
    const known = packed.get(file);
    if (!known || known.mtimeMs !== mtimeMs) {
      packed.set(file, { mtimeMs, body: gzipSync(body) });
    }
    return packed.get(file).body;
  };
  const sockets = new Set();
  const server = createServer(async (request, response) => {
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400, security).end(); // an address that does not decode
      return;
    }
    await (options.hold && options.hold(path));
    let file = resolve(join(top, path));
    if (file !== top && !file.startsWith(top + sep)) {
      response.writeHead(403, security).end();
      return;
    }
    try {
      if (statSync(file).isDirectory()) {
        file = join(file, 'index.html');
      }
      let body = readFileSync(file);
      const headers = {
        ...security,
        'Content-Type': TYPES[extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-cache',
      };
      if (!COMPRESSED.has(extname(file))) {
        headers.Vary = 'Accept-Encoding';
        if (acceptsGzip(request)) {
          body = gzipped(file, body);
          headers['Content-Encoding'] = 'gzip';
        }
      }
      headers['Content-Length'] = body.length;
      response.writeHead(200, headers);
      response.end(request.method === 'HEAD' ? undefined : body);
    } catch {
      response.writeHead(404, security).end();
    }
  });
  server.on('connection', (socket) => {
    sockets.add(socket);
    socket.on('close', () => sockets.delete(socket));
  });
  try {
    await listen(server, port);
  } catch (error) {
    if (error.code !== 'EADDRINUSE' || port === 0) {
      throw error;
    }
    await listen(server, 0);
  }
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((done) => {
      for (const socket of sockets) {
        socket.destroy();
      }
      server.close(() => done());
    }),
  };
}

if (process.argv[1] && import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [root, port] = process.argv.slice(2);
  if (!root) {
    console.error('usage: node tools/serve.mjs DIR [PORT]');
    process.exit(2);
  }
  const site = await serve(root, Number(port || 0));
  console.log(site.url);
}
