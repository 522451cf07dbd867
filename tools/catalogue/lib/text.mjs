// Fixed-column ASCII text with CR LF line ends: what nivora's readers count in bytes.

// Cyrillic letters by their usual Latin spelling (after the accents are gone).
const cyrillic = {
  а: 'a', б: 'b', в: 'v', г: 'g', д: 'd', е: 'e', ж: 'zh', з: 'z', и: 'i', к: 'k', л: 'l', м: 'm',
  н: 'n', о: 'o', п: 'p', р: 'r', с: 's', т: 't', у: 'u', ф: 'f', х: 'kh', ц: 'ts', ч: 'ch',
  ш: 'sh', щ: 'shch', ъ: '', ы: 'y', ь: '', э: 'e', ю: 'yu', я: 'ya', і: 'i', є: 'ye', ґ: 'g',
  ј: 'j', љ: 'lj', њ: 'nj', џ: 'dzh', ѕ: 'dz', ө: 'o', ү: 'u',
};

function latinOfCyrillic(letter) {
  const lower = letter.toLowerCase();
  const latin = cyrillic[lower] ?? '?';
  return letter === lower ? latin : latin.charAt(0).toUpperCase() + latin.slice(1);
}

// Latin letters without their accents; anything else that is not ASCII becomes "?".
export function ascii(text) {
  return String(text)
    .normalize('NFD')
    .replace(/[\u0300-\u036f]/g, '')
    .replace(/[\u0400-\u04ff]/g, latinOfCyrillic)
    .replace(/\u018f/g, 'A').replace(/\u0259/g, 'a')
    .replace(/\u0126/g, 'H').replace(/\u0127/g, 'h')
    .replace(/[\u2018\u2019\u02bb\u02bc\u02b9\u02be\u02bf\u00b4\u2032]/g, "'")
    .replace(/[\u201c\u201d]/g, '"')
    .replace(/[\u2010-\u2015]/g, '-')
    .replace(/\u00df/g, 'ss')
    .replace(/[\u00c6]/g, 'AE').replace(/[\u00e6]/g, 'ae')
    .replace(/[\u00d8]/g, 'O').replace(/[\u00f8]/g, 'o')
    .replace(/[\u0141]/g, 'L').replace(/[\u0142]/g, 'l')
    .replace(/[\u0110]/g, 'D').replace(/[\u0111]/g, 'd')
    .replace(/[\u0131]/g, 'i')
    .replace(/[\u00f0]/g, 'd').replace(/[\u00d0]/g, 'D')
    .replace(/[\u00fe]/g, 'th').replace(/[\u00de]/g, 'Th')
    .replace(/[\u0153]/g, 'oe').replace(/[\u0152]/g, 'OE')
    .replace(/[^\x20-\x7e]/g, '?');
}

// A line built from [column, text] pairs (columns from 1); blanks fill the gaps.
// Throws when two texts overlap, so a value too wide for its field never shifts the columns.
export function columns(...parts) {
  let line = '';
  for (const [column, text] of parts) {
    if (text === undefined || text === null || text === '') continue;
    if (line.length > column - 1) throw new Error(`overlap at column ${column}: "${line}" + "${text}"`);
    line = line.padEnd(column - 1, ' ') + text;
  }
  return line;
}

// A number right-aligned in a field of the given width, or an error when it does not fit.
export function fixed(value, width, decimals) {
  const text = value.toFixed(decimals);
  if (text.length > width) throw new Error(`${text} does not fit in ${width} columns`);
  return text.padStart(width, ' ');
}

// The file's text: every line checked for ASCII, joined and ended with CR LF.
export function fileText(lines) {
  for (const line of lines) {
    if (/[^\x20-\x7e]/.test(line)) throw new Error(`not ASCII: ${line}`);
    if (line === '') throw new Error('empty line');
  }
  return lines.map((line) => line + '\r\n').join('');
}

// Sorting by a text key, independent of the locale.
export function byText(a, b) {
  return a < b ? -1 : a > b ? 1 : 0;
}
