// What the browser tests share: the built site served on 127.0.0.1, Debian's
// Chromium driven headless through playwright-core, the game's screen read
// back from the page's #screen, and what the web's checkers and a player's
// eye would find wrong with the page.
import { AxeBuilder } from '@axe-core/playwright';
import { chromium } from 'playwright-core';
import { mkdir, mkdtemp, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serveSite } from '../serve.mjs';

export const SITE = fileURLToPath(new URL('../../build-web/site/', import.meta.url));

// Chromium here has no network beyond this machine, and asks for none.
export const FLAGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// A fresh browser profile and server; `close` removes both. `site` is
// another folder to serve, `viewport` and `touch` make it a phone, and
// `blockSiteData` blocks every site's data, as a player's setting does.
export async function openBrowser({ site = SITE, viewport = { width: 1000, height: 820 }, touch = false,
  blockSiteData = false } = {}) {
  const server = await serveSite(site);
  const profile = await mkdtemp(join(tmpdir(), 'quorrell-chromium-'));
  if (blockSiteData) {
    await mkdir(join(profile, 'Default'));
    await writeFile(join(profile, 'Default', 'Preferences'),
      JSON.stringify({ profile: { default_content_setting_values: { cookies: 2 } } }));
  }
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: FLAGS,
    viewport,
    hasTouch: touch,
    isMobile: touch,
  });
  return {
    context,
    server,
    address: `http://127.0.0.1:${server.address().port}/`,
    async close() {
      await context.close();
      server.close();
      await rm(profile, { recursive: true, force: true });
    },
  };
}

// The 25 rows of the console as the page shows them, spaces at the ends
// trimmed.
export async function screen(page) {
  return page.evaluate(() =>
    [...document.querySelectorAll('#screen .now .row')].map((row) => row.textContent.replace(/\s+$/, '')));
}

// Waits until some row of the screen holds `text`; the screen when it does.
// A new game or an opened record reloads the page, so a look that the
// reload cuts short is simply taken again.
export async function waitForText(page, text, timeout = 10000) {
  const end = Date.now() + timeout;
  for (;;) {
    const rows = await screen(page).catch((error) => {
      if (/context was destroyed|navigat/i.test(error.message)) return [];
      throw error;
    });
    if (rows.some((row) => row.includes(text))) return rows;
    if (Date.now() > end) throw new Error(`"${text}" never appeared; the screen:\n${rows.join('\n')}`);
    await page.waitForTimeout(25);
  }
}

// What axe finds wrong with the page as it stands, then with each menu,
// panel or dialog that a button in view opens (aria-controls,
// aria-haspopup), opened in turn, whichever module put it there: one
// "rule: element" line for each.
export async function accessibilityProblems(page) {
  const found = [];
  const check = async (where) => {
    const results = await new AxeBuilder({ page }).setLegacyMode().analyze();
    for (const violation of results.violations) {
      for (const node of violation.nodes) found.push(`${where}${violation.id}: ${node.target.join(' ')}`);
    }
  };
  await check('');
  for (const opener of await page.$$('button[aria-controls]:visible, button[aria-haspopup]:visible')) {
    const name = (await opener.getAttribute('aria-label')) || (await opener.textContent()).trim();
    await opener.click();
    await check(`with ${name} open, `);
    // Closed as it opened: a dialog by Escape, a menu by its button.
    if (await page.$('dialog[open]')) await page.keyboard.press('Escape');
    else if (await opener.getAttribute('aria-expanded') === 'true') await opener.click();
    if (await page.$('dialog[open]')) found.push(`${name} does not close`);
  }
  return found;
}

// Every text on the page, and the command line's placeholder, against what
// lies behind it: each under 4.5 to 1, as "ratio: text". A gradient behind
// a text is taken at its worst colour.
export async function contrastProblems(page) {
  return page.evaluate(() => {
    const colours = (text) => [...text.matchAll(/rgba?\(([^)]*)\)/g)]
      .map((match) => match[1].split(/[\s,/]+/).filter(Boolean).map(Number))
      .map(([red, green, blue, alpha = 1]) => [red, green, blue, alpha]);
    const over = (top, base, alpha) => top.slice(0, 3).map((value, i) => value * alpha + base[i] * (1 - alpha));
    const luminance = (colour) => {
      const [red, green, blue] = colour.map((value) => {
        const share = value / 255;
        return share <= 0.03928 ? share / 12.92 : ((share + 0.055) / 1.055) ** 2.4;
      });
      return 0.2126 * red + 0.7152 * green + 0.0722 * blue;
    };
    const ratio = (one, two) => {
      const [light, dark] = [luminance(one), luminance(two)].sort((a, b) => b - a);
      return (light + 0.05) / (dark + 0.05);
    };
    // The colours that can lie behind an element: the first opaque layer
    // up the tree, with every see-through layer between laid over it.
    function backgrounds(element) {
      const seeThrough = [];
      for (let node = element; node; node = node.parentElement) {
        const style = getComputedStyle(node);
        const layers = [...colours(style.backgroundColor), ...colours(style.backgroundImage)]
          .filter((colour) => colour[3] > 0);
        const opaque = layers.filter((colour) => colour[3] === 1);
        seeThrough.unshift(...layers.filter((colour) => colour[3] < 1));
        if (opaque.length) {
          let found = opaque.map((colour) => colour.slice(0, 3));
          for (const layer of seeThrough) found = found.concat(found.map((base) => over(layer, base, layer[3])));
          return found;
        }
      }
      return [[255, 255, 255]];
    }
    function opacity(element) {
      let product = 1;
      for (let node = element; node; node = node.parentElement) product *= Number(getComputedStyle(node).opacity);
      return product;
    }
    const problems = [];
    const measure = (element, colour, what, own = 1) => {
      const alpha = colour[3] * opacity(element) * own;
      for (const base of backgrounds(element)) {
        const value = ratio(over(colour, base, alpha), base);
        if (value < 4.5) {
          problems.push(`${value.toFixed(2)}: ${what.trim().slice(0, 40)}`);
          return;
        }
      }
    };
    for (const element of document.querySelectorAll('body *')) {
      const ownText = [...element.childNodes].some((node) => node.nodeType === 3 && node.textContent.trim());
      if (!ownText || !element.getClientRects().length || element.closest('.visually-hidden')) continue;
      if (getComputedStyle(element).visibility !== 'visible') continue;
      measure(element, colours(getComputedStyle(element).color)[0], element.textContent);
    }
    const field = document.getElementById('command');
    if (field.placeholder && getComputedStyle(field).visibility === 'visible') {
      const placeholder = getComputedStyle(field, '::placeholder');
      measure(field, colours(placeholder.color)[0], `placeholder ${field.placeholder}`, Number(placeholder.opacity));
    }
    return problems;
  });
}

