// Watching and sharing a game in the page: a link made by the page and by
// quorrell --share alike, opened in a fresh browser and watched to its
// end, played on from a turn, refused when damaged; and a game written as
// an asciicast, played by asciinema-player to the native game's last screen.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFile, mkdtemp, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { deflateRawSync } from 'node:zlib';
import { openBrowser, problemsEveryWay, screen, waitForText } from './browser.mjs';

const LIMIT = { timeout: 90000 };
const NATIVE = fileURLToPath(new URL('../../build/', import.meta.url));
const native = (program, args) =>
  execFileSync(join(NATIVE, program), args, { stdio: ['ignore', 'pipe', 'ignore'] }).toString('latin1');

function header(seed, state, turn) {
  return `Quorrell record\nformat 2\nseed ${seed}\nstate ${state}\nturn ${String(turn).padEnd(10)}\n`;
}
// Seed 7: the office, the drawer, the gun, a look around and a surrender.
const ENDED = header(7, 'ended', 4) + 'nnBob\nopen drawer\ntake gun\nlook\nquit\ny\x1b';
// The player's own game, put down in the office.
const OWN_GAME = header(3, 'open ', 1) + 'nnAnn\nlook\n';

let folder;
let endedFile;
before(async () => {
  folder = await mkdtemp(join(tmpdir(), 'quorrell-watch-'));
  endedFile = join(folder, 'ended.rec');
  await writeFile(endedFile, Buffer.from(ENDED, 'latin1'));
});
after(async () => {
  await rm(folder, { recursive: true, force: true });
});

// A browser whose page keeps the player's own unfinished game.
async function browserWithOwnGame() {
  const browser = await openBrowser();
  const page = await browser.context.newPage();
  await page.goto(browser.address);
  await waitForText(page, 'Instructions?  Y or N');
  await page.evaluate((text) => {
    localStorage.setItem('quorrell.game.own', text);
    localStorage.setItem('quorrell.lastGame', 'quorrell.game.own');
  }, OWN_GAME);
  return { browser, page };
}

const ownGame = (page) => page.evaluate(() => localStorage.getItem('quorrell.game.own'));

test('a shared link is the native one, is watched to its end in a fresh browser, and plays on from a turn', LIMIT, async () => {
  const fragment = native('quorrell', ['--share', endedFile]).trim();
  const first = await openBrowser();
  let link;
  try {
    await first.context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const page = await first.context.newPage();
    await page.goto(first.address);
    await waitForText(page, 'Instructions?  Y or N');
    await page.setInputFiles('#record-file', endedFile);
    await waitForText(page, 'Instructions?  Y or N');
    await page.click('#share');
    await page.waitForSelector('#share-panel', { state: 'visible' });
    link = await page.inputValue('#share-link');
    assert.equal(link, first.address + fragment);
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), link);
  } finally {
    await first.close();
  }

  // Another browser, served from another address: the link's fragment.
  const { browser, page } = await browserWithOwnGame();
  try {
    await page.goto(browser.address + link.slice(link.indexOf('#')));
    await waitForText(page, 'Instructions?  Y or N');
    assert.equal(await page.isVisible('#command-line'), false);
    for (let i = 0; i < 3; ++i) await page.click('#watch-faster');
    assert.equal(await page.textContent('#watch-speed'), '8\u00d7');
    await page.waitForSelector('#game-over', { state: 'visible', timeout: 30000 });
    const rows = await screen(page);
    assert.ok(rows.some((row) => row.includes('Press escape to exit')), rows.join('\n'));
    assert.equal(await page.textContent('#watch-turn-shown'), '4 of 4');

    // Back to turn 2, paused there: the command is not typed yet.
    await page.click('#watch-play');
    await page.$eval('#watch-turn', (slider) => {
      slider.value = '2';
      slider.dispatchEvent(new Event('change'));
    });
    await waitForText(page, 'There is a Colt 45 gun in there');
    await page.waitForFunction(() => !document.getElementById('watch-play-here').disabled);
    assert.ok(!(await screen(page)).includes('take gun'));
    assert.deepEqual(await problemsEveryWay(page), [], 'watching');
    await page.click('#watch-play-here');
    await waitForText(page, 'There is a Colt 45 gun in there');
    await page.waitForSelector('#command', { state: 'visible' });
    await page.keyboard.type('take gun\n');
    await waitForText(page, 'You now have the Colt 45 gun Marshal Bob');
    const kept = await page.evaluate(() => localStorage.getItem(localStorage.getItem('quorrell.lastGame')));
    assert.equal(kept, header(7, 'open ', 2) + 'nnBob\nopen drawer\ntake gun\n');
    assert.equal(await ownGame(page), OWN_GAME);
  } finally {
    await browser.close();
  }
});

