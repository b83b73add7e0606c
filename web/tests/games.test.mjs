// Every game kept in the browser, and played in one tab at a time: tabs that
// open the same game, a seeded address reloaded, storage blocked, and the
// Games panel.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import { openBrowser, screen, waitForText } from './browser.mjs';

const LIMIT = { timeout: 90000 };

let browser;
before(async () => {
  browser = await openBrowser();
});
after(async () => {
  await browser.close();
});

// A tab of its own, at the address (a seed, or '' for none); a fault in the
// page's script fails the test.
async function openTab(address) {
  const page = await browser.context.newPage();
  page.on('pageerror', (error) => assert.fail(error.message));
  await page.goto(browser.address + address);
  return page;
}

// The records kept in the browser, as the storage holds them.
function keptRecords(page) {
  return page.evaluate(() => Object.keys(localStorage).filter((key) => key.startsWith('quorrell.game.'))
    .map((key) => localStorage.getItem(key)));
}

function header(seed, state, turn) {
  return `Quorrell record\nformat 2\nseed ${seed}\nstate ${state}\nturn ${String(turn).padEnd(10)}\n`;
}

// The Games panel opened: each game's line and its buttons, newest first.
async function gamesListed(page) {
  await page.click('#games');
  await page.waitForSelector('#games-panel[open]');
  return page.$$eval('#games-list li', (items) => items.map((item) => [item.querySelector('.summary').textContent,
    ...[...item.querySelectorAll('button')].map((button) => button.textContent)]));
}

const WHEN = '\\d{1,2} [A-Z][a-z]+ \\d{4} \\d\\d:\\d\\d';

test('a game is played in one tab: another tab asks, "Play it here" stops the first, and New game leaves it be', LIMIT, async () => {
  // In the town of seed 1 nobody waits on this walk.
  const first = await openTab('?seed=1');
  await waitForText(first, 'Instructions?  Y or N');
  await first.keyboard.type('nnBob\nopen drawer\ntake gun\n');
  const armed = await waitForText(first, 'You now have the Colt 45 gun Marshal Bob');

  // A second tab opens the game played last, and asks.
  const second = await openTab('');
  await second.waitForSelector('#elsewhere', { state: 'visible' });
  assert.equal(await second.textContent('#elsewhere-text'), 'This game is open in another tab.');
  assert.deepEqual(await second.$$eval('#elsewhere button', (buttons) => buttons.map((button) => button.textContent)),
    ['Play it here', 'New game']);
  assert.equal(await second.evaluate(() => document.activeElement.id), 'play-here');
  // A third asks too, and starts a game of its own.
  const third = await openTab('');
  await third.waitForSelector('#elsewhere', { state: 'visible' });
  await third.click('#elsewhere-new-game');
  await waitForText(third, 'Instructions?  Y or N');
  await third.keyboard.type('nnCid\n');
  await waitForText(third, 'You see your messy desk');

  // The player looks at the tab he plays in: a hidden one draws nothing.
  await second.bringToFront();
  await second.click('#play-here');
  await waitForText(second, 'You now have the Colt 45 gun Marshal Bob');
  assert.deepEqual(await screen(second), armed);
  await first.waitForSelector('#elsewhere', { state: 'visible' });
  assert.equal(await first.textContent('#elsewhere-text'), 'This game is now being played in another tab.');
  assert.equal(await first.isVisible('#command-line'), false);
  // The first tab writes nothing more of the game; the second plays on.
  await first.keyboard.type('look\n');
  await second.keyboard.type('e\nn\n');
  await waitForText(second, 'You are in front of Clem\'s General Store');
  await first.waitForTimeout(200);
  let records = (await keptRecords(second)).filter((record) => record.includes('nnBob'));
  assert.equal(records.length, 1);
  assert.match(records[0], /^Quorrell record\nformat 2\nseed \d+\nstate open \nturn 4 {9}\nnnBob\nopen drawer\ntake gun\ne\nn\n$/);

  // Both games are kept, the one played last first.
  await third.bringToFront();
  assert.deepEqual((await gamesListed(third)).map((game) => game[0].replace(new RegExp(WHEN), 'WHEN')), [
    'WHEN \u00b7 turn 4 \u00b7 unfinished',
    'WHEN \u00b7 turn 0 \u00b7 unfinished, played in this tab',
  ]);

  // The first tab takes the game back, and the second stops in its turn.
  await first.bringToFront();
  await first.click('#play-here');
  await waitForText(first, 'You are in front of Clem\'s General Store');
  await second.waitForSelector('#elsewhere', { state: 'visible' });
  records = (await keptRecords(first)).filter((record) => record.includes('nnBob'));
  assert.equal(records.length, 1);
  assert.ok(!records[0].includes('look'), records[0]);
  for (const page of [first, second, third]) await page.close();
});

