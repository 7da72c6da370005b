// Changes of a member's stored value and points, each one dated row with its operator and reason.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::members {

enum class MoveType { TopUp = 1, Refund = 2, PointsAdjust = 3, PointsExchange = 4 };

struct Move {
    qint64 id = 0;
    QDateTime date;
    MoveType type = MoveType::TopUp;
    double points = 0; // signed change
    double amount = 0; // signed change of the stored value
    double pointsAfter = 0;
    double balanceAfter = 0;
    QString user;
    QString reason;
};

// One step of the points-to-money table kept with the system parameters.
struct ExchangeStep {
    double points = 0;
    double amount = 0;
};

// Balances never go below zero, also when two workstations change the same card at once: each change
// is one conditional update of the member's row inside its transaction, so the second waits for the
// first and then sees its result.
class MemberMoves {
public:
    static constexpr int ReasonLength = 255;

    MemberMoves(db::Connection &conn, int userId);

    Move topUp(int vipId, double amount, const QString &reason);
    Move refund(int vipId, double amount, const QString &reason);
    // A signed number of points, added or taken.
    Move adjustPoints(int vipId, double points, const QString &reason);
    // count times one step of the table: its points leave the card, its money goes onto the stored value.
    Move exchange(int vipId, double stepPoints, int count, const QString &reason);

    // Newest first.
    QList<Move> history(int vipId) const;
    QList<ExchangeStep> exchangeSteps() const;

    static QString typeName(MoveType type);
    // The number in a text box, or a message naming the field.
    static double number(const QString &text, const QString &field);

private:
    Move apply(int vipId, MoveType type, double points, double amount, const QString &reason,
               const QString &what);

    db::Connection &m_conn;
    int m_user;
};

} // namespace zostore::modules::members
