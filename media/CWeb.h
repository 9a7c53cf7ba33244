#pragma once

#include <QPushButton>
#include <QTextBrowser>

#include "app/form.h"

// The lesson browser on the course's HTML pages.
class TfrmWeb : public TForm {
    Q_OBJECT
  public:
    explicit TfrmWeb(QWidget* parent = nullptr);

    QTextBrowser* WebBrowser1;
    QPushButton* Button1;

  protected:
    void FormCreate() override;
};

extern TfrmWeb* frmWeb;
