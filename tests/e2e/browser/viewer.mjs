// A student's browser for the end-to-end tests: Debian's chromium, headless,
// driven by commands on standard input, one answer line each.
//   open URL        load the page; "ok" once it shows a picture
//   pixels FILE     the canvas as raw RGBA into FILE; "W H frames"
//   state           connecting | live | stopped | lost, and the notice shown
//   quit
// PLAYWRIGHT_DIR names the folder holding node_modules/playwright-core.
import { createInterface } from 'node:readline';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(join(process.env.PLAYWRIGHT_DIR, 'package.json'));
const { chromium } = require('playwright-core');

const profile = mkdtempSync(join(tmpdir(), 'pointer-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: '/usr/bin/chromium',
  headless: true,
  // The page forbids eval; the driver's own probes need it.
  bypassCSP: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const page = context.pages()[0] || await context.newPage();

async function run(line) {
  const [cmd, arg] = [line.split(' ')[0], line.slice(line.indexOf(' ') + 1)];
  if (cmd === 'open') {
    const response = await page.goto(arg);
    if (!response || response.status() !== 200) return 'status ' + (response ? response.status() : 0);
    await page.waitForFunction(() => window.boardFrames > 0, null, { timeout: 10000 });
    return 'ok';
  }
  if (cmd === 'pixels') {
    const got = await page.evaluate(() => {
      const c = document.getElementById('board');
      const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      // Latin-1 string: one character a byte, cheap to hand over.
      let s = '';
      for (let i = 0; i < d.length; i += 8192) s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
      return { w: c.width, h: c.height, frames: window.boardFrames, bytes: s };
    });
    writeFileSync(arg, Buffer.from(got.bytes, 'latin1'));
    return `${got.w} ${got.h} ${got.frames}`;
  }
  if (cmd === 'state') {
    return await page.evaluate(() =>
      window.boardState + ' ' + document.getElementById('note').textContent);
  }
  return 'unknown command';
}

const input = createInterface({ input: process.stdin });
for await (const line of input) {
  if (line === 'quit') break;
  let answer;
  try {
    answer = await run(line);
  } catch (e) {
    answer = 'error ' + String(e.message || e).split('\n')[0];
  }
  process.stdout.write(answer + '\n');
}
await context.close();
rmSync(profile, { recursive: true, force: true });
