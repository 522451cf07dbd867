// The Sun, Moon and planet files from VSOP87B and ELP/MPP02, each cut to the fewest terms that
// keep a dense set of dates within target of the complete theory.
import { Planet } from 'astronomia/planetposition';
import { Moon } from 'astronomia/elp';
import { slot, polynomialRowUnit } from './orientation.mjs';
import { plain as plainNumber, arcsecPerRadian, centuriesOf, dayNumberOf, jdOfDayNumberZero, seededRandom } from './format.mjs';
import {
  Term, mergeEqualPhases, chooseTerms, wrapDegrees, seriesLines, parseSeries, evaluateSeries,
  sphericalOf, rectangularOf,
} from './series.mjs';

const vsop = {};
for (const name of ['mercury', 'venus', 'earth', 'mars', 'jupiter', 'saturn', 'uranus', 'neptune']) {
  vsop[name] = (await import(`astronomia/data/vsop87B${name}`)).default;
}
const elpData = (await import('astronomia/data/elpMppDeFull')).default;

const toDegrees = 180 / Math.PI;

// Check dates: every 10 days over the range and random ones between, the same at every run.
export function checkDates(fromYear, toYear, seed) {
  const d0 = dayNumberOf(fromYear, 1, 1);
  const d1 = dayNumberOf(toYear, 1, 1);
  const days = [];
  for (let d = d0; d <= d1; d += 10) days.push(d);
  const random = seededRandom(seed);
  for (let i = 0; i < 2000; i++) days.push(d0 + random() * (d1 - d0));
  return days;
}

// ---- VSOP87B -----------------------------------------------------------------------------
// A cos(B + C t), t in millennia, in the series of t^alpha: phase B + (C / 10) T, amplitude
// A / 10^alpha in the slot of T^alpha, arc seconds for L and B. alpha 4 and 5 have no slot.
function vsopTerms(series, toUnit) {
  const terms = [];
  for (const [alpha, rows] of Object.entries(series)) {
    if (Number(alpha) > 3) continue;
    for (const [A, B, C] of rows) {
      const amplitudes = [0, 0, 0, 0];
      amplitudes[alpha] = (A * toUnit) / 10 ** Number(alpha);
      terms.push(new Term(amplitudes, [B, C / 10, 0, 0, 0]));
    }
  }
  return mergeEqualPhases(terms);
}

function completeVsop(name, days) {
  const planet = new Planet(vsop[name]);
  return days.map((d) => {
    const p = planet.position2000(d + jdOfDayNumberZero);
    return { lon: p.lon, lat: p.lat, r: p.range };
  });
}

const arcsecDiff = (a, b) => wrapDegrees((a - b) * toDegrees) * 3600;

// Chooses the terms of one coordinate. `complete` holds the value to reach (radians or AU),
// `offset` what the file adds besides the terms (in the file's unit), and `unit` turns a sum in
// the file's unit into radians (or AU).
function chooseCoordinate(terms, Ts, maxT, complete, offset, unit, wrap, target) {
  const err = wrap
    ? (s, i) => arcsecDiff((s + offset) * unit, complete[i])
    : (s, i) => ((s + offset) * unit - complete[i]) / target.scale;
  return chooseTerms(terms, Ts, maxT, err, target.value);
}

function coordinateErrors(days, file, complete) {
  const parsed = parseSeries(file.join('\r\n') + '\r\n');
  return days.map((d, i) => {
    const w = evaluateSeries(parsed, centuriesOf(d));
    const s = sphericalOf(w);
    const c = complete[i];
    return { d, w, lon: arcsecDiff(s.lon, c.lon), lat: (s.lat - c.lat) * arcsecPerRadian, r: s.r - c.r };
  });
}

function worstOf(errors, key) {
  return errors.reduce((w, e) => (Math.abs(e[key]) > Math.abs(w[key]) ? e : w));
}

