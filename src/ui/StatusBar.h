// Status bar with keyed panels; a click on a panel is reported by its key.
#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QStringList>

namespace zostore::ui {

class StatusPanel : public QLabel {
    Q_OBJECT
public:
    StatusPanel(const QString &key, QWidget *parent);
    const QString &key() const { return m_key; }

signals:
    void clicked(const QString &key);

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString m_key;
};

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    // widthTwips 0: the panel takes the remaining room.
    StatusPanel *addPanel(const QString &key, const QString &text = {}, int widthTwips = 0,
                          const QString &toolTip = {});
    StatusPanel *panel(const QString &key) const; // nullptr when absent
    QString panelText(const QString &key) const;
    void setPanelText(const QString &key, const QString &text);
    void setPanelWidthTwips(const QString &key, int widthTwips);
    const QStringList &panelKeys() const { return m_keys; }
    QString firstPanelKey() const { return m_keys.value(0); }

signals:
    void panelClicked(const QString &key);

private:
    QStringList m_keys;
};

} // namespace zostore::ui
