#!/usr/bin/env node
// Reads a Cabrillo file and an ADIF file written by zevlog with independent readers
// (the npm modules pinned in package.json) and compares what they understood with
// what the log holds. Installs nothing: run `npm ci` in this folder first.
//
// usage: node check.js expect.json
// expect.json: {"cabrillo": {"file": path, "header": {KEY: value}, "qsos": [{field: value}]},
//               "adif": {"file": path, "qsos": [{FIELD: value}]}}
// Either part may be left out. Exit status 0 when both readers agree, 1 otherwise.
'use strict';

const fs = require('fs');
const cabrillo = require('cabrillo');
const { ADIF } = require('tcadif');

const problems = [];

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
