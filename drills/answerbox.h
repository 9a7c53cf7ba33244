#pragma once

#include <QWidget>
#include <functional>

#include "platform/keyletterbox.h"

// A one-letter answer box of the root drill, in upper case. The window hooks in its handlers:
//   onKeyDown  before anything else; returns true when the key is swallowed
//   onKeyPress for a typed character, before the box takes it
//   onEnter    when the box gets the focus (not when its window merely becomes active again)
//   onClick    after a click into the box
class AnswerBox : public KeyLetterBox {
    Q_OBJECT
  public:
    explicit AnswerBox(QWidget* parent = nullptr);

    std::function<bool(int key)> onKeyDown;
    std::function<void(QChar c)> onKeyPress;
    std::function<void()> onEnter;
    std::function<void()> onClick;

    // Text colour: normal or red.
    void setTextColour(const QColor& colour);
    QColor textColour() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A frame laid over the key chart: a clear square outlined by a yellow dotted pen.
class KeyFrame : public QWidget {
    Q_OBJECT
  public:
    explicit KeyFrame(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The red rectangle around the items.
class ItemFrame : public QWidget {
    Q_OBJECT
  public:
    explicit ItemFrame(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
