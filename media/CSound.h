#pragma once

#include <QGroupBox>
#include <QList>
#include <QRadioButton>
#include <QToolButton>

#include "app/form.h"

// The music settings: one of ten tunes, cycle, repeat one, stop. The player and the play mode
// belong to the main window, so the music goes on when this window closes.
class TfrmSound : public TForm {
    Q_OBJECT
  public:
    explicit TfrmSound(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QList<QRadioButton*> RadioButtons;  // RadioButton1 .. RadioButton10
    QToolButton* SpeedButton1;          // "循环播放[&P]"
    QToolButton* SpeedButton2;          // "单曲播放[&R]"
    QToolButton* SpeedButton3;          // "停止播放[&T]"
    QToolButton* SpeedButton4;          // "关闭[&C]"

    // RadioButton1Click .. RadioButton10Click: choose tune k.
    void RadioButtonClick(int k);
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();

    // Selects tune k's radio button as the playback loop does: if it was not selected, its
    // handler runs and an error it raises goes on to the caller.
    void selectTune(int k);
    // The number of the selected radio button.
    int selectedTune() const;

  protected:
    void FormCreate() override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void playOn(const QString& mode, QChar code, QToolButton* button);
    void colourModeButtons(QToolButton* red);

    bool toldNoSoundCard = false;  // the pupil hears of a missing sound card once per run
};

extern TfrmSound* frmSound;
