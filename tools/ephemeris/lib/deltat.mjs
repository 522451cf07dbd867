// "ET-UTC.txt": Delta-T as a step function of the universal-time day number.
//
// Observed values: astronomia's Delta-T tables (MIT), half-yearly from 1657.0 to 1972.5 (the
// historic series of the U.S. Naval Observatory) and monthly from 1973 February to 2023 May
// (USNO and IERS rapid service). Rows are placed where Delta-T has moved by 0.2 s, so every
// observed value lies within 0.1 s of the row that holds at its date. After the last observed
// value a cubic continues flat from it and meets the program's long-term parabola, with equal
// value and slope, at 2150 January 1; the last row holds the parabola's value there, so nothing
// jumps where the table ends.
import deltatData from 'astronomia/data/deltat';
import { dayNumberOf } from './format.mjs';

const capacity = 500;
export const tolerance = 0.1; // seconds
const joinYear = 2150;

// The program's Delta-T outside its table, seconds.
export const parabola = (d) => 32 * ((d + 65742) / 36524.25) ** 2 - 20;

function yearLength(y) {
  return (y % 4 === 0 && y % 100 !== 0) || y % 400 === 0 ? 366 : 365;
}

// Observed values as [day number, seconds], ascending.
export function observedValues() {
  const points = [];
  const { historic, data } = deltatData;
  const monthlyStart = dayNumberOf(data.firstYM[0], data.firstYM[1], 1);
  historic.table.forEach((value, i) => {
    const year = historic.first + 0.5 * i;
    const whole = Math.floor(year);
    const d = dayNumberOf(whole, 1, 1) + (year - whole) * yearLength(whole);
    if (d < monthlyStart) points.push([d, value]);
  });
  let [y, m] = data.firstYM;
  for (const value of data.table) {
    points.push([dayNumberOf(y, m, 1), value]);
    if (++m > 12) { m = 1; y++; }
  }
  if (y !== data.lastYM[0] || m - 1 !== (data.lastYM[1] % 12)) {
    throw new Error('monthly Delta-T table does not end where it says');
  }
  return points;
}

const fieldValue = (x) => Math.fround(Number(x.toFixed(3)));

// Greedy steps: a row opens where the values seen since the last row would spread wider than
// twice the tolerance; it changes midway between the last value of one row and the first of the
// next. Returns rows [day, seconds].
function stepRows(points, tolAt) {
  const widthAt = (d) => 2 * (typeof tolAt === 'function' ? tolAt(d) : tolAt);
  const rows = [];
  let lo = Infinity;
  let hi = -Infinity;
  let start = points[0][0];
  let lastDate = start;
  for (const [d, v] of points) {
    const nlo = Math.min(lo, v);
    const nhi = Math.max(hi, v);
    if (nhi - nlo > widthAt(start)) {
      rows.push([start, (lo + hi) / 2]);
      start = Math.round((lastDate + d) / 2);
      lo = hi = v;
    } else {
      lo = nlo;
      hi = nhi;
    }
    lastDate = d;
  }
  rows.push([start, (lo + hi) / 2]);
  return rows;
}

// Cubic from (d0, v0) with slope 0 to (d1, parabola) with the parabola's slope.
function continuation(d0, v0, d1) {
  const v1 = parabola(d1);
  const s1 = (parabola(d1 + 0.5) - parabola(d1 - 0.5)) * (d1 - d0);
  return (d) => {
    const x = (d - d0) / (d1 - d0);
    const h00 = 2 * x ** 3 - 3 * x ** 2 + 1;
    const h01 = -2 * x ** 3 + 3 * x ** 2;
    const h11 = x ** 3 - x ** 2;
    return h00 * v0 + h01 * v1 + h11 * s1;
  };
}

export function buildDeltaT() {
  const observed = observedValues();
  const observedRows = stepRows(observed, tolerance);
  // Rounding a row's value to the field's three decimals must keep every value in tolerance.
  for (const [d, v] of observed) {
    const row = observedRows.filter((r) => r[0] <= d).at(-1);
    if (Math.abs(fieldValue(row[1]) - v) > tolerance + 1e-6) throw new Error(`Delta-T off at ${d}`);
  }
  const [lastDay, lastValue] = observed.at(-1);
  const joinDay = dayNumberOf(joinYear, 1, 1);
  const curve = continuation(lastDay, lastValue, joinDay);
  const future = [];
  for (let d = lastDay + 30; d < joinDay; d += 30) future.push([d, curve(d)]);
  // A prediction grows less certain with time, so its steps may grow too: the tolerance rises
  // from 0.1 s by the smallest rate (s per year) that fits the table.
  for (let k = 1; ; k++) {
    const rate = 0.002 * k;
    const tolAt = (d) => tolerance + (rate * (d - lastDay)) / 365.25;
    const futureRows = stepRows(future, tolAt);
    const rows = [...observedRows, ...futureRows, [joinDay, parabola(joinDay)]];
    if (rows.length <= capacity) return { observed, rows, futureRate: rate, lastDay };
  }
}

function pad(s, width) {
  if (s.length > width) throw new Error(`field too wide: ${s}`);
  return ' '.repeat(width - s.length) + s;
}

export function deltaTLines({ rows, futureRate, observed }) {
  const lines = [
    '# Delta-T = TT - UT1 in seconds, from the universal-time day number in columns 1-7.',
    '# Observed values 1657-2023 (U.S. Naval Observatory historic and monthly series, IERS),',
    `# as tabulated by astronomia 4.3.0 (MIT); steps keep every observed value within 0.1 s.`,
    `# From ${new Date((observed.at(-1)[0] + 2451543.5 - 2440587.5) * 86400000).toISOString().slice(0, 7)} on: a flat start joining -20 + 32 t^2 (t in centuries from 1820) in 2150,`,
    `# its steps widening by ${(2 * futureRate).toFixed(3)} s a year. Generated by tools/ephemeris.`,
  ];
  for (const [d, v] of rows) {
    lines.push(`${pad(String(d), 7)} ${pad(v.toFixed(3), 7)}`);
  }
  lines.push('#-');
  return lines;
}
