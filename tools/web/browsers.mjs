// The browsers curve-viewer's page is opened in, each driven by what drives
// it here: Chromium through the DevTools protocol and Firefox through WebDriver
// BiDi, both with puppeteer-core, and WebKit's MiniBrowser through W3C
// WebDriver. Each opens one window whose inside is the page, with no toolbar,
// on the X display DISPLAY names, and answers the same calls.
import puppeteer from 'puppeteer-core';

import { execFileSync, spawn } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readdirSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { setTimeout as wait } from 'node:timers/promises';
import { pathToFileURL } from 'node:url';

// Where the window asks to be placed, as curve-viewer asks for its own.
const WINDOW_PLACE = 100;
const START_TIMEOUT_MILLISECONDS = 30000;
const NO_INSTALLABILITY_REPORT = 'cannot: only Chromium tells whether a page is installable';
// The system's locale sources, of Debian's package locales.
const LOCALE_SOURCES = '/usr/share/i18n/locales';

// Ends the browser's process group and removes its profile once this process
// has ended, however it ends: the pipe the watchdog reads closes with it.
function cleanUpAfterUs(processGroup, profile) {
  spawn('bash', ['-c', 'read _; kill -TERM -- "-$0"; sleep 1; kill -KILL -- "-$0"; rm -rf "$1"', String(processGroup), profile],
    { stdio: ['pipe', 'ignore', 'ignore'], detached: true }).unref();
}

// What every browser answers: it passes on what the page logs and requests,
// and says when its process has ended, with why where that was a failure.
// Once told that the page is in a frame, it evaluates in the frame, and only
// evaluateInHost in the page around it.
class BrowserWindow {
  constructor(child) {
    this.processGroup = child.pid;
    this.inFrame = false;
    this.listeners = { console: () => {}, request: () => {}, closed: () => {} };
    child.on('exit', (code, signal) => this.listeners.closed(code || signal ? `status ${code}, signal ${signal}` : null));
  }

  onConsole(listener) { this.listeners.console = listener; }
  onRequest(listener) { this.listeners.request = listener; }
  onClosed(listener) { this.listeners.closed = listener; }
  enterFrame() { this.inFrame = true; }
}

// Asks the browser's first page the question. That page may still be on its
// way to the address the browser was started with, whose navigation ends
// the question: then it is asked again, of the page the browser went to.
async function askedOnceSettled(page, question) {
  for (;;) {
    try {
      return await page.evaluate(question);
    } catch (error) {
      if (!error.message.includes('Execution context was destroyed')) {
        throw error;
      }
    }
  }
}

// A browser puppeteer drives, with the page in its one window.
class PuppeteerBrowser extends BrowserWindow {
  constructor(browser) {
    super(browser.process());
    this.browser = browser;
  }

  async open(url, askTheBlankPage) {
    [this.page] = await this.browser.pages();
    const answer = askTheBlankPage && await askedOnceSettled(this.page, askTheBlankPage);
    this.page.on('console', (message) => this.listeners.console(message.type(), message.text()));
    this.page.on('pageerror', (error) => this.listeners.console('uncaught', error.message));
    this.page.on('request', (request) => this.listeners.request(request.url()));
    await this.page.goto(url);
    return answer;
  }

  evaluate(action) {
    const frame = this.inFrame ? this.page.mainFrame().childFrames()[0] : this.page;
    return frame ? frame.evaluate(action) : Promise.reject(new Error('the frame has not loaded'));
  }

  evaluateInHost(action, ...args) { return this.page.evaluate(action, ...args); }
  click(x, y) { return this.page.mouse.click(x, y); }
  tap(x, y) { return this.page.touchscreen.tap(x, y); }
  reload() { return this.page.reload(); }

  // Whether Chromium would install the page as an app, and the manifest it read.
  async installability() {
    if (this.browser.protocol !== 'cdp') {
      throw new Error(NO_INSTALLABILITY_REPORT);
    }
    const session = await this.page.createCDPSession();
    const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
    const { data } = await session.send('Page.getAppManifest');
    await session.detach();
    return { errors: installabilityErrors.map((error) => error.errorId), manifest: data };
  }

