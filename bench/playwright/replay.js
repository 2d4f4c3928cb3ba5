// Replays the values of a generated 2,000-field page (top document and two frames, one of another site)
// the two ways a Playwright script would: one evaluate per field, as a recorder replaying step by step
// does, and one batched evaluate per document. Prints one JSON object with the times of every run.
// usage: node replay.js <browser executable> <folder with top.html, frame.html, plan.json> <runs> <per-field runs>
const { chromium } = require('playwright-core');
const fs = require('fs');
const path = require('path');

function now() { return Number(process.hrtime.bigint()) / 1e6; }

// The same write as Pesavo's: the element's own setter, then the events of a person's input.
function write(document, [n, k, v]) {
  const e = document.getElementsByName(n)[0];
  if (!e) return false;
  const p = k === 'c' ? 'checked' : k === 's' ? 'selectedIndex' : 'value';
  for (let o = Object.getPrototypeOf(e); o; o = Object.getPrototypeOf(o)) {
    const s = Object.getOwnPropertyDescriptor(o, p);
    if (s && s.set) { s.set.call(e, v); break; }
  }
  for (const t of ['input', 'change']) e.dispatchEvent(new Event(t, { bubbles: true }));
  return true;
}

(async () => {
  const [executablePath, dir, runsText, perFieldText] = process.argv.slice(2);
  const plan = JSON.parse(fs.readFileSync(path.join(dir, 'plan.json'), 'utf8'));
  const args = ['--disable-gpu', '--no-first-run', '--disable-background-networking'];
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  const browser = await chromium.launch({ executablePath, headless: true, args });
  const page = await browser.newPage();
  await page.route('**/*', (route) => {
    const file = new URL(route.request().url()).pathname === '/frame.html' ? 'frame.html' : 'top.html';
    route.fulfill({ status: 200, contentType: 'text/html', body: fs.readFileSync(path.join(dir, file)) });
  });
  const writeSource = `(${write.toString()})`;
  async function load() {
    await page.goto(plan.url, { waitUntil: 'load' });
    return plan.frames.map((url) => (url ? page.frames().find((f) => f.url() === url) : page.mainFrame()));
  }
  const perField = [];
  const batched = [];
  for (let run = 0; run < Number(perFieldText); ++run) {
    const frames = await load();
    const t = now();
    for (const [frame, field] of plan.fields)
      await frames[frame].evaluate(([source, f]) => eval(source)(document, f), [writeSource, field]);
    perField.push(now() - t);
  }
  for (let run = 0; run < Number(runsText); ++run) {
    const frames = await load();
    const t = now();
    for (let i = 0; i < frames.length; ++i) {
      const fields = plan.fields.filter(([frame]) => frame === i).map(([, f]) => f);
      await frames[i].evaluate(([source, list]) => { const w = eval(source); for (const f of list) w(document, f); },
                               [writeSource, fields]);
    }
    batched.push(now() - t);
  }
  await browser.close();
  console.log(JSON.stringify({ perField, batched }));
})().catch((error) => { console.error(String(error)); process.exit(1); });
