// The page's connection, run in the browser by test_connection.py with no server: the page's own
// wiring (startSession) over a fake WebSocket (fake_socket.js, loaded first), a fake storage and a
// simulated clock, and the controls on elements of their own that get synthetic keys and taps.

import { FIRST_RETRY_MS, LAST_RETRY_MS, MOST_BURST, REPLACED } from '/game_connection.js';
import { PLAYER_COLOURS } from '/controls.js';
import { startSession } from '/game_session.js';
import { Suite, check, same } from '/tests/harness.js';

const suite = new Suite();
const HOST = 'game.test:8080';
const KEY = `corrida.secret@${HOST}`;
const SECRET = '0123456789abcdef0123456789ABCDEF';

// Timers on a clock that moves only when the test says.
class FakeTimers {
  constructor() {
    this.time = 0;
    this.nextId = 1;
    this.pending = new Map(); // id -> {at, callback, every}
    this.now = () => this.time;
  }

  setTimeout(callback, ms) {
    const id = this.nextId++;
    this.pending.set(id, { at: this.time + ms, callback, every: 0 });
    return id;
  }

  setInterval(callback, ms) {
    const id = this.nextId++;
    this.pending.set(id, { at: this.time + ms, callback, every: ms });
    return id;
  }

  clearTimeout(id) {
    this.pending.delete(id);
  }

  clearInterval(id) {
    this.pending.delete(id);
  }

  // Moves the clock on by `ms`, running each timer when its time comes.
  advance(ms) {
    const end = this.time + ms;
    for (;;) {
      let first = null;
      for (const [id, timer] of this.pending) {
        if (timer.at <= end && (!first || timer.at < first[1].at)) first = [id, timer];
      }
      if (!first) break;
      const [id, timer] = first;
      this.time = timer.at;
      if (timer.every > 0) timer.at += timer.every;
      else this.pending.delete(id);
      timer.callback();
    }
    this.time = end;
  }
}

class FakeStorage {
  constructor(items = {}) {
    this.items = new Map(Object.entries(items));
  }

  getItem(key) {
    return this.items.has(key) ? this.items.get(key) : null;
  }

  setItem(key, value) {
    this.items.set(key, String(value));
  }

  removeItem(key) {
    this.items.delete(key);
  }
}

const quietSounds = { handle() {}, start() {}, toggle() {} };

// The page's game on a fresh set of elements, a fake socket class, storage and clock.
function newGame(storedItems = {}) {
  globalThis.fakeSockets.length = 0;
  const box = document.createElement('div');
  box.innerHTML = '<canvas width="640" height="480"></canvas><div class="status"></div>' +
    '<div class="controls"><button class="join">JOGAR</button><button class="pause">||</button></div>';
  document.body.append(box);
  const timers = new FakeTimers();
  const storage = new FakeStorage(storedItems);
  const elements = {
    status: box.querySelector('.status'),
    join: box.querySelector('.join'),
    pause: box.querySelector('.pause'),
    controls: box.querySelector('.controls'),
  };
  const session = startSession({
    canvas: box.querySelector('canvas'), elements, listenTo: box, sounds: quietSounds,
    location: { protocol: 'http:', host: HOST }, WebSocketClass: globalThis.FakeWebSocket,
    storage, timers,
  });
  const socket = () => globalThis.fakeSockets[globalThis.fakeSockets.length - 1];
  const fresh = { count: 0 };
  const restart = session.player.restart.bind(session.player);
  session.player.restart = () => {
    fresh.count++;
    restart();
  };
  return { ...session, box, elements, timers, storage, socket, fresh };
}

function tap(target) {
  target.dispatchEvent(new PointerEvent('pointerdown', {
    bubbles: true, button: 0, pointerType: 'touch', isPrimary: true,
  }));
}

function key(target, name, repeat = false) {
  const event = new KeyboardEvent('keydown', { bubbles: true, cancelable: true, key: name, repeat });
  target.dispatchEvent(event);
  return event;
}

suite.test('watches on load, on the page\'s own host, and keeps the socket warm', () => {
  const game = newGame();
  same([globalThis.fakeSockets.length, game.socket().url], [1, `ws://${HOST}/jogo`], 'one socket');
  same(game.elements.status.textContent, 'Conectando...', 'status at first');
  game.socket().open();
  same(game.socket().binaryType, 'arraybuffer', 'binary type');
  same(game.socket().sent, ['watch'], 'sent on open');
  game.socket().text('spectator 4');
  same([game.connection.state.phase, game.connection.state.spectator, game.fresh.count],
    ['watching', 4, 1], 'watching, a fresh stream');
  same([game.elements.status.textContent, game.elements.join.hidden, game.elements.pause.hidden],
    ['Assistindo', false, true], 'status and buttons');
  game.timers.advance(7000);
  same(game.socket().sent, ['watch', 'ping', 'ping', 'ping'], 'a ping every 2 s');
  const wss = startSession({
    canvas: document.createElement('canvas'), elements: game.elements, listenTo: game.box,
    sounds: quietSounds, location: { protocol: 'https:', host: HOST },
    WebSocketClass: globalThis.FakeWebSocket, storage: game.storage, timers: new FakeTimers(),
  });
  same([game.socket().url, wss.connection.url], [`wss://${HOST}/jogo`, `wss://${HOST}/jogo`],
    'wss for an https page');
});

