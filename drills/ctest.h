#pragma once

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <functional>

#include "app/form.h"
#include "data/history.h"
#include "data/session.h"
#include "data/table.h"
#include "drills/hintlookup.h"
#include "drills/pagetiming.h"
#include "drills/typingbox.h"

// The text drill: five to eight practice lines typed through the input method, each checked at
// every change, with the short code and root pictures of the next character as a hint.
class TfrmTest : public TForm {
    Q_OBJECT
  public:
    explicit TfrmTest(QWidget* parent = nullptr);

    TSession Session1;
    TTable Table1{Session1, QStringLiteral("Table1")};  // 111.DB
    TTable Table2{Session1, QStringLiteral("Table2")};  // kzWb.db
    static constexpr int kImageSide = 75;               // Image1 .. Image4 are square
    HintLookup hints{Table2, QSize(kImageSide, kImageSide)};
    QPushButton* Button1;

    std::array<QLabel*, 8> lines{};     // Label1 .. Label8
    std::array<TypingBox*, 8> boxes{};  // Edit1 .. Edit8
    QFrame* Panel1;
    QLabel* Label9;
    QLabel* Label10;
    std::array<QLabel*, 4> images{};  // Image1 .. Image4
    QLabel* Image5;
    QLabel* Label11;
    QLabel* H1;
    QLabel* H2;
    QLabel* Label12;
    QLabel* BC1;
    QLabel* BC2;
    QLabel* NumH1;
    QLabel* Label13;  // what a fed page works on, over its lines; hidden for the course's lessons
    QPushButton* B1;

    PageClock pageClock;
    uint32_t EndTime = 0;
    int CharCount = 0;

    // Shows the hint for box n (from 1): the character after its caret.
    void showHint(int n);

    // A page that comes from lines instead of the lesson's table rows, with its place in its
    // lesson for the history.
    struct FedPage {
        QStringList lines;  // at most eight
        QString heading;    // empty for none
        int number = 1;
        int count = 1;
    };
    using NextPage = std::function<FedPage(const FedPage& finished)>;
    // Shows the drill modally on a lesson of fed pages, first the page first. After each finished
    // page, once the pupil has closed its result, next gives the page that follows; without next
    // the same page is typed again.
    int ShowFed(const QString& caption, const FedPage& first, NextPage next);
    int ShowLines(const QStringList& page) {
        return ShowFed(QString(), {page, QString(), 1, 1}, {});
    }

  protected:
    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;
    void FormDestroy() override;
    void hotKeyPressed(int id) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildHintArea();
    void buildRecords();
    void buildLines();

    void B1Click();
    void EditChange(int n);
    void EditGiveUp(int n, const QString& code);
    void EditEnter(int n);
    bool EditKeyDown(int n, int key);
    bool EditKeyPress(int n, int key);
    void finishPage();
    History::Page finishedPage(qint64 elapsed);
    void loadPage(int firstRow, int lineCount);
    void loadFed();
    void placeLines(int firstSlot);

    bool shown(int n) const;
    void focusBox(int n);

    QString fedCaption;
    FedPage fed;
    NextPage nextFed;
    int visitPages = 0;  // finished in this visit
};

extern TfrmTest* frmTest;
