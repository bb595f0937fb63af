// The browser build of the game in a real browser: Debian's chromium, headless, driven by
// playwright-core (pointed at the system browser; nothing downloads one). The site in
// build-web/site is served on 127.0.0.1 by this script, and the native replay program gives the
// expected pictures and traces.
//   node tests/web/browser_test.js SITE REPLAY_PROGRAM ASSETS
// Every step polls for its condition until its own deadline; the first step that fails ends the
// run with its name and what was seen. The figures measured (sizes, first frame, CPU per frame,
// sound level) are printed as they are seen. With MEDIA_WEB_SHOTS=DIR the phone's portrait and
// landscape views are saved there as PNG files (the README's pictures).
'use strict';

const assert = require('node:assert/strict');
const childProcess = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const {chromium} = require(path.join(__dirname, '../../web/node_modules/playwright-core'));

const [site, replayProgram, assets] = process.argv.slice(2).map((p) => path.resolve(p));
if (!site || !replayProgram || !assets) {
  console.error('usage: node browser_test.js SITE REPLAY_PROGRAM ASSETS');
  process.exit(2);
}

// The budgets a player's page must keep.
const kMaxProgramBytes = 3 * 1024 * 1024;   // every .wasm and .js a page loads
const kMaxSiteBytes = 15 * 1024 * 1024;     // everything, the SoundFont included
const kMaxFirstFrameMs = 1500;              // after navigation
const kStates = {title: 1, play: 2, lose: 4, levelStart: 5};
const kHeroLeftmost = 0;  // the hero walks left while right of this: he stops at it or a step past

// Debian's chromium, run as root in a container: no sandbox, no GPU, nothing fetched on its own.
// Playwright gives each launch a new, empty profile.
const kChromium = process.env.MEDIA_CHROMIUM || '/usr/bin/chromium';
const kChromiumArgs = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
                       '--disable-component-update', '--disable-sync'];

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'bodo-zamel-web-'));

// ---- serving ------------------------------------------------------------------------------

const kTypes = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.keys': 'text/plain',
                '.webmanifest': 'application/manifest+json', '.png': 'image/png'};

