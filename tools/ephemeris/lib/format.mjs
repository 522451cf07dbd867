// Number and line formatting shared by every generated file.
import { writeFileSync, mkdirSync } from 'node:fs';
import { dirname } from 'node:path';

// The program's own pi and degree conversion: phases and amplitudes are written so that the
// program, which turns degrees into radians with these, gets the theory's radians back.
export const programPi = 3.1415926535898;
export const degreesPerRadian = 180 / programPi;
export const arcsecPerRadian = 3600 * degreesPerRadian;

// A double as a plain decimal (never an exponent) with the shortest digits that read back to the
// same double, 17 significant digits at most.
export function plain(x) {
  if (!Number.isFinite(x)) throw new Error(`not a finite number: ${x}`);
  if (x === 0) return '0';
  const s = String(x);
  const m = s.match(/^(-?)(\d)(?:\.(\d+))?e([+-]\d+)$/);
  if (!m) return s;
  const sign = m[1];
  const digits = m[2] + (m[3] ?? '');
  const point = Number(m[4]) + 1;
  if (point <= 0) return `${sign}0.${'0'.repeat(-point)}${digits}`;
  if (point >= digits.length) return sign + digits + '0'.repeat(point - digits.length);
  return `${sign}${digits.slice(0, point)}.${digits.slice(point)}`;
}

// Writes lines with CR LF ends, the last line ended too.
export function writeCrlf(path, lines) {
  mkdirSync(dirname(path), { recursive: true });
  writeFileSync(path, lines.map((l) => l + '\r\n').join(''), 'latin1');
}

export function writeLf(path, lines) {
  mkdirSync(dirname(path), { recursive: true });
  writeFileSync(path, lines.map((l) => l + '\n').join(''), 'utf8');
}

// Day numbers count days from 2000 January 0.0; J2000.0 (JD 2451545.0) is day 1.5.
export const jdOfDayNumberZero = 2451543.5;
export const centuriesOf = (d) => (d - 1.5) / 36525;

// Day number of a Gregorian date at 0h (month 1..12).
export function dayNumberOf(year, month, day) {
  const a = Math.floor((14 - month) / 12);
  const y = year + 4800 - a;
  const m = month + 12 * a - 3;
  const jdn = day + Math.floor((153 * m + 2) / 5) + 365 * y + Math.floor(y / 4) -
    Math.floor(y / 100) + Math.floor(y / 400) - 32045;
  return jdn - 0.5 - jdOfDayNumberZero;
}

// A repeatable stream of numbers in [0, 1), so that random check dates are the same every run.
export function seededRandom(seed) {
  let s = seed >>> 0;
  return () => {
    s = (Math.imul(s, 1664525) + 1013904223) >>> 0;
    return s / 4294967296;
  };
}
