// The Games panel, a dialog over the page: the games kept in this browser,
// the one played last first, each with what can be done with it. Deleting
// asks first.
import { deleteGame, downloadGame, keptGames, playOn, watchGame, whenKeptGamesChange } from './saved_games.js';
import { byId } from './state.js';

const toggle = byId('games');
const panel = byId('games-panel');
const none = byId('games-none');
const list = byId('games-list');
const deleteQuestion = byId('delete-question');
const deleteText = byId('delete-text');

const MONTHS = ['January', 'February', 'March', 'April', 'May', 'June', 'July', 'August', 'September',
  'October', 'November', 'December'];

// As quorrell --games gives it: "9 December 2026 21:14", in the player's
// own time.
function momentOf(date) {
  const two = (n) => String(n).padStart(2, '0');
  return date.getDate() + ' ' + MONTHS[date.getMonth()] + ' ' + date.getFullYear() + ' ' +
    two(date.getHours()) + ':' + two(date.getMinutes());
}

const STATES = { open: 'unfinished', ended: 'ended', damaged: 'damaged' };

// A record put in the storage by hand may have no moment at all.
function whenPlayed(kept) {
  return kept.playedAt.getTime() > 0 ? momentOf(kept.playedAt) : '';
}

function describe(kept) {
  const parts = whenPlayed(kept) ? [whenPlayed(kept)] : [];
  if (kept.turn !== null) parts.push('turn ' + kept.turn);
  parts.push(kept.here ? 'unfinished, played in this tab' : STATES[kept.state]);
  return parts.join(' \u00b7 ');
}

// What can be done with a kept game, one button each, in this order: the
// button's text, the games it is offered for, and what it does with one
// (kept, as saved_games.js's keptGames gives it). The game this tab plays
// is neither picked up again nor deleted from under it.
const actions = [
  { label: 'Play on', offeredFor: (kept) => kept.state === 'open' && !kept.here, act: playOn },
  { label: 'Watch', offeredFor: (kept) => kept.state !== 'damaged', act: (kept) => closeAnd(watchGame, kept) },
  { label: 'Download', offeredFor: () => true, act: downloadGame },
  { label: 'Delete', offeredFor: (kept) => !kept.here, act: askToDelete },
];

// Another action for every game, before the one with the label `before`,
// or last.
export function addGameAction(action, before) {
  const place = actions.findIndex((each) => each.label === before);
  actions.splice(place < 0 ? actions.length : place, 0, action);
  if (panel.open) render();
}

// The panel gives way to what the action shows on the page.
export function closeAnd(act, kept) {
  panel.close();
  act(kept);
}

function focusedButton() {
  const focused = document.activeElement;
  if (!focused || !list.contains(focused)) return null;
  return { key: focused.closest('li').dataset.key, label: focused.textContent };
}

function listItem(kept, index) {
  const item = document.createElement('li');
  item.dataset.key = kept.key;
  const summary = document.createElement('span');
  summary.className = 'summary';
  summary.id = 'kept-game-' + index;
  summary.textContent = describe(kept);
  const buttons = document.createElement('span');
  buttons.className = 'actions';
  for (const action of actions) {
    if (!action.offeredFor(kept)) continue;
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = action.label;
    // Each row's buttons share their names; the row says which game.
    button.setAttribute('aria-describedby', summary.id);
    button.addEventListener('click', () => action.act(kept, button));
    buttons.appendChild(button);
  }
  item.append(summary, buttons);
  return item;
}

// The list drawn again; the button that had the keys keeps them.
function render() {
  const focused = focusedButton();
  const games = keptGames();
  list.textContent = '';
  none.hidden = Boolean(games && games.length);
  none.textContent = games ? 'No game is kept in this browser yet.'
    : 'This browser keeps nothing for this page, so no game is kept.';
  (games || []).forEach((kept, index) => list.appendChild(listItem(kept, index)));
  if (!focused) return;
  const item = [...list.children].find((each) => each.dataset.key === focused.key);
  const button = item && [...item.querySelectorAll('button')].find((each) => each.textContent === focused.label);
  if (button) button.focus();
}

// After a deletion the keys go to the game that took its place, else the
// one before, else the panel's button.
function focusNear(place) {
  const item = list.children[place] || list.children[place - 1];
  (item ? item.querySelector('button') : byId('games-close')).focus();
}

function askToDelete(kept) {
  const turn = kept.turn === null ? '' : ', at turn ' + kept.turn;
  const when = whenPlayed(kept) ? ' last played on ' + whenPlayed(kept) : '';
  deleteText.textContent = 'Delete the ' + STATES[kept.state] + ' game' + when + turn + '? It cannot be brought back.';
  deleteQuestion.returnValue = '';
  deleteQuestion.addEventListener('close', () => {
    if (deleteQuestion.returnValue !== 'delete') return;
    const place = [...list.children].findIndex((each) => each.dataset.key === kept.key);
    deleteGame(kept);
    render();
    focusNear(place);
  }, { once: true });
  deleteQuestion.showModal();
}

// The panel opens over the page, its Close button first, and gives the
// keys back to its own button when it closes.
export function connectGamesPanel() {
  toggle.addEventListener('click', () => {
    render();
    panel.showModal();
  });
  whenKeptGamesChange(() => {
    if (panel.open) render();
  });
  // The keys pressed in the two dialogs are theirs (Escape closes them),
  // never the game's.
  for (const dialog of [panel, deleteQuestion]) dialog.addEventListener('keydown', (event) => event.stopPropagation());
}
