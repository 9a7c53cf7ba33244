#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <cstdint>
#include <functional>

#include "app/form.h"
#include "data/session.h"
#include "data/table.h"
#include "drills/fingerkeyboard.h"
#include "drills/pagetiming.h"
#include "platform/keyletterbox.h"

// A typing box of the finger drill, for key letters as typed. Entering it, by Tab too, leaves
// the caret where it was instead of selecting the text.
class TFingerEdit : public KeyLetterBox {
  public:
    explicit TFingerEdit(QWidget* parent);

    std::function<void()> OnEnter;
    std::function<void(QKeyEvent*)> OnKeyDown;

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The finger drill: three pages of four ASCII lines with the next key marked on a keyboard.
class TfrmTT : public TForm {
    Q_OBJECT
  public:
    explicit TfrmTT(QWidget* parent = nullptr);

    TSession Session1;
    TTable Table1{Session1, QStringLiteral("Table1")};  // 111.DB

    QLabel *Label1, *Label2, *Label3, *Label4;  // the practice lines
    TFingerEdit *Edit1, *Edit2, *Edit3, *Edit4;
    QLabel* Image1;
    QList<FingerKeyboard::KeyShape*> shapes;  // in the order of the key table
    QLabel *Label5, *H1, *H2;                 // best page of the visit
    QLabel *Label6, *BC1, *BC2;               // latest page
    QLabel* NumH1;                            // best page time in ms; "6000000" for none yet
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;

    QString NextKey;
    PageClock pageClock;
    uint32_t EndTime = 0;
    int CharCount = 0;
    int PageNo = 1;

  protected:
    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;

  private:
    void EditChange(int box);
    void EditEnter(int box);
    void EditKeyDown(int box, QKeyEvent* event);
    void Button1Click();
    void Button3Click();

    void loadPage();
    void nextPage();
    void finishPage();
    void setNextKey(int box);
    void emptyBoxes();

    QLabel* lines[4];
    TFingerEdit* boxes[4];
};

extern TfrmTT* frmTT;
