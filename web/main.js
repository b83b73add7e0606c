// The page around the game, and the game's arrival: the one module the page
// loads. The game itself runs in quorrell.wasm and calls back into `page`
// below (src/platform/web/web.cpp); each concern of the page is a module of
// its own.
import {
  backToCommandLine, clearCommandLine, connectCommandLine, dropTypedKeys, nextKeyByte, peekKeyByte,
  showWhatIsAwaited, waitFor,
} from './command_line.js';
import { compileGame, instantiateGame, isGameExit } from './compiled_game.js';
import { announce, clearDisplay, drawSoon, echo, output, say, showOutput } from './display.js';
import { layout } from './layout.js';
import { keepOffline, startsWithNewVersion } from './offline.js';
import { chooseGame, connectSavedGames, recordOnPage, seedArguments } from './saved_games.js';
import { connectSettings } from './settings.js';
import { playSound, stopSound } from './sound.js';
import { AWAIT_NOTHING, byId, game } from './state.js';

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

const page = {
  nextKeyByte: nextKeyByte,
  peekKeyByte: peekKeyByte,
  show: showOutput,
  echo: echo,
  waitFor: waitFor,
  playSound: playSound,
  stopSound: stopSound,
  ...recordOnPage,
};

function endOfGame() {
  showOutput();
  announce();
  game.running = false;
  game.waitingFor = AWAIT_NOTHING;
  dropTypedKeys();
  stopSound();
  form.hidden = true;
  drawSoon();
  gameOver.hidden = false;
  playAgain.focus();
}

function startGame() {
  gameOver.hidden = true;
  clearCommandLine();
  game.waitingFor = AWAIT_NOTHING;
  clearDisplay();
  game.running = true;
  form.hidden = false;
  showWhatIsAwaited();
  field.focus({ preventScroll: true });
  chooseGame();
  createQuorrell({
    page: page,
    arguments: seedArguments(),
    stdout: (byte) => {
      if (byte !== null) output(byte);
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

window.addEventListener('error', (event) => {
  if (isGameExit(event.error)) event.preventDefault();
});
window.addEventListener('unhandledrejection', (event) => {
  if (isGameExit(event.reason)) event.preventDefault();
});

connectSettings({ relayout: layout, backToCommandLine });
connectCommandLine(keepOffline);
connectSavedGames();
playAgain.addEventListener('click', () => {
  if (!startsWithNewVersion()) startGame();
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
  startGame();
}