test('a damaged, cut short, bombing or too long link says so in a line and touches no kept game', LIMIT, async () => {
  const fragment = native('quorrell', ['--share', endedFile]).trim();
  const bomb = deflateRawSync(Buffer.alloc(64 * 1024 * 1024)).toString('base64url');
  const { browser, page } = await browserWithOwnGame();
  try {
    const damaged = 'The game in that link cannot be read: the link is damaged or cut short.';
    for (const [hash, said] of [
      [fragment.slice(0, fragment.length / 2), damaged],
      [fragment.replace('#r=', '#r=AAAA'), damaged],
      ['#r=' + bomb, damaged],
    ]) {
      await page.goto('about:blank');
      await page.goto(browser.address + hash);
      await page.waitForFunction((text) => document.getElementById('notice').textContent === text, said);
      // The page goes on with the player's own game, as it would have.
      await waitForText(page, 'It is high noon in Orvane City');
      assert.equal(await ownGame(page), OWN_GAME);
    }
    // Pasted into Open record, the same; and a link longer than a browser
    // takes is refused before it is unpacked.
    await page.goto('about:blank');
    await page.goto(browser.address);
    await waitForText(page, 'It is high noon in Orvane City');
    for (const [pasted, said] of [
      ['https://example.org/quorrell/' + fragment.slice(0, 40), damaged],
      ['https://example.org/quorrell/#r=' + 'A'.repeat(2 * 1024 * 1024), 'That link is too long to hold a game of Quorrell (over 2 MB).'],
    ]) {
      await page.click('#open-record');
      await page.fill('#open-link', pasted);
      await page.click('#open-watch');
      await page.waitForFunction((text) => document.getElementById('notice').textContent === text, said);
      assert.equal(await ownGame(page), OWN_GAME);
    }
    // A whole link pasted there is watched.
    await page.click('#open-record');
    await page.fill('#open-link', 'https://example.org/quorrell/' + fragment);
    await page.click('#open-watch');
    await page.waitForSelector('#watching', { state: 'visible' });
    await waitForText(page, 'Instructions?  Y or N');
  } finally {
    await browser.close();
  }
});

// The native game's last screen: the record replayed in tmux, 80 by 25.
async function nativeLastScreen(recordFile, lastText) {
  const socket = `quorrell-cast-${process.pid}`;
  const env = { ...process.env };
  delete env.TMUX;
  const tmux = (...args) => execFileSync('tmux', ['-L', socket, ...args], { env }).toString();
  tmux('-f', '/dev/null', 'new-session', '-d', '-x', '80', '-y', '25', '-e', 'LC_ALL=C.UTF-8', '-s', 'game',
    `'${join(NATIVE, 'quorrell')}' --replay '${recordFile}'; sleep 600`);
  try {
    const end = Date.now() + 30000;
    for (;;) {
      const rows = tmux('capture-pane', '-p', '-t', 'game').split('\n').slice(0, 25).map((row) => row.trimEnd());
      if (rows.some((row) => row.includes(lastText))) return rows;
      if (Date.now() > end) throw new Error('the native game never ended:\n' + rows.join('\n'));
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  } finally {
    tmux('kill-server');
  }
}

test('an asciicast of a game plays in asciinema-player to the native game\'s last screen', LIMIT, async () => {
  // Seed 2: the store's iron door kicked, whose reply holds the triangle;
  // the game put down after a look.
  const recordFile = join(folder, 'put-down.rec');
  await writeFile(recordFile, header(2, 'open ', 6) + 'nnBob\ne\nn\nw\nw\nkick door\nlook\n');
  const site = join(folder, 'site');
  execFileSync('mkdir', ['-p', site]);
  const player = fileURLToPath(new URL('../node_modules/asciinema-player/dist/bundle/', import.meta.url));
  for (const file of ['asciinema-player.min.js', 'asciinema-player.css']) await copyFile(join(player, file), join(site, file));
  await writeFile(join(site, 'game.cast'), native('quorrell', ['--asciicast', recordFile]), 'latin1');
  await writeFile(join(site, 'index.html'), '<!DOCTYPE html><meta charset="utf-8"><link rel="stylesheet" ' +
    'href="asciinema-player.css"><div id="player"></div><script src="asciinema-player.min.js"></script>');
  const expected = await nativeLastScreen(recordFile, 'plays on from here');
  assert.ok(expected.some((row) => row.includes('Ouch \u25b2 that hurt!')), expected.join('\n'));

  const browser = await openBrowser({ site });
  try {
    const page = await browser.context.newPage();
    await page.goto(browser.address);
    await page.evaluate(() => new Promise((resolve) => {
      const options = { autoPlay: true, speed: 8, idleTimeLimit: 0.5 };
      AsciinemaPlayer.create('game.cast', document.getElementById('player'), options).addEventListener('ended', resolve);
    }));
    const shown = await page.$$eval('.ap-term-text .ap-line',
      (lines) => lines.map((line) => line.textContent.replace(/\u00a0/g, ' ').trimEnd()));
    assert.deepEqual(shown, expected);
  } finally {
    await browser.close();
  }
});
