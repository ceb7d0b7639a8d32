// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The page's side of the platform operations (app/web/platform_web.cpp), an
// emscripten JavaScript library. It takes over the page's own elements and passes
// the user's events on; every rule of the program stays in the C++:
//  - the page's first frame already shows the window: index.html carries every
//    control, written at build time from the program's window description, with
//    the window inert, so that nothing takes input before the program does;
//  - taking over: each element is found by its id and gets the style, the
//    attributes and the text the C++ gives it (app/web/markup, the same that
//    wrote the page), then the handlers of its kind; the window stops being inert
//    when it is shown, with every control taken over;
//  - the window: <div id="Vistral" role="region"> named by its title, of the
//    client size, centred, scaled down as one piece where the page is narrower;
//    the page's title is the window's;
//  - labels: <div>, opaque, wrapping, text from the top, below boxes and buttons;
//    a press on a label or the window leaves the focus where it is;
//  - text boxes: <input>, the standard sunken border, white; read-only ones
//    with the readonly attribute; a limited box asks the C++ (vistral_fits)
//    before every insertion (typing, pasting, dropping) and puts its text back
//    after a change that passed the limit anyway;
//  - the description: a read-only <textarea> with a vertical scroll bar;
//  - buttons: <button> in its face colour; a click, a tap, Enter (once per
//    press, never repeated) or Space is one click, passed to the C++ one after
//    another, and leaves the focus on the button;
//  - focus: Tab and Shift+Tab go round the focus order and never leave the window;
//  - the message: a modal <dialog role="alertdialog"> with one OK button; OK or
//    Escape ends it and the C++ call that opened it (ASYNCIFY);
//  - offline: the service worker (sw.js) is registered once the window is painted.

