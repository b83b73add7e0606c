// The command line under the screen and the keys the game reads: a line
// sent whole on Enter, a key sent at once at a one-key question, and what
// the player typed while the game was busy kept for its next question.
import { announce, drawSoon, passageReplayed, refused, screen, showOutput } from './display.js';
import { AWAIT_ANSWER, AWAIT_COMMAND, AWAIT_KEY, AWAIT_NOTHING, byId, game } from './state.js';

const ESCAPE = 27;
const CONTROL_C = 3;
const ENTER = 13;
const BACKSPACE = 127;

const screenElement = byId('screen');
const form = byId('command-line');
const field = byId('command');
const fieldLabel = byId('command-label');
const keys = byId('keys');

const encoder = new TextEncoder();

export function backToCommandLine() {
  if (!form.hidden) field.focus({ preventScroll: true });
}

// Bytes sent and not yet read by the game, in order. Nothing of them is
// drawn until the game reads them: the game draws its own echo.
let keyBytes = [];
let keyWaiter = null;
// Escape or Ctrl-C pressed while the game was busy, for its next key.
let heldKey = null;
// What a line may hold, in the bytes the game counts; none until the game
// has asked for a line.
let lineCap = null;
// Called each time the game asks the player something.
let onQuestion = () => {};

function send(bytes) {
  for (const byte of bytes) keyBytes.push(byte);
  if (keyWaiter && keyBytes.length) {
    const wake = keyWaiter;
    keyWaiter = null;
    wake();
  }
}

export function nextKeyByte() {
  showOutput();
  if (keyBytes.length) return Promise.resolve(keyBytes.shift());
  return new Promise((resolve) => {
    keyWaiter = () => resolve(keyBytes.shift());
  });
}

export function peekKeyByte(offset) {
  return offset < keyBytes.length ? keyBytes[offset] : -1;
}

// A key for a one-key question, or for the next one while the game is
// busy; a line being read has no use for it.
function pressKey(byte) {
  if (!game.running) return;
  if (game.waitingFor === AWAIT_KEY) send([byte]);
  else if (game.waitingFor === AWAIT_NOTHING) heldKey = byte;
}

function byteLength(text) {
  return encoder.encode(text).length;
}

// Control characters are dropped, as the line editor drops them: what
// the field shows is what the game reads.
function printable(text) {
  return text.replace(/[\x00-\x1f\x7f]+/g, (run) => (/[\r\n]/.test(run) ? ' ' : ''));
}

// The longest start of `text` within `room` bytes, in whole characters.
function fitting(text, room) {
  let kept = '';
  let used = 0;
  for (const character of text) {
    const size = byteLength(character);
    if (used + size > room) break;
    kept += character;
    used += size;
  }
  return kept;
}

function trimToCap() {
  if (lineCap === null || byteLength(field.value) <= lineCap) return;
  field.value = fitting(field.value, lineCap);
  refused();
}

// The commands sent before, for Up and Down.
const earlierCommands = [];
let commandAsked = false;
let historyPlace = 0;
let draft = '';

function walkHistory(step) {
  const place = historyPlace + step;
  if (place < 0 || place > earlierCommands.length) return;
  if (historyPlace === earlierCommands.length) draft = field.value;
  historyPlace = place;
  field.value = place === earlierCommands.length ? draft : earlierCommands[place];
  trimToCap();
  field.setSelectionRange(field.value.length, field.value.length);
}

// A command of a resumed game, for Up to bring back.
export function remember(line) {
  passageReplayed();
  if (line && earlierCommands[earlierCommands.length - 1] !== line) earlierCommands.push(line);
  historyPlace = earlierCommands.length;
}

function submitLine() {
  if (!game.running) return;
  const line = field.value;
  // The name is no command: nor is a line typed ahead before the game has
  // asked for its first command.
  const command = game.waitingFor === AWAIT_COMMAND || (game.waitingFor === AWAIT_NOTHING && commandAsked);
  if (command && line && earlierCommands[earlierCommands.length - 1] !== line) earlierCommands.push(line);
  historyPlace = earlierCommands.length;
  draft = '';
  field.value = '';
  send(encoder.encode(line + '\n'));
}