// The site, and the test's key scripts under /test/. With nextBuild set, the site's service worker
// is served as a new build would write it.
let nextBuild = false;
function serve() {
  const server = http.createServer((request, response) => {
    const url = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (url === '/service-worker.js' && nextBuild) {
      // The next build's worker: the same site under another version.
      const worker = fs.readFileSync(path.join(site, 'service-worker.js'), 'utf8').replace(/'bodo-zamel-([0-9a-f]+)'/, '\'bodo-zamel-$1next\'');
      response.writeHead(200, {'content-type': 'text/javascript'});
      response.end(worker);
      return;
    }
    const file = url.startsWith('/test/') ? path.join(scratch, url.slice(6)) : path.join(site, url === '/' ? 'index.html' : url);
    const inside = file.startsWith(site + path.sep) || file.startsWith(scratch + path.sep);
    fs.readFile(file, (error, data) => {
      if (error || !inside) {
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, {'content-type': kTypes[path.extname(file)] || 'application/octet-stream'});
      response.end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- helpers ------------------------------------------------------------------------------

// Polls until check() gives a truthy value, which it returns; fails with the last value seen.
async function poll(what, check, deadlineMs) {
  const end = Date.now() + deadlineMs;
  let last;
  for (;;) {
    last = await check();
    if (last) return last;
    if (Date.now() > end) throw new Error(`${what}: not within ${deadlineMs} ms (last seen: ${JSON.stringify(last)})`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

const state = (page) => page.evaluate(() => window.bodoZamel && window.bodoZamel.state());
const stats = (page) => page.evaluate(() => ({...window.bodoZamel.frameStats}));

async function stateIs(page, what, test, deadlineMs) {
  return poll(what, async () => {
    const s = await state(page);
    return s && test(s) ? s : false;
  }, deadlineMs);
}

// A 24-bit bottom-up BMP (what the replay program writes for .bmp shots) as RGB rows, top first.
function readBmp(file) {
  const data = fs.readFileSync(file);
  assert.equal(data.toString('latin1', 0, 2), 'BM', `${file} is not a BMP`);
  const offset = data.readUInt32LE(10), width = data.readInt32LE(18), height = data.readInt32LE(22);
  assert.equal(data.readUInt16LE(28), 24, `${file}: 24-bit pixels expected`);
  const rows = Math.abs(height), stride = Math.ceil((width * 3) / 4) * 4;
  const rgb = Buffer.alloc(width * rows * 3);
  for (let y = 0; y < rows; y++) {
    const from = offset + (height > 0 ? rows - 1 - y : y) * stride;
    for (let x = 0; x < width; x++) {
      rgb[(y * width + x) * 3] = data[from + x * 3 + 2];
      rgb[(y * width + x) * 3 + 1] = data[from + x * 3 + 1];
      rgb[(y * width + x) * 3 + 2] = data[from + x * 3];
    }
  }
  return {width, height: rows, rgb};
}

// The canvas's pixels as RGB rows.
async function canvasPixels(page) {
  const {width, height, data} = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const image = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    let text = '';
    for (let i = 0; i < image.data.length; i += 4) text += String.fromCharCode(image.data[i], image.data[i + 1], image.data[i + 2]);
    return {width: canvas.width, height: canvas.height, data: btoa(text)};
  });
  return {width, height, rgb: Buffer.from(data, 'base64')};
}

function runReplay(args) {
  return childProcess.execFileSync(replayProgram, args, {cwd: assets, encoding: 'utf8', timeout: 60000});
}

function siteBytes(filter) {
  return fs.readdirSync(site).filter(filter).reduce((sum, name) => sum + fs.statSync(path.join(site, name)).size, 0);
}

// ---- the steps ----------------------------------------------------------------------------

const steps = [];
const step = (name, timeoutMs, run) => steps.push({name, timeoutMs, run});
const errors = [];
let origin, browser, page;

async function openPage(query = '', viewport = {width: 800, height: 600}) {
  const opened = await browser.newPage({viewport});
  opened.on('console', (message) => {
    if (message.type() === 'error') errors.push(`${opened.url()}: ${message.text()}`);
  });
  opened.on('pageerror', (error) => errors.push(`${opened.url()}: ${error.message}`));
  await opened.goto(`${origin}/${query}`);
  return opened;
}

step('the page and its programs fit their size budgets', 5000, async () => {
  // A page loads the shared scripts and one program (its .js and .wasm): the largest page counts.
  const shared = ['page.js', 'touch_controls.js', 'audio_output.js', 'libfluidsynth.js'];
  const programNames = fs.readdirSync(site).filter((name) => name.endsWith('.wasm')).map((name) => name.slice(0, -5));
  const programs = siteBytes((name) => shared.includes(name)) +
                   Math.max(...programNames.map((program) => siteBytes((name) => name === program + '.js' || name === program + '.wasm')));
  const everything = siteBytes(() => true);
  console.log(`  .wasm + .js of the largest page: ${programs} bytes; everything the site holds: ${everything} bytes`);
  assert.ok(programs <= kMaxProgramBytes, `.wasm + .js take ${programs} bytes`);
  assert.ok(everything <= kMaxSiteBytes, `the site takes ${everything} bytes`);
});

step('the first frame is presented in time, and the title is the native replay\'s picture', 40000, async () => {
  // The median of three loads: the machine is shared, and one load may meet another's build.
  const firsts = [];
  for (let load = 0; load < 3; load++) {
    if (page) await page.close();
    page = await openPage();
    firsts.push(await poll('a presented frame', async () => (await stats(page)).firstFrameMs, 10000));
  }
  const first = [...firsts].sort((a, b) => a - b)[1];
  console.log(`  first frame presented ${firsts.map((ms) => ms.toFixed(0)).join(', ')} ms after navigation (median ${first.toFixed(0)})`);
  assert.ok(first <= kMaxFirstFrameMs, `first frame after ${first} ms`);
  await stateIs(page, 'the title screen', (s) => s.gameState === kStates.title, 5000);
  // The title screen does not change from frame to frame: frame 10 of the native replay is it.
  const shot = path.join(scratch, 'title.bmp');
  fs.writeFileSync(path.join(scratch, 'empty.keys'), '');
  runReplay([path.join(scratch, 'empty.keys'), '--frames', '11', '--shot', `10:${shot}`]);
  const expected = readBmp(shot);
  const seen = await poll('the title on the canvas', async () => {
    const pixels = await canvasPixels(page);
    return pixels.width === expected.width && pixels.rgb.equals(expected.rgb) ? pixels : false;
  }, 5000).catch(async (error) => {
    const pixels = await canvasPixels(page);
    let differing = 0;
    for (let i = 0; i < Math.min(pixels.rgb.length, expected.rgb.length); i += 3) {
      if (pixels.rgb[i] !== expected.rgb[i] || pixels.rgb[i + 1] !== expected.rgb[i + 1] || pixels.rgb[i + 2] !== expected.rgb[i + 2]) differing++;
    }
    throw new Error(`${error.message}; canvas ${pixels.width}x${pixels.height}, ${differing} pixels differ`);
  });
  console.log(`  title: all ${seen.width * seen.height} pixels equal the native shot`);
});

step('the canvas fits the window with the picture\'s proportions', 5000, async () => {
  for (const [width, height, cssWidth, cssHeight] of [[800, 600, 800, 600], [1000, 600, 800, 600], [500, 900, 500, 375]]) {
    await page.setViewportSize({width, height});
    await poll(`a ${cssWidth}x${cssHeight} canvas in a ${width}x${height} window`, () => page.evaluate(([w, h]) => {
      const box = document.getElementById('canvas').getBoundingClientRect();
      return box.width === w && box.height === h;
    }, [cssWidth, cssHeight]), 2000);
  }
  await page.setViewportSize({width: 800, height: 600});
  const rendering = await page.evaluate(() => getComputedStyle(document.getElementById('canvas')).imageRendering);
  assert.equal(rendering, 'pixelated', 'the scaled picture keeps sharp pixels');
});

// The CPU time each kind of the browser's processes ('renderer', 'GPU', 'browser', ...) has
// taken since it started, in ms.
async function browserCpuMs() {
  const session = await browser.newBrowserCDPSession();
  try {
    const {processInfo} = await session.send('SystemInfo.getProcessInfo');
    const byType = {};
    for (const {type, cpuTime} of processInfo) byType[type] = (byType[type] || 0) + cpuTime * 1000;
    return byType;
  } finally {
    await session.detach();
  }
}

// The native game's CPU per presented frame on its title, in a virtual X server
// (tools/frame_rate.sh), when the game is built beside the replay program; null otherwise.
function nativeCpuMsPerFrame(seconds) {
  const game = path.join(path.dirname(replayProgram), 'bodo-zamel');
  if (!fs.existsSync(game) || !fs.existsSync('/usr/bin/xvfb-run')) return null;
  const output = childProcess.execFileSync('bash', [path.join(__dirname, '../../tools/frame_rate.sh'), game, String(seconds)],
                                           {encoding: 'utf8', timeout: (seconds + 30) * 1000});
  const figure = /([0-9.]+) ms CPU per frame/.exec(output);
  return figure ? Number(figure[1]) : null;
}

const kMaxPageCpuMsPerFrame = 16;  // a whole frame's time at 60 Hz: generous, the machine is shared

step('on the title, the page\'s CPU per frame is printed beside the native game\'s', 60000, async () => {
  // CPU time, not the page's wall-clock time: what the page costs the machine, comparable with the
  // native game's figure. The renderer holds the page's thread, its audio output's and its
  // compositor's; the browser's other processes put the canvas on the screen.
  const metrics = await page.context().newCDPSession(page);
  await metrics.send('Performance.enable');
  const mainThreadMs = async () => (await metrics.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value * 1000;
  const sample = async () => ({stats: await stats(page), cpu: await browserCpuMs(), main: await mainThreadMs()});
  const before = await sample();
  await poll('300 frames on the title', async () => (await stats(page)).presented - before.stats.presented >= 300, 20000);
  const after = await sample();
  await metrics.detach();
  const frames = after.stats.presented - before.stats.presented;
  const perFrame = (type) => ((after.cpu[type] || 0) - (before.cpu[type] || 0)) / frames;
  const renderer = perFrame('renderer');
  const busy = after.stats.frameBusyMs.slice(-frames).sort((a, b) => a - b);
  const others = Object.keys(after.cpu).filter((type) => type !== 'renderer').map((type) => `${type} ${perFrame(type).toFixed(3)}`);
  console.log(`  ${frames} frames on the title, CPU per frame: the page's renderer ${renderer.toFixed(3)} ms (its main thread ` +
              `${((after.main - before.main) / frames).toFixed(3)} ms); the browser's other processes: ${others.join(', ')} ms; ` +
              `the page's time per frame: median ${busy[Math.floor(busy.length / 2)].toFixed(3)} ms`);
  const native = nativeCpuMsPerFrame(6);
  if (native) console.log(`  the native game: ${native.toFixed(3)} ms CPU per frame; the page's renderer ${(renderer / native).toFixed(2)} times that`);
  else console.log('  no native figure: the SDL game or xvfb-run is missing');
  assert.ok(renderer > 0 && renderer <= kMaxPageCpuMsPerFrame, `the page's renderer took ${renderer} ms CPU per frame`);
});

step('P starts play and sound comes out', 20000, async () => {
  await page.keyboard.down('p');
  await stateIs(page, 'play after P', (s) => s.gameState === kStates.play || s.gameState === kStates.levelStart, 5000);
  await page.keyboard.up('p');
  await stateIs(page, 'play', (s) => s.gameState === kStates.play, 10000);
  const level = await poll('sound in the last second', () => page.evaluate(() => {
    const l = window.bodoZamel.audioLevel;
    return l.peak > 0.01 && l.rms > 0.001 ? l : false;
  }), 5000);
  console.log(`  sound: peak ${level.peak.toFixed(3)}, RMS ${level.rms.toFixed(4)} over the last second`);
});

step('frames in play go on, and what each costs the page is printed', 20000, async () => {
  // A figure, not a bound: on a shared machine another process takes the core mid-frame often
  // enough that any fixed limit fails with nothing changed. The median says most about the page's
  // own cost; the mean shows the rest.
  const before = await stats(page);
  const after = await poll('240 more frames', async () => {
    const now = await stats(page);
    return now.presented - before.presented >= 240 ? now : false;
  }, 15000);
  const frames = after.presented - before.presented;
  const mean = (after.busyMs - before.busyMs) / frames;
  const recent = after.frameBusyMs.slice(-frames).sort((a, b) => a - b);
  assert.ok(recent.length > 0, 'the page kept no time for its frames');
  const median = recent[Math.floor(recent.length / 2)];
  console.log(`  ${frames} frames in play: median ${median.toFixed(3)} ms, mean ${mean.toFixed(3)} ms of the page's time per frame`);
});

step('a held left arrow walks the hero to the left edge', 20000, async () => {
  const start = await state(page);
  await page.keyboard.down('ArrowLeft');
  const reached = await stateIs(page, 'the hero at the left edge', (s) => s.heroX <= kHeroLeftmost || s.gameState !== kStates.play, 15000);
  await page.keyboard.up('ArrowLeft');
  assert.equal(reached.gameState, kStates.play, 'the game left play before the hero reached the edge');
  console.log(`  hero walked from x=${start.heroX} to x=${reached.heroX}`);
});

step('a hidden tab pauses the game and lets go of held keys, and the music plays on', 20000, async () => {
  const setHidden = (hidden) => page.evaluate((h) => {
    Object.defineProperty(document, 'hidden', {value: h, configurable: true});
    Object.defineProperty(document, 'visibilityState', {value: h ? 'hidden' : 'visible', configurable: true});
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  // The right arrow walks the hero; then the tab is hidden with the key still down, and the
  // browser sends no key release to a hidden page.
  const before = await state(page);
  await page.keyboard.down('ArrowRight');
  await stateIs(page, 'the hero walking right', (s) => s.heroX > before.heroX, 5000);
  await setHidden(true);
  const paused = await stateIs(page, 'the game inactive', (s) => s.active === 0, 3000);
  const frames = (await stats(page)).presented;
  // While hidden, for a second and a half: no frame, and the hero stays where he was.
  const hiddenAt = await page.evaluate(() => window.bodoZamel.audioLevel);
  const end = Date.now() + 1500;
  while (Date.now() < end) {
    const [s, st] = [await state(page), await stats(page)];
    assert.equal(st.presented, frames, 'a frame was presented while the tab was hidden');
    assert.equal(s.heroX, paused.heroX, 'the hero moved while the tab was hidden');
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  // The music plays on: a level report whose last second began after the tab was hidden.
  const level = await poll('a level report of a second in the hidden tab', () => page.evaluate((since) => {
    const l = window.bodoZamel.audioLevel;
    return l.time >= since + 1.05 ? l : false;
  }, hiddenAt.time), 3000);
  console.log(`  a second in the hidden tab: peak ${level.peak.toFixed(3)}, ${level.underruns - hiddenAt.underruns} quanta without sound`);
  assert.ok(level.peak > 0.01, 'the music stopped while the tab was hidden');
  await setHidden(false);
  await stateIs(page, 'the game active again', (s) => s.active === 1, 3000);
  // Thirty frames on, the hero has not walked: the key held when the tab was hidden was let go.
  await poll('frames again', async () => (await stats(page)).presented > frames + 30, 5000);
  assert.equal((await state(page)).heroX, paused.heroX, 'the key held before hiding still walks the hero');
  await page.keyboard.up('ArrowRight');
});

step('a page that loses the focus is an inactive window until it has it again', 10000, async () => {
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('blur')));
  await stateIs(page, 'the game inactive', (s) => s.active === 0, 3000);
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('focus')));
  await stateIs(page, 'the game active', (s) => s.active === 1, 3000);
});

step('a mouse button pressed on the canvas and let go outside it is up again', 10000, async () => {
  const box = await page.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    return {x: r.left + r.width / 2, y: r.top + r.height / 2};
  });
  await page.mouse.move(box.x, box.y);
  await page.mouse.down();
  await stateIs(page, 'the button down', (s) => s.mouseLeft >= 2, 3000);
  // Released over the page outside the canvas: the event reaches the window, not the canvas.
  await page.evaluate(() => window.dispatchEvent(new MouseEvent('mouseup', {button: 0, bubbles: true})));
  await stateIs(page, 'the button up', (s) => s.mouseLeft === 0, 3000);
  await page.mouse.up();
});

step('a page opened in a background tab starts inactive', 15000, async () => {
  const background = await browser.newPage({viewport: {width: 800, height: 600}});
  await background.addInitScript(() => {
    Object.defineProperty(document, 'hidden', {value: true, configurable: true});
    Object.defineProperty(document, 'visibilityState', {value: 'hidden', configurable: true});
    document.hasFocus = () => false;
  });
  try {
    await background.goto(`${origin}/`);
    await stateIs(background, 'the game inactive', (s) => s.active === 0, 10000);
    // A second later, with no focus or visibility event, it is still inactive.
    const end = Date.now() + 1000;
    while (Date.now() < end) {
      assert.equal((await state(background)).active, 0, 'the background page counts as active');
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  } finally {
    await background.close();
  }
});

step('ESC gives the lose screen', 10000, async () => {
  await page.keyboard.down('Escape');
  await stateIs(page, 'the lose screen', (s) => s.gameState === kStates.lose, 5000);
  await page.keyboard.up('Escape');
});

step('M goes back to the title, and E ends the game with a message on the page', 10000, async () => {
  await page.keyboard.press('m');
  await stateIs(page, 'the title', (s) => s.gameState === kStates.title, 5000);
  await page.keyboard.press('e');
  await poll('the message that the game has ended', () => page.evaluate(() =>
    window.bodoZamel.messages.some((m) => m.includes('the game has ended'))), 5000);
});

step('a replay in the browser traces every frame as the native replay does', 60000, async () => {
  const script = path.join(assets, '..', 'docs', 'screenshots', 'tour.keys');
  fs.copyFileSync(script, path.join(scratch, 'tour.keys'));
  const expected = runReplay([script, '--frames', '420', '--trace']).trim().split('\n');
  const replay = await openPage('?replay=/test/tour.keys&frames=420');
  await poll('the replay to finish', () => replay.evaluate(() => window.bodoZamel.replayDone), 45000);
  const traced = await replay.evaluate(() => window.bodoZamel.trace);
  assert.equal(traced.length, expected.length, 'trace lengths differ');
  const first = expected.findIndex((line, i) => line !== traced[i]);
  assert.equal(first, -1, `first difference at line ${first}: native '${expected[first]}', browser '${traced[first]}'`);
  console.log(`  ${traced.length - 1} frames traced alike`);
  await replay.close();
});

step('without the SoundFont the game plays silent, with one message', 20000, async () => {
  const silent = await openPage('?soundfont=missing.sf2');
  await poll('frames without music', async () => (await stats(silent)).presented > 10, 10000);
  await silent.keyboard.down('p');
  await stateIs(silent, 'play without music', (s) => s.gameState === kStates.play || s.gameState === kStates.levelStart, 5000)
    .catch((error) => { throw new Error(error.message); });
  await silent.keyboard.up('p');
  const messages = await silent.evaluate(() => window.bodoZamel.messages);
  const aboutSoundFont = messages.filter((m) => m.includes('SoundFont'));
  assert.equal(aboutSoundFont.length, 1, `messages: ${JSON.stringify(messages)}`);
  assert.equal(messages.length, 1, `messages: ${JSON.stringify(messages)}`);
  // That one message is the only console error this page may show.
  const own = errors.filter((e) => e.includes('soundfont=missing'));
  assert.equal(own.length, 2, `console errors: ${JSON.stringify(own)}`);  // the failed fetch and the message
  errors.splice(0, errors.length, ...errors.filter((e) => !e.includes('soundfont=missing')));
  await silent.close();
});

step('without a gesture the page asks for one, and a key starts the sound', 20000, async () => {
  // A browser of its own, without the no-gesture flag: sound may start only after a key or click.
  const strict = await chromium.launch({executablePath: kChromium, args: kChromiumArgs});
  try {
    const waiting = await strict.newPage({viewport: {width: 800, height: 600}});
    waiting.on('console', (message) => {
      if (message.type() === 'error') errors.push(`${waiting.url()}: ${message.text()}`);
    });
    await waiting.goto(`${origin}/`);
    // The game runs meanwhile; the line shows and the output waits.
    await poll('frames before any gesture', async () => (await stats(waiting)).presented > 10, 10000);
    const before = await waiting.evaluate(() => ({state: window.bodoZamel.audioState, line: document.getElementById('start').textContent,
      shown: document.getElementById('start').getBoundingClientRect().height > 0}));
    assert.deepEqual(before, {state: 'suspended', line: 'press a key or click to start', shown: true});
    await waiting.keyboard.press('Shift');
    await poll('the sound output running after a key', () => waiting.evaluate(() => window.bodoZamel.audioState === 'running' &&
      document.getElementById('start').getBoundingClientRect().height === 0), 5000);
    await poll('sound after the gesture', () => waiting.evaluate(() => window.bodoZamel.audioLevel.peak > 0.01), 5000);
  } finally {
    await strict.close();
  }
});

step('the moving-sprite example runs in its own page', 15000, async () => {
  const example = await openPage('moving-sprite.html');
  await poll('frames of the example', async () => (await stats(example)).presented > 30, 10000);
  const size = await example.evaluate(() => [document.getElementById('canvas').width, document.getElementById('canvas').height]);
  assert.deepEqual(size, [320, 240]);
  await example.close();
});

step('the drawing-tour example draws with its font in its own page', 15000, async () => {
  const example = await openPage('drawing-tour.html');
  await poll('frames of the example', async () => (await stats(example)).presented > 30, 10000);
  const messages = await example.evaluate(() => window.bodoZamel.messages);
  assert.deepEqual(messages, [], 'the font loads from the page\'s data');
  await example.close();
});

step('S on the drawing-tour page offers its frame as a PNG download of the canvas\'s size', 15000, async () => {
  const example = await openPage('drawing-tour.html');
  await poll('frames of the example', async () => (await stats(example)).presented > 5, 10000);
  const offered = example.waitForEvent('download', {timeout: 10000});
  await example.keyboard.press('s');
  const download = await offered;
  assert.equal(download.suggestedFilename(), 'drawing-tour.png');
  const png = fs.readFileSync(await download.path());
  assert.ok(png.subarray(0, 8).equals(Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a])), 'the PNG signature');
  assert.equal(png.toString('latin1', 12, 16), 'IHDR', 'the header chunk comes first');
  const [width, height, depth, colourType] = [png.readUInt32BE(16), png.readUInt32BE(20), png[24], png[25]];
  const canvas = await example.evaluate(() => [document.getElementById('canvas').width, document.getElementById('canvas').height]);
  assert.deepEqual([width, height], canvas, 'the picture is the canvas\'s size');
  assert.deepEqual(canvas, [320, 240], 'the example\'s drawing area');
  // The pixel data inflates to one filter byte and a row of 8-bit RGB or RGBA pixels per line.
  const channels = {2: 3, 6: 4}[colourType];
  assert.ok(depth === 8 && channels, `bit depth ${depth}, colour type ${colourType}`);
  const data = [];
  for (let at = 8; at < png.length; at += 12 + png.readUInt32BE(at)) {
    if (png.toString('latin1', at + 4, at + 8) === 'IDAT') data.push(png.subarray(at + 8, at + 8 + png.readUInt32BE(at)));
  }
  const rows = zlib.inflateSync(Buffer.concat(data));
  assert.equal(rows.length, height * (1 + width * channels), 'the pixel data fills the picture');
  console.log(`  download ${download.suggestedFilename()}: ${png.length} bytes, ${width}x${height}, colour type ${colourType}`);
  await example.close();
});

// The tune player draws its tune's position as a bar from x = 8 on rows 56..67, light blue over
// its length (304 pixels for the whole tune): the bar's width in pixels on its middle row.
async function tuneBarWidth(example) {
  const {width, rgb} = await canvasPixels(example);
  const row = 62 * width * 3;
  let x = 8;
  while (x < width && rgb[row + x * 3] === 0x78 && rgb[row + x * 3 + 1] === 0xC8 && rgb[row + x * 3 + 2] === 0xFF) x++;
  return x - 8;
}

step('the tune-player example streams its Ogg tune: sound comes out and the position moves on', 20000, async () => {
  const example = await openPage('tune-player.html');
  await poll('frames of the example', async () => (await stats(example)).presented > 30, 10000);
  const level = await poll('sound in the last second', () => example.evaluate(() => {
    const l = window.bodoZamel.audioLevel;
    return l.peak > 0.01 && l.rms > 0.001 ? l : false;
  }), 5000);
  const first = await tuneBarWidth(example);
  // The tune is 12 seconds long: 25 pixels a second, and it loops only after the end.
  const later = await poll('the position bar growing', async () => {
    const now = await tuneBarWidth(example);
    return now >= first + 10 ? now : false;
  }, 5000);
  const messages = await example.evaluate(() => window.bodoZamel.messages);
  assert.deepEqual(messages, [], 'the tune and the sound load from the page\'s data');
  console.log(`  tune: peak ${level.peak.toFixed(3)}, RMS ${level.rms.toFixed(4)}; position bar ${first} then ${later} of 304 pixels`);
  await example.close();
});

// ---- touch screens ------------------------------------------------------------------------

// A phone as Chromium's device emulation makes it: the viewport in CSS pixels, three device
// pixels to one, touch and no mouse.
const kPhone = {portrait: {width: 390, height: 844}, landscape: {width: 844, height: 390}};
const kHeroRightmost = 410;  // the hero walks right while left of this
const kWalkRows = 64;        // the play field's lowest rows, where the hero walks
let phone, phoneContext;

async function openPhone(b, viewport) {
  const context = await b.newContext({viewport, deviceScaleFactor: 3, isMobile: true, hasTouch: true});
  const opened = await context.newPage();
  opened.on('console', (message) => {
    if (message.type() === 'error') errors.push(`${opened.url()}: ${message.text()}`);
  });
  opened.on('pageerror', (error) => errors.push(`${opened.url()}: ${error.message}`));
  await opened.goto(`${origin}/`);
  return {context, page: opened, cdp: await context.newCDPSession(opened)};
}

// The canvas's and every control's box in CSS pixels.
const boxes = (p) => p.evaluate(() => {
  const box = (e) => { const r = e.getBoundingClientRect(); return {left: r.left, top: r.top, right: r.right, bottom: r.bottom}; };
  return {canvas: box(document.getElementById('canvas')), view: {width: innerWidth, height: innerHeight},
          controls: [...document.querySelectorAll('.touch-panel button')].map((b) => ({code: b.dataset.code, ...box(b)}))};
});

// The middle of the control that sends the key with this code.
async function controlAt(p, code) {
  const {controls} = await boxes(p);
  const c = controls.find((b) => b.code === code);
  assert.ok(c, `no control for ${code}`);
  return {x: (c.left + c.right) / 2, y: (c.top + c.bottom) / 2};
}

// Fingers through Chromium's touch input: a start lists every finger down after it (the new
// ones come down), an end the fingers lifted (none listed: all of them).
const touch = (cdp, type, points) => cdp.send('Input.dispatchTouchEvent', {type, touchPoints: points});

step('on a phone the canvas fills its side and the controls sit in the viewport beside or below it', 30000, async () => {
  ({context: phoneContext, page: phone} = await openPhone(browser, kPhone.portrait));
  await stateIs(phone, 'the title on the phone', (s) => s.gameState === kStates.title, 10000);
  await poll('frames on the phone', async () => (await stats(phone)).presented > 30, 10000);
  const shots = {portrait: 'phone-portrait.png', landscape: 'phone-landscape.png'};
  for (const orientation of ['portrait', 'landscape']) {
    const view = kPhone[orientation];
    await phone.setViewportSize(view);
    // The side the picture could take: the width in portrait, the height in landscape.
    const shareOf = (b) => orientation === 'portrait' ? (b.canvas.right - b.canvas.left) / view.width
                                                      : (b.canvas.bottom - b.canvas.top) / view.height;
    let seen;
    await poll(`the ${orientation} layout`, async () => {
      seen = await boxes(phone);
      return seen.view.width === view.width && seen.controls.length === 9 && shareOf(seen) >= 0.95;
    }, 3000).catch(() => {});
    const share = shareOf(seen);
    const scale = (seen.canvas.bottom - seen.canvas.top) / 480;
    const walkTop = seen.canvas.bottom - kWalkRows * scale;
    console.log(`  ${orientation} ${view.width}x${view.height}: canvas ${(seen.canvas.right - seen.canvas.left).toFixed(0)}x` +
                `${(seen.canvas.bottom - seen.canvas.top).toFixed(0)} CSS px, ${(share * 100).toFixed(1)}% of its side`);
    assert.ok(share >= 0.95, `the canvas takes ${share} of its side`);
    for (const c of seen.controls) {
      assert.ok(c.left >= 0 && c.top >= 0 && c.right <= view.width && c.bottom <= view.height, `${c.code} outside the viewport: ${JSON.stringify(c)}`);
      const overWalk = c.right > seen.canvas.left && c.left < seen.canvas.right && c.bottom > walkTop && c.top < seen.canvas.bottom;
      assert.ok(!overWalk, `${c.code} covers the rows where the hero walks: ${JSON.stringify(c)}`);
    }
    if (process.env.MEDIA_WEB_SHOTS) await phone.screenshot({path: path.join(process.env.MEDIA_WEB_SHOTS, shots[orientation])});
  }
  // Upright again for the steps after, once the controls are back below the picture.
  await phone.setViewportSize(kPhone.portrait);
  await poll('the portrait layout again', async () => {
    const b = await boxes(phone);
    return b.view.width === kPhone.portrait.width && b.controls.every((c) => c.top >= b.canvas.bottom);
  }, 3000);
  const rendering = await phone.evaluate(() => getComputedStyle(document.getElementById('canvas')).imageRendering);
  assert.equal(rendering, 'pixelated', 'the scaled picture keeps sharp pixels');
});

step('tapping P on the title starts play', 10000, async () => {
  await phone.touchscreen.tap(...Object.values(await controlAt(phone, 'KeyP')));
  await stateIs(phone, 'play after a tap on P', (s) => s.gameState === kStates.play, 5000);
});

step('a held right control walks the hero to the right edge while another finger taps elsewhere', 20000, async () => {
  const cdp = await phoneContext.newCDPSession(phone);
  const [leftArrow, rightArrow, m] = [await controlAt(phone, 'ArrowLeft'), await controlAt(phone, 'ArrowRight'), await controlAt(phone, 'KeyM')];
  const canvasMiddle = await phone.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    return {x: r.left + r.width / 2, y: r.top + r.height / 2};
  });
  // Left first, far enough that the walk right takes a while.
  await touch(cdp, 'touchStart', [{...leftArrow, id: 1}]);
  await stateIs(phone, 'the hero walking left', (s) => s.heroX <= 200, 5000);
  await touch(cdp, 'touchEnd', []);
  const from = (await state(phone)).heroX;
  await touch(cdp, 'touchStart', [{...rightArrow, id: 1}]);
  await stateIs(phone, 'the hero walking right', (s) => s.heroX > from, 3000);
  // Another finger taps the canvas, then M (nothing in play), while the first holds the arrow.
  for (const elsewhere of [canvasMiddle, m]) {
    await touch(cdp, 'touchStart', [{...rightArrow, id: 1}, {...elsewhere, id: 2}]);
    await touch(cdp, 'touchEnd', [{...elsewhere, id: 2}]);
  }
  const afterTaps = (await state(phone)).heroX;
  assert.ok(afterTaps < kHeroRightmost, `the hero reached the edge before the taps were done (x=${afterTaps})`);
  const reached = await stateIs(phone, 'the hero at the right edge', (s) => s.heroX >= kHeroRightmost || s.gameState !== kStates.play, 10000);
  await touch(cdp, 'touchEnd', []);
  assert.equal(reached.gameState, kStates.play, 'the game left play before the hero reached the edge');
  console.log(`  hero walked from x=${from} to x=${reached.heroX}, past two taps of another finger at x=${afterTaps}`);
  await cdp.detach();
});

step('a finger dragged over the page scrolls and zooms nothing', 10000, async () => {
  const cdp = await phoneContext.newCDPSession(phone);
  await phone.evaluate(() => {
    window.touchMoves = {seen: 0, kept: 0};
    window.addEventListener('touchmove', (e) => { window.touchMoves.seen++; if (e.defaultPrevented) window.touchMoves.kept++; });
  });
  for (const [x, y] of [[195, 150], [100, 700], [30, 800]]) {
    await touch(cdp, 'touchStart', [{x, y, id: 3}]);
    for (let i = 1; i <= 5; i++) await touch(cdp, 'touchMove', [{x, y: Math.max(1, y - i * 60), id: 3}]);
    await touch(cdp, 'touchEnd', []);
  }
  const seen = await phone.evaluate(() => ({scrollY, scrollX, scale: visualViewport.scale, moves: window.touchMoves}));
  console.log(`  ${seen.moves.seen} touchmove events, ${seen.moves.kept} kept from the browser; scrollY ${seen.scrollY}, zoom ${seen.scale}`);
  assert.ok(seen.moves.seen > 0, 'no touchmove reached the page');
  assert.deepEqual(seen, {scrollY: 0, scrollX: 0, scale: 1, moves: {seen: seen.moves.seen, kept: seen.moves.seen}});
  await cdp.detach();
  await phoneContext.close();
});

step('on a phone the first touch starts the sound, and a page without touch shows no controls', 20000, async () => {
  // A browser of its own, without the no-gesture flag: sound may start only after a gesture.
  const strict = await chromium.launch({executablePath: kChromium, args: kChromiumArgs});
  try {
    const {page: waiting} = await openPhone(strict, kPhone.portrait);
    await poll('frames before any touch', async () => (await stats(waiting)).presented > 10, 10000);
    assert.equal(await waiting.evaluate(() => window.bodoZamel.audioState), 'suspended');
    await waiting.touchscreen.tap(195, 150);
    await poll('the sound output running after a touch', () => waiting.evaluate(() => window.bodoZamel.audioState === 'running'), 5000);
    const desk = await strict.newPage({viewport: {width: 800, height: 600}});
    await desk.goto(`${origin}/`);
    await poll('frames on the desktop page', async () => (await stats(desk)).presented > 10, 10000);
    assert.equal(await desk.evaluate(() => document.querySelectorAll('.touch-panel').length), 0, 'controls on a page without touch');
  } finally {
    await strict.close();
  }
});

step('a gamepad plays the game through its keys: A starts play, the d-pad walks, B gives up', 20000, async () => {
  // A pad with the standard mapping, as the Gamepad API lists it, set by the test.
  const padPage = await browser.newPage({viewport: {width: 800, height: 600}});
  padPage.on('console', (message) => {
    if (message.type() === 'error') errors.push(`${padPage.url()}: ${message.text()}`);
  });
  await padPage.addInitScript(() => {
    const pad = {id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0],
                 buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}))};
    window.testPad = (button, down) => { pad.buttons[button] = {pressed: down, touched: down, value: down ? 1 : 0}; pad.timestamp++; };
    navigator.getGamepads = () => [pad, null, null, null];
  });
  const press = (button, down) => padPage.evaluate(([b, d]) => window.testPad(b, d), [button, down]);
  const [kA, kB, kDpadLeft] = [0, 1, 14];
  try {
    await padPage.goto(`${origin}/`);
    await stateIs(padPage, 'the title', (s) => s.gameState === kStates.title, 10000);
    await press(kA, true);
    await stateIs(padPage, 'play after A', (s) => s.gameState === kStates.play, 5000);
    await press(kA, false);
    const from = (await state(padPage)).heroX;
    await press(kDpadLeft, true);
    await stateIs(padPage, 'the hero walking left', (s) => s.heroX < from - 20, 5000);
    await press(kDpadLeft, false);
    await press(kB, true);
    await stateIs(padPage, 'the lose screen after B', (s) => s.gameState === kStates.lose, 5000);
  } finally {
    await padPage.close();
  }
});

