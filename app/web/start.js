// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Starts the program once the window the page carries is on the screen, so that
// nothing of the program comes before that first frame: its script is fetched
// once the frame has been made, while the browser shows it, and runs only once
// the window is on the screen; its WebAssembly is asked for then. On a slow
// network the page and its style thus have the network to themselves until the
// window is shown. The browser tells when it was shown (its first contentful
// paint). Where it cannot tell, or while the page is not shown (a page in the
// background is not painted), the program starts once the page is parsed; and
// should the browser not have told within a second, it starts all the same.
// Until the program has taken the window over, the window is inert.
(function() {
  function preload(as, href) {
    var link = document.createElement('link');
    link.rel = 'preload';
    link.as = as;
    link.href = href;
    if (as == 'fetch') {
      link.type = 'application/wasm';
      link.crossOrigin = 'anonymous';
    }
    document.head.append(link);
  }
  var program = 'vistral.js';
  var started = false;
  function start() {
    if (started) {
      return;
    }
    started = true;
    preload('fetch', 'vistral.wasm');
    var script = document.createElement('script');
    script.src = program;
    document.head.append(script);
  }
  // The task after the first animation frame comes once that frame is made. Only
  // the script is fetched this early: a script that runs after the first paint
  // plainly did not hold it up, while a model of a slow network (Lighthouse's)
  // counts any other file that arrived before the paint as one it waited for.
  requestAnimationFrame(function() {
    setTimeout(function() {
      if (started) {
        return;
      }
      preload('script', program);
    });
  });
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
