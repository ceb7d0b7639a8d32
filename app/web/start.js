// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Starts the program once the window the page carries is on the screen: the
// program's script and WebAssembly are asked for only then, so that on a slow
// network they take nothing from the page and its style before that first frame.
// The browser tells when it was shown (its first contentful paint). Where it
// cannot tell, or while the page is not shown (a page in the background is not
// painted), the program starts once the page is parsed; and should the browser
// not have told within a second, it starts all the same. Until the program has
// taken the window over, the window is inert.
(function() {
  var started = false;
  function start() {
    if (started) {
      return;
    }
    started = true;
    var wasm = document.createElement('link');
    wasm.rel = 'preload';
    wasm.href = 'vistral.wasm';
    wasm.as = 'fetch';
    wasm.type = 'application/wasm';
    wasm.crossOrigin = 'anonymous';
    var script = document.createElement('script');
    script.src = 'vistral.js';
    document.head.append(wasm, script);
  }
  var types = (window.PerformanceObserver && PerformanceObserver.supportedEntryTypes) || [];
  if (document.visibilityState != 'visible' || types.indexOf('paint') < 0) {
    setTimeout(start);
    return;
  }
  new PerformanceObserver(function(list) {
    if (list.getEntriesByName('first-contentful-paint').length) {
      start();
    }
  }).observe({type: 'paint', buffered: true});
  document.addEventListener('visibilitychange', start);
  setTimeout(start, 1000);
})();
