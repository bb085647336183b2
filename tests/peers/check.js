#!/usr/bin/env node
// Reads a Cabrillo file and an ADIF file written by zevlog with independent readers
// (the npm modules pinned in package.json) and compares what they understood with
// what the log holds. Installs nothing: run `npm ci` in this folder first.
//
// usage: node check.js expect.json
// expect.json: {"cabrillo": {"file": path, "version": "3.0" (optional),
//                            "header": {KEY: value}, "qsos": [{field: value}]},
//               "adif": {"file": path, "qsos": [{FIELD: value}]}}
// Either part may be left out. Exit status 0 when both readers agree, 1 otherwise.
//
// A file starting "START-OF-LOG: 3.0" is also held to the Cabrillo 3.0 header and QSO
// rules below (tags, their allowed values, order), and ADIF records to the allowed
// values of the contest fields, beyond what the readers check.
'use strict';

const fs = require('fs');
const cabrillo = require('cabrillo');
const { ADIF } = require('tcadif');

const problems = [];

// Canadian provinces and territories (postal codes, also ADIF's subdivisions of Canada).
const CANADA = ['AB', 'BC', 'MB', 'NB', 'NL', 'NS', 'NT', 'NU', 'ON', 'PE', 'QC', 'SK', 'YT'];
const US_STATES = ['AK', 'AL', 'AR', 'AZ', 'CA', 'CO', 'CT', 'DC', 'DE', 'FL', 'GA', 'HI', 'IA', 'ID', 'IL', 'IN',
  'KS', 'KY', 'LA', 'MA', 'MD', 'ME', 'MI', 'MN', 'MO', 'MS', 'MT', 'NC', 'ND', 'NE', 'NH', 'NJ', 'NM', 'NV', 'NY',
  'OH', 'OK', 'OR', 'PA', 'RI', 'SC', 'SD', 'TN', 'TX', 'UT', 'VA', 'VT', 'WA', 'WI', 'WV', 'WY'];
// Canadian sections a sponsor may ask for as LOCATION instead of the province.
const RAC_SECTIONS = ['GH', 'GTA', 'MAR', 'ONE', 'ONN', 'ONS', 'TER'];

// Cabrillo 3.0 header tags: allowed values (a list or a pattern), and how often a tag may appear.
const TEXT = /\S/;
const CALL = /^(?=[A-Z0-9/]*\d)(?=[A-Z0-9/]*[A-Z])[A-Z0-9]+(\/[A-Z0-9]+)*$/;
const TAGS3 = {
  'START-OF-LOG': { values: ['3.0'] },
  'END-OF-LOG': { values: [''] },
  'CALLSIGN': { values: CALL, required: true },
  'CONTEST': { values: /^[A-Z0-9-]{1,32}$/, required: true },
  'CATEGORY-ASSISTED': { values: ['ASSISTED', 'NON-ASSISTED'] },
  'CATEGORY-BAND': { required: true, values: ['ALL', '160M', '80M', '40M', '20M', '15M', '10M', '6M', '4M', '2M',
    '222', '432', '902', '1.2G', '2.3G', '3.4G', '5.7G', '10G', '24G', '47G', '75G', '122G', '134G', '241G',
    'LIGHT', 'VHF-3-BAND', 'VHF-FM-ONLY'] },
  'CATEGORY-MODE': { required: true, values: ['CW', 'DIGI', 'FM', 'RTTY', 'SSB', 'MIXED'] },
  'CATEGORY-OPERATOR': { required: true, values: ['SINGLE-OP', 'MULTI-OP', 'CHECKLOG'] },
  'CATEGORY-POWER': { required: true, values: ['HIGH', 'LOW', 'QRP'] },
  'CATEGORY-STATION': { values: ['DISTRIBUTED', 'FIXED', 'MOBILE', 'PORTABLE', 'ROVER', 'ROVER-LIMITED',
    'ROVER-UNLIMITED', 'EXPEDITION', 'HQ', 'SCHOOL', 'EXPLORER'] },
  'CATEGORY-TIME': { values: ['6-HOURS', '8-HOURS', '12-HOURS', '24-HOURS'] },
  'CATEGORY-TRANSMITTER': { values: ['ONE', 'TWO', 'LIMITED', 'UNLIMITED', 'SWL'] },
  'CATEGORY-OVERLAY': { values: ['CLASSIC', 'ROOKIE', 'TB-WIRES', 'YOUTH', 'NOVICE-TECH', 'YL'] },
  'CERTIFICATE': { values: ['YES', 'NO'] },
  'CLAIMED-SCORE': { values: /^\d+$/ },
  'CLUB': { values: TEXT },
  'CREATED-BY': { values: TEXT },
  'EMAIL': { values: /^[^@\s]+@[^@\s]+$/ },
  'GRID-LOCATOR': { values: /^[A-R]{2}\d{2}([A-X]{2})?$/i },
  'LOCATION': { values: ['DX', ...CANADA, ...RAC_SECTIONS, ...US_STATES] },
  'NAME': { values: TEXT },
  'ADDRESS': { values: TEXT, most: 6 },
  'ADDRESS-CITY': { values: TEXT },
  'ADDRESS-STATE-PROVINCE': { values: TEXT },
  'ADDRESS-POSTALCODE': { values: TEXT },
  'ADDRESS-COUNTRY': { values: TEXT },
  'OPERATORS': { values: /^@?[A-Z0-9/]+( +@?[A-Z0-9/]+)*$/ },
  'OFFTIME': { values: /^\d{4}-\d{2}-\d{2} \d{4} \d{4}-\d{2}-\d{2} \d{4}$/, most: Infinity },
  'SOAPBOX': { values: TEXT, most: Infinity },
};

