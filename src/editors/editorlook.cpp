#include "editors/editorlook.h"

#include <QIcon>
#include <QLabel>
#include <QWidget>

namespace EditorLook {

void setUpWindow(QWidget &window, const QString &caption, QSize clientSize) {
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window.setWindowTitle(caption);
    window.setWindowIcon(QIcon(QStringLiteral(":/quillmoor.xpm")));
    window.setFixedSize(clientSize);
    // Buttons 17 pixels high need the classic 8-point (11-pixel) text to fit.
    QFont font = window.font();
    font.setPixelSize(11);
    window.setFont(font);
}

void setUpLabel(QLabel &label) {
    label.setAutoFillBackground(false);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
    label.setPalette(palette);
}

void place(std::initializer_list<Place> table) {
    QWidget *previous = nullptr;
    for (const Place &entry : table) {
        entry.control->setGeometry(entry.rect);
        if (entry.control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, entry.control);
        previous = entry.control;
    }
}

} // namespace EditorLook
