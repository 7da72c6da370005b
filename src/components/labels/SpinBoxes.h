// The number boxes of the label dialogs: one decimal, a unit after the value.
#pragma once

#include <QString>

class QDoubleSpinBox;
class QWidget;

namespace zostore::components::labels {

QDoubleSpinBox *decimalBox(QWidget *parent, double lo, double hi, double step, const QString &suffix);
// Millimetres in half-millimetre steps.
QDoubleSpinBox *mmBox(QWidget *parent, double lo, double hi);

} // namespace zostore::components::labels
