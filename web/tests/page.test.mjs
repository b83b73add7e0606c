// The game in a real browser, played through the page as a player plays it:
// keys typed into the terminal, the screen read back from the page.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { layoutProblems, openBrowser, problemsEveryWay, screen, waitForText } from './browser.mjs';

// A test that hangs fails instead.
const LIMIT = { timeout: 60000 };

let browser;
before(async () => {
  browser = await openBrowser();
});
after(async () => {
  await browser.close();
});

async function openGame(seed, setUp) {
  const page = await browser.context.newPage();
  if (setUp) await page.addInitScript(setUp);
  await page.goto(`${browser.address}?seed=${seed}`);
  await waitForText(page, 'Instructions?  Y or N');
  return page;
}

test('the title, the questions and a few commands appear where the console puts them', LIMIT, async () => {
  const page = await openGame(1);
  let rows = await screen(page);
  assert.equal(rows[4].indexOf('QUORRELL'), 30);
  assert.equal(rows[6].indexOf('Version 2.0 for Windows'), 33);
  assert.equal(rows[21].indexOf('Instructions?  Y or N'), 9);

  // A key that answers nothing asks again; Y shows the instructions.
  await page.keyboard.type('xY');
  rows = await waitForText(page, 'Press R to return to the game or ESCAPE to quit');
  assert.equal(rows[0].indexOf('Instructions for Quorrell'), 19);
  await page.keyboard.type('r');
  rows = await waitForText(page, 'Sound effects?  Y or N');
  assert.equal(rows[7].indexOf('QUORRELL'), 29);
  assert.equal(rows[21].indexOf('Sound effects?'), 9);

  await page.keyboard.type('n');
  await waitForText(page, 'What is your first name?');
  await page.keyboard.type('Bob\n');
  rows = await waitForText(page, 'You see your messy desk');
  assert.equal(rows[0], 'Howdie Marshal Bob, good luck, I hope your will is up to date.');

  // Edited at the prompt: the typo is taken back with Backspace and Left.
  await page.keyboard.type('opne');
  for (const key of ['Backspace', 'Backspace', 'Backspace', 'p', 'e', 'n']) await page.keyboard.press(key);
  await page.keyboard.type(' drawer\n');
  rows = await waitForText(page, 'You got the drawer open');
  assert.ok(rows.includes('open drawer'), rows.join('\n'));
  // Up brings the command back; the name is no command and is not there.
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('Enter');
  rows = await waitForText(page, 'It is already open');
  assert.equal(rows.filter((row) => row === 'open drawer').length, 2, rows.join('\n'));
  for (const command of ['e', 'e', 's', 's', 'w', 'n', 'w', 'w', 'open cupboard', 'take bag', 'eat bread']) {
    await page.keyboard.type(command + '\n');
  }
  rows = await waitForText(page, 'gulp');
  assert.ok(rows.includes('Chomp chomp chomp chomp chomp chomp \u25b2 gulp'), rows.join('\n'));
  await page.close();
});

test('keys typed during a pause are not shown until the game reads them, and are read next', LIMIT, async () => {
  const page = await openGame(8);
  await page.keyboard.type('nnBob\n');
  await waitForText(page, 'You see your messy desk');
  await page.keyboard.type('open drawer\ntake gun\ne\nshoot Dexter\n');
  // The Marshal's shot, then a second's pause before Dexter fires back.
  await waitForText(page, 'Good shot - you clipped him');
  await page.keyboard.type('shoot Dexter\n');
  await page.waitForTimeout(300);
  let rows = await screen(page);
  assert.ok(!rows.includes('He missed you'), 'the pause is over too soon to test');
  assert.equal(rows.filter((row) => row === 'shoot Dexter').length, 1, rows.join('\n'));

  rows = await waitForText(page, 'You wasted the skunk, he is toast');
  const missed = rows.indexOf('He missed you');
  assert.ok(missed >= 0 && rows[missed + 1] === 'shoot Dexter', rows.join('\n'));
  await page.close();
});

