#pragma once

#include <QPushButton>

#include "app/form.h"
#include "data/session.h"
#include "data/table.h"

// The text drill: five to eight practice lines typed through the input method.
class TfrmTest : public TForm {
    Q_OBJECT
  public:
    explicit TfrmTest(QWidget* parent = nullptr);

    TSession Session1;
    TTable Table1{Session1, QStringLiteral("Table1")};  // 111.DB
    TTable Table2{Session1, QStringLiteral("Table2")};  // kzWb.db
    QPushButton* Button1;

  protected:
    void FormCreate() override;
    void FormDestroy() override;
};

extern TfrmTest* frmTest;
