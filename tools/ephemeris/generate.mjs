// Regenerates nivora's ephemeris data files in data/ and the reference tables of their accuracy
// tests in astro/tests/reference/. Run: npm install && node generate.mjs (from this folder).
// Every output is a pure function of the pinned sources, so a run reproduces them byte for byte.
import { fileURLToPath } from 'node:url';
import { dirname, join } from 'node:path';
import { writeCrlf, writeLf, plain } from './lib/format.mjs';
import { buildDeltaT, deltaTLines } from './lib/deltat.mjs';
import { precessionLines, meanElementLines, nutationLines } from './lib/orientation.mjs';
import { buildSun, buildPlanet, buildMoon, summary, completeMoonFromPackage } from './lib/bodies.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const dataDir = join(root, 'data');
const referenceDir = join(root, 'astro', 'tests', 'reference');
const degrees = (x) => (x * 180) / Math.PI;

const deltaT = buildDeltaT();
writeCrlf(join(dataDir, 'ET-UTC.txt'), deltaTLines(deltaT));
writeLf(join(referenceDir, 'deltat-observed.txt'), [
  '# Observed Delta-T the table was built from: universal-time day number, seconds',
  ...deltaT.observed.map(([d, v]) => `${plain(d)} ${plain(v)}`),
]);
console.log(`ET-UTC.txt: ${deltaT.rows.length} rows, ${deltaT.observed.length} observed values`);

writeCrlf(join(dataDir, 'prmprc.txt'), precessionLines());
writeCrlf(join(dataDir, 'prmmean2.plt'), meanElementLines());
const nutation = nutationLines();
writeCrlf(join(dataDir, 'nutation.txt'), nutation.lines);
console.log(`nutation.txt: ${nutation.counts.longitude} + ${nutation.counts.obliquity} terms`);

// Reference rows: the worst dates of the dense check and evenly spread dates, from the complete
// theory. Columns: day number (TT), lon, lat (degrees), distance; planets add the geocentric three.
function writeReference(body, everyYears, fromYear, toYear, completeAt) {
  const picked = new Set();
  const lists = [body.errors, ...(body.geoErrors ? [body.geoErrors] : [])];
  for (const list of lists) {
    for (const key of ['lon', 'lat', 'r']) {
      const sorted = [...list].sort((a, b) => Math.abs(b[key]) - Math.abs(a[key]));
      for (const e of sorted.slice(0, 3)) picked.add(e.d);
    }
  }
  const index = new Map(body.days.map((d, i) => [d, i]));
  const even = [];
  for (let y = fromYear; y <= toYear; y += everyYears) {
    const d = body.days.reduce((best, x) => (Math.abs(x - (y - 2000) * 365.25) < Math.abs(best - (y - 2000) * 365.25) ? x : best));
    even.push(d);
  }
  for (const d of even) picked.add(d);
  const days = [...picked].sort((a, b) => a - b);
  const rows = completeAt(days, days.map((d) => index.get(d)));
  const header = body.geoErrors
    ? '# day number (TT), heliocentric lon lat (deg) dist (AU), geocentric lon lat (deg) dist (AU)'
    : `# day number (TT), lon lat (deg), dist (${body.name === 'prmmon2.plt' ? 'km' : 'AU'})`;
  writeLf(join(referenceDir, body.name.replace('.plt', '.txt')), [
    `# ${body.name}: the complete theory at the file's worst and evenly spread dates`,
    header,
    ...rows.map((r) => r.map(plain).join(' ')),
  ]);
}

const report = [];
const sun = buildSun();
writeCrlf(join(dataDir, sun.name), sun.lines);
writeReference(sun, 10, 1800, 2200, (days, idx) => days.map((d, k) => {
  const c = sun.complete[idx[k]];
  return [d, degrees(c.lon), degrees(c.lat), c.r];
}));
report.push(summary(sun));
console.log(report.at(-1));

for (const name of ['mercury', 'venus', 'mars', 'jupiter', 'saturn', 'uranus', 'neptune']) {
  const planet = buildPlanet(name, sun);
  writeCrlf(join(dataDir, planet.name), planet.lines);
  writeReference(planet, 10, 1800, 2200, (days, idx) => days.map((d, k) => {
    const c = planet.complete[idx[k]];
    const g = planet.geoComplete[idx[k]];
    return [d, degrees(c.lon), degrees(c.lat), c.r, degrees(g.lon), degrees(g.lat), g.r];
  }));
  report.push(summary(planet));
  console.log(report.at(-1));
}

const moon = buildMoon();
writeCrlf(join(dataDir, moon.name), moon.lines);
writeReference(moon, 5, 1900, 2100, (days) => completeMoonFromPackage(days).map((c, k) => [days[k], degrees(c.lon), degrees(c.lat), c.r]));
report.push(summary(moon));
console.log(report.at(-1));

