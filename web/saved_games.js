// The games kept in the browser: every game is kept as it is played, under
// a key of its own, in the same bytes as a record file; which game a page
// load plays; and the four buttons that start, save, open and transcribe one.
import { backToCommandLine, remember } from './command_line.js';
import { instantiateGame, isGameExit } from './compiled_game.js';
import { say } from './display.js';
import { recordFromLink } from './share.js';
import { byId, game } from './state.js';
import {
  fromStorage, keysInStorage, removeFromStorage, storageKeeps, takeFromStorage, toStorage,
} from './storage.js';
import { askWhereToPlay, holdGame, letGo, whenGameTaken } from './tab_lock.js';

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

// Each game is a record under GAME_PREFIX and the moment it started, with
// the moment it was last played under PLAYED_PREFIX; LAST_GAME names the
// game played last, which a new tab picks up.
const GAME_PREFIX = 'quorrell.game.';
const PLAYED_PREFIX = 'quorrell.played.';
const LAST_GAME = 'quorrell.lastGame';
// What a tab carries over its reloads: the game it plays (its key, and the
// seed of the address that started it), and what the next load is to do: a
// fresh game, or taking its game from another tab.
const PLAYING = 'quorrell.playing';
const FRESH = 'quorrell.fresh';
const TAKE = 'quorrell.take';

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
// 2 has the turn, ten places wide, after the state; format 1 does not, and
// its turns are its lines after the name's.
const HEADER = new RegExp('^Quorrell record\\nformat (?:1\\nseed \\d+\\nstate (open |ended)\\n|' +
  '2\\nseed \\d+\\nstate (open |ended)\\nturn (?=[ \\d]{10}\\n)(\\d+) *\\n)');
// { state: 'open' or 'ended', turn }, or null for text that is no record.
function readHeader(text) {
  const match = HEADER.exec(text.slice(0, 120));
  if (!match) return null;
  if (match[1]) {
    const lines = (text.slice(match[0].length).match(/\n/g) || []).length;
    return { state: match[1].trim(), turn: Math.max(lines - 1, 0) };
  }
  return { state: match[2].trim(), turn: Number(match[3]) };
}

export function isRecord(bytes) {
  return readHeader(bytesToText(bytes.subarray(0, 120))) !== null;
}