  async close() {
    this.listeners.closed = () => {};
    await this.browser.close().catch(() => {});
  }
}

// The address of an empty page in the profile, where the browser starts.
function startPage(profile) {
  const path = join(profile, 'start.html');
  writeFileSync(path, '<!doctype html><title>start</title>');
  return pathToFileURL(path).href;
}

// What Chromium needs here: WebGL on SwiftShader, no first-run pages, no
// connections of its own, and no sandbox where it runs as root, which the
// sandbox refuses.
const CHROMIUM_ARGUMENTS = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--test-type', '--no-first-run',
  '--disable-sync', '--disable-background-networking', '--disable-component-update',
  ...(process.getuid() === 0 ? ['--no-sandbox'] : [])];

// Starts Chromium with these arguments beside its own, headless or with
// windows. The folder it makes for its singleton socket is kept in the
// profile, so that it goes with it.
export function launchChromium(args, headless, profile) {
  return puppeteer.launch({ executablePath: '/usr/bin/chromium', headless, pipe: true, userDataDir: profile,
    env: { ...process.env, TMPDIR: profile },
    defaultViewport: null, args: [...CHROMIUM_ARGUMENTS, ...args], ignoreDefaultArgs: ['--enable-automation', 'about:blank'],
    handleSIGINT: false, handleSIGTERM: false, handleSIGHUP: false });
}

// Chromium in app mode: a window with nothing but the page, titled by it.
async function openChromium(options, profile) {
  const args = ['--app=data:text/html,', `--window-size=${options.width},${options.height}`,
    `--window-position=${WINDOW_PLACE},${WINDOW_PLACE}`, `--force-device-scale-factor=${options.scale}`];
  if (!options.webgl) {
    args.push('--disable-3d-apis');
  }
  // Without its compilers V8 has no WebAssembly; --noexpose_wasm leaves it there.
  if (!options.webassembly) {
    args.push('--js-flags=--jitless');
  }
  if (options.touch) {
    args.push('--touch-events=enabled');
  }
  // On Linux, --lang names only the language of Chromium's own menus.
  if (options.language) {
    args.push(`--accept-lang=${options.language}`);
  }
  const chromium = await launchChromium(args, false, profile);
  if (!options.javascript) {
    const [page] = await chromium.pages();
    await page.setJavaScriptEnabled(false);
  }
  return new PuppeteerBrowser(chromium);
}

// Firefox with its toolbars and status panel hidden by the profile's own style sheet.
async function openFirefox(options, profile) {
  mkdirSync(join(profile, 'chrome'));
  writeFileSync(join(profile, 'chrome', 'userChrome.css'),
    ':root { --window-min-width: 0px !important; min-width: 0 !important; }\n' +
    '#navigator-toolbox, #navigator-toolbox *, #browser > :not(#tabbrowser-tabbox) { visibility: collapse !important; }\n' +
    // The panel that says what a page over the network is loading would lie over the picture.
    '#statuspanel { display: none !important; }\n');
  const prefs = { 'toolkit.legacyUserProfileCustomizations.stylesheets': true, 'browser.tabs.inTitlebar': 0,
    'layout.css.devPixelsPerPx': String(options.scale), 'webgl.disabled': !options.webgl,
    'javascript.options.wasm': options.webassembly,
    'dom.w3c_touch_events.enabled': options.touch ? 1 : 0, 'javascript.enabled': options.javascript,
    ...(options.language && { 'intl.accept_languages': options.language }) };
  return new PuppeteerBrowser(await puppeteer.launch({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
    headless: false, userDataDir: profile, defaultViewport: null, extraPrefsFirefox: prefs,
    // A page of its own first, not a blank one, whose address bar would keep the keyboard.
    args: [`--width=${options.width}`, `--height=${options.height}`, startPage(profile)],
    handleSIGINT: false, handleSIGTERM: false, handleSIGHUP: false }));
}

