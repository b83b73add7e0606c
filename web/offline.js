// The site kept for play without a network (sw.js): the service worker is
// asked for once the game is up, so it never slows the game's arrival, and
// then keeps every sound in the background. A new version found then is
// taken at once if nothing is lost by it; a game in progress plays on to its
// end with the old one, and the next game starts with the new.
import { say } from './display.js';
import { recordOnPage } from './saved_games.js';
import { game } from './state.js';

// The cache this page came in, named by the build for the site's version.
const CACHE = 'quorrell-' + document.documentElement.dataset.version;
const RELOADED = 'quorrell.reloadedFor';
const NEW_VERSION_LATER = 'A new version is ready: it starts with your next game';

let asked = false;
// A new version installed and waiting for its moment, or already in charge
// while this page plays on with the old one.
let waiting = null;
let replaced = false;

// A game is in progress from the first key read until its end.
function gameInProgress() {
  return game.running && recordOnPage.record().length > 0;
}

function keepSounds() {
  if (navigator.serviceWorker.controller) navigator.serviceWorker.controller.postMessage('keep sounds');
}

function startAgain(reason) {
  // Once for each version: a site whose page does not match its worker's
  // cache must not start again for ever.
  try {
    if (sessionStorage.getItem(RELOADED) === reason) return;
    sessionStorage.setItem(RELOADED, reason);
  } catch (e) {
    // Without the storage, once is all the page can tell.
  }
  window.location.reload();
}

function newVersionFound(worker) {
  waiting = worker;
  if (gameInProgress()) say(NEW_VERSION_LATER);
  else worker.postMessage('take over');
}

// The worker in charge says which version it keeps: one not this page's
// has taken over the site (this page or another let it in).
function askVersion() {
  if (navigator.serviceWorker.controller) navigator.serviceWorker.controller.postMessage('version');
}

function versionKept(kept) {
  if (kept === CACHE) return;
  replaced = true;
  if (gameInProgress()) say(NEW_VERSION_LATER);
  else startAgain(kept);
}

function watch(worker) {
  if (!worker) return;
  if (worker.state === 'installed') newVersionFound(worker);
  else worker.addEventListener('statechange', () => worker.state === 'installed' && newVersionFound(worker));
}

// Called each time the game asks the player something.
export function keepOffline() {
  if (asked || !('serviceWorker' in navigator)) return;
  asked = true;
  navigator.serviceWorker.addEventListener('message', (event) => {
    if (event.data && event.data.version) versionKept(event.data.version);
  });
  navigator.serviceWorker.startMessages();
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    keepSounds();
    askVersion();
  });
  navigator.serviceWorker.register('sw.js')
    .then((registration) => {
      // The first visit's worker installs this very version.
      if (navigator.serviceWorker.controller) {
        watch(registration.waiting || registration.installing);
        registration.addEventListener('updatefound', () => watch(registration.installing));
        registration.update().catch(() => {});
      }
      askVersion();
    })
    .then(() => navigator.serviceWorker.ready)
    .then(keepSounds)
    .catch((error) => console.warn(error));
}

// The next game starts with the new version, if there is one: the page
// starts again with it.
export function startsWithNewVersion() {
  if (waiting && waiting.state === 'installed') waiting.postMessage('take over');
  else if (waiting || replaced) window.location.reload();
  else return false;
  return true;
}