// The turns a record's game has taken (the game's own count, record.cpp).
export function recordTurns(bytes) {
  const header = readHeader(bytesToText(bytes));
  return header ? header.turn : 0;
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

function isUnfinished(key) {
  const text = fromStorage('local', key);
  const header = text && readHeader(text);
  return Boolean(header) && header.state === 'open';
}

function newKey() {
  return GAME_PREFIX + new Date().toISOString() + '.' + Math.random().toString(36).slice(2, 6);
}
function startedAt(key) {
  const moment = /^\d{4}-\d\d-\d\dT[\d:.]+Z/.exec(key.slice(GAME_PREFIX.length));
  return moment ? Date.parse(moment[0]) : 0;
}

// The game this page load plays: a kept game picked up, or a new one, with
// its key; or a record watched (chooseToWatch).
let current = { kind: GAME_NEW, key: null, seed: null, bytes: new Uint8Array(0) };
// False when the browser keeps nothing for the site: the game plays, kept
// by nobody, and the player is told once.
let keeping = true;
// Another tab has taken this game, or deleted it: nothing more of it is
// this tab's to write.
let stopped = false;

// ?seed=N in the address, for the game: it plays that town.
function seedOfAddress() {
  return new URLSearchParams(window.location.search).get('seed');
}
export function seedArguments() {
  const seed = seedOfAddress();
  return seed === null ? [] : ['--seed', seed];
}

function playingHere() {
  try {
    const playing = JSON.parse(fromStorage('session', PLAYING));
    return playing && typeof playing.key === 'string' ? playing : null;
  } catch (e) {
    return null;
  }
}
function rememberPlaying(key, seed) {
  toStorage('session', PLAYING, JSON.stringify({ key: key, seed: seed }));
}

// A tab picks up its own game after a reload, and the address's seed starts
// a game only where the tab is not playing one from that address already; a
// tab without a game of its own picks up the game played last unless the
// address has a seed.
function gameToPickUp(seed) {
  const playing = playingHere();
  if (playing) return seed === null || playing.seed === seed ? playing : null;
  const key = seed === null ? fromStorage('local', LAST_GAME) : null;
  return key ? { key: key, seed: null } : null;
}

// The game is picked up when no other tab plays it, or when the player
// takes it from the one that does: true; false when there is nothing to
// pick up, null when the player chose a new game instead.
async function pickUp(playing, take) {
  if (!isUnfinished(playing.key)) return false;
  if (!(await holdGame(playing.key, take))) {
    if ((await askWhereToPlay('This game is open in another tab.', true, true)) === 'new') return null;
    await holdGame(playing.key, true);
  }
  // Read once the game is this tab's: the other wrote its last key before,
  // and may have ended the game while the player was asked.
  const text = fromStorage('local', playing.key);
  const header = text && readHeader(text);
  if (!header || header.state !== 'open') return false;
  current = { kind: GAME_RESUMED, key: playing.key, seed: playing.seed, bytes: textToBytes(text), pinned: true };
  rememberPlaying(playing.key, playing.seed);
  return true;
}

// A new game the player asked for is the tab's own at once, so that a
// reload brings a new game again; one the tab started by itself only once
// it is kept, so that a tab that read nothing picks up the game played
// last, as a new one does.
async function startNewGame(seed, asked) {
  current = { kind: GAME_NEW, key: newKey(), seed: seed, bytes: new Uint8Array(0), pinned: asked };
  if (!keeping) return;
  // A key no other tab can know yet: the game starts without waiting for
  // its lock to be granted.
  holdGame(current.key, false);
  if (asked) rememberPlaying(current.key, seed);
}

let toldNotKept = false;
export async function chooseGame() {
  stopped = false;
  keeping = storageKeeps();
  if (!keeping && !toldNotKept) {
    toldNotKept = true;
    say('This browser keeps nothing for this page, so the games played here are not being kept.');
  }
  const fresh = takeFromStorage('session', FRESH);
  const take = takeFromStorage('session', TAKE);
  const seed = seedOfAddress();
  const playing = keeping && fresh === null ? gameToPickUp(seed) : null;
  const pickedUp = playing ? await pickUp(playing, take !== null) : false;
  if (!pickedUp) await startNewGame(seed, fresh !== null || pickedUp === null);
  return current;
}

// A record watched on the page, from a turn on (0: from its start). The
// game this tab played stays its own, to be picked up again, but another
// tab may take it meanwhile.
export function chooseToWatch(bytes, fromTurn) {
  letGo();
  current = { kind: GAME_WATCHED, key: null, seed: null, bytes: bytes, fromTurn: fromTurn };
  return current;
}

// The kept games change under the Games panel: another tab played or
// deleted one.
let keptGamesChanged = () => {};
export function whenKeptGamesChange(callback) {
  keptGamesChanged = callback;
}

// An undo or a redo starts the game again from what the game before it
// hands over, and the record goes on in the same place.
export function chooseGameStartedAgain(handedOver) {
  current = { ...current, kind: GAME_STARTED_AGAIN, handedOver: handedOver };
  return current;
}

// The game's store (web.cpp's RecordStore): writes change the record here,
// a settle puts all of it in the storage before the game goes on.
function recordWrite(offset, bytes) {
  if (offset + bytes.length > current.bytes.length) {
    const grown = new Uint8Array(offset + bytes.length);
    grown.set(current.bytes);
    current.bytes = grown;
  }
  current.bytes.set(bytes, offset);
  return true;
}
function recordSettle() {
  // The player has been told that nothing is kept, or this tab has given
  // the game up: neither is a failure to tell again.
  if (!keeping || stopped) return true;
  if (!toStorage('local', current.key, bytesToText(current.bytes))) return false;
  if (!current.pinned) {
    current.pinned = true;
    rememberPlaying(current.key, current.seed);
  }
  toStorage('local', PLAYED_PREFIX + current.key.slice(GAME_PREFIX.length), String(Date.now()));
  toStorage('local', LAST_GAME, current.key);
  return true;
}
function recordCut(length) {
  current.bytes = current.bytes.slice(0, length);
  return recordSettle();
}
function forget(key) {
  removeFromStorage('local', key);
  removeFromStorage('local', PLAYED_PREFIX + key.slice(GAME_PREFIX.length));
  if (fromStorage('local', LAST_GAME) === key) removeFromStorage('local', LAST_GAME);
}
function recordForget() {
  if (current.key !== null && keeping && !stopped) forget(current.key);
}

// What the game asks of the page for its record (web.cpp).
export const recordOnPage = {
  remember: remember,
  gameKind: () => current.kind,
  record: () => current.bytes,
  handedOver: () => current.handedOver,
  recordWrite: recordWrite,
  recordSettle: recordSettle,
  recordCut: recordCut,
  recordForget: recordForget,
};

// Records and transcripts are named for a moment: the game's, or now.
function fileStamp(moment = new Date()) {
  const two = (n) => String(n).padStart(2, '0');
  return moment.getFullYear() + '-' + two(moment.getMonth() + 1) + '-' + two(moment.getDate()) + '_' +
    two(moment.getHours()) + '-' + two(moment.getMinutes()) + '-' + two(moment.getSeconds());
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
  return current.bytes.length > 0 ? current.bytes : null;
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

// A new game, another game, an opened record: the page starts again with
// it, and the game playing now stops with the page, kept as it stands.
function startAgain() {
  window.location.replace(window.location.pathname);
}

// "Play from here" while watching: the record up to that command becomes a
// new game, kept beside the player's own, which is left as it is.
export function playOnFrom(bytes, offset, turns) {
  const key = newKey();
  if (!toStorage('local', key, bytesToText(recordPrefix(bytes, offset, turns))) ||
      !toStorage('session', PLAYING, JSON.stringify({ key: key, seed: null }))) {
    removeFromStorage('local', key);
    say('The browser\u2019s storage refused the game (full, or turned off for this site).');
    return;
  }
  toStorage('local', PLAYED_PREFIX + key.slice(GAME_PREFIX.length), String(Date.now()));
  startAgain();
}

function startAFreshGame() {
  toStorage('session', FRESH, '1');
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

const REFUSED = 'The browser\u2019s storage refused the record (full, or turned off for this site).';

// An unfinished record is kept as a game of its own and picked up where it
// stopped, an ended one watched; the game playing now stays kept.
function openTheRecord(file) {
  file.arrayBuffer().then((buffer) => {
    const text = bytesToText(new Uint8Array(buffer));
    const header = readHeader(text);
    if (!header) {
      say('\u201c' + file.name + '\u201d is not a Quorrell record.');
      backToCommandLine();
      return;
    }
    const refused = () => {
      say(REFUSED);
      backToCommandLine();
    };
    if (header.state === 'ended') {
      say('');
      watchOnPage(new Uint8Array(buffer));
      return;
    }
    const key = newKey();
    if (!toStorage('local', key, text) || !toStorage('session', PLAYING, JSON.stringify({ key: key, seed: null }))) {
      removeFromStorage('local', key);
      refused();
      return;
    }
    toStorage('local', PLAYED_PREFIX + key.slice(GAME_PREFIX.length), String(Date.now()));
    startAgain();
  });
}

// The Games panel's view of the kept games, the one played last first:
// { key, bytes, state ('open', 'ended' or 'damaged'), turn, playedAt (a
// Date), here (the unfinished game this tab plays) }; null when the browser
// keeps nothing.
export function keptGames() {
  if (!keeping) return null;
  const games = [];
  for (const key of keysInStorage('local', GAME_PREFIX)) {
    const text = fromStorage('local', key);
    if (text === null) continue;
    const header = readHeader(text) || { state: 'damaged', turn: null };
    const played = Number(fromStorage('local', PLAYED_PREFIX + key.slice(GAME_PREFIX.length))) || startedAt(key);
    games.push({
      key: key,
      bytes: textToBytes(text),
      state: header.state,
      turn: header.turn,
      playedAt: new Date(played),
      here: key === current.key && !stopped && game.running && header.state === 'open',
    });
  }
  return games.sort((one, other) => other.playedAt - one.playedAt || (one.key < other.key ? 1 : -1));
}

// Played on in this tab: put down here, or open in another tab, which is
// then asked.
export function playOn(kept) {
  if (!toStorage('session', PLAYING, JSON.stringify({ key: kept.key, seed: null }))) return;
  startAgain();
}

export function watchGame(kept) {
  watchOnPage(kept.bytes);
}

export function downloadGame(kept) {
  download(kept.bytes, 'quorrell-' + fileStamp(kept.playedAt) + '.rec', 'application/octet-stream');
}

export function deleteGame(kept) {
  forget(kept.key);
}

// This tab stops playing its game, which another tab has taken or deleted,
// writes nothing more of it, and says so.
let haltGame = () => {};
function stopHere(deleted) {
  if (stopped || !game.running || current.kind === GAME_WATCHED) return;
  stopped = true;
  letGo();
  haltGame();
  const question = deleted ? 'This game was deleted in another tab.' : 'This game is now being played in another tab.';
  askWhereToPlay(question, !deleted, false).then((choice) => {
    if (choice === 'new') {
      startAFreshGame();
    } else {
      toStorage('session', TAKE, '1');
      rememberPlaying(current.key, current.seed);
      startAgain();
    }
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

// watch starts watching a record on the page; halt stops the game playing
// on the page, for good.
export function connectSavedGames({ watch, halt }) {
  watchOnPage = watch;
  haltGame = halt;
  whenGameTaken((key) => {
    if (key === current.key) stopHere(false);
  });
  // Another tab wrote or deleted a game: if it is this tab's, that tab has
  // it now.
  window.addEventListener('storage', (event) => {
    if (event.key === null || event.key.startsWith(GAME_PREFIX)) keptGamesChanged();
    if (current.key === null || (event.key !== null && event.key !== current.key)) return;
    stopHere(event.newValue === null);
  });
  newGame.addEventListener('click', startAFreshGame);
  saveRecord.addEventListener('click', saveTheRecord);
  saveTranscript.addEventListener('click', saveTheTranscript);
  connectOpenRecord();
  recordFile.addEventListener('change', () => {
    const file = recordFile.files && recordFile.files[0];
    if (file) openTheRecord(file);
  });
}
