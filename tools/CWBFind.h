#pragma once

#include <QPushButton>

#include "app/form.h"
#include "data/query.h"
#include "data/session.h"
#include "data/table.h"

// The code lookup: characters of a code pattern, and codes and roots of a character.
class TfrmWBfind : public TForm {
    Q_OBJECT
  public:
    explicit TfrmWBfind(QWidget* parent = nullptr);

    TSession Session1;
    TTable Table1{Session1, QStringLiteral("Table1")};  // kzWb.DB
    TQuery* Query1;
    QPushButton* Button1;

  protected:
    void FormCreate() override;
};

extern TfrmWBfind* frmWBfind;
