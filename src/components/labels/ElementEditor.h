// The property form of one placed label element; rows that do not apply to its kind are hidden.
#pragma once

#include "components/labels/LabelFormat.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;

namespace zostore::components::labels {

class ElementEditor : public QWidget {
    Q_OBJECT
public:
    explicit ElementEditor(QWidget *parent = nullptr);

    // nullptr shows an empty, disabled form.
    void setElement(const LabelElement *element);
    LabelElement element() const { return m_element; }
    // The fields the field box offers: an item's for labels, a bill's header for bill formats.
    void setFields(const QList<QPair<QString, QString>> &fields, bool bill = false);

signals:
    void changed(const LabelElement &element);

private:
    void readBack();
    void showRowsFor(LabelElement::Kind kind);

    LabelElement m_element;
    bool m_loading = false;
    bool m_bill = false;
    QFormLayout *m_form;
    QLabel *m_kind;
    QDoubleSpinBox *m_x, *m_y, *m_w, *m_h, *m_font, *m_lineWidth;
    QLineEdit *m_text;
    QComboBox *m_field, *m_align, *m_symbology;
    QCheckBox *m_bold, *m_digits;
    QListWidget *m_columns;
};

// The element kind as the designer names it.
QString kindCaption(LabelElement::Kind kind, bool bill = false);

} // namespace zostore::components::labels
