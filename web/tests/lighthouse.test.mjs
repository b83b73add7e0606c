// The site as Lighthouse sees it, once, with its mobile and desktop presets,
// in a Chromium and a process of its own (it clears the site's storage and
// cache before each look, and nothing else here takes the machine from it).
// The four scores of each preset are printed.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import lighthouse from 'lighthouse';
import desktop from 'lighthouse/core/config/desktop-config.js';
import { launch } from 'chrome-launcher';
import { FLAGS, SITE } from './browser.mjs';
import { serveSite } from '../serve.mjs';

const PRESETS = [['mobile', undefined, 98], ['desktop', desktop, 100]];

test('Lighthouse scores the site 100 for accessibility, best practices and SEO, and its speed 98 on a phone and 100 on a desktop', { timeout: 240000 }, async (t) => {
  const server = await serveSite(SITE);
  const chrome = await launch({ chromePath: '/usr/bin/chromium', chromeFlags: FLAGS });
  try {
    const address = `http://127.0.0.1:${server.address().port}/`;
    for (const [preset, config, speed] of PRESETS) {
      // The speed is measured on a machine other work may share: a second
      // look is taken before it counts as too slow.
      let scores = null;
      for (let look = 0; look < 2 && !(scores && scores.performance >= speed); ++look) {
        const { lhr } = await lighthouse(address, { port: chrome.port, logLevel: 'error' }, config);
        scores = Object.fromEntries(Object.values(lhr.categories)
          .map((category) => [category.id, Math.round(category.score * 100)]));
        t.diagnostic(`Lighthouse ${lhr.lighthouseVersion}, ${preset}: ` +
          Object.entries(scores).map(([name, score]) => `${name} ${score}`).join(', '));
        const failing = Object.values(lhr.audits).filter((audit) => audit.score !== null && audit.score < 1 &&
          !['informative', 'manual', 'notApplicable'].includes(audit.scoreDisplayMode)).map((audit) => audit.id);
        const others = { ...scores };
        delete others.performance;
        assert.deepEqual(others, { accessibility: 100, 'best-practices': 100, seo: 100 },
          `${preset}: ${failing.join(', ')}`);
      }
      assert.ok(scores.performance >= speed, `${preset}: performance ${scores.performance} under ${speed}`);
    }
  } finally {
    await chrome.kill();
    server.close();
  }
});
