// The card box of the top-up and points windows: a card number typed or swiped, then Enter, finds the member.
#pragma once

#include "modules/members/MemberStore.h"

#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;

namespace zostore::modules::members {

class CardLookup : public QWidget {
    Q_OBJECT
public:
    CardLookup(QString cnstr, QWidget *parent = nullptr);

    QLineEdit *txtCardNo = nullptr;
    QLabel *lblMember = nullptr;

    const std::optional<Member> &member() const { return m_member; }
    // Reads the member again (after a change) or shows the one given by id.
    void showMember(int vipId);
    void refresh();
    // Looks up the typed card; false, after saying why, when there is none.
    bool lookUp();

signals:
    void found();

private:
    void setMember(std::optional<Member> m);

    QString m_cnstr;
    std::optional<Member> m_member;
};

} // namespace zostore::modules::members
