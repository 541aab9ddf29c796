// How fast Chromium shows a page from the disk: first paint, first contentful
// paint, DOMContentLoaded and load, from the page's own performance timing,
// read through the DevTools protocol (the page itself runs no script).
//   node --experimental-websocket tools/bench/page-timing.mjs PAGE.html [RUNS]
// Each run is a fresh headless browser with an empty profile; prints every run and the median.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';

const [page, runsText = '5'] = process.argv.slice(2);
if (!page) {
  console.error('usage: node --experimental-websocket page-timing.mjs PAGE.html [RUNS]');
  process.exit(2);
}

async function once(url) {
  const profile = mkdtempSync(join(tmpdir(), 'page-timing-'));
  const browser = spawn('chromium', ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`,
    '--remote-debugging-port=0', 'about:blank'], { stdio: ['ignore', 'ignore', 'pipe'] });
  try {
    const endpoint = await new Promise((found, failed) => {
      let text = '';
      browser.stderr.on('data', (chunk) => {
        text += chunk;
        const match = text.match(/DevTools listening on (ws:\S+)/);
        if (match) found(match[1]);
      });
      browser.on('exit', () => failed(new Error('chromium ended: ' + text)));
    });
    const socket = new WebSocket(endpoint);
    await new Promise((open) => socket.addEventListener('open', open));
    let next = 0;
    const waiting = new Map(), events = [];
    socket.addEventListener('message', ({ data }) => {
      const message = JSON.parse(data);
      if (message.id && waiting.has(message.id)) waiting.get(message.id)(message);
      else events.push(message);
    });
    const call = (method, params = {}, sessionId) => new Promise((answer) => {
      const id = ++next;
      waiting.set(id, answer);
      socket.send(JSON.stringify({ id, method, params, sessionId }));
    });
    const { result: { targetId } } = await call('Target.createTarget', { url: 'about:blank' });
    const { result: { sessionId } } = await call('Target.attachToTarget', { targetId, flatten: true });
    await call('Page.enable', {}, sessionId);
    await call('Page.navigate', { url }, sessionId);
    while (!events.some((e) => e.method === 'Page.loadEventFired')) await new Promise((r) => setTimeout(r, 20));
    await new Promise((r) => setTimeout(r, 200));
    const { result: { result: { value } } } = await call('Runtime.evaluate', {
      returnByValue: true,
      expression: `(() => { const n = performance.getEntriesByType('navigation')[0], t = {};
        for (const p of performance.getEntriesByType('paint')) t[p.name] = p.startTime;
        t['DOMContentLoaded'] = n.domContentLoadedEventEnd; t['load'] = n.loadEventEnd; return t; })()`,
    }, sessionId);
    // Closed by the protocol, so that the browser's helpers end with it.
    const ended = new Promise((r) => browser.once('exit', r));
    await call('Browser.close');
    await ended;
    socket.close();
    return value;
  } finally {
    if (browser.exitCode === null) {
      const ended = new Promise((r) => browser.once('exit', r));
      browser.kill();
      await ended;
    }
    rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
  }
}

const url = 'file://' + resolve(page);
const runs = [];
for (let i = 0; i < Number(runsText); ++i) {
  const timing = await once(url);
  runs.push(timing);
  console.log(Object.entries(timing).map(([name, ms]) => `${name} ${Math.round(ms)} ms`).join(', '));
}
const median = (name) => {
  const values = runs.map((r) => r[name]).sort((a, b) => a - b);
  return Math.round(values[Math.floor(values.length / 2)]);
};
console.log('median: ' + Object.keys(runs[0]).map((name) => `${name} ${median(name)} ms`).join(', '));
