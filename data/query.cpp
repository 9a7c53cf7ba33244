#include "data/query.h"

#include <sqlite3.h>

#include "platform/errors.h"

TQuery::TQuery(TSession& session, const QString& name, QObject* parent)
    : QAbstractTableModel(parent), owner(session) {
    setObjectName(name);
}

void TQuery::Close() {
    if (!active)
        return;
    beginResetModel();
    cells.clear();
    cellEnds.clear();
    titles.clear();
    active = false;
    endResetModel();
}

void TQuery::Open(const QString& tablePath, const QString& selectTemplate,
                  const QVariantList& params) {
    Close();
    if (tablePath.compare(tablePathOpen, Qt::CaseInsensitive) != 0 || !file.handle()) {
        const qsizetype slash = tablePath.lastIndexOf(QLatin1Char('\\'));
        file.open(owner, tablePath.left(qMax<qsizetype>(slash, 0)), tablePath.mid(slash + 1));
        tablePathOpen = tablePath;
    }
    const QByteArray sql = selectTemplate.arg(quoted(file.tableName())).toUtf8();
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(file.handle(), sql.constData(), -1, &s, nullptr) != SQLITE_OK)
        fail(file.problem());
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray value = params[i].toString().toUtf8();
        sqlite3_bind_text(s, i + 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
    }
    beginResetModel();
    const int columns = sqlite3_column_count(s);
    for (int c = 0; c < columns; ++c) titles << QString::fromUtf8(sqlite3_column_name(s, c));
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(s)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            cells.append(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                         sqlite3_column_bytes(s, c));
            cellEnds.append(int(cells.size()));
        }
    }
    // A damaged file shows no half list: the grid stays empty and the pupil is told.
    const bool damaged = result != SQLITE_DONE;
    const QString problem = damaged ? file.problem() : QString();
    sqlite3_finalize(s);
    if (damaged) {
        cells.clear();
        cellEnds.clear();
        titles.clear();
        endResetModel();
        fail(problem);
    }
    active = true;
    endResetModel();
}

void TQuery::fail(const QString& reason) const {
    throw AppError::lasting(QStringLiteral("无法查询数据表 %1：%2。").arg(file.path(), reason));
}

int TQuery::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || titles.isEmpty() ? 0 : int(cellEnds.size() / titles.size());
}

int TQuery::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(titles.size());
}

QVariant TQuery::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.column() >= titles.size())
        return {};
    const int cell = index.row() * int(titles.size()) + index.column();
    if (cell >= cellEnds.size())
        return {};
    const int start = cell == 0 ? 0 : cellEnds[cell - 1];
    return QString::fromUtf8(cells.constData() + start, cellEnds[cell] - start);
}

QVariant TQuery::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return titles.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
