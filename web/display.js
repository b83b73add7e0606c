// The game's screen on the page (screen.js) and what a screen reader hears
// of it: the game's output drawn once per frame, and each passage told once.
import { createScreen } from './screen.js';
import { AWAIT_NOTHING, byId, game } from './state.js';

const screenElement = byId('screen');
const status = byId('status');
const form = byId('command-line');
const field = byId('command');
const story = byId('story');

// A brief shake of the field where a terminal would ring its bell.
export function refused() {
  form.classList.remove('refused');
  void form.offsetWidth;
  form.classList.add('refused');
}
field.addEventListener('animationend', () => form.classList.remove('refused'));

export const screen = createScreen(screenElement, refused);
// A screen reader hears the game from the story, never twice.
for (const part of screenElement.children) part.setAttribute('aria-hidden', 'true');
let pendingOutput = [];
let drawPending = false;

export function drawSoon() {
  if (drawPending) return;
  drawPending = true;
  requestAnimationFrame(() => {
    drawPending = false;
    screen.draw(game.running && game.waitingFor !== AWAIT_NOTHING);
    screen.scrollToEnd();
  });
}

// A byte the game wrote to its standard output; shown at the next stop.
export function output(byte) {
  pendingOutput.push(byte);
}

export function showOutput() {
  if (!pendingOutput.length) return;
  status.hidden = true;
  screen.write(new Uint8Array(pendingOutput), true);
  pendingOutput = [];
  drawSoon();
}

export function echo(bytes) {
  showOutput();
  screen.write(bytes, false);
  drawSoon();
}

// A game picked up after a reload plays again in silence up to where it
// stopped, asking nothing on the way: of all it said, the player hears only
// where he is, what came after the last command he had typed. Called at
// each of those commands.
export function passageReplayed() {
  showOutput();
  screen.takePassage();
}

// Each passage once and whole, when the game stops for the player.
const STORY_LIMIT = 300;
export function tell(text) {
  if (!text) return;
  const passage = document.createElement('p');
  passage.textContent = text;
  story.appendChild(passage);
  while (story.childElementCount > STORY_LIMIT) story.firstElementChild.remove();
}
export function announce() {
  tell(screen.takePassage());
}

// A new game starts on an empty screen, with nothing told yet.
export function clearDisplay() {
  pendingOutput = [];
  screen.reset();
  story.textContent = '';
}

// A line of the page's own under the controls, for what the page has to say.
const notice = byId('notice');
export function say(text) {
  notice.textContent = text;
}
