// Text box with a history of entered texts, a drop-down list filled on demand, and keyed entries.
#include "components/supertextbox/SuperTextbox.h"

#include "db/Connection.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSettings>

namespace zostore::components {

namespace {

constexpr int HistorySize = 10;

class DropCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

const QString SettingsApp = QStringLiteral("ZoStore");
const QString SettingsSection = QStringLiteral("SuperTextbox");

} // namespace

SuperTextbox::SuperTextbox(QWidget *parent) : QWidget(parent) {
    auto *box = new DropCombo(this);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->beforePopup = [this] { emit dropDown(); };
    m_box = box;
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_box);
    setFocusProxy(m_box);
    connect(m_box, &QComboBox::activated, this, [this] { emit itemChosen(); });
    connect(m_box, &QComboBox::editTextChanged, this, &SuperTextbox::textChanged);
}

QString SuperTextbox::text() const { return m_box->currentText(); }

void SuperTextbox::setText(const QString &text) { m_box->setEditText(text); }

void SuperTextbox::setPlaceholderText(const QString &hint) { m_box->lineEdit()->setPlaceholderText(hint); }

void SuperTextbox::setPasswordMode(bool on) {
    // A password is neither listed nor remembered.
    m_password = on;
    m_box->lineEdit()->setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
}

void SuperTextbox::clearList() {
    const QString keep = text();
    m_box->clear();
    setText(keep);
}

void SuperTextbox::addItem(const QString &text, qint64 key) {
    const QString keep = this->text();
    m_box->addItem(text, key);
    setText(keep);
}

int SuperTextbox::listCount() const { return m_box->count(); }

QString SuperTextbox::listText(int index) const { return m_box->itemText(index); }

void SuperTextbox::choose(int index) {
    m_box->setCurrentIndex(index);
    setText(m_box->itemText(index));
    emit itemChosen();
}

qint64 SuperTextbox::key() const {
    const int i = m_box->findText(text(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    return i < 0 ? 0 : m_box->itemData(i).toLongLong();
}

void SuperTextbox::setHistoryName(const QString &name) {
    m_historyName = name;
    if (m_password || name.isEmpty())
        return;
    const QString keep = text();
    const QSettings s(SettingsApp, SettingsSection);
    for (const QString &t : s.value(name).toStringList())
        if (m_box->findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            m_box->addItem(t, 0);
    setText(keep);
}

void SuperTextbox::remember() {
    if (m_password || m_historyName.isEmpty() || text().isEmpty())
        return;
    QSettings s(SettingsApp, SettingsSection);
    QStringList h = s.value(m_historyName).toStringList();
    h.removeAll(text());
    h.prepend(text());
    s.setValue(m_historyName, h.mid(0, HistorySize));
}

void SuperTextbox::fillStores(db::Connection &conn) {
    const QString keep = text();
    m_box->clear();
    m_box->addItem(QString(), 0);
    for (auto rs = conn.open(QStringLiteral("select FItemID,FNumber,FName from t_Stock order by FNumber")); !rs.eof();
         rs.moveNext())
        m_box->addItem(rs.text(QStringLiteral("FNumber")) + QLatin1Char(' ') + rs.text(QStringLiteral("FName")),
                       rs.toInt64(QStringLiteral("FItemID")));
    setText(keep);
}

} // namespace zostore::components
