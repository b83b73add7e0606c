// The games kept in the browser: every game is kept as it is played, under
// a key of its own, in the same bytes as a record file, and picked up after
// a reload; and the four buttons that start, save, open and transcribe one.
import { backToCommandLine, remember } from './command_line.js';
import { instantiateGame, isGameExit } from './compiled_game.js';
import { say } from './display.js';
import { recordFromLink } from './share.js';
import { byId } from './state.js';
import { fromStorage, removeFromStorage } from './storage.js';

const newGame = byId('new-game');
const saveRecord = byId('save-record');
const openRecord = byId('open-record');
const saveTranscript = byId('save-transcript');
const recordFile = byId('record-file');
const openDialog = byId('open-dialog');
const openLinkField = byId('open-link');

// The game the page plays (web.cpp says).
const GAME_NEW = 0;
const GAME_RESUMED = 1;
const GAME_REPLAYED = 2;
const GAME_TRANSCRIBED = 3;
export const GAME_WATCHED = 4;
const GAME_STARTED_AGAIN = 5;

// LAST_GAME names the game played last. The wish for a fresh game outlives
// only the reload that starts it.
const LAST_GAME = 'quorrell.lastGame';
const GAME_PREFIX = 'quorrell.game.';
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

export function isRecord(bytes) {
  return recordState(bytes) !== null;
}

// The turns a record's game has taken: the header's, or in format 1 its
// lines after the name's (the game's own count, record.cpp).
export function recordTurns(bytes) {
  const header = HEADER.exec(bytesToText(bytes.subarray(0, 120)));
  if (!header) return 0;
  const turn = /\nturn (\d+)/.exec(header[0]);
  if (turn) return Number(turn[1]);
  const lines = bytes.subarray(header[0].length).reduce((count, byte) => count + (byte === 10), 0);
  return Math.max(0, lines - 1);
}

// The record up to offset, as a game put down there after turns turns.
function recordPrefix(bytes, offset, turns) {
  const header = HEADER.exec(bytesToText(bytes.subarray(0, 120)))[0];
  const turnWord = String(turns).padEnd(10, ' ');
  const newHeader = header.replace(/\nstate (open |ended)\n/, '\nstate open \n')
    .replace(/\nturn [ \d]{10}\n/, '\nturn ' + turnWord + '\n');
  const prefix = new Uint8Array(newHeader.length + offset - header.length);
  prefix.set(textToBytes(newHeader));
  prefix.set(bytes.subarray(header.length, offset), newHeader.length);
  return prefix;
}

function lastGameKey() {
  return fromStorage(localStorage, LAST_GAME);
}
function lastGameUnfinished() {
  const key = lastGameKey();
  const text = key && fromStorage(localStorage, key);
  return Boolean(text) && recordState(textToBytes(text)) === 'open';
}

// ?seed=N in the address, for the game: it plays that town.
export function seedArguments() {
  const seed = new URLSearchParams(window.location.search).get('seed');
  return seed === null ? [] : ['--seed', seed];
}

// What this page load plays: a fresh game, the game put down last, or a new
// one; or a record watched (chooseToWatch).
let game = { kind: GAME_NEW, key: null, bytes: new Uint8Array(0) };

export function chooseGame() {
  chooseWhatToPlay();
  return game;
}

function chooseWhatToPlay() {
  const fresh = fromStorage(sessionStorage, FRESH);
  removeFromStorage(sessionStorage, FRESH);
  if (fresh === null && seedArguments().length === 0 && lastGameUnfinished()) {
    const key = lastGameKey();
    game = { kind: GAME_RESUMED, key: key, bytes: textToBytes(fromStorage(localStorage, key)) };
  } else {
    game = { kind: GAME_NEW, key: null, bytes: new Uint8Array(0) };
  }
}

// A record watched on the page, from a turn on (0: from its start).
export function chooseToWatch(bytes, fromTurn) {
  game = { kind: GAME_WATCHED, key: null, bytes: bytes, fromTurn: fromTurn };
  return game;
}

