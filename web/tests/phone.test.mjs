// The page on phones and tablets, played by taps and the text field, and
// the page where the game cannot run, or runs with no network.
import { test, after, before } from 'node:test';
import assert from 'node:assert/strict';
import { cp, mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { openBrowser, SITE, waitForText } from './browser.mjs';

const LIMIT = { timeout: 90000 };

let phone;
before(async () => {
  phone = await openBrowser({ viewport: { width: 390, height: 844 }, touch: true });
});
after(async () => {
  await phone.close();
});

// What a player at this size could not read: sideways scrolling, text
// under 12 pixels, the question or the command line out of view.
async function unreadable(page) {
  return page.evaluate(() => {
    const problems = [];
    const width = document.documentElement.clientWidth;
    const height = document.documentElement.clientHeight;
    if (document.documentElement.scrollWidth > width) problems.push('the page scrolls sideways');
    const screen = document.getElementById('screen');
    if (screen.scrollWidth > screen.clientWidth) problems.push('the screen scrolls sideways');
    for (const element of document.querySelectorAll('body *')) {
      const ownText = [...element.childNodes].some((node) => node.nodeType === 3 && node.textContent.trim());
      if (!ownText || !element.getClientRects().length || element.closest('.visually-hidden')) continue;
      const size = parseFloat(getComputedStyle(element).fontSize);
      if (size < 12) problems.push(`${size}px text: ${element.textContent.slice(0, 30)}`);
      const box = element.getBoundingClientRect();
      if (box.right > width + 1 || box.left < -1) problems.push(`off the side: ${element.textContent.slice(0, 30)}`);
    }
    const inView = (box, within) => box.top >= within.top - 1 && box.bottom <= within.bottom + 1;
    const field = document.getElementById('command');
    if (!document.getElementById('command-line').hidden && !inView(field.getBoundingClientRect(), { top: 0, bottom: height })) {
      problems.push('the command line is out of view');
    }
    const cursor = document.querySelector('#screen .cursor');
    if (cursor && !inView(cursor.getBoundingClientRect(), screen.getBoundingClientRect())) problems.push('the question is out of view');
    return problems;
  });
}

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

test('a short game on a phone, by taps on the keys and lines in the text field', LIMIT, async () => {
  const page = await phone.context.newPage();
  await page.goto(`${phone.address}?seed=1`);
  await waitForText(page, 'Instructions?  Y or N');
  assert.deepEqual(await unreadable(page), []);
  assert.deepEqual(await keyButtons(page), ['Y', 'N']);
  const field = await page.$eval('#command', (input) => [input.getAttribute('autocapitalize'),
    input.getAttribute('autocorrect'), input.getAttribute('enterkeyhint'), input.spellcheck]);
  assert.deepEqual(field, ['off', 'off', 'go', false]);

  await tapKey(page, 'Y');
  await waitForText(page, 'Press R to return to the game or ESCAPE to quit');
  assert.deepEqual(await keyButtons(page), ['R', 'Escape']);
  assert.ok((await page.textContent('#screen')).includes('obtain certain tools to succeed'));
  assert.deepEqual(await unreadable(page), []);
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
  assert.deepEqual(await unreadable(page), []);

  // The screens of other devices, the keyboard up on a phone among them.
  for (const [width, height] of [[768, 1024], [1024, 768], [844, 390], [800, 600], [390, 460]]) {
    await page.setViewportSize({ width, height });
    await page.waitForTimeout(150);
    assert.deepEqual(await unreadable(page), [], `${width}x${height}`);
  }
  await page.setViewportSize({ width: 390, height: 844 });

  await enterLine(page, 'quit');
  await waitForText(page, 'Are you surrendering Orvane City');
  assert.deepEqual(await keyButtons(page), ['Y', 'N']);
  await tapKey(page, 'Y');
  await waitForText(page, 'Press escape to exit', 15000);
  assert.deepEqual(await keyButtons(page), ['Escape']);
  assert.deepEqual(await unreadable(page), []);
  await tapKey(page, 'Escape');
  await page.waitForSelector('#game-over', { state: 'visible' });
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
      return { layout: document.documentElement.className, size, bottom: screen.bottom, right: screen.right,
        columns: Math.floor((row.getBoundingClientRect().width + 0.5) / (size * 0.6)) };
    });
    assert.equal(shown.layout, 'console', `${width}x${height}`);
    assert.ok(shown.size >= 12, `${width}x${height}: ${shown.size}px`);
    assert.ok(shown.right <= width && shown.bottom <= height, `${width}x${height}: ${JSON.stringify(shown)}`);
    assert.deepEqual(await unreadable(page), [], `${width}x${height}`);
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

test('after one visit the page plays with no network, with the sounds heard, and a new build replaces the old copy', LIMIT, async () => {
  const site = await mkdtemp(join(tmpdir(), 'quorrell-site-'));
  await cp(SITE, site, { recursive: true });
  const browser = await openBrowser({ site });
  try {
    const page = await browser.context.newPage();
    await page.goto(browser.address);
    await waitForText(page, 'Instructions?  Y or N');
    await page.waitForFunction(() => navigator.serviceWorker.controller);
    await page.keyboard.type('ny');
    await waitForText(page, 'What is your first name?');
    await page.evaluate(() => navigator.serviceWorker.ready);
    const kept = () => page.evaluate(async () => {
      const names = (await caches.keys()).filter((name) => name.startsWith('quorrell-'));
      const sound = names.length ? Boolean(await (await caches.open(names[0])).match('data/clto.wav')) : false;
      return { names, sound };
    });
    const first = await kept();
    assert.equal(first.names.length, 1);
    assert.ok(first.sound, 'the sound heard is kept');

    // No network at all: the server gone, the browser offline.
    browser.server.close();
    browser.server.closeAllConnections();
    await browser.context.setOffline(true);
    // The game is picked up where it stopped.
    await page.reload();
    await waitForText(page, 'What is your first name?');
    await page.keyboard.type('Bob\n');
    await waitForText(page, 'You see your messy desk');
    await browser.context.setOffline(false);

    // A new build: the service worker's cache name changes with the site.
    const worker = join(site, 'sw.js');
    const text = await readFile(worker, 'utf8');
    await writeFile(worker, text.replace(/quorrell-[0-9a-f]+/, 'quorrell-0123456789abcdef'));
    await browser.server.listen(new URL(browser.address).port, '127.0.0.1');
    await page.evaluate(async () => (await navigator.serviceWorker.ready).update());
    const end = Date.now() + 20000;
    let now = await kept();
    while (now.names.join() !== 'quorrell-0123456789abcdef' && Date.now() < end) {
      await page.waitForTimeout(200);
      now = await kept();
    }
    assert.deepEqual(now.names, ['quorrell-0123456789abcdef']);
    await page.close();
  } finally {
    await browser.close();
    await rm(site, { recursive: true, force: true });
  }
});
