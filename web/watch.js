// Watching a record at its own pace: the game plays the record and asks
// the page for each of its waits, and the page keeps the watcher's time:
// Play and Pause, the speed from 1/2x to 8x, Step to the next command, and
// a turn slider that plays the record again up to another turn. "Play from
// here" keeps the record up to the command on the screen as a new game, and
// plays it.
import { byId, game } from './state.js';

const bar = byId('watching');
const playButton = byId('watch-play');
const slowerButton = byId('watch-slower');
const fasterButton = byId('watch-faster');
const speedShown = byId('watch-speed');
const stepButton = byId('watch-step');
const slider = byId('watch-turn');
const turnShown = byId('watch-turn-shown');
const playHereButton = byId('watch-play-here');

const SPEEDS = [0.5, 1, 2, 4, 8];
const SPEED_NAMES = ['\u00bd\u00d7', '1\u00d7', '2\u00d7', '4\u00d7', '8\u00d7'];

const watch = {
  record: null,
  speed: 1,
  paused: false,
  // To the next command: no waits until the record answers its prompt.
  skipping: false,
  // The last command reached: its turn and where it starts in the record.
  turn: 0,
  offset: -1,
  // Starts the record again, from a turn (main.js).
  restart: null,
  // Keeps a record as a new game and plays it (saved_games.js).
  playOn: null,
  // What a wait does when something changes.
  wake: null,
};

function nudge() {
  const wake = watch.wake;
  watch.wake = null;
  if (wake) wake();
}

function showState() {
  playButton.textContent = watch.paused ? 'Play' : 'Pause';
  speedShown.textContent = SPEED_NAMES[watch.speed];
  slowerButton.disabled = watch.speed === 0;
  fasterButton.disabled = watch.speed === SPEEDS.length - 1;
  turnShown.textContent = slider.value + ' of ' + slider.max;
  playHereButton.disabled = watch.offset < 0;
}

// A wait of the game, at the watcher's speed; held while paused, and over
// at once while skipping to the next command. The wait of a game left
// behind never ends.
function watchWait(generation, milliseconds) {
  return new Promise((resolve) => {
    let left = milliseconds;
    const step = () => {
      if (generation !== game.generation) return;
      if (watch.skipping || (left <= 0 && !watch.paused)) {
        resolve();
        return;
      }
      if (watch.paused) {
        watch.wake = step;
        return;
      }
      const speed = SPEEDS[watch.speed];
      const started = performance.now();
      const timer = setTimeout(() => {
        watch.wake = null;
        left = 0;
        step();
      }, left / speed);
      watch.wake = () => {
        clearTimeout(timer);
        left -= (performance.now() - started) * speed;
        step();
      };
    };
    step();
  });
}

// A read the record answers: a command ends a skip, and its turn moves the
// slider.
function watchRead(command, turn, offset) {
  if (command && watch.skipping) watch.skipping = false;
  if (turn >= 1) {
    watch.turn = turn;
    watch.offset = offset;
    slider.value = String(turn);
  }
  showState();
}

// What the game asks of the page while it watches, for one game; a skip
// to the next command skips the sounds on the way too.
export function watchingPage(generation, fromTurn, playSound) {
  return {
    watchWait: (milliseconds) => watchWait(generation, milliseconds),
    watchRead: watchRead,
    watchFromTurn: () => fromTurn,
    playSound: (stem, loop) => (watch.skipping ? Promise.resolve() : playSound(stem, loop)),
  };
}

function togglePause() {
  watch.paused = !watch.paused;
  showState();
  nudge();
}

function changeSpeed(by) {
  watch.speed = Math.min(SPEEDS.length - 1, Math.max(0, watch.speed + by));
  showState();
  nudge();
}

function skipToTheNextCommand() {
  watch.skipping = true;
  nudge();
}

// The watching starts (again) on the page: from the start, or from a turn
// sought with the slider. turns is how many the record holds.
export function showWatching(record, turns, fromTurn) {
  watch.record = record;
  watch.skipping = false;
  watch.wake = null;
  watch.offset = -1;
  slider.max = String(turns);
  slider.value = String(fromTurn);
  bar.hidden = false;
  showState();
}

export function hideWatching() {
  watch.record = null;
  watch.paused = false;
  bar.hidden = true;
}

function watchingKey(event) {
  if (!watch.record || bar.hidden || event.ctrlKey || event.metaKey || event.altKey) return;
  const onControl = event.target.closest && event.target.closest('button, input, select, textarea, a, dialog');
  const key = event.key;
  let act = null;
  if (key === ' ' && !onControl) act = togglePause;
  else if (key === '+' || key === '=') act = () => changeSpeed(1);
  else if (key === '-' || key === '_') act = () => changeSpeed(-1);
  else if (key === '.' || (key === 'ArrowRight' && !onControl)) act = skipToTheNextCommand;
  if (act) {
    event.preventDefault();
    act();
  }
  // The game watched reads no key: none reaches the command line, for a
  // game that might be waiting there.
  if (act || key === 'Escape' || (key.length === 1 && !onControl)) event.stopPropagation();
}

// A record's bytes watched on the page from its start, as a game from a
// list of games is.
export function watchRecordOnPage(bytes) {
  watch.restart(bytes, 0);
}

export function connectWatching({ restart, playOn }) {
  watch.restart = restart;
  watch.playOn = playOn;
  playButton.addEventListener('click', togglePause);
  slowerButton.addEventListener('click', () => changeSpeed(-1));
  fasterButton.addEventListener('click', () => changeSpeed(1));
  stepButton.addEventListener('click', () => {
    watch.paused = true;
    showState();
    skipToTheNextCommand();
  });
  slider.addEventListener('input', showState);
  slider.addEventListener('change', () => watch.restart(watch.record, Number(slider.value)));
  playHereButton.addEventListener('click', () => {
    if (watch.offset >= 0) watch.playOn(watch.record, watch.offset, watch.turn - 1);
  });
  document.addEventListener('keydown', watchingKey, true);
}
