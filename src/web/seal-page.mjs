// Writes the linked page with its Content-Security-Policy completed: the
// page's own inline scripts and styles are allowed by their SHA-256 hashes,
// so that no other script or style runs in it. With --app, the page is the
// web app's: it links its manifest and icons, registers its service worker,
// and its policy allows these, from its own origin only.
//
// Usage: node seal-page.mjs LINKED.html SEALED.html [--app]
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';

const [linked, sealed, mode] = process.argv.slice(2);
let page = readFileSync(linked, 'utf8');

// Puts text in the page before the first match of the marker, which must be there.
function insertBefore(marker, text) {
  if (!page.includes(marker)) {
    throw new Error(`seal-page: ${linked} has no ${marker}`);
  }
  page = page.replace(marker, text + marker);
}

if (mode === '--app') {
  insertBefore('</head>', readFileSync(new URL('app/app-head.html', import.meta.url), 'utf8'));
  insertBefore("base-uri 'none'", "manifest-src 'self'; worker-src 'self'; img-src 'self'; ");
}

// The CSP source expressions of the contents of every such element.
function hashes(element) {
  const contents = [...page.matchAll(new RegExp(`<${element}>([\\s\\S]*?)</${element}>`, 'g'))].map((match) => match[1]);
  return contents.map((text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`).join(' ');
}

const scripts = hashes('script');
const styles = hashes('style');
page = page.replace('SCRIPT_HASHES', scripts).replace('STYLE_HASHES', styles);
writeFileSync(sealed, page);
