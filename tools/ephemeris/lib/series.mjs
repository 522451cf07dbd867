// Series files: the term model, the choice of terms by a dense check against the complete
// theory, writing, and reading a written file back the way the program does.
import { plain, degreesPerRadian, arcsecPerRadian } from './format.mjs';
import { slot, termLine, meanElementBlocks, polynomialRowUnit } from './orientation.mjs';

// A periodic term of the theory: amplitudes A0..A3 (coefficients of T^0..T^3) times the cosine of
// phase(T) = c0 + c1 T + c2 T^2 + c3 T^3 + c4 T^4 radians.
export class Term {
  constructor(amplitudes, phase) {
    this.amplitudes = amplitudes;
    this.phase = phase;
  }

  valueAt(T) {
    const [a0, a1, a2, a3] = this.amplitudes;
    const [c0, c1, c2, c3, c4] = this.phase;
    return (a0 + T * (a1 + T * (a2 + T * a3))) * Math.cos(c0 + T * (c1 + T * (c2 + T * (c3 + T * c4))));
  }

  // Largest size over |T| <= maxT.
  sizeOver(maxT) {
    return this.amplitudes.reduce((s, a, k) => s + Math.abs(a) * maxT ** k, 0);
  }

  // The "#" line: the phase's linear part on v(3) = 100 T (Julian years), its higher powers on the
  // polynomial rows (whose v is the polynomial times polynomialRowUnit arc seconds, in degrees),
  // the constant as the phase.
  line() {
    const [c0, c1, c2, c3, c4] = this.phase;
    const m = {};
    if (c1 !== 0) m[slot.years] = (c1 * degreesPerRadian) / 100;
    const perRow = arcsecPerRadian / polynomialRowUnit;
    if (c2 !== 0 || c3 !== 0) m[slot.tSquared] = (c2 - c3 / 2) * perRow;
    if (c3 !== 0) m[slot.tSquaredTPlusOneSquared] = (c3 / 2) * perRow;
    if (c4 !== 0 || c3 !== 0) m[slot.tFourth] = (c4 - c3 / 2) * perRow;
    return termLine(m, c0 * degreesPerRadian, this.amplitudes);
  }
}

// Terms of equal phase (the polynomial parts of a theory) are merged into one.
export function mergeEqualPhases(terms) {
  const byPhase = new Map();
  for (const t of terms) {
    const key = t.phase.join(',');
    const seen = byPhase.get(key);
    if (seen) seen.amplitudes = seen.amplitudes.map((a, k) => a + t.amplitudes[k]);
    else byPhase.set(key, new Term([...t.amplitudes], [...t.phase]));
  }
  return [...byPhase.values()];
}

// Adds terms, largest first, until every check date is within target: `complete[i]` is the
// complete theory at T = Ts[i], `offset(T)` what the file adds outside the periodic terms, and
// `error(sum, i)` the error of a partial sum at date i in the unit of the target. Terms are added
// in groups of equal size class (5 % apart), so the result does not depend on sort ties.
export function chooseTerms(terms, Ts, maxT, error, target) {
  const sorted = terms
    .map((t) => ({ t, size: t.sizeOver(maxT) }))
    .filter((x) => x.size > 0)
    .sort((a, b) => b.size - a.size);
  const sums = new Float64Array(Ts.length);
  let worst = Infinity;
  let n = 0;
  const worstError = () => {
    let w = 0;
    for (let i = 0; i < Ts.length; i++) w = Math.max(w, Math.abs(error(sums[i], i)));
    return w;
  };
  worst = worstError();
  while (worst > target && n < sorted.length) {
    const floor = sorted[n].size * 0.95;
    while (n < sorted.length && sorted[n].size >= floor) {
      const term = sorted[n++].t;
      for (let i = 0; i < Ts.length; i++) sums[i] += term.valueAt(Ts[i]);
    }
    worst = worstError();
  }
  if (worst > target) throw new Error(`cannot reach ${target} with all ${sorted.length} terms`);
  return { chosen: sorted.slice(0, n).map((x) => x.t), worst, sums };
}

export const wrapDegrees = (x) => x - 360 * Math.round(x / 360);

// One series file's text lines.
export function seriesLines({ title, longitude, latitude, distance, distanceHeader = 'dist', divisor = 1,
  extraLongitude = [], extraLatitude = [], extraDistance = [], nodeBlocks = [] }) {
  const lines = [title];
  lines.push(...extraLongitude, ...longitude.map((t) => t.line()));
  lines.push('latitude', ...extraLatitude, ...latitude.map((t) => t.line()));
  lines.push(distanceHeader, plain(divisor), ...extraDistance, ...distance.map((t) => t.line()));
  for (const block of nodeBlocks) {
    lines.push('ascending-node', block.node.map(plain).join(','), 'inclination', block.inclination.map(plain).join(','));
  }
  lines.push('end');
  return lines;
}

// ---- Reading a file back as the program does --------------------------------------------------

const md360 = (a) => a - Math.floor(a / 360) * 360;

