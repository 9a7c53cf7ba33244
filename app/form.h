#pragma once

#include <QDialog>

// How a window is framed, as each window declares it once: its border and the buttons on its
// title bar. A single or dialog border cannot be resized; a dialog border has no minimise or
// maximise box. The system menu brings the close box with it.
namespace Frame {
enum Border { Single, Sizeable, Dialog };
enum Button { SystemMenu = 0x1, Minimize = 0x2, Maximize = 0x4 };
}  // namespace Frame

// Turns the declaration into the window's flags and, for a border that cannot be resized, fixes
// the window at its present size. Call it once the window has its size.
void setFrame(QWidget* window, Frame::Border border, int buttons);

// Sets a top-level window's outer size and place, frame and title bar included, and holds it
// there. The window manager tells the frame only once it has framed the window, anew on every
// showing, so the geometry is set again on every showing, whenever the frame turns out different
// and once the shown window has settled; until then the client area takes the outer size. A
// window of fixed size stays fixed, at the new size.
void setOuterGeometry(QWidget* window, const QRect& outer);
// Places a top-level window at ((screen width - outer width) div 2, (screen height - outer
// height) div verticalDivisor), keeping its client area: the outer size is the client area and
// the frame, and is held as above.
void centreOnOwnSize(QWidget* window, int verticalDivisor = 2);
// The outer geometry last set by either, or a null rectangle.
QRect outerGeometry(const QWidget* window);

// "Tarvelle" is the program's name on the desktop: the window class a task bar groups its windows
// by, and the title of its message boxes. It is set as the application's name, not as a display
// name, which Qt would append to every caption.
void nameApplication();

// Base of the program's secondary windows. Each is created once at start-up and shown modally
// from the menu any number of times. The handlers follow the window's life:
//   FormCreate   once, at start-up, after construction (under the error guard)
//   FormActivate each time the window is shown by ShowModal, never when it merely becomes
//                active again (for example after a dialog it showed closes)
//   FormCloseQuery / FormClose  each time it closes (Esc, close box, a close button)
//   FormDestroy  once, at exit
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
    QRect outerGeometry() const { return ::outerGeometry(this); }
    // The common placement: outer 800 x 575 at ((screen width - 800) div 2, (screen height - 600)
    // div 2).
    void placeStandard();
    void centreOnOwnSize(int verticalDivisor = 2) { ::centreOnOwnSize(this, verticalDivisor); }
    void setFrame(Frame::Border border, int buttons) { ::setFrame(this, border, buttons); }

    void done(int result) override;
    // Before the window shows, the work start-up held back for it (fonts, pictures) is done.
    void setVisible(bool visible) override;

  protected:
    virtual void FormCreate() {}
    virtual void FormActivate() {}
    virtual bool FormCloseQuery() { return true; }
    virtual void FormClose() {}
    virtual void FormDestroy() {}
    // A system-wide hot key registered for this window was pressed.
    virtual void hotKeyPressed(int /*id*/) {}

    bool event(QEvent* event) override;

  private:
    void floatOverOpener();
    bool destroyed = false;
};
