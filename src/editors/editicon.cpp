#include "editors/editicon.h"
#include "logic/dialogs.h"
#include "logic/iconsetting.h"
#include "settings/settingsstore.h"
#include "widgets/centerform.h"
#include "widgets/editorlook.h"
#include "widgets/reportfailure.h"
#include "widgets/tray.h"

#include <QLabel>
#include <QPushButton>

EditIcon::EditIcon(Tray &tray, QWidget *parent)
    : Form(QStringLiteral(":/editicon.png"), parent)
    , m_tray(tray)
    , m_picture1(new QLabel(this))
    , m_command1(new QPushButton(QStringLiteral("Use Internal Icon"), this))
    , m_command2(new QPushButton(QStringLiteral("Browse For Icon"), this))
    , m_label1(new QLabel(note(), this))
{
    EditorLook::setUpWindow(*this, QStringLiteral("Edit SysTray Icon"), {159, 86});
    EditorLook::setUpLabel(*m_label1);
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // A sunken box on the button face, the picture drawn at its top-left corner.
    m_picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picture1->setLineWidth(2);
    m_picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture1->setBackgroundRole(QPalette::Button);
    m_picture1->setAutoFillBackground(true);
    // Named for a screen reader; a picture is nothing to act on, so it takes no focus.
    m_picture1->setAccessibleName(QStringLiteral("Tray icon preview"));
    m_picture1->setFocusPolicy(Qt::NoFocus);

    EditorLook::place({
        {m_picture1, {8, 8, 36, 36}},
        {m_command1, {56, 8, 97, 17}},
        {m_command2, {56, 24, 97, 17}},
        {m_label1, {8, 45, 145, 41}},
    });

    for (QPushButton *button : {m_command1, m_command2})
        EditorLook::fitText(*button, button->text());
    EditorLook::fitText(*m_label1, m_label1->text(), true);

    connect(m_command1, &QPushButton::clicked, this, &EditIcon::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &EditIcon::Command2_Click);
    EditorLook::setUpKeys(*this, {m_command1, m_command2});
    // Return at once then only opens the file dialog, which changes nothing unless a file is
    // chosen; "Use Internal Icon" first would throw the chosen icon away.
    m_command2->setFocus();
}

QString EditIcon::fileFilter()
{
    return QStringLiteral("Icon Files (*.ico)");
}

QString EditIcon::note()
{
    return QStringLiteral("If you choose an external icon, it may not change until next time "
                          "you run Quillmoor.");
}

void EditIcon::showPicture(const QIcon &picture)
{
    m_picture = picture;
    m_picture1->setPixmap(picture.pixmap(QSize(32, 32)));
}

void EditIcon::Form_Load()
{
    Corvath::CenterForm(*this);
    const IconSetting setting = IconSetting::setting.get();
    if (setting.isBuiltIn()) {
        m_tray.setIcon(m_tray.builtInHandle());
        showPicture(windowIcon());
    } else {
        m_tray.setIcon(setting.file());
        const QIcon stored = Tray::loadPicture(setting.file());
        // A stored file that is gone or no picture: the tray falls back the same way.
        showPicture(stored.isNull() ? windowIcon() : stored);
    }
}

void EditIcon::Command1_Click()
{
    showPicture(windowIcon());
    m_tray.setIcon(m_tray.builtInHandle());
    Corvath::reportStoreFailure(IconSetting::setting.set(IconSetting::builtIn()));
    m_tray.setAction(Tray::Modify);
}

void EditIcon::Command2_Click()
{
    const QString chosen = Corvath::dialogs()->openFileName(fileFilter());
    if (chosen.isEmpty())
        return;
    const QIcon loaded = Tray::loadPicture(chosen);
    // A file that cannot be read keeps the preview and the tray as they were.
    if (!loaded.isNull())
        showPicture(loaded);
    m_tray.setIcon(m_picture);
    m_tray.setAction(Tray::Modify);
    Corvath::reportStoreFailure(IconSetting::setting.set(IconSetting(chosen)));
}
