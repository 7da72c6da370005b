#include "modules/members/CardLookup.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "ui/ErrorTrap.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zostore::modules::members {

CardLookup::CardLookup(QString cnstr, QWidget *parent) : QWidget(parent), m_cnstr(std::move(cnstr)) {
    txtCardNo = new QLineEdit(this);
    txtCardNo->setObjectName(QStringLiteral("txtCardNo"));
    txtCardNo->setMaxLength(MemberStore::CardLength);
    txtCardNo->setPlaceholderText(QStringLiteral("输入或刷卡后按回车"));
    lblMember = new QLabel(QStringLiteral("（未选会员）"), this);
    lblMember->setObjectName(QStringLiteral("lblMember"));
    lblMember->setWordWrap(true);
    lblMember->setMinimumHeight(lblMember->fontMetrics().height() * 2 + 4);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(QStringLiteral("会员卡号(&K)："), this);
    caption->setBuddy(txtCardNo);
    row->addWidget(caption);
    row->addWidget(txtCardNo, 1);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addLayout(row);
    lay->addWidget(lblMember);
    connect(txtCardNo, &QLineEdit::returnPressed, this, [this] {
        ui::errorTrap([this] {
            if (lookUp())
                emit found();
        });
    });
    // A card typed over the shown one no longer names that member.
    connect(txtCardNo, &QLineEdit::textEdited, this, [this] {
        if (m_member)
            setMember(std::nullopt);
    });
}

void CardLookup::setMember(std::optional<Member> m) {
    m_member = std::move(m);
    lblMember->setText(m_member ? MemberStore::summary(*m_member) : QStringLiteral("（未选会员）"));
}

bool CardLookup::lookUp() {
    const QString card = txtCardNo->text().trimmed();
    if (card.isEmpty())
        throw Error(QStringLiteral("请输入会员卡号。"));
    db::Connection conn(m_cnstr);
    std::optional<Member> m = MemberStore(conn).findCard(card);
    setMember(m);
    if (!m)
        throw Error(QStringLiteral("没有卡号为“%1”的会员。").arg(db::shortened(card)));
    return true;
}

void CardLookup::showMember(int vipId) {
    db::Connection conn(m_cnstr);
    const Member m = MemberStore(conn).member(vipId);
    txtCardNo->setText(m.cardNo);
    setMember(m);
}

void CardLookup::refresh() {
    if (m_member)
        showMember(m_member->id);
}

} // namespace zostore::modules::members
