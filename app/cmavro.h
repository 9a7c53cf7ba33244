#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

#include "app/form.h"
#include "app/lessoncatalogue.h"
#include "media/mediaplayer.h"

// The main window: the title picture and the lesson menu. Its hidden labels carry the lesson
// range handed to the drills (Label1, Label2) and the music's play mode (Label3).
class Tfrmmavro : public QMainWindow {
    Q_OBJECT
  public:
    explicit Tfrmmavro(QWidget* parent = nullptr);

    void create();  // runs FormCreate under the error guard
    QRect outerGeometry() const { return ::outerGeometry(this); }

    QMenuBar* MainMenu1;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    TMediaPlayer* MediaPlayer1;

    // Runs a menu command as its menu item does (N31Click for "N31").
    void runCommand(const QString& name);

    // Soon after the first start's first frame: the input method set-up page, once, when the
    // text drills would miss something.
    void offerInputMethodSetup();

    // The playback loop, run for every notification of the music player.
    void MediaPlayer1Notify();

  protected:
    void FormCreate();
    void FormActivate();
    void FormKeyPress(const QString& text);

    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildMenu();
    void showLesson(const Catalogue::Command& command);
    void showTool(Catalogue::Kind kind);
};

extern Tfrmmavro* frmmavro;