// The keys of the question on the cursor's line, as buttons beside the
// phone's keyboard.
function questionKeys() {
  const question = screen.cursorLine();
  if (/Y or N\s*$/.test(question)) return [['Y', 'y'], ['N', 'n']];
  if (question.includes('Press R to return')) return [['R', 'r'], ['Escape', ESCAPE]];
  if (question.includes('Press escape')) return [['Escape', ESCAPE]];
  return [];
}

export function showWhatIsAwaited() {
  keys.textContent = '';
  form.dataset.waiting = ['busy', 'key', 'line', 'line'][game.waitingFor];
  if (game.waitingFor === AWAIT_KEY) {
    for (const [label, key] of questionKeys()) {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = label;
      button.dataset.key = String(typeof key === 'number' ? key : key.charCodeAt(0));
      keys.appendChild(button);
    }
    field.placeholder = 'Press a key';
    fieldLabel.textContent = 'Answer with a key';
  } else if (game.waitingFor === AWAIT_COMMAND) {
    field.placeholder = 'Type a command, then Enter';
    fieldLabel.textContent = 'Command';
  } else if (game.waitingFor === AWAIT_ANSWER) {
    field.placeholder = 'Type your name, then Enter';
    fieldLabel.textContent = 'Your first name';
  } else {
    // Busy, the game asks nothing.
    field.placeholder = '';
  }
}

export function waitFor(what, cap) {
  game.waitingFor = what;
  if (what !== AWAIT_NOTHING) {
    showOutput();
    announce();
    if (what === AWAIT_KEY) {
      // What was typed while the game was busy answers it, as on a
      // terminal.
      if (!keyBytes.length && heldKey !== null) {
        send([heldKey]);
      } else if (!keyBytes.length && field.value) {
        const first = [...field.value][0];
        field.value = field.value.slice(first.length);
        send(encoder.encode(first));
      }
    } else {
      lineCap = cap;
      if (what === AWAIT_COMMAND) commandAsked = true;
      trimToCap();
    }
    heldKey = null;
    onQuestion();
  }
  showWhatIsAwaited();
  if (what === AWAIT_NOTHING) {
    drawSoon();
  } else {
    // The question shows the moment the game asks it.
    screen.draw(game.running);
    screen.scrollToEnd();
  }
}

// Keys of the page's own buttons (Undo, Redo), sent as if typed, in turn
// after what was sent before.
export function sendKeys(bytes) {
  if (game.running) send(bytes);
}

// A game started again by an undo or a redo brings its commands back
// itself; what was typed ahead still goes to it.
export function forgetCommands() {
  earlierCommands.length = 0;
  historyPlace = 0;
}

// A new game: nothing typed, nothing remembered.
export function clearCommandLine() {
  keyBytes = [];
  heldKey = null;
  earlierCommands.length = 0;
  historyPlace = 0;
  commandAsked = false;
  field.value = '';
}

// The game is over: what was typed for it goes nowhere.
export function dropTypedKeys() {
  keyBytes = [];
}

// A page of the story up or down, a line of the last page still in view.
function scrollStory(direction) {
  const line = parseFloat(getComputedStyle(screenElement).fontSize) * 1.25 || 20;
  screenElement.scrollBy({ top: direction * Math.max(screenElement.clientHeight - line, line) });
}

function hasSelection() {
  if (document.activeElement === field && field.selectionStart !== field.selectionEnd) return true;
  const selection = window.getSelection();
  return Boolean(selection) && !selection.isCollapsed && selection.toString() !== '';
}

const SINGLE_CHARACTER = /^.$/u;

