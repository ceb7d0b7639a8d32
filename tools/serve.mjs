// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Serves a static site (Vistral's build/web/site) on 127.0.0.1, with the types
// the page needs (.wasm as application/wasm). Node's standard library only.
//
//   node tools/serve.mjs DIR [PORT]    prints the address, serves until stopped
//
// A busy PORT gives way to a free one.
import { readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.css': 'text/css; charset=utf-8',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};

function listen(server, port) {
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => done());
  });
}

// Serves the files of `root`; a directory serves its index.html. Resolves to
// { url, close }, where close also ends the open connections, as a network that
// went away would.
export async function serve(root, port = 0) {
  const top = resolve(root);
  const sockets = new Set();
  const server = createServer((request, response) => {
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end(); // an address that does not decode
      return;
    }
    let file = resolve(join(top, path));
    if (file !== top && !file.startsWith(top + sep)) {
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

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [root, port] = process.argv.slice(2);
  if (!root) {
    console.error('usage: node tools/serve.mjs DIR [PORT]');
    process.exit(2);
  }
  const site = await serve(root, Number(port || 0));
  console.log(site.url);
}
