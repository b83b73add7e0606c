// Undo and Redo: two buttons at the end of the command line and their keys, Alt+U
// and Alt+R as on the terminal, and Ctrl+Z and Ctrl+Shift+Z while the
// field is empty. Each reaches the game as the terminal's keys do, Escape
// and a letter, which the game's own line editor takes as a step back or
// forward: the game is then started again from its record (web.cpp), and
// says at each question whether either can do anything.
import { backToCommandLine, sendKeys } from './command_line.js';
import { screen, showOutput, tell } from './display.js';
import { byId } from './state.js';

const undoButton = byId('undo');
const redoButton = byId('redo');
const field = byId('command');

const ESCAPE = 27;
const UNDO = [ESCAPE, 'u'.charCodeAt(0)];
const REDO = [ESCAPE, 'r'.charCodeAt(0)];

function step(keys) {
  sendKeys(keys);
  backToCommandLine();
}

// What the game says can be done where it waits now.
export function showSteps(canUndo, canRedo) {
  undoButton.disabled = !canUndo;
  redoButton.disabled = !canRedo;
}

// The game started again has been played back to where the player is: its
// text is on the screen already, and a screen reader hears only what the
// step did ("Undone: look").
export function caughtUp(said) {
  showOutput();
  screen.takePassage();
  tell(said);
}

function onKeyDown(event) {
  if (event.isComposing) return;
  const control = event.ctrlKey || event.metaKey;
  let keys = null;
  if (event.altKey && !control && !event.shiftKey && event.code === 'KeyU') keys = UNDO;
  else if (event.altKey && !control && !event.shiftKey && event.code === 'KeyR') keys = REDO;
  // The field's own undo while there is text in it.
  else if (control && !event.altKey && event.code === 'KeyZ' && field.value === '') keys = event.shiftKey ? REDO : UNDO;
  if (!keys) return;
  event.preventDefault();
  step(keys);
}

export function connectUndo() {
  for (const [button, keys] of [[undoButton, UNDO], [redoButton, REDO]]) {
    // The phone's keyboard stays up, wherever the button has folded to.
    button.addEventListener('pointerdown', (event) => event.preventDefault());
    button.addEventListener('click', () => step(keys));
  }
  document.addEventListener('keydown', onKeyDown);
}