// ---- the window's clipboard, typed text, dropped files, pointer and gamepads -----------------
// On the input probe's page (web/input_probe.cpp): its function keys run the window's calls, and
// it prints each event as a line on the console.

// The probe in a context of its own (permissions, scripts run before the page's), with the lines
// it printed; next(test) waits for the first line after the last one taken that passes test.
async function openProbe({permissions = [], init = null} = {}) {
  const context = await browser.newContext({viewport: {width: 640, height: 480}, permissions});
  if (init) await context.addInitScript(init);
  const probe = await context.newPage();
  const lines = [];
  let taken = 0;
  probe.on('console', (message) => {
    if (message.type() === 'error') errors.push(`${probe.url()}: ${message.text()}`);
    else if (message.type() === 'log') lines.push(message.text());
  });
  probe.on('pageerror', (error) => errors.push(`${probe.url()}: ${error.message}`));
  await probe.goto(`${origin}/input-probe.html`);
  const next = async (what, test = (line) => line === what, deadlineMs = 5000) => {
    const found = await poll(what, () => {
      const at = lines.findIndex((line, i) => i >= taken && test(line));
      return at >= 0 ? at + 1 : false;
    }, deadlineMs).catch((error) => { throw new Error(`${error.message}; lines: ${JSON.stringify(lines.slice(taken))}`); });
    taken = found;
    return lines[found - 1];
  };
  const since = () => lines.slice(taken);
  await next('probe ready', undefined, 15000);
  return {probe, context, lines, next, since, close: () => context.close()};
}

