#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "app/form.h"
#include "data/history.h"
#include "progress/typingmeasures.h"
#include "progress/wordtable.h"

class ModelText;
class TypingBox;

// 跟打练习: any text the pupil loads (载文) from the clipboard (Ctrl+V) or a file, cut into
// sections (段) and typed in one box under the model text, measured as typists measure: speed in
// characters a minute, keys a second and keys a character against the ideal. The clock starts at
// the first key; Esc pauses and Enter goes on; F3 types the section again. A section ends when
// every character is right: its 成绩 line goes to the clipboard and the page into the history;
// Enter then brings the next section.
class TfrmGenda : public TForm {
    Q_OBJECT
  public:
    explicit TfrmGenda(QWidget* parent = nullptr);

    // Made at the first use, as the record window.
    static TfrmGenda* window();
    static void showGenda();
    // Opens the window on the start of a text file (as 自选文章 reads it).
    static void showFile(const QString& path);
    // Opens the window on the pages of common phrases (词组练习).
    static void showPhrases();

    QPushButton* Button1;  // 载文: the clipboard's text
    QPushButton* Button2;  // 打开文章
    QCheckBox* CheckBox1;  // 去除空白
    QSpinBox* SpinBox1;    // characters a section
    QCheckBox* CheckBox2;  // 乱序
    QCheckBox* CheckBox3;  // 词语提示
    QLabel* Label1;        // 第 n 段 / 共 m 段, and the rule a phrase page trains
    ModelText* Model;
    TypingBox* Edit1;
    QLabel* Label2;  // the live line
    QLabel* Label3;  // the 成绩 line of the last section, or what to do next

    // Loads a text as 载文 does; caption names it in the history.
    void loadText(const QString& text, const QString& caption);
    void loadFile(const QString& path);
    // Sections given whole, each with the rule it trains.
    void loadPages(const QStringList& pages, const QStringList& rules, const QString& caption);
    void Button1Click();
    void Button2Click();

    int section() const { return current; }
    int sectionCount() const { return int(sections.size()); }
    bool paused() const { return isPaused; }
    // The measures so far, at the given tick count.
    TypingMeasures measuresAt(uint32_t now) const;
    const WordTable::Ideal& ideal() const { return cheapest; }
    const QString& sectionText() const { return model; }

  protected:
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void rebuildSections();
    void showSection(int index);
    void retype();
    void pause();
    void resume();
    void startClock();
    // The window's keys (Ctrl+V, Esc, Enter, F3); true when the key was one of them.
    bool handleKey(QKeyEvent* event);
    // Counts a key on its way to the box.
    void countKey(QKeyEvent* event);
    void Edit1Change();
    void finishSection();
    QList<History::Stroke> strokes() const;
    qint64 elapsedAt(uint32_t now) const;

    QString loaded;  // as loaded, before blanks are removed
    QString caption = QStringLiteral("跟打练习");
    QStringList sections;
    QStringList fixedSections;  // pages given whole (词组练习), instead of cutting loaded
    QStringList rules;          // of each of fixedSections
    int current = 0;
    QString model;
    WordTable::Ideal cheapest;
    KeyCounter counter;
    // Of each character of the section: when it first stood right (ms on the clock, -1 before),
    // the wrong characters typed in its place, and the code letters of its commit.
    struct Place {
        qint64 rightAt = -1;
        QStringList wrongs;
        QString code;
    };
    std::vector<Place> places;
    bool started = false;
    bool isPaused = false;
    bool finished = false;
    uint32_t clockStart = 0;  // tick count at the start, or at the last resume
    qint64 runBefore = 0;     // ms run before the last pause
    int visitPages = 0;
};

extern TfrmGenda* frmGenda;
