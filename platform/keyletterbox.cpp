#include "platform/keyletterbox.h"

#include <QInputMethodEvent>
#include <QValidator>

namespace {

// Applies to pasted text as well as to typed letters.
class LetterCaseValidator : public QValidator {
  public:
    LetterCaseValidator(KeyLetterBox::LetterCase letterCase, QObject* parent)
        : QValidator(parent), letterCase(letterCase) {}

    State validate(QString& input, int&) const override {
        input = letterCase == KeyLetterBox::LetterCase::Upper ? input.toUpper() : input.toLower();
        return Acceptable;
    }

  private:
    const KeyLetterBox::LetterCase letterCase;
};

}  // namespace

KeyLetterBox::KeyLetterBox(LetterCase letterCase, QWidget* parent) : QLineEdit(parent) {
    setAttribute(Qt::WA_InputMethodEnabled, false);
    if (letterCase != LetterCase::AsTyped)
        setValidator(new LetterCaseValidator(letterCase, this));
}

QVariant KeyLetterBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled)
        return false;
    return QLineEdit::inputMethodQuery(query);
}

void KeyLetterBox::inputMethodEvent(QInputMethodEvent* event) {
    event->ignore();
}