suite.test('JOGAR takes a place; its secret is kept for this server and taken back after a reload', () => {
  const game = newGame({ 'corrida.secret@other.test:8080': 'ffffffffffffffffffffffffffffffff' });
  game.socket().open();
  game.socket().text('spectator 1');
  game.elements.join.click();
  same(game.socket().sent, ['watch', 'join'], 'join sent');
  game.socket().text(`player 3 ${SECRET}`);
  same([game.connection.state.phase, game.connection.state.player, game.fresh.count],
    ['playing', 3, 2], 'playing, a fresh stream');
  same([game.elements.status.textContent, game.elements.join.hidden, game.elements.pause.hidden],
    ['Jogador 3', true, false], 'status and buttons');
  check(game.elements.status.style.color !== '' &&
    getComputedStyle(game.elements.status).color === rgbOf(PLAYER_COLOURS[2]), 'the player\'s colour');
  same(game.storage.getItem(KEY), SECRET, 'secret kept');
  same(game.storage.getItem('corrida.secret@other.test:8080'), 'ffffffffffffffffffffffffffffffff',
    'another server\'s secret left alone');

  const reloaded = newGame(Object.fromEntries(game.storage.items));
  reloaded.socket().open();
  same(reloaded.socket().sent, [`rejoin ${SECRET}`], 'rejoin on open');
  reloaded.socket().text(`player 3 ${SECRET}`);
  same(reloaded.connection.state.player, 3, 'the same place');
});

function rgbOf(hex) {
  const n = parseInt(hex.slice(1), 16);
  return `rgb(${n >> 16}, ${(n >> 8) & 255}, ${n & 255})`;
}

suite.test('a refused rejoin forgets the secret and watches; a refused join keeps watching', () => {
  const game = newGame({ [KEY]: SECRET });
  game.socket().open();
  game.socket().text('refused rejoin');
  same([game.socket().sent, game.storage.getItem(KEY)], [[`rejoin ${SECRET}`, 'watch'], null],
    'watch sent, secret forgotten');
  game.socket().text('spectator 2');
  game.elements.join.click();
  game.socket().text('refused join');
  same([game.elements.status.textContent, game.connection.state.phase], ['Sem lugar livre', 'watching'],
    'a notice');
  game.timers.advance(3500);
  same(game.elements.status.textContent, 'Assistindo', 'the notice passes');
  same(globalThis.fakeSockets.length, 1, 'the same socket');
});

suite.test('a full server is tried again later, with growing waits', () => {
  const game = newGame();
  game.socket().open();
  game.socket().text('refused watch');
  same([game.elements.status.textContent, game.socket().readyState >= 2], ['Servidor cheio', true],
    'full, socket closed');
  const tries = [];
  for (let i = 0; i < 5; i++) {
    const count = globalThis.fakeSockets.length;
    let waited = 0;
    while (globalThis.fakeSockets.length === count && waited < 60000) {
      game.timers.advance(100);
      waited += 100;
    }
    tries.push(waited);
    game.socket().open();
    game.socket().text('refused watch');
  }
  same(tries, [2000, 4000, 8000, 10000, 10000], 'waits before each try');
  game.socket().text('spectator 9'); // the page's own close came first: no longer heard
  same(game.elements.status.textContent, 'Servidor cheio', 'a closed socket is not heard');
});

suite.test('a lost connection is tried again from 0.5 s up to 5 s; a replaced page stays away', () => {
  const game = newGame();
  game.socket().open();
  game.socket().text('spectator 1');
  game.socket().drop();
  same(game.elements.status.textContent, 'Conexao perdida, tentando de novo...', 'status');
  const tries = [];
  for (let i = 0; i < 6; i++) {
    const count = globalThis.fakeSockets.length;
    let waited = 0;
    while (globalThis.fakeSockets.length === count && waited < 60000) {
      game.timers.advance(50);
      waited += 50;
    }
    tries.push(waited);
    game.socket().drop(); // the server is not there
  }
  same(tries, [FIRST_RETRY_MS, 1000, 2000, 4000, LAST_RETRY_MS, LAST_RETRY_MS], 'waits');
  game.timers.advance(LAST_RETRY_MS);
  game.socket().open();
  game.socket().text(`player 1 ${SECRET}`);
  game.timers.advance(12000); // a steady connection: the waits start again from the first
  game.socket().drop();
  game.timers.advance(FIRST_RETRY_MS - 1);
  const sockets = globalThis.fakeSockets.length;
  game.timers.advance(1);
  same(globalThis.fakeSockets.length, sockets + 1, 'tried again after the first wait');
  game.socket().open();
  same(game.socket().sent, [`rejoin ${SECRET}`], 'the place asked back');
  game.socket().text(`player 1 ${SECRET}`);
  game.socket().text('replaced');
  same([game.connection.state.phase, game.elements.status.textContent, game.socket().closedBy !== null],
    [REPLACED, 'Jogando em outra aba', true], 'replaced');
  const count = globalThis.fakeSockets.length;
  game.timers.advance(120000);
  same(globalThis.fakeSockets.length, count, 'no new socket');
  same([game.elements.join.hidden, game.elements.pause.hidden], [true, true], 'no buttons');
});

