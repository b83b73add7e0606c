// One tab at a time: a kept game is played in one tab only. The tab playing
// it holds a Web Lock named for it, which goes with the tab however it
// closes. A second tab that opens the game finds it held and asks; "Play it
// here" takes the lock, and the first tab, told so, stops.
import { byId } from './state.js';

const status = byId('status');
const question = byId('elsewhere');
const questionText = byId('elsewhere-text');
const playHere = byId('play-here');
const newGameHere = byId('elsewhere-new-game');

// A reload lets go of the old page's lock as that page goes, which may be a
// moment after the new page asks for it.
const WAIT_FOR_A_RELOAD = 1000;

let held = null;
let taken = () => {};

// taken(key): another tab has taken the lock of the game this tab played.
export function whenGameTaken(callback) {
  taken = callback;
}

export function letGo() {
  if (held && held.release) held.release();
  held = null;
}

// True once the game's lock is this tab's: at once when no tab holds it,
// after the reload's moment when another does (take: from it). A browser
// without locks, or one that refuses them with its storage, keeps no tab
// out: a tab still stops when another writes its game.
export function holdGame(key, take) {
  letGo();
  if (!navigator.locks) return Promise.resolve(true);
  return new Promise((resolve) => {
    const waiting = new AbortController();
    const timer = take ? 0 : setTimeout(() => waiting.abort(), WAIT_FOR_A_RELOAD);
    const mine = { key: key, release: null };
    const options = take ? { steal: true } : { signal: waiting.signal };
    let granted = false;
    navigator.locks.request('quorrell.game ' + key, options, () => {
      clearTimeout(timer);
      granted = true;
      held = mine;
      resolve(true);
      return new Promise((release) => {
        mine.release = release;
      });
    }).catch(() => {
      clearTimeout(timer);
      if (!granted) {
        resolve(!waiting.signal.aborted);
      } else if (held === mine) {
        held = null;
        taken(key);
      }
    });
  });
}

// The question a tab asks when its game is played elsewhere: 'here' or
// 'new', as the player answers. Without canPlayHere, only New game. A tab
// just opened offers Play it here at once; one stopped while the player may
// be typing in it has the keys go to the words, where Enter takes nothing.
export function askWhereToPlay(text, canPlayHere, justOpened) {
  const statusWasHidden = status.hidden;
  status.hidden = true;
  questionText.textContent = text;
  playHere.hidden = !canPlayHere;
  question.hidden = false;
  (justOpened ? playHere : questionText).focus();
  return new Promise((resolve) => {
    const answer = (choice) => {
      question.hidden = true;
      status.hidden = statusWasHidden;
      playHere.onclick = null;
      newGameHere.onclick = null;
      resolve(choice);
    };
    playHere.onclick = () => answer('here');
    newGameHere.onclick = () => answer('new');
  });
}