test('with the sound on, intr and then clto are fetched and played to their end before the name question, the page\'s volume off or not', LIMIT, async () => {
  const page = await openGame(1, () => {
    localStorage.setItem('quorrell.volume', 'off');
    // The page's own calls to the audio system, watched from outside.
    window.soundsStarted = [];
    window.levels = [];
    const createGain = AudioContext.prototype.createGain;
    AudioContext.prototype.createGain = function () {
      const node = createGain.call(this);
      window.levels.push(node.gain);
      return node;
    };
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (...args) {
      window.soundsStarted.push({ at: performance.now(), length: this.buffer.duration * 1000 });
      return start.apply(this, args);
    };
    document.addEventListener('DOMContentLoaded', () => {
      new MutationObserver(() => {
        if (!window.nameAskedAt && document.body.textContent.replace(/\u00a0/g, ' ').includes('What is your first name?'))
          window.nameAskedAt = performance.now();
      }).observe(document.body, { childList: true, subtree: true, characterData: true });
    });
  });
  const sounds = [];
  page.on('request', (request) => {
    if (request.url().includes('/data/')) sounds.push(new URL(request.url()).pathname);
  });
  await page.keyboard.type('ny');
  await waitForText(page, 'What is your first name?');
  assert.deepEqual(sounds, ['/data/intr.wav', '/data/clto.wav']);
  const started = await page.evaluate(() => window.soundsStarted);
  const nameAskedAt = await page.evaluate(() => window.nameAskedAt);
  assert.equal(started.length, 2);
  assert.ok(started[1].at >= started[0].at + started[0].length - 50, JSON.stringify(started));
  assert.ok(nameAskedAt >= started[1].at + started[1].length - 50, JSON.stringify({ started, nameAskedAt }));
  // Off is the page's level: the game's sounds took their time all the same.
  assert.equal(await page.textContent('#volume'), 'Volume: off');
  assert.deepEqual(await page.evaluate(() => window.levels.map((level) => level.value)), [0]);
  await page.$eval('#volume', (button) => button.click());
  assert.deepEqual(await page.evaluate(() => window.levels.map((level) => level.value)), [1]);
  await page.evaluate(() => localStorage.removeItem('quorrell.volume'));
  await page.close();
});

test('the closing screen waits for Escape, the page then offers to play again, and Ctrl-C leaves at a question', LIMIT, async () => {
  const page = await openGame(1);
  await page.keyboard.type('nnBob\n');
  await waitForText(page, 'You see your messy desk');
  await page.keyboard.type('quit\ny');
  let rows = await waitForText(page, 'Press escape to exit');
  assert.equal(rows[9].indexOf('You have let down the decent citizens of Orvane City Marshal Bob'), 5);
  assert.equal(rows[20].indexOf('Happy trails Marshal Bob'), 33);
  await page.keyboard.type('xn\n');
  await page.waitForTimeout(200);
  assert.equal(await page.isVisible('#game-over'), false);

  await page.keyboard.press('Escape');
  await page.waitForSelector('#game-over', { state: 'visible' });
  await page.click('#play-again');
  rows = await waitForText(page, 'Instructions?  Y or N');
  assert.equal(await page.isVisible('#game-over'), false);
  assert.ok(!rows.some((row) => row.includes('Happy trails')), rows.join('\n'));

  await page.keyboard.press('Control+C');
  await waitForText(page, 'HAPPY TRAILS TILL NEXT TIME Marshal');
  await page.waitForSelector('#game-over', { state: 'visible' });
  await page.close();
});

