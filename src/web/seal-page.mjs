// Writes the linked page with its words in each language of the catalogues
// given, compiled by msgfmt, and its Content-Security-Policy completed: the
// page's own inline scripts and styles are allowed by their SHA-256 hashes,
// so that no other script or style runs in it. With --app, the page is the
// web app's: it links its manifest and icons, registers its service worker,
// and its policy allows these, from its own origin only.
//
// Usage: node seal-page.mjs LINKED.html SEALED.html [--app] [LANGUAGE.mo...]
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { basename } from 'node:path';

const [linked, sealed, ...rest] = process.argv.slice(2);
const asApp = rest.includes('--app');
const catalogues = rest.filter((word) => word.endsWith('.mo'));
let page = readFileSync(linked, 'utf8');

// The translations of a compiled catalogue, by their English; its header,
// the translation of the empty string, left out.
function readCatalogue(path) {
  const catalogue = readFileSync(path);
  const littleEndian = catalogue.readUInt32LE(0) === 0x950412de;
  const word = (offset) => (littleEndian ? catalogue.readUInt32LE(offset) : catalogue.readUInt32BE(offset));
  const string = (table, index) => {
    const start = word(table + 8 * index + 4);
    return catalogue.toString('utf8', start, start + word(table + 8 * index));
  };
  const words = {};
  for (let index = 0; index < word(8); ++index) {
    const english = string(word(12), index);
    if (english) {
      words[english] = string(word(16), index);
    }
  }
  return words;
}

// Puts text in the page in place of the first match of the marker, which must be there.
function replaceMarker(marker, text) {
  if (!page.includes(marker)) {
    throw new Error(`seal-page: ${linked} has no ${marker}`);
  }
  page = page.replace(marker, () => text);
}

// Puts text in the page before the first match of the marker.
function insertBefore(marker, text) {
  replaceMarker(marker, text + marker);
}

if (asApp) {
  insertBefore('</head>', readFileSync(new URL('app/app-head.html', import.meta.url), 'utf8'));
  insertBefore("base-uri 'none'", "manifest-src 'self'; worker-src 'self'; img-src 'self'; ");
}

// The CSP source expressions of the contents of every such element.
function hashes(element) {
  const contents = [...page.matchAll(new RegExp(`<${element}>([\\s\\S]*?)</${element}>`, 'g'))].map((match) => match[1]);
  return contents.map((text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`).join(' ');
}

const translations = Object.fromEntries(catalogues.map((path) => [basename(path, '.mo'), readCatalogue(path)]));
// Escaped, so that no translation can end the element that holds them.
replaceMarker('>TRANSLATIONS<', `>${JSON.stringify(translations).replace(/</g, '\\u003c')}<`);

const scripts = hashes('script');
const styles = hashes('style');
page = page.replace('SCRIPT_HASHES', scripts).replace('STYLE_HASHES', styles);
writeFileSync(sealed, page);
