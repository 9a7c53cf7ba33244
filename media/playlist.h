#pragma once

#include <QString>

// The ten background tunes and the music settings file.
namespace Tunes {

constexpr int kCount = 10;

// "\mavro\Sound\SOUND<k>.MID" resolved by the path rule, k from 1 to 10.
QString path(int k);
// The tune whose path equals the file name, ignoring the case of ASCII letters; 0 when none.
int numberOf(const QString& fileName);
// The tune after k in the cycle 1 -> 2 -> ... -> 10 -> 1.
int next(int k);
// "背景音乐一" .. "背景音乐十".
QString caption(int k);

// "\mavro\Sound\PlayList.TXT" beside the tunes when that folder takes files; else, as for an
// installed or read-only course, the same path in the pupil's own data folder.
QString settingsPath();
// Recreates the settings file with the one line: the code, CR LF, creating its folder if need be.
// Throws AppError if it cannot.
void writeSettings(const QString& code);

}  // namespace Tunes
