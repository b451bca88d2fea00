// Luma planes for comparing the browser's canvas with the native capture's YUV4MPEG2 frames.
import { writeFileSync } from 'node:fs';

// The capture's conversion: BT.709 weights, limited range (16..235).
export function lumaFromRgba(rgba, width, height) {
  const luma = new Uint8Array(width * height);
  for (let i = 0; i < luma.length; i += 1) {
    const r = rgba[4 * i];
    const g = rgba[4 * i + 1];
    const b = rgba[4 * i + 2];
    luma[i] = Math.round(16 + (219 / 255) * (0.2126 * r + 0.7152 * g + 0.0722 * b));
  }
  return luma;
}

export function psnr(a, b) {
  let sum = 0;
  for (let i = 0; i < a.length; i += 1) {
    const d = a[i] - b[i];
    sum += d * d;
  }
  const mse = sum / a.length;
  return mse === 0 ? Infinity : 10 * Math.log10((255 * 255) / mse);
}

export function writePgm(path, luma, width, height) {
  writeFileSync(path, Buffer.concat([Buffer.from(`P5\n${width} ${height}\n255\n`),
    Buffer.from(luma)]));
}

// Reads a child's YUV4MPEG2 4:2:0 stream and resolves with the luma planes of the wanted frame
// numbers (from 0); rejects when the child fails or the stream ends before the last of them.
export function frameLuma(child, wanted, width, height) {
  const frameBytes = width * height * 3 / 2;
  const last = Math.max(...wanted);
  const found = new Map();
  let pending = Buffer.alloc(0);
  let headerDone = false;
  let frame = 0;
  return new Promise((resolve, reject) => {
    child.stdout.on('data', (chunk) => {
      pending = pending.length ? Buffer.concat([pending, chunk]) : chunk;
      for (;;) {
        const newline = pending.indexOf(10);
        if (newline < 0) {
          return;
        }
        if (!headerDone) {
          headerDone = true;
          pending = pending.subarray(newline + 1);
          continue;
        }
        if (pending.length < newline + 1 + frameBytes) {
          return;
        }
        if (wanted.has(frame)) {
          found.set(frame, Uint8Array.from(pending.subarray(newline + 1, newline + 1 + width * height)));
        }
        pending = pending.subarray(newline + 1 + frameBytes);
        frame += 1;
        if (frame > last) {
          child.kill();
          resolve(found);
          return;
        }
      }
    });
    child.on('error', reject);
    child.on('close', (code) => {
      if (frame <= last) {
        reject(new Error(`the native capture stopped after ${frame} frames (exit ${code})`));
      }
    });
  });
}
