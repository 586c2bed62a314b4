// A stand-in for the browser's WebSocket with no server behind it: what the page sends is kept in
// `sent`, and a test plays the server with open(), text(), binary() and drop(). Every socket made is
// in globalThis.fakeSockets. A plain script (not a module), so that it can be put in a page before
// the page's own scripts run: `WebSocket = FakeWebSocket`.
(() => {
  class FakeWebSocket {
    constructor(url) {
      this.url = url;
      this.readyState = FakeWebSocket.CONNECTING;
      this.binaryType = 'blob';
      this.sent = [];
      this.closedBy = null; // {code, reason} when the page closed it
      this.onopen = this.onmessage = this.onclose = this.onerror = null;
      globalThis.fakeSockets.push(this);
    }

    send(data) {
      if (this.readyState !== FakeWebSocket.OPEN) throw new Error('send on a socket not open');
      this.sent.push(String(data));
    }

    close(code = 1000, reason = '') {
      if (this.readyState >= FakeWebSocket.CLOSING) return;
      this.closedBy = { code, reason };
      this.readyState = FakeWebSocket.CLOSING;
      setTimeout(() => this.drop(), 0);
    }

    // The server's side.
    open() {
      this.readyState = FakeWebSocket.OPEN;
      if (this.onopen) this.onopen({ type: 'open' });
    }

    text(message) {
      if (this.onmessage) this.onmessage({ type: 'message', data: message });
    }

    // A stream message carrying the answer `text` as the server sends it, or `bytes` as they are.
    binary(textOrBytes) {
      const bytes = typeof textOrBytes === 'string'
        ? this.streamMessage(new TextEncoder().encode(textOrBytes)) : textOrBytes;
      if (this.onmessage) this.onmessage({ type: 'message', data: bytes.slice().buffer });
    }

    // The answer's length (LEB128), then the answer in the socket's zlib stream, here in stored
    // blocks (deflate's uncompressed form), which an inflater reads as it reads compressed ones.
    streamMessage(text) {
      const parts = [];
      const head = [];
      let length = text.length;
      do {
        const low = length & 0x7f;
        length = Math.floor(length / 128);
        head.push(length > 0 ? low | 0x80 : low);
      } while (length > 0);
      parts.push(Uint8Array.from(head));
      if (!this.zlibStarted) {
        parts.push(Uint8Array.from([0x78, 0x01]));
        this.zlibStarted = true;
      }
      for (let at = 0; at < text.length; at += 65535) {
        const block = text.subarray(at, at + 65535);
        const n = block.length;
        parts.push(Uint8Array.from([0, n & 0xff, n >> 8, ~n & 0xff, (~n >> 8) & 0xff]), block);
      }
      const message = new Uint8Array(parts.reduce((sum, part) => sum + part.length, 0));
      let filled = 0;
      for (const part of parts) {
        message.set(part, filled);
        filled += part.length;
      }
      return message;
    }

    drop() {
      if (this.readyState === FakeWebSocket.CLOSED) return;
      this.readyState = FakeWebSocket.CLOSED;
      if (this.onclose) this.onclose({ type: 'close', code: 1006 });
    }
  }
  FakeWebSocket.CONNECTING = 0;
  FakeWebSocket.OPEN = 1;
  FakeWebSocket.CLOSING = 2;
  FakeWebSocket.CLOSED = 3;
  globalThis.FakeWebSocket = FakeWebSocket;
  globalThis.fakeSockets = [];
})();
