#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include "app/form.h"
#include "data/query.h"
#include "data/session.h"
#include "data/table.h"
#include "drills/hintlookup.h"

// The code lookup: characters of a code pattern, and codes and roots of a character.
class TfrmWBfind : public TForm {
    Q_OBJECT
  public:
    explicit TfrmWBfind(QWidget* parent = nullptr);

    TSession Session1;
    TTable Table1{Session1, QStringLiteral("Table1")};  // kzWb.DB
    HintLookup hints{Table1};
    TQuery* Query1;
    QPushButton* Button1;

    QTabWidget* PageControl1;
    QWidget* TabSheet2;  // code to characters
    QWidget* TabSheet1;  // character to codes
    QGroupBox* GroupBox1;
    QGroupBox* GroupBox2;
    QGroupBox* GroupBox3;
    QTableView* DBGrid1;
    QLabel* Label3;
    QLineEdit* Edit2;
    QToolButton* SpeedButton2;
    QLabel* Pan;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
    QLabel* Image4;
    QLabel* Image5;
    QLabel* Label2;
    QLineEdit* Edit1;
    QLabel* Label1;
    QToolButton* SpeedButton1;

  protected:
    void FormCreate() override;
    void FormActivate() override;
    bool FormCloseQuery() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildCodeTab();
    void buildCharacterTab();
    void Edit2Change();
    bool Edit2KeyPress(QKeyEvent* event);
    void Edit1KeyUp();
    void Edit1Click();
    void SpeedButton1Click();
    void lookUpCharacter();
    void openQuery(const QString& pattern);
    void sizeGridColumns();
    QLabel* picture(int number) const;
};

extern TfrmWBfind* frmWBfind;
