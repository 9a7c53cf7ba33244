#pragma once

#include <QList>
#include <QString>

// The menu bar as a catalogue: every command with the window it opens and its fixed lesson range.
// A command's handler is named after its menu item: item "N31" runs N31Click.
namespace Catalogue {

enum class Kind {
    TextLesson,    // first row and line count into the main window's Label1/Label2, then the text
                   // drill
    RootLesson,    // record count and first record into the root drill's JB1/JB2
    FingerLesson,  // the finger drill's table moved forward by first
    FreeTyping,
    Music,
    CodeLookup,
    LessonPages,
    Records,
    AdaptivePractice,
    InputMethodSetup,
    TypeAlong,
    PhrasePractice,
};

struct Command {
    QString caption;
    QString name;  // object name of the menu item
    Kind kind;
    int first = 0;
    int second = 0;
    QString shortcut;  // "F5", "F8" or empty
};

struct Entry {
    bool separator = false;
    Command command;
};

struct Menu {
    QString caption;
    QString name;
    QList<Entry> entries;
};

const QList<Menu>& menus();

// Finds a command by its menu item name; menuIndex and commandIndex receive its position
// (commandIndex counts commands only, not separators).
const Command* find(const QString& name, int* menuIndex = nullptr, int* commandIndex = nullptr);

bool sendsReturnKeys(Kind kind);

}  // namespace Catalogue