test('a screen reader hears each passage once and whole, without what the player typed, and the field says what is awaited', LIMIT, async () => {
  const page = await openGame(1, () => {
    window.placeholders = [];
    document.addEventListener('DOMContentLoaded', () => {
      const field = document.getElementById('command');
      new MutationObserver((records) => {
        for (const record of records) if (record.oldValue !== null) window.placeholders.push(record.oldValue);
      }).observe(field, { attributes: true, attributeFilter: ['placeholder'], attributeOldValue: true });
    });
  });
  const log = await page.$eval('#story', (story) => [story.getAttribute('role'), story.getAttribute('aria-live')]);
  assert.deepEqual(log, ['log', 'polite']);
  const passages = () => page.$$eval('#story p', (paragraphs) => paragraphs.map((p) => p.textContent));
  // The title, laid out, arrives as one passage when its question is asked.
  assert.deepEqual(await passages(), ['QUORRELL\nVersion 2.0 for Windows\nWritten by the Orvane City Software Company\n' +
    'quorrell@orvanecity.invalid\nMarshal voice by Rudanti\n' +
    'Quorrell is free: it may not be sold and comes without any warranty.\n' +
    'You may copy it freely, as long as all of its files go with it.\nInstructions?  Y or N']);
  await page.keyboard.type('nnBob\n');
  await waitForText(page, 'You see your messy desk');
  await page.keyboard.type('open drawer\n');
  await waitForText(page, 'You got the drawer open');
  await page.waitForTimeout(100);
  const heard = await passages();
  assert.equal(heard[heard.length - 1], 'You got the drawer open\nThere is a Colt 45 gun in there');
  assert.equal(heard.filter((passage) => passage.includes('messy desk')).length, 1, heard.join('\n--\n'));
  assert.ok(!heard.some((passage) => passage.includes('open drawer')), heard.join('\n--\n'));
  // Nothing while the game is busy.
  const placeholders = (await page.evaluate(() => [...window.placeholders, document.getElementById('command').placeholder]))
    .filter((text, i, all) => text !== all[i - 1]);
  assert.deepEqual(placeholders, ['', 'Press a key', '', 'Press a key', '', 'Type your name, then Enter', '',
    'Type a command, then Enter', '', 'Type a command, then Enter']);
  await page.close();
});

test('paste fills the line up to the cap, Ctrl-C copies a selection at a question, Ctrl-D means nothing', LIMIT, async () => {
  await browser.context.grantPermissions(['clipboard-read', 'clipboard-write']);
  const page = await openGame(1);
  // Ctrl-C with the title selected copies it and leaves the question open.
  await page.evaluate(() => {
    const range = document.createRange();
    range.selectNodeContents(document.querySelector('#screen .now'));
    getSelection().removeAllRanges();
    getSelection().addRange(range);
  });
  await page.keyboard.press('Control+C');
  assert.match(await page.evaluate(() => navigator.clipboard.readText()), /Written by the Orvane City Software Company/);
  await page.waitForTimeout(200);
  assert.ok(!(await page.textContent('#screen')).includes('HAPPY TRAILS'));
  await page.evaluate(() => getSelection().removeAllRanges());

  await page.keyboard.type('nnBob\n');
  await waitForText(page, 'You see your messy desk');
  await page.keyboard.press('Control+D');
  await page.evaluate(() => navigator.clipboard.writeText('open drawer'));
  await page.keyboard.press('Control+V');
  assert.equal(await page.inputValue('#command'), 'open drawer');
  await page.keyboard.press('Enter');
  let rows = await waitForText(page, 'You got the drawer open');
  assert.ok(rows.includes('open drawer'), rows.join('\n'));

  // 30 letters pasted: the 24 that fit are kept, and the field says so.
  await page.evaluate(() => navigator.clipboard.writeText('look at the great big desk of mine'));
  await page.keyboard.press('Control+V');
  assert.equal(await page.inputValue('#command'), 'look at the great big de');
  assert.ok(await page.$('#command-line.refused'));
  await page.keyboard.type('x');
  assert.equal(await page.inputValue('#command'), 'look at the great big de');
  await page.keyboard.press('Enter');
  rows = await waitForText(page, 'look at the great big de');
  await page.close();
});

