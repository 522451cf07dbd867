// The star lists, the constellation list and the two inputs of the figure conversion.
import fs from 'node:fs';
import { createRequire } from 'node:module';
import * as Astronomy from 'astronomy-engine';
import { ascii, columns, fixed, fileText, byText } from './text.mjs';

const require = createRequire(import.meta.url);
const d3 = (name) => require(`d3-celestial/data/${name}`);

const greek = {
  α: 'Alpha', β: 'Beta', γ: 'Gamma', δ: 'Delta', ε: 'Epsilon', ζ: 'Zeta', η: 'Eta', θ: 'Theta',
  ι: 'Iota', κ: 'Kappa', λ: 'Lambda', μ: 'Mu', ν: 'Nu', ξ: 'Xi', ο: 'Omicron', π: 'Pi', ρ: 'Rho',
  σ: 'Sigma', τ: 'Tau', υ: 'Upsilon', φ: 'Phi', χ: 'Chi', ψ: 'Psi', ω: 'Omega',
};

export const brightLimit = 5.5;   // the bright list holds the stars brighter than this
export const faintLimit = 9.5;    // the faint list those from brightLimit to brighter than this

// Reads a tab-separated Hipparcos table of the stellarium-data package: HIP number -> fields.
function hipTable(file) {
  const table = new Map();
  for (const line of fs.readFileSync(file, 'latin1').split('\n')) {
    if (line.startsWith('#') || line.trim() === '') continue;
    const fields = line.split('\t');
    const hip = Number(fields[0]);
    if (!table.has(hip)) table.set(hip, fields);
  }
  return table;
}

function bayerText(bayer) {
  if (!bayer || bayer.includes('undefined')) return '';
  const letter = greek[bayer[0]];
  return letter ? letter + bayer.slice(1) : bayer;
}

// "HIP n" first, then the Bayer, Flamsteed and variable-star designations and the proper name.
function starName(hip, names) {
  const parts = [`HIP ${hip}`];
  if (names) {
    const bayer = bayerText(names.bayer);
    if (bayer) parts.push(`${bayer} ${names.c}`);
    if (names.flam) parts.push(`${names.flam} ${names.c}`);
    if (names.var && !names.var.includes('undefined')) parts.push(`${names.var} ${names.c}`);
    if (names.name) parts.push(names.name);
  }
  return ascii(parts.join(', '));
}

function pmText(value) {
  if (!Number.isFinite(value)) return '';
  const text = value.toFixed(1);
  return (text.length <= 6 ? text : value.toFixed(0)).padStart(6, ' ');
}

// The header that announces proper motion and titles the four short fields.
const starHeader = columns([1, '#number'], [12, 'RA(deg)'], [22, 'Dec(deg)'], [31, 'proper-motion'],
  [46, 'HR  '], [52, 'Fl  '], [58, 'B-V '], [64, 'Mag '], [69, 'Name']);

function starRecord(star) {
  return columns(
    [1, star.number], [9, fixed(star.ra, 10, 4)], [20, fixed(star.dec, 10, 4)],
    [31, pmText(star.pmRa)], [38, pmText(star.pmDec)],
    [45, star.hr ? String(star.hr).padStart(5, ' ') : ''],
    [51, star.flamsteed ? star.flamsteed.padStart(5, ' ') : ''],
    [57, Number.isFinite(star.bv) ? fixed(star.bv, 5, 2) : ''],
    [63, fixed(star.mag, 5, 2)], [69, star.name]);
}

export function buildStars({ stellariumStars }) {
  const names = d3('starnames.json');
  const pm = hipTable(`${stellariumStars}/hip_pm.dat`);
  const crossId = hipTable(`${stellariumStars}/cross-id.dat`);

  const stars = [];
  for (const feature of d3('stars.14.json').features) {
    const mag = Math.round(Number(feature.properties.mag) * 100) / 100;
    if (!(mag < faintLimit)) continue;
    const hip = Number(feature.id);
    const [lon, dec] = feature.geometry.coordinates;
    const ra = Math.round((lon < 0 ? lon + 360 : lon) * 10000) / 10000 % 360;
    const key = Astronomy.Constellation(ra / 15, dec).symbol;
    const motion = pm.get(hip);
    const hr = crossId.get(hip)?.[4]?.trim();
    const bv = feature.properties.bv === '' ? NaN : Number(feature.properties.bv);
    stars.push({
      hip, ra, dec, mag, key, bv,
      pmRa: motion ? Number(motion[1]) : NaN,
      pmDec: motion ? Number(motion[2]) : NaN,
      hr: hr ? Number(hr) : 0,
      flamsteed: names[hip]?.flam || '',
      name: starName(hip, names[hip]),
    });
  }
  // Numbers: the constellation's key and the star's rank in it by brightness, then HIP number.
  stars.sort((a, b) => byText(a.key, b.key) || a.mag - b.mag || a.hip - b.hip);
  const rank = new Map();
  for (const star of stars) {
    const n = (rank.get(star.key) ?? 0) + 1;
    if (n > 9999) throw new Error(`more than 9999 stars in ${star.key}`);
    rank.set(star.key, n);
    star.number = star.key + String(n).padStart(4, '0');
    star.record = starRecord(star);
  }
  return stars;
}

