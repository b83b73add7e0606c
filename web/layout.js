// The console's 80 columns and 25 rows where they fit the window, else the
// text flowing in the window's width; the page's controls in one row under
// it, those that do not fit folded into the menu at the row's end; and on a
// phone, the page kept above the keyboard.
import { screen } from './display.js';
import { textScale } from './settings.js';
import { byId } from './state.js';

const root = document.documentElement;
const frame = document.querySelector('.frame');
const main = document.querySelector('main');
const bar = document.querySelector('.bar');
const screenElement = byId('screen');
const controls = byId('controls');
const more = byId('more');
const moreControls = byId('more-controls');
const moreHome = more.parentElement;

const COLUMNS = 80;
const ROWS = 25;
const LINE_HEIGHT = 1.25;
const SMALLEST_TEXT = 12;
// A screen of fewer lines than this, and the sign and the controls' row
// give it their room: the keyboard is up on a phone.
const FEWEST_LINES = 6;
// The most the console's frame, padding and scroll bar take beside its 80
// columns.
const CONSOLE_SIDES = 100;
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
  root.style.setProperty('--text', pixels.toFixed(2) + 'px');
}

// ---- The controls' row and its menu ---------------------------------------

// What folds, in the page's order: every button, field and slider of the
// controls' row (a label with the field it holds), whatever module put it
// there; a panel of its own stays whole where it is.
function foldable() {
  const items = [];
  for (const control of controls.querySelectorAll('button, input, select')) {
    const item = control.closest('label') || control;
    if (item === more || item.hidden || item.closest('[role="dialog"], dialog, .panel')) continue;
    if (!items.includes(item)) items.push(item);
  }
  return items;
}

// Where each folded control came from, the last folded last.
const folded = [];

function unfold() {
  while (folded.length) {
    const { item, parent, next } = folded.pop();
    parent.insertBefore(item, next && next.parentNode === parent ? next : null);
  }
}

function foldAway(item) {
  folded.push({ item, parent: item.parentNode, next: item.nextSibling });
  moreControls.prepend(item);
}

export function openMenu(open) {
  moreControls.hidden = !open;
  more.setAttribute('aria-expanded', String(open));
}

// In one row, or with the keyboard up all of them behind the one button
// beside the command line. Measured once, all in the row with the menu's
// button: the page loads without a layout for each control.
function foldControls(all) {
  watcher.disconnect();
  openMenu(false);
  unfold();
  if (all) bar.append(moreHome);
  else controls.append(moreHome);
  const items = foldable();
  let kept = all ? 0 : items.length;
  if (!all) {
    more.hidden = false;
    const widths = items.map((item) => item.getBoundingClientRect().width);
    const gap = parseFloat(getComputedStyle(controls).columnGap) || 0;
    const room = controls.clientWidth;
    const width = (count) => widths.slice(0, count).reduce((sum, each) => sum + each + gap, 0);
    if (width(items.length) - gap > room) {
      const button = more.getBoundingClientRect().width;
      while (kept > 0 && width(kept) + button > room) --kept;
    } else {
      kept = items.length;
    }
  }
  for (let index = items.length - 1; index >= kept; --index) foldAway(items[index]);
  more.hidden = kept === items.length;
  watchControls();
}

// A control another module adds, shows or hides takes its place at once.
const watcher = new MutationObserver((records) => {
  if (records.some((record) => record.target !== more && record.target !== moreControls)) layoutSoon();
});
function watchControls() {
  watcher.observe(controls, { childList: true, subtree: true, attributes: true, attributeFilter: ['hidden'] });
}