step('the clipboard in the browser: the program\'s text goes out, and a paste or the clipboard read on focus comes in', 20000, async () => {
  const p = await openProbe({permissions: ['clipboard-read', 'clipboard-write']});
  try {
    await p.probe.keyboard.press('F1');
    await p.next('clipboard-set ok');
    await poll('the program\'s text on the system clipboard',
               () => p.probe.evaluate(() => navigator.clipboard.readText()).then((text) => text === 'bodo → zamel ✓'), 5000);
    await p.probe.keyboard.press('F2');
    await p.next('clipboard [bodo → zamel ✓]');
    // Ctrl+C on the page copies the program's text; a paste on the page is what the program reads.
    const copied = await p.probe.evaluate(() => {
      const data = new DataTransfer();
      document.dispatchEvent(new ClipboardEvent('copy', {clipboardData: data, bubbles: true, cancelable: true}));
      return data.getData('text/plain');
    });
    assert.equal(copied, 'bodo → zamel ✓');
    // As a real paste, the pasted text is the system clipboard's too: a clipboard read the page
    // starts on a late focus event then reads the same text, not the program's older one.
    await p.probe.evaluate(async () => {
      await navigator.clipboard.writeText('pasted ö');
      const data = new DataTransfer();
      data.setData('text/plain', 'pasted ö');
      document.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));
    });
    await poll('the pasted text read by the program', async () => {
      await p.probe.keyboard.press('F2');
      return p.lines.includes('clipboard [pasted ö]');
    }, 5000);
    // Text another program put on the clipboard arrives when the page gains the focus.
    await p.probe.evaluate(() => navigator.clipboard.writeText('from elsewhere 日本'));
    await p.probe.evaluate(() => window.dispatchEvent(new Event('focus')));
    await poll('the clipboard read on focus', async () => {
      await p.probe.keyboard.press('F2');
      return p.lines.includes('clipboard [from elsewhere 日本]');
    }, 5000);
  } finally {
    await p.close();
  }
  // A read of the clipboard that was under way when the program set its text (here one on focus,
  // made slow) does not take the program's text away when it ends.
  const slow = await openProbe({permissions: ['clipboard-read', 'clipboard-write'], init: () => {
    const read = navigator.clipboard.readText.bind(navigator.clipboard);
    window.slowReadsDone = 0;
    navigator.clipboard.readText = () => read().then((text) => new Promise((resolve) => setTimeout(() => {
      window.slowReadsDone++;
      resolve(text);
    }, 1000)));
  }});
  try {
    await slow.probe.evaluate(() => navigator.clipboard.writeText('before'));
    const done = await slow.probe.evaluate(() => window.slowReadsDone);
    await slow.probe.evaluate(() => window.dispatchEvent(new Event('focus')));
    await slow.probe.keyboard.press('F1');
    await slow.next('clipboard-set ok');
    await poll('the slow read\'s end', () => slow.probe.evaluate((before) => window.slowReadsDone > before, done), 5000);
    await slow.probe.keyboard.press('F2');
    assert.equal(await slow.next('the program\'s clipboard', (line) => line.startsWith('clipboard [')), 'clipboard [bodo → zamel ✓]');
  } finally {
    await slow.close();
  }
  // Without the permission the page never asks; the program reads the text it set.
  const strict = await openProbe();
  try {
    await strict.probe.keyboard.press('F1');
    await strict.next('clipboard-set ok');
    await strict.probe.keyboard.press('F2');
    await strict.next('clipboard [bodo → zamel ✓]');
  } finally {
    await strict.close();
  }
});

