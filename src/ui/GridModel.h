// Table model of a Grid: texts in one flat row-major array, sparse cell colours.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QStringList>
#include <QVector>
#include <functional>

namespace zostore::ui {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject *parent = nullptr);

    // Grid coordinates count the fixed rows; model rows are the rows below them.
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    int fixedRows() const { return m_fixedRows; }
    void setRows(int rows);
    void setCols(int cols);
    void setFixedRows(int fixed);
    void clear();
    // Removes one row below the fixed ones; the rows under it move up with their colours.
    void removeGridRow(int row);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    // Replaces every cell at once; cells.size() must be rows * cols.
    // fixedRows < 0 keeps the fixed rows as they are (no more than rows).
    void setAll(int rows, int cols, QVector<QString> cells, int fixedRows = -1);

    void setCellForeColor(int row, int col, const QColor &c);
    void setCellBackColor(int row, int col, const QColor &c);
    QColor cellForeColor(int row, int col) const;
    QColor cellBackColor(int row, int col) const;

    void setColAlignment(int col, Qt::Alignment a);
    Qt::Alignment colAlignment(int col) const { return m_alignment.value(col, Qt::AlignLeft); }
    void setEditable(bool on) { m_editable = on; }
    void setColEditable(int col, bool on);
    bool isColEditable(int col) const;
    // Text the last edited cell held before the edit, so a refused value can be put back.
    const QString &editedFrom() const { return m_editedFrom; }

    // Asked before a cell is edited; false refuses the edit.
    std::function<bool(int row, int col)> beforeEdit;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void cellEdited(int row, int col);

private:
    qint64 cellKey(int row, int col) const { return qint64(row) * 65536 + col; }
    bool inRange(int row, int col) const { return row >= 0 && row < m_rows && col >= 0 && col < m_cols; }
    void resize(int rows, int cols);

    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    bool m_editable = false;
    QString m_editedFrom;
    QVector<QString> m_cells;
    QHash<qint64, QColor> m_fore;
    QHash<qint64, QColor> m_back;
    QHash<int, Qt::Alignment> m_alignment;
    QVector<bool> m_colEditable;
};

} // namespace zostore::ui
