// An empty account set on either backend with the helpers the period tests share.
#pragma once

#include "support/TestDatabase.h"

#include <QDate>
#include <QStringList>
#include <optional>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << s.toStdString(); }
QT_END_NAMESPACE

namespace zostore::test {

struct Line {
    int itemId;
    double qty;
    double price = 0;
    double amount = 0;
    double unitCost = 0;
    double cost = 0;
    int preSend = 0;
};

class PeriodFixture : public BackendTest {
protected:
    void SetUp() override;
    void TearDown() override;

    db::Connection &conn() { return m_target ? *m_target : *m_conn; }
    // An empty account set for 2024-01 on c, as SetUp makes it.
    static void prepareAccount(db::Connection &c);
    // Helpers below act on c from now on (nullptr: the fixture's own database again).
    void seedInto(db::Connection *c) { m_target = c; }
    void setProfile(const QString &key, const QString &value);
    void setCurrent(int year, int period, int startYear = 2020, int startPeriod = 1);
    void addItem(int id, const QString &number, const QString &name = QString());
    void addBalance(int itemId, int year, int period, double qty, double bal);
    // Returns the bill's FInterID; year and period follow the date.
    int addBill(int interId, int tranType, const QDate &date, const std::vector<Line> &lines, int deleted = 0);
    double entryField(int interId, int entryId, const QString &field);
    // The whole table as text rows in key order, numbers to 4 places, so two states compare exactly.
    QStringList dump(const QString &table);
    QMap<QString, QStringList> dumpAll();

private:
    std::optional<db::Connection> m_conn;
    db::Connection *m_target = nullptr;
};

} // namespace zostore::test
