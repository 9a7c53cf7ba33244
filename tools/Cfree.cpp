#include "tools/Cfree.h"

TfrmFree* frmFree = nullptr;

TfrmFree::TfrmFree(QWidget* parent) : TForm(parent) {
    setObjectName("frmFree");
    setWindowTitle(QStringLiteral("Tarvelle---->自由录入练习"));
}

void TfrmFree::FormCreate() {
    placeStandard();
}
