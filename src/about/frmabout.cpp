#include "about/frmabout.h"
#include "logic/dialogs.h"
#include "platform/sysinfo.h"
#include "settings/documentopener.h"
#include "widgets/centerform.h"
#include "widgets/editorlook.h"
#include "widgets/reportfailure.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

// Positions and sizes are laid out in twips, 15 to a pixel.
QRect fromTwips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

QFont sansSerif(int pointSize)
{
    QFont font(QStringLiteral("MS Sans Serif"), pointSize);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(false);
    return font;
}

void setTextColor(QWidget &widget, const QColor &color)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    widget.setPalette(palette);
}

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(name);
    result->setAutoFillBackground(false); // transparent over the background picture
    return result;
}

QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(name);
    return result;
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : Form(QStringLiteral(":/frmabout.png"), parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("About Quillmoor 1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/quillmoor.xpm")));
    setFixedSize(332, 207);
    setFont(sansSerif(8));

    // Created in tab order, which is the focus chain; the labels never take the focus.
    m_cmdOK = button(QStringLiteral("cmdOK"), QStringLiteral("OK"), this);
    m_picIcon = label(QStringLiteral("picIcon"), QString(), this);
    m_cmdSysInfo = button(QStringLiteral("cmdSysInfo"), QStringLiteral("&System Info..."), this);
    m_lblDescription = label(QStringLiteral("lblDescription"), description(), this);
    m_lblDisclaimer = label(QStringLiteral("lblDisclaimer"), QStringLiteral("Warning: ..."), this);
    m_lblTitle = label(QStringLiteral("lblTitle"), QStringLiteral("Quillmoor 1.0"), this);
    m_lblVersion = label(QStringLiteral("lblVersion"), QStringLiteral("By Corvath Designs"), this);
    m_command1 = button(QStringLiteral("Command1"), QStringLiteral("Visit Corvath Designs"), this);

    m_picIcon->setGeometry(fromTwips(240, 240, 540, 540));
    m_lblTitle->setGeometry(fromTwips(1050, 240, 3885, 480));
    m_lblVersion->setGeometry(fromTwips(1050, 600, 3885, 345));
    m_lblDescription->setGeometry(fromTwips(840, 1080, 3885, 1410));
    // Below the bottom edge on purpose: it is never seen, so a screen reader keeps quiet too.
    m_lblDisclaimer->setGeometry(fromTwips(1080, 3600, 3870, 825));
    m_lblDisclaimer->hide();
    m_cmdOK->setGeometry(fromTwips(3360, 2625, 1260, 300));
    m_cmdSysInfo->setGeometry(fromTwips(2040, 2640, 1245, 270));
    m_command1->setGeometry(fromTwips(240, 2640, 1695, 270));

    m_picIcon->setPixmap(windowIcon().pixmap(32, 32));
    m_picIcon->setAccessibleName(QStringLiteral("Quillmoor icon"));
    m_picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblTitle->setFont(sansSerif(18));
    m_lblVersion->setFont(sansSerif(12));
    m_lblDescription->setWordWrap(true);
    m_lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblDisclaimer->setWordWrap(true);
    // Laid out for MS Sans Serif: a wider stand-in gets smaller until the text fits.
    EditorLook::fitText(*m_lblDescription, m_lblDescription->text(), true);
    for (QPushButton *control : {m_cmdOK, m_cmdSysInfo, m_command1})
        EditorLook::fitText(*control, control->text());
    setTextColor(*m_lblTitle, Qt::white);
    setTextColor(*m_lblVersion, palette().color(QPalette::HighlightedText));
    setTextColor(*m_lblDescription, Qt::white);
    setTextColor(*m_lblDisclaimer, Qt::black);

    // Enter presses OK unless another button has the focus; Esc rejects, which closes too.
    m_cmdOK->setDefault(true);
    m_cmdOK->setFocus();

    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(m_command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

QString frmAbout::makerUrl()
{
    return QStringLiteral(QUILLMOOR_MAKER_URL);
}

QString frmAbout::description()
{
    return QStringLiteral(
        "Quillmoor  can be a handy utility for accomplishing multiple tasks, what might "
        "normally take you a few more mouse clicks than usual. With Quillmoor, you can "
        "specifiy applications to be launched when you connect to the internet. This is a "
        "great time-saving feature for those who do more than normal on the internet.");
}

void frmAbout::Form_Load()
{
    Corvath::CenterForm(*this);
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::Command1_Click()
{
    // Told as "Read Me!!" tells it: the button would otherwise seem to do nothing.
    if (const auto opened = Corvath::OpenDocument(makerUrl()); !opened) {
        Corvath::reportFailure(Failure {QStringLiteral("Could not open ") + makerUrl()
                                        + QStringLiteral(": ") + opened.reason()
                                        + QLatin1Char('.')});
    }
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    const auto sysInfo = createSysInfo();
    if (const auto path = sysInfo->find(); path && sysInfo->start(*path))
        return;
    Corvath::dialogs()->messageBox(QStringLiteral("System Information Is Unavailable At This Time"),
                                   QStringLiteral("Quillmoor"), Corvath::MessageIcon::NoIcon);
}
