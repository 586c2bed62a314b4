// The replayer's tests, run in the browser by test_replayer.py. The pictures under
// "Img/webtest/" are written by that script: pink.bmp is the 4 x 3 picture PINK_PICTURE below, a
// copy of it lies in a "slow" folder (served late) and a "never" folder (served after the client
// has given up), and wide.bmp is 18001 x 1.

import { CREATE_FAILED, LOAD_FAILED, NOT_FOUND, Replayer } from '/replayer.js';
import { PictureLoader } from '/picture_loader.js';
import { parsePiece, readNumber } from '/stream_text.js';

const PINK = [255, 0, 255];
export const PINK_PICTURE = [
  [[255, 0, 0], PINK, [0, 255, 0], PINK],
  [[0, 0, 255], [10, 20, 30], PINK, [254, 0, 255]],
  [PINK, PINK, [255, 255, 255], [0, 0, 0]],
];

const tests = [];
const test = (name, body) => tests.push({ name, body });

function check(condition, message) {
  if (!condition) throw new Error(message);
}

function same(actual, expected, what) {
  const a = JSON.stringify(actual);
  const e = JSON.stringify(expected);
  check(a === e, `${what}: got ${a}, expected ${e}`);
}

// A replayer on a screen of its own, with the pictures fetched from the site's root.
function newReplayer(loaderOptions = {}) {
  const screen = new OffscreenCanvas(640, 480);
  const seen = { problems: [], markers: [], sounds: [] };
  const replayer = new Replayer(screen, {
    onProblem: (text) => seen.problems.push(text),
    onMarker: (marker) => seen.markers.push(marker),
    onSound: (sound) => seen.sounds.push(sound),
    loader: new PictureLoader({ base: `${location.origin}/`, ...loaderOptions }),
  });
  return { replayer, seen };
}

async function replay(replayer, ...texts) {
  for (const text of texts) replayer.feed(text);
  await replayer.idle();
}

// The RGB rows of bitmap `name`.
function rows(replayer, name) {
  const canvas = replayer.find(name);
  const data = replayer.pixels(name);
  const result = [];
  for (let y = 0; y < canvas.height; y++) {
    const row = [];
    for (let x = 0; x < canvas.width; x++) {
      const i = (y * canvas.width + x) * 4;
      row.push([data[i], data[i + 1], data[i + 2]]);
    }
    result.push(row);
  }
  return result;
}

// Fills bitmap `name` with `colourAt(x, y)` ([r, g, b], pink given as transparent).
function paint(replayer, name, colourAt) {
  const canvas = replayer.find(name);
  const context = canvas.getContext('2d');
  const picture = context.createImageData(canvas.width, canvas.height);
  for (let y = 0; y < canvas.height; y++) {
    for (let x = 0; x < canvas.width; x++) {
      const [r, g, b] = colourAt(x, y);
      const pink = r === 255 && g === 0 && b === 255;
      picture.data.set(pink ? [0, 0, 0, 0] : [r, g, b, 255], (y * canvas.width + x) * 4);
    }
  }
  context.putImageData(picture, 0, 0);
}

function size(replayer, name) {
  const canvas = replayer.find(name);
  return canvas ? [canvas.width, canvas.height] : null;
}

test('pieces, words and numbers are read as the stream says', () => {
  same(parsePiece(' \tblit\na\vb\f1 2\r3 4 5 6 extra words '),
    { kind: 'blit', source: 'a', target: 'b', sx: 1, sy: 2, dx: 3, dy: 4, width: 5, height: 6 },
    'blanks of every kind, fields past the kind\'s ignored');
  same(parsePiece('blit a b 1 2 3 4 5'), null, 'too few fields');
  same(parsePiece('stop_music'), { kind: 'stop_music' }, 'a kind without fields');
  same(parsePiece('draw_spritex a b 1 2'), null, 'an unknown kind');
  same(parsePiece('   '), null, 'an empty piece');
  const word51 = 'a'.repeat(51);
  same(parsePiece(`destroy_bitmap ${word51}`), { kind: 'destroy_bitmap', name: word51 }, '51 characters');
  same(parsePiece(`destroy_bitmap ${word51}b`), null, 'a word of 52 characters');
  same(parsePiece(`destroy_bitmap x ${word51}b`), null, 'a long word among the ignored ones');
  same(parsePiece(`destroy_bitmap ${'é'.repeat(26)}`), null, '52 bytes of UTF-8');
  const numbers = ['12abc', 'abc', '-5', '+7', '-', '1e3', '0x10', '99999999999', '-99999999999',
    '2147483647', '-2147483648', '0042'];
  same(numbers.map(readNumber),
    [12, 0, -5, 7, 0, 1, 0, 2147483647, -2147483648, 2147483647, -2147483648, 42], 'atoi, clamped');
  same(parsePiece('frame 12 -40'), { kind: 'frame', number: 12, time: -40 }, 'a frame marker');
  same(parsePiece('part 3'), { kind: 'part', number: 3 }, 'a part marker');
  for (const loose of ['frame  12 40', 'frame 12 40 ', ' frame 12 40', 'frame 12', 'frame -1 2',
    'frame +1 2', 'part 3 4', 'part\t3', 'part x']) {
    same(parsePiece(loose), null, `"${loose}" is no marker`);
  }
});