// What a player at this size could not read or reach: the page scrolling
// (it never should: the screen scrolls), text under 12 pixels, a control
// cut, covered or smaller than a fingertip (44 by 44), the controls in more
// than one row, the command line out of view, the question out of view, or
// at the command prompt the three lines of the story before it.
export async function layoutProblems(page) {
  return page.evaluate(() => {
    const problems = [];
    const root = document.documentElement;
    const width = root.clientWidth;
    const height = root.clientHeight;
    if (root.scrollWidth > width) problems.push('the page scrolls sideways');
    if (root.scrollHeight > height) problems.push(`the page scrolls: ${root.scrollHeight} in ${height}`);
    const screen = document.getElementById('screen');
    if (screen.scrollWidth > screen.clientWidth) problems.push('the screen scrolls sideways');
    const shown = (element) => element.getClientRects().length && !element.closest('.visually-hidden') &&
      getComputedStyle(element).visibility === 'visible';
    for (const element of document.querySelectorAll('body *')) {
      const ownText = [...element.childNodes].some((node) => node.nodeType === 3 && node.textContent.trim());
      if (!ownText || !shown(element)) continue;
      const size = parseFloat(getComputedStyle(element).fontSize);
      if (size < 12) problems.push(`${size}px text: ${element.textContent.slice(0, 30)}`);
      const box = element.getBoundingClientRect();
      if (box.right > width + 1 || box.left < -1) problems.push(`off the side: ${element.textContent.slice(0, 30)}`);
    }
    const inView = (box, within) => box.top >= within.top - 1 && box.bottom <= within.bottom + 1 &&
      box.left >= within.left - 1 && box.right <= within.right + 1;
    const window = { top: 0, bottom: height, left: 0, right: width };
    const rows = new Set();
    for (const control of document.querySelectorAll('button, input, select')) {
      if (!shown(control)) continue;
      const name = control.getAttribute('aria-label') || control.textContent.trim() || control.id;
      const box = control.getBoundingClientRect();
      const middle = document.elementFromPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2);
      if (!inView(box, window) || !control.contains(middle)) problems.push(`${name} is cut or covered`);
      if (box.width < 43.5 || box.height < 43.5) problems.push(`${name} is ${box.width} by ${box.height}`);
      if (control.closest('#controls') && !control.closest('#more-controls')) rows.add(Math.round(box.top));
    }
    if (rows.size > 1) problems.push(`the controls take ${rows.size} rows`);
    const field = document.getElementById('command');
    if (shown(field) && !inView(field.getBoundingClientRect(), window)) problems.push('the command line is out of view');
    // At a question, the question (the cursor's line) in view; at the
    // command prompt, the three lines of the story before it too.
    const cursor = screen.querySelector('.cursor');
    if (cursor) {
      const question = cursor.closest('.line').textContent.trim() !== '';
      const lines = [];
      const walker = document.createTreeWalker(screen.querySelector('.now'), NodeFilter.SHOW_TEXT);
      const range = document.createRange();
      for (let node = walker.nextNode(); node; node = walker.nextNode()) {
        if (!node.textContent.trim() || cursor.contains(node)) continue;
        range.selectNodeContents(node);
        for (const box of range.getClientRects()) {
          if (box.bottom <= cursor.getBoundingClientRect().top + 1 && !lines.some((line) => line.top === box.top)) lines.push(box);
        }
      }
      const within = screen.getBoundingClientRect();
      if (!inView(cursor.getBoundingClientRect(), within)) problems.push('the question is out of view');
      lines.sort((one, two) => one.top - two.top);
      if (!question && lines.slice(-3).some((line) => line.top < within.top - 1)) {
        problems.push('the story before the prompt is out of view');
      }
    }
    return problems;
  });
}

// Everything above, in the light theme and the dark: the page must follow
// the system's theme (nothing chosen and stored).
export async function problemsEveryWay(page) {
  const problems = [];
  for (const theme of ['light', 'dark']) {
    await page.emulateMedia({ colorScheme: theme });
    await page.waitForFunction((wanted) => document.documentElement.dataset.theme === wanted, theme);
    for (const problem of [...await accessibilityProblems(page), ...await contrastProblems(page)]) {
      problems.push(`${theme}: ${problem}`);
    }
  }
  return problems.concat(await layoutProblems(page));
}
