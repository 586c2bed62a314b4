// Replayer: carries out the drawing stream's text on a table of named bitmaps, "screen" being the
// visible 640 x 480 canvas.
//
// The text comes from outside, so every piece is read on its own and a piece that cannot be read
// or carried out is skipped without stopping the others. Pictures load asynchronously, but the
// stream is ordered: the pieces after a load wait for it, so nothing draws with a bitmap missing;
// a load that fails or takes too long binds nothing, and the pieces after it go on.
//
//   const replayer = new Replayer(canvas, {onMarker, onSound, onProblem});
//   replayer.feed(text);          // one answer (or batch) of the stream
//   await replayer.idle();        // every piece fed so far carried out

import {
  MAX_BITMAP_AREA, copyCanvas, copyRectangle, drawSprite, fillBlack, isAcceptableSize,
  newBlackCanvas, opaquePixels,
} from './canvas_bitmap.js';
import { PictureLoader } from './picture_loader.js';
import { isGameFilePath, parsePiece, splitPieces } from './stream_text.js';

export const SCREEN_NAME = 'screen';
export const SCREEN_WIDTH = 640;
export const SCREEN_HEIGHT = 480;
// The most pixels held in bitmaps at once.
export const MAX_PIXELS_HELD = 8 * MAX_BITMAP_AREA;
// What one picture (up to a "frame" marker) and one answer may cost, in pixels drawn, loaded or
// created; past it the rest is skipped, all but the destroys.
export const PICTURE_WORK = 8 * MAX_BITMAP_AREA;
export const ANSWER_WORK = 2 * PICTURE_WORK;

// The console texts of the game's own client, given to onProblem.
export const LOAD_FAILED = 'fudeu';
export const CREATE_FAILED = 'create_bitmap falhou';
export const NOT_FOUND = 'Bitmap nao encontrado na lista';

const ANSWER_START = Symbol('answer start');
// Far enough out to be off every bitmap, near enough for exact canvas arithmetic.
const FAR_OUT = 1 << 20;
const onPlane = (coordinate) => Math.min(FAR_OUT, Math.max(-FAR_OUT, coordinate));

export class Replayer {
  // `screen`: the visible canvas (640 x 480). Options:
  //   onMarker({kind: 'frame', number, time} | {kind: 'part', number})
  //   onSound({kind: 'play_sound' | 'play_music', path} | {kind: 'stop_music'})
  //   onProblem(text): the game client's console texts (LOAD_FAILED, CREATE_FAILED, NOT_FOUND)
  //   loader: a PictureLoader (its options: base URL, time limit)
  constructor(screen, { onMarker = () => {}, onSound = () => {}, onProblem = () => {}, loader } = {}) {
    this.screen = screen;
    fillBlack(screen);
    this.onMarker = onMarker;
    this.onSound = onSound;
    this.onProblem = onProblem;
    this.loader = loader || new PictureLoader();
    this.bitmaps = new Map(); // name -> canvas, or null when bound to no bitmap
    this.pixelsHeld = 0;
    this.queue = [];
    this.next = 0;
    this.waiting = false; // a load is under way
    this.idleWaiters = [];
    this.pictureLeft = PICTURE_WORK;
    this.answerLeft = ANSWER_WORK;
  }

  // Queues the pieces of `text`, one answer of the stream, and carries out all it can now.
  feed(text) {
    this.queue.push(ANSWER_START);
    for (const piece of splitPieces(String(text))) this.queue.push(piece);
    this.pump();
  }

  // Resolves once every piece fed so far has been carried out.
  idle() {
    if (!this.waiting && this.next >= this.queue.length) return Promise.resolve();
    return new Promise((resolve) => this.idleWaiters.push(resolve));
  }

  // Whether pieces fed are still to be carried out (a picture file is loading).
  busy() {
    return this.waiting || this.next < this.queue.length;
  }

  // The bitmap bound to `name` (the screen for "screen"), or null.
  find(name) {
    if (name === SCREEN_NAME) return this.screen;
    return this.bitmaps.get(name) || null;
  }

  isBound(name) {
    return name === SCREEN_NAME || this.bitmaps.has(name);
  }

  // The names bound, "screen" included.
  names() {
    return [SCREEN_NAME, ...this.bitmaps.keys()];
  }

  // The pixels of bitmap `name` as RGBA, magic pink where transparent; null if none is bound.
  pixels(name = SCREEN_NAME) {
    const canvas = this.find(name);
    return canvas ? opaquePixels(canvas) : null;
  }

  pump() {
    while (!this.waiting && this.next < this.queue.length) {
      const item = this.queue[this.next++];
      try {
        if (item === ANSWER_START) {
          this.startAnswer();
        } else {
          this.carryOut(item);
        }
      } catch (error) {
        // A piece the browser could not carry out is skipped like one that cannot be read.
        console.warn('replayer: piece skipped', item, error);
      }
    }
    if (this.waiting) return;
    this.queue = [];
    this.next = 0;
    const waiters = this.idleWaiters;
    this.idleWaiters = [];
    for (const resolve of waiters) resolve();
  }

