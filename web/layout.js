// The console's 80 columns and 25 rows where they fit the window, else the
// text flowing in the window's width; and on a phone, the page kept above
// the keyboard.
import { screen } from './display.js';
import { textScale } from './settings.js';
import { byId } from './state.js';

const frame = document.querySelector('.frame');
const main = document.querySelector('main');
const screenElement = byId('screen');

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

// The console where it fits the window at the chosen size or a little
// under it; else the text flows in the window's width at the chosen size.
export function layout() {
  const rootSize = parseFloat(getComputedStyle(document.documentElement).fontSize) || 16;
  const chosen = rootSize * textScale();
  if (!characterWidth) characterWidth = measureCharacterWidth();

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
