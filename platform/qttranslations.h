#pragma once

// Qt's own dialogs and buttons ("OK", "Cancel", the file dialogs) speak Chinese like the rest of
// the program, whatever the pupil's locale. Installed once, before any window is created.
namespace QtTranslations {

// Loads qtbase_zh_CN from Qt's translations folder; false when it is not installed (Qt's texts
// then stay English).
bool install();

}  // namespace QtTranslations
