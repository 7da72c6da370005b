// The one place that decides which main window the program opens.
#pragma once

class QWidget;

namespace zostore::app {

// Created after a successful login; owns itself and closes the program when it closes.
QWidget *createMainWindow();

} // namespace zostore::app
