// Keeps the site for play without a network. The build puts a digest of
// the site's files into the cache's name, so a new build installs beside the
// old one and takes its place; the sounds are kept as each is first heard.
const CACHE = 'quorrell-@SITE_VERSION@';
const SITE = [
  './', 'index.html', 'quorrell.js', 'quorrell.wasm', 'manifest.webmanifest', 'icon.svg', 'icon-192.png',
  'icon-512.png',
];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(SITE.map((file) => new Request(file, { cache: 'no-cache' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith('quorrell-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
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
