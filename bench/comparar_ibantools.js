// The same job as brelvoxa done with the npm package ibantools, for the throughput
// benchmark: read each account of a plain list, or column 3 of a ';' CSV, check its
// BBAN (control digits) or IBAN (another country's whole), make the IBAN in electronic and paper form, and
// write the row back with those and a status. No BIC or name: ibantools has no
// Spanish directory. The CSV is split on ';' without quote handling, which the
// benchmark's file does not need and which only flatters this script.
//
//     node comparar_ibantools.js llista|csv FILE > OUT
'use strict';
const fs = require('fs');
const ibantools = require('ibantools');

const drop = /[ \t\u00a0.-]/g;

function added(text) {
    let t = text.replace(drop, '');
    if (t.slice(0, 4).toUpperCase() === 'IBAN') t = t.slice(4);
    let electronic;
    if (t.length === 24 && t.slice(0, 2).toUpperCase() === 'ES' && /^[0-9]{22}$/.test(t.slice(2))) {
        if (!ibantools.isValidBBAN(t.slice(4), 'ES')) return '\t\tdígits de control incorrectes';
        electronic = t.toUpperCase();
        if (!ibantools.isValidIBAN(electronic)) return "\t\tdígits de l'IBAN incorrectes";
    } else if (t.length === 20 && /^[0-9]{20}$/.test(t)) {
        if (!ibantools.isValidBBAN(t, 'ES')) return '\t\tdígits de control incorrectes';
        electronic = ibantools.composeIBAN({ countryCode: 'ES', bban: t });
    } else if (/^[A-Z]{2}[0-9]{2}[A-Z0-9]{1,30}$/i.test(t)) {
        // Another country's IBAN, checked whole, with no finer verdict.
        electronic = t.toUpperCase();
        if (!ibantools.isValidIBAN(electronic)) return '\t\tIBAN estranger incorrecte';
        return electronic + '\t' + ibantools.friendlyFormatIBAN(electronic) + '\tIBAN estranger correcte';
    } else {
        return '\t\tno és un compte';
    }
    return electronic + '\t' + ibantools.friendlyFormatIBAN(electronic) + '\tcorrecte';
}

const [kind, path] = process.argv.slice(2);
const csv = kind === 'csv';
const out = [];
let size = 0;
function emit(s) {
    out.push(s);
    size += s.length;
    if (size > 1 << 20) {
        fs.writeSync(1, out.join(''));
        out.length = 0;
        size = 0;
    }
}

let rest = '';
let first = true;
const fd = fs.openSync(path, 'r');
const chunk = Buffer.alloc(1 << 20);
for (;;) {
    const n = fs.readSync(fd, chunk, 0, chunk.length, null);
    const text = rest + chunk.toString('utf8', 0, n);
    const lines = text.split('\n');
    rest = n === 0 ? '' : lines.pop();
    for (const raw of lines) {
        if (n === 0 && raw === '') continue;
        const line = raw.endsWith('\r') ? raw.slice(0, -1) : raw;
        const end = raw.length > line.length ? '\r\n' : '\n';
        if (csv) {
            if (first) {
                first = false;
                emit(line + ';IBAN;IBAN en format paper;Estat' + end);
                continue;
            }
            emit(line + ';' + added(line.split(';')[2]).replace(/\t/g, ';') + end);
        } else if (line.trim() === '') {
            emit(raw + '\n');
        } else {
            emit(line + '\t' + added(line) + end);
        }
    }
    if (n === 0) break;
}
fs.writeSync(1, out.join(''));
