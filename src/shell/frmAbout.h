// About box: program version, build time of the program file and the account database's version.
#pragma once
#include <QDialog>

class QLabel;

namespace zostore::shell {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *lblBuildTime() const { return m_lblBuildTime; }
    QLabel *lblVersion() const { return m_lblVersion; }
    QLabel *lblDbVersion() const { return m_lblDbVersion; }

    // The executable whose modification time is shown; tests point it elsewhere before the window opens.
    static void setExecutableOverride(const QString &path);

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void load();

    QLabel *m_lblBuildTime;
    QLabel *m_lblVersion;
    QLabel *m_lblDbVersion;
};

} // namespace zostore::shell
