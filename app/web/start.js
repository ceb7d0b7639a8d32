// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Starts the program once the page is parsed, in a task of its own, so that the
// browser can paint the window the page carries first: the program's script and
// WebAssembly are asked for only then, and on a slow network they do not take
// the room the page and its style need for the first frame. (A frame callback
// would wait longer: a browser may hold it back while the page is not yet
// shown.) Until the program has taken the window over, the window is inert.
setTimeout(function() {
  var wasm = document.createElement('link');
  wasm.rel = 'preload';
  wasm.href = 'vistral.wasm';
  wasm.as = 'fetch';
  wasm.type = 'application/wasm';
  wasm.crossOrigin = 'anonymous';
  var script = document.createElement('script');
  script.src = 'vistral.js';
  document.head.append(wasm, script);
});
