#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>

#include "app/form.h"
#include "data/history.h"
#include "data/session.h"
#include "data/table.h"
#include "drills/hintlookup.h"
#include "progress/ranking.h"
#include "progress/recordpictures.h"

// The pupil's record across runs: speed per page of a lesson over time, how well each root is
// known, the daily goal, the weakest characters with their codes and roots, the finger drill's
// keys shaded by error rate, and practice made from them. Created when first opened, not at
// start-up.
class TfrmRecord : public TForm {
    Q_OBJECT
  public:
    explicit TfrmRecord(QWidget* parent = nullptr);

    // Creates the window at its first use and shows it modally.
    static int showRecord();

    TSession Session1;
    TTable Table2{Session1, QStringLiteral("Table2")};  // kzWb.DB
    HintLookup hints{Table2};

    QComboBox* ComboBox1;      // drill and lesson of the chart
    QLabel* Label2;            // the page chosen on the chart
    QPushButton* Button4;      // 删除这一页
    QPushButton* Button5;      // 删除本课记录
    QStackedWidget* Panel1;    // the charts, or Label3 while there is no page yet
    QLabel* Label3;            // 还没有练习记录……
    QTabWidget* PageControl1;  // the speed chart and the root map
    QWidget* Chart1;           // the speed chart, or a label saying why there is none
    class MasteryMap* Image2;  // the roots by how well they are known
    QSpinBox* SpinEdit1;       // minutes a day
    QLabel* Label4;            // today's minutes
    QLabel* Label5;            // days in a row
    QLabel* Label6;            // pages to the target speed; hidden when not known
    QSpinBox* SpinEdit2;       // 智能练习's target speed; its minimum stands for 自动
    QSpinBox* SpinEdit3;       // how many keys 智能练习 works with
    QLabel* Label7;            // those keys
    QTableWidget* Grid1;       // the weakest characters
    QLabel* Image1;            // the finger keys' heat map
    QLabel* Label1;            // the heat map's legend
    QPushButton* Button1;      // 练习薄弱字
    QPushButton* Button2;      // 自选文章
    QPushButton* Button6;      // 导出记录
    QPushButton* Button3;      // closes on Esc, out of sight

    QList<Ranking::CharacterScore> weakest;
    QList<Ranking::KeyScore> keys;
    QList<History::Store::PageMark> shownPages;  // the chart's, oldest first
    int chosenPage = -1;                         // in shownPages

    // Reads the history anew and fills every part of the window.
    void refresh();

  protected:
    void FormCreate() override;
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ComboBox1Change();
    void Button1Click();
    void Button2Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void SpinEdit1Change();
    void SpinEdit2Change();
    void SpinEdit3Change();
    void choosePage(int index);
    void fillGrid();
    void drawHeatMap();
    void fillMasteryMap();
    void showGoal();
    void showAdaptive();
    QHash<QString, QPixmap> readDrawnRoots();
    QString fullCode(const QString& character);
    class ConfusionList* confusions = nullptr;
    QHash<QString, QPixmap> drawnRoots;  // the roots without a glyph
};

extern TfrmRecord* frmRecord;