test('the page\'s controls are reached by Tab and named, give the keys back, and keep the choices', LIMIT, async () => {
  const page = await browser.context.newPage();
  // Wide enough for every control in the row, tall enough for larger text.
  await page.setViewportSize({ width: 1366, height: 1000 });
  await page.emulateMedia({ colorScheme: 'dark' });
  await page.goto(`${browser.address}?seed=1`);
  await waitForText(page, 'Instructions?  Y or N');
  await page.evaluate(() => localStorage.clear());
  await page.reload();
  await waitForText(page, 'Instructions?  Y or N');
  assert.equal(await page.getAttribute('html', 'data-theme'), 'dark');
  await page.emulateMedia({ colorScheme: 'light' });
  await page.waitForFunction(() => document.documentElement.dataset.theme === 'light');

  // Each stop named, none hidden from a screen reader, the screen before
  // the command line.
  const focused = () => page.evaluate(() => {
    const element = document.activeElement;
    return (element.closest('[aria-hidden="true"]') ? 'hidden: ' : '') +
      (element.getAttribute('aria-label') || element.textContent.trim());
  });
  const names = [];
  for (let i = 0; i < 12; ++i) {
    await page.keyboard.press('Tab');
    names.push(await focused());
  }
  assert.deepEqual(names, ['Y', 'N', 'New game', 'Games', 'Save record', 'Open record', 'Save transcript', 'Share',
    'A\u2212 smaller text', 'A+ larger text', 'Dark', 'Volume: full']);
  await page.focus('#command');
  await page.keyboard.press('Shift+Tab');
  assert.equal(await focused(), 'The game\'s screen, heard as the story');
  // A key typed on a button is typed to the game, as on a terminal.
  await page.focus('#new-game');
  await page.keyboard.type('n');
  await waitForText(page, 'Sound effects?  Y or N');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'command');
  await page.focus('#save-record');
  await page.keyboard.type('n');
  await waitForText(page, 'What is your first name?');
  await page.focus('#dark');
  await page.keyboard.type('B');
  assert.equal(await page.inputValue('#command'), 'B');
  // The theme, chosen, stays chosen, and the keys go back to the game.
  await page.focus('#dark');
  await page.keyboard.press('Enter');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'command');
  assert.equal(await page.getAttribute('html', 'data-theme'), 'dark');
  const size = () => page.evaluate(() => getComputedStyle(document.querySelector('#screen .row')).fontSize);
  const before = await size();
  await page.click('#larger');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'command');
  const larger = await size();
  assert.ok(parseFloat(larger) > parseFloat(before), `${before} then ${larger}`);
  await page.click('#volume');
  assert.equal(await page.textContent('#volume'), 'Volume: low');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'command');
  await page.evaluate(() => localStorage.removeItem(localStorage.getItem('quorrell.lastGame')));
  await page.reload();
  await waitForText(page, 'Instructions?  Y or N');
  assert.equal(await page.getAttribute('html', 'data-theme'), 'dark');
  assert.ok(parseFloat(await size()) > parseFloat(before), `${before} then ${await size()}`);
  assert.equal(await page.textContent('#volume'), 'Volume: low');
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

test('a question that a long name runs past the edge still offers its keys', LIMIT, async () => {
  const page = await openGame(1);
  await page.keyboard.type('nnBartholomew-Jo\n');
  await waitForText(page, 'You see your messy desk');
  await page.keyboard.type('quit\n');
  const rows = await waitForText(page, 'Are you surrendering Orvane City');
  assert.ok(rows.some((row) => row === ' N'), rows.join('\n'));
  await page.waitForSelector('#keys button');
  assert.deepEqual(await page.$$eval('#keys button', (buttons) => buttons.map((button) => button.textContent)), ['Y', 'N']);
  await page.click('#keys button:text("N")');
  await waitForText(page, 'I knew you were not a yellow dog, please continue');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'command');
  await page.close();
});

