// The replayer's bitmaps are 2D canvases whose pixels are either opaque or fully transparent: a
// transparent pixel is magic pink (255, 0, 255), the colour that draw_sprite leaves out. Copying
// keeps transparency, drawing a sprite composes over the target, and the visible canvas shows its
// transparent pixels in pink through its CSS background.

export const MAX_BITMAP_SIDE = 18000;
export const MAX_BITMAP_AREA = 18000 * 480;

// Whether a bitmap of this size may exist at all.
export function isAcceptableSize(width, height) {
  return width >= 1 && height >= 1 && width <= MAX_BITMAP_SIDE && height <= MAX_BITMAP_SIDE &&
    width * height <= MAX_BITMAP_AREA;
}

// A fresh canvas of the given size, or null when the browser cannot give one.
export function newCanvas(width, height) {
  try {
    const canvas = typeof OffscreenCanvas === 'function'
      ? new OffscreenCanvas(width, height)
      : Object.assign(document.createElement('canvas'), { width, height });
    const context = canvas.getContext('2d');
    if (!context) return null;
    context.imageSmoothingEnabled = false;
    return canvas;
  } catch {
    return null;
  }
}

// A new bitmap filled with opaque black, as a fresh window is.
export function newBlackCanvas(width, height) {
  const canvas = newCanvas(width, height);
  if (canvas) fillBlack(canvas);
  return canvas;
}

export function fillBlack(canvas) {
  const context = canvas.getContext('2d');
  context.fillStyle = '#000';
  context.fillRect(0, 0, canvas.width, canvas.height);
}

// A copy of `canvas` (transparent pixels kept).
export function copyCanvas(canvas) {
  const copy = newCanvas(canvas.width, canvas.height);
  if (copy) copy.getContext('2d').drawImage(canvas, 0, 0);
  return copy;
}

// Draws `sprite` into `target` at (x, y), leaving out its transparent pixels; upside down when
// `flipped`.
export function drawSprite(target, sprite, x, y, flipped) {
  const context = target.getContext('2d');
  context.save();
  context.imageSmoothingEnabled = false;
  context.globalCompositeOperation = 'source-over';
  if (flipped) {
    context.translate(x, y + sprite.height);
    context.scale(1, -1);
    context.drawImage(sprite, 0, 0);
  } else {
    context.drawImage(sprite, x, y);
  }
  context.restore();
}

// Copies the rectangle (sx, sy, width, height) of `source` to (dx, dy) of `target`, every pixel as
// it is (transparent ones too). The rectangle must lie inside both canvases.
export function copyRectangle(source, target, sx, sy, dx, dy, width, height) {
  const context = target.getContext('2d');
  context.save();
  context.imageSmoothingEnabled = false;
  context.beginPath();
  context.rect(dx, dy, width, height);
  context.clip();
  context.globalCompositeOperation = 'copy';
  context.drawImage(source, sx, sy, width, height, dx, dy, width, height);
  context.restore();
}

// The pixels of `canvas` as opaque RGBA, transparent pixels given as magic pink.
export function opaquePixels(canvas) {
  const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
  for (let i = 0; i < data.length; i += 4) {
    if (data[i + 3] === 0) {
      data[i] = 255;
      data[i + 1] = 0;
      data[i + 2] = 255;
      data[i + 3] = 255;
    }
  }
  return data;
}
