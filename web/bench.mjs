// The web build's figures, each load in a fresh browser with an empty cache,
// headless, the site served compressed by web/serve.mjs:
//  - from loading the page to the title's first question, median of the
//    loads, on this machine's own loopback;
//  - the same through Chromium's network emulation at 150 ms latency and
//    1.6 Mbit/s down;
//  - the bytes the page loads up to that question, as they cross the
//    network, and its files compressed by brotli and by gzip -6;
//  - an undo and a redo at turn 1,005, from the button to the game waiting
//    again for a command, the whole game played again in a fresh instance.
// Given two sites or more (an older build beside this one), their loads take
// turns, so each meets the same load on the machine.
//   node web/bench.mjs [loads] [site folder...]   (7 loads and build-web/site
//   unless told; needs tools/build-web first)
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';
import { openBrowser, SITE } from './tests/browser.mjs';

const loads = Number(process.argv[2] || 7);
const sites = process.argv.length > 3 ? process.argv.slice(3) : [SITE];
const SLOW = { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 0.75e6 / 8 };
const FILES = ['index.html', 'quorrell.js', 'quorrell.wasm'];

async function loadOnce(site, network) {
  const browser = await openBrowser({ site });
  const page = await browser.context.newPage();
  const cdp = await browser.context.newCDPSession(page);
  await cdp.send('Network.enable');
  if (network) await cdp.send('Network.emulateNetworkConditions', network);
  let bytes = 0;
  cdp.on('Network.loadingFinished', (event) => {
    bytes += event.encodedDataLength;
  });
  const started = Date.now();
  await page.goto(browser.address, { waitUntil: 'commit' });
  await page.waitForFunction(
    () => document.getElementById('screen')?.textContent.includes('Instructions?  Y or N'),
    null, { polling: 'raf', timeout: 30000 });
  const time = Date.now() - started;
  await browser.close();
  return { time, bytes };
}

function summary(runs) {
  const times = runs.map((run) => run.time).sort((a, b) => a - b);
  return `median ${times[Math.floor(times.length / 2)]} ms, fastest ${times[0]}, slowest ${times[times.length - 1]}`;
}

const kb = (count) => (count / 1024).toFixed(1) + ' KB';

for (const [name, network] of [['on loopback', null], ['at 150 ms and 1.6 Mbit/s', SLOW]]) {
  const runs = sites.map(() => []);
  for (let i = 0; i < loads; ++i) {
    for (const [index, site] of sites.entries()) runs[index].push(await loadOnce(site, network));
  }
  for (const [index, site] of sites.entries()) {
    console.log(`${site}: to the first question ${name} (${loads} cold loads): ${summary(runs[index])}` +
      (network ? '' : `; ${kb(Math.max(...runs[index].map((run) => run.bytes)))} sent, headers and icon included`));
  }
}

for (const site of sites) {
  let raw = 0;
  let gzip = 0;
  let brotli = 0;
  for (const file of FILES) {
    const bytes = readFileSync(join(site, file));
    raw += bytes.length;
    gzip += gzipSync(bytes, { level: 6 }).length;
    brotli += brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
  }
  console.log(`${site}: the page's files up to the first question: ${kb(raw)}, brotli ${kb(brotli)}, gzip -6 ${kb(gzip)}`);
}

// The long game of the native benchmark: Dexter, clipped, faces the Marshal
// and holds the clock still while "shoot" names no one, a turn each time.
const SHOTS = 1000;
function longRecord() {
  let input = 'nnBob\nopen drawer\ntake gun\ne\ne\nshoot Dexter\n' + 'shoot\n'.repeat(SHOTS);
  return `Quorrell record\nformat 2\nseed 1796701097\nstate open \nturn ${String(5 + SHOTS).padEnd(10)}\n${input}`;
}

// From a click to the game waiting for a command again, in the page's own
// clock.
function stepTaken(page, button) {
  return page.evaluate((id) => new Promise((resolve) => {
    const form = document.getElementById('command-line');
    let started = 0;
    let restarted = false;
    const observer = new MutationObserver(() => {
      if (form.dataset.waiting === 'busy') restarted = true;
      else if (restarted && form.dataset.waiting === 'line') {
        observer.disconnect();
        resolve(performance.now() - started);
      }
    });
    observer.observe(form, { attributes: true, attributeFilter: ['data-waiting'] });
    started = performance.now();
    document.getElementById(id).click();
  }), button);
}

async function undoAndRedo(times) {
  const browser = await openBrowser();
  const page = await browser.context.newPage();
  await page.goto(browser.address);
  await page.evaluate((record) => {
    localStorage.setItem('quorrell.game.long', record);
    localStorage.setItem('quorrell.lastGame', 'quorrell.game.long');
  }, longRecord());
  await page.reload();
  await page.waitForFunction(() => !document.getElementById('undo').disabled, null, { timeout: 60000 });
  const undo = [];
  const redo = [];
  for (let i = 0; i < times; ++i) {
    undo.push(await stepTaken(page, 'undo'));
    redo.push(await stepTaken(page, 'redo'));
  }
  await browser.close();
  return { undo, redo };
}

function steps(times) {
  const sorted = [...times].sort((a, b) => a - b);
  return `median ${sorted[Math.floor(sorted.length / 2)].toFixed(0)} ms, ` +
    `fastest ${sorted[0].toFixed(0)}, slowest ${sorted[sorted.length - 1].toFixed(0)}`;
}

const taken = await undoAndRedo(10);
console.log(`Undo at turn ${5 + SHOTS} (10 times): ${steps(taken.undo)}`);
console.log(`Redo back to turn ${5 + SHOTS} (10 times): ${steps(taken.redo)}`);