// The stream's answers are inflated asynchronously: this waits for them.
const inflated = () => new Promise((resolve) => setTimeout(resolve, 50));

suite.test('a stream that cannot be read is dropped for a fresh connection and a fresh stream', async () => {
  const game = newGame();
  game.socket().open();
  game.socket().text('spectator 1');
  game.socket().binary('part 1;create_bitmap b 2 2;blit b screen 0 0 0 0 1 1;frame 1 100;');
  game.socket().binary('part 2;#blit b screen ,,,,+1,;frame 2 134;');
  await inflated();
  check(game.socket().closedBy === null, 'a good stream goes on');
  game.socket().binary('part 3;#blit b nowhere +1;frame 3 168;');
  await inflated();
  same(game.socket().closedBy && game.socket().closedBy.code, 4000, 'closed by the page');
  game.timers.advance(FIRST_RETRY_MS);
  same(globalThis.fakeSockets.length, 2, 'a new socket');
  game.socket().open();
  game.socket().text('spectator 1');
  same(game.fresh.count, 2, 'a fresh stream');
  game.socket().binary('part 1;blit b screen 0 0 0 0 1 1;frame 1 200;');
  await inflated();
  check(game.socket().closedBy === null, 'the fresh stream is read');
  // An answer longer than its message announced, or a message that is no continuation.
  game.socket().binary(Uint8Array.from([2, 0, 5, 0, 0xfa, 0xff, 0x41, 0x42, 0x43, 0x44, 0x45]));
  await inflated();
  same(game.socket().closedBy && game.socket().closedBy.code, 4000, 'more than announced: closed');
});

suite.test('hostile or broken server messages change nothing and throw nothing', async () => {
  const game = newGame();
  game.socket().open();
  game.socket().binary('part 1;frame 1 1;'); // before any place: not a stream yet
  for (const text of ['player 7 ' + SECRET, 'player 1 ' + SECRET.slice(1), 'player 1', `player 2 ${SECRET} `,
    'spectator', 'spectator -1', 'refused', 'REPLACED', 'x'.repeat(100000), '', '\u0000', 'player 01 x']) {
    game.socket().text(text);
  }
  same([game.connection.state.phase, game.storage.items.size, game.fresh.count], ['connecting', 0, 0],
    'nothing taken');
  game.socket().text('spectator 1');
  game.socket().binary(new Uint8Array(0));
  game.socket().onmessage({ data: { not: 'a message' } });
  game.socket().onmessage({ data: null });
  game.socket().binary(new Uint8Array([0xff, 0xfe, 0x80, 0x3b, 0x23]));
  await inflated();
  same(game.socket().closedBy && game.socket().closedBy.code, 4000, 'a broken stream closed');
  game.socket().binary('part 1;frame 1 1;'); // a closed socket is not heard
  game.player.tick(game.timers.now());
  same(game.player.shown, 0, 'nothing shown');
});

suite.test('a tap or Space flips only while a player, a held key once, and never past the budget', () => {
  const game = newGame();
  const screen = game.box.querySelector('canvas');
  game.socket().open();
  game.socket().text('spectator 1');
  tap(screen);
  key(game.box, ' ');
  key(game.box, 'p');
  same(game.socket().sent, ['watch'], 'a spectator sends no flip nor pause');
  game.socket().text(`player 2 ${SECRET}`);
  tap(screen);
  tap(game.elements.join); // the buttons are not the picture
  tap(game.elements.pause);
  same(game.socket().sent, ['watch', 'flip'], 'a tap flips');
  game.timers.advance(1000);
  const space = key(game.box, ' ');
  for (let i = 0; i < 5; i++) key(game.box, ' ', true);
  check(space.defaultPrevented, 'Space does not scroll nor press a button');
  key(game.box, 'P');
  key(game.box, 'p', true);
  game.elements.pause.click();
  same(game.socket().sent.slice(2), ['flip', 'pause', 'pause'], 'a held key flips once');
  game.timers.advance(2000);
  const before = game.socket().sent.length;
  for (let i = 0; i < 50; i++) tap(screen);
  const burst = game.socket().sent.length - before;
  check(burst <= MOST_BURST && burst >= MOST_BURST - 1, `${burst} flips sent of 50 taps at once`);
  game.socket().drop();
  tap(screen);
  same(game.connection.sentCount, before + burst, 'nothing sent on a lost connection');
});

export function run() {
  return suite.run();
}
