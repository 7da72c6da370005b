// The grid widget.
#include "ui/Grid.h"

#include "db/Recordset.h"
#include "ui/MergedHeaderView.h"
#include "ui/Twips.h"

#include <QHeaderView>

namespace zostore::ui {

Grid::Grid(QWidget *parent) : QTableView(parent), m_model(new GridModel(this)) {
    setHorizontalHeader(new MergedHeaderView(m_model, this));
    setModel(m_model);
    // Fixed row heights keep 100,000 rows as cheap as 100: nothing is measured per row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->hide();
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_model, &GridModel::cellEdited, this, &Grid::afterEdit);
}

bool Grid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) {
    const bool userTrigger = trigger & (DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
    if (userTrigger && index.isValid() && m_model->isColEditable(index.column()) &&
        !(m_model->flags(index) & Qt::ItemIsEditable)) {
        emit editRefused(index.row() + m_model->fixedRows(), index.column());
        return false;
    }
    return QTableView::edit(index, trigger, event);
}

void Grid::fitColumns(int sampleRows, int maxPixels) {
    const QFontMetrics fm(font());
    const QFontMetrics hm(horizontalHeader()->font());
    const int last = std::min(rows(), fixedRows() + sampleRows);
    for (int c = 0; c < cols(); ++c) {
        int w = fixedRows() > 0 ? hm.horizontalAdvance(textMatrix(fixedRows() - 1, c)) : 0;
        for (int r = fixedRows(); r < last; ++r)
            w = std::max(w, fm.horizontalAdvance(textMatrix(r, c)));
        if (!isColumnHidden(c))
            setColumnWidth(c, std::min(maxPixels, w + 18));
    }
}

void Grid::setCols(int cols) {
    m_model->setCols(cols);
    m_keys.resize(cols);
}

void Grid::setFixedRows(int fixed) {
    m_model->setFixedRows(fixed);
    horizontalHeader()->setVisible(fixed > 0);
}

void Grid::clear() {
    m_model->clear();
}

QString Grid::text(int row, const QString &key) const {
    return textMatrix(row, colIndex(key));
}
void Grid::setText(int row, const QString &key, const QString &text) {
    setTextMatrix(row, colIndex(key), text);
}

void Grid::setColKey(int col, const QString &key) {
    if (col < 0 || col >= cols())
        return;
    m_keys.resize(cols());
    m_keys[col] = key;
}

int Grid::colIndex(const QString &key) const {
    for (int c = 0; c < m_keys.size(); ++c)
        if (m_keys.at(c).compare(key, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void Grid::setHeaders(const QStringList &captions) {
    if (fixedRows() < 1)
        setFixedRows(1);
    if (cols() < captions.size())
        setCols(int(captions.size()));
    for (int c = 0; c < captions.size(); ++c)
        setTextMatrix(0, c, captions.at(c));
}

void Grid::setColHidden(int col, bool hidden) {
    setColumnHidden(col, hidden);
}

void Grid::setGridRowHidden(int row, bool hidden) {
    if (row >= fixedRows())
        setRowHidden(row - fixedRows(), hidden);
}

bool Grid::gridRowHidden(int row) const {
    return row >= fixedRows() && isRowHidden(row - fixedRows());
}

int Grid::colWidthTwips(int col) const {
    return twips::fromPixels(columnWidth(col));
}
void Grid::setColWidthTwips(int col, int t) {
    setColumnWidth(col, twips::toPixels(t));
}

void Grid::setEditable(bool on) {
    m_model->setEditable(on);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
}

void Grid::loadRecordset(db::Recordset &rs) {
    const int nCols = rs.fieldCount();
    const int header = fixedRows() > 0 ? fixedRows() : 1;
    QVector<QString> cells;
    const int expected = std::max(rs.recordCount(), 0);
    cells.reserve(qsizetype(expected + header) * nCols);
    for (int r = 0; r < header; ++r)
        for (int c = 0; c < nCols; ++c)
            cells.append(r == header - 1 ? rs.fieldName(c) : QString());
    int nRows = header;
    for (; !rs.eof(); rs.moveNext(), ++nRows)
        for (int c = 0; c < nCols; ++c)
            cells.append(db::Recordset::textOf(rs.value(c)));
    m_model->setFixedRows(0);
    m_model->setAll(nRows, nCols, std::move(cells));
    m_keys = rs.fieldNames();
    setFixedRows(header);
}

void Grid::setData(int nRows, int nCols, QVector<QString> cells) {
    const int fixed = fixedRows();
    QVector<QString> all;
    all.reserve(qsizetype(nRows + fixed) * nCols);
    for (int r = 0; r < fixed; ++r)
        for (int c = 0; c < nCols; ++c)
            all.append(textMatrix(r, c));
    all.append(std::move(cells));
    // One model reset, and the header left shown: refilling is what search-as-you-type does per key.
    m_model->setAll(nRows + fixed, nCols, std::move(all), fixed);
    m_keys.resize(nCols);
}

int Grid::currentGridRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + fixedRows() : -1;
}

int Grid::currentGridCol() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : -1;
}

} // namespace zostore::ui
