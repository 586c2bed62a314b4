// GameConnection: the page's one WebSocket to the game server ("/jogo" on the page's own host).
//
// The page says what it wants in short text messages ("watch", "join", "rejoin SECRET", "flip",
// "pause", "ping"); the server answers in text ("player N SECRET", "spectator N", "refused ...",
// "replaced", and "festa" first when it hosts a party, whose pages are controllers) and sends the drawing stream in binary messages, one answer each. A player's secret
// is kept in the browser's storage (one per server), so that a reload or a reconnection takes the
// same place back. A lost connection is tried again with a growing wait; a page whose place another
// page took ("replaced") does not come back by itself.
//
//   const connection = new GameConnection({url, storageKey, onStream, onFreshStream, onChange});
//   connection.start();
//   connection.join(); connection.flip(); connection.pause();
//   connection.keepWarm(true);  // a ping every WARM_PING_MS while playing (a phone's radio awake)
//   connection.breakStream();   // the stream could not be read: a fresh connection, a fresh stream

export const PATH = '/jogo';
export const PING_INTERVAL_MS = 2000;
// While playing, a kept-warm page pings this often, so that a phone's Wi-Fi radio does not doze
// between taps (waking it adds 100-1000 ms to a tap).
export const WARM_PING_MS = 100;
export const FIRST_RETRY_MS = 500;
export const LAST_RETRY_MS = 5000;
export const FIRST_FULL_RETRY_MS = 2000;
export const LAST_FULL_RETRY_MS = 10000;
// A connection that has lasted this long starts the waits between tries from the first again.
export const STEADY_MS = 10000;
export const NOTICE_MS = 3000;
// At most this many messages in a burst, and this many a second on average (the server takes 30).
// A warm ping is sent only while half the burst is left for the taps.
export const MOST_BURST = 10;
export const MOST_PER_SECOND = 20;
const MOST_TEXT_LENGTH = 256;

export const CONNECTING = 'connecting';
export const WATCHING = 'watching';
export const PLAYING = 'playing';
export const FULL = 'full';
export const LOST = 'lost';
export const REPLACED = 'replaced';

const PLAYER_MESSAGE = /^player ([1-6]) ([0-9A-Fa-f]{32})$/;
const SPECTATOR_MESSAGE = /^spectator (\d{1,9})$/;

// The WebSocket address of the game on the page's own host: ws://HOST/jogo, wss:// for https.
export function socketUrl(location) {
  return `${location.protocol === 'https:' ? 'wss:' : 'ws:'}//${location.host}${PATH}`;
}

// Where the secret of the player's place on `host` is kept.
export function secretKey(host) {
  return `corrida.secret@${host}`;
}

function browserTimers() {
  return {
    setTimeout: (f, ms) => setTimeout(f, ms),
    clearTimeout: (id) => clearTimeout(id),
    setInterval: (f, ms) => setInterval(f, ms),
    clearInterval: (id) => clearInterval(id),
    now: () => performance.now(),
  };
}

export class GameConnection {
  // Options:
  //   url, storageKey: where to connect and where the secret is kept
  //   WebSocketClass, storage, timers: the browser's (tests give their own)
  //   onStream(arrayBuffer): a binary message of the current stream
  //   onFreshStream(): a stream starts afresh (a new place or a new connection)
  //   onChange(state): the state changed (see `state`)
  constructor({
    url, storageKey, WebSocketClass = globalThis.WebSocket, storage = null, timers = browserTimers(),
    onStream = () => {}, onFreshStream = () => {}, onChange = () => {},
  }) {
    this.url = url;
    this.storageKey = storageKey;
    this.WebSocketClass = WebSocketClass;
    this.storage = storage;
    this.timers = timers;
    this.onStream = onStream;
    this.onFreshStream = onFreshStream;
    this.onChange = onChange;
    this.socket = null;
    this.retryMs = FIRST_RETRY_MS;
    this.fullRetryMs = FIRST_FULL_RETRY_MS;
    this.retryTimer = null;
    this.pingTimer = null;
    this.warmTimer = null;
    this.warm = false;
    this.noticeTimer = null;
    this.openedAt = 0;
    this.streaming = false; // a place (player or spectator) was given on this socket
    this.tokens = MOST_BURST;
    this.tokensAt = timers.now();
    this.sent = []; // the latest messages sent, oldest first
    this.sentCount = 0;
    // phase: CONNECTING, WATCHING, PLAYING, FULL, LOST or REPLACED; player and spectator: the
    // numbers the server gave; notice: a passing message ('refused join') or null.
    // party: the server hosts a party (its pages are controllers).
    this.state = { phase: CONNECTING, player: null, spectator: null, notice: null, party: false };
  }

  // Whether to ping every WARM_PING_MS while playing.
  keepWarm(warm) {
    this.warm = warm;
    this.warmPings();
  }

  warmPings() {
    const wanted = this.warm && this.playing;
    if (wanted && this.warmTimer === null) {
      this.warmTimer = this.timers.setInterval(() => {
        if (this.tokensLeft() >= MOST_BURST / 2) this.send('ping');
      }, WARM_PING_MS);
    } else if (!wanted && this.warmTimer !== null) {
      this.timers.clearInterval(this.warmTimer);
      this.warmTimer = null;
    }
  }

  start() {
    this.connect();
  }

  get playing() {
    return this.state.phase === PLAYING && this.streaming;
  }

  // Asks for a free player's place.
  join() {
    if (this.state.phase === WATCHING) this.send('join');
  }

  // Flips this page's runner: a player only. Whether the flip was sent.
  flip() {
    return this.playing && this.send('flip');
  }

  pause() {
    if (this.playing) this.send('pause');
  }

