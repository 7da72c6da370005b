#include "components/labels/SpinBoxes.h"

#include <QDoubleSpinBox>

namespace zostore::components::labels {

QDoubleSpinBox *decimalBox(QWidget *parent, double lo, double hi, double step, const QString &suffix) {
    auto *s = new QDoubleSpinBox(parent);
    s->setRange(lo, hi);
    s->setSingleStep(step);
    s->setDecimals(1);
    s->setSuffix(suffix);
    return s;
}

QDoubleSpinBox *mmBox(QWidget *parent, double lo, double hi) {
    return decimalBox(parent, lo, hi, 0.5, QStringLiteral(" 毫米"));
}

} // namespace zostore::components::labels