step('text input in the browser: the layout\'s characters and an input method\'s text come as UTF-8, only while it is on', 20000, async () => {
  const p = await openProbe();
  try {
    await p.probe.keyboard.press('KeyA');
    await p.next('key 97');
    await p.probe.keyboard.press('F3');
    await p.next('text-input 1');
    assert.equal(await p.probe.evaluate(() => document.activeElement.tagName), 'TEXTAREA', 'the hidden field has the keyboard');
    // A key of the layout: its KeyDown as before, and its text; characters the US keyboard does
    // not have arrive as the browser's text.
    await p.probe.keyboard.press('KeyA');
    await p.next('key 97');
    await p.next('text [a]');
    await p.probe.keyboard.type('é€😀');
    await p.next('text [é]');
    await p.next('text [€]');
    await p.next('text [😀]');
    // An input method's composition: only the text it ends with.
    const cdp = await p.context.newCDPSession(p.probe);
    await cdp.send('Input.imeSetComposition', {text: 'に', selectionStart: 1, selectionEnd: 1});
    await cdp.send('Input.insertText', {text: '日本'});
    const composed = await p.next('text [日本]', (line) => line.startsWith('text ['));
    assert.equal(composed, 'text [日本]', 'no text while composing');
    await p.probe.keyboard.press('F4');
    await p.next('text-input 0');
    assert.equal(p.lines.filter((line) => line === 'text [日本]').length, 1, 'the composition\'s text once');
    assert.equal(await p.probe.evaluate(() => document.activeElement.id), 'canvas', 'the canvas has the keyboard again');
    await p.probe.keyboard.press('KeyB');
    await p.next('key 98');
    await p.probe.keyboard.press('F2');
    await p.next('clipboard []');
    assert.deepEqual(p.lines.filter((line) => line === 'text [b]'), [], 'no text while text input is off');
  } finally {
    await p.close();
  }
});

