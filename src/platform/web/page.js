// The page around the game (index.html): the canvas, the menu bar, the
// dialogs, Web Audio and localStorage. web.cpp calls these through
// Module.tarnoPage; the page calls the game through the exported Web* functions.
Module.tarnoPage = (function () {
  'use strict';
  const FIELD = 672;
  const SAMPLE_RATE = 11025;
  const EDITOR_KEY = 'tarno.level.dat';
  const SETTING_KEY = 'tarno.';
  const MAX_SET_ASIDES = 10;  // as the game counts them
  const EDITOR_FILE = 'level.dat';
  const LEVEL_FILE_SIZE = 300;

  const byId = (id) => document.getElementById(id);
  // The canvases are kept in the page's own memory rather than the graphics
  // card's: the picture comes from the game's memory every frame, and such a
  // canvas takes it, and starts, sooner.
  const canvas = byId('field');
  const view = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
  const frame = document.createElement('canvas');
  frame.width = frame.height = FIELD;
  const frameView = frame.getContext('2d', { alpha: false, willReadFrequently: true });
  let image = frameView.createImageData(FIELD, FIELD);
  let pixelsAt = 0;  // where the game keeps the picture in its heap, once it has drawn one

  // The picture is read where the game left it; a heap that grew is a new
  // buffer, and the old one reads as empty.
  function picture() {
    if (pixelsAt && image.data.buffer !== HEAPU8.buffer)
      image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixelsAt, FIELD * FIELD * 4), FIELD, FIELD);
    return image;
  }

  // The game's WebAssembly is fetched once the page has shown itself (the
  // name in the field's place), so the first paint never waits for it, even
  // when painting is slow to come. A page in a hidden tab paints nothing: it
  // loads the game at once.
  Module.instantiateWasm = (imports, receive) => {
    const fetchGame = () => fetch('tarno.wasm', { credentials: 'same-origin' });
    new Promise((painted) => {
      const types = window.PerformanceObserver && PerformanceObserver.supportedEntryTypes;
      if (document.visibilityState === 'hidden' || !types || !types.includes('paint')) painted();
      setTimeout(painted, 3000);  // a paint that never comes
      try {
        new PerformanceObserver((list, observer) => {
          if (!list.getEntriesByName('first-contentful-paint').length) return;
          observer.disconnect();
          setTimeout(painted, 0);
        }).observe({ type: 'paint', buffered: true });
      } catch (e) {
        painted();
      }
    }).then(() => WebAssembly.instantiateStreaming(fetchGame(), imports).catch(() =>
      // A host that serves it with another type: compiled whole instead of as it streams in.
      fetchGame().then((response) => response.arrayBuffer()).then((bytes) => WebAssembly.instantiate(bytes, imports))))
      .then((result) => receive(result.instance, result.module));
    return {};
  };

  // For tests and benchmarks: frames by hand and the page's own timings.
  const stats = { frames: 0, firstFrameMs: -1, frameMs: [] };
  let firstFrameSeen;
  window.tarno = {
    stats: stats,
    firstFrame: new Promise((resolve) => { firstFrameSeen = resolve; }),
    pause: () => Module._WebSetPaused(1),
    resume: () => Module._WebSetPaused(0),
    step: (n) => Module._WebStep(n),
    // While on, the game counts the commands that reach it instead of
    // carrying them out; turned off, commandsMissed names what never came.
    probeCommands: (on) => Module._WebProbeCommands(on ? 1 : 0),
    commandsMissed: '',
  };

  // ---- Storage: absent or refused storage reads as nothing stored ----------

  function load(key) {
    try { return window.localStorage.getItem(key); } catch (e) { return null; }
  }
  function store(key, value) {
    try { window.localStorage.setItem(key, value); return true; } catch (e) { return false; }
  }
  // Another tab's records: this one takes them in (its own next write
  // merges them anyway).
  window.addEventListener('storage', (event) => {
    if (event.key === SETTING_KEY + 'records' && gameReady) Module._WebRecordsChanged();
  });
  const toText = (bytes) => btoa(String.fromCharCode.apply(null, bytes));
  const toBytes = (text) => Uint8Array.from(atob(text), (c) => c.charCodeAt(0));

  // A stored level.dat that is not base64, or too short for a level, is
  // never loaded part-way: it is marked damaged, and L says so.
  let editorFileDamaged = false;
  function storedEditorFile() {
    const text = load(EDITOR_KEY);
    if (!text) return null;
    let bytes = null;
    try { bytes = toBytes(text); } catch (e) { bytes = null; }
    editorFileDamaged = !bytes || bytes.length < LEVEL_FILE_SIZE;
    return editorFileDamaged ? null : bytes;
  }

  // ---- Drawing: the field scaled to fill its square ---------------------------
  // The square (#board) has its size from the style sheet alone; the field
  // takes it at the scale the game's own rule gives (whole device pixels when
  // they fill enough of it, smooth otherwise), once the game is there to ask.

  const TOUCH_WHOLE_FILL = 0.9;
  const FOR_KEYS = 1, FOR_TOUCH = 2;  // HowToScreen
  const EXIT_COMMAND = 2;
  let gameReady = false;
  let smooth = false;

  function fit() {
    if (!gameReady) return;
    const ratio = window.devicePixelRatio || 1;
    const room = Math.max(1, Math.floor(byId('board').clientWidth * ratio));
    let scale = Module._WebFieldScale(room, room);
    // A finger wants the room more than crisp pixels: on a touch screen a
    // whole step must fill nine tenths of the side, or the field fills it.
    if (touchFirst && Number.isInteger(scale) && scale * FIELD < TOUCH_WHOLE_FILL * room) scale = room / FIELD;
    smooth = !Number.isInteger(scale);
    const side = smooth ? room : scale * FIELD;
    if (canvas.width !== side) canvas.width = canvas.height = side;
    canvas.style.width = canvas.style.height = side / ratio + 'px';
    canvas.style.left = canvas.style.top = Math.floor((room - side) / 2) / ratio + 'px';
    canvas.classList.toggle('smooth', smooth);
    canvas.style.display = 'block';
    // Before the game's first picture the canvas is black already; painted
    // black all the same, it has its memory before the first frame needs it.
    if (pixelsAt) draw();
    else view.fillRect(0, 0, canvas.width, canvas.height);
  }

  // Rows [top, top + rows) of the picture have changed; all of it by default.
  function draw(top = 0, rows = FIELD) {
    // At 1:1 the picture goes straight to the canvas, without a scaling copy.
    if (canvas.width === FIELD) {
      view.putImageData(picture(), 0, 0, 0, top, FIELD, rows);
      return;
    }
    frameView.putImageData(picture(), 0, 0, 0, top, FIELD, rows);
    view.imageSmoothingEnabled = smooth;
    view.drawImage(frame, 0, 0, canvas.width, canvas.height);
  }

  // ---- Keys: KeyboardEvent.code to the PC set-1 scan codes -------------------

  const SCAN_CODES = {
    Escape: 0x01, Backspace: 0x0E, Tab: 0x0F, Enter: 0x1C, Space: 0x39, NumpadEnter: 0x9C,
    ArrowUp: 0xC8, ArrowLeft: 0xCB, ArrowRight: 0xCD, ArrowDown: 0xD0,
  };
  [['1234567890', 0x02], ['QWERTYUIOP', 0x10], ['ASDFGHJKL', 0x1E], ['ZXCVBNM', 0x2C]].forEach(([row, first]) => {
    for (let i = 0; i < row.length; ++i) {
      const name = row[i] >= '0' && row[i] <= '9' ? 'Digit' + row[i] : 'Key' + row[i];
      SCAN_CODES[name] = first + i;
    }
  });

  let openMenu = null;
  let dialogsOpen = 0;
  let ended = false;

  function onKey(event, down) {
    if (event.key === 'Escape' && openMenu) {
      closeMenus();
      event.preventDefault();
      return;
    }
    if (down && (event.ctrlKey || event.metaKey) && !dialogsOpen && !openMenu && !ended) {
      // The Edit menu's shortcuts, as on the desktop.
      // Ctrl+O would open the browser's own file dialog instead of the menu's.
      const shortcut = event.code === 'KeyZ' ? (event.shiftKey ? 'redo' : 'undo')
        : event.code === 'KeyY' ? 'redo' : event.code === 'KeyO' ? 'open' : '';
      if (shortcut && menuShortcuts[shortcut] && !menuShortcuts[shortcut].disabled) {
        event.preventDefault();
        if (!event.repeat) Module._WebMenu(Number(menuShortcuts[shortcut].dataset.command));
        return;
      }
    }
    const code = SCAN_CODES[event.code];
    if (!code || dialogsOpen || openMenu || ended || event.ctrlKey || event.metaKey || event.altKey) return;
    event.preventDefault();  // no scrolling with the arrows, no typing into the page
    if (down && event.repeat) return;
    Module._WebKey(code, down ? 1 : 0);
  }
  window.addEventListener('keydown', (e) => { resumeSound(); onKey(e, true); });
  window.addEventListener('keyup', (e) => onKey(e, false));
  window.addEventListener('blur', () => Module._WebClearKeys());  // releases go elsewhere now

  // ---- Pointer: field coordinates through the canvas's scaling -------------
  // Mouse and pen act on the press. A finger's press, held, lifted or joined
  // by a second, is the game's to read; the page only times it.

  const touch = { id: null, timer: 0 };
  const TOUCH = { down: 0, held: 1, up: 2, cancel: 3 };  // as WebTouch takes them

  canvas.addEventListener('pointerdown', (event) => {
    resumeSound();
    closeMenus();
    if (event.button !== 0 && event.button !== 2) return;
    const box = canvas.getBoundingClientRect();
    const x = Math.floor((event.clientX - box.left) * FIELD / box.width);
    const y = Math.floor((event.clientY - box.top) * FIELD / box.height);
    event.preventDefault();
    if (event.pointerType !== 'touch') {
      Module._WebClick(event.button, x, y);
      return;
    }
    if (touch.id === null) {
      touch.id = event.pointerId;
      touch.timer = setTimeout(() => Module._WebTouch(TOUCH.held, 0, 0), Module._WebLongPressMs());
    }
    Module._WebTouch(TOUCH.down, x, y);
  });
  function fingerLifted(event) {
    if (event.pointerId !== touch.id) return;
    clearTimeout(touch.timer);
    Module._WebTouch(event.type === 'pointerup' ? TOUCH.up : TOUCH.cancel, 0, 0);
    touch.id = null;
  }
  canvas.addEventListener('pointerup', fingerLifted);
  canvas.addEventListener('pointercancel', fingerLifted);
  // No menu of the browser's on a right click or a long press.
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());

  // ---- Buttons beside the status line: each does what its key does --------

  const commandButtons = {};  // by menu id: the buttons that may be greyed
  const BUTTON_COMMANDS = { Undo: 6, Redo: 7 };

  function addButton(text, index) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = text;
    if (BUTTON_COMMANDS[text]) commandButtons[BUTTON_COMMANDS[text]] = button;
    button.tabIndex = -1;  // the keyboard stays the game's
    button.addEventListener('pointerdown', (event) => {
      event.preventDefault();  // no focus taken
      resumeSound();
      closeMenus();
    });
    // By pointer, finger or assistive software alike.
    button.addEventListener('click', () => {
      if (!dialogsOpen && !ended) Module._WebButton(index);
    });
    byId('buttons').append(button);
    byId('buttons').append(nextButton);  // the way on stays last
  }

  // After a win: the way on, a button of its own beside the others.
  const NEXT_COMMAND = 68;
  const nextButton = document.createElement('button');
  nextButton.type = 'button';
  nextButton.id = 'next';
  nextButton.tabIndex = -1;
  nextButton.hidden = true;
  nextButton.addEventListener('click', () => {
    closeMenus();
    if (!dialogsOpen && !ended) Module._WebMenu(NEXT_COMMAND);
  });

  // Undo and Redo greyed, on the menu and beside the status line, when they
  // would do nothing.
  function setControls(undoId, undo, redoId, redo, next) {
    [[undoId, undo], [redoId, redo]].forEach(([id, offered]) => {
      if (menuItems[id]) menuItems[id].disabled = !offered;
      const button = commandButtons[id];
      if (button) button.disabled = !offered;
    });
    nextButton.hidden = !next;
    nextButton.textContent = next;
  }

  // ---- The first-time tip, until the first shot -----------------------------

  const SHOT_KEY = 'tarno.shot';
  const touchFirst = !!(window.matchMedia && window.matchMedia('(pointer: coarse)').matches);
  if (!load(SHOT_KEY)) {
    byId('tip').textContent = touchFirst ? 'Tap the border to drive, tap the tank to fire'
      : 'Arrow keys along the border drive, across it fire';
  }

  function setStatus(text) {
    byId('status').textContent = text;
    if (byId('tip').textContent && /Shots [1-9]/.test(text)) {
      byId('tip').textContent = '';
      store(SHOT_KEY, '1');
    }
  }

  // ---- Menu bar ------------------------------------------------------------

  const menuItems = {};
  const menuShortcuts = {};  // 'undo', 'redo', 'open': the items Ctrl+Z, Ctrl+Y and Ctrl+O choose
  const openAt = [byId('menubar'), null, null, null];  // the menu being filled at each depth

  function closeMenus() {
    if (!openMenu) return;
    openMenu.classList.remove('open');
    openMenu.querySelectorAll('.submenu.open').forEach((s) => s.classList.remove('open'));
    openMenu = null;
  }

  function addMenuEntry(depth, id, text, grayed, key, radio) {
    const parent = openAt[depth];
    if (!parent) return;
    // A touch screen has no keys to name, and Exit would only end the page.
    if (touchFirst && id === EXIT_COMMAND) return;
    text = text.replace(/&(.)/g, '$1');
    if (id === -1) {
      const line = document.createElement('hr');
      line.className = 'separator';
      parent.append(line);
    } else if (depth === 0) {
      const menu = document.createElement('div');
      menu.className = 'menu';
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = text;
      const dropdown = document.createElement('div');
      dropdown.className = 'dropdown';
      menu.append(button, dropdown);
      parent.append(menu);
      button.addEventListener('pointerdown', (event) => {
        event.preventDefault();
        const wasOpen = openMenu === menu;
        closeMenus();
        if (!wasOpen) {
          Module._WebClearKeys();  // their releases will not reach the game
          menu.classList.add('open');
          openMenu = menu;
        }
      });
      button.addEventListener('pointerenter', (event) => {
        if (event.pointerType === 'mouse' && openMenu && openMenu !== menu) {
          closeMenus();
          menu.classList.add('open');
          openMenu = menu;
        }
      });
      openAt[1] = dropdown;
      openAt[2] = openAt[3] = null;
    } else if (id === 0) {
      const submenu = document.createElement('div');
      submenu.className = 'submenu';
      submenu.tabIndex = -1;
      const label = document.createElement('span');
      label.textContent = text;
      const dropdown = document.createElement('div');
      dropdown.className = 'dropdown';
      submenu.append(label, dropdown);
      parent.append(submenu);
      // A finger has no hover: a tap opens and closes it.
      label.addEventListener('click', () => submenu.classList.toggle('open'));
      if (depth < 3) openAt[depth + 1] = dropdown;
    } else {
      const item = document.createElement('button');
      item.type = 'button';
      item.className = 'item';
      item.textContent = text;
      if (radio) item.classList.add('radio');
      if (key && !touchFirst) {
        const shown = document.createElement('span');
        shown.className = 'key';
        shown.textContent = key;
        item.append(shown);
      }
      item.disabled = !!grayed;
      item.dataset.command = id;
      item.addEventListener('click', () => {
        closeMenus();
        Module._WebMenu(id);
      });
      parent.append(item);
      menuItems[id] = item;
      if (key && /^Ctrl\+Z$/.test(key)) menuShortcuts.undo = item;
      if (key && /Ctrl\+(Shift\+Z|Y)/.test(key)) menuShortcuts.redo = item;
      if (key && /^Ctrl\+O$/.test(key)) {
        menuShortcuts.open = item;
        // The editor's level.dat, to keep or to bring, beside the other files.
        parent.append(byId('download'), byId('upload-item'));
      }
    }
  }

  document.addEventListener('pointerdown', (event) => {
    if (openMenu && !openMenu.contains(event.target)) closeMenus();
  });
  byId('download').addEventListener('click', closeMenus);
  byId('upload-item').addEventListener('click', () => {
    closeMenus();
    byId('upload').click();
  });

  // ---- Links to a level ------------------------------------------------------

  function levelLink(code) {
    const url = new URL(location.href);
    url.hash = 'code=' + code;
    return url.href;
  }

  function copyToClipboard(text) {
    if (navigator.clipboard) navigator.clipboard.writeText(text).catch(() => {});
  }

  // A link opened while the page runs plays its level as well.
  addEventListener('hashchange', () => { if (Module._WebLink) Module._WebLink(); });

  // ---- Dialogs: frames wait while one is open -------------------------------

  function showDialog(dialog) {
    if (dialog.open) return;
    ++dialogsOpen;
    dialog.showModal();
  }
  ['message', 'about', 'howto', 'records'].forEach((name) => byId(name).addEventListener('close', () => {
    --dialogsOpen;
    Module._WebClearKeys();
    if (name === 'message') nextMessage();
  }));

  const messages = [];
  function nextMessage() {
    const dialog = byId('message');
    if (dialog.open || !messages.length) return;
    byId('message-text').textContent = messages.shift();
    showDialog(dialog);
  }

  function addAboutLine(x, y, text) {
    const line = document.createElement('div');
    line.style.left = x * 7 / 4 + 'px';  // dialog units, as an 8-point font gives them
    line.style.top = y * 2 + 'px';
    line.textContent = text;
    byId('about-lines').append(line);
  }

  // ---- Sound: one Web Audio source at a time per buffer ---------------------

  // The audio context is made at the player's first key or touch: browsers
  // keep sound silent until then anyway, and making one can hold the page
  // for a long moment, which would otherwise fall on its start. Until then
  // the sounds wait as samples; a loop asked for meanwhile starts with it.
  let audio = null;
  let soundWanted = false;
  const sounds = {};

  function resumeSound() {
    if (!audio && soundWanted) {
      try {
        audio = new (window.AudioContext || window.webkitAudioContext)();
      } catch (e) {
        soundWanted = false;
        return;
      }
      for (const id in sounds) {
        if (sounds[id].pending) start(sounds[id]);
        sounds[id].pending = false;
      }
    }
    if (audio && audio.state === 'suspended') audio.resume().catch(() => {});
  }

  function bufferOf(s) {
    if (!s.buffer) {
      s.buffer = audio.createBuffer(1, Math.max(1, s.samples.length), SAMPLE_RATE);
      s.buffer.getChannelData(0).set(s.samples);
    }
    return s.buffer;
  }

  function position(s) {
    const t = audio.currentTime - s.started;
    const length = s.buffer.duration;
    return s.loop ? t % length : Math.min(t, length);
  }

  function start(s) {
    const node = audio.createBufferSource();
    node.buffer = bufferOf(s);
    node.loop = s.loop;
    node.connect(audio.destination);
    // A sound that ran to its end starts again from the beginning.
    if (s.offset >= s.buffer.duration) s.offset = 0;
    node.start(0, s.offset);
    s.started = audio.currentTime - s.offset;
    node.onended = () => {
      if (s.node !== node) return;
      s.node = null;
      s.offset = 0;
    };
    s.node = node;
  }

  function halt(s) {
    const node = s.node;
    s.node = null;
    if (node) node.stop();
  }

  // ---- The game's level.dat kept in localStorage, and offered as a file ------

  // 1 when kept; 0 when the browser refused (full or forbidden storage).
  function keepEditorFile(bytes) {
    if (!store(EDITOR_KEY, toText(bytes))) return 0;
    editorFileDamaged = false;
    byId('download').disabled = false;
    return 1;
  }

  byId('download').addEventListener('click', () => {
    const bytes = storedEditorFile();
    if (!bytes) return;
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = EDITOR_FILE;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  });

  byId('upload').addEventListener('change', (event) => {
    const file = event.target.files[0];
    event.target.value = '';
    if (!file) return;
    file.arrayBuffer().then((data) => {
      const bytes = new Uint8Array(data);
      if (bytes.length !== LEVEL_FILE_SIZE) {
        messages.push('This is not a level file: a level file holds ' + LEVEL_FILE_SIZE + ' bytes.');
        nextMessage();
        return;
      }
      FS.writeFile(EDITOR_FILE, bytes);
      if (!keepEditorFile(bytes)) {
        messages.push('level.dat could not be kept: the browser refused to store it');
        nextMessage();
      }
    });
  });

  // File, "Open level...": the chosen file goes into the page's folder and
  // the game plays it before its next frame.
  byId('open-level').addEventListener('change', (event) => {
    const file = event.target.files[0];
    event.target.value = '';
    if (!file) return;
    file.arrayBuffer().then((data) => {
      const source = /\.txt$/i.test(file.name);
      FS.writeFile(source ? 'opened-level.txt' : 'opened-level.dat', new Uint8Array(data));
      Module._WebOpenLevel(source ? 1 : 0);
    });
  });

  Module.preRun = (Module.preRun || []).concat(() => {
    const bytes = storedEditorFile();
    if (bytes) {
      FS.writeFile(EDITOR_FILE, bytes);
      byId('download').disabled = false;
    }
  });

  window.addEventListener('resize', fit);
  byId('again').addEventListener('click', () => location.reload());
  window.tarno.firstFrame.then(watchForUpdates);

  // ---- Offline: the service worker keeps the site; a new build waits -------
  // The worker of a new build installs beside the running one; the page
  // offers to reload, and the reload starts the new one.

  function watchForUpdates() {
    if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
    const workers = navigator.serviceWorker;
    const hadWorker = !!workers.controller;
    const offer = (worker) => {
      if (!workers.controller) return;  // the first install: this page is that build
      const notice = byId('update');
      notice.hidden = false;
      notice.addEventListener('click', () => worker.postMessage('activate'));
    };
    workers.addEventListener('controllerchange', () => {
      if (hadWorker) location.reload();
    });
    workers.register('sw.js').then((registration) => {
      if (registration.waiting) offer(registration.waiting);
      registration.addEventListener('updatefound', () => {
        const worker = registration.installing;
        worker.addEventListener('statechange', () => {
          if (worker.state === 'installed') offer(worker);
        });
      });
    }).catch(() => {});
  }

  // ---- How to play: the words, and pictures cut from the sprite sheet -------

  let sheet = null;  // pieces.bmp as a canvas, black clear

  function readSheet() {
    const bytes = FS.readFile('pieces.bmp');
    const data = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const at = data.getUint32(10, true), width = data.getInt32(18, true), height = data.getInt32(22, true);
    if (data.getUint16(28, true) !== 24 || width <= 0 || height === 0) return null;
    const rows = Math.abs(height), stride = (width * 3 + 3) & ~3;
    if (at + stride * rows > bytes.length) return null;
    const pixels = new ImageData(width, rows);
    for (let y = 0; y < rows; ++y) {
      const from = at + (height > 0 ? rows - 1 - y : y) * stride;
      for (let x = 0; x < width; ++x) {
        const b = bytes[from + 3 * x], g = bytes[from + 3 * x + 1], r = bytes[from + 3 * x + 2];
        pixels.data.set([r, g, b, r | g | b ? 255 : 0], (y * width + x) * 4);
      }
    }
    const picture = document.createElement('canvas');
    picture.width = width;
    picture.height = rows;
    picture.getContext('2d').putImageData(pixels, 0, 0);
    return picture;
  }

  function drawHowToPictures() {
    if (!sheet) {
      try { sheet = readSheet(); } catch (e) { sheet = null; }
      if (!sheet) return;
    }
    byId('howto-lines').querySelectorAll('canvas').forEach((picture) => {
      if (picture.dataset.drawn) return;
      picture.dataset.drawn = '1';
      const pen = picture.getContext('2d');
      // Where each lies on the sheet, as the game says: x, y and side.
      [picture.dataset.picture, picture.dataset.over].forEach((spot) => {
        if (spot === undefined) return;
        const [x, y, side] = spot.split(',').map(Number);
        pen.drawImage(sheet, x, y, side, side, 0, 0, 48, 48);
      });
      if (picture.dataset.glow) {
        // A lost board's glow along the ring's outer edge.
        const glow = pen.createLinearGradient(0, 0, 0, 10);
        glow.addColorStop(0, 'rgba(224, 40, 40, 1)');
        glow.addColorStop(1, 'rgba(224, 40, 40, 0)');
        pen.fillStyle = glow;
        pen.fillRect(0, 0, 48, 10);
      }
    });
  }

  // The panel's lines are kept and laid out the first time it opens, not
  // while the game starts.
  const howToLines = [];

  function buildHowTo() {
    howToLines.splice(0).forEach((line) => buildHowToLine(...line));
  }

  function buildHowToLine(text, picture, over, glow) {
    const line = document.createElement('div');
    if (picture) {
      const cell = document.createElement('canvas');
      cell.width = cell.height = 48;
      cell.dataset.picture = picture.join(',');
      if (over) cell.dataset.over = over.join(',');
      if (glow) cell.dataset.glow = '1';
      line.append(cell);
    } else {
      const room = document.createElement('span');
      room.className = 'room';
      line.append(room);
    }
    const words = document.createElement('span');
    words.textContent = text || '\u00a0';
    line.append(words);
    byId('howto-lines').append(line);
  }

  return {
    ready: () => {
      gameReady = true;
      fit();
    },

    // Drawing and frames
    present: (pixels, top, rows) => {
      pixelsAt = pixels;
      draw(top, rows);
      if (stats.firstFrameMs < 0) {
        stats.firstFrameMs = performance.now();
        firstFrameSeen(stats.firstFrameMs);
      }
    },
    frameDone: (ms) => {
      ++stats.frames;
      if (stats.frameMs.length >= 3600) stats.frameMs.shift();
      stats.frameMs.push(ms);
    },
    mayRun: () => (!openMenu && !dialogsOpen && !ended && !document.hidden ? 1 : 0),
    touchFirst: () => (touchFirst ? 1 : 0),
    ended: () => {
      ended = true;
      closeMenus();
      for (const id in sounds) halt(sounds[id]);
      byId('menubar').style.display = byId('stage').style.display = 'none';
      byId('ended').style.display = 'block';
    },

    // Menu and dialogs
    addMenuEntry: addMenuEntry,
    enableMenuItem: (id) => { if (menuItems[id]) menuItems[id].disabled = false; },
    checkMenuItem: (id, checked) => { if (menuItems[id]) menuItems[id].classList.toggle('checked', !!checked); },
    // A touch screen's lines speak of taps; a desktop's of keys and clicks.
    addHowToLine: (text, picture, over, glow, screen) => {
      if (screen !== (touchFirst ? FOR_KEYS : FOR_TOUCH)) howToLines.push([text, picture, over, glow]);
    },
    showHowToPlay: () => {
      buildHowTo();
      drawHowToPictures();
      showDialog(byId('howto'));
    },
    addButton: addButton,
    setStatus: setStatus,
    setControls: setControls,
    chooseLevelFile: () => byId('open-level').click(),
    addAboutLine: addAboutLine,
    showAbout: () => showDialog(byId('about')),
    // The records in columns, a cell at a time as the game lays them out;
    // column 0 starts a row.
    clearRecords: () => byId('records-text').replaceChildren(),
    addRecordsCell: (column, text) => {
      const table = byId('records-text');
      const row = column === 0 || !table.rows.length ? table.insertRow() : table.rows[table.rows.length - 1];
      row.insertCell().textContent = text;
    },
    showRecords: () => showDialog(byId('records')),
    showMessage: (text) => { messages.push(text); nextMessage(); },
    // A level's code and the link that plays it: the page's own address
    // with the code after '#'. Both go into the page as text only.
    copyText: (code) => {
      copyToClipboard(code);
      messages.push('Level code copied: ' + code + '\nA link to it: ' + levelLink(code));
      nextMessage();
    },
    shareLevel: (code) => {
      const link = levelLink(code);
      if (navigator.share && matchMedia('(pointer: coarse)').matches) {
        navigator.share({ title: document.title, url: link }).catch(() => {});
        return;
      }
      copyToClipboard(link);
      messages.push('Link copied: ' + link);
      nextMessage();
    },
    askText: (prompt) => window.prompt(prompt, ''),
    linkFragment: () => location.hash.slice(0, 600),
    forgetLink: () => history.replaceState(history.state, '', location.pathname + location.search),

    // Storage: small named values, the saved level ("level", kept as "5"), "records"
    // and "sound"; a null text sets what is stored aside under the first free
    // of ".bad", ".bad.1" ... ".bad.9"; when all are taken the oldest goes and
    // the others move down one.
    readSetting: (name) => load(SETTING_KEY + name),
    writeSetting: (name, text) => {
      const key = SETTING_KEY + name;
      if (text !== null) return store(key, text) ? 1 : 0;
      const old = load(key);
      if (old === null) return 1;
      const aside = (slot) => key + '.bad' + (slot ? '.' + slot : '');
      let slot = 0;
      while (slot < MAX_SET_ASIDES && load(aside(slot)) !== null) ++slot;
      if (slot === MAX_SET_ASIDES) {
        for (slot = 1; slot < MAX_SET_ASIDES; ++slot) {
          if (!store(aside(slot - 1), load(aside(slot)))) return 0;
        }
        slot = MAX_SET_ASIDES - 1;
      }
      if (!store(aside(slot), old)) return 0;
      try { window.localStorage.removeItem(key); } catch (e) { return 0; }
      return 1;
    },
    keepEditorFile: keepEditorFile,
    editorFileDamaged: () => (editorFileDamaged ? 1 : 0),

    // Sound
    openSound: () => {
      soundWanted = !!(window.AudioContext || window.webkitAudioContext);
      return soundWanted ? 1 : 0;
    },
    closeSound: () => {
      if (audio) audio.close().catch(() => {});
      audio = null;
      soundWanted = false;
    },
    createSound: (id, samples) => {
      const wave = new Float32Array(samples.length);
      for (let i = 0; i < samples.length; ++i) wave[i] = (samples[i] - 128) / 128;
      sounds[id] = { samples: wave, buffer: null, node: null, offset: 0, started: 0, loop: false, pending: false };
      return 1;
    },
    releaseSound: (id) => {
      if (sounds[id]) halt(sounds[id]);
      delete sounds[id];
    },
    // Plays from the current position; one that is playing keeps playing.
    playSound: (id, loop) => {
      const s = sounds[id];
      if (!s) return 0;
      s.loop = !!loop;
      if (!audio) {
        s.pending = s.loop;
        return 1;
      }
      if (s.node) s.node.loop = s.loop;
      else start(s);
      return 1;
    },
    // A stop keeps the position; rewinding is separate.
    stopSound: (id) => {
      const s = sounds[id];
      if (!s) return 0;
      s.pending = false;
      if (s.node) {
        s.offset = position(s);
        halt(s);
      }
      return 1;
    },
    // A playing sound jumps back to its start and plays on.
    rewindSound: (id) => {
      const s = sounds[id];
      if (!s) return 0;
      s.offset = 0;
      if (s.node) {
        halt(s);
        start(s);
      }
      return 1;
    },
  };
})();
