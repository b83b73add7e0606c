// Keeps the site for play without a network. The build puts a digest of
// the site's files, its sounds among them, into the cache's name, so a new
// build installs beside the old one; it takes the old one's place when the
// page says that no game is lost by it (or when no page is open). The page,
// once its game is up, asks for the sounds, which are then kept one after
// another in the background.
const CACHE = 'quorrell-@SITE_VERSION@';
const SITE = [
  './', 'index.html', 'quorrell.js', 'quorrell.wasm', 'manifest.webmanifest', 'icon.svg', 'icon-192.png',
  'icon-512.png',
];
const SOUNDS = ['@SOUNDS@'];

const fresh = (file) => new Request(file, { cache: 'no-cache' });

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(SITE.map(fresh))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith('quorrell-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// Each sound not kept yet, one at a time so the game's own requests come
// first; one that cannot be fetched now is asked for again next time.
async function keepSounds() {
  const cache = await caches.open(CACHE);
  for (const sound of SOUNDS) {
    if (await cache.match(sound)) continue;
    try {
      const response = await fetch(fresh(sound));
      if (response.ok) await cache.put(sound, response);
    } catch (e) {
      // No network: the sounds are kept on a later visit.
    }
  }
}

self.addEventListener('message', (event) => {
  if (event.data === 'keep sounds') event.waitUntil(keepSounds());
  else if (event.data === 'take over') self.skipWaiting();
  else if (event.data === 'version') event.source.postMessage({ version: CACHE });
});

// The kept copy first; a sound from the network is kept once it has come.
// The page's address with ?seed=N is the same page.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== self.location.origin) return;
  event.respondWith(caches.open(CACHE).then(async (cache) => {
    const kept = await cache.match(request, { ignoreSearch: request.mode === 'navigate' });
    if (kept) return kept;
    const response = await fetch(request);
    if (response.ok && /\/data\/[^/]+\.wav$/.test(url.pathname)) await cache.put(request, response.clone());
    return response;
  }));
});
