// The game page: the server's stream on the page's canvas over one WebSocket, watching or playing.
// Sounds start after the first gesture (S turns them off and on). `?demo=PATH` replays a recorded
// text file from the same site instead, one batch a line, one batch a displayed frame, with no
// connection: for looking at the replayer by hand.

import { ControllerLayout, layoutAsked } from './controller.js';
import { startSession } from './game_session.js';
import { SoundPlayer } from './sounds.js';
import { StreamPlayer } from './stream_player.js';
import { isSafePath } from './stream_text.js';

// However quiet the animation frames (a hidden tab has none), the stream is carried out this often.
const FALLBACK_TICK_MS = 250;

const sounds = new SoundPlayer();
const canvas = document.getElementById('screen');
const status = document.getElementById('status');

function browserStorage() {
  try {
    return window.localStorage;
  } catch {
    return null; // storage refused (a sandboxed frame)
  }
}

function play() {
  let layout = null;
  const session = startSession({
    canvas,
    elements: {
      status,
      join: document.getElementById('join'),
      pause: document.getElementById('pause'),
      controls: document.getElementById('controls'),
    },
    listenTo: window,
    location: window.location,
    sounds,
    storage: browserStorage(),
    onShow: (state) => {
      if (layout) layout.show(state);
      // A controller keeps its socket warm while it plays.
      if (layout && layout.active && session) session.connection.keepWarm(true);
    },
    onFlip: () => layout && layout.flipped(),
  });
  layout = new ControllerLayout({
    body: document.body,
    pad: {
      area: document.getElementById('pad'),
      number: document.getElementById('pad-number'),
      hint: document.getElementById('pad-hint'),
    },
    pictureButton: document.getElementById('picture'),
    asked: layoutAsked(window.location.search),
    join: () => session.connection.join(),
    vibrate: navigator.vibrate ? (ms) => navigator.vibrate(ms) : null,
  });
  layout.show(session.connection.state);
  if (layout.active) session.connection.keepWarm(true);
  session.layout = layout;
  const tick = () => {
    try {
      session.player.tick();
    } catch (error) {
      console.warn('page: tick', error);
    }
  };
  const frame = () => {
    tick();
    requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
  setInterval(tick, FALLBACK_TICK_MS);
  return session;
}

async function replayDemo(player, path) {
  window.addEventListener('pointerdown', () => sounds.start());
  window.addEventListener('keydown', (event) => {
    if (event.key === 's' || event.key === 'S') sounds.toggle();
    sounds.start();
  });
  status.hidden = true;
  if (!isSafePath(path)) return;
  const response = await fetch(path);
  if (!response.ok) return;
  const batches = (await response.text()).split('\n');
  for (const batch of batches) {
    player.replayer.feed(batch);
    await player.replayer.idle();
    player.present();
    await new Promise((resolve) => requestAnimationFrame(resolve));
  }
  document.body.dataset.demo = 'done';
}

const demo = new URLSearchParams(window.location.search).get('demo');
const session = demo ? null : play();
const player = session ? session.player
  : new StreamPlayer(canvas, { onSound: (sound) => sounds.handle(sound) });
if (demo) replayDemo(player, demo);

// For tests and a look from the console (see the README's "The web page").
window.corrida = {
  player,
  sounds,
  connection: session && session.connection,
  get replayer() { return player.replayer; },
  get state() { return session ? session.connection.state : null; },
  get status() { return status.textContent; },
  get shown() { return player.shown; },
  get lastFrame() { return player.lastFrame; },
  get sent() { return session ? [...session.connection.sent] : []; },
  get controller() { return Boolean(session && session.layout.active); },
  get vibrations() { return session ? session.layout.vibrations : 0; },
};
