// Writes the site's service worker into its folder: the worker keeps every
// other file of the folder, and the folder itself, in a cache named after
// the SHA-256 hash of those files and of the worker's own code, so that each
// release has a cache and a worker of its own.
//
// Usage: node write-service-worker.mjs SITE_FOLDER
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const WORKER = 'service-worker.js';
const folder = process.argv[2];
const files = readdirSync(folder).filter((name) => name !== WORKER).sort();
const template = readFileSync(new URL(WORKER, import.meta.url), 'utf8');
const hash = createHash('sha256').update(template);
for (const name of files) {
  hash.update(`${name}\0`).update(readFileSync(join(folder, name)));
}
const release = hash.digest('hex').slice(0, 16);
writeFileSync(join(folder, WORKER),
  template.replace('RELEASE', release).replace('FILE_LIST', JSON.stringify(['./', ...files])));