test('what scrolled off the top, and the screens cleared before, stay above the screen to scroll back to', LIMIT, async () => {
  const page = await openGame(1);
  await page.keyboard.type('nnBob\n');
  await waitForText(page, 'You see your messy desk');
  for (let i = 0; i < 6; ++i) await page.keyboard.type('look\n');
  await page.waitForFunction(() => document.querySelector('#screen .history').textContent.includes('It is high noon'));
  const above = await page.$$eval('#screen .history > *', (lines) => lines.map((line) => line.tagName === 'HR' ? '---' : line.textContent.trim()));
  // The title as the clear left it, its last question answered, then the
  // cleared mark, then the greeting that scrolled away.
  const title = above.indexOf('QUORRELL');
  const named = above.indexOf('What is your first name?  Bob');
  const cleared = above.indexOf('---');
  assert.ok(title >= 0 && title < named && named < cleared, above.join('\n'));
  assert.equal(above[cleared + 1], 'Howdie Marshal Bob, good luck, I hope your will is up to date.');
  // Scrolled up, it is there to read; the next turn brings the screen back.
  const titleInView = await page.$eval('#screen', (screen) => {
    screen.scrollTop = 0;
    const box = screen.getBoundingClientRect();
    const line = [...screen.querySelectorAll('.history .line')].find((each) => each.textContent.includes('QUORRELL'));
    const shown = line.getBoundingClientRect();
    return shown.top >= box.top && shown.bottom <= box.bottom;
  });
  assert.ok(titleInView);
  // PageUp and PageDown in the command line scroll the story.
  await page.focus('#command');
  const scrolled = () => page.$eval('#screen', (screen) => screen.scrollHeight - screen.clientHeight - screen.scrollTop);
  await page.$eval('#screen', (screen) => { screen.scrollTop = screen.scrollHeight; });
  await page.keyboard.press('PageUp');
  await page.keyboard.press('PageUp');
  const up = await scrolled();
  assert.ok(up > 400, `${up} pixels above the end`);
  await page.keyboard.press('PageDown');
  assert.ok(await scrolled() < up, 'PageDown scrolled back');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'command');
  // A click on the scrolled screen leaves no focus where a screen reader
  // hears nothing.
  await page.click('#screen');
  assert.equal(await page.evaluate(() => Boolean(document.activeElement.closest('[aria-hidden="true"]'))), false);
  await page.keyboard.type('look\n');
  await page.waitForFunction(() => {
    const screen = document.getElementById('screen');
    return screen.scrollTop + screen.clientHeight >= screen.scrollHeight - 2;
  });
  await page.close();
});

test('the title, a question, a command, the closing screen and the end pass axe, the contrast and the fit, light and dark', LIMIT, async () => {
  const page = await browser.context.newPage();
  await page.setViewportSize({ width: 1366, height: 768 });
  await page.goto(`${browser.address}?seed=4`);
  await waitForText(page, 'Instructions?  Y or N');
  const check = async (state) => assert.deepEqual(await problemsEveryWay(page), [], state);
  await check('the title');
  // The loading line, as it lies over the screen until the game draws.
  await page.$eval('#status', (status) => { status.hidden = false; });
  await check('the loading line');
  await page.$eval('#status', (status) => { status.hidden = true; });
  await page.keyboard.type('n');
  await waitForText(page, 'Sound effects?  Y or N');
  await check('a question');
  await page.keyboard.type('nAda\nopen drawer\ntake gun\ne\n');
  await waitForText(page, 'Obvious directions are');
  await page.waitForFunction(() => document.getElementById('command').placeholder === 'Type a command, then Enter');
  await check('a command');
  // Other desktops, and the page never scrolls there.
  for (const [width, height] of [[1280, 720], [1920, 1080]]) {
    await page.setViewportSize({ width, height });
    await page.waitForTimeout(150);
    assert.deepEqual(await layoutProblems(page), [], `${width}x${height}`);
  }
  await page.setViewportSize({ width: 1366, height: 768 });
  await page.keyboard.type('quit\ny');
  await waitForText(page, 'Press escape to exit');
  await check('the closing screen');
  await page.focus('#command');
  await page.keyboard.press('Escape');
  await page.waitForSelector('#game-over', { state: 'visible' });
  await check('the end');
  for (const [width, height] of [[1280, 720], [1920, 1080]]) {
    await page.setViewportSize({ width, height });
    await page.waitForTimeout(150);
    assert.deepEqual(await layoutProblems(page), [], `the end at ${width}x${height}`);
  }
  await page.close();
});

