// The one grid of the program: keyed columns, fixed header rows, texts by row and column.
#pragma once

#include "ui/GridModel.h"

#include <QTableView>
#include <functional>

namespace zostore::db {
class Recordset;
}

namespace zostore::ui {

class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);
    using QTableView::edit;

    // Row numbers include the fixed rows, which show as the column headers.
    int rows() const { return m_model->rows(); }
    int cols() const { return m_model->cols(); }
    int fixedRows() const { return m_model->fixedRows(); }
    void setRows(int rows) { m_model->setRows(rows); }
    void setCols(int cols);
    void setFixedRows(int fixed);
    void clear(); // no rows below the fixed ones; columns, keys and header texts stay
    void removeGridRow(int row) { m_model->removeGridRow(row); }

    QString textMatrix(int row, int col) const { return m_model->textMatrix(row, col); }
    void setTextMatrix(int row, int col, const QString &text) { m_model->setTextMatrix(row, col, text); }
    QString text(int row, const QString &colKey) const;
    void setText(int row, const QString &colKey, const QString &text);

    // Column keys, matched without regard to case; -1 when absent.
    void setColKey(int col, const QString &key);
    QString colKey(int col) const { return m_keys.value(col); }
    int colIndex(const QString &key) const;

    // Header texts of fixed row 0 (the usual single header row).
    void setHeaders(const QStringList &captions);

    void setColHidden(int col, bool hidden);
    bool colHidden(int col) const { return isColumnHidden(col); }
    void setGridRowHidden(int row, bool hidden);
    bool gridRowHidden(int row) const;

    int colWidthTwips(int col) const;
    void setColWidthTwips(int col, int twips);
    void setColAlignment(int col, Qt::Alignment a) { m_model->setColAlignment(col, a); }
    Qt::Alignment colAlignment(int col) const { return m_model->colAlignment(col); }

    void setCellForeColor(int row, int col, const QColor &c) { m_model->setCellForeColor(row, col, c); }
    void setCellBackColor(int row, int col, const QColor &c) { m_model->setCellBackColor(row, col, c); }
    QColor cellForeColor(int row, int col) const { return m_model->cellForeColor(row, col); }
    QColor cellBackColor(int row, int col) const { return m_model->cellBackColor(row, col); }

    void setEditable(bool on);
    void setColEditable(int col, bool on) { m_model->setColEditable(col, on); }
    // Asked before a cell is edited; returning false refuses the edit. It is also asked while painting,
    // so it must only answer: a window that explains a refusal does so on editRefused.
    void setBeforeEdit(std::function<bool(int row, int col)> hook) { m_model->beforeEdit = std::move(hook); }
    const QString &editedFrom() const { return m_model->editedFrom(); }

    // Columns, keys and header from the field names; one row per record. The set is read from its first row.
    void loadRecordset(db::Recordset &rs);
    // Every row at once, row-major; rows counts the data rows only.
    void setData(int rows, int cols, QVector<QString> cells);

    // Widths from the last header row and the first sampleRows rows' texts, capped at maxPixels;
    // stored layouts applied afterwards still win.
    void fitColumns(int sampleRows = 200, int maxPixels = 320);

    // Grid row of the current cell, -1 when none.
    int currentGridRow() const;
    int currentGridCol() const;

    GridModel *gridModel() const { return m_model; }

signals:
    // After the user changed a cell's text.
    void afterEdit(int row, int col);
    // The user tried to edit a cell of an editable column that the before-edit hook refused.
    void editRefused(int row, int col);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    GridModel *m_model;
    QStringList m_keys;
};

} // namespace zostore::ui
