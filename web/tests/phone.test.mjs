// The page on phones and tablets, played by taps and the text field, and
// the page where the game cannot run, or runs with no network.
import { test, after, before } from 'node:test';
import assert from 'node:assert/strict';
import { cp, mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { layoutProblems, openBrowser, problemsEveryWay, SITE, waitForText } from './browser.mjs';

const LIMIT = { timeout: 90000 };

let phone;
before(async () => {
  phone = await openBrowser({ viewport: { width: 390, height: 844 }, touch: true });
});
after(async () => {
  await phone.close();
});

async function keyButtons(page) {
  await page.waitForTimeout(100);
  return page.$$eval('#keys button', (buttons) => buttons.map((button) => button.textContent));
}

async function tapKey(page, label) {
  await page.locator('#keys button', { hasText: new RegExp(`^${label}$`) }).tap();
}

async function enterLine(page, text) {
  await page.locator('#command').tap();
  await page.keyboard.type(text);
  await page.keyboard.press('Enter');
}

test('a short game on a phone, by taps on the keys and lines in the text field, that passes axe, the contrast and the fit', LIMIT, async () => {
  const page = await phone.context.newPage();
  await page.goto(`${phone.address}?seed=1`);
  await waitForText(page, 'Instructions?  Y or N');
  assert.deepEqual(await problemsEveryWay(page), [], 'the title');
  assert.deepEqual(await keyButtons(page), ['Y', 'N']);
  const field = await page.$eval('#command', (input) => [input.getAttribute('autocapitalize'),
    input.getAttribute('autocorrect'), input.getAttribute('enterkeyhint'), input.spellcheck]);
  assert.deepEqual(field, ['off', 'off', 'go', false]);

  await tapKey(page, 'Y');
  await waitForText(page, 'Press R to return to the game or ESCAPE to quit');
  assert.deepEqual(await keyButtons(page), ['R', 'Escape']);
  assert.ok((await page.textContent('#screen')).includes('obtain certain tools to succeed'));
  assert.deepEqual(await problemsEveryWay(page), [], 'a question');
  await tapKey(page, 'R');
  await waitForText(page, 'Sound effects?  Y or N');
  await tapKey(page, 'N');
  await waitForText(page, 'What is your first name?');
  assert.deepEqual(await keyButtons(page), []);

  // The name's cap is 27 bytes; a letter past it is refused with a sign.
  await enterLine(page, 'Bartholomew-Jedediah-Quincy-Smith');
  let rows = await waitForText(page, 'Howdie Marshal');
  assert.ok(rows.some((row) => row.startsWith('Howdie Marshal Bartholomew-Jedediah-Quincy, good luck')), rows.join('\n'));
  await enterLine(page, 'open drawer');
  await waitForText(page, 'You got the drawer open');
  assert.deepEqual(await problemsEveryWay(page), [], 'a command');

  // The screens of other devices, and a phone's with its keyboard up: in
  // landscape 200 of its 390 pixels, in portrait 336 of 844 (the page
  // declares that the keyboard resizes it). What does not fit in one row
  // folds behind the one button.
  const folded = () => page.evaluate(() => [document.getElementById('more').hidden,
    document.getElementById('more-controls').childElementCount]);
  for (const [width, height] of [[320, 568], [360, 640], [390, 844], [844, 390], [768, 1024], [1366, 768],
    [844, 190], [390, 508]]) {
    await page.setViewportSize({ width, height });
    await page.waitForTimeout(150);
    assert.deepEqual(height < 200 ? await problemsEveryWay(page) : await layoutProblems(page), [], `${width}x${height}`);
    const [hidden, inMenu] = await folded();
    assert.equal(hidden, inMenu === 0, `${width}x${height}: ${inMenu} in the menu`);
    if (width < 768) assert.ok(inMenu > 0, `${width}x${height}`);
  }
  // All of them, the keyboard up in landscape: the menu opens above it.
  await page.setViewportSize({ width: 844, height: 190 });
  await page.waitForTimeout(150);
  assert.equal(await page.$$eval('#controls button:visible', (buttons) => buttons.length), 0);
  const dark = await page.getAttribute('#dark', 'aria-pressed');
  await page.locator('#more').tap();
  await page.locator('#more-controls #dark').tap();
  await page.waitForFunction(() => document.getElementById('more-controls').hidden);
  assert.notEqual(await page.getAttribute('#dark', 'aria-pressed'), dark);
  await page.evaluate(() => localStorage.removeItem('quorrell.theme'));
  await page.setViewportSize({ width: 390, height: 844 });
  await page.goto(phone.address);
  await waitForText(page, 'You got the drawer open');

  await enterLine(page, 'quit');
  await waitForText(page, 'Are you surrendering Orvane City');
  assert.deepEqual(await keyButtons(page), ['Y', 'N']);
  await tapKey(page, 'Y');
  await waitForText(page, 'Press escape to exit', 15000);
  assert.deepEqual(await keyButtons(page), ['Escape']);
  assert.deepEqual(await problemsEveryWay(page), [], 'the closing screen');
  await tapKey(page, 'Escape');
  await page.waitForSelector('#game-over', { state: 'visible' });
  assert.deepEqual(await problemsEveryWay(page), [], 'the end');
  await page.close();
});

test('a tablet in portrait and a small window show the console whole, 80 columns at a readable size', LIMIT, async () => {
  const page = await phone.context.newPage();
  for (const [width, height] of [[768, 1024], [800, 600], [1280, 800]]) {
    await page.setViewportSize({ width, height });
    await page.goto(`${phone.address}?seed=1`);
    await waitForText(page, 'Instructions?  Y or N');
    const shown = await page.evaluate(() => {
      const screen = document.getElementById('screen').getBoundingClientRect();
      const row = document.querySelector('#screen .now .row');
      const size = parseFloat(getComputedStyle(row).fontSize);
      return { layout: document.documentElement.classList.contains('console'), size, bottom: screen.bottom, right: screen.right,
        columns: Math.floor((row.getBoundingClientRect().width + 0.5) / (size * 0.6)) };
    });
    assert.equal(shown.layout, true, `${width}x${height}`);
    assert.ok(shown.size >= 12, `${width}x${height}: ${shown.size}px`);
    assert.ok(shown.right <= width && shown.bottom <= height, `${width}x${height}: ${JSON.stringify(shown)}`);
    assert.deepEqual(await layoutProblems(page), [], `${width}x${height}`);
  }
  await page.close();
});

test('without WebAssembly, or opened as a file, the page says why it cannot play', LIMIT, async () => {
  const page = await phone.context.newPage();
  await page.addInitScript(() => {
    delete window.WebAssembly;
  });
  await page.goto(phone.address);
  await page.waitForSelector('#status.failed');
  assert.match(await page.textContent('#status'), /cannot run WebAssembly/);
  await page.close();

  const file = await phone.context.newPage();
  await file.goto(pathToFileURL(join(SITE, 'index.html')).href);
  await file.waitForSelector('#status.failed');
  assert.match(await file.textContent('#status'), /tools\/build-web serve.*any static web server/s);
  await file.close();
});

test('the loading line counts the game in as it arrives on a slow network', LIMIT, async () => {
  // A browser that has never seen the site, so nothing comes from its copy.
  const fresh = await openBrowser();
  const page = await fresh.context.newPage();
  await page.addInitScript(() => {
    window.loadingLines = [];
    document.addEventListener('DOMContentLoaded', () => {
      const status = document.getElementById('status');
      new MutationObserver(() => window.loadingLines.push(status.textContent))
        .observe(status, { childList: true, characterData: true, subtree: true });
    });
  });
  const cdp = await fresh.context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.emulateNetworkConditions',
    { offline: false, latency: 150, downloadThroughput: 200000, uploadThroughput: 100000 });
  await page.goto(fresh.address);
  await waitForText(page, 'Instructions?  Y or N');
  const lines = await page.evaluate(() => window.loadingLines);
  const counted = lines.filter((line) => /^Loading the game\u2026 \d+%$/.test(line));
  assert.ok(counted.length >= 2, lines.join(' | '));
  assert.equal(await page.isVisible('#status'), false);
  await fresh.close();
});

