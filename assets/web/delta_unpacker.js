// The stream's delta packing, read back: each instruction's numbers come written as their
// differences from the numbers the same instruction had last time ("#KEY D1,D2,..."), the form the
// server packs every answer in before deflating. This is the game client's own unpacker, rule for
// rule:
// - An instruction's numbers are its last words that are plain integers (an optional "-", then
//   digits without a leading zero: at most 15 of them), MAX_NUMBERS at most; its key is the text
//   before them, neither empty nor starting with "#". Only instructions of at most
//   MAX_NUMBERED_LENGTH bytes count.
// - Both ends remember, for each key, the numbers of its latest instruction: MAX_KEYS keys at most;
//   a new key past that first makes both forget them all.
// - "#KEY D1,D2,..." is the remembered instruction of KEY with each number moved by its difference
//   (empty for none, else "+N" or "-N"); "##..." is an instruction that starts with "#"; anything
//   else is the instruction as it is.
// Anything no packer sends (an unknown key, a wrong count of differences, a difference written any
// other way, a number past 15 digits) and a text that unpacks past its limit are refused, and the
// unpacker refuses everything after that until reset(): the stream is broken.

export const MAX_KEYS = 512;
export const MAX_NUMBERS = 16;
export const MAX_NUMBERED_LENGTH = 256;
// The most an answer may unpack to, in bytes (as the game client's inflater allows).
export const MAX_ANSWER_BYTES = 8 << 20;

const MAX_DIGITS = 15;
const NUMBER_BOUND = 999999999999999; // the largest of MAX_DIGITS digits
const SEPARATOR = ';';
const NON_ASCII = /[^\x00-\x7f]/;
const encoder = new TextEncoder();

function byteLength(text) {
  return NON_ASCII.test(text) ? encoder.encode(text).length : text.length;
}

function isDigits(text) {
  for (let i = 0; i < text.length; i++) {
    const code = text.charCodeAt(i);
    if (code < 48 || code > 57) return false;
  }
  return true;
}

// The value of `word` when it is written as a plain integer: an optional "-", then one to
// `maxDigits` digits without a leading zero ("-0" is not plain); else null.
function plainInteger(word, maxDigits = MAX_DIGITS) {
  const negative = word.startsWith('-');
  const digits = negative ? word.slice(1) : word;
  if (digits.length === 0 || digits.length > maxDigits) return null;
  if (digits[0] === '0' && (digits.length > 1 || negative)) return null;
  if (!isDigits(digits)) return null;
  const value = Number(digits);
  return negative ? -value : value;
}

// A difference as the packed form writes it: empty, or "+N" / "-N" with N plain and not zero (one
// digit more than a number); else null.
function difference(word) {
  if (word.length === 0) return 0;
  if (word[0] !== '+' && word[0] !== '-') return null;
  const size = plainInteger(word.slice(1), MAX_DIGITS + 1);
  if (size === null || size === 0) return null;
  return word[0] === '-' ? -size : size;
}

export class NumberMemory {
  constructor() {
    this.numbersOf = new Map();
  }

  // {key, numbers} of `instruction`, or null when it has no numbers that count.
  static read(instruction) {
    if (instruction.length > MAX_NUMBERED_LENGTH || byteLength(instruction) > MAX_NUMBERED_LENGTH) {
      return null;
    }
    const numbers = [];
    let keyEnd = instruction.length;
    while (numbers.length < MAX_NUMBERS && keyEnd > 0) {
      const blank = instruction.lastIndexOf(' ', keyEnd - 1);
      if (blank < 0) break;
      const value = plainInteger(instruction.slice(blank + 1, keyEnd));
      if (value === null) break;
      numbers.unshift(value);
      keyEnd = blank;
    }
    if (numbers.length === 0 || keyEnd === 0 || instruction[0] === '#') return null;
    return { key: instruction.slice(0, keyEnd), numbers };
  }

  find(key) {
    return this.numbersOf.get(key) || null;
  }

  remember({ key, numbers }) {
    if (!this.numbersOf.has(key) && this.numbersOf.size >= MAX_KEYS) this.numbersOf.clear();
    this.numbersOf.set(key, numbers);
  }

  clear() {
    this.numbersOf.clear();
  }
}

export class DeltaUnpacker {
  constructor() {
    this.memory = new NumberMemory();
    this.broken = false;
  }

  // The text that was packed; null when `packed` is no packer's continuation of what this unpacker
  // read before, or would unpack past `maxBytes` bytes.
  unpack(packed, maxBytes = MAX_ANSWER_BYTES) {
    if (this.broken) return null;
    const pieces = String(packed).split(SEPARATOR);
    const out = [];
    let bytes = 0;
    for (let i = 0; i < pieces.length; i++) {
      const piece = this.unpackPiece(pieces[i]);
      if (piece === null) return this.fail();
      const numbered = NumberMemory.read(piece);
      if (numbered) this.memory.remember(numbered);
      out.push(piece);
      bytes += byteLength(piece) + (i + 1 < pieces.length ? 1 : 0);
      if (bytes > maxBytes) return this.fail();
    }
    return out.join(SEPARATOR);
  }

  // The stream starts afresh.
  reset() {
    this.memory.clear();
    this.broken = false;
  }

  fail() {
    this.broken = true;
    return null;
  }

  unpackPiece(piece) {
    if (piece.startsWith('##')) return piece.slice(1);
    if (!piece.startsWith('#')) return piece;
    const blank = piece.lastIndexOf(' ');
    if (blank < 0) return null;
    const key = piece.slice(1, blank);
    const before = this.memory.find(key);
    if (!before) return null;
    let text = key;
    let differences = piece.slice(blank + 1);
    for (let i = 0; i < before.length; i++) {
      const comma = differences.indexOf(',');
      const last = i + 1 === before.length;
      if (last !== (comma < 0)) return null;
      const step = difference(comma < 0 ? differences : differences.slice(0, comma));
      if (step === null) return null;
      // Past twice the bound the sum is out of bounds anyway; below it the sum is exact.
      if (Math.abs(step) > 2 * NUMBER_BOUND) return null;
      const value = before[i] + step;
      if (value > NUMBER_BOUND || value < -NUMBER_BOUND) return null;
      text += ' ' + String(value);
      if (!last) differences = differences.slice(comma + 1);
    }
    return text;
  }
}
