#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVariantList>
#include <QVector>

#include "data/tablefile.h"

// A read-only query over one table file, shown in a grid. The SELECT names the file's table as
// "%1"; values typed by the pupil only ever arrive as bound parameters.
class TQuery : public QAbstractTableModel {
    Q_OBJECT
  public:
    TQuery(TSession& session, const QString& name, QObject* parent = nullptr);

    void Close();
    // tablePath is a drive path such as "\mavro\kzWb.DB"; the file name is matched ignoring case.
    void Open(const QString& tablePath, const QString& selectTemplate, const QVariantList& params);
    bool Active() const { return active; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    [[noreturn]] void fail(const QString& reason) const;

    TSession& owner;
    TableFile file;
    QString tablePathOpen;
    bool active = false;
    QStringList titles;
    // The cells' UTF-8 text end to end, row by row; a cell is decoded only when shown, so that a
    // list of every code fills the grid without building thousands of strings.
    QByteArray cells;
    QVector<int> cellEnds;
};
