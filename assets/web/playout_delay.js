// PlayoutDelay: when the page shows each picture it receives, as the game client does.
//
// The server stamps each picture with its flush time on its own clock. Pictures arrive bunched, so
// a page that showed each as it came would show only the last of a bunch. Instead each is shown at
// its flush time plus a level: the time pictures take to arrive, on this clock, as the latest of
// the recent ones took (the 95th percentile of the last SAMPLES, plus a small margin). Pictures
// drawn 34 ms apart are then shown 34 ms apart, however they travelled.
//
// The level rises at once to the measured one and falls slowly (by a sixteenth of the time between
// two pictures), so one quick answer does not make the next ones late. It stays within
// MAX_DELAY_MS of the quickest recent picture, no picture is held longer than MAX_DELAY_MS after it
// arrived, and one that arrives after its time is due at once. Only differences of the two clocks'
// readings count.

export const MAX_DELAY_MS = 300;
export const SAMPLES = 90; // about three seconds of race
export const MARGIN_MS = 6;

// Flush times further than this from the arrival are no clock reading: such a picture is shown
// when it comes.
const FARTHEST_TRANSIT_MS = 2 ** 40;
// A picture this much slower than the quickest recent one carries a stamp of no use; one this much
// quicker comes from a new clock.
const STRAY_TRANSIT_MS = 10000;

function percentile95(samples) {
  const sorted = [...samples].sort((a, b) => a - b);
  return sorted[Math.floor(((sorted.length - 1) * 95) / 100)];
}

export class PlayoutDelay {
  constructor() {
    this.transits = []; // arrivedMs - flushMs of the last pictures
    this.level = null;
    this.lastFlushMs = null;
  }

  // A picture flushed at `flushMs` (the server's clock) arrived at `arrivedMs` (this clock): when
  // to show it, on this clock.
  dueMs(flushMs, arrivedMs) {
    const transit = arrivedMs - flushMs;
    if (!Number.isFinite(transit) || Math.abs(transit) > FARTHEST_TRANSIT_MS) return arrivedMs;
    if (this.transits.length > 0) {
      const quickest = Math.min(...this.transits);
      if (transit > quickest + STRAY_TRANSIT_MS) return arrivedMs;
      if (transit < quickest - STRAY_TRANSIT_MS) {
        this.transits = [];
        this.level = null;
      }
    }
    this.transits.push(transit);
    if (this.transits.length > SAMPLES) this.transits.shift();
    // A picture held up longer than the bound (a stall) raises the level to the bound, no further.
    const highest = Math.min(...this.transits) + MAX_DELAY_MS;
    const measured = Math.min(percentile95(this.transits) + MARGIN_MS, highest);
    if (this.level === null || measured > this.level) {
      this.level = measured;
    } else {
      const drawnApart = this.lastFlushMs === null
        ? 0 : Math.min(Math.max(flushMs - this.lastFlushMs, 0), 1000);
      this.level = Math.min(
        Math.max(measured, this.level - Math.max(Math.floor(drawnApart / 16), 1)), highest);
    }
    this.lastFlushMs = flushMs;
    return Math.min(flushMs + this.level, arrivedMs + MAX_DELAY_MS);
  }

  // How much later than the quickest recent picture a picture is shown: 0 to MAX_DELAY_MS.
  delayMs() {
    if (this.level === null || this.transits.length === 0) return 0;
    return Math.min(Math.max(this.level - Math.min(...this.transits), 0), MAX_DELAY_MS);
  }
}