step('files dropped in the browser: each lands in the program\'s file system, one FileDropped each', 15000, async () => {
  const p = await openProbe();
  try {
    const taken = await p.probe.evaluate(() => {
      const data = new DataTransfer();
      data.items.add(new File(['hello from the page'], 'note.txt', {type: 'text/plain'}));
      data.items.add(new File(['two'], 'note.txt', {type: 'text/plain'}));
      // A name longer than any path the program takes: the file still arrives, its name shortened.
      data.items.add(new File(['long'], 'n'.repeat(5000) + '.txt', {type: 'text/plain'}));
      const canvas = document.getElementById('canvas');
      const over = canvas.dispatchEvent(new DragEvent('dragover', {dataTransfer: data, bubbles: true, cancelable: true}));
      const drop = canvas.dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true}));
      return !over && !drop;
    });
    assert.ok(taken, 'the page takes the drop (the browser does not open the file)');
    await p.next('dropped /dropped/1/note.txt 19 [hello from the page]');
    await p.next('dropped /dropped/2/note.txt 3 [two]');
    const long = await p.next('the long-named file', (line) => line.startsWith('dropped /dropped/3/'));
    assert.match(long, /^dropped \/dropped\/3\/n+\.txt 4 \[long\]$/);
  } finally {
    await p.close();
  }
});

