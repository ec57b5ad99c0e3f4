// The page side of the browser backend's dialogs, files, downloads and
// storage (web_backend.h says how the files of the backend meet).
//
// The page's Content-Security-Policy allows no inline styles, so the look is
// one constructed style sheet; every element tests look for has an id.

var LumetraSystemLibrary = {
  $LumetraSystem__deps: ['$FS', '$IDBFS'],
  $LumetraSystem__postset: 'LumetraSystem.install();',
  $LumetraSystem: {
    UPLOADS: '/uploads',
    PERSIST: '/persist',
    // Numbers of platform::Answer and EventKind.
    ANSWER: {ok: 0, cancel: 1, yes: 2, no: 3},
    FILES_DROPPED: 3,
    CLOSE: 5,
    SETTINGS_KEY: 'lumetra:',  // + the path of a file under PERSIST
    // The captions of the desktop's Russian message boxes.
    CAPTION: {ok: 'ОК', cancel: 'Отмена', yes: 'Да', no: 'Нет', save: 'Сохранить', choose: 'Выбрать файл...',
              upload: 'Загрузить...', remove: 'Удалить'},
    // The buttons of each platform::Buttons, the default first.
    BUTTONS: [['ok'], ['ok', 'cancel'], ['yes', 'no'], ['yes', 'no', 'cancel']],

    answer: '',           // a string answer, fetched by the C++ side
    modal: null,          // the open dialog (see dialog)
    accept_drops: false,
    known: {},            // path -> "size:mtime" as of the last look
    dirty: false,         // files arrived that the storage has not seen
    touched: true,        // a file was used since the last look
    syncing: false,
    sync_again: false,
    downloads: [],        // names offered as downloads, in order
    storage_load_ms: 0,   // how long loading the stored folders took
    ended_shown: false,   // the program has ended
    audio: null,

    install: function() {
      // The stored folders are loaded before main runs, so the settings
      // file is there when the program starts. The settings are small and
      // kept at once (local storage), so that leaving the page keeps them;
      // the copies of files can be large and go to IndexedDB.
      addOnPreRun(function() {
        FS.mkdir(LumetraSystem.PERSIST);
        LumetraSystem.load_settings();
        FS.mkdir(LumetraSystem.UPLOADS);
        FS.mount(IDBFS, {}, LumetraSystem.UPLOADS);
        LumetraSystem.track_files();
        addRunDependency('lumetra-storage');
        var started = performance.now();
        try {
          FS.syncfs(true, function(error) {
            if (error) console.warn('lumetra: stored files not loaded', error);
            LumetraSystem.known = LumetraSystem.look();
            LumetraSystem.storage_load_ms = performance.now() - started;
            removeRunDependency('lumetra-storage');
          });
        } catch (e) {
          // No IndexedDB (a private window may refuse it): files last one visit.
          console.warn('lumetra: no stored files', e);
          removeRunDependency('lumetra-storage');
        }
      });
      if (typeof window == 'undefined') return;
      LumetraSystem.add_styles();
      window.addEventListener('dragover', LumetraSystem.drag_over);
      window.addEventListener('drop', LumetraSystem.drop);
      // Keys and focus for the page behind stop here while a dialog is open.
      window.addEventListener('keydown', LumetraSystem.guard_key, true);
      window.addEventListener('keyup', LumetraSystem.guard_key, true);
      window.addEventListener('keypress', LumetraSystem.guard_key, true);
      window.addEventListener('focusin', LumetraSystem.guard_focus, true);
      // Leaving the page closes the program as its window's close box does,
      // so that it writes its settings (a question it asks stays unanswered).
      window.addEventListener('pagehide', function() {
        var page = globalThis.lumetra;
        if (!LumetraSystem.ended_shown && !LumetraSystem.modal && page.push_event)
          page.push_event({kind: LumetraSystem.CLOSE, number: 0, type: 0, window: 0, files: []});
      });
      // A page kept by the browser for its back button holds an ended program.
      window.addEventListener('pageshow', function(event) { if (event.persisted) location.reload(); });
      var page = globalThis.lumetra = globalThis.lumetra || {};
      page.system = LumetraSystem;
      // The file chooser's input exists from the start, so tests can give it files.
      document.addEventListener('DOMContentLoaded', LumetraSystem.file_input);
      if (document.readyState != 'loading') LumetraSystem.file_input();
    },

    add_styles: function() {
      var sheet = new CSSStyleSheet();
      sheet.replaceSync([
        '.ld-overlay { position: fixed; left: 0; top: 0; right: 0; bottom: 0; z-index: 1000;' +
        '  background: rgba(0, 0, 0, 0.12); display: flex; align-items: center; justify-content: center; }',
        '.ld-placed { display: block; }',
        '.ld-placed .ld-dialog { position: absolute; }',
        '.ld-dialog { background: #f0f0f0; border: 1px solid #6d6d6d; box-shadow: 2px 4px 12px rgba(0,0,0,0.35);' +
        '  font: 12px "Segoe UI", Tahoma, "MS Sans Serif", sans-serif; color: #000; min-width: 180px; max-width: 560px; }',
        '.ld-title { background: #fff; padding: 6px 8px; display: flex; align-items: center; user-select: none; }',
        '.ld-title-text { flex: 1; white-space: nowrap; overflow: hidden; text-overflow: ellipsis; }',
        '.ld-close { border: none; background: none; font: inherit; width: 28px; height: 20px; cursor: default; }',
        '.ld-close:hover { background: #e81123; color: #fff; }',
        '.ld-body { background: #fff; padding: 20px 24px 22px 14px; display: flex; align-items: flex-start; gap: 12px; }',
        '.ld-text { white-space: pre-wrap; padding-top: 8px; line-height: 1.35; overflow-wrap: anywhere; }',
        '.ld-form { background: #fff; padding: 12px 14px; display: grid; grid-template-columns: auto 1fr; gap: 8px 10px;' +
        '  align-items: center; width: 400px; }',
        '.ld-list { grid-column: 1 / 3; height: 150px; overflow-y: auto; border: 1px solid #a0a0a0; }',
        '.ld-file { padding: 2px 6px; cursor: default; user-select: none; }',
        '.ld-file.ld-chosen { background: #cce8ff; }',
        '.ld-buttons { padding: 10px 12px; display: flex; justify-content: flex-end; gap: 8px; }',
        '.ld-button { min-width: 75px; height: 23px; font: inherit; background: #e1e1e1; border: 1px solid #adadad; }',
        '#dialog-button-remove { margin-right: auto; }',
        '.ld-button:focus { border-color: #0078d7; outline: 1px dotted #000; outline-offset: -4px; }',
        '.ld-hidden-input { position: fixed; left: 0; top: 0; width: 1px; height: 1px; opacity: 0; }',
        '.ld-ended { position: fixed; left: 50%; top: 40%; transform: translate(-50%, -50%); padding: 16px 24px;' +
        '  background: #f0f0f0; border: 1px solid #6d6d6d; font: 14px "Segoe UI", Tahoma, sans-serif; color: #000; }',
      ].join('\n'));
      document.adoptedStyleSheets = document.adoptedStyleSheets.concat([sheet]);
    },

    element: function(tag, className, parent, text) {
      var node = document.createElement(tag);
      if (className) node.className = className;
      if (text !== undefined) node.textContent = text;
      if (parent) parent.appendChild(node);
      return node;
    },

    // ------------------------------------------------------------ dialogs

    // An overlay over the whole page with a box in it; finish(value) closes
    // it and resolves the promise. escape: what Escape and the close box do.
    dialog: function(id, title, escape) {
      var S = LumetraSystem;
      var overlay = S.element('div', 'ld-overlay', document.body);
      var box = S.element('div', 'ld-dialog', overlay);
      box.id = id;
      box.setAttribute('role', 'dialog');
      box.setAttribute('aria-modal', 'true');
      var bar = S.element('div', 'ld-title', box);
      S.element('span', 'ld-title-text', bar, title);
      var d = {overlay: overlay, box: box, escape: escape, default_button: null, before: document.activeElement};
      if (escape) {
        var close = S.element('button', 'ld-close', bar, '✕');
        close.id = 'dialog-close';
        close.tabIndex = -1;
        close.addEventListener('click', escape);
      }
      d.promise = new Promise(function(resolve) {
        d.finish = function(value) {
          overlay.remove();
          S.modal = null;
          if (globalThis.lumetra) globalThis.lumetra.modal = false;
          if (d.before && d.before.focus && document.contains(d.before)) d.before.focus();
          resolve(value);
        };
      });
      ['keydown', 'keyup', 'keypress'].forEach(function(type) {
        overlay.addEventListener(type, function(event) { event.stopPropagation(); });
      });
      box.addEventListener('keydown', function(event) {
        if (event.key == 'Escape') {
          if (d.escape) d.escape();
        } else if (event.key == 'Enter' && event.target.tagName != 'BUTTON' && d.default_button) {
          d.default_button.click();
        } else if (event.key == 'Tab') {
          S.cycle_focus(box, event);
        } else if (!((event.ctrlKey || event.metaKey) && !/^[acvxyz]$/i.test(event.key))) {
          // Editing keys stay; the browser's own Ctrl keys (Ctrl+S saving the page) do not.
          return;
        }
        event.preventDefault();
      });
      S.modal = d;
      if (globalThis.lumetra) globalThis.lumetra.modal = true;
      return d;
    },

    // Over the middle of the window that owns it (About, else Main), as the
    // desktop's boxes stand; in the middle of the page without one.
    place: function(d) {
      var owner = ['window-text', 'window-about', 'window-main'].map(function(id) { return document.getElementById(id); })
                                                 .find(function(w) { return w && w.getClientRects().length; });
      if (!owner) return;
      var o = owner.getBoundingClientRect(), b = d.box.getBoundingClientRect();
      d.overlay.classList.add('ld-placed');
      d.box.style.left = Math.max(0, Math.round(o.left + (o.width - b.width) / 2)) + 'px';
      d.box.style.top = Math.max(0, Math.round(o.top + (o.height - b.height) / 2)) + 'px';
    },

    button: function(d, parent, name, action) {
      var b = LumetraSystem.element('button', 'ld-button', parent, LumetraSystem.CAPTION[name]);
      b.id = 'dialog-button-' + name;
      b.type = 'button';
      b.addEventListener('click', action);
      if (!d.default_button) d.default_button = b;
      return b;
    },

    // Tab stays inside the dialog.
    cycle_focus: function(box, event) {
      var stops = Array.prototype.filter.call(box.querySelectorAll('button, input, select, [tabindex]'),
                                              function(node) { return node.tabIndex >= 0; });
      if (!stops.length) return;
      var at = stops.indexOf(document.activeElement);
      var next = at < 0 ? 0 : (at + (event.shiftKey ? stops.length - 1 : 1)) % stops.length;
      stops[next].focus();
    },

    guard_key: function(event) {
      var d = LumetraSystem.modal;
      if (!d) return;
      // The dialog's own keys reach it (and stop at its overlay).
      if (d.box.contains(event.target)) return;
      event.stopImmediatePropagation();
      event.preventDefault();
      if (event.type == 'keydown') {
        (d.default_button || d.box).focus();
        if (event.key == 'Escape' && d.escape) d.escape();
      }
    },

    guard_focus: function(event) {
      var d = LumetraSystem.modal;
      if (d && !d.box.contains(event.target) && d.default_button) d.default_button.focus();
    },

    icon: function(parent, icon) {
      // Icon: None, Error, Warning, Question, Information.
      if (!icon) return;
      var canvas = LumetraSystem.element('canvas', 'ld-icon', parent);
      canvas.id = 'dialog-icon';
      canvas.width = canvas.height = 32;
      canvas.dataset.icon = ['', 'error', 'warning', 'question', 'information'][icon];
      var g = canvas.getContext('2d');
      if (icon == 2) {
        g.fillStyle = '#ffc800';
        g.beginPath();
        g.moveTo(16, 2); g.lineTo(31, 29); g.lineTo(1, 29);
        g.closePath();
        g.fill();
      } else {
        g.fillStyle = icon == 1 ? '#d81e06' : '#1f6fd0';
        g.beginPath();
        g.arc(16, 16, 15, 0, 2 * Math.PI);
        g.fill();
      }
      g.fillStyle = icon == 2 ? '#000' : '#fff';
      g.font = 'bold 20px Arial, sans-serif';
      g.textAlign = 'center';
      g.textBaseline = 'middle';
      g.fillText(['', '✕', '!', '?', 'i'][icon], 16, icon == 2 ? 19 : 17);
    },

    // Resolves with the platform::Answer number.
    message_box: function(title, text, buttons, icon) {
      var S = LumetraSystem;
      var names = S.BUTTONS[buttons] || S.BUTTONS[0];
      // Escape answers Cancel where there is one; an Ok-only box closes with Ok.
      var escape_name = names.indexOf('cancel') >= 0 ? 'cancel' : names.length == 1 ? 'ok' : null;
      var d = S.dialog('dialog-message', title, escape_name && function() { d.finish(S.ANSWER[escape_name]); });
      var body = S.element('div', 'ld-body', d.box);
      S.icon(body, icon);
      S.element('div', 'ld-text', body, text.replace(/\r\n/g, '\n')).id = 'dialog-text';
      var row = S.element('div', 'ld-buttons', d.box);
      names.forEach(function(name) {
        S.button(d, row, name, function() { d.finish(S.ANSWER[name]); });
      });
      S.place(d);
      d.default_button.focus();
      return d.promise;
    },

    // "Name|*.a;*.b|Name|*.*" as [{name, patterns}].
    filters: function(filter) {
      var parts = filter ? filter.split('|') : [];
      var list = [];
      for (var i = 0; i + 1 < parts.length; i += 2)
        list.push({name: parts[i], patterns: parts[i + 1].split(';')});
      return list;
    },

    matches: function(name, patterns) {
      var lower = name.toLowerCase();
      return patterns.some(function(p) {
        p = p.trim().toLowerCase();
        return p == '*' || p == '*.*' || (p.startsWith('*.') && lower.endsWith(p.slice(1)));
      });
    },

    // The file chooser's accept list: ".bmp,.jpg"; all files: none.
    accept_of: function(patterns) {
      if (!patterns || patterns.some(function(p) { return p == '*' || p == '*.*'; })) return '';
      return patterns.map(function(p) { return p.replace(/^\*/, ''); }).join(',');
    },

    // Only a plain name is kept: no folders, nothing that climbs out of the folder.
    clean_name: function(name) {
      name = String(name).split(/[\\/]/).pop().trim();
      return name == '.' || name == '..' ? '' : name;
    },

    uploaded_names: function() {
      var prefix = LumetraSystem.UPLOADS + '/';
      return Object.keys(LumetraSystem.look()).filter(function(path) { return path.startsWith(prefix); })
                   .map(function(path) { return path.slice(prefix.length); }).sort();
    },

    // Resolves with the chosen filter's number, 0 when cancelled; the path
    // is left in answer.
    save_dialog: function(title, filter, filter_index, preset) {
      var S = LumetraSystem;
      var filters = S.filters(filter);
      var chosen_filter = Math.min(Math.max(filter_index, 1), Math.max(filters.length, 1));
      var d = S.dialog('dialog-save', title || 'Сохранить как', function() { d.finish(0); });
      var form = S.element('div', 'ld-form', d.box);
      var list = S.element('div', 'ld-list', form);
      list.id = 'save-files';
      S.element('label', '', form, 'Имя файла:').htmlFor = 'save-name';
      var name = S.element('input', '', form);
      name.id = 'save-name';
      name.value = S.clean_name(preset);
      var select = null;
      if (filters.length > 1) {
        S.element('label', '', form, 'Тип файла:').htmlFor = 'save-filter';
        select = S.element('select', '', form);
        select.id = 'save-filter';
        filters.forEach(function(f, i) {
          var option = S.element('option', '', select, f.name);
          option.value = String(i + 1);
        });
        select.value = String(chosen_filter);
        select.addEventListener('change', function() { chosen_filter = Number(select.value); show_files(); });
      }
      function save() {
        var plain = S.clean_name(name.value);
        if (!plain) { name.focus(); return; }
        S.answer = S.UPLOADS + '/' + plain;
        d.finish(chosen_filter);
      }
      function current_patterns() { return filters.length ? filters[chosen_filter - 1].patterns : ['*.*']; }
      function show_files() {
        list.textContent = '';
        remove.disabled = true;
        var patterns = current_patterns();
        S.uploaded_names().filter(function(n) { return S.matches(n, patterns); }).forEach(function(n) {
          var entry = S.element('div', 'ld-file', list, n);
          entry.dataset.name = n;
          entry.addEventListener('click', function() {
            list.querySelectorAll('.ld-chosen').forEach(function(e) { e.classList.remove('ld-chosen'); });
            entry.classList.add('ld-chosen');
            name.value = n;
            remove.disabled = false;
          });
          entry.addEventListener('dblclick', function() { name.value = n; save(); });
        });
      }
      var row = S.element('div', 'ld-buttons', d.box);
      S.button(d, row, 'save', save);
      S.button(d, row, 'cancel', function() { d.finish(0); });
      // The page's copies are the only files of this folder: the chosen one
      // can be taken out of the browser's storage here.
      var remove = S.button(d, row, 'remove', function() {
        var chosen = list.querySelector('.ld-chosen');
        if (!chosen) return;
        S.remove_file(S.UPLOADS + '/' + chosen.dataset.name);
        if (name.value == chosen.dataset.name) name.value = '';
        show_files();
        name.focus();
      });
      remove.title = 'Удалить копию файла из хранилища браузера';
      show_files();
      // A file from this computer joins the list, so that the program can
      // write into it (a BIN file to add to) and offer it back.
      var upload = S.button(d, row, 'upload', function() {
        S.choose_file(S.accept_of(current_patterns()), true).then(function(path) {
          if (!path) return;
          show_files();
          name.value = path.split('/').pop();
          name.focus();
        });
      });
      row.insertBefore(upload, row.firstChild);
      row.insertBefore(remove, upload.nextSibling);
      S.place(d);
      name.focus();
      name.select();
      return d.promise;
    },

    file_input: function() {
      var input = document.getElementById('open-file');
      if (input) return input;
      input = LumetraSystem.element('input', 'ld-hidden-input', document.body);
      input.type = 'file';
      input.id = 'open-file';
      input.tabIndex = -1;
      return input;
    },

    // The browser's chooser on the page's one file input: resolves with the
    // path the chosen file was stored under, '' when cancelled.
    choose_file: function(accept, show) {
      var S = LumetraSystem;
      var input = S.file_input();
      input.value = '';
      input.accept = accept;
      return new Promise(function(resolve) {
        function done(path) {
          input.onchange = input.oncancel = null;
          delete input.dataset.waiting;
          resolve(path);
        }
        input.onchange = function() {
          if (!input.files[0]) return done('');
          S.store_file(input.files[0]).then(done, function() { done(''); });
        };
        input.oncancel = function() { done(''); };
        input.dataset.waiting = '1';
        // A driven browser cancels its chooser at once; there the test gives
        // the input its file instead.
        if (show && !navigator.webdriver) input.click();
      });
    },

    // Resolves with 1 when a file was chosen (its path in answer), 0 when cancelled.
    open_dialog: function(title, filter, filter_index) {
      var S = LumetraSystem;
      var filters = S.filters(filter);
      var accept = S.accept_of(filters.length ? (filters[filter_index - 1] || filters[0]).patterns : null);
      // The browser shows its chooser only right after a click or a key (it
      // would neither show nor cancel): else a click on a button of ours gives it one.
      var activated = !navigator.userActivation || navigator.userActivation.isActive;
      var chosen = S.choose_file(accept, activated);
      if (!activated && !navigator.webdriver) {
        var cancel = function() { d.finish(); S.file_input().dispatchEvent(new Event('cancel')); };
        var d = S.dialog('dialog-open', title || 'Открыть', cancel);
        S.element('div', 'ld-body', d.box).appendChild(S.element('div', 'ld-text', null, 'Выберите файл на этом компьютере.'));
        var row = S.element('div', 'ld-buttons', d.box);
        S.button(d, row, 'choose', function() { d.finish(); S.file_input().click(); });
        S.button(d, row, 'cancel', cancel);
        S.place(d);
        d.default_button.focus();
      }
      return chosen.then(function(path) {
        S.answer = path;
        return path ? 1 : 0;
      });
    },

    // ------------------------------------------------------------ files

    stamp: function(path) {
      var st = FS.stat(path);
      return st.size + ':' + st.mtime.getTime();
    },

    // Resolves with the path of the file written under the upload folder.
    store_file: function(file) {
      var S = LumetraSystem;
      var name = S.clean_name(file.name) || 'file';
      return file.arrayBuffer().then(function(bytes) {
        var path = S.UPLOADS + '/' + name;
        FS.writeFile(path, new Uint8Array(bytes));
        // The program did not write it: no download, but it is stored.
        S.known[path] = S.stamp(path);
        S.dirty = true;
        return path;
      });
    },

    remove_file: function(path) {
      var S = LumetraSystem;
      try { FS.unlink(path); } catch (e) { return; }
      delete S.known[path];
      S.store();
    },

    drag_over: function(event) {
      if (!event.dataTransfer || Array.prototype.indexOf.call(event.dataTransfer.types, 'Files') < 0) return;
      // The browser would otherwise open the file in place of the program.
      event.preventDefault();
      event.dataTransfer.dropEffect = LumetraSystem.accept_drops && !LumetraSystem.modal ? 'copy' : 'none';
    },

    drop: function(event) {
      if (!event.dataTransfer || !event.dataTransfer.files.length) return;
      event.preventDefault();
      var S = LumetraSystem;
      if (!S.accept_drops || S.modal) return;
      var files = Array.prototype.slice.call(event.dataTransfer.files);
      // A folder has no bytes to read: it is left out.
      Promise.all(files.map(function(file) { return S.store_file(file).catch(function() { return ''; }); }))
        .then(function(paths) {
          paths = paths.filter(Boolean);
          if (paths.length) globalThis.lumetra.push_event({kind: S.FILES_DROPPED, number: 0, type: 0, window: 0, files: paths});
        });
    },

    // path -> stamp of every file in the stored folders.
    look: function() {
      var seen = {};
      [LumetraSystem.UPLOADS, LumetraSystem.PERSIST].forEach(function(folder) {
        var names;
        try { names = FS.readdir(folder); } catch (e) { return; }
        names.forEach(function(name) {
          var path = folder + '/' + name;
          if (name != '.' && name != '..' && FS.isFile(FS.stat(path).mode)) seen[path] = LumetraSystem.stamp(path);
        });
      });
      return seen;
    },

    // Looking over every stored file after each event would cost each of
    // the pointer's many events time (1 ms with 200 files). Emscripten tells
    // of file use only in its debug builds, so the calls through which the
    // program opens, writes, renames and removes files mark that it did; an
    // event that used no file skips the look.
    track_files: function() {
      var S = LumetraSystem;
      S.touched = true;
      ['open', 'write', 'rename', 'unlink', 'truncate', 'ftruncate', 'mkdir', 'rmdir'].forEach(function(name) {
        var call = FS[name];
        FS[name] = function() {
          S.touched = true;
          return call.apply(this, arguments);
        };
      });
    },

    // After each event the program handled: what it wrote under the upload
    // folder is offered as a download; anything changed is stored.
    after_event: function() {
      var S = LumetraSystem;
      if (!S.touched && !S.dirty) return;
      S.touched = false;
      var seen = S.look();
      var settings = false, files = S.dirty;
      Object.keys(seen).concat(Object.keys(S.known)).forEach(function(path) {
        if (S.known[path] === seen[path]) return;
        if (!path.startsWith(S.UPLOADS + '/')) {
          settings = true;
        } else {
          files = true;
          if (path in seen) S.offer_download(path);
        }
      });
      S.known = seen;
      S.dirty = false;
      if (settings) S.store_settings();
      if (files) S.store();
    },

    // The files under PERSIST as one key each, their bytes as characters.
    store_settings: function() {
      var S = LumetraSystem;
      try {
        Object.keys(localStorage).forEach(function(key) {
          if (key.startsWith(S.SETTINGS_KEY)) localStorage.removeItem(key);
        });
        FS.readdir(S.PERSIST).forEach(function(name) {
          var path = S.PERSIST + '/' + name;
          if (name == '.' || name == '..' || !FS.isFile(FS.stat(path).mode)) return;
          var bytes = FS.readFile(path), text = '';
          for (var i = 0; i < bytes.length; i += 4096)
            text += String.fromCharCode.apply(null, bytes.subarray(i, i + 4096));
          localStorage.setItem(S.SETTINGS_KEY + path, text);
        });
      } catch (e) {
        console.warn('lumetra: settings not stored', e);
      }
    },

    load_settings: function() {
      var S = LumetraSystem;
      try {
        Object.keys(localStorage).forEach(function(key) {
          if (!key.startsWith(S.SETTINGS_KEY + S.PERSIST + '/')) return;
          var text = localStorage.getItem(key), bytes = new Uint8Array(text.length);
          for (var i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
          FS.writeFile(key.slice(S.SETTINGS_KEY.length), bytes);
        });
      } catch (e) {
        console.warn('lumetra: settings not loaded', e);
      }
    },

    store: function() {
      var S = LumetraSystem;
      if (S.syncing) { S.sync_again = true; return; }
      S.syncing = true;
      try {
        FS.syncfs(false, function(error) {
          if (error) console.warn('lumetra: files not stored', error);
          S.syncing = false;
          if (S.sync_again) { S.sync_again = false; S.store(); }
        });
      } catch (e) {
        S.syncing = false;
      }
    },

    offer_download: function(path) {
      var S = LumetraSystem;
      var bytes;
      try { bytes = FS.readFile(path); } catch (e) { return; }
      var name = path.split('/').pop();
      var url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
      var link = S.element('a', '', document.body);
      link.href = url;
      link.download = name;
      link.click();
      link.remove();
      setTimeout(function() { URL.revokeObjectURL(url); }, 60000);
      S.downloads.push({name: name, size: bytes.length});
    },

    // ------------------------------------------------------------ the rest

    beep: function(frequency) {
      try {
        var Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        var audio = LumetraSystem.audio || (LumetraSystem.audio = new Context());
        if (audio.state == 'suspended') audio.resume();
        var tone = audio.createOscillator();
        var gain = audio.createGain();
        var t = audio.currentTime;
        tone.frequency.value = frequency;
        gain.gain.setValueAtTime(0.15, t);
        gain.gain.exponentialRampToValueAtTime(0.001, t + 0.15);
        tone.connect(gain).connect(audio.destination);
        tone.start(t);
        tone.stop(t + 0.15);
      } catch (e) {
        // Audio blocked: silence.
      }
    },

    ended: function() {
      var S = LumetraSystem;
      S.accept_drops = false;
      S.ended_shown = true;
      S.after_event();
      var note = document.getElementById('program-ended') || S.element('div', 'ld-ended', document.body);
      note.id = 'program-ended';
      note.textContent = 'Программа завершена. Обновите страницу, чтобы запустить её снова.';
    },
  },

  lumetra_system_after_event__deps: ['$LumetraSystem'],
  lumetra_system_after_event: function() { LumetraSystem.after_event(); },

  lumetra_system_offer_download__deps: ['$LumetraSystem'],
  lumetra_system_offer_download: function(path) { LumetraSystem.offer_download(UTF8ToString(path)); },

  lumetra_system_accept_drops__deps: ['$LumetraSystem'],
  lumetra_system_accept_drops: function(accept) { LumetraSystem.accept_drops = !!accept; },

  // Copies the last string answer (the C++ side sizes the buffer first).
  lumetra_system_answer_size__deps: ['$LumetraSystem'],
  lumetra_system_answer_size: function() { return lengthBytesUTF8(LumetraSystem.answer) + 1; },
  lumetra_system_copy_answer__deps: ['$LumetraSystem'],
  lumetra_system_copy_answer: function(buffer, size) { stringToUTF8(LumetraSystem.answer, buffer, size); },

  lumetra_system_beep__deps: ['$LumetraSystem'],
  lumetra_system_beep: function(frequency) { LumetraSystem.beep(frequency); },

  lumetra_system_open_link: function(target) {
    window.open(UTF8ToString(target), '_blank', 'noopener');
  },

  lumetra_system_ended__deps: ['$LumetraSystem'],
  lumetra_system_ended: function() { LumetraSystem.ended(); },
};

mergeInto(LibraryManager.library, LumetraSystemLibrary);
