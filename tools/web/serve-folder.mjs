// Serves a folder over http on 127.0.0.1 as a static web host does: each
// file with its type and the time it last changed, so that the browser's
// HTTP cache keeps it as it would any host's, and a folder's address serves
// its index.html.
import { readFile, stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join } from 'node:path';

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json' };

// Answers one request with the file its path names, or with 404.
async function answer(folder, request, response) {
  const path = decodeURIComponent(new URL(request.url, 'http://host').pathname);
  const file = join(folder, path.endsWith('/') ? `${path}index.html` : path);
  try {
    const [contents, { mtime }] = await Promise.all([readFile(file), stat(file)]);
    response.writeHead(200, { 'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream',
      'Last-Modified': mtime.toUTCString() });
    response.end(contents);
  } catch {
    response.writeHead(404).end();
  }
}

// Starts serving the folder on a free port; resolves to its address and a way to stop.
export function serveFolder(folder) {
  const server = createServer((request, response) => answer(folder, request, response));
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
    address: `http://127.0.0.1:${server.address().port}/`,
    stop: () => { server.close(); server.closeAllConnections(); },
  })));
}
