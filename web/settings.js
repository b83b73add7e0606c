// The page's settings: the text's size and a light or dark screen, which
// follow the system until the player chooses, and the page's volume; a
// choice stays.
import { setVolume } from './sound.js';
import { storedSetting, storeSetting } from './storage.js';
import { byId } from './state.js';

const smaller = byId('smaller');
const larger = byId('larger');
const dark = byId('dark');
const volume = byId('volume');

// Steps of the browser's own text size.
const SIZES = [0.875, 1, 1.125, 1.25, 1.5, 1.75];
let sizeStep = SIZES.indexOf(Number(storedSetting('textSize')));
if (sizeStep < 0) sizeStep = SIZES.indexOf(1);

// The chosen size as a share of the browser's own.
export function textScale() {
  smaller.disabled = sizeStep === 0;
  larger.disabled = sizeStep === SIZES.length - 1;
  return SIZES[sizeStep];
}

const systemDark = window.matchMedia('(prefers-color-scheme: dark)');
let theme = storedSetting('theme');

function applyTheme() {
  const isDark = theme ? theme === 'dark' : systemDark.matches;
  document.documentElement.dataset.theme = isDark ? 'dark' : 'light';
  dark.setAttribute('aria-pressed', String(isDark));
}

// How loud the page plays the game's sounds. Whether the game plays them
// at all, and so its pauses and its sound words, is the game's own setting
// (its sound command): off here, a sound still takes its time in silence.
const VOLUMES = ['full', 'low', 'off'];
let volumeStep = Math.max(VOLUMES.indexOf(storedSetting('volume')), 0);

function applyVolume() {
  volume.textContent = 'Volume: ' + VOLUMES[volumeStep];
  setVolume(VOLUMES[volumeStep]);
}

// What the page does once a setting has changed: the text is laid out
// again at its new size, and the keys go back to the command line.
export function connectSettings({ relayout, backToCommandLine }) {
  systemDark.addEventListener('change', applyTheme);
  applyTheme();
  dark.addEventListener('click', () => {
    theme = document.documentElement.dataset.theme === 'dark' ? 'light' : 'dark';
    storeSetting('theme', theme);
    applyTheme();
    backToCommandLine();
  });
  function resize(step) {
    sizeStep = Math.min(Math.max(sizeStep + step, 0), SIZES.length - 1);
    storeSetting('textSize', String(SIZES[sizeStep]));
    relayout();
    backToCommandLine();
  }
  smaller.addEventListener('click', () => resize(-1));
  larger.addEventListener('click', () => resize(1));
  applyVolume();
  volume.addEventListener('click', () => {
    volumeStep = (volumeStep + 1) % VOLUMES.length;
    storeSetting('volume', VOLUMES[volumeStep]);
    applyVolume();
    backToCommandLine();
  });
}
