// The page around a program built for the browser (bodo & zamel, or an example of the layer):
// it fits the canvas to the window, makes the sound output (which the browser starts only after a
// key or a click, so a line asks for one until then), loads FluidSynth for the web and the
// SoundFont for the game's music, and starts the program. What the page knows is published on
// window.bodoZamel for players' tools and the browser test: frame counters, the sound level, the
// messages shown, and the trace of a replay.
//
// Query parameters: replay=URL runs that key script in memory instead of the game, frames=N
// limits it; soundfont=URL takes another SoundFont.
'use strict';

const kSoundFontPath = '/usr/share/sounds/sf2/TimGM6mb.sf2';  // where the synth code looks for it

// The largest size of the picture's proportions inside the window, in whole CSS pixels.
function fitSize(width, height, roomWidth, roomHeight) {
  if (width <= 0 || height <= 0 || roomWidth <= 0 || roomHeight <= 0) return {width: 0, height: 0};
  const scale = Math.min(roomWidth / width, roomHeight / height);
  return {width: Math.floor(width * scale), height: Math.floor(height * scale)};
}

if (typeof module !== 'undefined') module.exports = {fitSize};

if (typeof window !== 'undefined') {
  const page = window.bodoZamel = {
    frameStats: {presented: 0, busyMs: 0, frameBusyMs: [], firstFrameMs: null, resumedAt: undefined},
    audioLevel: {peak: 0, rms: 0, queued: 0, underruns: 0},
    audioState: 'none',
    messages: [],
    trace: [],
    replayDone: false,
    // The game's state now, by the trace's column names plus `active` and `mouseLeft` (the left
    // button's key status); null for a program that does not publish it.
    state: () => {
      const program = page.program;
      if (!program || !program._bodo_zamel_state) return null;
      const values = program.UTF8ToString(program._bodo_zamel_state()).trim().split(/\s+/).map(Number);
      const names = ['active', 'gameState', 'score', 'level', 'lives', 'beeSpeed', 'levelTarget', 'heroX',
                     'redPotX', 'redPotY', 'bluePotX', 'bluePotY', 'beeX', 'beeY', 'mouseLeft'];
      return Object.fromEntries(names.map((name, i) => [name, values[i]]));
    },
  };

  const canvas = document.getElementById('canvas');
  const startLine = document.getElementById('start');
  const messageLine = document.getElementById('message');
  const params = new URLSearchParams(location.search);

  // The canvas's room is the screen box: the whole window, or what the touch controls leave.
  const screenBox = document.getElementById('screen');
  function fitCanvas() {
    const size = fitSize(canvas.width, canvas.height, screenBox.clientWidth, screenBox.clientHeight);
    canvas.style.width = size.width + 'px';
    canvas.style.height = size.height + 'px';
  }
  page.fitCanvas = fitCanvas;
  window.addEventListener('resize', fitCanvas);
  // The program resizes the canvas to its window's client area.
  new MutationObserver(fitCanvas).observe(canvas, {attributes: true, attributeFilter: ['width', 'height']});
  fitCanvas();

  function showMessage(text) {
    page.messages.push(text);
    messageLine.textContent = text;
  }

  // The sound output: made at once, running once the browser allows it.
  async function makeAudioOutput() {
    if (typeof AudioContext === 'undefined' || typeof AudioWorkletNode === 'undefined') return null;
    const context = new AudioContext({sampleRate: 44100, latencyHint: 'interactive'});
    const update = () => {
      page.audioState = context.state;
      startLine.textContent = context.state === 'running' ? '' : 'press a key or click to start';
    };
    context.onstatechange = update;
    update();
    const resume = () => { if (context.state !== 'running') context.resume(); };
    for (const type of ['keydown', 'pointerdown', 'touchstart']) window.addEventListener(type, resume, true);
    await context.audioWorklet.addModule('audio_output.js');
    const node = new AudioWorkletNode(context, 'bodo-zamel-output', {numberOfInputs: 0, outputChannelCount: [2]});
    node.connect(context.destination);
    // The output asks for more sound (the program's mixer fills it between frames, and on these
    // requests while it waits, as in a hidden tab), or reports its level.
    node.port.onmessage = (event) => {
      if (!event.data.more) page.audioLevel = event.data;
      else if (page.program && page.program._bodo_zamel_feed_audio) page.program._bodo_zamel_feed_audio();
    };
    return {context, node};
  }

  // FluidSynth for the web keeps its module in the global Module, which is its own: the programs
  // are factories that never touch it.
  function loadFluidSynth() {
    return new Promise((resolve) => {
      window.Module = {onRuntimeInitialized: () => resolve(window.Module), print: () => {}, printErr: () => {}};
      const script = document.createElement('script');
      script.src = 'libfluidsynth.js';
      script.onerror = () => resolve(null);
      document.head.appendChild(script);
    });
  }

  async function fetchBytes(url) {
    try {
      const response = await fetch(url);
      return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
    } catch (error) {
      return null;
    }
  }

  // The music's synth, with the SoundFont where the synth code looks for it. Without either the
  // game runs silent, and its synth code says so once.
  async function prepareMusic() {
    const [fluidsynth, soundFont] = await Promise.all([loadFluidSynth(), fetchBytes(params.get('soundfont') || 'TimGM6mb.sf2')]);
    if (fluidsynth && soundFont) {
      fluidsynth.FS.mkdirTree(kSoundFontPath.slice(0, kSoundFontPath.lastIndexOf('/')));
      fluidsynth.FS.writeFile(kSoundFontPath, soundFont);
    }
    return fluidsynth;
  }

  // The program starts loading at once. Its sound output joins it when made; its music's synth
  // and SoundFont are needed before its main function runs (the game sets up its music there),
  // so they hold the start, not the program's download and compilation.
  async function start() {
    const replay = params.get('replay');
    const music = document.body.dataset.music === 'yes' && !replay;
    const script = replay ? await fetchBytes(replay) : null;
    if (replay && !script) {
      showMessage('the key script ' + replay + ' cannot be read');
      return;
    }
    const settings = {
      canvas,
      fluidsynth: null,
      audioOutput: null,
      frameStats: page.frameStats,
      showMessage: (caption, text) => showMessage(caption + ': ' + text),
      print: (line) => { if (replay) page.trace.push(line); else console.log(line); },
      printErr: (line) => { console.error(line); showMessage(line); },
      arguments: replay ? ['--replay', '/replay.keys', '--frames', params.get('frames') || '100000']
                         : document.body.dataset.arguments.split(' ').filter(Boolean),
      preRun: [],
      postRun: [() => { page.replayDone = !!replay; }],
      onAbort: (what) => showMessage('the program stopped: ' + what),
    };
    if (replay) settings.preRun.push((program) => program.FS.writeFile('/replay.keys', script));
    if (music) {
      const ready = prepareMusic();
      settings.preRun.push((program) => {
        program.addRunDependency('music');
        ready.then((fluidsynth) => {
          program.fluidsynth = fluidsynth;
          program.removeRunDependency('music');
        });
      });
    }
    if (!replay) {
      makeAudioOutput().then((output) => { settings.audioOutput = output; })
        .catch((error) => console.warn('no sound output:', error));
    }
    const factory = window[document.body.dataset.factory];
    page.program = await factory(settings);
  }

  // A program that stops on an error says so on the page and in the console, whatever promise
  // it happened in.
  window.addEventListener('unhandledrejection', (event) => {
    console.error('the program stopped:', event.reason);
    showMessage('the program stopped: ' + event.reason);
  });

  window.addEventListener('DOMContentLoaded', () => {
    canvas.focus();
    start().catch((error) => { console.error(error); showMessage(String(error)); });
  });
}
