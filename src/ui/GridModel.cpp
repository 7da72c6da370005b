// Grid table model.
#include "ui/GridModel.h"

#include <QBrush>
#include <QFont>

namespace zostore::ui {

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

void GridModel::resize(int rows, int cols) {
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    if (rows == m_rows && cols == m_cols)
        return;
    // Rows coming or going below the header keep the view's current cell and selection: a reset would
    // send the next keystroke of a clerk entering lines to the top of the grid.
    if (cols == m_cols && rows >= m_fixedRows && m_rows >= m_fixedRows) {
        if (rows > m_rows) {
            beginInsertRows({}, m_rows - m_fixedRows, rows - m_fixedRows - 1);
            m_cells.resize(qsizetype(rows) * cols);
            m_rows = rows;
            endInsertRows();
        } else {
            beginRemoveRows({}, rows - m_fixedRows, m_rows - m_fixedRows - 1);
            m_cells.resize(qsizetype(rows) * cols);
            for (auto *colours : {&m_fore, &m_back})
                for (auto it = colours->begin(); it != colours->end();)
                    it = it.key() / 65536 >= rows ? colours->erase(it) : std::next(it);
            m_rows = rows;
            endRemoveRows();
        }
        return;
    }
    beginResetModel();
    if (cols == m_cols) {
        m_cells.resize(qsizetype(rows) * cols);
    } else {
        QVector<QString> cells(qsizetype(rows) * cols);
        const int keepRows = std::min(rows, m_rows);
        const int keepCols = std::min(cols, m_cols);
        for (int r = 0; r < keepRows; ++r)
            for (int c = 0; c < keepCols; ++c)
                cells[qsizetype(r) * cols + c] = std::move(m_cells[qsizetype(r) * m_cols + c]);
        m_cells = std::move(cells);
        m_fore.clear();
        m_back.clear();
    }
    m_rows = rows;
    m_cols = cols;
    m_colEditable.resize(cols);
    m_fixedRows = std::min(m_fixedRows, m_rows);
    endResetModel();
}

void GridModel::setRows(int rows) {
    resize(rows, m_cols);
}
void GridModel::setCols(int cols) {
    resize(m_rows, cols);
}

void GridModel::setFixedRows(int fixed) {
    fixed = std::clamp(fixed, 0, std::max(m_rows, fixed));
    if (fixed > m_rows)
        resize(fixed, m_cols);
    beginResetModel();
    m_fixedRows = fixed;
    endResetModel();
}

void GridModel::clear() {
    beginResetModel();
    m_cells.resize(qsizetype(m_fixedRows) * m_cols);
    m_rows = m_fixedRows;
    m_fore.clear();
    m_back.clear();
    endResetModel();
}

void GridModel::removeGridRow(int row) {
    if (row < m_fixedRows || row >= m_rows)
        return;
    const int modelRow = row - m_fixedRows;
    beginRemoveRows({}, modelRow, modelRow);
    m_cells.remove(qsizetype(row) * m_cols, m_cols);
    for (auto *colours : {&m_fore, &m_back}) {
        QHash<qint64, QColor> moved;
        for (auto it = colours->cbegin(); it != colours->cend(); ++it) {
            const int r = int(it.key() / 65536);
            if (r != row)
                moved.insert(r > row ? it.key() - 65536 : it.key(), it.value());
        }
        *colours = std::move(moved);
    }
    --m_rows;
    endRemoveRows();
}

QString GridModel::textMatrix(int row, int col) const {
    return inRange(row, col) ? m_cells.at(qsizetype(row) * m_cols + col) : QString();
}

void GridModel::setTextMatrix(int row, int col, const QString &text) {
    if (!inRange(row, col))
        return;
    m_cells[qsizetype(row) * m_cols + col] = text;
    if (row < m_fixedRows)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - m_fixedRows, col), index(row - m_fixedRows, col));
}

void GridModel::setAll(int rows, int cols, QVector<QString> cells, int fixedRows) {
    Q_ASSERT(cells.size() == qsizetype(rows) * cols);
    beginResetModel();
    m_rows = rows;
    m_cols = cols;
    m_cells = std::move(cells);
    m_fore.clear();
    m_back.clear();
    m_colEditable.resize(cols);
    m_fixedRows = std::min(fixedRows < 0 ? m_fixedRows : fixedRows, m_rows);
    endResetModel();
}

void GridModel::setCellForeColor(int row, int col, const QColor &c) {
    if (!inRange(row, col))
        return;
    m_fore.insert(cellKey(row, col), c);
    if (row >= m_fixedRows)
        emit dataChanged(index(row - m_fixedRows, col), index(row - m_fixedRows, col), {Qt::ForegroundRole});
}

void GridModel::setCellBackColor(int row, int col, const QColor &c) {
    if (!inRange(row, col))
        return;
    m_back.insert(cellKey(row, col), c);
    if (row >= m_fixedRows)
        emit dataChanged(index(row - m_fixedRows, col), index(row - m_fixedRows, col), {Qt::BackgroundRole});
}

QColor GridModel::cellForeColor(int row, int col) const {
    return m_fore.value(cellKey(row, col));
}
QColor GridModel::cellBackColor(int row, int col) const {
    return m_back.value(cellKey(row, col));
}

void GridModel::setColAlignment(int col, Qt::Alignment a) {
    m_alignment.insert(col, a);
}

void GridModel::setColEditable(int col, bool on) {
    if (col >= 0 && col < m_cols)
        m_colEditable[col] = on;
}

bool GridModel::isColEditable(int col) const {
    return m_editable || m_colEditable.value(col);
}

int GridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows - m_fixedRows;
}
int GridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_cols;
}

QVariant GridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row() + m_fixedRows;
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_cells.at(qsizetype(row) * m_cols + col);
    case Qt::ForegroundRole: {
        const auto it = m_fore.constFind(cellKey(row, col));
        return it == m_fore.cend() ? QVariant() : QVariant(QBrush(*it));
    }
    case Qt::BackgroundRole: {
        const auto it = m_back.constFind(cellKey(row, col));
        return it == m_back.cend() ? QVariant() : QVariant(QBrush(*it));
    }
    case Qt::TextAlignmentRole: {
        const auto it = m_alignment.constFind(col);
        return it == m_alignment.cend() ? QVariant() : QVariant(int(*it | Qt::AlignVCenter));
    }
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row() + m_fixedRows;
    const QString text = value.toString();
    QString &cell = m_cells[qsizetype(row) * m_cols + index.column()];
    if (cell == text)
        return true;
    m_editedFrom = cell;
    cell = text;
    emit dataChanged(index, index);
    emit cellEdited(row, index.column());
    return true;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        return role == Qt::DisplayRole ? QVariant(section + m_fixedRows) : QVariant();
    }
    if (section < 0 || section >= m_cols)
        return {};
    if (role == Qt::DisplayRole) {
        QStringList lines;
        for (int r = 0; r < m_fixedRows; ++r)
            lines << m_cells.at(qsizetype(r) * m_cols + section);
        return lines.join(QLatin1Char('\n'));
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid() || !isColEditable(index.column()))
        return f;
    if (beforeEdit && !beforeEdit(index.row() + m_fixedRows, index.column()))
        return f;
    return f | Qt::ItemIsEditable;
}

} // namespace zostore::ui
