#pragma once

#include "platform/trayicon.h"

#include <QAbstractNativeEventFilter>
#include <QIcon>
#include <QPointer>
#include <QString>

#include <xcb/xcb.h>

#include <memory>

class QWidget;

// The icon as a window of the program's, docked in the XEmbed system tray (the owner of the
// screen's _NET_SYSTEM_TRAY_Sn selection). Qt's own icon is not used: its platform theme hands
// it to the StatusNotifierItem watcher whenever one runs, host or not, and some Qt versions
// decide that once for the whole process.
// Each tray gets a window of its own: one that goes takes the window with it, one that comes
// (the MANAGER message on the root window) is offered a new one.
class XEmbedIconLinux final : public TrayIcon, private QAbstractNativeEventFilter
{
public:
    XEmbedIconLinux();
    ~XEmbedIconLinux() override;

    void setIcon(const QIcon &icon) override;
    void setToolTip(const QString &text) override;
    void setVisible(bool visible) override;
    bool isVisible() const override { return m_visible; }
    bool trayPresent() const override;
    bool showMessage(const QString &title, const QString &text) override;

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    xcb_atom_t atom(const char *name) const;
    xcb_window_t findTray() const;
    void dock();
    void undock();

    xcb_connection_t *m_x = nullptr;
    xcb_window_t m_root = XCB_NONE;
    xcb_atom_t m_selection = XCB_NONE;
    xcb_atom_t m_opcode = XCB_NONE;
    xcb_atom_t m_manager = XCB_NONE;
    // The tray the window was offered to.
    xcb_window_t m_tray = XCB_NONE;
    std::unique_ptr<QWidget> m_window;
    QPointer<QWidget> m_balloon;
    QString m_balloonText;
    QIcon m_icon;
    QString m_toolTip;
    bool m_visible = false;
};