// The native programs, built with cmake in build/.
const NATIVE = fileURLToPath(new URL('../../build/', import.meta.url));
const native = (program, args, input = '') =>
  execFileSync(join(NATIVE, program), args, { input, maxBuffer: 1 << 24 }).toString('latin1');

async function saved(page, button) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
  if (await page.isVisible('#command')) assert.equal(await page.evaluate(() => document.activeElement.id), 'command');
  return readFile(await download.path());
}

test('a game is kept as it is played: a reload picks it up where it stopped, and New game starts another', LIMIT, async () => {
  const page = await openGame(5);
  await page.keyboard.type('nnBob\n');
  await waitForText(page, 'You see your messy desk');
  await page.keyboard.type('open drawer\ntake gun\n');
  const before = await waitForText(page, 'take gun');
  await page.waitForTimeout(300);
  const stopped = await screen(page);
  assert.deepEqual(stopped.slice(0, before.indexOf('take gun') + 1), before.slice(0, before.indexOf('take gun') + 1));

  // The address without a seed is where a player comes back; a screen
  // reader hears where he is, not the whole game again.
  await page.goto(browser.address);
  await waitForText(page, 'take gun');
  await page.waitForTimeout(300);
  assert.deepEqual(await screen(page), stopped);
  assert.deepEqual(await page.$$eval('#story p', (passages) => passages.map((passage) => passage.textContent)),
    ['You now have the Colt 45 gun Marshal Bob']);
  await page.keyboard.press('ArrowUp');
  assert.equal(await page.inputValue('#command'), 'take gun');
  await page.keyboard.press('Escape');
  await page.fill('#command', '');
  await page.keyboard.type('look\n');
  await waitForText(page, 'It is high noon');

  // A new game starts at once: the one put down stays kept, in the Games
  // panel.
  await page.click('#new-game');
  await waitForText(page, 'Instructions?  Y or N');
  await page.reload();
  await waitForText(page, 'Instructions?  Y or N');
  await page.close();
});

test('a record saved from the page plays natively as the same game, and its transcript is the native one', LIMIT, async () => {
  const folder = await mkdtemp(join(tmpdir(), 'quorrell-records-'));
  try {
    const page = await openGame(7);
    const input = 'nnBob\nopen drawer\ntake gun\nlook\n';
    await page.keyboard.type(input);
    await waitForText(page, 'It is high noon');
    const open = await saved(page, '#save-record');
    const openFile = join(folder, 'open.rec');
    await writeFile(openFile, open);
    // Byte for byte the record the terminal game keeps of the same game.
    const nativeFile = join(folder, 'native.rec');
    native('quorrell', ['--seed', '7', '--record', nativeFile], input);
    assert.equal(open.toString('latin1'), (await readFile(nativeFile)).toString('latin1'));
    assert.equal((await saved(page, '#save-transcript')).toString('latin1'),
      native('quorrell', ['--transcript', openFile]));

    // Opened in the page, an unfinished record is picked up where it stopped.
    const other = await browser.context.newPage();
    await other.goto(`${browser.address}?seed=2`);
    await waitForText(other, 'Instructions?  Y or N');
    // Kept as a game of its own: the game in the second page stays kept.
    await other.setInputFiles('#record-file', openFile);
    await waitForText(other, 'It is high noon');
    assert.deepEqual(await screen(other), await screen(page));
    await other.close();

    await page.keyboard.type('quit\ny');
    await waitForText(page, 'Press escape to exit');
    await page.keyboard.press('Escape');
    await page.waitForSelector('#game-over', { state: 'visible' });
    const ended = await saved(page, '#save-record');
    const endedFile = join(folder, 'ended.rec');
    await writeFile(endedFile, ended);
    assert.match(ended.toString('latin1'), /\nstate ended\n/);
    assert.equal(native('quorrell-script', ['--replay', endedFile]),
      native('quorrell-script', ['--seed', '7'], input + 'quit\ny\x1b'));
    assert.equal((await saved(page, '#save-transcript')).toString('latin1'),
      native('quorrell', ['--transcript', endedFile]));
    await page.close();
  } finally {
    await rm(folder, { recursive: true, force: true });
  }
});

