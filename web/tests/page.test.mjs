// The game in a real browser, played through the page as a player plays it:
// keys typed into the terminal, the screen read back from the page.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { openBrowser, screen, waitForText } from './browser.mjs';

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

test('with the sound on, intr and then clto are fetched and played to their end before the name question', LIMIT, async () => {
  const page = await openGame(1, () => {
    // The page's own calls to the audio system, watched from outside.
    window.soundsStarted = [];
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