step('the pointer in the browser: hidden by CSS, relative mode by pointer lock, no confining', 15000, async () => {
  const p = await openProbe();
  try {
    const cursor = () => p.probe.evaluate(() => document.getElementById('canvas').style.cursor);
    await p.probe.keyboard.press('F8');
    await p.next('cursor hidden');
    assert.equal(await cursor(), 'none');
    await p.probe.keyboard.press('F9');
    await p.next('cursor shown');
    assert.equal(await cursor(), '');
    await p.probe.keyboard.press('F10');
    await p.next('confine', (line) => line.startsWith('confine '));
    assert.match(p.lines.at(-1) || '', /^confine cannot/, 'the browser cannot confine a visible pointer');
    await p.probe.keyboard.press('F6');
    await p.next('relative-on ok');
    const locked = () => p.probe.evaluate(() => document.pointerLockElement === document.getElementById('canvas'));
    if (!await locked()) await p.probe.mouse.click(320, 240);
    await poll('the pointer locked to the canvas', locked, 5000);
    // Locked, the mouse reports moves only (the first move after the lock has none to report),
    // and the program's pointer stays where it was.
    await p.probe.mouse.move(320, 240);
    await p.probe.mouse.move(340, 250);
    const moved = (await p.next('moved', (line) => line.startsWith('moved '))).split(' ').map(Number);
    assert.deepEqual(moved.slice(3), [20, 10], 'the mouse\'s own move');
    await p.probe.keyboard.press('F7');
    await p.next('relative-off ok');
    await poll('the pointer let go', async () => !await locked(), 5000);
  } finally {
    await p.close();
  }
});

// A scripted pad behind navigator.getGamepads: the page's gamepad list is window.scriptedPads.
function scriptedGamepads() {
  const buttons = Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}));
  window.scriptedPad = {id: 'scripted pad (STANDARD GAMEPAD)', index: 0, connected: true, mapping: 'standard', timestamp: 0,
                        axes: [0, 0, 0, 0], buttons};
  window.scriptedPads = [null, null, null, null];
  Object.defineProperty(navigator, 'getGamepads', {value: () => window.scriptedPads, configurable: true});
}

step('gamepads in the browser: a pad of the standard mapping connects, presses, moves and goes as events', 15000, async () => {
  const p = await openProbe({init: scriptedGamepads});
  try {
    const pad = (change) => p.probe.evaluate(change);
    await pad(() => { window.scriptedPads[0] = window.scriptedPad; });
    await p.next('pad-connected 0');
    await p.next('pad-name [scripted pad (STANDARD GAMEPAD)]');
    await pad(() => { Object.assign(window.scriptedPad.buttons[0], {pressed: true, value: 1}); });
    await p.next('pad-down 0 0');  // A
    await pad(() => { Object.assign(window.scriptedPad.buttons[12], {pressed: true, value: 1}); });
    await p.next('pad-down 0 11');  // the d-pad's up
    await pad(() => { window.scriptedPad.axes[0] = 1; });
    await p.next('pad-axis 0 0 1.00');  // the left stick, all the way right
    await pad(() => { window.scriptedPad.buttons[7].value = 1; });
    await p.next('pad-axis 0 5 1.00');  // the right trigger
    await pad(() => { Object.assign(window.scriptedPad.buttons[0], {pressed: false, value: 0}); });
    await p.next('pad-up 0 0');
    // Pulled out: what it held is let go first.
    await pad(() => { window.scriptedPads[0] = null; });
    await p.next('pad-up 0 11');
    await p.next('pad-disconnected 0');
  } finally {
    await p.close();
  }
});

// ---- offline, installable, small ----------------------------------------------------------

const kMaxGameProgramBytes = 600 * 1000;     // the game's own .wasm and .js, FluidSynth's not counted
const kMaxWholeSiteBytes = 10 * 1000 * 1000;  // every file the site holds
const kMaxOfflineTitleMs = 1000;              // a reload with the network gone, after navigation

step('the game\'s own program and the whole site fit their budgets', 5000, async () => {
  const game = siteBytes((name) => name === 'bodo-zamel.wasm') + siteBytes((name) => name === 'bodo-zamel.js');
  const everything = siteBytes(() => true);
  const largest = fs.readdirSync(site).map((name) => [name, fs.statSync(path.join(site, name)).size])
    .sort((a, b) => b[1] - a[1]).slice(0, 4).map(([name, size]) => `${name} ${size}`).join(', ');
  console.log(`  the game's .wasm + .js: ${game} bytes; the whole site: ${everything} bytes (largest: ${largest})`);
  assert.ok(game <= kMaxGameProgramBytes, `the game's program takes ${game} bytes`);
  assert.ok(everything <= kMaxWholeSiteBytes, `the site takes ${everything} bytes`);
});

