// The members of an account set: card, owner, birth date, expiry and state; adding, editing, removing.
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::members {

enum class CardState { InUse = 0, Disabled = 1, Lost = 2 };

struct Member {
    int id = 0;
    QString cardNo;
    QString owner;
    QString phone;
    QDate birthDate;
    double points = 0;
    double balance = 0;
    QDate expiry; // null: never expires
    CardState state = CardState::InUse;
    bool deleted = false;

    bool expiredOn(const QDate &day) const { return expiry.isValid() && expiry < day; }
};

// One line of the member list, as text.
struct MemberListRow {
    int id = 0;
    QString idText, cardNo, owner, phone, birthDate, points, balance, expiry, state;
};

struct MemberInput {
    QString cardNo;
    QString owner;
    QString phone;
    QDate birthDate;
    QDate expiry;
    CardState state = CardState::InUse;
};

// Every change is refused with a Chinese message (zostore::Error) naming the field, and then changes
// nothing. Points and stored value change only through MemberMoves, which records each change.
class MemberStore {
public:
    static constexpr int CardLength = 30;
    static constexpr int OwnerLength = 80;
    static constexpr int PhoneLength = 30;

    explicit MemberStore(db::Connection &conn);

    // Members not removed, in card order.
    QList<Member> members() const;
    // The same members as the list shows them; one pass over the rows, for lists of many thousands.
    QList<MemberListRow> listRows() const;
    static const QString ListSql;
    Member member(int id) const;
    std::optional<Member> findCard(const QString &cardNo) const;
    // The profile key CardLen as a number; 0 when any length will do.
    int cardLength() const;

    int add(const MemberInput &input);
    void update(int id, const MemberInput &input);
    // True when the row went; false when bills or movements name the member, who is then kept, marked.
    bool remove(int id);
    bool hasHistory(int id) const;

    static QString stateName(CardState state);
    // A date typed as yyyy-MM-dd; empty text is no date; anything else a message naming the field.
    static QDate date(const QString &text, const QString &field);
    // One line about the member for the windows: card, owner, phone, points, stored value, state.
    static QString summary(const Member &m);
    // Points as shops write them: no decimals unless there are some.
    static QString pointsText(double points);

private:
    MemberInput checked(const MemberInput &input) const;
    void requireFreeCard(const QString &cardNo, int exceptId) const;

    db::Connection &m_conn;
};

} // namespace zostore::modules::members
