// The daily reminders: four lists in one grid, chosen by the page buttons; sale prices corrected in place.
#pragma once

#include "reminders/ReminderPages.h"

#include <QDialog>
#include <array>

class QMainWindow;
class QPushButton;

namespace zostore::ui {
class ActBar;
class Grid;
} // namespace zostore::ui

namespace zostore::reminders {

class frmActionList : public QDialog {
    Q_OBJECT
public:
    explicit frmActionList(QWidget *parent = nullptr);

    std::array<QPushButton *, PageCount> BtnPage{};
    ui::Grid *Flex = nullptr;
    ui::ActBar *actBar = nullptr;

    bool MayEditSalePrice = false;
    bool MayViewPurPrice = false;

    // The page whose button is disabled, -1 when none.
    int shownPage() const;
    void showPage(int page);
    void runTool(const QString &key);
    const QString &stockName() const { return m_stockName; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void build();
    void loadGrid(const ReminderPage &page);
    bool beforeEdit(int row, int col) const;
    void afterEdit(int row, int col);
    void hidePurchasePrice();
    QString layoutKey(int page) const;

    QMainWindow *m_bar = nullptr;
    bool m_firstActivate = true;
    bool m_loading = false;
    QString m_stockName;
};

} // namespace zostore::reminders
