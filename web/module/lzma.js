// Decompresses the .lzma format ("LZMA alone", as `xz --format=lzma` writes
// it), in which the build embeds the engine's binary: a quarter smaller than
// gzip, and browsers decompress only gzip and deflate themselves.
//
// The stream is a 13-byte header (the literal and position bits, the
// dictionary's size, the decompressed size or all ones when unknown), then a
// range-coded stream of literals and matches. The whole output is kept, so it
// serves as the dictionary. Throws on a stream that is cut short or refers
// before its own start.
function lzmaDecompress(input) {
  const fail = (why) => {
    throw new Error(`lzma: ${why}`);
  };
  if (input.length < 13) fail('the header is cut short');
  let properties = input[0];
  if (properties >= 225) fail('bad properties');
  const lc = properties % 9;
  properties = (properties - lc) / 9;
  const lp = properties % 5;
  const pb = (properties - lp) / 5;
  let size = 0;
  let sizeKnown = false;
  for (let i = 12; i >= 5; --i) {
    if (input[i] !== 0xff) sizeKnown = true;
    size = size * 256 + input[i];
  }
  if (sizeKnown && size > 2 ** 31) fail('the size in the header is too large');
  let out = new Uint8Array(sizeKnown ? size : Math.max(1 << 16, input.length * 4));
  let at = 0;

  // The range decoder's range and code, below 2^32: kept in a typed array,
  // as numbers that large would be boxed in variables that closures share.
  let pos = 14;
  const coder = new Uint32Array(2);
  coder[0] = 0xffffffff;
  for (let i = 0; i < 4; ++i) coder[1] = coder[1] * 256 + input[pos++];
  const normalize = () => {
    if (coder[0] < 0x1000000) {
      if (pos >= input.length) fail('the stream is cut short');
      coder[0] = coder[0] * 256;
      coder[1] = coder[1] * 256 + input[pos++];
    }
  };
  const bit = (probs, i) => {
    const p = probs[i];
    const bound = (coder[0] >>> 11) * p;
    let b = 0;
    if (coder[1] < bound) {
      coder[0] = bound;
      probs[i] = p + ((2048 - p) >> 5);
    } else {
      coder[0] -= bound;
      coder[1] -= bound;
      probs[i] = p - (p >> 5);
      b = 1;
    }
    normalize();
    return b;
  };
  const tree = (probs, base, bits) => {
    let m = 1;
    for (let i = 0; i < bits; ++i) m = (m << 1) | bit(probs, base + m);
    return m - (1 << bits);
  };
  const reverseTree = (probs, base, bits) => {
    let m = 1;
    let symbol = 0;
    for (let i = 0; i < bits; ++i) {
      const b = bit(probs, base + m);
      m = (m << 1) | b;
      symbol |= b << i;
    }
    return symbol;
  };
  const direct = (bits) => {
    let value = 0;
    for (let i = 0; i < bits; ++i) {
      coder[0] >>>= 1;
      let b = 0;
      if (coder[1] >= coder[0]) {
        coder[1] -= coder[0];
        b = 1;
      }
      value = value * 2 + b;
      normalize();
    }
    return value;
  };

  const probabilities = (count) => new Uint16Array(count).fill(1024);
  const literal = probabilities(0x300 << (lc + lp));
  const isMatch = probabilities(12 << 4);
  const isRep = probabilities(12);
  const isRepG0 = probabilities(12);
  const isRepG1 = probabilities(12);
  const isRepG2 = probabilities(12);
  const isRep0Long = probabilities(12 << 4);
  const posSlot = probabilities(4 << 6);
  const posSpecial = probabilities(115);
  const align = probabilities(16);
  // choice, choice 2, then 16 low and 16 middle trees of 8, and a high tree of 256.
  const lengthCoder = () => probabilities(2 + 16 * 8 * 2 + 256);
  const matchLength = lengthCoder();
  const repLength = lengthCoder();
  const length = (probs, posState) => {
    if (bit(probs, 0) === 0) return tree(probs, 2 + posState * 8, 3);
    if (bit(probs, 1) === 0) return 8 + tree(probs, 2 + 128 + posState * 8, 3);
    return 16 + tree(probs, 2 + 256, 8);
  };
  const distance = (len) => {
    const slot = tree(posSlot, Math.min(len, 3) << 6, 6);
    if (slot < 4) return slot;
    const bits = (slot >> 1) - 1;
    const start = (2 | (slot & 1)) * 2 ** bits;
    if (slot < 14) return start + reverseTree(posSpecial, start - slot, bits);
    return start + direct(bits - 4) * 16 + reverseTree(align, 0, 4);
  };
  const grow = (needed) => {
    if (needed <= out.length) return;
    if (sizeKnown) fail('more data than the header says');
    const larger = new Uint8Array(Math.max(needed, out.length * 2));
    larger.set(out);
    out = larger;
  };

  const posMask = (1 << pb) - 1;
  const literalPosMask = (1 << lp) - 1;
  let state = 0;
  let rep0 = 0;
  let rep1 = 0;
  let rep2 = 0;
  let rep3 = 0;
  while (!sizeKnown || at < size) {
    const posState = at & posMask;
    if (bit(isMatch, (state << 4) + posState) === 0) {
      const previous = at > 0 ? out[at - 1] : 0;
      const base = 0x300 * (((at & literalPosMask) << lc) + (previous >> (8 - lc)));
      let symbol = 1;
      if (state >= 7) {
        if (rep0 >= at) fail('a match before the start');
        let matchByte = out[at - rep0 - 1];
        while (symbol < 0x100) {
          const matchBit = (matchByte >> 7) & 1;
          matchByte <<= 1;
          const b = bit(literal, base + ((1 + matchBit) << 8) + symbol);
          symbol = (symbol << 1) | b;
          if (b !== matchBit) break;
        }
      }
      while (symbol < 0x100) symbol = (symbol << 1) | bit(literal, base + symbol);
      grow(at + 1);
      out[at++] = symbol - 0x100;
      state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
      continue;
    }
    let len;
    if (bit(isRep, state) === 0) {
      rep3 = rep2;
      rep2 = rep1;
      rep1 = rep0;
      len = length(matchLength, posState);
      state = state < 7 ? 7 : 10;
      rep0 = distance(len);
      if (rep0 === 0xffffffff) break;  // the end marker
    } else {
      if (at === 0) fail('a match before the start');
      if (bit(isRepG0, state) === 0) {
        if (bit(isRep0Long, (state << 4) + posState) === 0) {
          if (rep0 >= at) fail('a match before the start');
          state = state < 7 ? 9 : 11;
          grow(at + 1);
          out[at] = out[at - rep0 - 1];
          ++at;
          continue;
        }
      } else {
        let dist;
        if (bit(isRepG1, state) === 0) {
          dist = rep1;
        } else {
          if (bit(isRepG2, state) === 0) {
            dist = rep2;
          } else {
            dist = rep3;
            rep3 = rep2;
          }
          rep2 = rep1;
        }
        rep1 = rep0;
        rep0 = dist;
      }
      len = length(repLength, posState);
      state = state < 7 ? 8 : 11;
    }
    len += 2;
    if (rep0 >= at) fail('a match before the start');
    if (sizeKnown && at + len > size) fail('more data than the header says');
    grow(at + len);
    for (let from = at - rep0 - 1; len > 0; --len) out[at++] = out[from++];
  }
  return sizeKnown ? out : out.slice(0, at);
}
