#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include "data/history.h"

// The files around the pupil's history: where it lives, how it is kept private, what a failure
// means in the pupil's words, and the small files that hold pages the history could not take.
namespace History {

// Where the history goes, and a sentence to tell the pupil once when that is not the usual
// place. An empty path: nowhere to keep it, the pages stay in memory.
struct Place {
    QString path;
    QString note;
};
// $XDG_DATA_HOME, else $HOME/.local/share; with neither set (a program started by a service),
// the home folder from the password database, never the root folder.
Place defaultPlace();

// The history folder and its files are the pupil's alone: the text of their own articles and
// the names of their files are in them. A missing folder (and any missing one above it) is made
// 0700, a missing history 0600 whatever the umask; SQLite gives its journal files the history's
// mode. The folder itself and the files, when wider than that, are narrowed. A symbolic link is
// never followed to change a mode: a history (or folder) that is a link is used where it points,
// with the mode its owner gave it. Both return 0 or the errno of what failed.
int makePrivateFolder(const QString& folder);
int makePrivateFile(const QString& file);

// Opens path for reading when it is a regular file, never waiting on a pipe or a device: empty
// when file is open on it, else why not, in the pupil's words.
QString openRegular(QFile& file, const QString& path);
// Why path cannot be written in place as a file (a folder, a pipe or a device is there), empty
// when it names a regular file or nothing yet.
QString notRegularForWriting(const QString& path);

// Why an SQLite call failed, in the pupil's words: the operating system's reason where SQLite
// passes one on (cannot open, input/output errors), else SQLite's result code.
QString sqliteReason(int code, int systemError);
// The same for an errno of the program's own file calls.
QString systemReason(int error);

// Pages the history could not take by the end of a run: a small file of their own in the
// pupil's cache folder ($XDG_CACHE_HOME/qorvex), or beside the history when that cannot be
// written, named after the history and holding its path; the next run's store adds them to the
// history it is meant for and removes the file.
namespace Leftovers {
// Returns the path of the file written, empty when neither place could take it.
QString write(const QString& history, const QList<Page>& pages);
// The files of pages meant for history, oldest first.
QStringList find(const QString& history);
// Appends the pages of one file to pages, leaving out any a history cannot hold.
enum class Read { Taken, OtherHistory, Damaged };
Read read(const QString& path, const QString& history, QList<Page>& pages);
}  // namespace Leftovers

}  // namespace History