test('an unreadable piece is skipped and the pieces after it go on', async () => {
  const { replayer, seen } = newReplayer();
  await replay(replayer, 'create_bitmap a 2 2;blit a;create_bitmap;bogus 1 2;' +
    `create_bitmap ${'n'.repeat(60)} 1 1;;  ;\n;create_bitmap b 99999999999 1;` +
    'draw_sprite screen nobody 0 0;create_bitmap c 3 4');
  same(size(replayer, 'a'), [2, 2], 'a');
  same(size(replayer, 'c'), [3, 4], 'c after the unreadable pieces');
  check(replayer.isBound('b') && !replayer.find('b'), 'an absurd create binds the name to no bitmap');
  same(seen.problems, [CREATE_FAILED, NOT_FOUND], 'problems');
});

test('the first binding of a name wins until it is destroyed; the screen stays', async () => {
  const { replayer } = newReplayer();
  await replay(replayer, 'create_bitmap a 2 2;create_bitmap a 5 5;load_bitmap a Img/webtest/pink.bmp');
  same(size(replayer, 'a'), [2, 2], 'the first create');
  same(rows(replayer, 'a'), [[[0, 0, 0], [0, 0, 0]], [[0, 0, 0], [0, 0, 0]]], 'a new bitmap is black');
  await replay(replayer, 'destroy_bitmap a;load_bitmap a Img/webtest/pink.bmp;create_bitmap a 9 9');
  same(size(replayer, 'a'), [4, 3], 'the load after the destroy');
  await replay(replayer, 'blit a screen 0 0 0 0 4 3;destroy_bitmap screen;create_bitmap screen 5 5;' +
    'load_bitmap screen Img/webtest/pink.bmp');
  same(size(replayer, 'screen'), [640, 480], 'the screen');
  same(rows(replayer, 'screen')[0].slice(0, 4), PINK_PICTURE[0], 'what the screen showed');
});

test('absurd sizes and pixels past those held at once are refused', async () => {
  const { replayer, seen } = newReplayer();
  await replay(replayer, 'create_bitmap w 18001 1;create_bitmap h 1 18001;create_bitmap z 0 5;' +
    'create_bitmap n 5 -1;create_bitmap area 18000 481;create_bitmap w 2 2;draw_sprite screen w 0 0;' +
    'load_bitmap wide Img/webtest/wide.bmp');
  for (const name of ['w', 'h', 'z', 'n', 'area']) {
    check(replayer.isBound(name) && !replayer.find(name), `${name}: bound to no bitmap`);
  }
  check(!replayer.isBound('wide'), 'a picture wider than the limit binds nothing');
  same(seen.problems, [...Array(5).fill(CREATE_FAILED), NOT_FOUND, LOAD_FAILED], 'problems');

  seen.problems.length = 0;
  const big = [];
  for (let i = 0; i < 9; i++) big.push(`create_bitmap big${i} 18000 480`);
  await replay(replayer, big.slice(0, 4).join(';'), big.slice(4).join(';'));
  for (let i = 0; i < 8; i++) same(size(replayer, `big${i}`), [18000, 480], `big${i}`);
  check(!replayer.find('big8'), 'a ninth stage-sized bitmap is past what is held at once');
  same(seen.problems, [CREATE_FAILED], 'problems');
  await replay(replayer, 'destroy_bitmap big0;destroy_bitmap big8;create_bitmap big8 18000 480');
  same(size(replayer, 'big8'), [18000, 480], 'room again after a destroy');
  const all = [];
  for (let i = 1; i < 9; i++) all.push(`destroy_bitmap big${i}`);
  await replay(replayer, all.join(';'));
});

