// "prmprc.txt", "prmmean2.plt" and "nutation.txt".
import { plain } from './format.mjs';
import { delaunayArguments, planetaryOffsetMas, lunisolarTerms } from '../sources/iau2000b.mjs';

// IAU 2006 precession, Fukushima-Williams angles (Hilton et al. 2006, Celest. Mech. Dyn. Astron.
// 94, 351; IERS Conventions 2010, eq. 5.40), arc seconds, T^0..T^5, frame bias in the constant
// terms. The program's chain R3(-a2) R1(a1) R3(a0) with a3 the mean obliquity is exactly
// R1(-epsA) R3(-psiBar) R1(phiBar) R3(gammaBar) less its last turn, so the angles go in as they
// are. Published numbers, not subject to copyright.
const precessionAngles = [
  ['gamma-bar (IAU 2006 Fukushima-Williams; frame bias included) arcsec T^0..T^6',
    [-0.052928, 10.556378, 0.4932044, -0.00031238, -0.000002788, 0.0000000260, 0]],
  ['phi-bar (IAU 2006 Fukushima-Williams; frame bias included) arcsec T^0..T^6',
    [84381.412819, -46.811016, 0.0511268, 0.00053289, -0.000000440, -0.0000000176, 0]],
  ['psi-bar (IAU 2006 Fukushima-Williams; frame bias included) arcsec T^0..T^6',
    [-0.041775, 5038.481484, 1.5584175, -0.00018522, -0.000026452, -0.0000000148, 0]],
  ['epsilon-A mean obliquity of the ecliptic (IAU 2006) arcsec T^0..T^6',
    [84381.406, -46.836769, -0.0001831, 0.00200340, -0.000000576, -0.0000000434, 0]],
];

export function precessionLines() {
  const lines = [];
  for (const [header, coefficients] of precessionAngles) {
    lines.push(header);
    lines.push(coefficients.map(plain).join(' '));
  }
  return lines;
}

// The argument slots v(3)..v(33) that a term's 31 multipliers act on. v(3) = 100 T is never
// reduced; v(4 + 3 block + row) are the mean-element rows below, reduced mod 360 degrees.
export const slot = {
  years: 3,
  l: 4, lPrime: 5, F: 6, // block 0
  D: 7, Om: 8, // block 1
  tSquared: 10, tSquaredTPlusOneSquared: 11, tFourth: 12, // block 2
};

// Mean elements, ten blocks of four rows of seven numbers: power 0 in degrees, powers 1..6 in
// arc seconds per century to that power; rows 0-2 are arguments, row 3 is never used.
//  0: the Delaunay arguments l, l', F of IAU 2000B (linear, as the nutation series wants them)
//  1: D and Om likewise; row 2 empty
//  2: the polynomial rows T^2, T^2 (T+1)^2 and T^4, a thousandth of an arc second per unit.
//     They never go negative, so with the constant terms left out they do not wrap while they
//     stay below 360 degrees (|T| < 189, the T^4 and T^2 (T+1)^2 rows first), and a term may give
//     them any real multiplier: with v(3) they write a phase polynomial up to T^4 exactly
//     (T^3 = (T^2 (T+1)^2 - T^4 - T^2) / 2). At one arc second per unit they would wrap at
//     |T| = 33, and a fraction of that turn would move the Moon by a degree.
//  3-9: empty, for later series.
export const polynomialRowUnit = 0.001; // arc seconds

export function meanElementBlocks() {
  const linear = ([arcsec, rate]) => [arcsec / 3600, rate, 0, 0, 0, 0, 0];
  const zero = [0, 0, 0, 0, 0, 0, 0];
  const a = delaunayArguments;
  const blocks = [
    ['Delaunay l lprime F (IAU 2000B)', [linear(a.l), linear(a.lPrime), linear(a.F), zero]],
    ['Delaunay D Om (IAU 2000B)', [linear(a.D), linear(a.Om), zero, zero]],
    ['polynomial rows T^2 T^2(T+1)^2 T^4 (0.001 arcsec)',
      [[0, 0, 1, 0, 0, 0, 0], [0, 0, 1, 2, 1, 0, 0], [0, 0, 0, 0, 1, 0, 0], zero]
        .map((row) => row.map((x) => x * polynomialRowUnit))],
  ];
  while (blocks.length < 10) blocks.push([`spare block ${blocks.length}`, [zero, zero, zero, zero]]);
  return blocks;
}

export function meanElementLines() {
  const lines = [];
  for (const [label, rows] of meanElementBlocks()) {
    lines.push(label);
    for (const row of rows) lines.push(row.map(plain).join(' '));
  }
  return lines;
}

// A "#" term line: 31 multipliers (a map slot -> value), phase in degrees, A0..A3.
export function termLine(multipliers, phase, amplitudes) {
  const m = new Array(31).fill(0);
  for (const [s, value] of Object.entries(multipliers)) m[Number(s) - 3] = value;
  return ['#', ...[...m, phase, ...amplitudes].map(plain)].join(',');
}

function constantLine(arcsec) {
  return ['mean', ...[...new Array(31).fill(0), arcsec].map(plain)].join(',');
}

// IAU 2000B: every sine becomes a cosine with phase -90 degrees; 0.1 uas -> arcsec.
export function nutationLines() {
  const toArcsec = (x) => x / 1e7;
  const longitude = [];
  const obliquity = [];
  for (const [nl, nlp, nf, nd, nom, ps, pst, pc, ec, ect, es] of lunisolarTerms) {
    const m = {};
    const put = (s, k) => { if (k !== 0) m[s] = k; };
    put(slot.l, nl); put(slot.lPrime, nlp); put(slot.F, nf); put(slot.D, nd); put(slot.Om, nom);
    if (ps !== 0 || pst !== 0) longitude.push(termLine(m, -90, [toArcsec(ps), toArcsec(pst), 0, 0]));
    if (pc !== 0) longitude.push(termLine(m, 0, [toArcsec(pc), 0, 0, 0]));
    if (ec !== 0 || ect !== 0) obliquity.push(termLine(m, 0, [toArcsec(ec), toArcsec(ect), 0, 0]));
    if (es !== 0) obliquity.push(termLine(m, -90, [toArcsec(es), 0, 0, 0]));
  }
  longitude.push(constantLine(planetaryOffsetMas.dpsi / 1000));
  obliquity.push(constantLine(planetaryOffsetMas.deps / 1000));
  return {
    lines: [
      'IAU 2000B nutation (McCarthy and Luzum 2003) from ERFA nut00b.c (BSD licence) - dpsi then deps in arcsec',
      ...longitude, 'latitude', ...obliquity, 'end',
    ],
    counts: { longitude: longitude.length, obliquity: obliquity.length },
  };
}
