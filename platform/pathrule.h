#pragma once

#include <QString>

// Files are named by drive-rooted paths such as "\mavro\Sound\SOUND1.MID". They resolve against a
// folder that stands in for the drive root, the first of:
//   1. the folder QORVEX_DRIVE names;
//   2. "/" when there is a folder /mavro;
//   3. the first "qorvex" data folder holding a course: $XDG_DATA_HOME/qorvex, each
//      $XDG_DATA_DIRS/qorvex, then <bin>/../share/qorvex beside the program;
//   4. "/" again, so that messages about a missing course name /mavro.
namespace PathRule {

QString driveRoot();
QString resolve(const QString& drivePath);

// The course was found in a shared data folder or beside the program: it belongs to the installed
// package and the program never writes into it, even when it may.
bool courseIsInstalled();
// The drive path under the pupil's own data folder, $XDG_DATA_HOME/qorvex, where the files the
// program writes go when the course cannot take them.
QString resolveInUserData(const QString& drivePath);

}  // namespace PathRule