test('past a picture\'s work the rest is skipped, all but the destroys, until the next picture',
  async () => {
    const { replayer } = newReplayer();
    // The create and seven whole copies: eight stage-sized pixel counts, the whole budget.
    const copies = Array(7).fill('blit big big 0 0 0 0 18000 480').join(';');
    await replay(replayer, `create_bitmap big 18000 480;${copies};create_bitmap late 1 1;` +
      'destroy_bitmap big;frame 1 0;create_bitmap next 1 1');
    check(!replayer.isBound('late'), 'the piece past the budget is skipped');
    check(!replayer.isBound('big'), 'the destroy past the budget is carried out');
    same(size(replayer, 'next'), [1, 1], 'the next picture');
  });

// What a blit of the source's (sx, sy, w, h) to the target's (dx, dy) makes of the target: a pixel
// is copied where it lies inside both bitmaps and the rectangle.
function expectedBlit(source, target, sx, sy, dx, dy, w, h) {
  return target.map((row, ty) => row.map((pixel, tx) => {
    const rx = tx - dx;
    const ry = ty - dy;
    const x = sx + rx;
    const y = sy + ry;
    const inside = rx >= 0 && ry >= 0 && rx < w && ry < h && y >= 0 && y < source.length &&
      x >= 0 && x < source[0].length;
    return inside ? source[y][x] : pixel;
  }));
}

test('blit copies the rectangle clipped to both bitmaps, pink included', async () => {
  const { replayer } = newReplayer();
  await replay(replayer, 'create_bitmap src 7 5;create_bitmap dst 6 4');
  const sourceColour = (x, y) => (x === 3 && y === 2 ? PINK : [x * 30, y * 40, 100]);
  const targetColour = (x, y) => [1, 2 + x, 3 + y];
  let random = 12345;
  const next = (low, high) => {
    random = (random * 1103515245 + 12345) % 2147483648;
    return low + (random % (high - low + 1));
  };
  const cases = [[-2147483648, 0, 0, 0, 2147483647, 5], [0, 0, -2147483648, -2147483648, 2147483647,
    2147483647], [2147483647, 0, 0, 0, 5, 5], [0, 0, 0, 0, -2147483648, 5]];
  for (let i = 0; i < 200; i++) {
    cases.push([next(-8, 9), next(-6, 7), next(-8, 8), next(-6, 6), next(-2, 12), next(-2, 9)]);
  }
  for (const [sx, sy, dx, dy, w, h] of cases) {
    paint(replayer, 'src', sourceColour);
    paint(replayer, 'dst', targetColour);
    const source = rows(replayer, 'src');
    const before = rows(replayer, 'dst');
    await replay(replayer, `blit src dst ${sx} ${sy} ${dx} ${dy} ${w} ${h}`);
    same(rows(replayer, 'dst'), expectedBlit(source, before, sx, sy, dx, dy, w, h),
      `blit ${sx} ${sy} ${dx} ${dy} ${w} ${h}`);
    // Within one bitmap, overlapping: as if copied from the picture before.
    paint(replayer, 'src', sourceColour);
    await replay(replayer, `blit src src ${sx} ${sy} ${dx} ${dy} ${w} ${h}`);
    same(rows(replayer, 'src'), expectedBlit(source, source, sx, sy, dx, dy, w, h),
      `blit onto itself ${sx} ${sy} ${dx} ${dy} ${w} ${h}`);
  }
});

// What drawing `sprite` (pink left out) at (x, y) makes of `target`, upside down when `flipped`.
function expectedSprite(sprite, target, x, y, flipped) {
  return target.map((row, ty) => row.map((pixel, tx) => {
    const sx = tx - x;
    const sy = flipped ? sprite.length - 1 - (ty - y) : ty - y;
    if (sy < 0 || sy >= sprite.length || sx < 0 || sx >= sprite[0].length) return pixel;
    const colour = sprite[sy][sx];
    return JSON.stringify(colour) === JSON.stringify(PINK) ? pixel : colour;
  }));
}

