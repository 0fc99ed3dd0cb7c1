#pragma once

class QString;
class QWidget;

// The message box of the window's own additions (profiles, transcripts): what one could not do,
// modal to the window, its title and button in the window's language.
namespace ProblemBox {

void show(QWidget *window, const QString &text);

} // namespace ProblemBox