// QSO frequency: kHz inside an HF band, or the band itself from 50 MHz up.
const HF_KHZ = [[1800, 2000], [3500, 4000], [7000, 7300], [10100, 10150], [14000, 14350], [18068, 18168],
  [21000, 21450], [24890, 24990], [28000, 29700]];
const VHF_BANDS = ['50', '70', '144', '222', '432', '902', '1.2G', '2.3G', '3.4G', '5.7G', '10G', '24G', '47G',
  '75G', '122G', '134G', '241G', 'LIGHT'];

function validDate(text) {
  const m = /^(\d{4})-(\d{2})-(\d{2})$/.exec(text);
  if (!m)
    return false;
  const d = new Date(Date.UTC(+m[1], +m[2] - 1, +m[3]));
  return d.getUTCFullYear() === +m[1] && d.getUTCMonth() === +m[2] - 1 && d.getUTCDate() === +m[3];
}

function allowed(rule, value) {
  return rule instanceof RegExp ? rule.test(value) : rule.includes(value);
}

// QSO: freq mo date time call-sent rst-sent exch-sent call-rcvd rst-rcvd exch-rcvd [t]
function qso3Problems(value) {
  const f = value.trim().split(/\s+/);
  if (f.length !== 10 && f.length !== 11)
    return [`${f.length} fields, expected 10 or 11`];
  const out = [];
  const [freq, mode, date, time, sentCall, sentRst, sentExch, rcvdCall, rcvdRst, rcvdExch, t] = f;
  const khz = /^\d+$/.test(freq) ? +freq : NaN;
  if (!VHF_BANDS.includes(freq) && !HF_KHZ.some(([lo, hi]) => khz >= lo && khz <= hi))
    out.push(`frequency ${freq}`);
  if (!['CW', 'PH', 'FM', 'RY', 'DG'].includes(mode))
    out.push(`mode ${mode}`);
  if (!validDate(date))
    out.push(`date ${date}`);
  if (!/^([01]\d|2[0-3])[0-5]\d$/.test(time))
    out.push(`time ${time}`);
  for (const [what, call] of [['sent call', sentCall], ['received call', rcvdCall]])
    if (!CALL.test(call))
      out.push(`${what} ${call}`);
  for (const [what, rst] of [['sent report', sentRst], ['received report', rcvdRst]])
    if (!/^[1-5][1-9][1-9]?$/.test(rst))
      out.push(`${what} ${rst}`);
  // The exchange of these contests: a province or territory, or a serial number.
  for (const [what, exch] of [['sent exchange', sentExch], ['received exchange', rcvdExch]])
    if (!CANADA.includes(exch) && !/^\d+$/.test(exch))
      out.push(`${what} ${exch}`);
  if (t !== undefined && !['0', '1'].includes(t))
    out.push(`transmitter ${t}`);
  return out;
}

// The whole file against the 3.0 rules; returns what is wrong.
function cabrillo3Problems(text) {
  const out = [];
  const lines = text.split('\r\n');
  if (lines[lines.length - 1] === '')
    lines.pop();
  const counts = {};
  let qsos = 0;
  lines.forEach((line, i) => {
    const where = `line ${i + 1}`;
    const m = /^([A-Z][A-Z0-9-]*):(?: (.*))?$/.exec(line);
    if (!m) {
      out.push(`${where}: not "TAG: value": ${JSON.stringify(line)}`);
      return;
    }
    const tag = m[1];
    const value = (m[2] || '').trim();
    counts[tag] = (counts[tag] || 0) + 1;
    if (i === 0 && tag !== 'START-OF-LOG')
      out.push(`${where}: START-OF-LOG must come first`);
    if (i === lines.length - 1 && tag !== 'END-OF-LOG')
      out.push(`${where}: END-OF-LOG must come last`);
    if ((tag === 'START-OF-LOG' && i !== 0) || (tag === 'END-OF-LOG' && i !== lines.length - 1))
      out.push(`${where}: ${tag} out of place`);
    if (tag === 'QSO' || tag === 'X-QSO') {
      ++qsos;
      if (tag === 'QSO')
        for (const p of qso3Problems(value))
          out.push(`${where}: QSO ${p}`);
      return;
    }
    if (tag.startsWith('X-'))
      return;
    const rule = TAGS3[tag];
    if (!rule) {
      out.push(`${where}: unknown tag ${tag}`);
      return;
    }
    if (qsos > 0 && tag !== 'END-OF-LOG')
      out.push(`${where}: header tag ${tag} after the QSO lines`);
    if (!allowed(rule.values, value))
      out.push(`${where}: ${tag} value ${JSON.stringify(value)} not allowed`);
  });
  for (const [tag, rule] of Object.entries(TAGS3)) {
    const n = counts[tag] || 0;
    if (n > (rule.most || 1))
      out.push(`${tag} appears ${n} times`);
    if ((rule.required || tag === 'START-OF-LOG' || tag === 'END-OF-LOG') && n === 0)
      out.push(`${tag} missing`);
  }
  return out;
}

