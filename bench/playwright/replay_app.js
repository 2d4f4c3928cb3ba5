// Replays a taught React page (tests/fixtures/webapps/react.html with its frames) the way a Playwright
// script would do it at its quickest: one batched evaluate per document, with the same writes as Pesavo's
// (the element's own setter and a person's events; check boxes and radios clicked). Prints one JSON
// object with the time of every run, from the first write to the last, the page already drawn.
// usage: node replay_app.js <browser executable> <tests/fixtures folder> <plan.json> <runs>
const { chromium } = require('playwright-core');
const fs = require('fs');
const path = require('path');

function now() { return Number(process.hrtime.bigint()) / 1e6; }

function writeAll(list) {
  const set = (e, p, v) => {
    for (let o = Object.getPrototypeOf(e); o; o = Object.getPrototypeOf(o)) {
      const s = Object.getOwnPropertyDescriptor(o, p);
      if (s && s.set) { s.set.call(e, v); return; }
    }
  };
  let written = 0;
  for (const [name, kind, v] of list) {
    const all = document.getElementsByName(name);
    const e = kind === 'r' ? all[v] : all[0];
    if (!e) continue;
    if (kind === 'c' || kind === 'r') { if (e.checked !== (kind === 'r' || v)) e.click(); }
    else {
      set(e, kind === 's' ? 'selectedIndex' : 'value', v);
      for (const t of ['input', 'change']) e.dispatchEvent(new Event(t, { bubbles: true }));
    }
    ++written;
  }
  return written;
}

(async () => {
  const [executablePath, root, planFile, runsText] = process.argv.slice(2);
  const plan = JSON.parse(fs.readFileSync(planFile, 'utf8'));
  const args = ['--disable-gpu', '--no-first-run', '--disable-background-networking'];
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  const browser = await chromium.launch({ executablePath, headless: true, args });
  const page = await browser.newPage();
  await page.route('**/*', (route) => {
    const file = path.join(root, new URL(route.request().url()).pathname);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file)) return route.fulfill({ status: 404, body: '' });
    const contentType = file.endsWith('.js') ? 'text/javascript' : 'text/html';
    route.fulfill({ status: 200, contentType, body: fs.readFileSync(file) });
  });
  const batched = [];
  for (let run = 0; run < Number(runsText); ++run) {
    await page.goto(plan.url, { waitUntil: 'load' });
    // The app draws its frames after the load: wait for every document's app to have drawn its form.
    while (page.mainFrame().childFrames().length < plan.documents.length - 1) await page.waitForTimeout(5);
    const frames = [page.mainFrame(), ...page.mainFrame().childFrames()];
    for (const frame of frames) await frame.waitForFunction(() => document.getElementById('state'));
    const t = now();
    for (let i = 0; i < plan.documents.length && i < frames.length; ++i)
      await frames[i].evaluate(writeAll, plan.documents[i]);
    batched.push(now() - t);
  }
  await browser.close();
  console.log(JSON.stringify({ batched }));
})().catch((error) => { console.error(String(error)); process.exit(1); });
