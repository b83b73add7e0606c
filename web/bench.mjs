// The web build's two figures: how long a page takes from loading to the
// title's first question, headless, each time in a fresh browser with an
// empty cache; and how many bytes the game's WebAssembly and script take
// compressed (the sounds and the terminal not counted).
//   node web/bench.mjs [loads]   (5 unless told; needs tools/build-web first)
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';
import { openBrowser, SITE } from './tests/browser.mjs';

const loads = Number(process.argv[2] || 5);
const times = [];
for (let i = 0; i < loads; ++i) {
  const browser = await openBrowser();
  const page = await browser.context.newPage();
  const started = Date.now();
  await page.goto(browser.address);
  await page.waitForFunction(
    () => document.querySelector('.xterm-rows')?.textContent.replace(/\u00a0/g, ' ').includes('Instructions?  Y or N'),
    null, { polling: 'raf' });
  times.push(Date.now() - started);
  await browser.close();
}
times.sort((a, b) => a - b);
console.log(`Load to title (ms, ${loads} cold loads): median ${times[Math.floor(loads / 2)]}, ` +
            `fastest ${times[0]}, slowest ${times[loads - 1]}`);

let raw = 0;
let gzip = 0;
let brotli = 0;
for (const file of ['quorrell.wasm', 'quorrell.js']) {
  const bytes = readFileSync(join(SITE, file));
  raw += bytes.length;
  gzip += gzipSync(bytes, { level: 9 }).length;
  brotli += brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
}
const kb = (bytes) => (bytes / 1024).toFixed(1) + ' KB';
console.log(`quorrell.wasm + quorrell.js: ${kb(raw)}, gzip -9 ${kb(gzip)}, brotli ${kb(brotli)}`);
