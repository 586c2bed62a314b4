// The page's reading of the stream, run in the browser by test_stream_logic.py: the delta unpacker
// against the server's packer (streams packed by delta_pack_probe) and against what no packer
// sends, the play-out schedule on a simulated clock, and the player that shows each picture whole.
// The pictures under "Img/webtest/" are written by that script (pink.bmp, and a copy of it in
// "slow/", served late).

import { DeltaUnpacker, MAX_KEYS } from '/delta_unpacker.js';
import { MARGIN_MS, MAX_DELAY_MS, PlayoutDelay } from '/playout_delay.js';
import {
  DRAW, MOST_WAITING, PictureSchedule, SHOW, SKIP, splitPictures, withoutDrawing,
} from '/picture_schedule.js';
import { PictureLoader } from '/picture_loader.js';
import { StreamInflater, readHead } from '/stream_inflater.js';
import { StreamPlayer } from '/stream_player.js';
import { Suite, check, same } from '/tests/harness.js';

const suite = new Suite();
const ROOMY = 1 << 20;
const DRAWN_APART_MS = 34;
// The server's clock is far from the page's: only differences count.
const SERVER_AHEAD = 5e9;

// Every stream the server's packer packed comes back byte for byte, answer by answer.
suite.test('unpacks what the server packs, byte for byte', ({ packedStreams }) => {
  check(packedStreams.length >= 4, 'the streams were packed');
  for (const { name, plain, packed } of packedStreams) {
    const unpacker = new DeltaUnpacker();
    plain.forEach((text, i) => {
      const back = unpacker.unpack(packed[i], ROOMY);
      check(back === text, `${name}, answer ${i}: ${JSON.stringify(packed[i]).slice(0, 200)} ` +
        `unpacked to ${JSON.stringify(back).slice(0, 200)}, expected ${JSON.stringify(text).slice(0, 200)}`);
    });
  }
});

const bytesOf = (hex) => Uint8Array.from(hex.match(/../g), (pair) => parseInt(pair, 16));

// The web port's messages (the packed texts deflated in one stream, each headed by its length)
// come back as the packed texts, in order, however the browser's inflater splits its output, and
// each with its own message's arrival time.
suite.test('inflates what the server sends, answer by answer', async ({ packedStreams }) => {
  for (const { name, packed, messages } of packedStreams) {
    const answers = [];
    let broken = false;
    const decoder = new TextDecoder();
    const inflater = new StreamInflater({
      onAnswer: (bytes, arrivedMs) => answers.push([decoder.decode(bytes), arrivedMs]),
      onBroken: () => { broken = true; },
    });
    messages.forEach((hex, i) => inflater.push(bytesOf(hex).buffer, i));
    const deadline = performance.now() + 10000;
    while (answers.length < packed.length && !broken && performance.now() < deadline) {
      await new Promise((resolve) => setTimeout(resolve, 5));
    }
    check(!broken, `${name}: the stream broke`);
    same(answers.length, packed.length, `${name}: every answer`);
    answers.forEach(([text, arrivedMs], i) => {
      check(text === packed[i] && arrivedMs === i, `${name}, answer ${i}: ${JSON.stringify(text).slice(0, 120)}`);
    });
    const wire = messages.reduce((sum, hex) => sum + hex.length / 2, 0);
    const plainBytes = packed.reduce((sum, text) => sum + new TextEncoder().encode(text).length, 0);
    check(plainBytes < 1000 || wire * 3 < plainBytes, `${name}: ${wire} bytes on the wire for ${plainBytes}`);
    inflater.close();
  }
});