// What the page says and asks for, gathered in WebKit's page, where the
// driver hears neither its console nor its requests: from the moment the
// page has loaded.
function listenInThePage() {
  const heard = [];
  window.heardByTheChecks = heard;
  for (const level of ['log', 'info', 'debug', 'warn', 'error']) {
    const original = console[level];
    console[level] = (...words) => { heard.push([level, words.join(' ')]); original.apply(console, words); };
  }
  addEventListener('error', (event) => heard.push(['uncaught', event.message]));
  addEventListener('unhandledrejection', (event) => heard.push(['uncaught', String(event.reason)]));
  document.addEventListener('securitypolicyviolation',
    (event) => heard.push(['error', `the Content-Security-Policy blocked ${event.blockedURI}`]));
  const requested = (entries) => entries.forEach((entry) => heard.push(['request', entry.name]));
  requested(performance.getEntriesByType('resource'));
  new PerformanceObserver((list) => requested(list.getEntries())).observe({ type: 'resource' });
}

// WebKit's MiniBrowser, whose windows have a toolbar except the ones a page
// opens without one: the page is opened from a blank page of the profile.
class WebKitBrowser extends BrowserWindow {
  constructor(driver, address, options) {
    super(driver);
    this.address = address;
    this.options = options;
    this.lastCommand = Promise.resolve();
  }

  // Sends one command at a time: a script still running when the page
  // navigates keeps the driver from answering anything else until the
  // script's time runs out.
  command(method, path, body) {
    return this.exclusively(() => this.send(method, path, body));
  }

  // Runs the steps, which send commands, after every earlier command and
  // before any later one.
  exclusively(steps) {
    const done = this.lastCommand.then(steps);
    this.lastCommand = done.catch(() => {});
    return done;
  }

  async send(method, path, body) {
    const response = await fetch(`${this.address}${path}`, { method, body: body && JSON.stringify(body) });
    const { value } = await response.json();
    if (!response.ok) {
      throw new Error(`WebDriver ${method} ${path}: ${value.message}`);
    }
    return value;
  }

