// The page around the game: an 80 by 25 terminal, the keyboard queue the
// game reads from, the sounds, and the notice when the game has ended. The
// game itself runs in quorrell.wasm and calls back into `page` below
// (src/platform/web/web.cpp).
(function () {
  'use strict';

  const COLUMNS = 80;
  const ROWS = 25;

  const terminal = new Terminal({
    cols: COLUMNS,
    rows: ROWS,
    // The game writes bare newlines, as a terminal's line discipline would
    // turn into a return and a line feed.
    convertEol: true,
    cursorBlink: true,
    fontFamily: '"DejaVu Sans Mono", "Liberation Mono", Menlo, Consolas, monospace',
    fontSize: 16,
    scrollback: 1000,
    theme: {
      background: '#140c05',
      foreground: '#f3e2bd',
      cursor: '#f3e2bd',
      selectionBackground: '#7a5230',
    },
  });
  terminal.open(document.getElementById('terminal'));

  const gameOver = document.getElementById('game-over');
  const playAgain = document.getElementById('play-again');
  const screenReader = document.getElementById('screen-reader');
  const loadError = document.getElementById('load-error');

  // ---- The screen -------------------------------------------------------

  let pendingOutput = [];
  let decoder = new TextDecoder('utf-8');

  // The game's bytes as text; the nine messages with the byte 0x1E show it
  // as the console's font draws it.
  function flushOutput(extra) {
    if (extra && extra.length) {
      for (const byte of extra) pendingOutput.push(byte);
    }
    if (!pendingOutput.length) return;
    const text = decoder.decode(new Uint8Array(pendingOutput), { stream: true });
    pendingOutput = [];
    terminal.write(text.replace(/\x1e/g, '\u25b2'));
  }

  // ---- The keyboard -----------------------------------------------------

  // Bytes typed and not yet read by the game. Nothing is shown until the game
  // reads it: the game draws its own echo.
  let keyBytes = [];
  let keyWaiter = null;
  let running = false;
  const encoder = new TextEncoder();

  terminal.onData((data) => {
    if (!running) return;
    for (const byte of encoder.encode(data)) keyBytes.push(byte);
    if (keyWaiter) {
      const wake = keyWaiter;
      keyWaiter = null;
      wake();
    }
  });

  function nextKeyByte() {
    flushOutput();
    if (keyBytes.length) return Promise.resolve(keyBytes.shift());
    return new Promise((resolve) => {
      keyWaiter = () => resolve(keyBytes.shift());
    });
  }

  function peekKeyByte(offset) {
    return offset < keyBytes.length ? keyBytes[offset] : -1;
  }

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
    flushOutput();
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

  // ---- One game ---------------------------------------------------------

  const page = {
    nextKeyByte: nextKeyByte,
    peekKeyByte: peekKeyByte,
    show: flushOutput,
    playSound: playSound,
    stopSound: stopSound,
  };

  function seedArguments() {
    const seed = new URLSearchParams(window.location.search).get('seed');
    return seed === null ? [] : ['--seed', seed];
  }

  function endOfGame() {
    flushOutput();
    // Nothing more will be typed here.
    terminal.write('\x1b[?25l');
    running = false;
    keyBytes = [];
    stopSound();
    gameOver.hidden = false;
    playAgain.focus();
  }

  function startGame() {
    gameOver.hidden = true;
    keyBytes = [];
    pendingOutput = [];
    decoder = new TextDecoder('utf-8');
    terminal.reset();
    running = true;
    terminal.focus();
    createQuorrell({
      page: page,
      arguments: seedArguments(),
      stdout: (byte) => {
        if (byte !== null) pendingOutput.push(byte);
      },
      printErr: (text) => console.warn(text),
      onExit: endOfGame,
    }).catch((error) => {
      running = false;
      loadError.hidden = false;
      console.error(error);
    });
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
  screenReader.addEventListener('change', () => {
    terminal.options.screenReaderMode = screenReader.checked;
    terminal.focus();
  });
  document.addEventListener('click', (event) => {
    if (running && !event.target.closest('label, button, input')) terminal.focus();
  });

  startGame();
})();