suite.test('a message that is no continuation of the stream breaks it once', async () => {
  same(readHead(Uint8Array.from([0x7f])), { textBytes: 127, headBytes: 1 }, 'one byte');
  same(readHead(Uint8Array.from([0x80, 0x01])), { textBytes: 128, headBytes: 2 }, 'two bytes');
  same(readHead(Uint8Array.from([0xff, 0xff, 0xff, 0xff, 0x0f])).textBytes, 0xffffffff, 'the most');
  for (const bad of [[], [0x80], [0xff, 0xff, 0xff, 0xff, 0x10], [0x80, 0x80, 0x80, 0x80, 0x80, 0x01]]) {
    same(readHead(Uint8Array.from(bad)), null, JSON.stringify(bad));
  }
  for (const [what, messages] of [
    ['not zlib', [[3, 1, 2, 3]]],
    ['a head too long', [[0x80, 0x80, 0x80, 0x80, 0x80]]],
    ['more announced than the page holds', [[0xff, 0xff, 0xff, 0xff, 0x0f]]],
  ]) {
    let broken = 0;
    const inflater = new StreamInflater({ onBroken: () => broken++ });
    for (const m of messages) inflater.push(Uint8Array.from(m).buffer, 0);
    inflater.push(Uint8Array.from([1, 0x78]).buffer, 0); // nothing after a break is read
    const deadline = performance.now() + 5000;
    while (broken === 0 && performance.now() < deadline) await new Promise((r) => setTimeout(r, 5));
    same(broken, 1, what);
  }
});

suite.test('refuses what no packer sends, and reads nothing more until reset', () => {
  const refused = [
    '#blit a b +1,', // a key never seen
    '#blit a 1,2',
    'blit a b 1 2;#blit a b +1', // one difference for two numbers
    'blit a b 1 2;#blit a b +1,+1,', // three for two
    'blit a b 1 2;#blit a b +0,', // a zero is written as nothing
    'blit a b 1 2;#blit a b 1,', // no sign
    'blit a b 1 2;#blit a b +01,',
    'blit a b 1 2;#blit a b +,',
    'blit a b 1 2;#blit a b', // no blank before the differences: the key "blit a" is unknown
    'x 999999999999999;#x +1', // past fifteen digits
    'x -999999999999999;#x -999999999999999', // and below
    'x 5;#x +99999999999999999', // a difference past sixteen digits
    'x 5;#x -9999999999999999', // sixteen digits, far past the bound
    '#', '# ', '##',
  ];
  for (const packed of refused) {
    const unpacker = new DeltaUnpacker();
    const first = unpacker.unpack(packed, ROOMY);
    if (packed === '##') {
      same(first, '#', 'a lone "##"');
      continue;
    }
    check(first === null, `${packed}: unpacked to ${JSON.stringify(first)}`);
    check(unpacker.unpack('blit a b 1 2', ROOMY) === null, `read on after ${packed}`);
    unpacker.reset();
    same(unpacker.unpack('blit a b 1 2', ROOMY), 'blit a b 1 2', `after a reset from ${packed}`);
  }
});

suite.test('moves numbers by their differences, within fifteen digits and both signs', () => {
  const unpacker = new DeltaUnpacker();
  same(unpacker.unpack('x 999999999999998 -999999999999998 7;#x +1,-1,-14;#x -1999999999999998,,+7', ROOMY),
    'x 999999999999998 -999999999999998 7;x 999999999999999 -999999999999999 -7;' +
    'x -999999999999999 -999999999999999 0', 'bounds');
  // Later answers continue the memory of earlier ones.
  same(unpacker.unpack('#x +5,+1,', ROOMY), 'x -999999999999994 -999999999999998 0', 'next answer');
});

suite.test('stops at its limit however small the packed text', () => {
  const unpacker = new DeltaUnpacker();
  const repeats = ';#k ,,,'.repeat(10000); // 7 bytes for 66 each
  check(unpacker.unpack(`k 100000000000000 100000000000000 100000000000000 100000000000000${repeats}`,
    1 << 20) !== null, 'within the limit');
  check(unpacker.unpack(repeats, 100000) === null, 'past the limit');
  // The limit counts bytes of UTF-8, not characters.
  const fresh = new DeltaUnpacker();
  check(fresh.unpack('é'.repeat(60), 100) === null, '120 bytes are past 100');
});

suite.test('forgets every key with the packer once the memory is full', () => {
  // The packed stream of the memory-full case comes from the packer too (first test); here the
  // unpacker's side alone: a new key past MAX_KEYS makes the old ones unknown.
  const unpacker = new DeltaUnpacker();
  let text = '';
  for (let key = 0; key < MAX_KEYS; key++) text += `k${key} 1;`;
  check(unpacker.unpack(text, ROOMY) !== null, 'keys learnt');
  same(unpacker.unpack('#k0 +1', ROOMY), 'k0 2', 'a known key');
  const other = new DeltaUnpacker();
  other.unpack(`${text}new 1`, ROOMY);
  check(other.unpack('#k0 +1', ROOMY) === null, 'forgotten past the limit');
});

