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

namespace zostore::components::labels {

class ElementEditor : public QWidget {
    Q_OBJECT
public:
    explicit ElementEditor(QWidget *parent = nullptr);

    // nullptr shows an empty, disabled form.
    void setElement(const LabelElement *element);
    LabelElement element() const { return m_element; }

signals:
    void changed(const LabelElement &element);

private:
    void readBack();
    void showRowsFor(LabelElement::Kind kind);

    LabelElement m_element;
    bool m_loading = false;
    QFormLayout *m_form;
    QLabel *m_kind;
    QDoubleSpinBox *m_x, *m_y, *m_w, *m_h, *m_font, *m_lineWidth;
    QLineEdit *m_text;
    QComboBox *m_field, *m_align, *m_symbology;
    QCheckBox *m_bold, *m_digits;
};

// The element kind as the designer names it.
QString kindCaption(LabelElement::Kind kind);

} // namespace zostore::components::labels
