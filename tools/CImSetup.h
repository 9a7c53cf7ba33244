#pragma once

#include <QLabel>
#include <QPushButton>

#include "app/form.h"
#include "platform/inputmethod.h"

// The input method set-up page: which input method runs, whether Wubi 86 is there and switched
// into the pupil's list, and how its candidates are ordered. It changes nothing unless the pupil
// says yes. Created when first opened, not at start-up.
class TfrmImSetup : public TForm {
    Q_OBJECT
  public:
    explicit TfrmImSetup(QWidget* parent = nullptr);

    // Creates the window at its first use and shows it modally.
    static int showSetup();
    // The first start shows the page once, when something the text drills need is missing. A
    // small file in the pupil's data folder remembers that the question was looked at; the
    // program keeps no other setting.
    static void showOnFirstStart();
    // Under ibus without its Wubi engine the letters typed in a text drill vanish: the page
    // then comes over the drill and says so, once a run.
    static void showWhenWubiIsOff(QWidget* drill);

    QLabel* Label1;        // what was found, one fact a line
    QPushButton* Button1;  // 单字优先
    QPushButton* Button2;  // 关闭

    // Looks at the desktop anew and shows what it found.
    void refresh();

  protected:
    void FormCreate() override;
    void FormActivate() override;

  private:
    void Button1Click();
    InputMethod::Survey found;
};

extern TfrmImSetup* frmImSetup;
