// Fetches the game's pictures (BMP or JPEG) from the page's own origin and turns each into a
// canvas in which magic pink (255, 0, 255) is transparent, the form every bitmap of the replayer
// takes. Decoded pictures are kept, up to a number of pixels, so that a screen that loads the same
// files again does not wait for them.

import { isAcceptableSize, newCanvas } from './canvas_bitmap.js';

export const DEFAULT_LOAD_TIMEOUT_MS = 10000;

export class PictureLoader {
  // `base`: the URL the "Img/..." paths are relative to (the page's own folder when empty).
  // `cachePixels`: how many decoded pixels are kept between loads.
  constructor({ base = '', timeoutMs = DEFAULT_LOAD_TIMEOUT_MS, cachePixels = 8 * 18000 * 480 } = {}) {
    this.base = base;
    this.timeoutMs = timeoutMs;
    this.cachePixels = cachePixels;
    this.cachedPixels = 0;
    this.decoded = new Map(); // path -> canvas, oldest first
  }

  // The decoded picture of `path` if it is at hand, else undefined.
  cached(path) {
    const canvas = this.decoded.get(path);
    if (canvas) {
      this.decoded.delete(path);
      this.decoded.set(path, canvas);
    }
    return canvas;
  }

  // The decoded picture of `path`, or null when it cannot be had within the time limit.
  async load(path) {
    const at = this.cached(path);
    if (at) return at;
    const controller = new AbortController();
    let timer;
    const late = new Promise((resolve) => {
      timer = setTimeout(() => {
        controller.abort();
        resolve(null);
      }, this.timeoutMs);
    });
    try {
      const canvas = await Promise.race([this.fetchAndDecode(path, controller.signal), late]);
      if (canvas) this.keep(path, canvas);
      return canvas;
    } catch {
      return null;
    } finally {
      clearTimeout(timer);
    }
  }

  async fetchAndDecode(path, signal) {
    const response = await fetch(new URL(path, this.base || document.baseURI), { signal });
    if (!response.ok) return null;
    const blob = await response.blob();
    // Pixels as the file holds them: no colour profile applied.
    const image = await createImageBitmap(blob, {
      colorSpaceConversion: 'none',
      premultiplyAlpha: 'none',
    });
    try {
      return isAcceptableSize(image.width, image.height) ? maskMagicPink(image) : null;
    } finally {
      image.close();
    }
  }

  keep(path, canvas) {
    const pixels = canvas.width * canvas.height;
    if (pixels > this.cachePixels) return;
    while (this.cachedPixels + pixels > this.cachePixels) {
      const [oldest, old] = this.decoded.entries().next().value;
      this.decoded.delete(oldest);
      this.cachedPixels -= old.width * old.height;
    }
    this.decoded.set(path, canvas);
    this.cachedPixels += pixels;
  }
}

// A canvas of `image` with every magic pink pixel made transparent (and every other one opaque).
function maskMagicPink(image) {
  const canvas = newCanvas(image.width, image.height);
  if (!canvas) return null;
  const context = canvas.getContext('2d');
  context.drawImage(image, 0, 0);
  const picture = context.getImageData(0, 0, image.width, image.height);
  const data = picture.data;
  for (let i = 0; i < data.length; i += 4) {
    if (data[i] === 255 && data[i + 1] === 0 && data[i + 2] === 255) {
      data[i] = data[i + 1] = data[i + 2] = data[i + 3] = 0;
    } else {
      data[i + 3] = 255;
    }
  }
  context.putImageData(picture, 0, 0);
  return canvas;
}
