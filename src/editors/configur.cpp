#include "editors/configur.h"
#include "logic/dialogs.h"
#include "logic/program.h"
#include "platform/filenames.h"
#include "settings/settingsstore.h"
#include "widgets/centerform.h"
#include "widgets/editorlook.h"
#include "widgets/reportfailure.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

namespace {
const QString Title = QStringLiteral("Quillmoor");
} // namespace

Configur::Configur(QStringList &mainList, QWidget *parent)
    : Form(QStringLiteral(":/configur.png"), parent)
    , m_mainList(mainList)
    , m_label1(new QLabel(QStringLiteral("Application Launch List"), this))
    , m_list1(new QListWidget(this))
    , m_command1(new QPushButton(QStringLiteral("Add"), this))
    , m_command2(new QPushButton(QStringLiteral("Remove"), this))
    , m_command3(new QPushButton(QStringLiteral("Manual"), this))
{
    EditorLook::setUpWindow(*this, QStringLiteral("Edit Application List"), {339, 96});
    EditorLook::setUpLabel(*m_label1);
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list1->setSortingEnabled(false);
    // The caption names the list for a screen reader.
    m_label1->setBuddy(m_list1);
    m_list1->setAccessibleName(m_label1->text());

    EditorLook::place({
        {m_label1, {16, 8, 113, 17}},
        {m_list1, {8, 32, 321, 56}},
        {m_command1, {136, 8, 65, 17}},
        {m_command2, {200, 8, 65, 17}},
        {m_command3, {264, 8, 65, 17}},
    });

    EditorLook::fitText(*m_label1, m_label1->text());
    for (QPushButton *button : {m_command1, m_command2, m_command3})
        EditorLook::fitText(*button, button->text());

    connect(m_command1, &QPushButton::clicked, this, &Configur::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &Configur::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Configur::Command3_Click);
    EditorLook::setUpKeys(*this, {m_command1, m_command2, m_command3});
    for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace})
        new QShortcut(QKeySequence(key), m_list1, this, &Configur::Command2_Click,
                      Qt::WidgetShortcut);
}

QString Configur::prompt()
{
    return QStringLiteral("Enter the FULL path and filename of the application or file (that "
                          "already has an association) that you wish to add:");
}

QString Configur::fileFilter()
{
    return QStringLiteral("All Files (%1)").arg(QLatin1String(FileNames::everyFilePattern()));
}

QString Configur::addedPath(const QString &chosen)
{
    return FileNames::ignoreCase() ? chosen.toLower() : chosen;
}

QStringList Configur::entries() const
{
    QStringList result;
    result.reserve(m_list1->count());
    for (int i = 0; i < m_list1->count(); ++i)
        result.append(m_list1->item(i)->text());
    return result;
}

void Configur::closeEvent(QCloseEvent *event)
{
    // Ending the program discards the edits; only the user's close stores them.
    if (Corvath::IsEnding() || Form_Unload())
        event->accept();
    else
        event->ignore();
}

void Configur::Form_Load()
{
    Corvath::CenterForm(*this);
    QStringList stored;
    LoadLaunchList(stored);
    m_list1->addItems(stored);
}

bool Configur::hasRoom() const
{
    if (m_list1->count() < SettingsStore::MaxEntries)
        return true;
    Corvath::dialogs()->messageBox(
        QStringLiteral("The launch list is full: it holds %1 entries, as many as it can. "
                       "Remove one to add another.")
            .arg(SettingsStore::MaxEntries),
        Title, Corvath::MessageIcon::Critical);
    return false;
}

bool Configur::isOneLine(const QString &entry) const
{
    if (SettingsStore::isStorable(entry))
        return true;
    Corvath::dialogs()->messageBox(QStringLiteral("An entry of the launch list is one line, and "
                                                  "this one holds a line break. It was not "
                                                  "added."),
                                   Title, Corvath::MessageIcon::Critical);
    return false;
}

void Configur::Command1_Click()
{
    if (!hasRoom())
        return;
    const QString chosen = Corvath::dialogs()->openFileName(fileFilter());
    if (chosen.isEmpty() || !isOneLine(chosen))
        return;
    m_list1->addItem(addedPath(chosen));
}

void Configur::Command2_Click()
{
    for (int i = 0; i < m_list1->count(); ++i) {
        if (m_list1->item(i)->isSelected()) {
            delete m_list1->takeItem(i);
            // Nothing stays selected, so a second press removes nothing unasked.
            m_list1->clearSelection();
            return;
        }
    }
}

void Configur::Command3_Click()
{
    if (!hasRoom())
        return;
    const QString typed
        = withoutOuterLineBreaks(Corvath::dialogs()->inputBox(prompt(), Title, QString()));
    if (typed.isEmpty() || !isOneLine(typed))
        return;
    m_list1->addItem(typed);
}

QString Configur::withoutOuterLineBreaks(const QString &typed)
{
    // A pasted path brings the line break it was copied with; blanks stay as typed.
    auto isBreak = [](QChar c) { return c == u'\n' || c == u'\r'; };
    qsizetype from = 0;
    qsizetype to = typed.size();
    while (from < to && isBreak(typed.at(from)))
        ++from;
    while (to > from && isBreak(typed.at(to - 1)))
        --to;
    return typed.sliced(from, to - from);
}

bool Configur::Form_Unload()
{
    const Outcome<QString> saved = SaveLaunchList(entries());
    if (!saved) {
        // The edits are the user's work: only the user may throw them away.
        const bool discard = Corvath::dialogs()->yesNo(
            saved.reason() + u' ' + Corvath::storeUnchanged()
                + QStringLiteral("\n\nDiscard your changes to the launch list? Choose No to "
                                 "keep the editor open; closing it again tries again."),
            QStringLiteral("Error"));
        // Discarded: the main list still holds what was stored.
        return discard;
    }
    m_mainList.clear();
    LoadLaunchList(m_mainList);
    return true;
}