step('the page has a title, a viewport, a theme colour and a manifest of an installable app', 10000, async () => {
  const basics = await openPage();
  const head = await basics.evaluate(() => ({
    title: document.title,
    viewport: document.querySelector('meta[name="viewport"]')?.content,
    theme: document.querySelector('meta[name="theme-color"]')?.content,
    manifest: document.querySelector('link[rel="manifest"]')?.href,
  }));
  assert.equal(head.title, 'bodo & zamel');
  assert.match(head.viewport || '', /width=device-width/);
  assert.match(head.theme || '', /^#[0-9a-f]{6}$/i, 'a theme colour');
  assert.ok(head.manifest, 'a manifest link');
  const manifest = await basics.evaluate(async (url) => {
    const response = await fetch(url);
    return {type: response.headers.get('content-type'), body: await response.json()};
  }, head.manifest);
  const m = manifest.body;
  assert.equal(m.name, 'bodo & zamel');
  assert.deepEqual([m.display, m.orientation, m.start_url, m.theme_color], ['standalone', 'landscape', './', head.theme]);
  // Installable: a 192 and a 512 pixel square PNG, each of the size it claims, with see-through
  // corners (the art's key colour cut away).
  for (const wanted of ['192x192', '512x512']) {
    const icon = m.icons.find((i) => i.sizes === wanted && i.type === 'image/png');
    assert.ok(icon, `a ${wanted} PNG icon in ${JSON.stringify(m.icons)}`);
    const png = fs.readFileSync(path.join(site, icon.src));
    assert.equal(png.toString('latin1', 12, 16), 'IHDR', `${icon.src} is a PNG`);
    assert.equal(`${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`, wanted, `${icon.src}'s size`);
    assert.equal(png[25], 6, `${icon.src} has an alpha channel`);
    const corner = await basics.evaluate(async (src) => {
      const bitmap = await createImageBitmap(await (await fetch(src)).blob());
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const context = canvas.getContext('2d');
      context.drawImage(bitmap, 0, 0);
      const middle = context.getImageData(bitmap.width / 2, bitmap.height / 2, 1, 1).data[3];
      return {corner: context.getImageData(0, 0, 1, 1).data[3], middle};
    }, icon.src);
    assert.deepEqual(corner, {corner: 0, middle: 255}, `${icon.src}: a see-through corner and the hero in the middle`);
  }
  await basics.close();
});

step('after one visit the game starts offline: the title within a second, and its music', 60000, async () => {
  const context = await browser.newContext({viewport: {width: 800, height: 600}});
  try {
    const visit = await context.newPage();
    visit.on('console', (message) => {
      if (message.type() === 'error') errors.push(`${visit.url()} (offline): ${message.text()}`);
    });
    visit.on('pageerror', (error) => errors.push(`${visit.url()} (offline): ${error.message}`));
    await visit.goto(`${origin}/`);
    // The service worker is active once it holds the whole site.
    const cached = await poll('the site kept by the service worker', () => visit.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      if (!registration || !registration.active || registration.active.state !== 'activated') return false;
      const names = await caches.keys();
      const cache = await caches.open(names.find((name) => name.startsWith('bodo-zamel-')));
      return {cache: names, files: (await cache.keys()).map((request) => new URL(request.url).pathname)};
    }), 30000);
    const siteFiles = fs.readdirSync(site).filter((name) => name !== 'service-worker.js');
    assert.deepEqual(siteFiles.filter((name) => !cached.files.includes('/' + name)), [], 'files the cache lacks');
    await context.setOffline(true);
    await visit.reload();
    // A file the cache does not hold cannot be fetched: the network is gone. The browser reports
    // that failed load as a console error, which is this probe's own.
    const before = errors.length;
    const offline = await visit.evaluate(() => fetch('/not-kept-' + Date.now()).then(() => 'reached the server', () => 'no network'));
    assert.equal(offline, 'no network', 'the reload had the network');
    await poll('the probe\'s console error', () => errors.length > before, 2000);
    assert.match(errors.splice(before, 1)[0], /\(offline\): Failed to load resource/);
    const first = await poll('a presented frame offline', async () => (await stats(visit)).firstFrameMs, 10000);
    await stateIs(visit, 'the title offline', (s) => s.gameState === kStates.title, 5000);
    const level = await poll('music offline', () => visit.evaluate(() => {
      const l = window.bodoZamel.audioLevel;
      return l.peak > 0.01 && l.rms > 0.001 ? l : false;
    }), 10000);
    const messages = await visit.evaluate(() => window.bodoZamel.messages);
    console.log(`  offline: ${cached.files.length} files kept in ${cached.cache.join(', ')}; first frame ${first.toFixed(0)} ms after the reload; ` +
                `music peak ${level.peak.toFixed(3)}, RMS ${level.rms.toFixed(4)}`);
    assert.deepEqual(messages, [], 'the SoundFont and FluidSynth load from the cache');
    assert.ok(first <= kMaxOfflineTitleMs, `the title offline after ${first} ms`);
    // Online again, a new build's worker replaces the cache whole: its own cache holds every
    // file, and the old one is gone.
    await context.setOffline(false);
    nextBuild = true;
    const replaced = await poll('the next build\'s cache alone', () => visit.evaluate(async () => {
      await (await navigator.serviceWorker.getRegistration()).update().catch(() => {});
      const names = await caches.keys();
      if (names.length !== 1 || !names[0].endsWith('next')) return false;
      return {names, files: (await (await caches.open(names[0])).keys()).length};
    }), 20000);
    assert.equal(replaced.files, cached.files.length, `the new cache ${JSON.stringify(replaced)}`);
  } finally {
    nextBuild = false;
    await context.close();
  }
});

step('no page showed a console error', 1000, async () => {
  assert.deepEqual(errors, []);
});

// ---- running ------------------------------------------------------------------------------

// MEDIA_WEB_STEPS=text runs only the steps whose names hold that text (and the console check), for
// work on one feature; the full run, as tools/test.sh makes it, has every step.
const chosen = ({name}) => !process.env.MEDIA_WEB_STEPS || name.includes(process.env.MEDIA_WEB_STEPS) ||
                           name === 'no page showed a console error';

async function main() {
  const server = await serve();
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await chromium.launch({executablePath: kChromium, args: [...kChromiumArgs, '--autoplay-policy=no-user-gesture-required']});
  let failed = 0;
  try {
    for (const {name, timeoutMs, run} of steps.filter(chosen)) {
      let timer;
      const timeout = new Promise((resolve, reject) => { timer = setTimeout(() => reject(new Error(`step timed out after ${timeoutMs} ms`)), timeoutMs); });
      try {
        await Promise.race([run(), timeout]);
        console.log(`ok: ${name}`);
      } catch (error) {
        console.log(`FAILED: ${name}: ${error.message}`);
        failed++;
        break;  // later steps build on the earlier ones
      } finally {
        clearTimeout(timer);
      }
    }
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(scratch, {recursive: true, force: true});
  }
  process.exitCode = failed ? 1 : 0;
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
