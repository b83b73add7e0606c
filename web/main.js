// The page around the game, and the game's arrival: the one module the page
// loads. The game itself runs in quorrell.wasm and calls back into `page`
// below (src/platform/web/web.cpp); each concern of the page is a module of
// its own.
import {
  backToCommandLine, clearCommandLine, connectCommandLine, dropTypedKeys, forgetCommands, nextKeyByte, peekKeyByte,
  showWhatIsAwaited, waitFor,
} from './command_line.js';
import { compileGame, instantiateGame, isGameExit } from './compiled_game.js';
import { announce, clearDisplay, drawSoon, echo, output, say, showOutput } from './display.js';
import { connectGamesPanel } from './games_panel.js';
import { layout } from './layout.js';
import { keepOffline, startsWithNewVersion } from './offline.js';
import {
  GAME_WATCHED, chooseGame, chooseGameStartedAgain, chooseToWatch, connectSavedGames, currentRecord, playOnFrom,
  recordOnPage, recordTurns, seedArguments, watchTheLink,
} from './saved_games.js';
import { connectSettings } from './settings.js';
import { connectSharing, packedRecordIn } from './share.js';
import { playSound, stopSound } from './sound.js';
import { AWAIT_NOTHING, byId, game } from './state.js';
import { caughtUp, connectUndo, showSteps } from './undo.js';
import { connectWatching, hideWatching, showWatching, watchingPage } from './watch.js';

const status = byId('status');
const form = byId('command-line');
const field = byId('command');
const gameOver = byId('game-over');
const playAgain = byId('play-again');

function fail(message) {
  status.textContent = message;
  status.classList.add('failed');
  status.hidden = false;
  form.hidden = true;
}

function couldNotLoad(error) {
  game.running = false;
  console.error(error);
  fail('The game could not be loaded. Check the connection and reload the page.');
}

// What a game left behind waits for.
const NEVER = new Promise(() => {});

const page = {
  nextKeyByte: nextKeyByte,
  peekKeyByte: peekKeyByte,
  show: showOutput,
  echo: echo,
  waitFor: waitFor,
  playSound: playSound,
  stopSound: stopSound,
  steps: showSteps,
  // An undo or a redo: a fresh game takes over, and the one that asked
  // waits for nothing ever again.
  startAgain: (handedOver) => {
    startGame({ handedOver }).catch(couldNotLoad);
    return NEVER;
  },
  caughtUp: caughtUp,
  ...recordOnPage,
};

// The game stops for good: it has ended, or another tab plays it now.
function halt() {
  showOutput();
  announce();
  game.running = false;
  game.waitingFor = AWAIT_NOTHING;
  dropTypedKeys();
  stopSound();
  form.hidden = true;
  drawSoon();
}

function endOfGame() {
  halt();
  gameOver.hidden = false;
  showSteps(false, false);
  playAgain.focus();
}

// The page as one game sees it. A game left behind (a record watched from
// another turn, a link opened over a game) goes no further: its waits
// never end, and nothing it does reaches the page.
function pageFor(generation, watching) {
  const calls = { ...page, ...watching };
  const current = {};
  for (const [name, call] of Object.entries(calls)) {
    current[name] = (...args) => {
      if (generation === game.generation) return call(...args);
      return ['nextKeyByte', 'playSound', 'watchWait'].includes(name) ? NEVER : -1;
    };
  }
  return current;
}

// A game to play, a record to watch ({ bytes, fromTurn }), or the game
// started again by an undo or a redo ({ handedOver }).
async function startGame(how = null) {
  const generation = ++game.generation;
  stopSound();
  gameOver.hidden = true;
  form.hidden = true;
  game.running = false;
  // A game started again brings back its commands itself, and what was
  // typed ahead still goes to it.
  if (how && how.handedOver) forgetCommands();
  else clearCommandLine();
  showSteps(false, false);
  game.waitingFor = AWAIT_NOTHING;
  clearDisplay();
  // Which game, before anything is shown of it: the tab may have to ask.
  let chosen = null;
  if (how && how.handedOver) chosen = chooseGameStartedAgain(how.handedOver);
  else if (how) chosen = chooseToWatch(how.bytes, how.fromTurn);
  else chosen = await chooseGame();
  if (generation !== game.generation) return;
  game.running = true;
  const watching = chosen.kind === GAME_WATCHED;
  form.hidden = watching;
  if (watching) {
    showWatching(chosen.bytes, recordTurns(chosen.bytes), chosen.fromTurn);
  } else {
    hideWatching();
    showWhatIsAwaited();
    field.focus({ preventScroll: true });
  }
  layout();
  createQuorrell({
    page: pageFor(generation, watching ? watchingPage(generation, chosen.fromTurn, playSound) : {}),
    arguments: seedArguments(),
    stdout: (byte) => {
      if (byte !== null && generation === game.generation) output(byte);
    },
    // What the game says on standard error (a game that can no longer be
    // saved) is for the player.
    printErr: (text) => {
      console.warn(text);
      say(text);
    },
    onExit: () => {
      if (generation === game.generation) endOfGame();
    },
    instantiateWasm: instantiateGame(couldNotLoad),
  }).catch(couldNotLoad);
}

window.addEventListener('error', (event) => {
  if (isGameExit(event.error)) event.preventDefault();
});
window.addEventListener('unhandledrejection', (event) => {
  if (isGameExit(event.reason)) event.preventDefault();
});

function watchRecord(bytes, fromTurn = 0) {
  startGame({ bytes, fromTurn }).catch(couldNotLoad);
}

// A shared link watches its game; a damaged one is told, and the page
// plays as it would without it.
async function arrive() {
  if (packedRecordIn(window.location.hash) !== null && await watchTheLink(window.location.hash)) return;
  await startGame();
}

connectSettings({ relayout: layout, backToCommandLine });
connectCommandLine(keepOffline);
connectSavedGames({ watch: watchRecord, halt });
connectGamesPanel();
connectSharing(currentRecord);
connectWatching({ restart: watchRecord, playOn: playOnFrom });
connectUndo();
playAgain.addEventListener('click', () => {
  if (!startsWithNewVersion()) startGame().catch(couldNotLoad);
});
window.addEventListener('hashchange', () => {
  if (packedRecordIn(window.location.hash) !== null) watchTheLink(window.location.hash);
});

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
  arrive().catch(couldNotLoad);
}