test('after one visit the page plays with no network, every sound kept; a new version waits for the game in progress, or is taken at once', LIMIT, async () => {
  const site = await mkdtemp(join(tmpdir(), 'quorrell-site-'));
  await cp(SITE, site, { recursive: true });
  const browser = await openBrowser({ site });
  try {
    const page = await browser.context.newPage();
    await page.addInitScript(() => {
      window.soundsStarted = [];
      const start = AudioBufferSourceNode.prototype.start;
      AudioBufferSourceNode.prototype.start = function (...args) {
        window.soundsStarted.push(this.buffer.duration);
        return start.apply(this, args);
      };
    });
    await page.goto(browser.address);
    await waitForText(page, 'Instructions?  Y or N');
    await page.waitForFunction(() => navigator.serviceWorker.controller);
    const kept = () => page.evaluate(async () => {
      const names = (await caches.keys()).filter((name) => name.startsWith('quorrell-'));
      const files = names.length ? (await (await caches.open(names[0])).keys()).map((request) => request.url) : [];
      return { names, sounds: files.filter((file) => /\/data\/\w+\.wav$/.test(file)).length };
    });
    // Every sound is kept in the background, none of them heard yet.
    const end = Date.now() + 30000;
    while ((await kept()).sounds < 53 && Date.now() < end) await page.waitForTimeout(200);
    assert.deepEqual(await kept(), { names: [(await kept()).names[0]], sounds: 53 });

    // No network at all, the server gone, the browser offline: a game with
    // its sounds.
    browser.server.close();
    browser.server.closeAllConnections();
    await browser.context.setOffline(true);
    const failed = [];
    page.on('requestfailed', (request) => failed.push(request.url()));
    await page.reload();
    await waitForText(page, 'Instructions?  Y or N');
    await page.keyboard.type('nyBob\nopen drawer\ntake gun\n');
    await waitForText(page, 'You now have the Colt 45 gun', 20000);
    const sounds = await page.evaluate(() => window.soundsStarted);
    assert.ok(sounds.length >= 3 && sounds.every((length) => length > 0), JSON.stringify(sounds));
    assert.deepEqual(failed, []);
    await browser.context.setOffline(false);

    // A new build: the site's version changes in the worker's cache name
    // and in the page. Found while a game is in progress, it waits, and
    // the player is told.
    const version = () => page.evaluate(() => document.documentElement.dataset.version);
    const first = await version();
    let current = first;
    const newBuild = async (next) => {
      for (const file of ['sw.js', 'index.html']) {
        const path = join(site, file);
        await writeFile(path, (await readFile(path, 'utf8')).replaceAll(current, next));
      }
      current = next;
    };
    await newBuild('0123456789abcdef');
    await browser.server.listen(new URL(browser.address).port, '127.0.0.1');
    await page.goto(browser.address);
    await waitForText(page, 'take gun');
    await page.waitForFunction(() => document.getElementById('notice').textContent ===
      'A new version is ready: it starts with your next game', null, { timeout: 20000 });
    await page.keyboard.type('look\n');
    await waitForText(page, 'It is high noon');
    assert.equal(await version(), first);
    // The next game is the new version's.
    await page.keyboard.type('quit\ny');
    await waitForText(page, 'Press escape to exit', 15000);
    await page.keyboard.press('Escape');
    await page.click('#play-again');
    await page.waitForFunction(() => document.documentElement.dataset.version === '0123456789abcdef', null,
      { timeout: 20000 });
    await waitForText(page, 'Instructions?  Y or N');
    assert.deepEqual((await kept()).names, ['quorrell-0123456789abcdef']);

    // Found with no game in progress, it is taken at once.
    await newBuild('fedcba9876543210');
    await page.reload();
    await page.waitForFunction(() => document.documentElement.dataset.version === 'fedcba9876543210', null,
      { timeout: 20000 });
    await waitForText(page, 'Instructions?  Y or N');
    await page.close();
  } finally {
    await browser.close();
    await rm(site, { recursive: true, force: true });
  }
});
