#pragma once

#include <QLabel>
#include <QPushButton>

#include "app/form.h"

// The result dialog: a drill writes the time and speed (and the root drill an error count) into
// the labels and shows it modally.
class TfrmTime : public TForm {
    Q_OBJECT
  public:
    explicit TfrmTime(QWidget* parent = nullptr);

    QLabel* Label1;  // time line
    QLabel* Label2;  // speed line
    QLabel* Label3;  // error line, shown only by the root drill
    QLabel* Image1;
    QPushButton* BitBtn1;

  protected:
    void FormCreate() override;
    // There is no cancel button, so Esc leaves the dialog open. The accelerator letter works
    // without Alt as well, as it does in a dialog whose focus is on a button.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BitBtn1Click();
};

extern TfrmTime* frmTime;
