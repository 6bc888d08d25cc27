#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

class QAction;
class QMenu;
class QWidget;

// The com.canonical.dbusmenu wire types.
struct DBusMenuLayoutItem
{
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

struct DBusMenuItemProperties
{
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

struct DBusMenuItemPropertyNames
{
    int id = 0;
    QStringList names;
};
using DBusMenuItemPropertyNamesList = QList<DBusMenuItemPropertyNames>;

struct DBusMenuEvent
{
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

Q_DECLARE_METATYPE(DBusMenuLayoutItem)
Q_DECLARE_METATYPE(DBusMenuItemProperties)
Q_DECLARE_METATYPE(DBusMenuItemPropertyNames)
Q_DECLARE_METATYPE(DBusMenuEvent)

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuLayoutItem &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuLayoutItem &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemProperties &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemProperties &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemPropertyNames &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemPropertyNames &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuEvent &event);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuEvent &event);

// A QMenu's own actions as the host's menu: item 0 is the menu, items 1, 2, ... its actions,
// each keeping its id while it stays in the menu. Choosing an item triggers its action, so the
// host's menu and the popup run the same handlers.
class DBusMenuExporter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBusMenuExporter)

public:
    explicit DBusMenuExporter(QMenu &menu, QObject *parent = nullptr);

    static void registerTypes();

    // Counts changes of the items' list; the host asks again when it grows.
    uint revision() const { return m_revision; }
    int idOf(const QAction *action) const { return m_ids.value(action, -1); }
    bool idExists(int id) const { return actionOf(id) != nullptr; }

    // An empty list of names asks for every property. A depth of 0 leaves the children out.
    DBusMenuLayoutItem layout(int parentId, int depth, const QStringList &names) const;
    QVariantMap properties(int id, const QStringList &names) const;
    // False when no item has the id.
    bool event(int id, const QString &eventId);

Q_SIGNALS:
    void layoutUpdated(uint revision, int parent);
    void itemsPropertiesUpdated(const DBusMenuItemPropertiesList &updated,
                                const DBusMenuItemPropertyNamesList &removed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *actionOf(int id) const;
    void track(QAction *action);
    void changed(QAction *action);
    void tellChanges();

    // Held as a widget: the menu's actions leave it while ~QWidget runs, when it is no QMenu.
    QPointer<QWidget> m_menu;
    QHash<const QAction *, int> m_ids;
    // What the host was last told of each item, so that a change sends only what differs.
    QHash<int, QVariantMap> m_told;
    // Items changed since the host was last told, in the order they changed.
    QList<int> m_pending;
    int m_nextId = 1;
    uint m_revision = 1;
};

// com.canonical.dbusmenu on the exporter's object.
class DBusMenuAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBusMenuAdaptor)
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenuAdaptor(DBusMenuExporter &exporter);

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames,
                   DBusMenuLayoutItem &layout);
    DBusMenuItemPropertiesList GetGroupProperties(const QList<int> &ids,
                                                  const QStringList &propertyNames);
    QDBusVariant GetProperty(int id, const QString &name);
    void Event(int id, const QString &eventId, const QDBusVariant &data, uint timestamp);
    QList<int> EventGroup(const DBusMenuEventList &events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors);

Q_SIGNALS:
    void ItemsPropertiesUpdated(const DBusMenuItemPropertiesList &updatedProps,
                                const DBusMenuItemPropertyNamesList &removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    DBusMenuExporter &m_exporter;
};
