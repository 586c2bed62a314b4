// StreamPlayer: one viewer's stream on the page's canvas, each picture at its due time and whole.
//
// Each answer of the stream (delta-packed text) is unpacked in order as it comes, then waits in the
// PictureSchedule until its pictures are due. The replayer draws into a screen of its own; once what
// is due is carried out, that screen is copied to the visible canvas in one go, so the page never
// shows a picture half drawn (not even while a picture file loads). tick(now) does the work: the
// page calls it on every animation frame and from a timer (animation frames stop in a hidden tab).
//
//   const player = new StreamPlayer(canvas, {onSound, onProblem});
//   player.restart();                  // a fresh stream: fresh unpacker, bitmap table and schedule
//   player.receive(packed, arrivedMs); // false: the stream is broken (restart it)
//   player.tick(now);

import { copyRectangle, fillBlack, newBlackCanvas } from './canvas_bitmap.js';
import { DeltaUnpacker, MAX_ANSWER_BYTES } from './delta_unpacker.js';
import { DRAW, PictureSchedule, SHOW, pictureText, withoutDrawing } from './picture_schedule.js';
import { PictureLoader } from './picture_loader.js';
import { Replayer, SCREEN_HEIGHT, SCREEN_WIDTH } from './replayer.js';

// Unpacked text waiting for room in the schedule past which the stream is given up: the page has
// fallen minutes behind (a hidden tab), and a fresh stream is quicker than catching up.
export const MOST_INBOX_BYTES = 32 << 20;

export class StreamPlayer {
  // `canvas`: the visible 640 x 480 canvas. Options: onSound, onProblem (as the Replayer's),
  // loader (a PictureLoader, kept across streams), now (the clock, in ms).
  constructor(canvas, { onSound = () => {}, onProblem = () => {}, loader, now } = {}) {
    this.canvas = canvas;
    fillBlack(canvas);
    this.onSound = onSound;
    this.onProblem = onProblem;
    this.loader = loader || new PictureLoader();
    this.now = now || (() => performance.now());
    this.shown = 0; // pictures the visible canvas showed
    this.skipped = 0; // pictures carried out without their drawing
    this.lastFrame = null; // the number of the latest picture shown (null: one without a number)
    this.answers = 0; // answers received in this stream
    this.generation = 0;
    this.restart();
  }

  // A fresh stream: what comes next starts with every bitmap still bound and nothing remembered.
  // The visible canvas keeps the last picture until the new stream shows one.
  restart() {
    this.generation++;
    this.unpacker = new DeltaUnpacker();
    this.schedule = new PictureSchedule();
    this.inbox = []; // {text, arrivedMs, timed}
    this.inboxBytes = 0;
    this.answers = 0;
    this.presenting = false;
    this.screen = newBlackCanvas(SCREEN_WIDTH, SCREEN_HEIGHT);
    this.replayer = new Replayer(this.screen, {
      onSound: (sound) => this.onSound(sound),
      onProblem: (text) => this.onProblem(text),
      loader: this.loader,
    });
  }

  // Takes one answer (delta-packed text) that arrived at `arrivedMs`. False when it breaks the
  // stream: it cannot be unpacked, or the page has fallen too far behind.
  receive(packed, arrivedMs = this.now()) {
    const text = this.unpacker.unpack(packed, MAX_ANSWER_BYTES);
    if (text === null) return false;
    // The stream opens with the pictures drawn before the page came: they are not timed.
    this.inbox.push({ text, arrivedMs, timed: this.answers > 0 });
    this.answers++;
    this.inboxBytes += text.length;
    return this.inboxBytes <= MOST_INBOX_BYTES;
  }

  // Whether a picture file is loading: nothing more is carried out until it has come.
  busy() {
    return this.presenting || this.replayer.busy();
  }

  // Carries out what is due at `nowMs` and shows the latest picture.
  tick(nowMs = this.now()) {
    if (this.busy()) return;
    let show = 0;
    let frame = null;
    let text = '';
    for (;;) {
      this.admit();
      const step = this.schedule.next(nowMs);
      if (!step) break;
      if (step.action === SHOW || step.action === DRAW) {
        text += pictureText(step.picture);
        show++;
        frame = step.picture.marker ? step.picture.marker.number : null;
      } else {
        text += withoutDrawing(step.picture.drawing);
        this.skipped++;
      }
    }
    if (text.length === 0) return;
    // What is due at one moment shares an answer's budget, however many pictures it holds.
    this.replayer.feed(text);
    if (show > 0) this.presentWhenDrawn(show, frame);
  }

  // When the next waiting picture is due (null when none waits).
  nextDueMs() {
    this.admit();
    return this.schedule.nextDueMs();
  }

  // Answers move from the inbox to the schedule while it has room.
  admit() {
    while (this.inbox.length > 0 && !this.schedule.full()) {
      const { text, arrivedMs, timed } = this.inbox.shift();
      this.inboxBytes -= text.length;
      this.schedule.add(text, arrivedMs, timed);
    }
  }

  // Shows the screen once the `pictures` fed are drawn, the last of them numbered `frame`.
  presentWhenDrawn(pictures, frame) {
    const shown = () => {
      this.present();
      this.shown += pictures;
      this.lastFrame = frame;
    };
    if (!this.replayer.busy()) {
      shown();
      return;
    }
    this.presenting = true;
    const generation = this.generation;
    this.replayer.idle().then(() => {
      if (generation !== this.generation) return;
      this.presenting = false;
      shown();
    });
  }

  // Copies the replayer's screen to the visible canvas.
  present() {
    copyRectangle(this.screen, this.canvas, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
  }
}
