#pragma once

#include <QByteArray>
#include <QString>

// The text drill's rules for one typing box against the line above it, in GBK bytes. Only the
// last character typed is compared on each change: what lies before it was checked when it was
// typed. A change that brings several characters at once (a phrase the input method commits, a
// paste) is first judged character by character, as if they had been typed one after another.
namespace LineCheck {

enum class Verdict {
    Wrong,     // the last character differs from the line: select it for overtyping
    Going,     // right so far, the line is not finished
    LineDone,  // right and at least as long as the line
};

// Compares the last two bytes of the box (T) with the line's bytes at the same positions (E).
// When T and E differ in length, E is cut to its first byte, so a single-byte input against a
// Chinese character, or anything typed past the end of the line, is wrong. An empty box never
// finishes a line: emptying the boxes must not finish a page. A character GBK cannot hold
// matches nothing, not even another one of its kind.
Verdict check(const QByteArray& box, const QByteArray& line);

// A change of the box, judged: a change that added several characters (UTF-16 positions
// [addedFrom, addedTo)) is wrong at the first added character that is wrong; otherwise, and
// when all of them are right, the last character decides. For Wrong, wrongStart is the UTF-16
// position where the selection of the wrong text begins; it runs to the end of the box.
//
// When several characters came at once and the first of them is right, the change ran on past
// what was wanted (overrun): an input method commits a phrase it has learnt for the code of the
// one character the pupil asked for. That is no slip of the pupil's.
struct Judgement {
    Verdict verdict;
    int wrongStart = 0;
    bool overrun = false;
};
Judgement judge(const QString& box, int addedFrom, int addedTo, const QByteArray& line);

// The key the hint looks up for a caret at byte position caret: the line's two bytes after it,
// fewer at the end of the line, none past it.
QByteArray hintKey(const QByteArray& line, int caret);

// UTF-16 position where the selection of the box's wrong last character starts: one byte
// before the end, moved back to the first byte of a double-byte character. The selection runs to
// the end of the text.
int wrongCharacterStart(const QString& box);

}  // namespace LineCheck
