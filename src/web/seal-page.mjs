// Writes the linked page with its Content-Security-Policy completed: the
// page's own inline scripts and styles are allowed by their SHA-256 hashes,
// so that no other script or style runs in it.
//
// Usage: node seal-page.mjs LINKED.html SEALED.html
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';

const [linked, sealed] = process.argv.slice(2);
let page = readFileSync(linked, 'utf8');

// The CSP source expressions of the contents of every such element.
function hashes(element) {
  const contents = [...page.matchAll(new RegExp(`<${element}>([\\s\\S]*?)</${element}>`, 'g'))].map((match) => match[1]);
  return contents.map((text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`).join(' ');
}

const scripts = hashes('script');
const styles = hashes('style');
page = page.replace('SCRIPT_HASHES', scripts).replace('STYLE_HASHES', styles);
writeFileSync(sealed, page);