  // The stream could not be read: the socket is closed and a fresh one opened.
  breakStream() {
    if (!this.socket) return;
    this.streaming = false;
    this.closeSocket(4000, 'stream unreadable');
  }

  connect() {
    this.retryTimer = null;
    let socket;
    try {
      socket = new this.WebSocketClass(this.url);
      socket.binaryType = 'arraybuffer';
    } catch (error) {
      console.warn('connection: no socket', error);
      this.scheduleRetry();
      return;
    }
    this.socket = socket;
    this.streaming = false;
    socket.onopen = () => this.guard(socket, () => this.opened());
    socket.onmessage = (event) => this.guard(socket, () => this.received(event.data));
    socket.onclose = () => this.guard(socket, () => this.closed());
    socket.onerror = () => {}; // a close follows
  }

  // Runs `handle` for events of the current socket only, never letting an error out.
  guard(socket, handle) {
    if (socket !== this.socket) return;
    try {
      handle();
    } catch (error) {
      console.warn('connection: event skipped', error);
    }
  }

  opened() {
    this.openedAt = this.timers.now();
    const secret = this.loadSecret();
    this.send(secret ? `rejoin ${secret}` : 'watch');
    this.pingTimer = this.timers.setInterval(() => this.ping(), PING_INTERVAL_MS);
  }

  ping() {
    this.send('ping');
    if (this.timers.now() - this.openedAt >= STEADY_MS) {
      this.retryMs = FIRST_RETRY_MS;
      this.fullRetryMs = FIRST_FULL_RETRY_MS;
    }
  }

  received(data) {
    if (typeof data !== 'string') {
      if (this.streaming) this.onStream(data);
      return;
    }
    if (data.length > MOST_TEXT_LENGTH) return;
    let match = PLAYER_MESSAGE.exec(data);
    if (match) {
      this.saveSecret(match[2]);
      this.startStream({ phase: PLAYING, player: Number(match[1]), spectator: null });
      return;
    }
    match = SPECTATOR_MESSAGE.exec(data);
    if (match) {
      this.startStream({ phase: WATCHING, player: null, spectator: Number(match[1]) });
      return;
    }
    switch (data) {
      case 'festa':
        this.change({ party: true });
        return;
      case 'refused join':
        this.showNotice('refused join');
        return;
      case 'refused rejoin':
        this.forgetSecret();
        this.send('watch');
        return;
      case 'refused watch':
        this.streaming = false;
        this.change({ phase: FULL, player: null, spectator: null });
        this.closeSocket(1000, 'full');
        return;
      case 'replaced':
        this.streaming = false;
        this.change({ phase: REPLACED, player: null, spectator: null });
        this.closeSocket(1000, 'replaced');
        return;
    }
  }

  startStream(state) {
    this.streaming = true;
    this.onFreshStream();
    this.change(state);
  }

  closed() {
    this.socket = null;
    this.streaming = false;
    this.timers.clearInterval(this.pingTimer);
    this.pingTimer = null;
    if (this.state.phase === REPLACED) return;
    if (this.state.phase !== FULL) this.change({ phase: LOST, player: null, spectator: null });
    this.scheduleRetry();
  }

  scheduleRetry() {
    if (this.retryTimer !== null) return;
    let wait;
    if (this.state.phase === FULL) {
      wait = this.fullRetryMs;
      this.fullRetryMs = Math.min(2 * this.fullRetryMs, LAST_FULL_RETRY_MS);
    } else {
      wait = this.retryMs;
      this.retryMs = Math.min(2 * this.retryMs, LAST_RETRY_MS);
    }
    this.retryTimer = this.timers.setTimeout(() => this.connect(), wait);
  }

  // Closes the current socket now: its own close event comes later and is not waited for.
  closeSocket(code, reason) {
    const socket = this.socket;
    try {
      socket.close(code, reason);
    } catch (error) {
      console.warn('connection: close', error);
    }
    this.closed();
  }

  send(message) {
    const socket = this.socket;
    if (!socket || socket.readyState !== 1 || !this.takeToken()) return false;
    try {
      socket.send(message);
    } catch (error) {
      console.warn('connection: send', error);
      return false;
    }
    this.sentCount++;
    this.sent.push(message);
    if (this.sent.length > 100) this.sent.shift();
    return true;
  }

  tokensLeft() {
    const now = this.timers.now();
    this.tokens = Math.min(MOST_BURST, this.tokens + ((now - this.tokensAt) * MOST_PER_SECOND) / 1000);
    this.tokensAt = now;
    return this.tokens;
  }

  // The messages sent keep within MOST_BURST at once and MOST_PER_SECOND on average.
  takeToken() {
    if (this.tokensLeft() < 1) return false;
    this.tokens -= 1;
    return true;
  }

  showNotice(notice) {
    this.timers.clearTimeout(this.noticeTimer);
    this.change({ notice });
    this.noticeTimer = this.timers.setTimeout(() => {
      this.noticeTimer = null;
      this.change({ notice: null });
    }, NOTICE_MS);
  }

  change(fields) {
    this.state = { ...this.state, ...fields };
    this.warmPings();
    try {
      this.onChange(this.state);
    } catch (error) {
      console.warn('connection: state shown', error);
    }
  }

  loadSecret() {
    try {
      const secret = this.storage && this.storage.getItem(this.storageKey);
      return secret && /^[0-9A-Fa-f]{32}$/.test(secret) ? secret : null;
    } catch {
      return null;
    }
  }

  saveSecret(secret) {
    try {
      if (this.storage) this.storage.setItem(this.storageKey, secret);
    } catch {
      // No storage (a private window): a reload then watches.
    }
  }

  forgetSecret() {
    try {
      if (this.storage) this.storage.removeItem(this.storageKey);
    } catch {
      // As above.
    }
  }
}
