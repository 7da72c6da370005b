// Date and time pickers in the program's own formats.
#pragma once

#include <QDateEdit>
#include <QTimeEdit>

namespace zostore::ui {

inline const QString DateFormat = QStringLiteral("yyyy-MM-dd");
inline const QString TimeFormat = QStringLiteral("HH:mm:ss");

QString dateText(const QDate &d);
QString timeText(const QTime &t);

class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);
    QString text() const { return dateText(date()); }
};

class TimePicker : public QTimeEdit {
    Q_OBJECT
public:
    explicit TimePicker(QWidget *parent = nullptr);
    QString text() const { return timeText(time()); }
};

} // namespace zostore::ui
