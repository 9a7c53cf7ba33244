#pragma once

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>

#include "app/form.h"

// The lesson browser on the course's HTML pages. Created once, it keeps its page and history for
// the whole run, so reopening it shows the page last read.
class TfrmWeb : public TForm {
    Q_OBJECT
  public:
    explicit TfrmWeb(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* Label1;
    QToolButton* SpeedButton1;  // "返回主题"
    QToolButton* SpeedButton2;  // "关闭[&C]"
    QPushButton* Button1;       // the cancel button, out of sight: Esc closes the window
    QTextBrowser* WebBrowser1;

    void SpeedButton1Click();
    void SpeedButton2Click();
    void Button1Click();

  protected:
    void FormCreate() override;
    void FormActivate() override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void navigate(const QString& drivePath);
};

extern TfrmWeb* frmWeb;