// Pictures drawn every 34 ms, sent `perAnswer` at a time as the last of them is flushed, arriving
// `wayMs` later: the due time of each.
function dueTimes(delay, pictures, perAnswer, wayMs) {
  const due = [];
  for (let first = 0; first + perAnswer <= pictures; first += perAnswer) {
    const arrived = (first + perAnswer - 1) * DRAWN_APART_MS + wayMs;
    for (let i = first; i < first + perAnswer; i++) {
      due.push(delay.dueMs(SERVER_AHEAD + i * DRAWN_APART_MS, arrived));
    }
  }
  return due;
}

suite.test('pictures that arrive together are due as far apart as they were drawn', () => {
  for (const perAnswer of [1, 2, 4]) {
    const delay = new PlayoutDelay();
    const due = dueTimes(delay, 400, perAnswer, 20);
    for (let i = 100; i < due.length; i++) {
      const apart = due[i] - due[i - 1];
      check(Math.abs(apart - DRAWN_APART_MS) <= 2, `${perAnswer} a time, ${i}: ${apart} ms apart`);
    }
    check(due[due.length - 1] >= 399 * DRAWN_APART_MS + 20, 'none due before it arrived');
    const wanted = (perAnswer - 1) * DRAWN_APART_MS;
    check(delay.delayMs() >= wanted && delay.delayMs() <= wanted + 2 * MARGIN_MS,
      `${perAnswer} a time: a delay of ${delay.delayMs()} ms`);
  }
});

suite.test('a stall raises the delay to its bound at most and it comes down again', () => {
  const delay = new PlayoutDelay();
  dueTimes(delay, 100, 1, 10);
  check(delay.delayMs() <= MARGIN_MS, `settled at ${delay.delayMs()}`);
  const arrived = 160 * DRAWN_APART_MS + 10;
  for (let i = 100; i < 160; i++) {
    const due = delay.dueMs(SERVER_AHEAD + i * DRAWN_APART_MS, arrived);
    check(due <= arrived + MAX_DELAY_MS, `held past the bound: ${due - arrived}`);
  }
  same(delay.delayMs(), MAX_DELAY_MS, 'the delay after the stall');
  for (let i = 160; i < 460; i++) delay.dueMs(SERVER_AHEAD + i * DRAWN_APART_MS, i * DRAWN_APART_MS + 10);
  check(delay.delayMs() <= MARGIN_MS, `back to ${delay.delayMs()}`);
});

suite.test('a flush time that is no clock reading is due when it comes and changes nothing', () => {
  const delay = new PlayoutDelay();
  dueTimes(delay, 30, 1, 10);
  const arrived = 30 * DRAWN_APART_MS + 10;
  for (const flush of [-(2 ** 63), 2 ** 63, 0, Infinity, NaN]) {
    same(delay.dueMs(flush, arrived), arrived, `flushed at ${flush}`);
  }
  check(delay.delayMs() <= MARGIN_MS, 'the delay is left alone');
  same(delay.dueMs(SERVER_AHEAD + 30 * DRAWN_APART_MS, arrived + 5) - arrived, MARGIN_MS,
    'the next true picture');
});

function picture(frame, flushMs, drawing = '') {
  return `${drawing}frame ${frame} ${flushMs};`;
}

suite.test('shows each picture when due, never waiting for the next', () => {
  const schedule = new PictureSchedule();
  let now = 0;
  let frame = 1;
  for (; frame <= 30; frame++, now += DRAWN_APART_MS) {
    schedule.add(picture(frame, now), now);
    check(schedule.next(now + MARGIN_MS), `picture ${frame} due`);
  }
  schedule.add(picture(frame, now) + picture(frame + 1, now + 34) + picture(frame + 2, now + 68), now + 68);
  const first = schedule.nextDueMs();
  for (let i = 0; i < 3; i++) {
    check(schedule.next(first + i * DRAWN_APART_MS - 1) === null, `${i}: not before it is due`);
    const step = schedule.next(first + i * DRAWN_APART_MS);
    check(step && step.action === SHOW && step.picture.marker.number === frame + i,
      `${i}: ${JSON.stringify(step)}`);
  }
  same(schedule.nextDueMs(), null, 'nothing waits');
});