  async open(url, askTheBlankPage) {
    const browserOptions = { binary: this.options.miniBrowser, args: ['--automation',
      '--javascript-can-open-windows-automatically=true', '--allow-file-access-from-file-urls=true',
      `--enable-webgl=${this.options.webgl}`, `--enable-javascript=${this.options.javascript}`] };
    const session = await this.command('POST', '/session',
      { capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': browserOptions } } });
    this.session = `/session/${session.sessionId}`;
    await this.command('POST', `${this.session}/url`, { url: startPage(this.profile) });
    const answer = askTheBlankPage && await this.exclusively(() => this.execute(askTheBlankPage, []));
    const features = `popup,width=${this.options.width},height=${this.options.height},left=${WINDOW_PLACE},top=${WINDOW_PLACE}`;
    await this.command('POST', `${this.session}/execute/sync`,
      { script: `window.open(${JSON.stringify(url)}, 'curve-viewer', ${JSON.stringify(features)})`, args: [] });
    const openerHandle = await this.command('GET', `${this.session}/window`);
    const handles = await this.command('GET', `${this.session}/window/handles`);
    await this.command('POST', `${this.session}/window`, { handle: handles.find((handle) => handle !== openerHandle) });
    await this.listenOnceLoaded();
    this.relayHeard();
    return answer;
  }

  async reload() {
    await this.command('POST', `${this.session}/refresh`, {});
    await this.listenOnceLoaded();
  }

  async listenOnceLoaded() {
    while (await this.evaluate(() => document.readyState).catch(() => 'loading') !== 'complete') {
      await wait(50);
    }
    await this.evaluate(listenInThePage);
  }

  // Passes on what the page has said and asked for, as long as it runs.
  async relayHeard() {
    for (;;) {
      const heard = await this.evaluate(() => window.heardByTheChecks.splice(0)).catch(() => []);
      for (const [level, text] of heard) {
        if (level === 'request') {
          this.listeners.request(text);
        } else {
          this.listeners.console(level, text);
        }
      }
      await wait(100);
    }
  }

  // Runs the action in the page, in its frame once it is in one.
  evaluate(action) {
    return this.exclusively(async () => {
      if (this.inFrame) {
        await this.send('POST', `${this.session}/frame`, { id: null });
        await this.send('POST', `${this.session}/frame`, { id: 0 });
      }
      return this.execute(action, []);
    });
  }

  evaluateInHost(action, ...args) {
    return this.exclusively(async () => {
      await this.send('POST', `${this.session}/frame`, { id: null });
      return this.execute(action, args);
    });
  }

  execute(action, args) {
    return this.send('POST', `${this.session}/execute/async`, { args, script:
      `const done = arguments[arguments.length - 1]; Promise.resolve((${action})(...arguments)).then(done);` });
  }

  // Clicks the frame's middle, where WebDriver's element click gives it the
  // focus, as the mouse does.
  click() {
    return this.exclusively(async () => {
      await this.send('POST', `${this.session}/frame`, { id: null });
      const frame = await this.send('POST', `${this.session}/element`, { using: 'css selector', value: 'iframe' });
      return this.send('POST', `${this.session}/element/${Object.values(frame)[0]}/click`, {});
    });
  }

  // Its pointer actions of the touch type arrive in the page as the mouse's.
  tap() {
    throw new Error("cannot: WebKitGTK's WebDriver has no touch screen, and taps with the mouse");
  }

  installability() {
    throw new Error(NO_INSTALLABILITY_REPORT);
  }

  async close() {
    this.listeners.closed = () => {};
    await this.command('DELETE', this.session).catch(() => {});
  }
}

// A port no one listens on now.
function freePort() {
  return new Promise((resolve) => {
    const server = createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// The MiniBrowser of WebKitGTK, in the library folder of the system's architecture.
function findMiniBrowser() {
  const folders = readdirSync('/usr/lib').map((folder) => join('/usr/lib', folder, 'webkit2gtk-4.1', 'MiniBrowser'));
  return folders.find((path) => existsSync(path)) ?? 'MiniBrowser';
}

// The locale of the language tag, compiled into the profile from the
// system's locale sources: of the tag's own region, else of the language's
// first region, else of the language alone. Its name and its folder.
function compileLocale(tag, profile) {
  const [language, region] = tag.split('-');
  const sources = readdirSync(LOCALE_SOURCES);
  const source = [`${language}_${(region ?? language).toUpperCase()}`, language].find((name) => sources.includes(name)) ??
    sources.find((name) => name.startsWith(`${language}_`));
  const name = `${tag.replace('-', '_')}.UTF-8`;
  const folder = join(profile, 'locales');
  mkdirSync(folder);
  execFileSync('localedef', ['--inputfile', source, '--charmap', 'UTF-8', join(folder, name)]);
  return { name, folder };
}

async function openWebKit(options, profile) {
  const port = await freePort();
  const environment = { ...process.env, GDK_SCALE: String(options.scale),
    ...(!options.webassembly && { JSC_useWasm: '0' }) };
  // WebKitGTK asks pages for the language of its locale.
  if (options.language) {
    const locale = compileLocale(options.language, profile);
    Object.assign(environment, { LOCPATH: locale.folder, LC_ALL: locale.name });
  }
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', detached: true, env: environment });
  const address = `http://127.0.0.1:${port}`;
  const deadline = Date.now() + START_TIMEOUT_MILLISECONDS;
  while (!(await fetch(`${address}/status`).then((response) => response.ok, () => false))) {
    if (Date.now() > deadline) {
      throw new Error('WebKitWebDriver did not start');
    }
    await wait(50);
  }
  return new WebKitBrowser(driver, address, { ...options, miniBrowser: findMiniBrowser() });
}

const OPENERS = { chromium: openChromium, firefox: openFirefox, webkit: openWebKit };

// Opens the browser of that name, with a profile of its own that goes with
// it, and with it whatever else the caller keeps in the profile's folder.
export async function openBrowser(name, options) {
  const opener = OPENERS[name];
  if (!opener) {
    throw new Error(`no browser named ${name}: chromium, firefox or webkit`);
  }
  const profile = mkdtempSync(join(tmpdir(), `curve-viewer-${name}-`));
  const browser = await opener(options, profile);
  cleanUpAfterUs(browser.processGroup, profile);
  browser.profile = profile;
  return browser;
}
