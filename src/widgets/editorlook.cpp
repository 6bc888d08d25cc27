#include "widgets/editorlook.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>

namespace EditorLook {

namespace {
// Smaller than this is no longer readable; such text is clipped instead.
constexpr int MinimumPixels = 8;
} // namespace

void setUpWindow(QWidget &window, const QString &caption, QSize clientSize)
{
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window.setWindowTitle(caption);
    window.setWindowIcon(QIcon(QStringLiteral(":/quillmoor.xpm")));
    window.setFixedSize(clientSize);
    // Buttons 17 pixels high need the classic 8-point (11-pixel) text to fit.
    QFont font = window.font();
    font.setPixelSize(11);
    window.setFont(font);
}

void setUpLabel(QLabel &label)
{
    label.setAutoFillBackground(false);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
    label.setPalette(palette);
}

void fitText(QWidget &control, const QString &text, bool wrap)
{
    // A push button's frame and padding take a few pixels on each side.
    const int padding = qobject_cast<QPushButton *>(&control) ? 8 : 0;
    const QSize room = control.size() - QSize(padding, 0);
    QFont font = control.font();
    for (int pixels = QFontInfo(font).pixelSize(); pixels > MinimumPixels; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        const QSize needed = wrap
            ? metrics.boundingRect(QRect(QPoint(), room), Qt::TextWordWrap, text).size()
            : QSize(metrics.horizontalAdvance(text), metrics.height());
        if (needed.width() <= room.width() && needed.height() <= room.height()) {
            control.setFont(font);
            return;
        }
    }
    font.setPixelSize(MinimumPixels);
    control.setFont(font);
}

void setUpKeys(QWidget &window, std::initializer_list<QPushButton *> buttons)
{
    new QShortcut(QKeySequence(Qt::Key_Escape), &window, &window, &QWidget::close);
    for (QPushButton *button : buttons) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            new QShortcut(QKeySequence(key), button, button, &QPushButton::click,
                          Qt::WidgetShortcut);
        }
    }
}

void place(std::initializer_list<Place> table)
{
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
