#pragma once

#include <QDialog>

// Base of the program's secondary windows. Each is created once at start-up and shown modally
// from the menu any number of times. The handlers follow the window's life:
//   FormCreate   once, at start-up, after construction (under the error guard)
//   FormActivate each time the window is shown by ShowModal, never when it merely becomes
//                active again (for example after a dialog it showed closes)
//   FormCloseQuery / FormClose  each time it closes (Esc, close box, a close button)
//   FormDestroy  once, at exit
// Sets a top-level window's outer size and place, frame and title bar included. The frame is known
// only once the window is shown; until then the client area takes the outer size.
void setOuterGeometry(QWidget* window, const QRect& outer);

class TForm : public QDialog {
    Q_OBJECT
  public:
    explicit TForm(QWidget* parent = nullptr);

    // Runs FormCreate under the error guard: a failing creation handler stops part-way and is
    // reported; the window still exists.
    void create();
    void destroyForm();
    // Shows the window modally, runs FormActivate, and returns when the window is closed.
    int ShowModal();

    // Outer size and place, frame and title bar included.
    void setOuterGeometry(int left, int top, int width, int height);
    QRect outerGeometry() const { return outer; }
    // The common placement: outer 800 x 575 at ((screen width - 800) div 2, (screen height - 600)
    // div 2).
    void placeStandard();

    void done(int result) override;

  protected:
    virtual void FormCreate() {}
    virtual void FormActivate() {}
    virtual bool FormCloseQuery() { return true; }
    virtual void FormClose() {}
    virtual void FormDestroy() {}
    // A system-wide hot key registered for this window was pressed.
    virtual void hotKeyPressed(int /*id*/) {}

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QRect outer;
    bool destroyed = false;
};
