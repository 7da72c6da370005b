// Members whose birthday falls within the next days, as the birthday strip lists them.
#pragma once
#include <QDate>
#include <QList>
#include <QString>

namespace zostore::shell {

struct BirthdayEntry {
    int row = 0;    // 0..2, entries fill a column downwards
    int column = 0; // a new column starts after row 2
    QString text;
    QString vipId;
    bool marked = false; // had a birthday bill in the window: shown red
};

inline constexpr auto BirthdayRemark = "会员生日优惠";

// One query per day from today to today + days - 1; none when days is 0 or less.
QList<BirthdayEntry> loadBirthdays(const QString &cnstr, int days, const QDate &today);

} // namespace zostore::shell
