// The page's audio output: an AudioWorklet processor that plays the blocks of signed 16-bit
// stereo the program's mixer hands it (in order, silence when it runs dry), asks the page for
// more when it runs low (the page's timers slow down to one a second in a hidden tab, its
// messages do not, and the music keeps playing while the game is inactive), and tells the page
// the peak and RMS level of the last second it played, so a player's page (and its test) can see
// that sound comes out. The queue and the meter are plain classes, checked in Node.
'use strict';

// Blocks of interleaved 16-bit stereo, played in order.
class OutputQueue {
  constructor() {
    this.blocks = [];
    this.position = 0;  // samples of the first block already played
  }

  push(block) {
    if (block.length >= 2) this.blocks.push(block);
  }

  // Frames waiting to be played.
  queuedFrames() {
    let samples = -this.position;
    for (const block of this.blocks) samples += block.length;
    return samples >> 1;
  }

  // Fills the two channels (-1..1); what the queue lacks is silence. Returns the frames played.
  pull(left, right) {
    let frame = 0;
    while (frame < left.length && this.blocks.length > 0) {
      const block = this.blocks[0];
      while (frame < left.length && this.position + 1 < block.length) {
        left[frame] = block[this.position] / 32768;
        right[frame] = block[this.position + 1] / 32768;
        this.position += 2;
        frame++;
      }
      if (this.position + 1 >= block.length) {
        this.blocks.shift();
        this.position = 0;
      }
    }
    const played = frame;
    for (; frame < left.length; frame++) {
      left[frame] = 0;
      right[frame] = 0;
    }
    return played;
  }
}

// Peak and RMS over the last `windowFrames` frames, kept per block of the rendering quantum.
class LevelMeter {
  constructor(windowFrames, quantum) {
    this.slots = Math.max(1, Math.ceil(windowFrames / quantum));
    this.peaks = new Float64Array(this.slots);
    this.energies = new Float64Array(this.slots);
    this.frames = new Float64Array(this.slots);
    this.next = 0;
  }

  // Adds one quantum of both channels.
  add(left, right) {
    let peak = 0, energy = 0;
    for (let i = 0; i < left.length; i++) {
      const l = Math.abs(left[i]), r = Math.abs(right[i]);
      peak = Math.max(peak, l, r);
      energy += left[i] * left[i] + right[i] * right[i];
    }
    this.peaks[this.next] = peak;
    this.energies[this.next] = energy;
    this.frames[this.next] = left.length;
    this.next = (this.next + 1) % this.slots;
  }

  level() {
    let peak = 0, energy = 0, samples = 0;
    for (let i = 0; i < this.slots; i++) {
      peak = Math.max(peak, this.peaks[i]);
      energy += this.energies[i];
      samples += 2 * this.frames[i];
    }
    return {peak, rms: samples > 0 ? Math.sqrt(energy / samples) : 0};
  }
}

if (typeof registerProcessor === 'function') {
  const kQuantum = 128;
  // Below this many frames (about 46 ms) the output asks for more, once until more arrives.
  const kLowFrames = 2048;

  class OutputProcessor extends AudioWorkletProcessor {
    constructor() {
      super();
      this.queue = new OutputQueue();
      this.meter = new LevelMeter(sampleRate, kQuantum);
      this.sinceReport = 0;
      this.underruns = 0;
      this.asked = false;
      this.port.onmessage = (event) => {
        this.queue.push(event.data);
        this.asked = false;
      };
    }

    process(inputs, outputs) {
      const [left, right] = outputs[0];
      const played = this.queue.pull(left, right || left);
      if (played < left.length) this.underruns++;
      if (!this.asked && this.queue.queuedFrames() < kLowFrames) {
        this.asked = true;
        this.port.postMessage({more: true});
      }
      this.meter.add(left, right || left);
      // Four reports a second.
      this.sinceReport += left.length;
      if (this.sinceReport >= sampleRate / 4) {
        this.sinceReport = 0;
        this.port.postMessage({...this.meter.level(), queued: this.queue.queuedFrames(), underruns: this.underruns, time: currentTime});
      }
      return true;
    }
  }

  registerProcessor('bodo-zamel-output', OutputProcessor);
}

if (typeof module !== 'undefined') module.exports = {OutputQueue, LevelMeter};