const titleVsop = (what) => `${what} - VSOP87B (Bretagnon and Francou 1988) from astronomia 4.3.0 (MIT) - J2000 ecliptic`;

// The geocentric geometric Sun: the Earth's series turned about.
export function buildSun() {
  const days = checkDates(1800, 2200, 1);
  const Ts = days.map(centuriesOf);
  const complete = completeVsop('earth', days).map((e) => ({ lon: e.lon + Math.PI, lat: -e.lat, r: e.r }));
  const earth = vsop.earth;
  const maxT = 2;
  const L = chooseCoordinate(vsopTerms(earth.L, arcsecPerRadian), Ts, maxT, complete.map((c) => c.lon), 648000, 1 / arcsecPerRadian, true, { value: 0.02 });
  const B = chooseCoordinate(vsopTerms(earth.B, -arcsecPerRadian), Ts, maxT, complete.map((c) => c.lat), 0, 1 / arcsecPerRadian, false, { value: 0.02, scale: 1 / arcsecPerRadian });
  const R = chooseCoordinate(vsopTerms(earth.R, 1), Ts, maxT, complete.map((c) => c.r), 0, 1, false, { value: 10, scale: 1 / 149597870.7 });
  const lines = seriesLines({
    title: titleVsop('Sun geocentric geometric from the Earth; arcsec and AU'),
    extraLongitude: [['mean', ...new Array(31).fill('0'), '648000'].join(',')],
    longitude: L.chosen, latitude: B.chosen, distance: R.chosen,
  });
  const errors = coordinateErrors(days, lines, complete);
  return { name: 'prmsun2.plt', lines, days, complete, errors, counts: [L.chosen.length, B.chosen.length, R.chosen.length] };
}

// A planet, heliocentric. Its helio targets shrink until the geocentric check passes too.
export function buildPlanet(name, sun) {
  const days = sun.days;
  const Ts = days.map(centuriesOf);
  const complete = completeVsop(name, days);
  const earth = completeVsop('earth', days);
  const series = vsop[name];
  const maxT = 2;
  const au = 149597870.7;
  for (let target = 0.3; ; target *= 0.8) {
    const L = chooseCoordinate(vsopTerms(series.L, arcsecPerRadian), Ts, maxT, complete.map((c) => c.lon), 0, 1 / arcsecPerRadian, true, { value: target });
    const B = chooseCoordinate(vsopTerms(series.B, arcsecPerRadian), Ts, maxT, complete.map((c) => c.lat), 0, 1 / arcsecPerRadian, false, { value: target, scale: 1 / arcsecPerRadian });
    const rMean = complete.reduce((s, c) => s + c.r, 0) / complete.length;
    const R = chooseCoordinate(vsopTerms(series.R, 1), Ts, maxT, complete.map((c) => c.r), 0, 1, false, { value: target, scale: rMean / arcsecPerRadian });
    const lines = seriesLines({
      title: titleVsop(`${name[0].toUpperCase()}${name.slice(1)} heliocentric; arcsec and AU`),
      longitude: L.chosen, latitude: B.chosen, distance: R.chosen,
    });
    const errors = coordinateErrors(days, lines, complete);
    // Geocentric: the file plus the shipped Sun against the complete planet minus the complete Earth.
    const geoComplete = days.map((d, i) => {
      const p = rectangularOf(complete[i].lon, complete[i].lat, complete[i].r);
      const e = rectangularOf(earth[i].lon, earth[i].lat, earth[i].r);
      return sphericalOf([p[0] - e[0], p[1] - e[1], p[2] - e[2]]);
    });
    const geoErrors = days.map((d, i) => {
      const w = errors[i].w;
      const s = sun.errors[i].w;
      const g = sphericalOf([w[0] + s[0], w[1] + s[1], w[2] + s[2]]);
      const c = geoComplete[i];
      return { d, lon: arcsecDiff(g.lon, c.lon), lat: (g.lat - c.lat) * arcsecPerRadian, r: g.r - c.r };
    });
    const worstGeo = Math.max(Math.abs(worstOf(geoErrors, 'lon').lon), Math.abs(worstOf(geoErrors, 'lat').lat));
    if (worstGeo <= 0.5) {
      return { name: `${name}.plt`, lines, days, complete, errors, geoComplete, geoErrors, counts: [L.chosen.length, B.chosen.length, R.chosen.length], target };
    }
  }
}