function connectMenu() {
  more.addEventListener('click', (event) => {
    const open = moreControls.hidden;
    openMenu(open);
    // From the keyboard, the keys go into the menu; a tap leaves a phone's
    // keyboard where it is.
    const first = moreControls.querySelector('button:not(:disabled), input, select');
    if (open && event.detail === 0 && first) first.focus();
  });
  // A tap on the menu keeps the focus, and so the phone's keyboard, where
  // it is.
  for (const element of [more, moreControls]) {
    element.addEventListener('pointerdown', (event) => {
      if (event.target.closest('button')) event.preventDefault();
    });
  }
  // Chosen, or left: a control in it has done its work, or the player has
  // gone elsewhere.
  moreControls.addEventListener('click', (event) => {
    if (event.target.closest('button')) openMenu(false);
  });
  moreHome.addEventListener('focusout', (event) => {
    if (!moreHome.contains(event.relatedTarget) && event.relatedTarget) openMenu(false);
  });
  document.addEventListener('pointerdown', (event) => {
    if (!moreHome.contains(event.target)) openMenu(false);
  });
  moreHome.addEventListener('keydown', (event) => {
    if (event.key !== 'Escape' || moreControls.hidden) return;
    event.stopPropagation();
    openMenu(false);
    more.focus();
  });
}

// ---- The screen's size ------------------------------------------------------

function sides(element) {
  const style = getComputedStyle(element);
  return parseFloat(style.paddingLeft) + parseFloat(style.paddingRight) +
    parseFloat(style.borderLeftWidth) + parseFloat(style.borderRightWidth);
}

// The console where it fits the window at the chosen size or a little
// under it, the sign, the command line and the controls in view with it;
// else the text flows in the window's width at the chosen size.
export function layout() {
  const rootSize = parseFloat(getComputedStyle(root).fontSize) || 16;
  const chosen = rootSize * textScale();
  if (!characterWidth) characterWidth = measureCharacterWidth();

  const shape = root.classList;
  // Trying the console where it cannot fit would move the page about
  // before the player's eyes as it loads.
  const smallest = Math.max(SMALLEST_TEXT, 0.75 * chosen);
  if (root.clientWidth < COLUMNS * characterWidth * smallest + CONSOLE_SIDES) {
    flow(chosen);
    return;
  }
  shape.add('console');
  shape.remove('flow', 'compact');
  setTextSize(chosen);
  foldControls(false);
  const scrollbar = screenElement.offsetWidth - screenElement.clientWidth -
    parseFloat(getComputedStyle(screenElement).borderLeftWidth) * 2;
  root.style.setProperty('--scrollbar', Math.max(scrollbar, 0) + 'px');
  const screenHeight = ROWS * LINE_HEIGHT * chosen;
  const otherWidth = sides(main) + sides(frame) + sides(screenElement) + Math.max(scrollbar, 0) + 2;
  const otherHeight = main.offsetHeight - screenHeight;
  const fits = Math.min((root.clientWidth - otherWidth) / (COLUMNS * characterWidth),
    (root.clientHeight - otherHeight) / (ROWS * LINE_HEIGHT));
  if (fits >= smallest) {
    setTextSize(Math.min(chosen, Math.floor(fits * 4) / 4));
    fitToViewport();
    laidOut();
  } else {
    flow(chosen);
  }
}

// The text flowing in the window's width, and where the window is too
// short, the screen and the command line alone.
function flow(chosen) {
  const shape = root.classList;
  shape.remove('console', 'compact');
  shape.add('flow');
  setTextSize(chosen);
  fitToViewport();
  foldControls(false);
  if (screenElement.clientHeight < FEWEST_LINES * LINE_HEIGHT * chosen) {
    shape.add('compact');
    foldControls(true);
  }
  laidOut();
}

// The controls' row shows once it is folded to the window's width.
function laidOut() {
  root.classList.add('laid-out');
  screen.scrollToEnd();
}

// On a phone the page is as tall as what the keyboard leaves of the
// window, so the command line stays in view above it.
function fitToViewport() {
  const height = window.visualViewport ? window.visualViewport.height : window.innerHeight;
  root.style.setProperty('--app-height', height + 'px');
  if (root.classList.contains('flow') && window.visualViewport) window.scrollTo(0, 0);
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

connectMenu();
watchControls();
window.addEventListener('resize', layoutSoon);
if (window.visualViewport) window.visualViewport.addEventListener('resize', layoutSoon);
// A line the page says, or anything else that grows the page around the
// console, takes its room from the console's text.
let mainHeight = null;
new ResizeObserver(() => {
  const height = main.offsetHeight;
  if (mainHeight !== null && height !== mainHeight && root.classList.contains('console')) layoutSoon();
  mainHeight = height;
}).observe(main);
