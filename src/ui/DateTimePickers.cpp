// Date and time pickers.
#include "ui/DateTimePickers.h"

namespace zostore::ui {

QString dateText(const QDate &d) {
    return d.toString(DateFormat);
}
QString timeText(const QTime &t) {
    return t.toString(TimeFormat);
}

DatePicker::DatePicker(QWidget *parent) : QDateEdit(QDate::currentDate(), parent) {
    setDisplayFormat(DateFormat);
    setCalendarPopup(true);
}

TimePicker::TimePicker(QWidget *parent) : QTimeEdit(QTime::currentTime(), parent) {
    setDisplayFormat(TimeFormat);
}

} // namespace zostore::ui
