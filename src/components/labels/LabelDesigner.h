// The format designer: the label formats, or one bill kind's print formats, of the account set, their size
// and sheet, and the placed elements.
#pragma once

#include "components/labels/LabelFormat.h"
#include "components/labels/LabelRenderer.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QGroupBox;
class QPushButton;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace zostore::components::labels {

class ElementEditor;
class LabelFormatStore;
class LabelPreview;

class LabelDesigner : public QDialog {
    Q_OBJECT
public:
    // tranType 51: labels; a bill kind: its formats; 0: bill formats, the kind chosen in cmbType.
    explicit LabelDesigner(const QString &cnstr, QWidget *parent = nullptr, int tranType = 51);

    QComboBox *cmbType;
    QListWidget *lstFormats;
    QLineEdit *txtName;
    QDoubleSpinBox *txtWidth, *txtHeight, *txtGapX, *txtGapY, *txtLeft, *txtTop;
    QSpinBox *txtColumns;
    QListWidget *lstElements;
    ElementEditor *editor;
    LabelPreview *preview;
    QLabel *lblProblems;

    const LabelFormat &format() const { return m_format; }
    bool isChanged() const { return m_changed; }
    // Each returns false (after saying why) when nothing was done.
    bool openFormat(const QString &name);
    void newFormat();
    bool save();
    bool removeFormat();
    bool setDefault();
    void addElement(LabelElement::Kind kind);
    void removeElement();
    void updateElement(int index, const LabelElement &element);
    int tranType() const { return m_type; }
    // Another bill kind's formats, after asking about unsaved changes.
    bool switchType(int tranType);

protected:
    void reject() override;

private:
    void build();
    void fillFormatList(const QString &current);
    void showFormat();
    void readFormatFields();
    void fillElementList();
    void markChanged();
    void refreshPreview();
    // Asks about unsaved changes; false when the user wants to stay.
    bool settleChanges();
    void loadSampleValues();
    void openFirstOrNew();
    void applyType();
    bool isBill() const { return m_type != 51; }
    // Runs one change against the stored formats; false (after showing why) when it failed.
    bool withStore(const std::function<void(LabelFormatStore &)> &change);

    QString m_cnstr;
    int m_type;
    QGroupBox *m_sheet = nullptr;
    QFormLayout *m_sheetForm = nullptr;
    QList<QPair<LabelElement::Kind, QPushButton *>> m_adds;
    LabelFormat m_format;
    QString m_originalName; // as stored; empty for a new format
    bool m_changed = false;
    bool m_loading = false;
};

} // namespace zostore::components::labels
