#pragma once

#include <QRect>
#include <QString>

#include <initializer_list>

class QLabel;
class QPushButton;
class QWidget;

// What the two editor windows share: a small fixed window over a background bitmap, with
// light label text and every control at a fixed pixel position.
namespace EditorLook {

struct Place
{
    QWidget *control;
    QRect rect;
};

// Fixed client size, close box only, the built-in icon, and the small font the fixed control
// sizes were laid out for.
void setUpWindow(QWidget &window, const QString &caption, QSize clientSize);
// Transparent, in the highlight-text colour so that it reads on the dark background.
void setUpLabel(QLabel &label);
// Places the controls; the table's order is the tab order.
void place(std::initializer_list<Place> table);
// Makes the control's font smaller where its text would not fit the fixed size with the
// desktop's font; wrap for a word-wrapped label.
void fitText(QWidget &control, const QString &text, bool wrap = false);
// Escape closes the window as its close box does, and Return presses the focused button, as
// in the dialogs of the desktop these windows come from.
void setUpKeys(QWidget &window, std::initializer_list<QPushButton *> buttons);

} // namespace EditorLook
