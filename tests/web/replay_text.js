// Replays a batch text file (one batch a line) from the test server on a fresh 640 x 480 screen and
// gives the screen's pixels as base64 RGB, for the comparison with the game client's replay.

import { Replayer } from '/replayer.js';
import { PictureLoader } from '/picture_loader.js';

export async function replayFile(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status}`);
  const screen = new OffscreenCanvas(640, 480);
  const replayer = new Replayer(screen, { loader: new PictureLoader({ base: `${location.origin}/` }) });
  for (const batch of (await response.text()).split('\n')) replayer.feed(batch);
  await replayer.idle();
  const rgba = replayer.pixels();
  let text = '';
  for (let i = 0; i < rgba.length; i += 4) {
    text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
  }
  return btoa(text);
}
