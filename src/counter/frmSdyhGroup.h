// The span of one discount group: a date and a time for each end.
#pragma once

#include <QDateTime>
#include <QDialog>

class QPushButton;

namespace zostore::ui {
class DatePicker;
class TimePicker;
}

namespace zostore::counter {

class frmSdyhGroup : public QDialog {
    Q_OBJECT
public:
    explicit frmSdyhGroup(QWidget *parent = nullptr);

    QDateTime FromDate;
    QDateTime ToDate;
    bool Isok() const { return m_isok; }
    // Sets both properties and the pickers, as opening the dialog does.
    void setDates(const QDateTime &from, const QDateTime &to);

    ui::DatePicker *dtpFromDate = nullptr;
    ui::TimePicker *dtpFromTime = nullptr;
    ui::DatePicker *dtpToDate = nullptr;
    ui::TimePicker *dtpToTime = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdExit = nullptr;

private:
    bool m_isok = false;
};

} // namespace zostore::counter
