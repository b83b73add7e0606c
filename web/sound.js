// The game's sounds through Web Audio, on one channel as on the console.
// Browsers let a page make sound only after the player has pressed a key or
// clicked; until then the game's sounds are skipped.
import { showOutput } from './display.js';
import { byId, game } from './state.js';

let audio = null;
let output = null;
const sounds = new Map();
let playing = null;

// The page's own level, over the game's: low is a quarter, about 12 dB down.
const LEVELS = { full: 1, low: 0.25, off: 0 };
let level = LEVELS.full;

export function setVolume(name) {
  level = LEVELS[name] ?? LEVELS.full;
  if (output) output.gain.value = level;
}

function allowSound() {
  if (!audio) {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    audio = new Context();
    output = audio.createGain();
    output.gain.value = level;
    output.connect(audio.destination);
  }
  if (audio.state === 'suspended') audio.resume().catch(() => {});
}
document.addEventListener('keydown', allowSound, true);
document.addEventListener('pointerdown', allowSound, true);
byId('command').addEventListener('input', allowSound);

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

export function stopSound() {
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

// A new sound cuts the one playing. A synchronous sound returns when it
// ends (or when its length has passed, should the audio clock stand still);
// a loop returns at once and plays until replaced.
export async function playSound(stem, loop) {
  showOutput();
  stopSound();
  if (!audio) return;
  const buffer = await loadSound(stem);
  if (!buffer || !game.running) return;
  const source = audio.createBufferSource();
  source.buffer = buffer;
  source.loop = loop;
  source.connect(output);
  playing = source;
  source.start();
  if (loop) return;
  await new Promise((resolve) => {
    source.onended = resolve;
    setTimeout(resolve, buffer.duration * 1000 + 250);
  });
  if (playing === source) playing = null;
}
