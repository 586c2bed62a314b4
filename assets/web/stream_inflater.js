// StreamInflater: the page's end of a place's stream messages. Each binary message the server
// sends is the length of one answer's packed text in bytes (an unsigned LEB128 number: 7 bits a
// byte, lowest first, the top bit set on every byte but the last), then that answer deflated in one
// zlib stream of the place's own, flushed at the end of each answer. One DecompressionStream
// inflates the messages in order, and each answer is handed on whole, in order, with the time its
// message arrived.
//
//   const inflater = new StreamInflater({onAnswer(bytes, arrivedMs), onBroken()});
//   inflater.push(arrayBuffer, arrivedMs);
//   inflater.close();   // the stream has ended: nothing more is handed on
//
// Bytes that are not the stream's continuation (a bad head, an answer longer than announced, an
// inflate error, more than MAX_WAITING_BYTES announced and not yet out) end the stream: onBroken
// is called once and nothing more is handed on.

export const MAX_WAITING_BYTES = 32 * 1024 * 1024;

// {textBytes, headBytes} of a message's head, or null when it is no LEB128 number of 32 bits.
export function readHead(bytes) {
  let length = 0;
  for (let i = 0; i < bytes.length && i < 5; i++) {
    length += (bytes[i] & 0x7f) * 2 ** (7 * i);
    if ((bytes[i] & 0x80) === 0) return length <= 0xffffffff ? { textBytes: length, headBytes: i + 1 } : null;
  }
  return null;
}

export class StreamInflater {
  constructor({ onAnswer = () => {}, onBroken = () => {} } = {}) {
    this.onAnswer = onAnswer;
    this.onBroken = onBroken;
    this.closed = false;
    this.expected = []; // {textBytes, arrivedMs} of the answers not yet handed on
    this.announced = 0; // their bytes
    this.chunks = [];
    this.buffered = 0; // inflated bytes not yet handed on
    const stream = new DecompressionStream('deflate');
    this.writer = stream.writable.getWriter();
    this.reader = stream.readable.getReader();
    this.readOn();
  }

  push(buffer, arrivedMs) {
    if (this.closed) return;
    const bytes = buffer instanceof Uint8Array ? buffer : new Uint8Array(buffer);
    const head = readHead(bytes);
    if (!head || this.announced + head.textBytes > MAX_WAITING_BYTES) {
      this.fail();
      return;
    }
    this.expected.push({ textBytes: head.textBytes, arrivedMs });
    this.announced += head.textBytes;
    const body = bytes.subarray(head.headBytes);
    if (body.length > 0) this.writer.write(body).catch(() => this.fail());
    this.handOn();
  }

  close() {
    if (this.closed) return;
    this.closed = true;
    this.chunks = [];
    this.writer.abort().catch(() => {});
    this.reader.cancel().catch(() => {});
  }

  async readOn() {
    try {
      for (;;) {
        const { value, done } = await this.reader.read();
        if (done || this.closed) return;
        this.chunks.push(value);
        this.buffered += value.length;
        if (this.buffered > this.announced) {
          this.fail();
          return;
        }
        this.handOn();
      }
    } catch (error) {
      this.fail();
    }
  }

  handOn() {
    while (!this.closed && this.expected.length > 0 && this.buffered >= this.expected[0].textBytes) {
      const { textBytes, arrivedMs } = this.expected.shift();
      this.announced -= textBytes;
      this.buffered -= textBytes;
      this.onAnswer(this.take(textBytes), arrivedMs);
    }
  }

  take(count) {
    const answer = new Uint8Array(count);
    let filled = 0;
    while (filled < count) {
      const chunk = this.chunks[0];
      const part = Math.min(chunk.length, count - filled);
      answer.set(chunk.subarray(0, part), filled);
      filled += part;
      if (part === chunk.length) this.chunks.shift();
      else this.chunks[0] = chunk.subarray(part);
    }
    return answer;
  }

  fail() {
    if (this.closed) return;
    this.close();
    this.onBroken();
  }
}
