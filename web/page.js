// The page around the game: its screen (screen.js), the command line and
// the keys the game reads, what a screen reader hears, the sounds, the
// page's two settings and the game's arrival. The game itself runs in
// quorrell.wasm and calls back into `page` below
// (src/platform/web/web.cpp).
(function () {
  'use strict';

  // What the game waits for (web.cpp says).
  const AWAIT_NOTHING = 0;
  const AWAIT_KEY = 1;
  const AWAIT_COMMAND = 2;
  const AWAIT_ANSWER = 3;

  const ESCAPE = 27;
  const CONTROL_C = 3;
  const ENTER = 13;
  const BACKSPACE = 127;

  const byId = (id) => document.getElementById(id);
  const frame = document.querySelector('.frame');
  const main = document.querySelector('main');
  const screenElement = byId('screen');
  const status = byId('status');
  const form = byId('command-line');
  const field = byId('command');
  const fieldLabel = byId('command-label');
  const keys = byId('keys');
  const story = byId('story');
  const gameOver = byId('game-over');
  const playAgain = byId('play-again');
  const smaller = byId('smaller');
  const larger = byId('larger');
  const dark = byId('dark');
  const newGame = byId('new-game');
  const saveRecord = byId('save-record');
  const openRecord = byId('open-record');
  const saveTranscript = byId('save-transcript');
  const recordFile = byId('record-file');
  const notice = byId('notice');

  const encoder = new TextEncoder();

  // ---- Settings ---------------------------------------------------------

  // Both follow the system until the player chooses; then the choice stays.
  function stored(name) {
    return fromStorage(localStorage, 'quorrell.' + name);
  }
  function store(name, value) {
    try {
      localStorage.setItem('quorrell.' + name, value);
    } catch (e) {
      // A browser that keeps nothing forgets the choice with the page.
    }
  }

  // Steps of the browser's own text size.
  const SIZES = [0.875, 1, 1.125, 1.25, 1.5, 1.75];
  let sizeStep = SIZES.indexOf(Number(stored('textSize')));
  if (sizeStep < 0) sizeStep = SIZES.indexOf(1);

  const systemDark = window.matchMedia('(prefers-color-scheme: dark)');
  let theme = stored('theme');

  function applyTheme() {
    const isDark = theme ? theme === 'dark' : systemDark.matches;
    document.documentElement.dataset.theme = isDark ? 'dark' : 'light';
    dark.setAttribute('aria-pressed', String(isDark));
  }
  systemDark.addEventListener('change', applyTheme);
  applyTheme();

  function backToCommandLine() {
    if (!form.hidden) field.focus({ preventScroll: true });
  }

  dark.addEventListener('click', () => {
    theme = document.documentElement.dataset.theme === 'dark' ? 'light' : 'dark';
    store('theme', theme);
    applyTheme();
    backToCommandLine();
  });
  function resize(step) {
    sizeStep = Math.min(Math.max(sizeStep + step, 0), SIZES.length - 1);
    store('textSize', String(SIZES[sizeStep]));
    layout();
    backToCommandLine();
  }
  smaller.addEventListener('click', () => resize(-1));
  larger.addEventListener('click', () => resize(1));

  // ---- Layout -----------------------------------------------------------

  const COLUMNS = 80;
  const ROWS = 25;
  const LINE_HEIGHT = 1.25;
  const SMALLEST_TEXT = 12;
  let characterWidth = 0;

  function measureCharacterWidth() {
    const probe = document.createElement('span');
    probe.className = 'probe';
    probe.textContent = 'M'.repeat(COLUMNS);
    screenElement.appendChild(probe);
    const width = probe.getBoundingClientRect().width / COLUMNS / 100;
    probe.remove();
    return width || 0.6;
  }

  function setTextSize(pixels) {
    document.documentElement.style.setProperty('--text', pixels.toFixed(2) + 'px');
  }

  // The console's 80 columns and 25 rows where they fit the window at the
  // chosen size or a little under it; else the text flows in the window's
  // width at the chosen size.
  function layout() {
    const rootSize = parseFloat(getComputedStyle(document.documentElement).fontSize) || 16;
    const chosen = rootSize * SIZES[sizeStep];
    if (!characterWidth) characterWidth = measureCharacterWidth();
    smaller.disabled = sizeStep === 0;
    larger.disabled = sizeStep === SIZES.length - 1;

    const shape = document.documentElement.classList;
    shape.add('console');
    shape.remove('flow');
    setTextSize(chosen);
    const scrollbar = screenElement.offsetWidth - screenElement.clientWidth -
      parseFloat(getComputedStyle(screenElement).borderLeftWidth) * 2;
    document.documentElement.style.setProperty('--scrollbar', Math.max(scrollbar, 0) + 'px');
    const screenWidth = COLUMNS * characterWidth * chosen;
    const screenHeight = ROWS * LINE_HEIGHT * chosen;
    const sides = (element) => {
      const style = getComputedStyle(element);
      return parseFloat(style.paddingLeft) + parseFloat(style.paddingRight) +
        parseFloat(style.borderLeftWidth) + parseFloat(style.borderRightWidth);
    };
    const otherWidth = sides(main) + sides(frame) + sides(screenElement) + Math.max(scrollbar, 0) + 2;
    const otherHeight = main.offsetHeight - screenHeight;
    const fits = Math.min((document.documentElement.clientWidth - otherWidth) / (COLUMNS * characterWidth),
      (document.documentElement.clientHeight - otherHeight) / (ROWS * LINE_HEIGHT));
    if (fits >= Math.max(SMALLEST_TEXT, 0.75 * chosen)) {
      setTextSize(Math.min(chosen, Math.floor(fits * 4) / 4));
    } else {
      shape.remove('console');
      shape.add('flow');
      setTextSize(chosen);
    }
    fitToViewport();
    screen.scrollToEnd();
  }

  // On a phone the page is as tall as what the keyboard leaves of the
  // window, so the command line stays in view above it.
  function fitToViewport() {
    const height = window.visualViewport ? window.visualViewport.height : window.innerHeight;
    document.documentElement.style.setProperty('--app-height', height + 'px');
    if (document.documentElement.classList.contains('flow') && window.visualViewport) window.scrollTo(0, 0);
  }

  let layoutPending = false;
  function layoutSoon() {
    if (layoutPending) return;
    layoutPending = true;
    requestAnimationFrame(() => {
      layoutPending = false;
      layout();
    });
  }
  window.addEventListener('resize', layoutSoon);
  if (window.visualViewport) {
    window.visualViewport.addEventListener('resize', () => {
      fitToViewport();
      screen.scrollToEnd();
    });
  }

  // ---- The screen and what is heard ------------------------------------

  // A brief shake of the field where a terminal would ring its bell.
  function refused() {
    form.classList.remove('refused');
    void form.offsetWidth;
    form.classList.add('refused');
  }
  field.addEventListener('animationend', () => form.classList.remove('refused'));

  const screen = window.createScreen(screenElement, refused);
  let pendingOutput = [];
  let drawPending = false;
  let waitingFor = AWAIT_NOTHING;
  let running = false;

  function drawSoon() {
    if (drawPending) return;
    drawPending = true;
    requestAnimationFrame(() => {
      drawPending = false;
      screen.draw(running && waitingFor !== AWAIT_NOTHING);
      screen.scrollToEnd();
    });
  }

  function showOutput() {
    if (!pendingOutput.length) return;
    status.hidden = true;
    screen.write(new Uint8Array(pendingOutput), true);
    pendingOutput = [];
    drawSoon();
  }

  function echo(bytes) {
    showOutput();
    screen.write(bytes, false);
    drawSoon();
  }

  // Each passage once and whole, when the game stops for the player.
  const STORY_LIMIT = 300;
  function announce() {
    const text = screen.takePassage();
    if (!text) return;
    const passage = document.createElement('p');
    passage.textContent = text;
    story.appendChild(passage);
    while (story.childElementCount > STORY_LIMIT) story.firstElementChild.remove();
  }

  // ---- What the game reads ---------------------------------------------

  // Bytes sent and not yet read by the game, in order. Nothing of them is
  // drawn until the game reads them: the game draws its own echo.
  let keyBytes = [];
  let keyWaiter = null;
  // Escape or Ctrl-C pressed while the game was busy, for its next key.
  let heldKey = null;
  // What a line may hold, in the bytes the game counts; none until the game
  // has asked for a line.
  let lineCap = null;

  function send(bytes) {
    for (const byte of bytes) keyBytes.push(byte);
    if (keyWaiter && keyBytes.length) {
      const wake = keyWaiter;
      keyWaiter = null;
      wake();
    }
  }

  function nextKeyByte() {
    showOutput();
    if (keyBytes.length) return Promise.resolve(keyBytes.shift());
    return new Promise((resolve) => {
      keyWaiter = () => resolve(keyBytes.shift());
    });
  }

  function peekKeyByte(offset) {
    return offset < keyBytes.length ? keyBytes[offset] : -1;
  }

  // A key for a one-key question, or for the next one while the game is
  // busy; a line being read has no use for it.
  function pressKey(byte) {
    if (!running) return;
    if (waitingFor === AWAIT_KEY) send([byte]);
    else if (waitingFor === AWAIT_NOTHING) heldKey = byte;
  }

  function byteLength(text) {
    return encoder.encode(text).length;
  }

  // Control characters are dropped, as the line editor drops them: what
  // the field shows is what the game reads.
  function printable(text) {
    return text.replace(/[\x00-\x1f\x7f]+/g, (run) => (/[\r\n]/.test(run) ? ' ' : ''));
  }

  // The longest start of `text` within `room` bytes, in whole characters.
  function fitting(text, room) {
    let kept = '';
    let used = 0;
    for (const character of text) {
      const size = byteLength(character);
      if (used + size > room) break;
      kept += character;
      used += size;
    }
    return kept;
  }

  function trimToCap() {
    if (lineCap === null || byteLength(field.value) <= lineCap) return;
    field.value = fitting(field.value, lineCap);
    refused();
  }

  // The commands sent before, for Up and Down.
  const earlierCommands = [];
  let commandAsked = false;
  let historyPlace = 0;
  let draft = '';

  function walkHistory(step) {
    const place = historyPlace + step;
    if (place < 0 || place > earlierCommands.length) return;
    if (historyPlace === earlierCommands.length) draft = field.value;
    historyPlace = place;
    field.value = place === earlierCommands.length ? draft : earlierCommands[place];
    trimToCap();
    field.setSelectionRange(field.value.length, field.value.length);
  }

  function submitLine() {
    if (!running) return;
    const line = field.value;
    // The name is no command: nor is a line typed ahead before the game has
    // asked for its first command.
    const command = waitingFor === AWAIT_COMMAND || (waitingFor === AWAIT_NOTHING && commandAsked);
    if (command && line && earlierCommands[earlierCommands.length - 1] !== line) earlierCommands.push(line);
    historyPlace = earlierCommands.length;
    draft = '';
    field.value = '';
    send(encoder.encode(line + '\n'));
  }

  // The keys of the question on the cursor's line, as buttons beside the
  // phone's keyboard.
  function questionKeys() {
    const question = screen.cursorLine();
    if (/Y or N\s*$/.test(question)) return [['Y', 'y'], ['N', 'n']];
    if (question.includes('Press R to return')) return [['R', 'r'], ['Escape', ESCAPE]];
    if (question.includes('Press escape')) return [['Escape', ESCAPE]];
    return [];
  }

  function showWhatIsAwaited() {
    keys.textContent = '';
    form.dataset.waiting = ['busy', 'key', 'line', 'line'][waitingFor];
    if (waitingFor === AWAIT_KEY) {
      for (const [label, key] of questionKeys()) {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = label;
        button.dataset.key = String(typeof key === 'number' ? key : key.charCodeAt(0));
        keys.appendChild(button);
      }
      field.placeholder = 'Press a key';
      fieldLabel.textContent = 'Answer with a key';
    } else if (waitingFor === AWAIT_COMMAND) {
      field.placeholder = 'Type a command, then Enter';
      fieldLabel.textContent = 'Command';
    } else if (waitingFor === AWAIT_ANSWER) {
      field.placeholder = 'Type your name, then Enter';
      fieldLabel.textContent = 'Your first name';
    }
  }

  function waitFor(what, cap) {
    waitingFor = what;
    if (what !== AWAIT_NOTHING) {
      showOutput();
      announce();
      if (what === AWAIT_KEY) {
        // What was typed while the game was busy answers it, as on a
        // terminal.
        if (!keyBytes.length && heldKey !== null) {
          send([heldKey]);
        } else if (!keyBytes.length && field.value) {
          const first = [...field.value][0];
          field.value = field.value.slice(first.length);
          send(encoder.encode(first));
        }
      } else {
        lineCap = cap;
        if (what === AWAIT_COMMAND) commandAsked = true;
        trimToCap();
      }
      heldKey = null;
      registerOffline();
    }
    showWhatIsAwaited();
    if (what === AWAIT_NOTHING) {
      drawSoon();
    } else {
      // The question shows the moment the game asks it.
      screen.draw(running);
      screen.scrollToEnd();
    }
  }

  keys.addEventListener('pointerdown', (event) => {
    // The phone's keyboard stays up.
    if (event.target.closest('button')) event.preventDefault();
  });
  keys.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button) return;
    pressKey(Number(button.dataset.key));
    backToCommandLine();
  });

  form.addEventListener('submit', (event) => {
    event.preventDefault();
    if (waitingFor === AWAIT_KEY) pressKey(ENTER);
    else submitLine();
  });

  // A phone's keyboard, composing or not, reaches the field as input: at a
  // one-key question each character goes to the game as a key.
  field.addEventListener('input', (event) => {
    if (event.isComposing && waitingFor !== AWAIT_KEY) return;
    const clean = printable(field.value);
    if (waitingFor === AWAIT_KEY) {
      field.value = '';
      if (clean) send(encoder.encode(clean));
      return;
    }
    if (clean !== field.value) field.value = clean;
    trimToCap();
  });
  field.addEventListener('compositionend', trimToCap);

  // Typing and pasting stop at the cap, a character that would not fit
  // whole refused whole, as the game's line editor does.
  field.addEventListener('beforeinput', (event) => {
    if (waitingFor === AWAIT_KEY || lineCap === null || event.isComposing) return;
    if (!/^insert(Text|FromPaste|FromDrop|ReplacementText)$/.test(event.inputType)) return;
    const data = event.data !== null ? event.data
      : event.dataTransfer ? event.dataTransfer.getData('text/plain') : '';
    const text = printable(data || '');
    const start = field.selectionStart;
    const end = field.selectionEnd;
    const room = lineCap - byteLength(field.value.slice(0, start) + field.value.slice(end));
    if (text === data && byteLength(text) <= room) return;
    event.preventDefault();
    const kept = fitting(text, Math.max(room, 0));
    if (kept || start !== end) field.setRangeText(kept, start, end, 'end');
    if (kept !== text) refused();
  });

  function hasSelection() {
    if (document.activeElement === field && field.selectionStart !== field.selectionEnd) return true;
    const selection = window.getSelection();
    return Boolean(selection) && !selection.isCollapsed && selection.toString() !== '';
  }

  const SINGLE_CHARACTER = /^.$/u;

  document.addEventListener('keydown', (event) => {
    const key = event.key;
    const control = event.ctrlKey || event.metaKey;
    // The end of input means something on a terminal, and Ctrl-D is the
    // browser's bookmark key: in the page it means nothing.
    if (control && !event.altKey && key.toLowerCase() === 'd') {
      event.preventDefault();
      return;
    }
    if (!running || event.isComposing) return;
    const onField = event.target === field;
    // The page's own controls keep their keys; a question's buttons only
    // Enter and the space bar.
    const pageControl = event.target.closest && event.target.closest('button, input, select, textarea, a');
    if (!onField && pageControl && !(keys.contains(pageControl) && key !== 'Enter' && key !== ' ')) return;
    if (control && !event.altKey && key.toLowerCase() === 'c') {
      if (hasSelection()) return;
      event.preventDefault();
      pressKey(CONTROL_C);
      return;
    }
    if (key === 'Escape') {
      event.preventDefault();
      pressKey(ESCAPE);
      return;
    }
    if (waitingFor === AWAIT_KEY && !control && !event.altKey) {
      let byte = null;
      if (key === 'Enter') byte = [ENTER];
      else if (key === 'Backspace') byte = [BACKSPACE];
      else if (SINGLE_CHARACTER.test(key)) byte = encoder.encode(key);
      if (byte) {
        event.preventDefault();
        send(byte);
        backToCommandLine();
        return;
      }
    }
    if (!onField && !control && (key.length === 1 || key === 'Enter' || key === 'Backspace')) {
      // Typing after selecting text on the screen goes on in the field.
      backToCommandLine();
      return;
    }
    if (onField && (key === 'ArrowUp' || key === 'ArrowDown') && waitingFor !== AWAIT_KEY) {
      event.preventDefault();
      walkHistory(key === 'ArrowUp' ? -1 : 1);
    }
  });

  // A click on the screen gives the keys back to the command line, unless
  // it selected text to copy.
  screenElement.addEventListener('mouseup', () => {
    if (running && !hasSelection()) backToCommandLine();
  });

  // ---- The sounds -------------------------------------------------------

  // Browsers let a page make sound only after the player has pressed a key
  // or clicked; until then the game's sounds are skipped.
  let audio = null;
  const sounds = new Map();
  let playing = null;

  function allowSound() {
    if (!audio) {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return;
      audio = new Context();
    }
    if (audio.state === 'suspended') audio.resume().catch(() => {});
  }
  document.addEventListener('keydown', allowSound, true);
  document.addEventListener('pointerdown', allowSound, true);
  field.addEventListener('input', allowSound);

  // Each file is fetched and decoded once; one that cannot be is remembered
  // as silence.
  function loadSound(stem) {
    if (!sounds.has(stem)) {
      sounds.set(stem, fetch('data/' + stem + '.wav')
        .then((response) => (response.ok ? response.arrayBuffer() : null))
        .then((bytes) => (bytes ? audio.decodeAudioData(bytes) : null))
        .catch(() => null));
    }
    return sounds.get(stem);
  }

  function stopSound() {
    if (playing) {
      const source = playing;
      playing = null;
      try {
        source.stop();
      } catch (e) {
        // It had already ended.
      }
    }
  }

  // One channel: a new sound cuts the one playing. A synchronous sound
  // returns when it ends (or when its length has passed, should the audio
  // clock stand still); a loop returns at once and plays until replaced.
  async function playSound(stem, loop) {
    showOutput();
    stopSound();
    if (!audio) return;
    const buffer = await loadSound(stem);
    if (!buffer || !running) return;
    const source = audio.createBufferSource();
    source.buffer = buffer;
    source.loop = loop;
    source.connect(audio.destination);
    playing = source;
    source.start();
    if (loop) return;
    await new Promise((resolve) => {
      source.onended = resolve;
      setTimeout(resolve, buffer.duration * 1000 + 250);
    });
    if (playing === source) playing = null;
  }

  // ---- Arrival ------------------------------------------------------------

  function fail(message) {
    status.textContent = message;
    status.classList.add('failed');
    status.hidden = false;
    form.hidden = true;
  }

  // The game's WebAssembly has been on its way since the loading line
  // (index.html); playing again reuses it.
  const compileGame = window.compileQuorrell;

  function couldNotLoad(error) {
    running = false;
    console.error(error);
    fail('The game could not be loaded. Check the connection and reload the page.');
  }

  // Once the game is up, a service worker keeps the site for the next visit
  // without a network.
  let offlineAsked = false;
  function registerOffline() {
    if (offlineAsked || !('serviceWorker' in navigator)) return;
    offlineAsked = true;
    navigator.serviceWorker.register('sw.js').catch((error) => console.warn(error));
  }

  // ---- Saved games --------------------------------------------------------

  // The game the page plays (web.cpp says).
  const GAME_NEW = 0;
  const GAME_RESUMED = 1;
  const GAME_REPLAYED = 2;
  const GAME_TRANSCRIBED = 3;

  // Every game is kept as it is played, under a key of its own, in the same
  // bytes as a record file; LAST_GAME names the one played last. An ended
  // record opened to watch, and the wish for a fresh game, outlive only the
  // reload that starts them.
  const LAST_GAME = 'quorrell.lastGame';
  const GAME_PREFIX = 'quorrell.game.';
  const OPENED = 'quorrell.opened';
  const FRESH = 'quorrell.fresh';

  // The storage keeps text: each byte of a record is one character.
  function bytesToText(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 8192) {
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
    }
    return text;
  }
  function textToBytes(text) {
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i) & 255;
    return bytes;
  }

  // The header as the game reads it (src/platform/records/record.cpp): format
  // 2 has the turn, ten places wide, after the state; format 1 does not.
  const HEADER = new RegExp('^Quorrell record\\nformat (?:1\\nseed \\d+\\nstate (open |ended)\\n|' +
    '2\\nseed \\d+\\nstate (open |ended)\\nturn (?=[ \\d]{10}\\n)\\d+ *\\n)');
  // 'open', 'ended', or null for bytes that are no record.
  function recordState(bytes) {
    const match = HEADER.exec(bytesToText(bytes.subarray(0, 120)));
    if (!match) return null;
    return (match[1] || match[2]).trim();
  }

  // A browser that keeps nothing, or refuses the page its storage, reads as
  // one that has nothing kept.
  function fromStorage(area, key) {
    try {
      return area.getItem(key);
    } catch (e) {
      return null;
    }
  }
  function removeFromStorage(area, key) {
    try {
      area.removeItem(key);
    } catch (e) {
      // Nothing kept, nothing to take away.
    }
  }

  function lastGameKey() {
    return fromStorage(localStorage, LAST_GAME);
  }
  function lastGameUnfinished() {
    const key = lastGameKey();
    const text = key && fromStorage(localStorage, key);
    return Boolean(text) && recordState(textToBytes(text)) === 'open';
  }

  // What this page load plays: a record opened to watch, a fresh game, the
  // game put down last, or a new one.
  let game = { kind: GAME_NEW, key: null, bytes: new Uint8Array(0) };

  function chooseGame() {
    const opened = fromStorage(sessionStorage, OPENED);
    removeFromStorage(sessionStorage, OPENED);
    const fresh = fromStorage(sessionStorage, FRESH);
    removeFromStorage(sessionStorage, FRESH);
    if (opened !== null) return { kind: GAME_REPLAYED, key: null, bytes: textToBytes(opened) };
    if (fresh === null && seedArguments().length === 0 && lastGameUnfinished()) {
      const key = lastGameKey();
      return { kind: GAME_RESUMED, key: key, bytes: textToBytes(fromStorage(localStorage, key)) };
    }
    return { kind: GAME_NEW, key: null, bytes: new Uint8Array(0) };
  }

  // The game's store (web.cpp's RecordStore): writes change the record here,
  // a settle puts all of it in the storage before the game goes on.
  function recordWrite(offset, bytes) {
    if (offset + bytes.length > game.bytes.length) {
      const grown = new Uint8Array(offset + bytes.length);
      grown.set(game.bytes);
      game.bytes = grown;
    }
    game.bytes.set(bytes, offset);
    return true;
  }
  function recordSettle() {
    try {
      if (game.key === null) {
        const earlier = lastGameKey();
        game.key = GAME_PREFIX + new Date().toISOString();
        localStorage.setItem(game.key, bytesToText(game.bytes));
        localStorage.setItem(LAST_GAME, game.key);
        // The slot holds one game: an ended one gives way to the next, one
        // put down stays until the player gives it up.
        const text = earlier && fromStorage(localStorage, earlier);
        if (text !== null && text !== undefined && recordState(textToBytes(text)) !== 'open') {
          localStorage.removeItem(earlier);
        }
      } else {
        localStorage.setItem(game.key, bytesToText(game.bytes));
      }
      return true;
    } catch (e) {
      console.warn(e);
      return false;
    }
  }
  function recordCut(length) {
    game.bytes = game.bytes.slice(0, length);
    return recordSettle();
  }
  function recordForget() {
    if (game.key === null) return;
    removeFromStorage(localStorage, game.key);
    if (lastGameKey() === game.key) removeFromStorage(localStorage, LAST_GAME);
    game.key = null;
  }
  function remember(line) {
    if (line && earlierCommands[earlierCommands.length - 1] !== line) earlierCommands.push(line);
    historyPlace = earlierCommands.length;
  }

  function say(text) {
    notice.textContent = text;
  }

  // Records and transcripts are named for the moment they are saved.
  function fileStamp() {
    const now = new Date();
    const two = (n) => String(n).padStart(2, '0');
    return now.getFullYear() + '-' + two(now.getMonth() + 1) + '-' + two(now.getDate()) + '_' +
      two(now.getHours()) + '-' + two(now.getMinutes()) + '-' + two(now.getSeconds());
  }
  function download(bytes, name, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type: type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }

  function currentRecord() {
    return game.bytes.length > 0 ? game.bytes : null;
  }

  // Every game on the page, the transcript's too, is made from the one
  // compiled module.
  function instantiateGame(onError) {
    return (imports, receive) => {
      compileGame()
        .then((module) => WebAssembly.instantiate(module, imports))
        .then((instance) => receive(instance))
        .catch(onError);
      return {};
    };
  }

  // The transcript is the record played again through the game's own plain
  // text, in a second, silent game that reads only the record.
  function transcribe(bytes) {
    return new Promise((resolve, reject) => {
      const text = [];
      const quiet = {
        nextKeyByte: () => Promise.resolve(-1),
        peekKeyByte: () => -1,
        show: () => {},
        echo: () => {},
        waitFor: () => {},
        playSound: () => Promise.resolve(),
        stopSound: () => {},
        remember: () => {},
        gameKind: () => GAME_TRANSCRIBED,
        record: () => bytes,
      };
      createQuorrell({
        page: quiet,
        arguments: [],
        stdout: (byte) => {
          if (byte !== null) text.push(byte);
        },
        printErr: (line) => console.warn(line),
        onExit: () => resolve(new Uint8Array(text)),
        instantiateWasm: instantiateGame(reject),
      }).catch((error) => {
        if (!isGameExit(error)) reject(error);
      });
    });
  }

  // A new game, an opened record: the page starts again with it, and the
  // game playing now ends with the page.
  function startAgain() {
    window.location.replace(window.location.pathname);
  }

  // A game put down is given up only when the player says so.
  function mayGiveUpTheLastGame(question) {
    if (!lastGameUnfinished()) return true;
    if (!window.confirm(question)) return false;
    const key = lastGameKey();
    removeFromStorage(localStorage, key);
    removeFromStorage(localStorage, LAST_GAME);
    return true;
  }

  newGame.addEventListener('click', () => {
    if (!mayGiveUpTheLastGame('Start a new game? The unfinished game will be lost.')) {
      backToCommandLine();
      return;
    }
    try {
      sessionStorage.setItem(FRESH, '1');
    } catch (e) {
      // Without it the page starts a new game anyway: none is unfinished.
    }
    startAgain();
  });

  saveRecord.addEventListener('click', () => {
    const bytes = currentRecord();
    if (bytes) {
      download(bytes, 'quorrell-' + fileStamp() + '.rec', 'application/octet-stream');
      say('');
    } else {
      say('Nothing to save yet: the game is saved from its first key.');
    }
    backToCommandLine();
  });

  saveTranscript.addEventListener('click', () => {
    const bytes = currentRecord();
    if (!bytes) {
      say('Nothing to write yet: the transcript starts with the first key.');
      backToCommandLine();
      return;
    }
    const name = 'quorrell-' + fileStamp() + '.txt';
    saveTranscript.disabled = true;
    transcribe(bytes.slice())
      .then((text) => {
        download(text, name, 'text/plain;charset=utf-8');
        say('');
      })
      .catch((error) => {
        console.error(error);
        say('The transcript could not be written.');
      })
      .finally(() => {
        saveTranscript.disabled = false;
        backToCommandLine();
      });
  });

  openRecord.addEventListener('click', () => {
    recordFile.value = '';
    recordFile.click();
  });

  // An unfinished record is picked up where it stopped, an ended one
  // played again to watch.
  recordFile.addEventListener('change', () => {
    const file = recordFile.files && recordFile.files[0];
    if (!file) return;
    file.arrayBuffer().then((buffer) => {
      const bytes = new Uint8Array(buffer);
      const state = recordState(bytes);
      if (!state) {
        say('\u201c' + file.name + '\u201d is not a Quorrell record.');
        backToCommandLine();
        return;
      }
      try {
        if (state === 'ended') {
          sessionStorage.setItem(OPENED, bytesToText(bytes));
        } else {
          if (!mayGiveUpTheLastGame('Pick up the opened game? The unfinished game will be lost.')) {
            backToCommandLine();
            return;
          }
          const key = GAME_PREFIX + new Date().toISOString();
          localStorage.setItem(key, bytesToText(bytes));
          localStorage.setItem(LAST_GAME, key);
        }
      } catch (e) {
        say('The browser\u2019s storage refused the record (full, or turned off for this site).');
        backToCommandLine();
        return;
      }
      startAgain();
    });
  });

  // ---- One game -----------------------------------------------------------

  const page = {
    nextKeyByte: nextKeyByte,
    peekKeyByte: peekKeyByte,
    show: showOutput,
    echo: echo,
    waitFor: waitFor,
    playSound: playSound,
    stopSound: stopSound,
    remember: remember,
    gameKind: () => game.kind,
    record: () => game.bytes,
    recordWrite: recordWrite,
    recordSettle: recordSettle,
    recordCut: recordCut,
    recordForget: recordForget,
  };

  function seedArguments() {
    const seed = new URLSearchParams(window.location.search).get('seed');
    return seed === null ? [] : ['--seed', seed];
  }

  function endOfGame() {
    showOutput();
    announce();
    running = false;
    waitingFor = AWAIT_NOTHING;
    keyBytes = [];
    stopSound();
    form.hidden = true;
    drawSoon();
    gameOver.hidden = false;
    playAgain.focus();
  }

  function startGame() {
    gameOver.hidden = true;
    keyBytes = [];
    heldKey = null;
    earlierCommands.length = 0;
    historyPlace = 0;
    commandAsked = false;
    pendingOutput = [];
    waitingFor = AWAIT_NOTHING;
    field.value = '';
    screen.reset();
    story.textContent = '';
    running = true;
    form.hidden = false;
    showWhatIsAwaited();
    field.focus({ preventScroll: true });
    game = chooseGame();
    createQuorrell({
      page: page,
      arguments: seedArguments(),
      stdout: (byte) => {
        if (byte !== null) pendingOutput.push(byte);
      },
      // What the game says on standard error (a game that can no longer be
      // saved) is for the player.
      printErr: (text) => {
        console.warn(text);
        say(text);
      },
      onExit: endOfGame,
      instantiateWasm: instantiateGame(couldNotLoad),
    }).catch(couldNotLoad);
  }

  // The game ends by exit(), which Emscripten carries out by throwing out of
  // the game's code; that is the ending, not a fault of the page.
  function isGameExit(error) {
    return Boolean(error) && error.name === 'ExitStatus';
  }
  window.addEventListener('error', (event) => {
    if (isGameExit(event.error)) event.preventDefault();
  });
  window.addEventListener('unhandledrejection', (event) => {
    if (isGameExit(event.reason)) event.preventDefault();
  });

  playAgain.addEventListener('click', startGame);

  layout();
  if (window.location.protocol === 'file:') {
    fail('This page has to be served to play: run tools/build-web serve in the game\u2019s folder, ' +
         'or put this folder on any static web server and open it there.');
  } else if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    fail('This browser cannot run WebAssembly, which the game is made of. ' +
         'A current Firefox, Chrome, Edge or Safari can play it.');
  } else if (typeof window.createQuorrell !== 'function' || typeof compileGame !== 'function') {
    fail('The game could not be loaded. Check the connection and reload the page.');
  } else {
    status.textContent = 'Loading the game\u2026';
    startGame();
  }
})();
