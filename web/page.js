'use strict';
var Module = window.Module || {};
// The page around the demo's canvas: the settings form, the address's choices, the music
// (Web Audio, kept with the demo's clock), the log and the status object for tools and tests.

const params = new URLSearchParams(location.search);
const form = document.getElementById('settings');
const canvas = document.getElementById('canvas');
const message = document.getElementById('message');
const logLink = document.getElementById('log');

// What tools and tests read: the demo's clock (s), frames drawn, the phase, the music's position,
// the frame rate, and whether the run held its first frame or ended.
const velmorra = window.velmorra = {
  ready: false, running: false, time: 0, frame: 0, phase: 0, phaseName: '', audioTime: null,
  fps: 0, held: false, ended: false, log: [],
  // Per frame drawn in real time: the time between frames and the main thread's time for each
  // (ms); and how long after Start the first frame came.
  frameIntervals: [], frameWork: [], firstFrameMs: null,
};

// Music: fetched while the page loads, decoded once the Start gesture allows an audio context.
const music = {
  context: null, buffer: null, source: null, fetched: null, startedAt: 0, offset: 0,
  wanted: null,
  prefetch() {
    this.fetched = fetch('data/amns.mp3').then((r) => (r.ok ? r.arrayBuffer() : null))
      .catch(() => null);
  },
  async unlock() {
    if (!this.context) {
      this.context = new AudioContext();
    }
    await this.context.resume();
    if (!this.buffer) {
      const bytes = await this.fetched;
      if (bytes) {
        this.buffer = await this.context.decodeAudioData(bytes).catch(() => null);
      }
      if (this.wanted !== null) {
        this.play(this.wanted + (performance.now() - this.wantedAt) / 1000);
      }
    }
  },
  play(seconds) {
    this.stop();
    if (!this.context || !this.buffer) {
      this.wanted = seconds;
      this.wantedAt = performance.now();
      return;
    }
    this.wanted = null;
    this.source = this.context.createBufferSource();
    this.source.buffer = this.buffer;
    this.source.connect(this.context.destination);
    this.offset = Math.max(0, seconds);
    this.startedAt = this.context.currentTime;
    this.source.start(0, this.offset);
  },
  stop() {
    if (this.source) {
      this.source.stop();
      this.source.disconnect();
      this.source = null;
    }
    this.wanted = null;
  },
  position() {
    return this.source ? this.offset + (this.context.currentTime - this.startedAt) : null;
  },
  // Where the music has drifted from the demo's clock by more than a frame and a half, it is
  // moved back to it; smaller drift is left, since each move is a small audible skip.
  keepWith(seconds) {
    const at = this.position();
    if (at !== null && Math.abs(at - seconds) > 0.045) {
      this.play(seconds);
    }
  },
};

function chosenMode() {
  const fromAddress = /^(\d+)x(\d+)$/.exec(params.get('mode') || '');
  if (fromAddress) {
    return { width: Number(fromAddress[1]), height: Number(fromAddress[2]) };
  }
  const [width, height] = form.elements.resolution.value.split('x').map(Number);
  return { width, height };
}

function showForm(text) {
  form.hidden = false;
  message.textContent = text;
  document.getElementById('start').focus();
}

let lastFrameAt = null;
let startedAt = 0;
Module.page = {
  status(time, frame, phase, phaseName, fps, frameWorkMs, held, ended) {
    const now = performance.now();
    if (frame !== velmorra.frame && !ended) {
      if (lastFrameAt !== null) {
        velmorra.frameIntervals.push(now - lastFrameAt);
      } else {
        velmorra.firstFrameMs = now - startedAt;
      }
      if (frameWorkMs > 0) {
        velmorra.frameWork.push(frameWorkMs);
      }
      lastFrameAt = now;
    }
    Object.assign(velmorra, { time, frame, phase, phaseName, fps, held, ended });
    if (!held && !ended) {
      music.keepWith(time);
    }
    velmorra.audioTime = music.position();
  },
  startMusic(seconds) { music.play(seconds); },
  runEnded(exitCode) {
    velmorra.running = false;
    music.stop();
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    }
    showForm(exitCode === 0 ? '' : `The demo ended with code ${exitCode}: see debug.log.`);
  },
  logLines(text) {
    for (const line of text.split('\n')) {
      velmorra.log.push(line);
      console.log(line);
    }
  },
};

async function start(fullscreen) {
  const { width, height } = chosenMode();
  form.hidden = true;
  message.textContent = '';
  logLink.hidden = false;
  Object.assign(velmorra, {
    ended: false, held: false, frame: 0, frameIntervals: [], frameWork: [], firstFrameMs: null,
  });
  lastFrameAt = null;
  startedAt = performance.now();
  if (fullscreen) {
    await document.getElementById('stage').requestFullscreen().catch(() => {});
  }
  const unlocking = music.unlock().catch(() => {});
  const seed = params.get('seed');
  const from = Number(params.get('from') || 0);
  const hold = params.get('hold') === '1';
  velmorra.running = true;
  const started = Module.ccall('velmorra_start', 'number',
    ['number', 'number', 'number', 'number', 'number', 'number', 'number'],
    [width, height, fullscreen ? 1 : 0, seed !== null ? 1 : 0, Number(seed || 0), from, hold ? 1 : 0]);
  if (!started) {
    velmorra.running = false;
    showForm('The demo could not start here: see debug.log.');
  }
  canvas.focus();
  await unlocking;
}

form.addEventListener('submit', (event) => {
  event.preventDefault();
  start(form.elements.fullscreen.checked);
});

document.addEventListener('keydown', (event) => {
  if (event.code === 'Escape' && velmorra.running && velmorra.held) {
    Module.ccall('velmorra_stop', null, [], []);
  }
});

document.addEventListener('visibilitychange', () => {
  if (!velmorra.running) {
    return;
  }
  Module.ccall('velmorra_set_hidden', null, ['number'], [document.hidden ? 1 : 0]);
  if (music.context) {
    if (document.hidden) {
      music.context.suspend();
    } else {
      music.context.resume();
    }
  }
});

logLink.addEventListener('click', () => {
  const bytes = FS.readFile('/debug.log');
  logLink.href = URL.createObjectURL(new Blob([bytes], { type: 'text/plain' }));
});

Module.canvas = canvas;
Module.print = (text) => console.log(text);
Module.printErr = (text) => console.log(text);
Module.onRuntimeInitialized = () => {
  velmorra.ready = true;
  document.getElementById('start').disabled = false;
  if (params.get('autostart') === '1') {
    start(false);
  } else {
    showForm('');
  }
};

music.prefetch();
