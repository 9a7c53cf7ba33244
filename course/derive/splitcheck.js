'use strict';
// The same check as course/builder/splitcheck.cpp: does a split's key sequence agree with the
// full code? Returns an empty text when it does, else why not.
const IDENTIFICATION = 'gfdhjktreyuinbv';

function failure(keys, code) {
    const n = keys.length;
    if (n === 0) return 'no roots';
    if (n === 1) {
        if (code === keys.repeat(4)) return '';
        if (code.length < 2 || code[0] !== keys) return 'key does not begin the code';
        let strokes = code.slice(1);
        if (strokes.length >= 2 && strokes.endsWith('ll')) strokes = strokes.slice(0, -2);
        return /^[ghtyn]*$/.test(strokes) ? '' : 'no stroke keys';
    }
    if (n <= 3) {
        if (code.length !== n + 1) return 'code length';
        if (!code.startsWith(keys)) return 'keys';
        return IDENTIFICATION.includes(code[n]) ? '' : 'identification code';
    }
    return code === keys.slice(0, 3) + keys[n - 1] ? '' : 'keys';
}

module.exports = { failure };
