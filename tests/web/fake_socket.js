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

    binary(textOrBytes) {
      const bytes = typeof textOrBytes === 'string' ? new TextEncoder().encode(textOrBytes)
        : textOrBytes;
      if (this.onmessage) this.onmessage({ type: 'message', data: bytes.slice().buffer });
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