export function starListFile(stars, title) {
  return fileText([
    `# ${title}`,
    '# Positions: ICRS, epoch J2000.0, degrees. Proper motions in milliarcseconds a year, the one',
    '# in right ascension multiplied by cos(Dec). HR: Bright Star Catalogue number; Fl: Flamsteed.',
    '# Sources: Hipparcos catalogue (ESA 1997) as d3-celestial 0.7.35 and stellarium-data 0.22.2',
    '# give it; constellation of each position by astronomy-engine 2.1.19.',
    starHeader,
    ...stars.map((s) => s.record),
    '#-',
  ]);
}

export function constellations() {
  // Serpens comes in two parts under one key; its item names the whole, by its Latin name.
  const list = new Map();
  for (const f of d3('constellations.json').features) {
    if (list.has(f.id)) list.get(f.id).name = ascii(f.properties.la);
    else list.set(f.id, { key: f.id, name: ascii(f.properties.name) });
  }
  return [...list.values()];
}

const bodies = ['Sn Sun', 'Mn Moon', 'Mc Mercury', 'Vn Venus', 'Ms Mars', 'Jp Jupiter', 'St Saturn',
  'Ur Uranus', 'Np Neptune', 'An Antipodes of Sun'];

export function constellationListFile(list) {
  if (list.length !== 88) throw new Error(`${list.length} constellations`);
  return fileText([
    '# The 88 constellations (IAU key and name, from d3-celestial 0.7.35), then the bodies.',
    ...list.map((c) => `${c.key} ${c.name}`),
    '---------------',
    ...bodies,
    '#-',
  ]);
}

// The figures as star pairs: consecutive points of d3-celestial's figure lines, each point
// the star at exactly that position. Each segment once per constellation.
export function figurePairs(stars) {
  const byPosition = new Map();
  for (const feature of d3('stars.14.json').features) {
    const [lon, dec] = feature.geometry.coordinates;
    byPosition.set(`${lon.toFixed(4)},${dec.toFixed(4)}`, Number(feature.id));
  }
  const byHip = new Map(stars.map((s) => [s.hip, s]));
  const order = constellations().map((c) => c.key);
  const figures = d3('constellations.lines.json').features
    .map((f, i) => ({ f, i }))
    .sort((a, b) => order.indexOf(a.f.id) - order.indexOf(b.f.id) || a.i - b.i);
  const pairs = [];
  const seen = new Set();
  for (const { f } of figures) {
    for (const line of f.geometry.coordinates) {
      const points = line.map(([lon, dec]) => {
        const hip = byPosition.get(`${lon.toFixed(4)},${dec.toFixed(4)}`);
        const star = byHip.get(hip);
        if (!star) throw new Error(`${f.id}: no listed star at ${lon}, ${dec}`);
        return star;
      });
      for (let i = 1; i < points.length; ++i) {
        const [a, b] = [points[i - 1], points[i]];
        const id = `${f.id} ${[a.number, b.number].sort().join(' ')}`;
        if (a === b || seen.has(id)) continue;
        seen.add(id);
        pairs.push({ key: f.id, first: a, second: b });
      }
    }
  }
  return pairs;
}

export function figureStarsFile(pairs) {
  const stars = new Map();
  for (const p of pairs) for (const s of [p.first, p.second]) stars.set(s.number, s);
  const list = [...stars.values()].sort((a, b) => byText(a.number, b.number));
  return fileText([
    '# The stars of the constellation figures, as ALLSTAR5.txt and ALLSTAR7.txt list them:',
    '# the star-positions input of tarvex, which makes velkanet.net with velkanet-pairs.txt.',
    starHeader,
    ...list.map((s) => s.record),
    '#-',
  ]);
}

export function figurePairsFile(pairs) {
  return fileText([
    '# Constellation figures as pairs of star numbers (the star lists\' own numbers), after',
    '# d3-celestial 0.7.35. Label in columns 1-9 (its first three characters the constellation),',
    '# first star in 10-16, second in 18-24. Section A: the figures; section B: none.',
    ...pairs.map((p) => columns([1, p.key], [10, p.first.number], [18, p.second.number])),
    '#-',
    '#-',
  ]);
}
