// Times the same work bench_devtools does, done by Playwright: a fresh browser launch to a filled
// field, then round trips and weight writes on the open page. Prints one JSON object.
// usage: node fill.js <browser executable> <page url> <iterations> [headless|headed]
const { chromium } = require('playwright-core');

function now() { return Number(process.hrtime.bigint()) / 1e6; }

(async () => {
  const [executablePath, url, iterationsText, mode] = process.argv.slice(2);
  const iterations = Number(iterationsText || 200);
  const args = ['--disable-gpu', '--no-first-run', '--disable-background-networking'];
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  const start = now();
  const browser = await chromium.launch({ executablePath, headless: mode !== 'headed', args });
  const page = await browser.newPage();
  await page.goto(url, { waitUntil: 'load' });
  await page.evaluate(() => { document.all['weight'].value = 2.5; });
  const launchMs = now() - start;

  let t = now();
  for (let i = 0; i < iterations; ++i) await page.evaluate('1');
  const roundTripMs = (now() - t) / iterations;

  t = now();
  for (let i = 0; i < iterations; ++i) {
    const field = await page.evaluateHandle(() => document.all['weight']);
    await field.evaluate((e, v) => { e.value = v; }, i + 0.5);
    await field.dispose();
  }
  const fillMs = (now() - t) / iterations;
  const value = await page.evaluate(() => document.all['weight'].value);
  await browser.close();
  console.log(JSON.stringify({ launchMs, roundTripMs, fillMs, value }));
})().catch((error) => { console.error(String(error)); process.exit(1); });
