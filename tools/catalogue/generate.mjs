// Regenerates nivora's shipped catalogue files in data/ from pinned public sources.
// Run from this folder after `npm ci` (or `npm install`); needs Debian's stellarium-data.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import * as stars from './lib/stars.mjs';
import * as earth from './lib/earth.mjs';
import { tokyoSampleFile } from './lib/sample.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const dataDir = path.resolve(here, '../../data');
const stellariumStars = process.env.STELLARIUM_STARS ?? '/usr/share/stellarium/stars/default';

function write(name, text) {
  fs.writeFileSync(path.join(dataDir, name), text, 'latin1');
  console.log(`${name}: ${text.split('\r\n').length - 1} lines`);
}

fs.mkdirSync(dataDir, { recursive: true });

const all = stars.buildStars({ stellariumStars });
const bright = all.filter((s) => s.mag < stars.brightLimit);
const faint = all.filter((s) => s.mag >= stars.brightLimit);
write('ALLSTAR5.txt', stars.starListFile(bright, `Stars brighter than magnitude ${stars.brightLimit}.`));
write('ALLSTAR7.txt', stars.starListFile(faint,
  `Stars from magnitude ${stars.brightLimit} to brighter than ${stars.faintLimit}.`));
write('velka.txt', stars.constellationListFile(stars.constellations()));
const pairs = stars.figurePairs(all);
write('velkanet-stars.txt', stars.figureStarsFile(pairs));
write('velkanet-pairs.txt', stars.figurePairsFile(pairs));

const towns = earth.buildCities();
const nations = new Set(towns.bright.map((t) => t.nation));
write('nation.txt', earth.nationListFile(nations));
write('cities.txt', earth.cityListFile(towns.bright,
  `Cities brighter than magnitude ${earth.brightLimit} (about 400,000 inhabitants and more).`, true));
write('zentend.txt', earth.cityListFile(towns.faint,
  `Towns from magnitude ${earth.brightLimit} to brighter than ${earth.faintLimit} (10,000 to 400,000 inhabitants).`, false));
write('coast_bd.net', earth.coastLineFile(nations, { tolerance: 0.03, maxStep: 1 }).text);
write('tokyo10828.txt', tokyoSampleFile());