// The argument vector v(0..33) with the constant terms of the mean elements left out.
export function argumentVector(T, withConstants = 0) {
  const v = new Float64Array(34);
  v[0] = T; v[1] = T * T; v[2] = T * T * T; v[3] = 100 * T;
  meanElementBlocks().forEach(([, rows], i) => {
    for (let j = 0; j < 3; j++) {
      let sum = 0;
      let p = 1;
      for (let k = 1; k <= 6; k++) { p *= T; sum += rows[j][k] * p; }
      v[4 + 3 * i + j] = md360(sum / 3600 + withConstants * rows[j][0]);
    }
  });
  return v;
}

// Parses a file into sections of terms, ready to evaluate at many dates.
export function parseSeries(text) {
  const items = text.split(/\r\n|,/);
  let p = 1;
  const section = (isEnd) => {
    const terms = [];
    while (!isEnd(items[p])) {
      const item = items[p++];
      if (item === 'mean') {
        const n = items.slice(p, p + 32).map(Number); p += 32;
        terms.push({ kind: 'mean', m: n.slice(0, 31), c: n[31] });
      } else if (item === 'MEAN') {
        const n = items.slice(p, p + 36).map(Number); p += 36;
        terms.push({ kind: 'MEAN', m: n.slice(0, 31), g: n[31], c: n[32], t: n.slice(33) });
      } else if (item.startsWith('#')) {
        const n = items.slice(p, p + 36).map(Number); p += 36;
        terms.push({ kind: '#', m: n.slice(0, 31), phase: n[31], a: n.slice(32) });
      }
      if (p >= items.length) throw new Error('series file ends early');
    }
    return terms;
  };
  const longitude = section((it) => it === 'latitude'); p++;
  const latitude = section((it) => it.startsWith('dist'));
  const header = items[p++];
  const divisor = Number(items[p++]);
  const distance = section((it) => it === 'ascending-node' || it === 'end');
  const nodeBlocks = [];
  while (items[p] !== 'end') {
    p++;
    const node = items.slice(p, p + 7).map(Number); p += 8;
    const inclination = items.slice(p, p + 7).map(Number); p += 7;
    nodeBlocks.push({ node, inclination });
  }
  return { longitude, latitude, distance, header, divisor, nodeBlocks };
}

function sumSection(terms, v, T, angle) {
  let s = 0;
  const scale = angle ? 3600 : 1;
  for (const term of terms) {
    let x = 0;
    for (let i = 0; i < 31; i++) if (term.m[i] !== 0) x += term.m[i] * v[i + 3];
    if (term.kind === 'mean') s += scale * x + term.c;
    else if (term.kind === 'MEAN') s += scale * x + scale * term.g + term.c + T * term.t[0] + T * T * term.t[1] + T * T * T * term.t[2];
    else {
      const [a0, a1, a2, a3] = term.a;
      s += (a0 + a1 * T + a2 * T * T + a3 * T * T * T) * Math.cos(md360(x + term.phase) / degreesPerRadian);
    }
  }
  return s;
}

// The series position at T in the J2000 ecliptic, as a rectangular vector.
export function evaluateSeries(parsed, T) {
  const v = argumentVector(T);
  const lon = md360(sumSection(parsed.longitude, v, T, true) / 3600) / degreesPerRadian;
  const lat = sumSection(parsed.latitude, v, T, true) / 3600 / degreesPerRadian;
  let r = sumSection(parsed.distance, v, T, false) / parsed.divisor;
  if (parsed.header === 'dist-exp') r = 10 ** r;
  let w = [r * Math.cos(lat) * Math.cos(lon), r * Math.cos(lat) * Math.sin(lon), r * Math.sin(lat)];
  for (const { node, inclination } of parsed.nodeBlocks) {
    let N = 0; let I = 0; let p = 1;
    for (let k = 0; k < 7; k++) { N += node[k] * p; I += inclination[k] * p; p *= T; }
    N /= arcsecPerRadian; I /= arcsecPerRadian;
    const u = [w[0], Math.cos(I) * w[1] - Math.sin(I) * w[2], Math.sin(I) * w[1] + Math.cos(I) * w[2]];
    w = [Math.cos(N) * u[0] - Math.sin(N) * u[1], Math.sin(N) * u[0] + Math.cos(N) * u[1], u[2]];
  }
  return w;
}

export function sumNutation(parsed, T) {
  const v = argumentVector(T, 1);
  return { dpsiArcsec: sumSection(parsed.longitude, v, T, true), depsArcsec: sumSection(parsed.latitude, v, T, true) };
}

export function sphericalOf([x, y, z]) {
  const r = Math.hypot(x, y, z);
  return { lon: Math.atan2(y, x), lat: Math.atan2(z, Math.hypot(x, y)), r };
}

export function rectangularOf(lon, lat, r) {
  return [r * Math.cos(lat) * Math.cos(lon), r * Math.cos(lat) * Math.sin(lon), r * Math.sin(lat)];
}
