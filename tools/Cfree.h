#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolButton>

#include "app/form.h"
#include "tools/textfile.h"

// The free-typing editor: plain text with the caret's row and column, open and save. A file is
// saved in the encoding it was opened in; a new one in GBK.
class TfrmFree : public TForm {
    Q_OBJECT
  public:
    explicit TfrmFree(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1;
    QToolButton* SpeedButton5;  // 新建
    QToolButton* SpeedButton3;  // 打开文本
    QToolButton* SpeedButton2;  // 保存文本
    QToolButton* SpeedButton4;  // 五笔帮助
    QToolButton* SpeedButton1;  // 关闭
    QLabel* Label1;             // the current file name, empty for none
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;  // row and column
    QLabel* StatusPanel1;  // the file line

  protected:
    void FormCreate() override;
    void FormActivate() override;
    bool FormCloseQuery() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* button(const char* name, const QString& caption, const QPixmap& picture, int x);
    void Memo1Change();
    void Memo1Click();
    void Memo1KeyUp();
    void showRowAndColumn();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    QString textToSave() const;
    // Raises the error that names the first character GBK cannot hold, and selects it.
    void refuseUnencodable(const QString& text);
    void showFile(const QString& path);

    TextFile::Format fileFormat = TextFile::Format::Gbk;  // of the file named in Label1
};

extern TfrmFree* frmFree;
