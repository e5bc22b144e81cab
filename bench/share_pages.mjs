// Students' pages for the sharing benches: one headless chromium (Debian's)
// with N pages, each in a context of its own as N students' browsers are.
//   node share_pages.mjs URL N X Y
// Every page notes, after each picture it places over the board's pixel
// X, Y, that pixel's colour and the time (performance.timeOrigin + now,
// the machine's wall clock in ms) once the pixel is readable on its canvas.
// Commands on standard input, one answer line each:
//   clock     how far the page's clock is ahead of Date.now() (which
//             reads the system's wall clock at each call), in ms
//   collect   "seen PAGE R G B MS" lines for each colour change, then "done"
//   quit
// Prints "ready" once every page shows the board. PLAYWRIGHT_DIR names the
// folder holding node_modules/playwright-core.
import { createInterface } from 'node:readline';
import { createRequire } from 'node:module';
import { join } from 'node:path';

const require = createRequire(join(process.env.PLAYWRIGHT_DIR, 'package.json'));
const { chromium } = require('playwright-core');
const [url, count, px, py] = [process.argv[2], +process.argv[3], +process.argv[4], +process.argv[5]];

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--disable-renderer-backgrounding', '--disable-background-timer-throttling',
         '--disable-backgrounding-occluded-windows'],
});

// Wraps the canvas's drawImage in the page, so the page itself is the
// program's own, unchanged.
function probe({ x, y }) {
  window.seen = [];
  const draw = CanvasRenderingContext2D.prototype.drawImage;
  CanvasRenderingContext2D.prototype.drawImage = function (image, dx, dy, ...rest) {
    draw.call(this, image, dx, dy, ...rest);
    const iw = image.displayWidth || image.width, ih = image.displayHeight || image.height;
    if (rest.length || x < dx || y < dy || x >= dx + iw || y >= dy + ih) return;
    const d = this.getImageData(x, y, 1, 1).data;
    const last = window.seen[window.seen.length - 1];
    if (last && last[0] === d[0] && last[1] === d[1] && last[2] === d[2]) return;
    window.seen.push([d[0], d[1], d[2], performance.timeOrigin + performance.now()]);
  };
}

const pages = [];
for (let i = 0; i < count; ++i) {
  const context = await browser.newContext({ bypassCSP: true });
  await context.addInitScript(probe, { x: px, y: py });
  pages.push(await context.newPage());
}
await Promise.all(pages.map(async (page) => {
  await page.goto(url);
  await page.waitForFunction(() => window.boardFrames > 0, null, { timeout: 60000 });
}));
process.stdout.write('ready\n');

const input = createInterface({ input: process.stdin });
for await (const line of input) {
  if (line === 'quit') break;
  if (line === 'clock') {
    // Date.now() counts whole ms: the mean over many reads, less half a ms.
    const d = await pages[0].evaluate(() => {
      let sum = 0;
      for (let i = 0; i < 20000; ++i) sum += performance.timeOrigin + performance.now() - Date.now();
      return sum / 20000 - 0.5;
    });
    process.stdout.write(`clock ${d.toFixed(3)}\n`);
  } else if (line === 'collect') {
    for (let i = 0; i < pages.length; ++i) {
      for (const [r, g, b, t] of await pages[i].evaluate(() => window.seen))
        process.stdout.write(`seen ${i} ${r} ${g} ${b} ${t.toFixed(3)}\n`);
    }
    process.stdout.write('done\n');
  }
}
await browser.close();
