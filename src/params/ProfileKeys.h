// The profile keys the parameters window edits: control kind, page, captions and defaults.
#pragma once

#include <QList>
#include <QString>

namespace zostore::params {

enum class KeyKind { Check, Options, Text, List };
enum class Page { Stock, Pos, Member, Comm };

struct KeyOption {
    int index;
    QString caption;
};

struct ProfileKey {
    QString key;
    KeyKind kind;
    Page page;
    QString caption;        // check box caption as stored, or the text box's label
    QString defaultValue;   // shown, and so saved, when the row is absent
    QList<KeyOption> options;
    QString frame;          // the group the control sits in, empty for none
    QString suffix;         // text after a text box
    QString prefix;         // text between the label and the box
};

const QList<ProfileKey> &profileKeys();
// Matched without regard to case; nullptr for a key the window does not edit.
const ProfileKey *findProfileKey(const QString &key);

// The two drop-down keys and their fixed descriptions.
inline const QString CostStylePriceNameKey = QStringLiteral("CostStyle_PriceName");
inline const QString CostStylePriceNameDescription = QStringLiteral("手工指定成本法时对应的成本计价方式");
inline const QString CardTypeKey = QStringLiteral("CardType");
inline const QString CardTypeDescription = QStringLiteral("会员卡类型");
QStringList cardTypes();

} // namespace zostore::params
