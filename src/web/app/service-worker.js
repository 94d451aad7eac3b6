// Keeps this release's files in a cache of its own, fetched past the HTTP
// cache, and serves them from there, online or not. A later release comes
// with a later worker, found by the browser on a visit: it takes over at once
// and deletes the caches of the releases before it, and the next visit gets
// the later release.
const CACHE = 'curve-viewer-RELEASE';
const FILES = FILE_LIST;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith('curve-viewer-') && name !== CACHE)
    .map((name) => caches.delete(name)))));
});

self.addEventListener('fetch', (event) => {
  event.respondWith(caches.match(event.request, { cacheName: CACHE, ignoreSearch: true })
    .then((cached) => cached || fetch(event.request)));
});
