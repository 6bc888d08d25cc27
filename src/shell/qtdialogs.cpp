#include "shell/qtdialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace {

QMessageBox::Icon qtIcon(Corvath::MessageIcon icon)
{
    using Corvath::MessageIcon;
    switch (icon) {
    case MessageIcon::NoIcon:
        break;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtDialogs::~QtDialogs()
{
    for (const QPointer<QMessageBox> &box : std::as_const(m_open))
        delete box.data();
}

void QtDialogs::messageBox(const QString &text, const QString &title, Corvath::MessageIcon icon)
{
    QMessageBox box(qtIcon(icon), title, text, QMessageBox::Ok);
    box.setWindowIcon(QApplication::windowIcon());
    box.exec();
}

void QtDialogs::openMessageBox(const QString &text, const QString &title, Corvath::MessageIcon icon)
{
    // Modal for the user, as the other boxes are, but shown without an event loop of its own,
    // so that the caller returns and the program goes on behind it.
    auto *box = new QMessageBox(qtIcon(icon), title, text, QMessageBox::Ok);
    box->setWindowIcon(QApplication::windowIcon());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    m_open.removeIf([](const QPointer<QMessageBox> &open) { return open.isNull(); });
    m_open.append(box);
    box->show();
}

bool QtDialogs::yesNo(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setWindowIcon(QApplication::windowIcon());
    return box.exec() == QMessageBox::Yes;
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
    QString chosen = dialog.selectedFiles().constFirst();
    // Qt's own dialog reads a " in the typed name as quoted names and keeps the quoted parts
    // only: my"file becomes file, and a file named say "hi" cannot be chosen at all. One name
    // is asked for here, so it is taken as typed: a file of that name in the folder shown, else
    // a line that starts with a quotation mark, a quoted command line, just as it is.
    if (const auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
        const QString typed = edit->text();
        if (typed.contains(u'"')) {
            chosen = dialog.directory().absoluteFilePath(typed);
            if (typed.startsWith(u'"') && !QFileInfo::exists(chosen))
                chosen = typed;
        }
    }
    // As the system writes paths: Windows programs that read a stored path expect backslashes.
    return QDir::toNativeSeparators(chosen);
}
