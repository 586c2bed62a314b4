// The page's game: the connection, the stream's player and the controls wired together. The page
// gives the browser's own things; the tests give stand-ins (a fake socket, storage and clock).

import { Controls } from './controls.js';
import { GameConnection, secretKey, socketUrl } from './game_connection.js';
import { StreamInflater } from './stream_inflater.js';
import { StreamPlayer } from './stream_player.js';

// Options:
//   canvas: the visible canvas; elements: {status, join, pause, controls} (see Controls)
//   onShow(state): besides the controls, told every state (the controller layout)
//   onFlip(): a flip was sent
//   listenTo: where keys and pointers are listened to (the window)
//   location: the page's (host and protocol); sounds: a SoundPlayer
//   WebSocketClass, storage, timers: passed to the GameConnection; loader: to the StreamPlayer
// Gives {player, connection, controls}; the page calls player.tick() on every animation frame.
export function startSession({
  canvas, elements, listenTo, location, sounds, WebSocketClass, storage, timers, loader,
  onShow = () => {}, onFlip = () => {},
}) {
  const decoder = new TextDecoder();
  const player = new StreamPlayer(canvas, {
    onSound: (sound) => sounds.handle(sound),
    onProblem: (text) => console.debug(text),
    loader,
    now: timers && timers.now,
  });
  let controls = null;
  let connection = null;
  // One inflater for each stream: a fresh place starts a fresh one.
  let inflater = null;
  const freshInflater = () => {
    if (inflater) inflater.close();
    inflater = new StreamInflater({
      onAnswer: (bytes, arrivedMs) => {
        if (!player.receive(decoder.decode(bytes), arrivedMs)) connection.breakStream();
      },
      onBroken: () => connection.breakStream(),
    });
  };
  connection = new GameConnection({
    url: socketUrl(location),
    storageKey: secretKey(location.host),
    WebSocketClass,
    storage,
    timers,
    onFreshStream: () => {
      player.restart();
      freshInflater();
    },
    onStream: (bytes) => {
      if (!inflater) freshInflater();
      inflater.push(bytes, player.now());
    },
    onChange: (state) => {
      if (controls) controls.show(state);
      onShow(state);
    },
  });
  controls = new Controls(elements, {
    join: () => connection.join(),
    flip: () => {
      if (connection.flip()) onFlip();
    },
    pause: () => connection.pause(),
    toggleSound: () => sounds.toggle(),
    gesture: () => sounds.start(),
  });
  controls.listen(listenTo);
  controls.show(connection.state);
  onShow(connection.state);
  connection.start();
  return { player, connection, controls };
}
