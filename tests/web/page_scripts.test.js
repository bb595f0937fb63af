// The page's own scripts in Node: how the canvas fits the window, where the touch controls go,
// and the audio output's queue and level meter (the parts of web/page.js,
// web/touch_controls.js and web/audio_output.js that need no browser).
'use strict';

const assert = require('node:assert/strict');
const path = require('node:path');
const test = require('node:test');

const {fitSize} = require(path.join(__dirname, '../../web/page.js'));
const {touchLayout} = require(path.join(__dirname, '../../web/touch_controls.js'));
const {OutputQueue, LevelMeter} = require(path.join(__dirname, '../../web/audio_output.js'));

test('the touch controls take the bars beside the picture in landscape and the room below it in portrait', () => {
  const cases = [
    // viewport, the picture's room, the two panels (left, top, width, height)
    [[844, 390], [162, 0, 520, 390], [[0, 0, 162, 390], [682, 0, 162, 390]]],  // a phone on its side
    [[390, 844], [0, 0, 390, 292], [[0, 292, 195, 552], [195, 292, 195, 552]]],  // a phone upright
    [[1024, 768], [96, 0, 832, 768], [[0, 0, 96, 768], [928, 0, 96, 768]]],  // 4:3: the picture shrinks for the bars
    [[768, 1024], [0, 0, 768, 576], [[0, 576, 384, 448], [384, 576, 384, 448]]],
    [[400, 400], [0, 0, 400, 219], [[0, 219, 200, 181], [200, 219, 200, 181]]],  // square: room below kept
  ];
  const rect = ([left, top, width, height]) => ({left, top, width, height});
  for (const [[w, h], room, panels] of cases) {
    const plan = touchLayout(w, h, 640, 480);
    assert.deepEqual(plan.room, rect(room), `${w}x${h}`);
    assert.deepEqual(plan.panels, panels.map(rect), `${w}x${h}`);
  }
});

test('the canvas takes the largest size of its proportions that fits the window', () => {
  const cases = [
    // picture, window, expected CSS size
    [[640, 480], [800, 600], [800, 600]],
    [[640, 480], [1920, 1080], [1440, 1080]],
    [[640, 480], [500, 900], [500, 375]],
    [[640, 480], [640, 480], [640, 480]],
    [[640, 480], [320, 1000], [320, 240]],
    [[320, 240], [1001, 1001], [1001, 750]],  // whole pixels, never larger than the room
    [[640, 480], [0, 600], [0, 0]],
    [[0, 480], [800, 600], [0, 0]],
  ];
  for (const [[w, h], [roomW, roomH], [expectW, expectH]] of cases) {
    const size = fitSize(w, h, roomW, roomH);
    assert.deepEqual(size, {width: expectW, height: expectH}, `${w}x${h} in ${roomW}x${roomH}`);
    assert.ok(size.width <= roomW && size.height <= roomH);
  }
});

function pullFrames(queue, frames) {
  const left = new Float32Array(frames), right = new Float32Array(frames);
  const played = queue.pull(left, right);
  return {played, left: Array.from(left), right: Array.from(right)};
}

test('the output plays the blocks in order across quanta, then silence', () => {
  const queue = new OutputQueue();
  queue.push(Int16Array.from([16384, -16384, 8192, -8192]));       // two frames
  queue.push(Int16Array.from([32767, -32768, 0, 0, -16384, 16384]));  // three frames
  assert.equal(queue.queuedFrames(), 5);
  const first = pullFrames(queue, 3);
  assert.equal(first.played, 3);
  assert.deepEqual(first.left, [0.5, 0.25, 32767 / 32768]);
  assert.deepEqual(first.right, [-0.5, -0.25, -1]);
  assert.equal(queue.queuedFrames(), 2);
  const second = pullFrames(queue, 4);
  assert.equal(second.played, 2);
  assert.deepEqual(second.left, [0, -0.5, 0, 0]);
  assert.deepEqual(second.right, [0, 0.5, 0, 0]);
  assert.equal(queue.queuedFrames(), 0);
  assert.equal(pullFrames(queue, 2).played, 0);
});

test('the output ignores empty blocks and drops a half frame at a block end', () => {
  const queue = new OutputQueue();
  queue.push(new Int16Array(0));
  queue.push(Int16Array.from([100]));
  queue.push(Int16Array.from([16384, 16384, 1000]));
  queue.push(Int16Array.from([-16384, -16384]));
  const out = pullFrames(queue, 3);
  assert.equal(out.played, 2);
  assert.deepEqual(out.left, [0.5, -0.5, 0]);
});

test('the meter reports the last window only', () => {
  const meter = new LevelMeter(4, 2);  // two quanta of two frames
  const quantum = (l, r) => [Float32Array.from(l), Float32Array.from(r)];
  assert.deepEqual(meter.level(), {peak: 0, rms: 0});
  meter.add(...quantum([0.5, -0.5], [0.5, -0.5]));
  assert.deepEqual(meter.level(), {peak: 0.5, rms: 0.5});
  meter.add(...quantum([0, 0], [0, -1]));
  assert.equal(meter.level().peak, 1);
  assert.ok(Math.abs(meter.level().rms - Math.sqrt(2 / 8)) < 1e-12);
  // Two more quanta of silence push both out.
  meter.add(...quantum([0, 0], [0, 0]));
  assert.equal(meter.level().peak, 1);
  meter.add(...quantum([0, 0], [0, 0]));
  assert.deepEqual(meter.level(), {peak: 0, rms: 0});
});
