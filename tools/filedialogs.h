#pragma once

#include <QString>
#include <QWidget>
#include <functional>

// The file dialogs of the editor and of the record window, behind a seam so that tests choose files
// without a real dialog.
namespace FileDialogs {

struct Request {
    QString title;      // empty: the dialog's own title
    QString directory;  // the folder to start in when the pupil may write there; may be empty
    QString filter;     // "name|patterns|name|patterns", as "文本文件|*.TXT|所有文件|*.*"
    // A save: a name typed without an ending gets the ending of the type chosen in the dialog.
    bool endingFromType = false;
};

// Returns the chosen full path, or an empty string when the pupil cancels. A real dialog starts in
// the folder of the last file chosen in this run; before any, in the folder asked for when the
// pupil may write there, else in the pupil's documents folder (home when there is none).
using Chooser = std::function<QString(QWidget* parent, const Request& request)>;

QString chooseOpen(QWidget* parent, const Request& request);
// Never asks before replacing an existing file.
QString chooseSave(QWidget* parent, const Request& request);

// Tests put their own choosers in place; an empty chooser restores the real dialog.
void setOpenChooser(Chooser chooser);
void setSaveChooser(Chooser chooser);

// "rec" saved as the type "CSV 表格 (*.csv)" is "rec.csv"; a name with an ending keeps it.
QString withEndingOf(const QString& path, const QString& chosenType);

// "a|*.X|b|*.*" as a Qt name filter list "a (*.X);;b (*.*)".
QString qtFilter(const QString& filter);

}  // namespace FileDialogs
