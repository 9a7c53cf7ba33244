#pragma once

#include <QPushButton>

#include "app/form.h"
#include "data/session.h"
#include "data/table.h"

// The finger drill: three pages of four ASCII lines with the next key marked on a keyboard.
class TfrmTT : public TForm {
    Q_OBJECT
  public:
    explicit TfrmTT(QWidget* parent = nullptr);

    TSession Session1;
    TTable Table1{Session1, QStringLiteral("Table1")};  // 111.DB
    QPushButton* Button2;

  protected:
    void FormCreate() override;
};

extern TfrmTT* frmTT;