// ---- ELP/MPP02 ---------------------------------------------------------------------------
// Terms A sin(phase polynomial) T^alpha, arc seconds (L, B) or km (R); the mean longitude W1 is
// one "MEAN" term. The theory's positions are on the ecliptic of date from the J2000 equinox;
// Laskar's P, Q (as ELP/MPP02 gives them) turn them to the J2000 ecliptic, which the file does
// with two node blocks: Rz(a) Rx(b) Rz(-a), a = atan2(P, Q), b = 2 asin(sqrt(P^2 + Q^2)).
const laskarP = [0, 0.10180391e-4, 0.47020439e-6, -0.5417367e-9, -0.2507948e-11, 0.463486e-14];
const laskarQ = [0, -0.113469002e-3, 0.12372674e-6, 0.1265417e-8, -0.1371808e-11, -0.320334e-14];

function elpTerms(series) {
  const terms = [];
  for (const [alpha, rows] of Object.entries(series)) {
    for (const [A, c0, c1, c2, c3, c4] of rows) {
      const amplitudes = [0, 0, 0, 0];
      amplitudes[alpha] = A;
      terms.push(new Term(amplitudes, [c0 - Math.PI / 2, c1, c2, c3, c4]));
    }
  }
  return mergeEqualPhases(terms);
}

// Node angle a and signed inclination b (radians) at T, both smooth through T = 0.
function eclipticTurn(T) {
  // P = T p(T) and Q = T q(T)
  let p = 0; let q = 0;
  for (let k = laskarP.length - 1; k >= 1; k--) { p = p * T + laskarP[k]; q = q * T + laskarQ[k]; }
  return { a: Math.atan2(p, q), b: 2 * Math.asin(T * Math.hypot(p, q)) };
}

// Least-squares polynomial of degree 6 in T over [-span, span], through Chebyshev nodes.
function fitPolynomial(f, span) {
  const n = 7;
  const samples = 200;
  const A = Array.from({ length: n }, () => new Float64Array(n));
  const y = new Float64Array(n);
  for (let s = 0; s < samples; s++) {
    const x = Math.cos((Math.PI * (s + 0.5)) / samples);
    const fx = f(x * span);
    for (let i = 0; i < n; i++) {
      y[i] += fx * x ** i;
      for (let j = 0; j < n; j++) A[i][j] += x ** (i + j);
    }
  }
  for (let i = 0; i < n; i++) {
    for (let k = i + 1; k < n; k++) {
      const r = A[k][i] / A[i][i];
      for (let j = i; j < n; j++) A[k][j] -= r * A[i][j];
      y[k] -= r * y[i];
    }
  }
  const c = new Array(n).fill(0);
  for (let i = n - 1; i >= 0; i--) {
    let s = y[i];
    for (let j = i + 1; j < n; j++) s -= A[i][j] * c[j];
    c[i] = s / A[i][i];
  }
  return c.map((ci, k) => ci / span ** k);
}

