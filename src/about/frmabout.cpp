#include "about/frmabout.h"
#include "widgets/centerform.h"
#include "logic/dialogs.h"
#include "platform/sysinfo.h"
#include "settings/documentopener.h"
#include "widgets/editorlook.h"

#include <QIcon>
#include <QLabel>
#include <QPainter>
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
    : QDialog(parent)
    , m_background(QStringLiteral(":/frmabout.png"))
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("About Quillmoor 1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/quillmoor.xpm")));
    setFixedSize(332, 207);
    setFont(sansSerif(8));

    // Created in tab order, which is the focus chain; the labels never take the focus.
    cmdOK = button(QStringLiteral("cmdOK"), QStringLiteral("OK"), this);
    picIcon = label(QStringLiteral("picIcon"), QString(), this);
    cmdSysInfo = button(QStringLiteral("cmdSysInfo"), QStringLiteral("&System Info..."), this);
    lblDescription = label(QStringLiteral("lblDescription"), description(), this);
    lblDisclaimer = label(QStringLiteral("lblDisclaimer"), QStringLiteral("Warning: ..."), this);
    lblTitle = label(QStringLiteral("lblTitle"), QStringLiteral("Quillmoor 1.0"), this);
    lblVersion = label(QStringLiteral("lblVersion"), QStringLiteral("By Corvath Designs"), this);
    Command1 = button(QStringLiteral("Command1"), QStringLiteral("Visit Corvath Designs"), this);

    picIcon->setGeometry(fromTwips(240, 240, 540, 540));
    lblTitle->setGeometry(fromTwips(1050, 240, 3885, 480));
    lblVersion->setGeometry(fromTwips(1050, 600, 3885, 345));
    lblDescription->setGeometry(fromTwips(840, 1080, 3885, 1410));
    // Below the bottom edge on purpose: it is never seen, so a screen reader keeps quiet too.
    lblDisclaimer->setGeometry(fromTwips(1080, 3600, 3870, 825));
    lblDisclaimer->hide();
    cmdOK->setGeometry(fromTwips(3360, 2625, 1260, 300));
    cmdSysInfo->setGeometry(fromTwips(2040, 2640, 1245, 270));
    Command1->setGeometry(fromTwips(240, 2640, 1695, 270));

    picIcon->setPixmap(windowIcon().pixmap(32, 32));
    picIcon->setAccessibleName(QStringLiteral("Quillmoor icon"));
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTitle->setFont(sansSerif(18));
    lblVersion->setFont(sansSerif(12));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setWordWrap(true);
    // Laid out for MS Sans Serif: a wider stand-in gets smaller until the text fits.
    EditorLook::fitText(*lblDescription, lblDescription->text(), true);
    for (QPushButton *control : {cmdOK, cmdSysInfo, Command1})
        EditorLook::fitText(*control, control->text());
    setTextColor(*lblTitle, Qt::white);
    setTextColor(*lblVersion, palette().color(QPalette::HighlightedText));
    setTextColor(*lblDescription, Qt::white);
    setTextColor(*lblDisclaimer, Qt::black);

    // Enter presses OK unless another button has the focus; Esc rejects, which closes too.
    cmdOK->setDefault(true);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
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

void frmAbout::showEvent(QShowEvent *event)
{
    // Loaded once per window: showing it again while it is open keeps where the user put it.
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    QDialog::showEvent(event);
}

void frmAbout::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
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
    if (!Corvath::OpenDocument(makerUrl())) {
        Corvath::dialogs()->messageBox(QStringLiteral("Could not open ") + makerUrl()
                                           + QStringLiteral(": the desktop has no program to "
                                                            "show web pages."),
                                       QStringLiteral("Error"), Corvath::MessageIcon::Critical);
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
