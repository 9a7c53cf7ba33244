#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// The lesson pages: main.htm and the pages it links, with their pictures.
namespace Pages {

// Copies <pagesDir>/*.htm and *.css into outDir, draws the pictures into outDir/images, checks
// that every link and picture of every page resolves and every page is reachable from main.htm,
// and returns a one-line report. Throws CourseError on a broken link.
QString build(const QString& pagesDir, const QString& rootsPath, const QString& outDir);

// Problems of the links in the pages of dir: targets that are missing, anchors that are not
// defined, links that leave the folder, and pages that main.htm does not reach.
QStringList linkProblems(const QString& dir);

// The root chart as the pages show it: the letter keys in three rows, each with its zone-position
// code, its key-name root and the other roots of course/wubi/roots.txt.
QImage rootChart(const QString& rootsPath);

// The 25 first-level short codes on the keyboard.
QImage firstLevelChart();

}  // namespace Pages