mergeInto(LibraryManager.library, {
  $web: {
    root: null,
    // The window's client size in pixels.
    width: 0,
    height: 0,
    // By control: its element, and for limited boxes the last text that fitted.
    controls: [],
    kept: [],
    order: [],
    // Clicks run one after another: each waits for the one before to return
    // (the promise of the last click; a library's values are written out as
    // source, so it is made on the first click).
    clicks: null,
    dialog: null,
    // Ends the open message and lets the call that opened it go on.
    endMessage: function() {},
  },

  $webText: function(pointer, length) {
    var start = pointer >> 1;
    return String.fromCharCode.apply(null, HEAPU16.subarray(start, start + length));
  },

  // Takes over the element `id` as control `control` (-1: the window).
  web_adopt__deps: ['$web', '$webText'],
  web_adopt: function(control, id, idLength, style, styleLength, attributes, attributesLength,
                      text, textLength) {
    var element = document.getElementById(webText(id, idLength));
    element.style.cssText = webText(style, styleLength);
    var pairs = webText(attributes, attributesLength).split('\0');
    for (var i = 0; i + 1 < pairs.length; i += 2) {
      element.setAttribute(pairs[i], pairs[i + 1]);
    }
    if (control < 0) {
      web.root = element;
      web.width = parseFloat(element.style.width);
      web.height = parseFloat(element.style.height);
      return;
    }
    // The text the page already shows is kept, not replaced by the same text: a
    // new text would be painted again, later, as if it were new content.
    var content = webText(text, textLength);
    var property = element.tagName == 'INPUT' || element.tagName == 'TEXTAREA'
        ? 'value' : 'textContent';
    if (element[property] !== content) {
      element[property] = content;
    }
    web.controls[control] = element;
    web.kept[control] = '';
  },

  // Whether `text` may stand in box `control`, as the C++ counts characters.
  $webFits__deps: ['$web', 'vistral_fits', 'malloc', 'free'],
  $webFits: function(control, text) {
    // On the heap, which grows as a long paste needs, never on the stack, which a
    // paste of a few MiB would run past; a text with no room at all never fits.
    var pointer = _malloc(2 * text.length + 2);
    if (!pointer) {
      return false;
    }
    for (var i = 0; i < text.length; ++i) {
      HEAPU16[(pointer >> 1) + i] = text.charCodeAt(i);
    }
    var fits = _vistral_fits(control, pointer, text.length);
    _free(pointer);
    return fits;
  },

  $webPress__deps: ['$web'],
  $webPress: function(control) {
    web.clicks = (web.clicks || Promise.resolve()).then(function() {
      return ccall('vistral_click', null, ['number'], [control], {async: true});
    });
  },

  // The window is as wide as the page allows: on a narrow screen it is scaled
  // down as a whole, never cut off or scrolled sideways. A transform, which every
  // engine measures alike (WebKit reports rectangles inside CSS zoom unscaled),
  // with margins that take back the room the unscaled window would hold.
  $webScale__deps: ['$web'],
  $webScale: function(scale) {
    var style = web.root.style;
    style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
    style.marginRight = scale < 1 ? (scale - 1) * web.width + 'px' : '';
    style.marginBottom = scale < 1 ? (scale - 1) * web.height + 'px' : '';
  },

  $webFit__deps: ['$web', '$webScale'],
  $webFit: function() {
    // The page's room is measured, which lays the page out at once, only where
    // it may be too narrow: a wide page has room for the window and a scroll bar.
    if (innerWidth >= web.width + 40) {
      webScale(1);
      return;
    }
    // Measured without the window, whose overflow would bring scroll bars that
    // go once it fits; then again with the scaled window, where the page is
    // too short for it and a vertical scroll bar takes its room.
    var page = document.documentElement;
    var style = web.root.style;
    webScale(1);
    style.width = style.height = '0';
    var room = page.clientWidth;
    style.width = web.width + 'px';
    style.height = web.height + 'px';
    webScale(room / web.width);
    if (page.clientWidth < room) {
      webScale(page.clientWidth / web.width);
    }
  },

  web_window__deps: ['$webText'],
  web_window: function(title, titleLength) {
    document.title = webText(title, titleLength);
  },

  web_text_box__deps: ['$web', '$webFits'],
  web_text_box: function(control) {
    var box = web.controls[control];
    box.addEventListener('beforeinput', function(event) {
      if (!event.inputType.startsWith('insert')) {
        return;
      }
      var data = event.data;
      if (data == null && event.dataTransfer) {
        data = event.dataTransfer.getData('text/plain');
      }
      var text = box.value;
      var after = event.inputType == 'insertFromDrop'
          ? text + (data || '')
          : text.slice(0, box.selectionStart) + (data || '') + text.slice(box.selectionEnd);
      if (!webFits(control, after)) {
        event.preventDefault();
      }
    });
    // What beforeinput could not stop (an input method's composition) is undone.
    box.addEventListener('input', function() {
      if (webFits(control, box.value)) {
        web.kept[control] = box.value;
      } else {
        box.value = web.kept[control];
      }
    });
  },

  web_description__deps: ['$web'],
  web_description: function(control) {
    // Setting a value puts the caret at its end; the box starts at its top.
    web.controls[control].setSelectionRange(0, 0);
  },

  web_button__deps: ['$web', '$webPress'],
  web_button: function(control) {
    var button = web.controls[control];
    // Space is the button's own: one click when the key is let go. A click or a
    // tap leaves the focus on the button, which Safari does not do by itself.
    button.addEventListener('click', function() {
      button.focus({preventScroll: true});
      webPress(control);
    });
    // Enter clicks when it goes down; a held key does not click again.
    button.addEventListener('keydown', function(event) {
      if (event.key == 'Enter') {
        event.preventDefault();
        if (!event.repeat) {
          webPress(control);
        }
      }
    });
  },

  web_text_length__deps: ['$web'],
  web_text_length: function(control) {
    return web.controls[control].value.length;
  },

  web_read_text__deps: ['$web'],
  web_read_text: function(control, out) {
    var text = web.controls[control].value;
    for (var i = 0; i < text.length; ++i) {
      HEAPU16[(out >> 1) + i] = text.charCodeAt(i);
    }
  },

  web_set_text__deps: ['$web', '$webText'],
  web_set_text: function(control, text, length) {
    var value = webText(text, length);
    web.controls[control].value = value;
    web.kept[control] = value;
  },

  web_focus_order__deps: ['$web'],
  web_focus_order: function(controls, count) {
    web.order = Array.from(HEAP32.subarray(controls >> 2, (controls >> 2) + count),
                           function(control) { return web.controls[control]; });
  },

  web_focus__deps: ['$web'],
  web_focus: function(control) {
    web.controls[control].focus();
  },

  web_show_message__deps: ['$web', '$webText', '$Asyncify'],
  web_show_message: function(title, titleLength, text, textLength) {
    var titleText = webText(title, titleLength);
    var messageText = webText(text, textLength);
    return Asyncify.handleAsync(function() {
      var dialog = web.dialog;
      if (!dialog) {
        dialog = web.dialog = document.createElement('dialog');
        dialog.className = 'message';
        dialog.setAttribute('role', 'alertdialog');
        dialog.setAttribute('aria-labelledby', 'message-title');
        dialog.setAttribute('aria-describedby', 'message-text');
        dialog.style.fontFamily = web.root.style.fontFamily;
        dialog.style.fontSize = web.root.style.fontSize;
        dialog.innerHTML = '<h1 id="message-title"></h1><p id="message-text"></p>' +
                           '<button type="button" autofocus>OK</button>';
        // The message ends where the user ends it, on OK (a click, Enter or
        // Space) or Escape, and the call that opened it goes on at once, before
        // the next key: waiting for the dialog's close event, which comes as a
        // task of its own, would let a quick Tab be overtaken by the focus put
        // back on the pressed button, and the next Enter press the wrong one.
        var ok = dialog.querySelector('button');
        ok.addEventListener('click', function() {
          web.endMessage();
        });
        dialog.addEventListener('cancel', function(event) {
          event.preventDefault();
          web.endMessage();
        });
        // A held Enter or Space closes the message once, and no repeat reaches
        // the button that gets the focus back.
        dialog.addEventListener('keydown', function(event) {
          if (event.repeat || event.key == 'Tab') {
            event.preventDefault();
          }
        });
        document.body.appendChild(dialog);
      }
      dialog.querySelector('h1').textContent = titleText;
      dialog.querySelector('p').textContent = messageText;
      return new Promise(function(resolve) {
        web.endMessage = function() {
          web.endMessage = function() {};
          dialog.close();
          resolve();
        };
        dialog.showModal();
        dialog.querySelector('button').focus();
      });
    });
  },

  web_show__deps: ['$web', '$webFit'],
  web_show: function(firstFocus) {
    var root = web.root;
    // A press anywhere but on a box or a button leaves the focus where it is.
    root.addEventListener('mousedown', function(event) {
      if (web.controls.indexOf(event.target) < 0 || event.target.className == 'label') {
        event.preventDefault();
      }
    });
    // Tab and Shift+Tab go round the window's controls and never leave it.
    document.addEventListener('keydown', function(event) {
      if (event.key != 'Tab' || event.altKey || event.ctrlKey || event.metaKey ||
          (web.dialog && web.dialog.open)) {
        return;
      }
      event.preventDefault();
      var order = web.order;
      var at = order.indexOf(document.activeElement);
      var next = at < 0 ? (event.shiftKey ? order.length - 1 : 0)
                        : (at + (event.shiftKey ? order.length - 1 : 1)) % order.length;
      order[next].focus();
      if (order[next].tagName == 'INPUT') {
        order[next].select();
      }
    });
    webFit();
    addEventListener('resize', webFit);
    // Every control is the program's now: the window takes input.
    root.inert = false;
    // The whole window is in view: the first focus need not scroll to its
    // control, which would lay the page out before it is first painted.
    web.controls[firstFocus].focus({preventScroll: true});
    // The service worker once the window has been painted, not before.
    if ('serviceWorker' in navigator) {
      requestAnimationFrame(function() {
        setTimeout(function() {
          navigator.serviceWorker.register('sw.js').catch(function() {});
        });
      });
    }
  },
});
