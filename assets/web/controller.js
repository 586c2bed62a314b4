// The phone's controller layout: a large flip area that covers most of the screen, in the player's
// colour and with their number, the pause button, and the race's picture only when asked for (the
// TV is the screen). The page takes it at a party (the server says "festa") or with `?controle` in
// its address; `?tela` shows the picture from the start, and the TELA button shows and hides it.
// Held upright or on its side, the area fills the screen.
//
// Before the page plays, a tap on the area takes a free place (JOGAR); then every tap flips, through
// the page's own controls (controls.js: a pointerdown anywhere but on the buttons). A flip sent
// makes the phone vibrate briefly where the browser allows it.

import { PLAYER_COLOURS } from './controls.js';
import { PLAYING, WATCHING } from './game_connection.js';

export const VIBRATION_MS = 15;

// Whether the page's address asks for the controller (`?controle`) and for the picture (`?tela`).
export function layoutAsked(search) {
  const words = new URLSearchParams(search);
  return { controller: words.has('controle'), picture: words.has('tela') };
}

export class ControllerLayout {
  // `body`: the page's body; `pad`: {area, number, hint}; `pictureButton`: TELA; `asked`: from
  // layoutAsked; `join`: takes a free place; `vibrate`: the browser's (or nothing).
  constructor({ body, pad, pictureButton, asked, join, vibrate }) {
    this.body = body;
    this.pad = pad;
    this.pictureButton = pictureButton;
    this.asked = asked;
    this.vibrate = vibrate;
    this.active = false;
    this.phase = null;
    this.vibrations = 0;
    this.setPicture(asked.picture);
    pad.area.addEventListener('pointerdown', () => {
      if (this.active && this.phase === WATCHING) join();
    });
    pictureButton.addEventListener('click', (event) => {
      event.currentTarget.blur();
      this.setPicture(!this.picture);
    });
    if (asked.controller) this.activate();
  }

  activate() {
    this.active = true;
    this.body.classList.add('controller');
    this.pictureButton.hidden = false;
  }

  setPicture(shown) {
    this.picture = shown;
    this.body.classList.toggle('with-picture', shown);
  }

  show(state) {
    if (state.party && !this.active) this.activate();
    this.phase = state.phase;
    const playing = state.phase === PLAYING;
    const { area, number, hint } = this.pad;
    area.style.background = playing ? PLAYER_COLOURS[state.player - 1] || '' : '';
    number.textContent = playing ? String(state.player) : 'JOGAR';
    number.classList.toggle('word', !playing);
    hint.textContent = playing ? 'Toque para virar' : state.phase === WATCHING
      ? 'Toque para entrar na corrida' : '';
  }

  // A flip was sent.
  flipped() {
    if (!this.active || !this.vibrate) return;
    try {
      if (this.vibrate(VIBRATION_MS)) this.vibrations++;
    } catch {
      // Vibration refused: nothing to do.
    }
  }
}