function onKeyDown(event) {
  const key = event.key;
  const control = event.ctrlKey || event.metaKey;
  // The end of input means something on a terminal, and Ctrl-D is the
  // browser's bookmark key: in the page it means nothing.
  if (control && !event.altKey && key.toLowerCase() === 'd') {
    event.preventDefault();
    return;
  }
  if (!game.running || event.isComposing) return;
  const onField = event.target === field;
  // The page's own controls keep their keys (Escape closes what they
  // open), a question's buttons only Enter and the space bar; but a letter
  // typed on a button of the page (not of a dialog over it) is typing, as
  // on a terminal, and goes to the game.
  const pageControl = event.target.closest && event.target.closest('button, input, select, textarea, a');
  const typing = SINGLE_CHARACTER.test(key) && key !== ' ' && !control && !event.altKey &&
    Boolean(pageControl) && pageControl.tagName === 'BUTTON' && !pageControl.closest('dialog');
  if (!onField && pageControl && !(keys.contains(pageControl) && key !== 'Enter' && key !== ' ') && !typing) return;
  if (onField && (key === 'PageUp' || key === 'PageDown') && !control) {
    event.preventDefault();
    scrollStory(key === 'PageUp' ? -1 : 1);
    return;
  }
  if (control && !event.altKey && key.toLowerCase() === 'c') {
    if (hasSelection()) return;
    event.preventDefault();
    pressKey(CONTROL_C);
    return;
  }
  if (key === 'Escape') {
    event.preventDefault();
    pressKey(ESCAPE);
    return;
  }
  if (game.waitingFor === AWAIT_KEY && !control && !event.altKey) {
    let byte = null;
    if (key === 'Enter') byte = [ENTER];
    else if (key === 'Backspace') byte = [BACKSPACE];
    else if (SINGLE_CHARACTER.test(key)) byte = encoder.encode(key);
    if (byte) {
      event.preventDefault();
      send(byte);
      backToCommandLine();
      return;
    }
  }
  if (!onField && !control && (key.length === 1 || key === 'Enter' || key === 'Backspace')) {
    // Typing after selecting text on the screen goes on in the field.
    backToCommandLine();
    return;
  }
  if (onField && (key === 'ArrowUp' || key === 'ArrowDown') && game.waitingFor !== AWAIT_KEY) {
    event.preventDefault();
    walkHistory(key === 'ArrowUp' ? -1 : 1);
  }
}

// Typing and pasting stop at the cap, a character that would not fit
// whole refused whole, as the game's line editor does.
function onBeforeInput(event) {
  if (game.waitingFor === AWAIT_KEY || lineCap === null || event.isComposing) return;
  if (!/^insert(Text|FromPaste|FromDrop|ReplacementText)$/.test(event.inputType)) return;
  const data = event.data !== null ? event.data
    : event.dataTransfer ? event.dataTransfer.getData('text/plain') : '';
  const text = printable(data || '');
  const start = field.selectionStart;
  const end = field.selectionEnd;
  const room = lineCap - byteLength(field.value.slice(0, start) + field.value.slice(end));
  if (text === data && byteLength(text) <= room) return;
  event.preventDefault();
  const kept = fitting(text, Math.max(room, 0));
  if (kept || start !== end) field.setRangeText(kept, start, end, 'end');
  if (kept !== text) refused();
}

// question: called each time the game asks the player something.
export function connectCommandLine(question) {
  onQuestion = question;
  keys.addEventListener('pointerdown', (event) => {
    // The phone's keyboard stays up.
    if (event.target.closest('button')) event.preventDefault();
  });
  keys.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button) return;
    pressKey(Number(button.dataset.key));
    backToCommandLine();
  });

  form.addEventListener('submit', (event) => {
    event.preventDefault();
    if (game.waitingFor === AWAIT_KEY) pressKey(ENTER);
    else submitLine();
  });

  // A phone's keyboard, composing or not, reaches the field as input: at a
  // one-key question each character goes to the game as a key.
  field.addEventListener('input', (event) => {
    if (event.isComposing && game.waitingFor !== AWAIT_KEY) return;
    const clean = printable(field.value);
    if (game.waitingFor === AWAIT_KEY) {
      field.value = '';
      if (clean) send(encoder.encode(clean));
      return;
    }
    if (clean !== field.value) field.value = clean;
    trimToCap();
  });
  field.addEventListener('compositionend', trimToCap);
  field.addEventListener('beforeinput', onBeforeInput);
  document.addEventListener('keydown', onKeyDown);

  // A click on the screen gives the keys back to the command line, unless
  // it selected text to copy; the screen, hidden from screen readers, never
  // keeps the focus.
  screenElement.addEventListener('mouseup', () => {
    if (game.running && !hasSelection()) backToCommandLine();
  });

}
