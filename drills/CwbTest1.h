#pragma once

#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QRandomGenerator>
#include <functional>

#include "app/form.h"
#include "data/session.h"
#include "data/table.h"
#include "drills/answerbox.h"
#include "drills/pagetiming.h"

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
    QPushButton* Button5;  // hides the key frames
    QPushButton* Button6;  // marks item 1's key

    QWidget* Panel1;
    QList<QLabel*> p;            // p[1..28]: the root pictures
    QList<AnswerBox*> E;         // E[1..28]
    QList<QLabel*> L;            // L[1..28]: the expected keys
    QList<QLabel*> LL;           // LL[1..28]: the hints
    QLabel* Image1;              // the key chart
    QList<KeyFrame*> keyFrames;  // A..Y, in RootChart::letters() order
    QLabel* TT;                  // the hint line
    QLabel* H1;
    QLabel* H2;
    QLabel* BC1;
    QLabel* BC2;
    QLabel* NumH1;
    QLabel* DBImage1;

    // The page draws are seeded from the clock at each showing and each page; tests give a fixed
    // seed instead to make pages repeatable. An empty function restores the clock.
    void setSeedSource(std::function<quint32()> source);

  protected:
    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;
    void FormDestroy() override;
    void hotKeyPressed(int id) override;

  private:
    int visitPages = 0;  // finished in this visit
    void buildItems();
    void buildChart();
    void buildLabels();

    void loadPage(int strokeStart);
    void moveTo(int position);
    void seedRandom();
    void readRange();
    void setAllNormal();
    void focusBox(int i);
    KeyFrame* frameFor(const QString& letter) const;
    bool keyMatches(int i) const;

    bool boxKeyDown(int i, int key);
    void boxKeyPress(int i, QChar c);
    void boxChange(int i);
    void boxClick(int i);
    void boxEnter(int i);
    void E28Change();
    void finishPage();
    void Button5Click();
    void Button6Click();

    int rangeSize = 0;
    int rangeStart = 0;
    bool alternate = false;  // stroke-rule pages: which start came last
    PageClock pageClock;
    QRandomGenerator random;
    std::function<quint32()> seedSource;
};

extern TfrmwbTest1* frmwbTest1;