suite.test('a page behind skips drawing but not bitmap changes, and never splits unmarked drawing', () => {
  const schedule = new PictureSchedule();
  const pictures = picture(1, 0, 'create_bitmap a 2 2;blit a screen 0 0 0 0 2 2;') +
    picture(2, 34, 'play_sound Img/x.wav;draw_sprite screen a 0 0;') +
    picture(3, 68, 'draw_sprite_v_flip screen a 0 0;destroy_bitmap a;');
  // A fresh stream's first pictures are all shown, though they come due together.
  schedule.add(pictures, 0, false);
  for (let i = 0; i < 3; i++) same(schedule.next(0).action, SHOW, `untimed picture ${i}`);
  schedule.add(pictures, 0);
  const actions = [];
  let carriedOut = '';
  for (let step; (step = schedule.next(1000));) {
    actions.push(step.action);
    carriedOut += step.action === SKIP ? withoutDrawing(step.picture.drawing) : step.picture.drawing;
  }
  same(actions, [SKIP, SKIP, SHOW], 'actions');
  same(carriedOut, 'create_bitmap a 2 2;play_sound Img/x.wav;draw_sprite_v_flip screen a 0 0;destroy_bitmap a;',
    'carried out');
  // A picture drawn at the same moment as the next (a pause over the race) is part of it.
  schedule.add(picture(4, 500, 'blit a screen 0 0 0 0 2 2;') + picture(5, 502, 'draw_sprite screen a 0 0;'), 500);
  for (let i = 0; i < 2; i++) same(schedule.next(1500).action, SHOW, `same moment ${i}`);
  // Drawing without markers is drawn whole when it comes.
  schedule.add('blit a screen 0 0 0 0 1 1;', 2000);
  schedule.add('blit a screen 0 0 0 0 1 1;draw_sprite screen a 0 0', 2000);
  for (let i = 0; i < 2; i++) same(schedule.next(2000).action, DRAW, `unmarked ${i}`);
  same(splitPictures('create_bitmap a 1 1;frame 7 70;blit a screen 0 0 0 0 1 1').map((p) => p.marker),
    [{ number: 7, time: 70 }, null], 'split');
  same(splitPictures('frame 7 70 ;frame x 1;frame 8 -3').map((p) => p.drawing),
    ['frame 7 70 ;frame x 1;'], 'only exact markers end a picture');
});

suite.test('takes no more answers past two seconds of pictures', () => {
  const schedule = new PictureSchedule();
  let answer = '';
  for (let frame = 1; frame <= MOST_WAITING; frame++) answer += picture(frame, frame * DRAWN_APART_MS);
  schedule.add(answer.slice(0, answer.length / 2), 0);
  check(!schedule.full(), 'half is not full');
  schedule.add(answer.slice(answer.length / 2), 0);
  check(schedule.full(), 'full');
  check(schedule.next(schedule.nextDueMs()), 'one due');
  check(!schedule.full(), 'room again');
});

// A player on canvases of its own, its clock in the test's hands.
function newPlayer() {
  const clock = { now: 0 };
  const visible = new OffscreenCanvas(640, 480);
  const player = new StreamPlayer(visible, {
    now: () => clock.now,
    loader: new PictureLoader({ base: `${location.origin}/` }),
  });
  return { player, visible, clock };
}

function pixelAt(canvas, x, y) {
  return [...canvas.getContext('2d').getImageData(x, y, 1, 1).data.slice(0, 3)];
}

// A race picture: the stage scrolled, a runner, the screen copied, the marker.
function racePicture(n, flushMs) {
  return `blit stage buffer ${n % 600} 0 0 0 640 480;draw_sprite buffer runner ${n % 600} 200;` +
    `blit buffer screen 0 0 0 0 640 480;frame ${n} ${flushMs};`;
}
const RACE_SETUP = 'part 1;create_bitmap stage 1240 480;create_bitmap buffer 640 480;' +
  'create_bitmap runner 42 47;';

