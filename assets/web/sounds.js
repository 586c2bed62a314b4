// The stream's sounds through Web Audio: effects played once, one music loop. A browser lets a page
// make sound only after a gesture of its user, so nothing plays before start(); the music asked for
// before then begins at start(). S toggles the sound on and off (the page wires the key).

export class SoundPlayer {
  // `base`: the URL the "Img/Som/..." paths are relative to (the page's own folder when empty).
  constructor({ base = '' } = {}) {
    this.base = base;
    this.context = null;
    this.on = true;
    this.buffers = new Map(); // path -> Promise of an AudioBuffer, or of null when unplayable
    this.musicPath = null; // the loop asked for, playing or not
    this.musicSource = null;
  }

  // Called from a user gesture: the audio may start.
  start() {
    if (!this.context) {
      const AudioContextClass = window.AudioContext || window.webkitAudioContext;
      if (!AudioContextClass) return;
      this.context = new AudioContextClass();
    }
    this.context.resume();
    this.startMusic();
  }

  toggle() {
    this.on = !this.on;
    if (this.on) this.startMusic();
    else this.stopSource();
    return this.on;
  }

  // What the replayer reports: {kind: 'play_sound' | 'play_music', path} or {kind: 'stop_music'}.
  handle(sound) {
    if (sound.kind === 'play_sound') this.playEffect(sound.path);
    else if (sound.kind === 'play_music') this.playMusic(sound.path);
    else if (sound.kind === 'stop_music') this.stopMusic();
  }

  playEffect(path) {
    if (!this.audible()) return;
    this.buffer(path).then((buffer) => {
      if (buffer && this.audible()) this.source(buffer, false).start();
    });
  }

  // The loop already playing under the same path goes on; another one is replaced.
  playMusic(path) {
    if (path === this.musicPath && this.musicSource) return;
    this.stopSource();
    this.musicPath = path;
    this.startMusic();
  }

  stopMusic() {
    this.musicPath = null;
    this.stopSource();
  }

  audible() {
    return this.on && this.context !== null;
  }

  startMusic() {
    const path = this.musicPath;
    if (!path || this.musicSource || !this.audible()) return;
    this.buffer(path).then((buffer) => {
      if (!buffer || path !== this.musicPath || this.musicSource || !this.audible()) return;
      this.musicSource = this.source(buffer, true);
      this.musicSource.start();
    });
  }

  stopSource() {
    if (!this.musicSource) return;
    this.musicSource.stop();
    this.musicSource.disconnect();
    this.musicSource = null;
  }

  source(buffer, loop) {
    const node = this.context.createBufferSource();
    node.buffer = buffer;
    node.loop = loop;
    node.connect(this.context.destination);
    return node;
  }

  buffer(path) {
    if (!this.buffers.has(path)) {
      const decoded = fetch(new URL(path, this.base || document.baseURI))
        .then((response) => (response.ok ? response.arrayBuffer() : null))
        .then((bytes) => (bytes ? this.context.decodeAudioData(bytes) : null))
        .catch(() => null);
      this.buffers.set(path, decoded);
    }
    return this.buffers.get(path);
  }
}