  startAnswer() {
    this.answerLeft = ANSWER_WORK;
    this.pictureLeft = PICTURE_WORK;
  }

  spend(pixels) {
    this.pictureLeft -= Math.max(pixels, 0);
    this.answerLeft -= Math.max(pixels, 0);
  }

  budgetSpent() {
    return this.pictureLeft <= 0 || this.answerLeft <= 0;
  }

  carryOut(piece) {
    const instruction = parsePiece(piece);
    if (!instruction) return;
    const kind = instruction.kind;
    if (kind === 'frame') {
      this.pictureLeft = PICTURE_WORK;
      this.onMarker(instruction);
      return;
    }
    if (kind === 'part') {
      this.startAnswer();
      this.onMarker(instruction);
      return;
    }
    if (kind === 'destroy_bitmap') return this.destroy(instruction.name);
    if (this.budgetSpent()) return;
    switch (kind) {
      case 'load_bitmap': return this.load(instruction);
      case 'create_bitmap': return this.create(instruction);
      case 'draw_sprite':
      case 'draw_sprite_v_flip': return this.draw(instruction, kind === 'draw_sprite_v_flip');
      case 'blit': return this.blit(instruction);
      case 'play_sound':
      case 'play_music':
        if (isGameFilePath(instruction.path)) this.onSound({ kind, path: instruction.path });
        return;
      case 'stop_music': return this.onSound({ kind });
    }
  }

  // Binds `name` to `canvas` (or to no bitmap) unless the name is bound already: the first binding
  // wins until a destroy.
  bind(name, canvas) {
    if (this.isBound(name)) return false;
    this.bitmaps.set(name, canvas);
    if (canvas) this.pixelsHeld += canvas.width * canvas.height;
    return true;
  }

  // Whether a new bitmap of `pixels` may be bound to `name`: a bound name keeps its own, so only a
  // free name asks the limit.
  mayHold(name, pixels) {
    return this.isBound(name) || this.pixelsHeld + pixels <= MAX_PIXELS_HELD;
  }

  destroy(name) {
    if (name === SCREEN_NAME || !this.bitmaps.has(name)) return;
    const canvas = this.bitmaps.get(name);
    this.bitmaps.delete(name);
    if (canvas) {
      this.pixelsHeld -= canvas.width * canvas.height;
      canvas.width = 0; // gives the memory back now rather than at collection
    }
  }

  create({ name, width, height }) {
    if (!isAcceptableSize(width, height) || !this.mayHold(name, width * height)) {
      this.onProblem(CREATE_FAILED);
      this.bind(name, null);
      return;
    }
    this.spend(width * height);
    if (this.isBound(name)) return; // the first binding wins
    const canvas = newBlackCanvas(width, height);
    if (!canvas) this.onProblem(CREATE_FAILED);
    this.bind(name, canvas);
  }

  load({ name, path }) {
    if (!isGameFilePath(path)) return this.onProblem(LOAD_FAILED);
    const at = this.loader.cached(path);
    if (at) return this.bindLoaded(name, at);
    this.waiting = true;
    this.loader.load(path).then(
      (picture) => this.bindLoaded(name, picture),
      () => this.bindLoaded(name, null),
    ).catch((error) => console.warn('replayer: load skipped', path, error)).finally(() => {
      this.waiting = false;
      this.pump();
    });
  }

  bindLoaded(name, picture) {
    const pixels = picture ? picture.width * picture.height : 0;
    this.spend(pixels);
    if (!picture || !this.mayHold(name, pixels)) return this.onProblem(LOAD_FAILED);
    if (this.isBound(name)) return; // the first binding wins
    const copy = copyCanvas(picture);
    if (!copy) return this.onProblem(LOAD_FAILED);
    this.bind(name, copy);
  }

  draw({ target, sprite, x, y }, flipped) {
    const into = this.find(target);
    const from = this.find(sprite);
    if (!into || !from) return this.onProblem(NOT_FOUND);
    this.spend(from.width * from.height);
    drawSprite(into, from, onPlane(x), onPlane(y), flipped);
  }

  blit({ source, target, sx, sy, dx, dy, width, height }) {
    const from = this.find(source);
    const into = this.find(target);
    if (!from || !into) return this.onProblem(NOT_FOUND);
    // Clipped to the source, then to the target.
    if (sx < 0) { width += sx; dx -= sx; sx = 0; }
    if (sy < 0) { height += sy; dy -= sy; sy = 0; }
    width = Math.min(width, from.width - sx);
    height = Math.min(height, from.height - sy);
    if (dx < 0) { width += dx; sx -= dx; dx = 0; }
    if (dy < 0) { height += dy; sy -= dy; dy = 0; }
    width = Math.min(width, into.width - dx);
    height = Math.min(height, into.height - dy);
    if (width <= 0 || height <= 0) return;
    this.spend(width * height);
    copyRectangle(from, into, sx, sy, dx, dy, width, height);
  }
}
