// About box.
#include "shell/frmAbout.h"

#include "components/FileVersionComponent.h"
#include "db/Connection.h"
#include "startup/LoginContext.h"
#include "ui/ErrorTrap.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace zostore::shell {

namespace {
QString g_executable;
}

void frmAbout::setExecutableOverride(const QString &path) {
    g_executable = path;
}

frmAbout::frmAbout(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于本系统"));
    setStyleSheet(QStringLiteral("QDialog { background: white; } QLabel { color: #2e3745; }"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->setSpacing(10);
    auto *title = new QLabel(QStringLiteral("ZoStore 商业管理系统"), this);
    QFont f = title->font();
    f.setPixelSize(22);
    f.setBold(true);
    title->setFont(f);
    title->setStyleSheet(QStringLiteral("color: #1f4e79;"));
    layout->addWidget(title);
    layout->addWidget(
        new QLabel(QStringLiteral("适用于：Windows2000/Windows Xp/Windows 2003/Windows Vista"), this));
    m_lblBuildTime = new QLabel(QStringLiteral("编译时间："), this);
    m_lblVersion = new QLabel(QStringLiteral("程序版本："), this);
    m_lblDbVersion = new QLabel(QStringLiteral("数据库版本："), this);
    for (QLabel *l : {m_lblBuildTime, m_lblVersion, m_lblDbVersion})
        layout->addWidget(l);
    auto *notice = new QLabel(
        QStringLiteral("本软件受著作权法保护。未经许可，不得复制、修改或传播本软件的全部或部分内容。"), this);
    notice->setWordWrap(true);
    notice->setStyleSheet(QStringLiteral("color: #8a96a8;"));
    layout->addSpacing(8);
    layout->addWidget(notice);
    setFixedWidth(460);
    load();
}

void frmAbout::load() {
    ui::errorTrap([&] {
        const QString exe = g_executable.isEmpty() ? QCoreApplication::applicationFilePath() : g_executable;
        m_lblBuildTime->setText(QStringLiteral("编译时间：") + QFileInfo(exe).lastModified().toString(
                                                                   QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        m_lblVersion->setText(QStringLiteral("当前版本：") +
                              components::FileVersionComponent::programVersionLabel());
        db::Connection conn(startup::loginContext().cnstr());
        db::Recordset rs = conn.open(QStringLiteral("select FValue from t_systemprofile where FKey='Ver'"));
        if (!rs.eof())
            m_lblDbVersion->setText(QStringLiteral("数据库版本：") + rs.text(QStringLiteral("FValue")));
    });
}

void frmAbout::mouseReleaseEvent(QMouseEvent *e) {
    QDialog::mouseReleaseEvent(e);
    accept();
}

} // namespace zostore::shell