// The complete theory the fast way (all terms, W1, then Laskar's turn as ELP/MPP02 gives it);
// checked against astronomia's own evaluation at the reference dates.
function completeElp(T, series) {
  let L = 0;
  for (const t of series.L) L += t.valueAt(T);
  let B = 0;
  for (const t of series.B) B += t.valueAt(T);
  let R = 0;
  for (const t of series.R) R += t.valueAt(T);
  const W1 = elpData.W1;
  const lon = W1[0] + T * (W1[1] + T * (W1[2] + T * (W1[3] + T * W1[4]))) + L / arcsecPerRadian;
  const lat = B / arcsecPerRadian;
  const [x, y, z] = rectangularOf(lon, lat, R);
  let P = 0; let Q = 0;
  for (let k = laskarP.length - 1; k >= 0; k--) { P = P * T + laskarP[k]; Q = Q * T + laskarQ[k]; }
  const sq = Math.sqrt(1 - P * P - Q * Q);
  const j2000 = [
    (1 - 2 * P * P) * x + 2 * P * Q * y + 2 * P * sq * z,
    2 * P * Q * x + (1 - 2 * Q * Q) * y - 2 * Q * sq * z,
    -2 * P * sq * x + 2 * Q * sq * y + (1 - 2 * P * P - 2 * Q * Q) * z,
  ];
  return { ofDate: { L: lon, B: lat, R }, j2000: sphericalOf(j2000) };
}

export function completeMoonFromPackage(days) {
  const moon = new Moon(elpData);
  return days.map((d) => sphericalOf(Object.values(moon.positionXYZ(d + jdOfDayNumberZero))));
}

export function buildMoon() {
  const days = checkDates(1900, 2100, 2);
  const Ts = days.map(centuriesOf);
  const series = { L: elpTerms(elpData.L), B: elpTerms(elpData.B), R: elpTerms(elpData.R) };
  const full = Ts.map((T) => completeElp(T, series));
  const ofDate = full.map((f) => f.ofDate);
  const complete = full.map((f) => f.j2000);
  const maxT = 1;
  const W1 = elpData.W1.map((c) => c * arcsecPerRadian);
  const w1At = (T) => W1[0] + T * (W1[1] + T * (W1[2] + T * (W1[3] + T * W1[4])));
  const lonErr = (s, i) => arcsecDiff((s + w1At(Ts[i])) / arcsecPerRadian, ofDate[i].L);
  const L = chooseTerms(series.L, Ts, maxT, lonErr, 0.8);
  const B = chooseTerms(series.B, Ts, maxT, (s, i) => s - ofDate[i].B * arcsecPerRadian, 0.8);
  const R = chooseTerms(series.R, Ts, maxT, (s, i) => s - ofDate[i].R, 1);
  const span = 10;
  const a = fitPolynomial((T) => eclipticTurn(T).a * arcsecPerRadian, span);
  const b = fitPolynomial((T) => eclipticTurn(T).b * arcsecPerRadian, span);
  const zero = new Array(7).fill(0);
  const meanLongitude = new Array(36).fill(0);
  meanLongitude[slot.tFourth - 3] = W1[4] / polynomialRowUnit; // T^4 on its polynomial row
  meanLongitude.splice(32, 4, W1[0], W1[1], W1[2], W1[3]);
  const lines = seriesLines({
    title: 'Moon geocentric geometric - ELP/MPP02 fitted to DE405 (Chapront and Francou 2003) from astronomia 4.3.0 (MIT) - J2000 ecliptic; arcsec and km',
    extraLongitude: [['MEAN', ...meanLongitude.map(plainNumber)].join(',')],
    longitude: L.chosen, latitude: B.chosen, distance: R.chosen,
    nodeBlocks: [
      { node: a.map((x) => -x), inclination: zero },
      { node: a, inclination: b },
    ],
  });
  const errors = coordinateErrors(days, lines, complete);
  return { name: 'prmmon2.plt', lines, days, complete, errors, counts: [L.chosen.length + 1, B.chosen.length, R.chosen.length] };
}

export function summary(body) {
  const w = (list, key) => Math.abs(worstOf(list, key)[key]);
  const s = { name: body.name, terms: body.counts, lon: w(body.errors, 'lon'), lat: w(body.errors, 'lat'), r: w(body.errors, 'r') };
  if (body.geoErrors) Object.assign(s, { geoLon: w(body.geoErrors, 'lon'), geoLat: w(body.geoErrors, 'lat') });
  return s;
}

export { worstOf };
