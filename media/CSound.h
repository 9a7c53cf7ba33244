#pragma once

#include "app/form.h"

// The music settings: one of ten tunes, cycle, repeat one, stop.
class TfrmSound : public TForm {
    Q_OBJECT
  public:
    explicit TfrmSound(QWidget* parent = nullptr);

  protected:
    void FormCreate() override;
};

extern TfrmSound* frmSound;
