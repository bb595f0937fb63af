// The page's own scripts in Node: how the canvas fits the window, and the audio output's queue
// and level meter (the parts of web/page.js and web/audio_output.js that need no browser).
'use strict';

const assert = require('node:assert/strict');
const path = require('node:path');
const test = require('node:test');

const {fitSize} = require(path.join(__dirname, '../../web/page.js'));
const {OutputQueue, LevelMeter} = require(path.join(__dirname, '../../web/audio_output.js'));

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