// Allowed values of the ADIF contest fields the readers take as plain text.
function adifContestProblems(q) {
  const out = [];
  if (q.VE_PROV !== undefined && !CANADA.includes(q.VE_PROV))
    out.push(`VE_PROV ${q.VE_PROV}`);
  if (q.STATE !== undefined) {
    const list = q.DXCC === '1' ? CANADA : q.DXCC === '291' ? US_STATES : [...CANADA, ...US_STATES];
    if (!list.includes(q.STATE))
      out.push(`STATE ${q.STATE} for DXCC ${q.DXCC}`);
  }
  if (q.VE_PROV !== undefined && q.STATE !== undefined && q.VE_PROV !== q.STATE)
    out.push(`VE_PROV ${q.VE_PROV} and STATE ${q.STATE} differ`);
  if (q.MY_STATE !== undefined && !CANADA.includes(q.MY_STATE) && !US_STATES.includes(q.MY_STATE))
    out.push(`MY_STATE ${q.MY_STATE}`);
  if (q.CONTEST_ID !== undefined && !/^[A-Z0-9-]{1,32}$/.test(q.CONTEST_ID))
    out.push(`CONTEST_ID ${q.CONTEST_ID}`);
  for (const [number, text] of [['SRX', 'SRX_STRING'], ['STX', 'STX_STRING']])
    if (q[number] !== undefined && (q[text] === undefined || parseInt(q[text], 10) !== parseInt(q[number], 10)))
      out.push(`${number} ${q[number]} is not ${text} ${q[text]}`);
  return out;
}

function compare(what, got, want) {
  for (const [key, value] of Object.entries(want)) {
    const seen = got[key] === undefined ? undefined : String(got[key]).trim();
    if (seen !== value)
      problems.push(`${what} ${key}: read ${JSON.stringify(seen)}, expected ${JSON.stringify(value)}`);
  }
}

function checkCabrillo(want) {
  const text = fs.readFileSync(want.file, 'latin1');
  if (!text.endsWith('END-OF-LOG:\r\n'))
    problems.push('cabrillo: the file does not end with END-OF-LOG: and CR LF');
  if (/[^\r]\n/.test(text))
    problems.push('cabrillo: a line ends without CR');
  if (want.version === '3.0' || text.startsWith('START-OF-LOG: 3.0'))
    for (const p of cabrillo3Problems(text))
      problems.push(`cabrillo 3.0: ${p}`);
  const log = cabrillo.cabrilloToObject(text);
  compare('cabrillo header', log, want.header || {});
  const qsos = log.QSO || [];
  if (qsos.length !== want.qsos.length)
    problems.push(`cabrillo: read ${qsos.length} QSO lines, expected ${want.qsos.length}`);
  want.qsos.forEach((qso, i) => compare(`cabrillo QSO ${i + 1}`, qsos[i] || {}, qso));
}

function checkAdif(want) {
  const text = fs.readFileSync(want.file, 'latin1');
  let parsed;
  try {
    parsed = ADIF.parse(text).toObject();
  } catch (e) {
    problems.push(`adif: rejected: ${e.message}`);
    return;
  }
  const qsos = parsed.qsos || [];
  if (qsos.length !== want.qsos.length)
    problems.push(`adif: read ${qsos.length} records, expected ${want.qsos.length}`);
  want.qsos.forEach((qso, i) => {
    const got = qsos[i] || {};
    compare(`adif record ${i + 1}`, got, qso);
    for (const p of adifContestProblems(got))
      problems.push(`adif record ${i + 1}: ${p}`);
    for (const key of Object.keys(got))
      if (!(key in qso))
        problems.push(`adif record ${i + 1}: unexpected field ${key}=${JSON.stringify(got[key])}`);
  });
}

const expect = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
if (expect.cabrillo)
  checkCabrillo(expect.cabrillo);
if (expect.adif)
  checkAdif(expect.adif);

if (problems.length) {
  console.log(problems.slice(0, 40).join('\n'));
  if (problems.length > 40)
    console.log(`... and ${problems.length - 40} more`);
  process.exit(1);
}
console.log('peer readers agree');
