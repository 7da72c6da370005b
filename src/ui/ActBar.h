// Menu bar and toolbar made of named bands holding named tools.
#pragma once

#include <QAction>
#include <QHash>
#include <QObject>
#include <QPoint>
#include <QStringList>

class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

namespace zostore::ui {

class ActBar : public QObject {
    Q_OBJECT
public:
    enum class BandType { MenuBar, Toolbar, Popup };

    // Menu-bar and toolbar bands are placed on the window.
    explicit ActBar(QMainWindow *window);

    void addBand(const QString &name, BandType type, const QString &caption = {});
    bool hasBand(const QString &name) const;
    BandType bandType(const QString &band) const;
    QMenu *popup(const QString &band) const; // nullptr unless a popup band
    QToolBar *toolbar(const QString &band) const;
    QMenuBar *menuBar() const { return m_menuBar; }

    // A tool of a band; the same tool name may appear in several bands, each a tool of its own.
    // Its QAction carries caption, enabled (available), visible, checked and the keyboard accelerator.
    QAction *addTool(const QString &band, const QString &name, const QString &caption,
                     const QKeySequence &shortcut = {}, bool checkable = false);
    // A tool that opens a popup band.
    QAction *addSubBand(const QString &band, const QString &name, const QString &caption,
                        const QString &popupBand);
    void addSeparator(const QString &band);

    // nullptr when the band has no such tool. Names match without regard to case.
    QAction *tool(const QString &band, const QString &name) const;
    QList<QAction *> toolsNamed(const QString &name) const;
    QStringList toolNames(const QString &band) const;
    static QString toolName(const QAction *a);

    // Shows a popup band at a screen position (the mouse pointer when null).
    void showPopup(const QString &band, QPoint globalPos = {});

signals:
    // The tool's name as designed.
    void toolClicked(const QString &name);

private:
    struct Band {
        BandType type;
        QWidget *widget; // QMenuBar, QToolBar or QMenu
        QList<QAction *> tools;
    };
    Band &band(const QString &name);
    const Band *findBand(const QString &name) const;

    QMainWindow *m_window;
    QMenuBar *m_menuBar = nullptr;
    QHash<QString, Band> m_bands; // lower-cased name
};

} // namespace zostore::ui
