// The web build's figures, each load in a fresh browser with an empty cache,
// headless, the site served compressed by web/serve.mjs:
//  - from loading the page to the title's first question, median of the
//    loads, on this machine's own loopback;
//  - the same through Chromium's network emulation at 150 ms latency and
//    1.6 Mbit/s down;
//  - the bytes the page loads up to that question, as they cross the network.
//   node web/bench.mjs [loads]   (5 unless told; needs tools/build-web first)
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';
import { openBrowser, SITE } from './tests/browser.mjs';

const loads = Number(process.argv[2] || 5);
const SLOW = { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 0.75e6 / 8 };

async function loadOnce(network) {
  const browser = await openBrowser();
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

const local = [];
for (let i = 0; i < loads; ++i) local.push(await loadOnce(null));
console.log(`Load to the first question (${loads} cold loads): ${summary(local)}`);
const slow = [];
for (let i = 0; i < loads; ++i) slow.push(await loadOnce(SLOW));
console.log(`The same at 150 ms and 1.6 Mbit/s: ${summary(slow)}`);
const kb = (count) => (count / 1024).toFixed(1) + ' KB';
console.log(`Loaded up to the first question, as sent (brotli): ${kb(Math.max(...local.map((run) => run.bytes)))}`);

let raw = 0;
let gzip = 0;
let brotli = 0;
for (const file of ['index.html', 'quorrell.js', 'quorrell.wasm']) {
  const bytes = readFileSync(join(SITE, file));
  raw += bytes.length;
  gzip += gzipSync(bytes, { level: 9 }).length;
  brotli += brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
}
console.log(`The page's files up to the first question: ${kb(raw)}, gzip -9 ${kb(gzip)}, brotli ${kb(brotli)}`);
