// PictureSchedule: the pictures the page has received and not carried out yet, each due at the time
// its PlayoutDelay gives; the game client's own rule.
//
// next(now) hands out what is due, in order:
// - a picture whose successor is due as well, and was drawn a frame or more later, is skipped
//   (carried out without its drawing): a page that fell behind catches up, and never loses a
//   bitmap change. A picture flushed less than SAME_MOMENT_MS before the next is part of what the
//   next shows (a stage, then the waiting picture over it), and pictures added as not `timed` (a
//   fresh stream's first ones, a still picture drawn in parts) are never skipped;
// - a picture that is due alone is shown;
// - drawing without a marker (a stream without picture times) is due when it comes and is drawn
//   whole, never skipped: where its pictures end is not known.
// A picture is never held back because the next one has not come.

import { PlayoutDelay } from './playout_delay.js';
import { parsePiece } from './stream_text.js';

// Pictures waiting that make the page stop taking answers (about two seconds of race).
export const MOST_WAITING = 64;
// Pictures flushed closer together than this were drawn at one moment. The race draws a picture
// every 34 ms.
export const SAME_MOMENT_MS = 20;

export const SHOW = 'show'; // draw it, and the page shows it now
export const SKIP = 'skip'; // carry it out without its drawing: a later picture is due already
export const DRAW = 'draw'; // drawing without a marker: draw it whole and show it

const SEPARATOR = ';';
const FRAME_MARKER = /^frame (\d+) (-?\d+)$/;
const INT64_BOUND = 2 ** 63;

// The "frame N T" marker a piece holds: {number, time}, or null.
export function readFrameMarker(piece) {
  const marker = FRAME_MARKER.exec(piece);
  if (!marker) return null;
  const time = Math.min(Math.max(Number(marker[2]), -INT64_BOUND), INT64_BOUND);
  return { number: Math.min(Number(marker[1]), 2 ** 64), time };
}

// The pictures of `text`, in order: {drawing, marker}, the drawing's pieces each ended by ";" (the
// last maybe not), the marker null for drawing after the last marker.
export function splitPictures(text) {
  const pictures = [];
  let drawingStart = 0;
  let at = 0;
  while (at <= text.length) {
    let end = text.indexOf(SEPARATOR, at);
    if (end < 0) end = text.length;
    const marker = readFrameMarker(text.slice(at, end));
    if (marker) {
      pictures.push({ drawing: text.slice(drawingStart, at), marker });
      drawingStart = end + 1;
    }
    at = end + 1;
  }
  if (drawingStart < text.length) pictures.push({ drawing: text.slice(drawingStart), marker: null });
  return pictures;
}

// The pieces of `drawing` that are not ordinary drawing (blits and sprites): what a picture that
// is not shown still carries out.
export function withoutDrawing(drawing) {
  const pieces = drawing.split(SEPARATOR);
  let kept = '';
  pieces.forEach((piece, i) => {
    const instruction = parsePiece(piece);
    const kind = instruction && instruction.kind;
    if (kind === 'blit' || kind === 'draw_sprite' || kind === 'draw_sprite_v_flip') return;
    kept += piece;
    if (i + 1 < pieces.length) kept += SEPARATOR;
  });
  return kept;
}

// The picture as the stream carried it: its drawing, then its marker.
export function pictureText(picture) {
  if (!picture.marker) return picture.drawing;
  return `${picture.drawing}frame ${picture.marker.number} ${picture.marker.time}${SEPARATOR}`;
}

// Whether `next` was flushed a frame or more after `picture`.
function drawnLater(picture, next) {
  return next.time > picture.time && next.time - picture.time >= SAME_MOMENT_MS;
}

export class PictureSchedule {
  constructor() {
    this.waiting = []; // {picture, dueMs, skippable}
    this.delay = new PlayoutDelay();
  }

  // Adds the pictures of a text that arrived at `arrivedMs`. Pictures drawn before the page came
  // (those a fresh stream starts with) tell nothing of the way: added as not `timed`, they are due
  // when they come, and the play-out delay does not count them.
  add(text, arrivedMs, timed = true) {
    for (const picture of splitPictures(text)) {
      const marked = picture.marker !== null && timed;
      const dueMs = marked ? this.delay.dueMs(picture.marker.time, arrivedMs) : arrivedMs;
      this.waiting.push({ picture, dueMs, skippable: marked });
    }
  }

  // The next thing to carry out at `nowMs`, {action, picture}; null when nothing is due.
  next(nowMs) {
    if (this.waiting.length === 0 || this.waiting[0].dueMs > nowMs) return null;
    const { picture, skippable } = this.waiting.shift();
    if (!picture.marker) return { action: DRAW, picture };
    const following = this.waiting[0];
    if (skippable && following && following.picture.marker && following.dueMs <= nowMs &&
        drawnLater(picture.marker, following.picture.marker)) {
      return { action: SKIP, picture };
    }
    return { action: SHOW, picture };
  }

  // When the first waiting picture is due; null when none waits.
  nextDueMs() {
    return this.waiting.length > 0 ? this.waiting[0].dueMs : null;
  }

  full() {
    return this.waiting.length >= MOST_WAITING;
  }

  get size() {
    return this.waiting.length;
  }

  delayMs() {
    return this.delay.delayMs();
  }
}
