// The receipt drawn on its paper, column by column, with lines wider than the paper marked.
#pragma once

#include "counter/ReceiptTemplate.h"

#include <QWidget>

namespace zostore::counter {

class ReceiptPreviewView : public QWidget {
    Q_OBJECT
public:
    explicit ReceiptPreviewView(QWidget *parent = nullptr);

    void setReceipt(const Receipt &receipt, bool widerSpacing);
    const Receipt &receipt() const { return m_receipt; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int columnWidth() const;
    int lineHeight() const;
    int widestColumns() const;

    Receipt m_receipt;
    bool m_widerSpacing = false;
};

} // namespace zostore::counter
