// The page side of the browser backend: windows, controls, canvases, menus,
// the toolbar, shortcuts, the pointer and the event queue. Loaded before
// the module (--pre-js); web_ui.cpp calls lumetra.ui.* through EM_JS.
//
// Every window is a positioned div (id "window-<name>") with a caption, and
// for the main window a menu bar, above its client area; every control is
// an element with id "c<number>" at its layout rectangle inside its parent.
"use strict";

(function () {
  const lumetra = (globalThis.lumetra = globalThis.lumetra || {});

  // The numbers of platform.h.
  const EventKind = { None: 0, Command: 1, Control: 2, FilesDropped: 3, RightButton: 4, Close: 5, PointerMoved: 6, Timer: 7 };
  const EventType = { None: 0, Click: 1, RightClick: 2, DoubleClick: 3, RightDoubleClick: 4, GainFocus: 5, SelectionChanged: 6, Changed: 7 };
  const Kind = { Container: 0, Text: 1, Edit: 2, RichText: 3, Button: 4, Radio: 5, Check: 6, Frame: 7, Combo: 8, Tabs: 9, Spin: 10, Progress: 11, Image: 12, Link: 13 };
  const Style = { Border: 1, Centred: 2, ReadOnly: 4, Hidden: 8, Disabled: 16, Group: 32, Checked: 64, DigitsOnly: 128, DefaultButton: 256, Smooth: 512, ReportChanges: 1024 };
  const MAIN = 0;
  const TEXT_DIALOG = 3;  // takes the dialog keys: Enter, Escape (Tab is the page's own)

  // The desktop program's look: the dialog face, its 8 pt fonts (Tahoma,
  // else the condensed face the Win32 backend takes under Wine).
  // "condensed" chooses DejaVu's condensed face where Tahoma is missing;
  // Tahoma has no narrower face and stays as it is.
  const FACE = 'Tahoma, "DejaVu Sans Condensed", "DejaVu Sans", sans-serif';
  const FONTS = [
    { css: "condensed 11px " + FACE },                              // Default
    { css: "condensed 11px " + FACE },                              // Message
    { css: 'condensed bold 16px "MS Sans Serif", ' + FACE },        // StartupBold
    { css: '13px "Lucida Console", "DejaVu Sans Mono", monospace' }, // Code
    { css: "condensed 11px " + FACE, underline: true },             // Underlined
    { css: "condensed bold 13px " + FACE },                         // Title
  ];
  const BUTTON_FACE = "#f0f0f0";
  const SPIN_ARROWS_WIDTH = 13;
  const DOUBLE_CLICK_MS = 500;
  const PROGRAM_ICON = -2;  // web_images.h

  const STYLE_SHEET = `
    body { margin: 0; background: #3a6ea5; font: condensed 11px ${FACE}; overflow: auto; }
    .lw-cover { position: absolute; left: 0; top: 0; right: 0; bottom: 0; z-index: 1000; }
    .lw { position: absolute; background: ${BUTTON_FACE}; border: 1px solid #404040;
          box-shadow: 2px 2px 6px rgba(0,0,0,.4); user-select: none; color: #000; }
    .lw-caption { height: 20px; line-height: 20px; padding-left: 3px; color: #fff; font: bold 11px ${FACE};
                  background: linear-gradient(90deg, #0a246a, #a6caf0); white-space: nowrap; overflow: hidden; }
    .lw-icon { width: 16px; height: 16px; vertical-align: -3px; margin-right: 4px; }
    .lw-close { position: absolute; right: 2px; top: 2px; width: 16px; height: 14px; line-height: 12px; text-align: center;
                background: ${BUTTON_FACE}; color: #000; border: 1px outset #fff; font: bold 11px ${FACE}; cursor: default; }
    .lw-menubar { height: 19px; background: ${BUTTON_FACE}; border-bottom: 1px solid #d8d8d8; display: flex; font: 12px ${FACE}; }
    .lw-menutitle { padding: 2px 7px; cursor: default; }
    .lw-menutitle.open, .lw-menutitle:hover { background: #3399ff; color: #fff; }
    .lw-client { position: relative; overflow: hidden; }
    .lc { position: absolute; box-sizing: border-box; margin: 0; overflow: hidden; }
    .lc-text { white-space: pre-wrap; }
    .lc-text.nowrap { white-space: pre; }
    .lc-text.disabled, .lc-check.disabled, .lc-link.disabled { color: #8c8c8c !important; }
    .lc-sunken { border: 2px inset #e0e0e0; }
    .lc-border { border: 1px solid #000; }
    .lc-edit { padding: 0 2px; background: #fff; outline: none; }
    .lc-edit:disabled { background: ${BUTTON_FACE}; color: #8c8c8c; }
    .lc-rich { background: #fff; overflow: scroll; white-space: pre; user-select: text; cursor: text; outline: none; }
    .lc-button { background: #e1e1e1; border: 1px solid #adadad; padding: 0; color: #000; }
    .lc-button:hover:enabled { background: #e5f1fb; border-color: #0078d7; }
    .lc-button:disabled { color: #8c8c8c; }
    .lc-button.default { border: 2px solid #0078d7; }
    .lc-check { display: flex; align-items: center; white-space: nowrap; cursor: default; }
    .lc-check input { margin: 0 4px 0 1px; width: 13px; height: 13px; flex: none; }
    .lc-frame { border: 1px solid #dcdcdc; top: 0; }
    .lc-frame-line { position: absolute; left: 0; right: 0; bottom: 0; border: 1px solid #d5dfe5; border-radius: 2px; }
    .lc-frame-title { position: absolute; left: 7px; top: 0; padding: 0 2px; line-height: 13px; white-space: nowrap; }
    .lc-combo { background: #fff; border: 1px solid #adadad; overflow: visible; }
    .lc-combo-field { position: absolute; left: 2px; right: 17px; top: 0; bottom: 0; display: flex; align-items: center;
                      white-space: nowrap; overflow: hidden; }
    .lc-combo-arrow { position: absolute; right: 0; top: 0; bottom: 0; width: 16px; background: #e1e1e1;
                      border-left: 1px solid #adadad; text-align: center; font-size: 8px; line-height: 19px; }
    .lc-combo-list { position: absolute; box-sizing: border-box; background: #fff; border: 1px solid #646464;
                     overflow-y: auto; z-index: 90; user-select: none; }
    .lc-combo-item { padding: 0 2px; height: 15px; line-height: 15px; white-space: nowrap; }
    .lc-combo-item.selected { background: #0078d7; color: #fff; }
    .lc-combo.disabled { background: ${BUTTON_FACE}; color: #8c8c8c; }
    .lc-tabs { overflow: visible; }
    .lc-tab-row { position: absolute; left: 2px; top: 2px; height: 20px; display: flex; }
    .lc-tab { height: 18px; line-height: 18px; margin-top: 2px; padding: 0 3px 0 3px; border: 1px solid #adadad;
              border-bottom: none; background: ${BUTTON_FACE}; white-space: nowrap; cursor: default; }
    .lc-tab.selected { height: 21px; margin-top: 0; margin-left: -2px; margin-right: -2px; padding: 0 5px;
                       background: #fff; z-index: 2; position: relative; }
    .lc-tab-body { position: absolute; left: 0; right: 0; top: 21px; bottom: 0; border: 1px solid #adadad; background: #fff; }
    .lc-spin-field { position: absolute; left: 0; top: 0; bottom: 0; border: 1px solid #7a7a7a; text-align: right;
                     padding: 0 2px; font: inherit; background: #fff; box-sizing: border-box; outline: none; }
    .lc-spin-up, .lc-spin-down { position: absolute; right: 0; width: ${SPIN_ARROWS_WIDTH}px; box-sizing: border-box;
                     background: #e1e1e1; border: 1px solid #adadad; font-size: 6px; line-height: 8px; text-align: center; }
    .lc-progress { background: #e6e6e6; border: 1px solid #bcbcbc; }
    .lc-progress-bar { height: 100%; background: #06b025; }
    .lc-progress-bar.blocks { background: repeating-linear-gradient(90deg, #06b025 0 8px, transparent 8px 10px); }
    .lc-image { image-rendering: pixelated; }
    .lc-link { white-space: nowrap; cursor: pointer; }
    .lc-toolbar { position: absolute; left: 0; top: 0; right: 0; height: 26px; }
    .lc-tool { position: absolute; top: 2px; width: 23px; height: 22px; box-sizing: border-box; border: 1px solid transparent; }
    .lc-tool:hover { border-color: #3399ff; background: #e5f1fb; }
    .lc-tool:active { background: #cce4f7; }
    .lc-tool canvas { position: absolute; left: 3px; top: 2px; }
    .lc-tool-separator { position: absolute; top: 4px; width: 2px; height: 18px; border-left: 1px solid #c0c0c0; border-right: 1px solid #fff; box-sizing: border-box; }
    .lm { position: absolute; background: #f2f2f2; border: 1px solid #979797; box-shadow: 2px 2px 3px rgba(0,0,0,.3);
          padding: 2px; z-index: 100; font: 12px ${FACE}; user-select: none; }
    .lm-item { display: flex; height: 22px; align-items: center; white-space: pre; cursor: default; }
    .lm-item.active { background: #91c9f7; }
    .lm-item.disabled { color: #8c8c8c; }
    .lm-icon { width: 24px; height: 22px; display: flex; align-items: center; justify-content: center; flex: none; }
    .lm-label { flex: 1; padding-left: 6px; }
    .lm-shortcut { padding-left: 24px; padding-right: 10px; }
    .lm-arrow { padding-right: 6px; font-size: 8px; }
    .lm-separator { height: 1px; background: #d7d7d7; margin: 3px 2px 3px 30px; }
    .lw.fading { transition-property: opacity; transition-timing-function: linear; }
  `;

  const ui = {};
  lumetra.ui = ui;
  lumetra.queue = lumetra.queue || [];
  lumetra.pointer = { x: -1, y: -1, buttons: 0 };

  let waiter = null;  // resolves the promise wait_event awaits
  let windows = new Map();   // window number -> { root, client, name }
  let controls = new Map();  // control number -> record
  let images = new Map();    // stored image number -> ImageData
  let menus = { bar: null, popups: new Map(), items: new Map(), open: [] };
  let toolbar = null;
  let shortcuts = [];
  let timer = null;
  let last_radio = null;  // the radio button made last: a group runs on from it
  let dropped = null;  // the drop-down list that is open
  let pointer_shape = "default";  // over the windows' client areas, as the program set it

  // ---------------------------------------------------------------- events

  // Each event carries the pointer as it was when the event happened, as a
  // Win32 message does: the shell reads the buttons of the event it handles.
  lumetra.push_event = function (event) {
    lumetra.queue.push({
      kind: event.kind | 0, number: event.number | 0, type: event.type | 0, window: event.window | 0,
      files: event.files || [],
      x: lumetra.pointer.x, y: lumetra.pointer.y, buttons: lumetra.pointer.buttons,
    });
    if (waiter) {
      const wake = waiter;
      waiter = null;
      wake();
    }
  };
  const push = (kind, number, type, window) => lumetra.push_event({ kind, number, type, window });

  ui.wait = function () {
    if (lumetra.queue.length) return Promise.resolve();
    return new Promise((resolve) => { waiter = resolve; });
  };
  ui.take_event = function () { return lumetra.queue.shift() || null; };

  ui.mark_ready = function () {
    if (document.documentElement.dataset.ready === "1") return;
    lumetra.ready_ms = performance.now();
    document.documentElement.dataset.ready = "1";
  };

  // A frame painted: the page shows what the program changed so far.
  ui.next_frame = function () {
    return new Promise((resolve) => {
      const done = () => setTimeout(resolve, 0);
      requestAnimationFrame(done);
      setTimeout(resolve, 100);  // a hidden page draws no frames
    });
  };

  ui.start_timer = function (ms) {
    ui.stop_timer();
    timer = setTimeout(() => { timer = null; push(EventKind.Timer, 0, 0, MAIN); }, ms);
  };
  ui.stop_timer = function () {
    if (timer !== null) clearTimeout(timer);
    timer = null;
    lumetra.queue = lumetra.queue.filter((e) => e.kind !== EventKind.Timer);
  };

  // The pointer in page coordinates and the buttons held, for every event.
  function track_pointer(e) {
    lumetra.pointer.x = Math.round(e.pageX);
    lumetra.pointer.y = Math.round(e.pageY);
    lumetra.pointer.buttons = e.buttons & 3;
  }
  document.addEventListener("pointermove", track_pointer, true);
  document.addEventListener("pointerdown", track_pointer, true);
  document.addEventListener("pointerup", track_pointer, true);
  document.addEventListener("contextmenu", (e) => e.preventDefault());
  // A press outside an open menu or drop-down list only closes it, as on
  // the desktop: the program hears neither the press nor its release.
  let swallow_release = false;
  function swallow(e) {
    e.stopPropagation();
    e.preventDefault();
    swallow_release = true;
  }
  document.addEventListener("pointerdown", (e) => {
    const inside = e.target.closest && e.target.closest(".lm, .lw-menutitle");
    if (menus.open.length && !inside) {
      close_menus();
      swallow(e);
    }
  }, true);
  let swallow_click = false;
  document.addEventListener("pointerup", (e) => {
    if (!swallow_release) return;
    e.stopPropagation();
    swallow_release = false;
    swallow_click = true;  // the click that follows in the same task
    setTimeout(() => { swallow_click = false; }, 0);
  }, true);
  document.addEventListener("click", (e) => { if (swallow_click) e.stopPropagation(); }, true);

  // Presses of one button close together in time and place count up, as
  // Windows counts a double-click.
  const presses = { button: -1, time: 0, x: 0, y: 0, count: 0 };
  function press_count(e) {
    const now = performance.now();
    const near = Math.abs(e.pageX - presses.x) <= 4 && Math.abs(e.pageY - presses.y) <= 4;
    if (e.button === presses.button && near && now - presses.time < DOUBLE_CLICK_MS && presses.count === 1) {
      presses.count = 2;
    } else {
      presses.count = 1;
    }
    presses.button = e.button;
    presses.time = now;
    presses.x = e.pageX;
    presses.y = e.pageY;
    return presses.count;
  }
  // Counted once per press, before the control hears it.
  document.addEventListener("pointerdown", (e) => { e.lumetra_presses = press_count(e); }, true);

  // ---------------------------------------------------------------- helpers

  function css_colour(rgb) {
    return rgb < 0 ? "" : "#" + rgb.toString(16).padStart(6, "0");
  }
  function element(tag, cls, parent) {
    const e = document.createElement(tag);
    if (cls) e.className = cls;
    if (parent) parent.appendChild(e);
    return e;
  }
  function place(e, x, y, w, h) {
    e.style.left = x + "px";
    e.style.top = y + "px";
    e.style.width = w + "px";
    e.style.height = h + "px";
  }
  function apply_font(e, font) {
    const f = FONTS[font] || FONTS[0];
    e.style.font = f.css;
    if (f.underline) e.style.textDecoration = "underline";
  }
  function window_number_of(e) {
    const root = e.closest(".lw");
    return root ? Number(root.dataset.window) : MAIN;
  }
  function page_rect(e) {
    const r = e.getBoundingClientRect();
    return { x: Math.round(r.left + window.scrollX), y: Math.round(r.top + window.scrollY),
             w: Math.round(r.width), h: Math.round(r.height) };
  }
  ui.write_rect = function (r, out) {
    HEAP32[out >> 2] = r.x;
    HEAP32[(out >> 2) + 1] = r.y;
    HEAP32[(out >> 2) + 2] = r.w;
    HEAP32[(out >> 2) + 3] = r.h;
  };
  // The colour behind an element: the first background up its parents.
  function background_behind(e) {
    for (let p = e; p; p = p.parentElement) {
      const bg = getComputedStyle(p).backgroundColor;
      if (bg && bg !== "transparent" && bg !== "rgba(0, 0, 0, 0)") return bg;
    }
    return BUTTON_FACE;
  }

  // ---------------------------------------------------------------- stored images

  ui.add_image = function (number, w, h, ptr) {
    const pixels = new Uint8ClampedArray(HEAPU8.subarray(ptr, ptr + w * h * 4));
    images.set(number, new ImageData(pixels, w, h));
  };
  function image_canvas(number, parent) {
    const canvas = element("canvas", "", parent);
    const picture = images.get(number);
    if (picture) {
      canvas.width = picture.width;
      canvas.height = picture.height;
      canvas.getContext("2d").putImageData(picture, 0, 0);
    }
    return canvas;
  }
  // The help button's picture: a question mark beside an arrow.
  function help_canvas(parent) {
    const canvas = element("canvas", "", parent);
    canvas.width = canvas.height = 16;
    const g = canvas.getContext("2d");
    g.fillStyle = "#000";
    g.beginPath();
    g.moveTo(1, 1); g.lineTo(1, 12); g.lineTo(4, 9); g.lineTo(6, 14); g.lineTo(8, 13); g.lineTo(6, 8); g.lineTo(10, 8);
    g.closePath();
    g.fill();
    g.fillStyle = "#0050c8";
    g.font = "bold 11px " + FACE;
    g.fillText("?", 9, 12);
    return canvas;
  }

  // ---------------------------------------------------------------- windows

  ui.create_window = function (number, name, title, x, y, w, h, background, centred, popup, with_menu) {
    const root = element("div", "lw", document.body);
    root.id = "window-" + name;
    root.dataset.window = String(number);
    root.style.display = "none";
    root.style.zIndex = String(number === MAIN ? 1 : 10 + number);
    let caption = null;
    if (!popup) {
      caption = element("div", "lw-caption", root);
      image_canvas(PROGRAM_ICON, caption).className = "lw-icon";
      caption.appendChild(document.createTextNode(title));
      drag_by(caption, root);
      const close = element("div", "lw-close", caption);
      close.textContent = "×";
      close.addEventListener("click", () => push(EventKind.Close, 0, 0, number));
    }
    const bar = with_menu ? element("div", "lw-menubar", root) : null;
    const client = element("div", "lw-client", root);
    client.style.width = w + "px";
    client.style.height = h + "px";
    client.style.cursor = pointer_shape;
    if (background >= 0) client.style.background = css_colour(background);
    if (popup) root.style.border = "1px solid #000";
    const record = { root, client, caption, bar, name, centred, title };
    windows.set(number, record);
    root.style.left = Math.max(0, x) + "px";
    root.style.top = Math.max(0, y) + "px";
    if (number === MAIN) document.title = title;

    // Pointer movement and the buttons wake the shell's polls, before the
    // control under the pointer reports (capture phase).
    const moved = () => { if (!record.disabled) push(EventKind.PointerMoved, 0, 0, number); };
    root.addEventListener("pointermove", moved, true);
    root.addEventListener("pointerleave", moved);
    root.addEventListener("pointerup", moved, true);
    // The right button's press in the client area is an event of its own
    // (the shell's right-button menus); the left one's wakes the polls.
    root.addEventListener("pointerdown", (e) => {
      if (record.disabled) return;
      if (e.button === 0) moved();
      else if (e.button === 2 && number === MAIN && client.contains(e.target)) push(EventKind.RightButton, 0, 0, number);
    }, true);
    if (number === TEXT_DIALOG) dialog_keys(record, number);
    return true;
  };

  // Enter presses the window's default button, Escape closes it as its close box does.
  function dialog_keys(record, number) {
    record.root.addEventListener("keydown", (e) => {
      if (record.disabled || e.ctrlKey || e.altKey) return;
      if (e.key === "Escape") {
        e.preventDefault();
        push(EventKind.Close, 0, 0, number);
      } else if (e.key === "Enter") {
        const button = record.root.querySelector(".lc-button.default:not(:disabled)");
        if (!button) return;
        e.preventDefault();
        push(EventKind.Control, Number(button.id.slice(1)), EventType.Click, number);
      }
    });
  }

  // A disabled window takes no input (the main window under a dialog): a
  // cover over all of it catches the pointer, and its keys are not heard.
  ui.enable_window = function (number, on) {
    const record = windows.get(number);
    if (!record || record.disabled === !on) return;
    record.disabled = !on;
    if (record.disabled) {
      if (number === MAIN) close_menus();
      record.cover = element("div", "lw-cover", record.root);
      if (record.root.contains(document.activeElement)) document.activeElement.blur();
    } else if (record.cover) {
      record.cover.remove();
      record.cover = null;
    }
  };
  ui.is_window_enabled = (number) => { const w = windows.get(number); return w && !w.disabled ? 1 : 0; };

  // A window moves with its caption, as on the desktop.
  function drag_by(caption, root) {
    caption.addEventListener("pointerdown", (e) => {
      if (e.button !== 0 || e.target !== caption) return;
      const start = { x: e.pageX, y: e.pageY, left: root.offsetLeft, top: root.offsetTop };
      caption.setPointerCapture(e.pointerId);
      const move = (m) => {
        root.style.left = Math.max(0, Math.round(start.left + m.pageX - start.x)) + "px";
        root.style.top = Math.max(0, Math.round(start.top + m.pageY - start.y)) + "px";
      };
      const end = () => {
        caption.removeEventListener("pointermove", move);
        caption.removeEventListener("pointerup", end);
      };
      caption.addEventListener("pointermove", move);
      caption.addEventListener("pointerup", end);
    });
  }

  function centre(record) {
    const w = record.root.offsetWidth, h = record.root.offsetHeight;
    const main = windows.get(MAIN);
    let area = { x: window.scrollX, y: window.scrollY, w: window.innerWidth, h: window.innerHeight };
    if (record !== main && main && main.root.style.display !== "none") area = page_rect(main.root);
    record.root.style.left = Math.max(0, Math.round(area.x + (area.w - w) / 2)) + "px";
    record.root.style.top = Math.max(0, Math.round(area.y + (area.h - h) / 2)) + "px";
  }

  ui.show_window = function (number) {
    const record = windows.get(number);
    if (!record) return;
    record.root.style.opacity = "";
    record.root.style.display = "";
    if (record.centred && !record.placed) centre(record);
    record.placed = true;
  };
  ui.window_exists = (number) => (windows.has(number) ? 1 : 0);
  ui.window_title = (number) => { const w = windows.get(number); return w ? w.title : ""; };
  ui.taken_file = (index) => String((ui.taken_files || [])[index] || "");
  ui.window_shown = function (number) {
    const record = windows.get(number);
    return record && record.root.style.display !== "none" ? 1 : 0;
  };
  ui.close_window = function (number) {
    const record = windows.get(number);
    if (!record) return;
    // (No destructuring in loops: Emscripten's script minifier drops it.)
    if (dropped && dropped.window === number) close_combo(dropped);
    for (const id of Array.from(controls.keys())) if (controls.get(id).window === number) controls.delete(id);
    if (number === MAIN) {
      toolbar = null;
      menus.bar = null;
    }
    close_menus();
    windows.delete(number);
    // What the window had still to say goes with it; a close request stays.
    lumetra.queue = lumetra.queue.filter((e) => e.window !== number || e.kind === EventKind.Close);
    // A window fading out goes on fading, out of the program's reach: the
    // desktop's blend is over before the window is destroyed.
    const left = (record.fade_out_until || 0) - performance.now();
    if (left > 0) {
      record.root.id = "";
      record.root.style.pointerEvents = "none";
      setTimeout(() => record.root.remove(), left);
    } else {
      record.root.remove();
    }
  };
  ui.set_title = function (number, title) {
    const record = windows.get(number);
    if (!record) return;
    if (record.caption) record.caption.childNodes[1].nodeValue = title;
    record.title = title;
    if (number === MAIN) document.title = title;
  };
  ui.window_rect = function (number, client_area, out) {
    const record = windows.get(number);
    if (!record) return ui.write_rect({ x: 0, y: 0, w: 0, h: 0 }, out);
    const r = page_rect(client_area ? record.client : record.root);
    if (!client_area) {  // a hidden window keeps its place
      r.x = parseInt(record.root.style.left, 10) || 0;
      r.y = parseInt(record.root.style.top, 10) || 0;
    }
    ui.write_rect(r, out);
  };

  // Shows or hides with a blend; the program goes on meanwhile.
  ui.fade_window = function (number, ms, show) {
    const record = windows.get(number);
    if (!record) return;
    const root = record.root;
    root.classList.add("fading");
    root.style.transitionDuration = Math.max(0, ms) + "ms";
    if (show) {
      record.fade_out_until = 0;
      root.style.opacity = "0";
      ui.show_window(number);
      root.style.opacity = "0";
      void root.offsetWidth;  // the start of the transition
      root.style.opacity = "1";
    } else {
      root.style.opacity = "0";
      record.fade_out_until = performance.now() + Math.max(0, ms);
      setTimeout(() => { if (root.style.opacity === "0") root.style.display = "none"; }, Math.max(0, ms));
    }
  };

  ui.set_pointer_shape = function (hand) {
    pointer_shape = hand ? "pointer" : "default";
    for (const record of windows.values()) record.client.style.cursor = pointer_shape;
  };

  // ---------------------------------------------------------------- controls

  function parent_element(spec) {
    if (spec.parent === 0) {
      const w = windows.get(spec.window);
      return w ? w.client : null;
    }
    if (spec.parent === -1) return toolbar ? toolbar.root : null;
    const p = controls.get(spec.parent);
    return p ? p.body || p.element : null;
  }

  const builders = {};

  builders[Kind.Container] = (c, spec) => {
    c.element = element("div", "lc");
    if (spec.background >= 0) c.element.style.background = css_colour(spec.background);
  };

  builders[Kind.Text] = (c, spec) => {
    const e = (c.element = element("div", "lc lc-text"));
    if (spec.text.indexOf("\n") < 0 && spec.h < 28) e.classList.add("nowrap");
    if (spec.style & Style.Centred) e.style.textAlign = "center";
    e.textContent = spec.text;
  };

  builders[Kind.Edit] = (c, spec) => {
    const e = (c.element = element("input", "lc lc-edit"));
    e.type = "text";
    e.value = spec.text;
    e.spellcheck = false;
    if (!(spec.style & Style.Border)) e.classList.add("lc-sunken");
    if (spec.style & Style.ReadOnly) e.readOnly = true;
    if (spec.style & Style.Centred) e.style.textAlign = "center";
    if (spec.text_limit > 0) e.maxLength = spec.text_limit;
    if (spec.style & Style.DigitsOnly) {
      e.inputMode = "numeric";
      e.addEventListener("input", () => {
        const digits = e.value.replace(/[^0-9]/g, "");
        if (digits !== e.value) e.value = digits;
      });
    }
    e.addEventListener("focus", () => push(EventKind.Control, c.id, EventType.GainFocus, c.window));
    if (spec.style & Style.ReportChanges)
      e.addEventListener("input", () => push(EventKind.Control, c.id, EventType.Changed, c.window));
  };

  builders[Kind.RichText] = (c, spec) => {
    const e = (c.element = element("div", "lc lc-rich"));
    e.tabIndex = 0;
    if (!(spec.style & Style.Border)) e.classList.add("lc-sunken");
    if (!(spec.style & Style.ReadOnly)) e.contentEditable = "plaintext-only";
    ui_set_rich(c, spec.text === "" ? [] : [spec.text], []);
  };

  builders[Kind.Button] = (c, spec) => {
    const e = (c.element = element("button", "lc lc-button"));
    e.type = "button";
    e.textContent = spec.text;
    if (spec.style & Style.DefaultButton) e.classList.add("default");
    e.addEventListener("click", () => push(EventKind.Control, c.id, EventType.Click, c.window));
  };

  function check_like(c, spec, type) {
    const e = (c.element = element("label", "lc lc-check"));
    const box = (c.box = element("input", "", e));
    box.type = type;
    element("span", "", e).textContent = spec.text;
    if (spec.style & Style.Checked) box.checked = true;
    box.addEventListener("click", () => {
      if (type === "radio") ui.set_checked(c.id, 1);
      push(EventKind.Control, c.id, EventType.Click, c.window);
    });
  }
  builders[Kind.Check] = (c, spec) => check_like(c, spec, "checkbox");
  builders[Kind.Radio] = (c, spec) => {
    check_like(c, spec, "radio");
    // A group runs from a button with the group style to the next one.
    const last = last_radio;
    c.group = (spec.style & Style.Group) || !last || last.parent !== spec.parent ? c.id : last.group;
    last_radio = c;
    if (spec.style & Style.Checked) ui.set_checked(c.id, 1);
  };

  builders[Kind.Frame] = (c, spec) => {
    const e = (c.element = element("div", "lc"));
    element("div", "lc-frame-line", e).style.top = "6px";
    c.title = element("span", "lc-frame-title", e);
    c.title.textContent = spec.text;
  };

  builders[Kind.Combo] = (c, spec) => {
    const e = (c.element = element("div", "lc lc-combo"));
    e.tabIndex = 0;
    c.field = element("div", "lc-combo-field", e);
    element("div", "lc-combo-arrow", e).textContent = "▼";
    c.items = [];
    c.selected = -1;
    c.list_height = spec.list_height;
    c.typed = "";
    c.typed_at = 0;
    e.addEventListener("keydown", (ev) => {
      if (c.disabled || !c.items.length || ev.ctrlKey || ev.altKey || ev.metaKey) return;
      const by = { ArrowDown: 1, ArrowUp: -1 }[ev.key];
      let index = -1;
      if (by) index = Math.min(c.items.length - 1, Math.max(0, c.selected + by));
      else if (ev.key === "Home") index = 0;
      else if (ev.key === "End") index = c.items.length - 1;
      else if (ev.key.length === 1) index = typed_item(c, ev.key);
      if (index < 0) return;
      ev.preventDefault();
      if (c.list) close_combo(c);
      if (index === c.selected) return;
      ui_set_selection(c, index);
      push(EventKind.Control, c.id, EventType.SelectionChanged, c.window);
    });
    e.addEventListener("pointerdown", (ev) => {
      if (ev.button !== 0 || c.disabled) return;
      if (c.list) close_combo(c);
      else open_combo(c);
    });
  };
  // Typing chooses by the items' beginnings, as a desktop list does: the
  // letters typed within a second make one beginning, and one letter typed
  // again goes on to the next item that starts with it.
  function typed_item(c, key) {
    const now = performance.now();
    c.typed = now - c.typed_at < 1000 ? c.typed + key.toLowerCase() : key.toLowerCase();
    c.typed_at = now;
    const again = [...c.typed].every((ch) => ch === c.typed[0]);
    const beginning = again ? c.typed[0] : c.typed;
    const from = again ? c.selected + 1 : Math.max(c.selected, 0);
    for (let k = 0; k < c.items.length; ++k) {
      const i = (from + k) % c.items.length;
      if (c.items[i].toLowerCase().startsWith(beginning)) return i;
    }
    return -1;
  }
  // The dropped-down list lies over everything, as a pop-up of its own:
  // the panels would cut it off at their edges.
  function open_combo(c) {
    const list = (c.list = element("div", "lc-combo-list", document.body));
    list.id = "list-" + c.id;
    const r = page_rect(c.element);
    list.style.left = r.x + "px";
    list.style.top = r.y + r.h + "px";
    list.style.width = r.w + "px";
    list.style.font = c.element.style.font;
    list.style.maxHeight = Math.max(c.list_height - 2, 17) + "px";
    c.items.forEach((text, index) => {
      const item = element("div", "lc-combo-item", list);
      item.textContent = text;
      item.dataset.index = String(index);
      if (index === c.selected) item.classList.add("selected");
      item.addEventListener("pointerenter", () => {
        for (const other of list.children) other.classList.toggle("selected", other === item);
      });
      item.addEventListener("click", () => {
        close_combo(c);
        if (index !== c.selected) {
          ui_set_selection(c, index);
          push(EventKind.Control, c.id, EventType.SelectionChanged, c.window);
        }
      });
    });
    const chosen = list.children[c.selected];
    if (chosen) chosen.scrollIntoView({ block: "nearest" });
    dropped = c;
  }
  function close_combo(c) {
    if (c.list) c.list.remove();
    c.list = null;
    if (dropped === c) dropped = null;
  }
  document.addEventListener("pointerdown", (e) => {
    const c = dropped;
    if (c && !c.element.contains(e.target) && !(c.list && c.list.contains(e.target))) {
      close_combo(c);
      swallow(e);
    }
  }, true);

  builders[Kind.Tabs] = (c, spec) => {
    const e = (c.element = element("div", "lc lc-tabs"));
    element("div", "lc-tab-body", e);
    c.row = element("div", "lc-tab-row", e);
    c.items = [];
    c.selected = -1;
  };

  builders[Kind.Spin] = (c, spec) => {
    const e = (c.element = element("div", "lc"));
    const field = (c.field = element("input", "lc-spin-field", e));
    field.type = "text";
    field.style.width = Math.max(spec.w - SPIN_ARROWS_WIDTH, 8) + "px";
    if (spec.style & Style.ReadOnly) field.readOnly = true;
    // The user's typing and the arrows report changes (the program's set_value does not).
    const changed = () => { if (spec.style & Style.ReportChanges) push(EventKind.Control, c.id, EventType.Changed, c.window); };
    field.addEventListener("input", () => {
      const digits = field.value.replace(/[^0-9]/g, "");
      if (digits !== field.value) field.value = digits;
      changed();
    });
    c.min = spec.min;
    c.max = spec.max;
    c.good = spec.value;
    field.value = String(spec.value);
    const half = Math.floor(spec.h / 2);
    const up = element("div", "lc-spin-up", e);
    const down = element("div", "lc-spin-down", e);
    up.textContent = "▲";
    down.textContent = "▼";
    up.style.top = "0";
    up.style.height = half + "px";
    down.style.top = half + "px";
    down.style.height = spec.h - half + "px";
    const step = (by) => {
      if (c.disabled) return;
      const v = Math.min(c.max, Math.max(c.min, ui.spin_value(c.id) + by));
      c.good = v;
      if (field.value === String(v)) return;
      field.value = String(v);
      changed();
    };
    up.addEventListener("pointerdown", (ev) => { if (ev.button === 0) step(1); });
    down.addEventListener("pointerdown", (ev) => { if (ev.button === 0) step(-1); });
    // The arrow keys step the number too.
    field.addEventListener("keydown", (ev) => {
      if (ev.key !== "ArrowUp" && ev.key !== "ArrowDown") return;
      ev.preventDefault();
      step(ev.key === "ArrowUp" ? 1 : -1);
    });
  };

  builders[Kind.Progress] = (c, spec) => {
    const e = (c.element = element("div", "lc lc-progress"));
    c.bar = element("div", "lc-progress-bar", e);
    if (!(spec.style & Style.Smooth)) c.bar.classList.add("blocks");
    c.min = spec.min;
    c.max = spec.max;
    c.value = spec.value;
    show_progress(c);
  };
  function show_progress(c) {
    const span = c.max - c.min;
    const share = span > 0 ? Math.min(1, Math.max(0, (c.value - c.min) / span)) : 0;
    c.bar.style.width = share * 100 + "%";
  }

  builders[Kind.Image] = (c, spec) => {
    const e = (c.element = element("canvas", "lc lc-image"));
    e.width = spec.w;
    e.height = spec.h;
    if (spec.image >= 0) draw_stored(c, spec.image);
    image_clicks(c);
  };
  function draw_stored(c, number) {
    const picture = images.get(number);
    if (!picture) return;
    const g = c.element.getContext("2d");
    g.clearRect(0, 0, c.element.width, c.element.height);
    g.putImageData(picture, 0, 0);
  }
  // Images and links report a press of the left button, a double-click on
  // its second press, and the right button on release (not after a right
  // double-click), as Windows reports them to a picture.
  function image_clicks(c) {
    c.element.addEventListener("pointerdown", (e) => {
      if (c.disabled) return;
      const second = e.lumetra_presses === 2;
      if (e.button === 0) {
        const type = second && c.kind === Kind.Image ? EventType.DoubleClick : EventType.Click;
        if (second && c.kind !== Kind.Image) return;
        push(EventKind.Control, c.id, type, c.window);
      } else if (e.button === 2 && second) {
        c.right_double = true;
        push(EventKind.Control, c.id, EventType.RightDoubleClick, c.window);
      }
    });
    c.element.addEventListener("pointerup", (e) => {
      if (c.disabled || e.button !== 2 || c.kind !== Kind.Image) return;
      if (c.right_double) c.right_double = false;
      else push(EventKind.Control, c.id, EventType.RightClick, c.window);
    });
  }

  builders[Kind.Link] = (c, spec) => {
    const e = (c.element = element("div", "lc lc-link"));
    e.textContent = spec.text;
    c.colour = css_colour(spec.text_colour);
    c.hover = css_colour(spec.hover_colour);
    if (c.hover) {
      e.addEventListener("pointerenter", () => { e.style.color = c.hover; });
      e.addEventListener("pointerleave", () => { e.style.color = c.colour; });
    }
    image_clicks(c);
  };

  ui.create_control = function (spec) {
    const parent = parent_element(spec);
    const build = builders[spec.kind];
    if (!parent || !build || controls.has(spec.id)) return 0;
    const c = { id: spec.id, kind: spec.kind, window: spec.window, parent: spec.parent, disabled: false };
    build(c, spec);
    const e = c.element;
    e.id = "c" + spec.id;
    e.classList.add("lc");
    place(e, spec.x, spec.y, spec.w, spec.h);
    if (spec.style & Style.Border) e.classList.add("lc-border");
    if (spec.kind === Kind.Frame) e.classList.remove("lc-border");
    apply_font(e, spec.font === 0 && spec.kind === Kind.Tabs ? 1 : spec.font);
    if (spec.text_colour >= 0) e.style.color = css_colour(spec.text_colour);
    if (spec.background >= 0 && spec.kind !== Kind.Container) e.style.background = css_colour(spec.background);
    if (spec.tooltip) e.title = spec.tooltip_title ? spec.tooltip_title + "\n" + spec.tooltip : spec.tooltip;
    parent.appendChild(e);
    controls.set(spec.id, c);
    if (spec.kind === Kind.Frame) c.title.style.background = background_behind(parent);
    if (spec.kind === Kind.Tabs || spec.kind === Kind.Combo) ui_set_items(c, spec.items);
    if (spec.style & Style.Hidden) e.style.display = "none";
    if (spec.style & Style.Disabled) ui.enable(spec.id, 0);
    return 1;
  };
  ui.exists = (id) => (controls.has(id) ? 1 : 0);

  // ---------------------------------------------------------------- control state

  ui.set_text = function (id, text) {
    const c = controls.get(id);
    if (!c) return;
    switch (c.kind) {
      case Kind.Edit: c.element.value = text; break;
      case Kind.Spin: c.field.value = text; break;
      case Kind.Check: case Kind.Radio: c.element.lastChild.textContent = text; break;
      case Kind.Frame: c.title.textContent = text; break;
      case Kind.Combo: case Kind.Tabs: case Kind.Image: case Kind.Progress: break;
      default: c.element.textContent = text;
    }
  };
  ui.text = function (id) {
    const c = controls.get(id);
    if (!c) return "";
    switch (c.kind) {
      case Kind.Edit: return c.element.value;
      case Kind.Spin: return c.field.value;
      case Kind.Check: case Kind.Radio: return c.element.lastChild.textContent;
      case Kind.Frame: return c.title.textContent;
      case Kind.Combo: return c.selected >= 0 ? c.items[c.selected] : "";
      case Kind.Tabs: case Kind.Image: case Kind.Progress: return "";
      default: return c.element.textContent;
    }
  };

  ui.enable = function (id, on) {
    const c = controls.get(id);
    if (!c) return;
    c.disabled = !on;
    const e = c.element;
    e.classList.toggle("disabled", c.disabled);
    if (c.box) c.box.disabled = c.disabled;
    if (c.field) c.field.disabled = c.disabled;
    if (e.tagName === "BUTTON" || e.tagName === "INPUT") e.disabled = c.disabled;
    if (c.disabled && c.list) close_combo(c);
  };
  ui.is_enabled = (id) => { const c = controls.get(id); return c && !c.disabled ? 1 : 0; };
  ui.show = function (id, on) {
    const c = controls.get(id);
    if (c) c.element.style.display = on ? "" : "none";
  };
  ui.is_visible = (id) => { const c = controls.get(id); return c && c.element.style.display !== "none" ? 1 : 0; };

  ui.set_checked = function (id, on) {
    const c = controls.get(id);
    if (!c || !c.box) return;
    if (c.kind === Kind.Radio && on) {
      for (const other of controls.values())
        if (other !== c && other.kind === Kind.Radio && other.parent === c.parent && other.group === c.group)
          other.box.checked = false;
    }
    c.box.checked = !!on;
  };
  ui.is_checked = (id) => { const c = controls.get(id); return c && c.box && c.box.checked ? 1 : 0; };

  function ui_set_items(c, items) {
    c.items = items.slice();
    c.selected = -1;
    if (c.kind === Kind.Combo) {
      if (c.list) close_combo(c);
      c.field.textContent = "";
      return;
    }
    c.row.textContent = "";
    items.forEach((text, index) => {
      const tab = element("div", "lc-tab", c.row);
      tab.textContent = text;
      tab.dataset.index = String(index);
      tab.addEventListener("pointerdown", (e) => {
        if (e.button !== 0 || c.disabled || index === c.selected) return;
        ui_set_selection(c, index);
        push(EventKind.Control, c.id, EventType.SelectionChanged, c.window);
      });
    });
    ui_set_selection(c, items.length ? 0 : -1);
  }
  ui.set_items = function (id, joined) {
    const c = controls.get(id);
    if (c && (c.kind === Kind.Combo || c.kind === Kind.Tabs)) ui_set_items(c, joined === "" ? [] : joined.split("\x1f"));
  };
  function ui_set_selection(c, index) {
    c.selected = index >= 0 && index < c.items.length ? index : -1;
    if (c.kind === Kind.Combo) {
      c.field.textContent = c.selected >= 0 ? c.items[c.selected] : "";
      return;
    }
    Array.from(c.row.children).forEach((tab, i) => tab.classList.toggle("selected", i === c.selected));
  }
  ui.set_selection = function (id, index) {
    const c = controls.get(id);
    if (c && (c.kind === Kind.Combo || c.kind === Kind.Tabs)) ui_set_selection(c, index);
  };
  ui.selection = (id) => { const c = controls.get(id); return c && c.items ? c.selected : -1; };

  ui.set_value = function (id, v) {
    const c = controls.get(id);
    if (!c) return;
    if (c.kind === Kind.Spin) {
      c.good = Math.min(c.max, Math.max(c.min, v));
      c.field.value = String(c.good);
    } else if (c.kind === Kind.Progress) {
      c.value = v;
      show_progress(c);
    }
  };
  // A spin reads its field again; text that is no number of the range
  // leaves the last good value.
  ui.spin_value = function (id) {
    const c = controls.get(id);
    if (!c) return 0;
    if (c.kind === Kind.Progress) return c.value;
    if (c.kind !== Kind.Spin) return 0;
    const text = c.field.value.trim();
    if (/^[0-9]+$/.test(text)) {
      const v = Number(text);
      if (v >= c.min && v <= c.max) c.good = v;
    }
    return c.good;
  };

  ui.set_focus = function (id) {
    const c = controls.get(id);
    if (c) (c.field || c.box || c.element).focus();
  };
  ui.focused = function () {
    const active = document.activeElement;
    if (!active) return 0;
    const e = active.closest(".lc[id^='c']");
    return e ? Number(e.id.slice(1)) : 0;
  };

  ui.select_all = function (id) {
    const c = controls.get(id);
    if (!c) return;
    if (c.kind === Kind.Edit) {
      c.element.select();
    } else if (c.kind === Kind.RichText) {
      const range = document.createRange();
      range.selectNodeContents(c.element);
      const selection = getSelection();
      selection.removeAllRanges();
      selection.addRange(range);
    }
  };

  ui.set_pixels = function (id, w, h, ptr) {
    const c = controls.get(id);
    if (!c || c.kind !== Kind.Image) return;
    const pixels = new Uint8ClampedArray(HEAPU8.subarray(ptr, ptr + w * h * 4));
    c.element.getContext("2d").putImageData(new ImageData(pixels, w, h), 0, 0);
  };
  ui.set_image = function (id, number) {
    const c = controls.get(id);
    if (c && c.kind === Kind.Image) draw_stored(c, number);
  };

  ui.control_rect = function (id, out) {
    const c = controls.get(id);
    ui.write_rect(c ? page_rect(c.element) : { x: 0, y: 0, w: 0, h: 0 }, out);
  };
  // A page point in the main window's client coordinates; 0 when outside.
  ui.main_client_point = function (x, y, out) {
    const record = windows.get(MAIN);
    if (!record) return 0;
    const r = page_rect(record.client);
    HEAP32[out >> 2] = x - r.x;
    HEAP32[(out >> 2) + 1] = y - r.y;
    return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h ? 1 : 0;
  };

  // ---------------------------------------------------------------- rich text

  // lines: strings; runs: [line, start, length, colour or -1, bold] each,
  // counted in characters (code points).
  function ui_set_rich(c, lines, runs) {
    const e = c.element;
    e.textContent = "";
    const by_line = new Map();
    for (const run of runs) {
      if (!by_line.has(run[0])) by_line.set(run[0], []);
      by_line.get(run[0]).push(run);
    }
    const fragment = document.createDocumentFragment();
    lines.forEach((line, index) => {
      if (index > 0) fragment.appendChild(document.createTextNode("\n"));
      const line_runs = by_line.get(index);
      if (!line_runs) {
        if (line) fragment.appendChild(document.createTextNode(line));
        return;
      }
      // Each character takes the format of the last run over it.
      const chars = Array.from(line);
      const colour = new Array(chars.length).fill(-1);
      const bold = new Array(chars.length).fill(false);
      for (const run of line_runs) {
        const start = run[1], length = run[2], rgb = run[3], heavy = run[4];
        for (let i = Math.max(0, start); i < Math.min(chars.length, start + length); ++i) {
          if (rgb >= 0) colour[i] = rgb;
          if (heavy) bold[i] = true;
        }
      }
      let i = 0;
      while (i < chars.length) {
        let j = i + 1;
        while (j < chars.length && colour[j] === colour[i] && bold[j] === bold[i]) ++j;
        const piece = chars.slice(i, j).join("");
        if (colour[i] < 0 && !bold[i]) {
          fragment.appendChild(document.createTextNode(piece));
        } else {
          const span = document.createElement("span");
          if (colour[i] >= 0) span.style.color = css_colour(colour[i]);
          if (bold[i]) span.style.fontWeight = "bold";
          span.textContent = piece;
          fragment.appendChild(span);
        }
        i = j;
      }
    });
    e.appendChild(fragment);
    e.scrollTop = 0;
    e.scrollLeft = 0;
  }
  ui.set_rich = function (id, joined, runs_ptr, run_count) {
    const c = controls.get(id);
    if (!c || c.kind !== Kind.RichText) return;
    const lines = joined === null ? [] : joined.split("\n");
    const runs = [];
    for (let i = 0; i < run_count; ++i) {
      const at = (runs_ptr >> 2) + i * 5;
      runs.push([HEAP32[at], HEAP32[at + 1], HEAP32[at + 2], HEAP32[at + 3], HEAP32[at + 4]]);
    }
    ui_set_rich(c, lines, runs);
  };
  ui.append_rich = function (id, line, first) {
    const c = controls.get(id);
    if (!c || c.kind !== Kind.RichText) return;
    c.element.appendChild(document.createTextNode(first ? line : "\n" + line));
  };
  // The selected characters of a rich text, line breaks as CR LF.
  ui.rich_selection = function (id) {
    const c = controls.get(id);
    if (!c) return "";
    const selection = getSelection();
    if (!selection.rangeCount) return "";
    const range = selection.getRangeAt(0);
    if (!c.element.contains(range.commonAncestorContainer) && range.commonAncestorContainer !== c.element) return "";
    return range.toString().replace(/\r\n|\r|\n/g, "\r\n");
  };
  ui.copy_text = function (text) {
    const by_command = () => {
      const area = element("textarea", "", document.body);
      area.value = text;
      area.style.position = "fixed";
      area.style.left = "-1000px";
      area.select();
      try { document.execCommand("copy"); } catch (e) { /* nothing to copy with */ }
      area.remove();
    };
    lumetra.clipboard = text;  // what was last copied, for a page that cannot read the clipboard
    if (navigator.clipboard && navigator.clipboard.writeText) navigator.clipboard.writeText(text).catch(by_command);
    else by_command();
  };

  // ---------------------------------------------------------------- menus

  // Shortcuts the browser keeps for itself, and the keys the page takes
  // instead: Chromium opens a new window on Ctrl+N before any page hears it.
  const REPLACED_KEYS = [{ ctrl: true, shift: false, alt: false, key: "N", by: { ctrl: false, shift: false, alt: true, key: "N" }, shown: ["Ctrl+N", "Alt+N"] }];
  function shown_text(text) {
    let out = text;
    for (const r of REPLACED_KEYS) out = out.replace(new RegExp("\\t" + r.shown[0].replace("+", "\\+") + "$"), "\t" + r.shown[1]);
    return out;
  }

  function close_menus() {
    for (const m of menus.open) m.remove();
    menus.open = [];
    if (menus.bar) for (const t of menus.bar.children) t.classList.remove("open");
  }

  // items: [{command, text, icon, items}] — a menu as a div of items.
  function menu_element(items, x, y, depth) {
    const menu = element("div", "lm", document.body);
    menu.style.left = x + "px";
    menu.style.top = y + "px";
    for (const item of items) {
      if (item.command === 0 && item.text === "" && item.items.length === 0) {
        element("div", "lm-separator", menu);
        continue;
      }
      const row = element("div", "lm-item", menu);
      if (item.command) row.dataset.command = String(item.command);
      const icon = element("div", "lm-icon", row);
      const state = menus.items.get(item.command);
      if (state && state.checked) icon.textContent = "✓";
      else if (item.icon >= 0) image_canvas(item.icon, icon);
      const text = state ? state.text : item.text;
      const tab = text.indexOf("\t");
      element("div", "lm-label", row).textContent = tab < 0 ? text : text.slice(0, tab);
      const shortcut = tab < 0 ? "" : shown_text(text).slice(tab).replace(/^\t+/, "");
      if (shortcut) element("div", "lm-shortcut", row).textContent = shortcut;
      if (item.items.length) element("div", "lm-arrow", row).textContent = "▶";
      // The keys move through a menu as the pointer does (see menu_key).
      row.lm_enter = () => {
        for (const other of menu.children) other.classList.toggle("active", other === row);
        while (menus.open.length > depth + 1) menus.open.pop().remove();
        if (item.items.length) {
          const r = row.getBoundingClientRect();
          menu_element(item.items, Math.round(r.right + window.scrollX - 2), Math.round(r.top + window.scrollY - 3), depth + 1);
        }
      };
      row.lm_submenu = item.items.length > 0;
      row.addEventListener("pointerenter", row.lm_enter);
      if (!item.items.length && item.command) {
        row.lm_choose = () => {
          close_menus();
          push(EventKind.Command, item.command, 0, MAIN);
        };
        row.addEventListener("click", row.lm_choose);
      }
    }
    menus.open.push(menu);
    // Kept on the page.
    const r = menu.getBoundingClientRect();
    if (r.right > window.innerWidth) menu.style.left = Math.max(0, x - r.width) + "px";
    if (r.bottom > window.innerHeight) menu.style.top = Math.max(0, y - r.height) + "px";
    return menu;
  }

  function note_items(items) {
    for (const item of items) {
      if (item.command && !menus.items.has(item.command)) menus.items.set(item.command, { text: item.text, checked: false });
      note_items(item.items);
    }
  }

  ui.create_main_menu = function (json) {
    const main = windows.get(MAIN);
    if (!main || !main.bar) return;
    const table = JSON.parse(json);
    note_items(table);
    main.bar.textContent = "";
    menus.bar = main.bar;
    for (const top of table) {
      const title = element("div", "lw-menutitle", main.bar);
      title.textContent = top.text;
      const open = () => {
        close_menus();
        title.classList.add("open");
        const r = title.getBoundingClientRect();
        menu_element(top.items, Math.round(r.left + window.scrollX), Math.round(r.bottom + window.scrollY), 0);
      };
      title.addEventListener("pointerdown", (e) => {
        if (e.button !== 0) return;
        if (title.classList.contains("open")) close_menus();
        else open();
      });
      title.addEventListener("pointerenter", () => { if (menus.open.length && !title.classList.contains("open")) open(); });
      title.lm_open = open;
    }
  };

  // The keyboard in menus, as on the desktop: F10 opens the menu bar's first
  // menu; Up and Down move, Right and Left open and close a submenu or go to
  // the next or previous menu of the bar, Enter chooses, Escape closes.
  function mark(menu, by) {
    const rows = [...menu.querySelectorAll(":scope > .lm-item")];
    if (!rows.length) return;
    const at = rows.findIndex((r) => r.classList.contains("active"));
    const next = at < 0 ? (by > 0 ? 0 : rows.length - 1) : (at + by + rows.length) % rows.length;
    for (const other of menu.children) other.classList.toggle("active", other === rows[next]);
  }
  function open_title(title) {
    title.lm_open();
    mark(menus.open[0], 1);
  }
  function next_title(by) {
    const titles = menus.bar ? [...menus.bar.children] : [];
    const at = titles.findIndex((t) => t.classList.contains("open"));
    if (at >= 0) open_title(titles[(at + by + titles.length) % titles.length]);
  }
  function menu_key(e) {
    if (e.ctrlKey || e.altKey || e.metaKey) return false;
    if (!menus.open.length) {
      const main = windows.get(MAIN);
      if (e.key !== "F10" || !menus.bar || !menus.bar.firstElementChild || !main || main.disabled) return false;
      open_title(menus.bar.firstElementChild);
      return true;
    }
    const menu = menus.open[menus.open.length - 1];
    const row = menu.querySelector(":scope > .lm-item.active");
    const into_submenu = () => {
      row.lm_enter();
      mark(menus.open[menus.open.length - 1], 1);
    };
    switch (e.key) {
      case "ArrowDown": mark(menu, 1); break;
      case "ArrowUp": mark(menu, -1); break;
      case "ArrowRight": if (row && row.lm_submenu) into_submenu(); else next_title(1); break;
      case "ArrowLeft": if (menus.open.length > 1) menus.open.pop().remove(); else next_title(-1); break;
      case "Enter":
      case " ": if (row && row.lm_submenu) into_submenu(); else if (row && row.lm_choose) row.lm_choose(); break;
      case "Escape": if (menus.open.length > 1) menus.open.pop().remove(); else close_menus(); break;
      case "F10": close_menus(); break;
      default: return false;
    }
    return true;
  }
  document.addEventListener("keydown", (e) => {
    if (!menu_key(e)) return;
    e.preventDefault();
    e.stopPropagation();
  }, true);
  ui.create_popup_menu = function (popup, json) {
    const items = JSON.parse(json);
    note_items(items);
    menus.popups.set(popup, items);
  };
  ui.show_popup_menu = function (popup, x, y) {
    const items = menus.popups.get(popup);
    if (!items) return;
    close_menus();
    menu_element(items, x, y, 0).id = "popup-" + popup;
  };
  ui.check_menu_item = function (command, on) {
    const state = menus.items.get(command);
    if (state) state.checked = !!on;
  };
  ui.is_menu_item_checked = (command) => { const s = menus.items.get(command); return s && s.checked ? 1 : 0; };
  ui.set_menu_item_text = function (command, text) {
    const state = menus.items.get(command);
    if (state) state.text = text;
  };
  ui.menu_item_text = (command) => { const s = menus.items.get(command); return s ? s.text : ""; };

  // ---------------------------------------------------------------- toolbar

  // items: [{kind, command, icon, tooltip, left}] with kind 0 separator,
  // 1 button, 2 help button, 3 spacer.
  ui.create_toolbar = function (json) {
    const main = windows.get(MAIN);
    if (!main || toolbar) return;
    const root = element("div", "lc-toolbar", main.client);
    root.id = "toolbar";
    toolbar = { root, buttons: new Map() };
    for (const item of JSON.parse(json)) {
      if (item.kind === 0) {
        const sep = element("div", "lc-tool-separator", root);
        sep.style.left = item.left + 3 + "px";
        continue;
      }
      if (item.kind === 3) continue;  // the status text sits there
      const button = element("div", "lc-tool", root);
      button.style.left = item.left + "px";
      button.dataset.command = String(item.command);
      if (item.kind === 2) help_canvas(button);
      else image_canvas(item.icon, button);
      if (item.tooltip) button.title = item.tooltip;
      toolbar.buttons.set(item.command, button);
      button.addEventListener("click", () => push(EventKind.Command, item.command, 0, MAIN));
    }
  };
  ui.set_toolbar_tooltip = function (command, text) {
    const button = toolbar && toolbar.buttons.get(command);
    if (button) button.title = text;
  };

  // ---------------------------------------------------------------- shortcuts

  ui.create_shortcuts = function (json) {
    shortcuts = JSON.parse(json);
    for (const r of REPLACED_KEYS) {
      const kept = shortcuts.find((s) => s.ctrl === r.ctrl && s.shift === r.shift && s.alt === r.alt && s.key === r.key);
      if (kept) shortcuts.push(Object.assign({ command: kept.command }, r.by));
    }
  };
  function key_of(e) {
    if (/^Key[A-Z]$/.test(e.code)) return e.code.slice(3);
    if (/^Digit[0-9]$/.test(e.code)) return e.code.slice(5);
    return "";
  }
  document.addEventListener("keydown", (e) => {
    const key = key_of(e);
    if (!key || !windows.has(MAIN) || windows.get(MAIN).disabled) return;
    // The main window's keys only: not in another window or a dialog.
    const target = e.target instanceof Element ? e.target : null;
    const in_window = target && target.closest(".lw");
    if ((in_window && in_window !== windows.get(MAIN).root) || (target && target.closest("dialog, [role='dialog']"))) return;
    const found = shortcuts.find((s) => s.key === key && s.ctrl === e.ctrlKey && s.shift === e.shiftKey && s.alt === e.altKey);
    if (!found) return;
    e.preventDefault();
    close_menus();
    push(EventKind.Command, found.command, 0, MAIN);
  }, true);

  // ---------------------------------------------------------------- style

  const sheet = new CSSStyleSheet();
  sheet.replaceSync(STYLE_SHEET);
  document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];
})();
