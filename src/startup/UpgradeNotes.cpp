// Upgrade notes once per program file version, shown by the program itself: an external editor may be missing.
#include "startup/UpgradeNotes.h"

#include "startup/ProgramFolder.h"
#include "startup/SettingsStore.h"
#include "ui/Dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>

namespace zostore::startup {

QDialog *openUpgradeNotes(QWidget *parent) {
    const QString path = programFile(QStringLiteral("升级说明.txt"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ui::dialogs().warning(QStringLiteral("无法打开升级说明：") + QDir::toNativeSeparators(path));
        return nullptr;
    }
    QTextStream in(&file);
    const QString text = in.readAll();

    auto *dlg = new QDialog(parent);
    dlg->setObjectName(QStringLiteral("UpgradeNotes"));
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setWindowTitle(QStringLiteral("升级说明"));
    auto *edit = new QPlainTextEdit(dlg);
    edit->setObjectName(QStringLiteral("txtNotes"));
    edit->setReadOnly(true);
    edit->setPlainText(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, dlg);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    auto *layout = new QVBoxLayout(dlg);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    dlg->resize(640, 480);
    dlg->show();
    return dlg;
}

bool showUpgradeNotesIfNew(const QString &fileVersion) {
    const QString app = QStringLiteral("carvex");
    const QString section = QStringLiteral("softver");
    const QString key = QStringLiteral("smls.ver");
    const QString shown = SettingsStore::value(app, section, key);
    // Plain text comparison by design: the version texts are built so that it orders them.
    if (QString::compare(fileVersion, shown, Qt::CaseSensitive) <= 0)
        return false;
    SettingsStore::setValue(app, section, key, fileVersion);
    openUpgradeNotes();
    return true;
}

} // namespace zostore::startup
