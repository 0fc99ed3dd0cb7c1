#pragma once

#include <optional>

class QApplication;
class QTranslator;
class QWidget;

// What every program showing the main window does around it: the compiled-in resources, the
// English catalogue and the drag filter before the window is built; centring before it shows.
// Answers --help and --version (the exit code) before the window's application starts, so that
// they need no display; nothing for any other command line.
std::optional<int> answerInfoOption(int argc, char *argv[]);
void prepareApplication(QApplication &app, QTranslator &translator);
void showCentred(QWidget &window);
