// The drawing stream's text, read as the game's clients read it: pieces separated by ";", words
// separated by blanks, numbers read like C's atoi and clamped to a 32-bit int. A piece that cannot
// be read gives null and is skipped by the caller; nothing here throws on any input.

export const MAX_WORD_LENGTH = 51;
export const PIECE_SEPARATOR = ';';

// How many fields each kind takes (words past those are ignored).
const FIELD_COUNTS = new Map([
  ['load_bitmap', 2],
  ['create_bitmap', 3],
  ['destroy_bitmap', 1],
  ['draw_sprite', 4],
  ['draw_sprite_v_flip', 4],
  ['blit', 8],
  ['play_sound', 1],
  ['play_music', 1],
  ['stop_music', 0],
]);

// Blanks: space, tab, line feed, vertical tab, form feed, carriage return.
const BLANKS = /[ \t\n\v\f\r]+/;
// The markers are read exactly: one space between fields, digits only (T may be negative).
const FRAME_MARKER = /^frame (\d{1,20}) (-?\d{1,20})$/;
const PART_MARKER = /^part (\d{1,20})$/;
const INT_MIN = -2147483648;
const INT_MAX = 2147483647;
const NON_ASCII = /[^\x00-\x7f]/;

// The pieces of `text`, separators dropped; empty pieces included (they are nothing).
export function splitPieces(text) {
  return text.split(PIECE_SEPARATOR);
}

// C's atoi: an optional sign and digits at the start (anything else gives 0), clamped to int.
export function readNumber(word) {
  const match = /^[+-]?\d+/.exec(word);
  if (!match) return 0;
  const value = Number(match[0]);
  return Math.min(INT_MAX, Math.max(INT_MIN, value));
}

// A word's length as the server counts it: in bytes of UTF-8.
function byteLength(word) {
  return NON_ASCII.test(word) ? new TextEncoder().encode(word).length : word.length;
}

// Whether `path` may be fetched: relative, printable ASCII only, no backslash, no ".." component.
export function isSafePath(path) {
  if (path.length === 0 || path[0] === '/' || path.includes('\\')) return false;
  for (let i = 0; i < path.length; i++) {
    const code = path.charCodeAt(i);
    if (code <= 0x20 || code > 0x7e) return false;
  }
  return !path.split('/').includes('..');
}

// A safe path under the game's image folder "Img/": the only files a receiver fetches.
export function isGameFilePath(path) {
  return path.startsWith('Img/') && isSafePath(path);
}

// The instruction a piece holds, or null: {kind, ...fields}. Kinds and field names:
//   load_bitmap {name, path}            create_bitmap {name, width, height}
//   destroy_bitmap {name}               draw_sprite / draw_sprite_v_flip {target, sprite, x, y}
//   blit {source, target, sx, sy, dx, dy, width, height}
//   play_sound / play_music {path}      stop_music {}
//   frame {number, time}                part {number}
export function parsePiece(piece) {
  let marker = FRAME_MARKER.exec(piece);
  if (marker) return { kind: 'frame', number: Number(marker[1]), time: Number(marker[2]) };
  marker = PART_MARKER.exec(piece);
  if (marker) return { kind: 'part', number: Number(marker[1]) };

  const words = piece.split(BLANKS).filter((word) => word.length > 0);
  if (words.length === 0) return null;
  if (words.some((word) => byteLength(word) > MAX_WORD_LENGTH)) return null;
  const kind = words[0];
  const fieldCount = FIELD_COUNTS.get(kind);
  if (fieldCount === undefined || words.length - 1 < fieldCount) return null;
  const f = words.slice(1);
  const n = (i) => readNumber(f[i]);
  switch (kind) {
    case 'load_bitmap':
      return { kind, name: f[0], path: f[1] };
    case 'create_bitmap':
      return { kind, name: f[0], width: n(1), height: n(2) };
    case 'destroy_bitmap':
      return { kind, name: f[0] };
    case 'draw_sprite':
    case 'draw_sprite_v_flip':
      return { kind, target: f[0], sprite: f[1], x: n(2), y: n(3) };
    case 'blit':
      return {
        kind, source: f[0], target: f[1],
        sx: n(2), sy: n(3), dx: n(4), dy: n(5), width: n(6), height: n(7),
      };
    case 'play_sound':
    case 'play_music':
      return { kind, path: f[0] };
    default:
      return { kind };
  }
}
