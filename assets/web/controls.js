// The page's controls over the picture: the status line, the JOGAR and pause buttons, and the
// player's keys and taps. While playing, Space or a click or tap anywhere but on the buttons flips
// the runner (a held key flips once), P or the pause button pauses and resumes; S turns the sound
// off and on at any time.

import { CONNECTING, FULL, LOST, PLAYING, REPLACED, WATCHING } from './game_connection.js';

// The runners' main colours, player N's being the (N-1)th.
export const PLAYER_COLOURS = ['#de3430', '#3270e8', '#30ac48', '#a8b0c0', '#f6841e', '#28c4d6'];

const NOTICES = { 'refused join': 'Sem lugar livre' };

// The status line's text for a connection state.
export function statusText(state) {
  if (state.notice && NOTICES[state.notice]) return NOTICES[state.notice];
  switch (state.phase) {
    case CONNECTING: return 'Conectando...';
    case WATCHING: return 'Assistindo';
    case PLAYING: return `Jogador ${state.player}`;
    case FULL: return 'Servidor cheio';
    case LOST: return 'Conexao perdida, tentando de novo...';
    case REPLACED: return 'Jogando em outra aba';
    default: return '';
  }
}

export class Controls {
  // `elements`: {status, join, pause, controls} (controls: the box that holds the buttons, whose
  // taps are not flips). `actions`: {join, flip, pause, toggleSound, gesture} called on the user's
  // doing (gesture: any key or tap, which lets the sound start).
  constructor(elements, actions) {
    this.elements = elements;
    this.actions = actions;
    this.playing = false;
    elements.join.addEventListener('click', (event) => this.pressed(event, actions.join));
    elements.pause.addEventListener('click', (event) => this.pressed(event, actions.pause));
  }

  // Listens to `target`'s keys and pointers (the window).
  listen(target) {
    target.addEventListener('keydown', (event) => this.keyDown(event));
    target.addEventListener('keyup', (event) => {
      if (event.key === ' ') event.preventDefault(); // no button clicked by Space
    });
    target.addEventListener('pointerdown', (event) => this.pointerDown(event));
    target.addEventListener('contextmenu', (event) => event.preventDefault());
  }

  show(state) {
    const { status, join, pause } = this.elements;
    this.playing = state.phase === PLAYING;
    status.textContent = statusText(state);
    status.style.color = this.playing && !state.notice ? PLAYER_COLOURS[state.player - 1] || '' : '';
    join.hidden = state.phase !== WATCHING;
    pause.hidden = !this.playing;
  }

  pressed(event, action) {
    event.currentTarget.blur(); // Space then flips rather than pressing the button again
    action();
  }

  keyDown(event) {
    this.actions.gesture();
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const key = event.key;
    if (key === ' ' || key === 'Spacebar') {
      event.preventDefault();
      if (!event.repeat) this.actions.flip();
    } else if (key === 'p' || key === 'P') {
      if (!event.repeat) this.actions.pause();
    } else if (key === 's' || key === 'S') {
      if (!event.repeat) this.actions.toggleSound();
    }
  }

  pointerDown(event) {
    this.actions.gesture();
    if (event.button !== undefined && event.button > 0) return; // a left click, a touch or a pen
    if (this.elements.controls.contains(event.target)) return;
    this.actions.flip();
  }
}
