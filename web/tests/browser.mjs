// What the browser tests share: the built site served on 127.0.0.1, Debian's
// Chromium driven headless through playwright-core, and the game's screen
// read back from the page's #screen.
import { chromium } from 'playwright-core';
import { mkdir, mkdtemp, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serveSite } from '../serve.mjs';

export const SITE = fileURLToPath(new URL('../../build-web/site/', import.meta.url));

const FLAGS = [
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
