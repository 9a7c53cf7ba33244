#pragma once

#include <QLabel>
#include <QPushButton>

#include "app/form.h"
#include "data/session.h"
#include "data/table.h"

// The root drill: pages of 28 root pictures answered with key letters.
class TfrmwbTest1 : public TForm {
    Q_OBJECT
  public:
    explicit TfrmwbTest1(QWidget* parent = nullptr);

    TSession Session1;
    TTable Table1{Session1, QStringLiteral("Table1")};  // wb1.db
    QLabel* JB1;                                        // range size
    QLabel* JB2;                                        // range start
    QPushButton* Button4;

  protected:
    void FormCreate() override;
    void FormDestroy() override;
};

extern TfrmwbTest1* frmwbTest1;
