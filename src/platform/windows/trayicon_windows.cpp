#include "platform/trayicon.h"

#include <QIcon>
#include <QSystemTrayIcon>

namespace {
// The taskbar's notification area, through Qt's own icon.
class NotificationAreaIcon final : public TrayIcon
{
public:
    NotificationAreaIcon()
    {
        // No context menu of Qt's own: every button goes to clicked, which opens the one menu.
        connect(&m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger)
                        Q_EMIT clicked(Qt::LeftButton);
                    else if (reason == QSystemTrayIcon::Context)
                        Q_EMIT clicked(Qt::RightButton);
                    else if (reason == QSystemTrayIcon::MiddleClick)
                        Q_EMIT clicked(Qt::MiddleButton);
                });
    }

    void setIcon(const QIcon &icon) override { m_icon.setIcon(icon); }
    void setToolTip(const QString &text) override { m_icon.setToolTip(text); }
    void setVisible(bool visible) override { m_icon.setVisible(visible); }
    bool isVisible() const override { return m_icon.isVisible(); }
    bool trayPresent() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    bool showMessage(const QString &title, const QString &text) override
    {
        if (!m_icon.isVisible() || !QSystemTrayIcon::isSystemTrayAvailable())
            return false;
        m_icon.showMessage(title, text, QSystemTrayIcon::Warning);
        return true;
    }

private:
    QSystemTrayIcon m_icon;
};
} // namespace

std::unique_ptr<TrayIcon> createTrayIcon()
{
    return std::make_unique<NotificationAreaIcon>();
}