// An undo or a redo starts the game again from what the game before it
// hands over, and the record goes on in the same place.
export function chooseGameStartedAgain(handedOver) {
  game = { kind: GAME_STARTED_AGAIN, key: game.key, bytes: game.bytes, handedOver: handedOver };
  return game;
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

// What the game asks of the page for its record (web.cpp).
export const recordOnPage = {
  remember: remember,
  gameKind: () => game.kind,
  record: () => game.bytes,
  handedOver: () => game.handedOver,
  recordWrite: recordWrite,
  recordSettle: recordSettle,
  recordCut: recordCut,
  recordForget: recordForget,
};

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

export function currentRecord() {
  return game.bytes.length > 0 ? game.bytes : null;
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

// "Play from here" while watching: the record up to that command becomes a
// new game, kept beside the player's own, which is left as it is.
export function playOnFrom(bytes, offset, turns) {
  try {
    const key = GAME_PREFIX + new Date().toISOString();
    localStorage.setItem(key, bytesToText(recordPrefix(bytes, offset, turns)));
    localStorage.setItem(LAST_GAME, key);
  } catch (e) {
    say('The browser\u2019s storage refused the game (full, or turned off for this site).');
    return;
  }
  startAgain();
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

function startNewGame() {
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
}

function saveTheRecord() {
  const bytes = currentRecord();
  if (bytes) {
    download(bytes, 'quorrell-' + fileStamp() + '.rec', 'application/octet-stream');
    say('');
  } else {
    say('Nothing to save yet: the game is saved from its first key.');
  }
  backToCommandLine();
}

function saveTheTranscript() {
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
}

// Starts watching a record on the page (main.js).
let watchOnPage = null;

// An unfinished record is picked up where it stopped, an ended one
// watched.
function openTheRecord(file) {
  file.arrayBuffer().then((buffer) => {
    const bytes = new Uint8Array(buffer);
    const state = recordState(bytes);
    if (!state) {
      say('\u201c' + file.name + '\u201d is not a Quorrell record.');
      backToCommandLine();
      return;
    }
    if (state === 'ended') {
      say('');
      watchOnPage(bytes);
      return;
    }
    try {
      if (!mayGiveUpTheLastGame('Pick up the opened game? The unfinished game will be lost.')) {
        backToCommandLine();
        return;
      }
      const key = GAME_PREFIX + new Date().toISOString();
      localStorage.setItem(key, bytesToText(bytes));
      localStorage.setItem(LAST_GAME, key);
    } catch (e) {
      say('The browser\u2019s storage refused the record (full, or turned off for this site).');
      backToCommandLine();
      return;
    }
    startAgain();
  });
}

// A shared link pasted into Open record is watched; one that holds no game
// is told in a line, and nothing kept is touched.
export async function watchTheLink(text) {
  const { bytes, problem } = await recordFromLink(text, isRecord);
  if (problem) {
    say(problem);
    return false;
  }
  say('');
  watchOnPage(bytes);
  return true;
}

// Open record: a shared link pasted, or a record file chosen.
function connectOpenRecord() {
  openRecord.addEventListener('click', () => {
    openLinkField.value = '';
    openDialog.showModal();
  });
  byId('open-file').addEventListener('click', () => {
    openDialog.close();
    recordFile.value = '';
    recordFile.click();
  });
  byId('open-cancel').addEventListener('click', () => {
    openDialog.close();
    backToCommandLine();
  });
  byId('open-form').addEventListener('submit', (event) => {
    event.preventDefault();
    openDialog.close();
    watchTheLink(openLinkField.value).then((watched) => {
      if (!watched) backToCommandLine();
    });
  });
}

// watch starts watching a record on the page.
export function connectSavedGames({ watch }) {
  watchOnPage = watch;
  newGame.addEventListener('click', startNewGame);
  saveRecord.addEventListener('click', saveTheRecord);
  saveTranscript.addEventListener('click', saveTheTranscript);
  connectOpenRecord();
  recordFile.addEventListener('change', () => {
    const file = recordFile.files && recordFile.files[0];
    if (file) openTheRecord(file);
  });
}