test('draw_sprite leaves out magic pink; draw_sprite_v_flip draws upside down', async () => {
  const { replayer } = newReplayer();
  await replay(replayer, 'load_bitmap s Img/webtest/pink.bmp;create_bitmap t 7 6');
  same(rows(replayer, 's'), PINK_PICTURE, 'the picture as loaded');
  for (const kind of ['draw_sprite', 'draw_sprite_v_flip']) {
    for (const [x, y] of [[1, 1], [0, 0], [-2, 4], [5, -1], [3, 3], [-4, 0], [7, 6]]) {
      paint(replayer, 't', (px, py) => [px * 20, 50, py * 20]);
      const before = rows(replayer, 't');
      await replay(replayer, `${kind} t s ${x} ${y}`);
      same(rows(replayer, 't'), expectedSprite(PINK_PICTURE, before, x, y, kind !== 'draw_sprite'),
        `${kind} at ${x} ${y}`);
    }
  }
  // Pink copied by a blit shows as pink, and stays transparent for a later sprite.
  await replay(replayer, 'create_bitmap copy 4 3;blit s copy 0 0 0 0 4 3;blit copy screen 0 0 10 10 4 3;' +
    'draw_sprite screen copy 10 20');
  const screen = rows(replayer, 'screen');
  same(screen.slice(10, 13).map((row) => row.slice(10, 14)), PINK_PICTURE, 'blitted to the screen');
  same(screen.slice(20, 23).map((row) => row.slice(10, 14)),
    expectedSprite(PINK_PICTURE, [0, 1, 2].map(() => Array(4).fill([0, 0, 0])), 0, 0, false),
    'drawn as a sprite over black');
});

test('loads are carried out in order; a failed, refused or late load binds nothing', async () => {
  const { replayer, seen } = newReplayer({ timeoutMs: 2500 });
  replayer.feed('load_bitmap s Img/webtest/slow/pink.bmp;draw_sprite screen s 0 0');
  replayer.feed('create_bitmap c 1 1;blit c screen 0 0 0 0 1 1');
  check(!replayer.isBound('c'), 'the next answer waits behind the load');
  await replayer.idle();
  const top = rows(replayer, 'screen')[0];
  same([top[0], top[2]], [[0, 0, 0], [0, 255, 0]], 'the sprite drawn, then the blit over it');

  await replay(replayer, 'load_bitmap m Img/webtest/missing.bmp;create_bitmap after1 1 1');
  check(!replayer.isBound('m') && replayer.isBound('after1'), 'a missing picture');

  const start = performance.now();
  await replay(replayer, 'load_bitmap n Img/webtest/never/pink.bmp;create_bitmap after2 1 1');
  const waited = performance.now() - start;
  check(!replayer.isBound('n') && replayer.isBound('after2'), 'a picture that never comes');
  check(waited < 6000, `a late picture held the stream ${waited} ms`);

  await replay(replayer, 'load_bitmap u1 Img/webtest/../webtest/pink.bmp;' +
    'load_bitmap u2 /Img/webtest/pink.bmp;load_bitmap u3 webtest/pink.bmp;' +
    'load_bitmap u4 Img\\webtest\\pink.bmp;load_bitmap u5 Img/webtest/pink.bmp\x7f;' +
    'load_bitmap ok Img/webtest/pink.bmp');
  same(['u1', 'u2', 'u3', 'u4', 'u5', 'ok'].map((name) => replayer.isBound(name)),
    [false, false, false, false, false, true], 'unsafe paths refused');
  same(seen.problems, Array(7).fill(LOAD_FAILED), 'problems');
});

test('markers and sounds are reported, not drawn', async () => {
  const { replayer, seen } = newReplayer();
  await replay(replayer, 'frame 12 -40;part 3;frame 1  2;play_sound Img/Som/largada.wav;' +
    'play_music Img/Som/musica_menu.wav;play_sound ../x.wav;play_music Img/../x.wav;' +
    'play_sound Som/x.wav;stop_music');
  same(seen.markers, [{ kind: 'frame', number: 12, time: -40 }, { kind: 'part', number: 3 }], 'markers');
  same(seen.sounds, [{ kind: 'play_sound', path: 'Img/Som/largada.wav' },
    { kind: 'play_music', path: 'Img/Som/musica_menu.wav' }, { kind: 'stop_music' }], 'sounds');
  same(replayer.names(), ['screen'], 'nothing bound');
});

// Runs every test; gives [{name, ok, message}].
export async function run() {
  const results = [];
  for (const { name, body } of tests) {
    try {
      await body();
      results.push({ name, ok: true });
    } catch (error) {
      results.push({ name, ok: false, message: String(error && error.stack || error) });
    }
  }
  return results;
}
