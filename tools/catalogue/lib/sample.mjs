// "tokyo10828.txt": a user data file in the data-file form's first-run layout.
import * as Astronomy from 'astronomy-engine';
import { columns, fixed, fileText } from './text.mjs';

const place = { lon: 139.6917, lat: 35.6895, height: 40 };   // Tokyo, as GeoNames places it
const zoneHours = 9;
const bodies = ['Moon', 'Venus', 'Mars', 'Jupiter', 'Saturn'];
const start = { year: 2026, month: 8, day: 28, hour: 18 };   // local time of the first record
const steps = 72;                                            // every 10 minutes for 12 hours
const pad = (n) => String(n).padStart(2, '0');

export function tokyoSampleFile() {
  const observer = new Astronomy.Observer(place.lat, place.lon, place.height);
  const first = Date.UTC(start.year, start.month - 1, start.day, start.hour - zoneHours);
  const records = [];
  for (const body of bodies) {
    for (let i = 0; i < steps; ++i) {
      const utc = new Date(first + i * 600000);
      const local = new Date(utc.getTime() + zoneHours * 3600000);
      const time = Astronomy.MakeTime(utc);
      const sky = Astronomy.Equator(body, time, observer, true, true);
      const horizon = Astronomy.Horizon(time, observer, sky.ra, sky.dec);
      let azimuthFromNorthThroughWest = Math.round((360 - horizon.azimuth) * 100) / 100;
      if (azimuthFromNorthThroughWest >= 360) azimuthFromNorthThroughWest -= 360;
      const magnitude = Astronomy.Illumination(body, time).mag;
      const stamp = `${local.getUTCFullYear()}-${pad(local.getUTCMonth() + 1)}-${pad(local.getUTCDate())} ` +
        `${pad(local.getUTCHours())}:${pad(local.getUTCMinutes())}`;
      records.push(columns(
        [1, `${pad(local.getUTCHours())}h`], [12, fixed(azimuthFromNorthThroughWest, 7, 2)],
        [27, fixed(horizon.altitude, 6, 2)], [35, body.padEnd(7, ' ')], [43, stamp],
        [63, fixed(magnitude, 5, 1)]));
    }
  }
  return fileText([
    '# The Moon, Venus, Mars, Jupiter and Saturn seen from Tokyo (139.6917 E, 35.6895 N, 40 m) in the',
    '# night of 28 to 29 August 2026, every 10 minutes from 18:00 to 05:50 local time (UTC+9), each body',
    '# in a block of 72 lines. Topocentric apparent places without refraction, by astronomy-engine 2.1.19.',
    '# Columns: 1-3 hour (comment), 12-18 azimuth counted from north through west, 27-32 altitude',
    '# (degrees), 35-41 body, 43-58 local date and time, 63-67 visual magnitude.',
    '# "DRAW using Data File": tick "Draw by File"; File Name tokyo10828.txt, Coordinate Sys',
    '# "Zenithal(normal)", Longitude degree(Decimal) from 12th collumn 7 letters, Latitude',
    '# degree(Decimal) from 27th 6 letters (the first-run values); "Circle scaled by MAG" from 63rd',
    '# 5 letters; Commnet "Text" from 1st 3 letters at Interval of 6 marks (a label every hour);',
    '# skipped lines begin with "#"; The Ending (EOF). Tick "Refraction Correction" to lift the',
    '# tracks by refraction as the chart lifts the stars.',
    '# Comments for Search by Click: tick 1st., title "Body", from 35th 7 letters and 2nd., title',
    '# "Time", from 43rd 16 letters. Tick "Search in File by Click" to name the body and time of a',
    '# clicked mark; type 22:00 into "Keyword Search" and press the "Search" of row 2nd. to list',
    '# where every body stood at that time.',
    '# Main window: longitude 139.6917, latitude 35.6895, altitude 40 m, time zone 9 h 0 min,',
    '# 2026 August 28, 22:00.',
    ...records,
  ]);
}
