#pragma once

#include "app/form.h"

// The free-typing editor.
class TfrmFree : public TForm {
    Q_OBJECT
  public:
    explicit TfrmFree(QWidget* parent = nullptr);

  protected:
    void FormCreate() override;
};

extern TfrmFree* frmFree;
