#pragma once

#include <QObject>

#include <memory>

class QIcon;
class QMenu;

// A tray item that the desktop's tray host draws itself and whose menu the host shows (the
// StatusNotifierItem protocol on Linux). Where no such host runs, or the OS has none, the
// caller shows its icon through a TrayIcon instead.
class StatusNotifier : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusNotifier)

public:
    // What the host passes on from a click on the item, named as the host names it.
    enum class Request { Activate, SecondaryActivate, ContextMenu };

    explicit StatusNotifier(QObject *parent = nullptr)
        : QObject(parent)
    { }
    ~StatusNotifier() override = default;

    // True while a host is there to take the item.
    virtual bool hostPresent() const = 0;

    // The menu the host shows; its items are read live, so changes reach the host at once.
    virtual void setMenu(QMenu &menu) = 0;
    virtual void setToolTip(const QString &text) = 0;
    virtual void setIcon(const QIcon &icon) = 0;
    // A shown item is offered to the host that runs now and to every one that comes later.
    virtual void setShown(bool shown) = 0;

    // Whether the program opens its own menu when the host passes on a click. Where it does
    // not, hosts are told so, and those that can then open the exported menu themselves.
    virtual void setOpensOwnMenu(bool opens) { Q_UNUSED(opens) }

    // A desktop notification, numbered by the caller. answered() follows once for each
    // notice, later or at once.
    virtual void notify(quint64 notice, const QString &title, const QString &text) = 0;

Q_SIGNALS:
    void hostChanged(bool present);
    void requested(StatusNotifier::Request request);
    // shown: the notification service took the notice and gave it an id.
    void answered(quint64 notice, bool shown);
};

// The implementation for the OS the program was built for.
std::unique_ptr<StatusNotifier> createStatusNotifier();
