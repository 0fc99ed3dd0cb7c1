#pragma once

class QApplication;
class QTranslator;
class QWidget;

// What every program showing the main window does around it: the compiled-in resources, the
// English catalogue and the drag filter before the window is built; centring before it shows.
void prepareApplication(QApplication &app, QTranslator &translator);
void showCentred(QWidget &window);
