#include "shell/qtdialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

void QtDialogs::messageBox(const QString &text, const QString &title, Corvath::MessageIcon icon)
{
    using Corvath::MessageIcon;
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::NoIcon:
        break;
    case MessageIcon::Information:
        qtIcon = QMessageBox::Information;
        break;
    case MessageIcon::Warning:
        qtIcon = QMessageBox::Warning;
        break;
    case MessageIcon::Critical:
        qtIcon = QMessageBox::Critical;
        break;
    }
    QMessageBox box(qtIcon, title, text, QMessageBox::Ok);
    box.setWindowIcon(QApplication::windowIcon());
    box.exec();
}

QString QtDialogs::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog dialog;
    dialog.setWindowTitle(title.isEmpty() ? QStringLiteral("Quillmoor") : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    // Long prompts wrap, as an input box's do, rather than stretching it across the screen.
    if (auto *label = dialog.findChild<QLabel *>()) {
        label->setWordWrap(true);
        label->setMinimumWidth(360);
    }
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtDialogs::openFileName(const QString &filter)
{
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The name of a file that does not exist yet may be typed.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    // As the system writes paths: Windows programs that read a stored path expect backslashes.
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
