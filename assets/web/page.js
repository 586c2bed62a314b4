// The watching page: the replayer on the page's canvas, the sounds after the first gesture (S turns
// them off and on). `?demo=PATH` replays a recorded text file from the same site, one batch a line,
// one batch a displayed frame, for looking at the replayer by hand.

import { Replayer } from './replayer.js';
import { SoundPlayer } from './sounds.js';
import { isSafePath } from './stream_text.js';

const sounds = new SoundPlayer();
const replayer = new Replayer(document.getElementById('screen'), {
  onSound: (sound) => sounds.handle(sound),
  onProblem: (text) => console.debug(text),
});

const startSounds = () => sounds.start();
window.addEventListener('pointerdown', startSounds);
window.addEventListener('keydown', (event) => {
  if (event.key === 's' || event.key === 'S') sounds.toggle();
  startSounds();
});

async function replayDemo(path) {
  if (!isSafePath(path)) return;
  const response = await fetch(path);
  if (!response.ok) return;
  const batches = (await response.text()).split('\n');
  for (const batch of batches) {
    replayer.feed(batch);
    await replayer.idle();
    await new Promise((resolve) => requestAnimationFrame(resolve));
  }
  document.body.dataset.demo = 'done';
}

const demo = new URLSearchParams(window.location.search).get('demo');
if (demo) replayDemo(demo);

// For tests and a look from the console.
window.corrida = { replayer, sounds };