test('a game the browser\'s storage refuses plays on unsaved, and the player is told', LIMIT, async () => {
  const page = await openGame(3, () => {
    const setItem = Storage.prototype.setItem;
    Storage.prototype.setItem = function (key, value) {
      if (key.startsWith('quorrell.game')) throw new DOMException('full', 'QuotaExceededError');
      return setItem.call(this, key, value);
    };
  });
  await page.keyboard.type('nnAnn\n');
  await waitForText(page, 'You see your messy desk');
  assert.match(await page.textContent('#notice'), /^This game is not being saved: the browser's storage refused it/);
  await page.keyboard.type('look\n');
  await waitForText(page, 'It is high noon');
  await page.close();
});

test('Undo and Redo take a step back and put it back, by button and by key, and at the closing screen', LIMIT, async () => {
  const page = await openGame(31, () => {
    // Each shake of the field, watched from outside.
    window.shakes = 0;
    document.addEventListener('DOMContentLoaded', () => {
      new MutationObserver(() => {
        if (document.getElementById('command-line').classList.contains('refused')) window.shakes += 1;
      }).observe(document.getElementById('command-line'), { attributes: true, attributeFilter: ['class'] });
    });
  });
  const stored = () => page.evaluate(() => localStorage.getItem(localStorage.getItem('quorrell.lastGame')));
  const showing = (rows) => page.waitForFunction((expected) =>
    JSON.stringify([...document.querySelectorAll('#screen .now .row')]
      .map((row) => row.textContent.replace(/\s+$/, ''))) === expected, JSON.stringify(rows));
  // Nothing to take back at a question: the field shakes, and the
  // question stays.
  assert.ok(await page.isDisabled('#undo'));
  assert.ok(await page.isDisabled('#redo'));
  await page.keyboard.press('Alt+u');
  await page.waitForFunction(() => window.shakes === 1);
  await page.keyboard.type('nnBob\nlook\n');
  const looked = await waitForText(page, 'You see your messy desk');
  await page.waitForFunction(() => !document.getElementById('undo').disabled);
  await page.keyboard.type('e\n');
  const walked = await waitForText(page, 'You are on the road outside your office');

  await page.click('#undo');
  await showing(looked);
  assert.match(await stored(), /state open \nturn 1 {9}\nnnBob\nlook\n$/);
  await page.waitForFunction(() => !document.getElementById('redo').disabled);
  await page.keyboard.press('Alt+r');
  await showing(walked);
  assert.match(await stored(), /turn 2 {9}\nnnBob\nlook\ne\n$/);
  await page.keyboard.press('Control+z');
  await showing(looked);
  await page.keyboard.press('Control+Shift+z');
  await showing(walked);
  assert.ok(await page.isDisabled('#redo'));
  await page.keyboard.press('Alt+r');
  await page.waitForFunction(() => window.shakes === 2);
  // The commands played again come back with Up.
  await page.keyboard.press('ArrowUp');
  assert.equal(await page.inputValue('#command'), 'e');
  await page.fill('#command', '');

  // The surrender, taken back from the closing screen: the game was over,
  // and is open again.
  await page.keyboard.type('quit\n');
  await waitForText(page, 'Y or N');
  await page.keyboard.type('y');
  await waitForText(page, 'Press escape to exit');
  assert.match(await stored(), /state ended\nturn 3 {9}\nnnBob\nlook\ne\nquit\ny$/);
  await page.keyboard.press('Alt+u');
  await showing(walked);
  assert.match(await stored(), /state open \nturn 2 {9}\nnnBob\nlook\ne\n$/);
  // A screen reader hears what the step did, not the game again.
  assert.equal(await page.evaluate(() => document.getElementById('story').textContent), 'Undone: quit');
  await page.close();
});