test('a seeded address reloaded picks up its game, and starts a new one only in a tab not playing it', LIMIT, async () => {
  const page = await openTab('?seed=12');
  await waitForText(page, 'Instructions?  Y or N');
  await page.keyboard.type('nnBob\nopen drawer\n');
  const stopped = await waitForText(page, 'You got the drawer open');
  await page.reload();
  await waitForText(page, 'You got the drawer open');
  assert.deepEqual(await screen(page), stopped);
  await page.keyboard.press('ArrowUp');
  assert.equal(await page.inputValue('#command'), 'open drawer');

  // The address opened afresh is a new game of that town, and the first
  // tab's game stays its own.
  const other = await openTab('?seed=12');
  await waitForText(other, 'Instructions?  Y or N');
  await page.bringToFront();
  await page.reload();
  await waitForText(page, 'You got the drawer open');
  assert.equal((await keptRecords(page)).filter((record) => record === header(12, 'open ', 1) + 'nnBob\nopen drawer\n').length, 1);
  for (const each of [page, other]) await each.close();
});

test('with the site\'s data blocked the page plays, and says once that its games are not kept', LIMIT, async () => {
  const blocked = await openBrowser({ blockSiteData: true });
  try {
    const page = await blocked.context.newPage();
    const faults = [];
    page.on('pageerror', (error) => faults.push(error.message));
    await page.goto(blocked.address + '?seed=1');
    await waitForText(page, 'Instructions?  Y or N');
    const notKept = 'This browser keeps nothing for this page, so the games played here are not being kept.';
    assert.equal(await page.textContent('#notice'), notKept);
    await page.keyboard.type('nnBob\nopen drawer\n');
    await waitForText(page, 'You got the drawer open');
    assert.equal(await page.textContent('#notice'), notKept);
    assert.deepEqual(await gamesListed(page), []);
    assert.equal(await page.textContent('#games-none'), 'This browser keeps nothing for this page, so no game is kept.');
    await page.keyboard.press('Escape');
    // The record is there to save all the same.
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save-record')]);
    assert.equal((await readFile(await download.path())).toString('latin1'), header(1, 'open ', 1) + 'nnBob\nopen drawer\n');
    assert.deepEqual(faults, []);
    await page.close();
  } finally {
    await blocked.close();
  }
});

test('the Games panel lists the kept games, plays one on, downloads one and deletes one once asked', LIMIT, async () => {
  const page = await openTab('?seed=21');
  await waitForText(page, 'Instructions?  Y or N');
  // The games of the tests before are no part of this one.
  await page.evaluate(() => localStorage.clear());
  await page.keyboard.type('nnAnn\nlook\n');
  await waitForText(page, 'It is high noon');
  await page.click('#new-game');
  await waitForText(page, 'Instructions?  Y or N');
  await page.keyboard.type('nnBea\nquit\ny');
  await waitForText(page, 'Press escape to exit');
  await page.keyboard.press('Escape');
  await page.waitForSelector('#game-over', { state: 'visible' });

  const ann = `${WHEN} \u00b7 turn 1 \u00b7 unfinished`;
  const bea = `${WHEN} \u00b7 turn 1 \u00b7 ended`;
  const listed = await gamesListed(page);
  assert.equal(listed.length, 2, JSON.stringify(listed));
  assert.match(listed[0][0], new RegExp(`^${bea}$`));
  assert.match(listed[1][0], new RegExp(`^${ann}$`));
  assert.deepEqual(listed[0].slice(1), ['Watch', 'Share', 'Download', 'Delete']);
  assert.deepEqual(listed[1].slice(1), ['Play on', 'Watch', 'Share', 'Download', 'Delete']);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'games-close');
  const row = (pattern) => page.locator('#games-list li', { hasText: new RegExp(pattern) });

  const [download] = await Promise.all([page.waitForEvent('download'), row(ann).getByText('Download').click()]);
  assert.equal((await readFile(await download.path())).toString('latin1'), header(21, 'open ', 1) + 'nnAnn\nlook\n');

  // A kept game is shared as the page's own Share shares the game on it:
  // its link carries that game's record.
  await row(ann).getByText('Share').click();
  await page.waitForSelector('#share-link', { state: 'visible' });
  const carried = await page.evaluate(async (link) => {
    const packed = atob(link.split('#r=')[1].replace(/-/g, '+').replace(/_/g, '/'));
    const bytes = Uint8Array.from(packed, (character) => character.charCodeAt(0));
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    return new TextDecoder('latin1').decode(await new Response(stream).arrayBuffer());
  }, await page.inputValue('#share-link'));
  assert.equal(carried, header(21, 'open ', 1) + 'nnAnn\nlook\n');
  await gamesListed(page);

  // Deleting asks first; Escape keeps the game, Delete takes it away.
  await row(bea).getByText('Delete').click();
  await page.waitForSelector('#delete-question[open]');
  assert.match(await page.textContent('#delete-text'),
    new RegExp(`^Delete the ended game last played on ${WHEN}, at turn 1\\? It cannot be brought back\\.$`));
  assert.equal(await page.evaluate(() => document.activeElement.textContent), 'Keep it');
  await page.keyboard.press('Escape');
  assert.equal(await row(bea).count(), 1);
  assert.equal(await page.isVisible('#games-panel'), true);
  await row(bea).getByText('Delete').click();
  await page.click('#delete-question button[value="delete"]');
  await row(bea).waitFor({ state: 'detached' });
  assert.equal(await page.locator('#games-list li').count(), 1);
  assert.equal(await page.evaluate(() => document.activeElement.closest('li') !== null), true);

  await row(ann).getByText('Play on').click();
  await waitForText(page, 'It is high noon');
  await page.keyboard.press('ArrowUp');
  assert.equal(await page.inputValue('#command'), 'look');
  await page.close();
});