suite.test('a race at 29 pictures a second arriving in bunches is shown at 25 or more a second', () => {
  const { player, clock } = newPlayer();
  check(player.receive(`${RACE_SETUP}frame 0 ${SERVER_AHEAD}`, 0), 'setup');
  // Three pictures an answer, each answer 0 to 40 ms late on the way; the page looks every 16 ms.
  let sent = 1;
  let seed = 7;
  const jitter = () => { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % 41; };
  const arrivals = [];
  for (let answer = 0; answer < 100; answer++) {
    let text = `part ${answer + 2};`;
    for (let i = 0; i < 3; i++, sent++) text += racePicture(sent, SERVER_AHEAD + sent * DRAWN_APART_MS);
    arrivals.push({ at: (sent - 1) * DRAWN_APART_MS + 5 + jitter(), text });
  }
  arrivals.sort((a, b) => a.at - b.at);
  const shownAt = [];
  for (clock.now = 0; clock.now < 10500; clock.now += 16) {
    while (arrivals.length > 0 && arrivals[0].at <= clock.now) {
      check(player.receive(arrivals.shift().text, clock.now), 'an answer');
    }
    const before = player.shown;
    player.tick(clock.now);
    check(!player.busy(), 'nothing to load');
    if (player.shown > before) shownAt.push(clock.now);
  }
  same(player.lastFrame, 300, 'the last picture shown');
  // Each second of the race (past the first) changes the canvas 25 times or more.
  for (let second = 1; second < 10; second++) {
    const changes = shownAt.filter((t) => t >= second * 1000 && t < (second + 1) * 1000).length;
    check(changes >= 25, `second ${second}: ${changes} pictures shown`);
  }
  check(player.skipped <= 10, `${player.skipped} pictures skipped`);
});

suite.test('a picture is shown whole: the canvas waits for a picture file the picture loads', async () => {
  const { player, visible, clock } = newPlayer();
  player.receive('part 1;load_bitmap p Img/webtest/pink.bmp;blit p screen 0 0 0 0 4 3;frame 1 1000;', 0);
  player.tick(0);
  await player.replayer.idle();
  await new Promise((resolve) => setTimeout(resolve, 0));
  same(pixelAt(visible, 0, 0), [255, 0, 0], 'the first picture shown');
  check(player.receive('part 2;blit p screen 0 0 10 0 4 3;load_bitmap q Img/webtest/slow/pink.bmp;' +
    'blit q screen 0 0 20 0 4 3;frame 2 1034;', 40), 'second answer');
  clock.now = 1000;
  player.tick();
  check(player.busy(), 'loading');
  same(pixelAt(visible, 10, 0), [0, 0, 0], 'nothing of the second picture while it loads');
  player.tick(); // a tick while loading carries out nothing and shows nothing
  same(pixelAt(visible, 10, 0), [0, 0, 0], 'still nothing');
  await player.replayer.idle();
  await new Promise((resolve) => setTimeout(resolve, 0));
  same([pixelAt(visible, 10, 0), pixelAt(visible, 20, 0)], [[255, 0, 0], [255, 0, 0]], 'all of it');
});

suite.test('a fresh stream forgets the last one: bitmaps, numbers and timing', () => {
  const { player } = newPlayer();
  check(player.receive('part 1;create_bitmap b 2 2;blit b screen 1 1 1 1 1 1;frame 1 5;', 0), 'first');
  check(player.receive('part 2;#blit b screen +1,,,,,;frame 2 39;', 0), 'a delta of a known key');
  player.tick(0);
  same(player.replayer.names(), ['screen', 'b'], 'bound');
  player.restart();
  same(player.replayer.names(), ['screen'], 'fresh bitmap table');
  check(!player.receive('part 1;#blit b screen +1,,,,,;frame 9 99;', 0), 'nothing remembered');
  player.restart();
  // Its first answer is not timed: all its pictures are due at once, and none is skipped.
  const shown = player.shown;
  check(player.receive('part 1;frame 1 0;frame 2 500;frame 3 1000;', 0), 'untimed');
  player.tick(0);
  same([player.shown - shown, player.skipped, player.lastFrame], [3, 0, 3], 'shown, skipped, last');
});

export function run(input) {
  return suite.run(input);
}
