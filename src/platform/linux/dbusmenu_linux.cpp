#include "platform/linux/dbusmenu_linux.h"

#include <QAction>
#include <QActionEvent>
#include <QActionGroup>
#include <QDBusMetaType>
#include <QGuiApplication>
#include <QMenu>
#include <QSet>
#include <QTimer>

#include <utility>

namespace {
const QString Label = QStringLiteral("label");
const QString Clicked = QStringLiteral("clicked");

// Qt marks the mnemonic with '&', the menu protocol with '_'.
QString labelOf(const QString &text)
{
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'&' && i + 1 < text.size()) {
            ++i;
            label += text.at(i) == u'&' ? QStringLiteral("&") : QStringLiteral("_") + text.at(i);
        } else if (c == u'_') {
            label += QStringLiteral("__");
        } else {
            label += c;
        }
    }
    return label;
}

QVariantMap propertiesOf(const QAction &action)
{
    QVariantMap properties;
    properties.insert(QStringLiteral("visible"), action.isVisible());
    if (action.isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    properties.insert(Label, labelOf(action.text()));
    properties.insert(QStringLiteral("enabled"), action.isEnabled());
    if (action.isCheckable()) {
        const bool radio = action.actionGroup() && action.actionGroup()->isExclusive();
        properties.insert(QStringLiteral("toggle-type"),
                          radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action.isChecked() ? 1 : 0);
    }
    return properties;
}

QVariantMap only(const QVariantMap &properties, const QStringList &names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap chosen;
    for (const QString &name : names) {
        const auto found = properties.constFind(name);
        if (found != properties.cend())
            chosen.insert(name, *found);
    }
    return chosen;
}
} // namespace

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuLayoutItem &item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.beginArray(qMetaTypeId<QDBusVariant>());
    for (const DBusMenuLayoutItem &child : item.children)
        argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuLayoutItem &item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    item.children.clear();
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        DBusMenuLayoutItem childItem;
        qvariant_cast<QDBusArgument>(child.variant()) >> childItem;
        item.children.append(childItem);
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemProperties &item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemProperties &item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemPropertyNames &item)
{
    argument.beginStructure();
    argument << item.id << item.names;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemPropertyNames &item)
{
    argument.beginStructure();
    argument >> item.id >> item.names;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuEvent &event)
{
    argument.beginStructure();
    argument << event.id << event.eventId << event.data << event.timestamp;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuEvent &event)
{
    argument.beginStructure();
    argument >> event.id >> event.eventId >> event.data >> event.timestamp;
    argument.endStructure();
    return argument;
}

DBusMenuExporter::DBusMenuExporter(QMenu &menu, QObject *parent)
    : QObject(parent)
    , m_menu(&menu)
{
    registerTypes();
    const QList<QAction *> actions = menu.actions();
    for (QAction *action : actions)
        track(action);
    menu.installEventFilter(this);
}

void DBusMenuExporter::registerTypes()
{
    // The adaptor's signatures name the lists by these names.
    qRegisterMetaType<DBusMenuItemPropertiesList>("DBusMenuItemPropertiesList");
    qRegisterMetaType<DBusMenuItemPropertyNamesList>("DBusMenuItemPropertyNamesList");
    qRegisterMetaType<DBusMenuEventList>("DBusMenuEventList");
    qDBusRegisterMetaType<DBusMenuLayoutItem>();
    qDBusRegisterMetaType<DBusMenuItemProperties>();
    qDBusRegisterMetaType<DBusMenuItemPropertiesList>();
    qDBusRegisterMetaType<DBusMenuItemPropertyNames>();
    qDBusRegisterMetaType<DBusMenuItemPropertyNamesList>();
    qDBusRegisterMetaType<DBusMenuEvent>();
    qDBusRegisterMetaType<DBusMenuEventList>();
}

void DBusMenuExporter::track(QAction *action)
{
    const int id = m_nextId++;
    m_ids.insert(action, id);
    m_told.insert(id, propertiesOf(*action));
}

QAction *DBusMenuExporter::actionOf(int id) const
{
    if (!m_menu || id <= 0)
        return nullptr;
    const QList<QAction *> actions = m_menu->actions();
    for (QAction *action : actions) {
        if (m_ids.value(action) == id)
            return action;
    }
    return nullptr;
}

DBusMenuLayoutItem DBusMenuExporter::layout(int parentId, int depth, const QStringList &names) const
{
    DBusMenuLayoutItem item;
    item.id = parentId;
    item.properties = properties(parentId, names);
    if (parentId != 0 || depth == 0 || !m_menu)
        return item;
    const QList<QAction *> actions = m_menu->actions();
    for (const QAction *action : actions) {
        const int id = m_ids.value(action, -1);
        if (id > 0)
            item.children.append(DBusMenuLayoutItem {id, only(propertiesOf(*action), names), {}});
    }
    return item;
}

QVariantMap DBusMenuExporter::properties(int id, const QStringList &names) const
{
    if (id == 0)
        return only({{QStringLiteral("children-display"), QStringLiteral("submenu")}}, names);
    const QAction *action = actionOf(id);
    return action ? only(propertiesOf(*action), names) : QVariantMap {};
}

bool DBusMenuExporter::event(int id, const QString &eventId)
{
    QAction *action = actionOf(id);
    if (!action)
        return id == 0;
    if (eventId == Clicked && action->isEnabled() && action->isVisible()) {
        // After the reply has gone: a handler may wait in an event loop of its own or end
        // the program.
        QTimer::singleShot(0, action, &QAction::trigger);
    }
    return true;
}

bool DBusMenuExporter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_menu) {
        switch (event->type()) {
        case QEvent::ActionAdded:
            track(static_cast<QActionEvent *>(event)->action());
            Q_EMIT layoutUpdated(++m_revision, 0);
            break;
        case QEvent::ActionRemoved: {
            const QAction *action = static_cast<QActionEvent *>(event)->action();
            m_told.remove(m_ids.take(action));
            Q_EMIT layoutUpdated(++m_revision, 0);
            break;
        }
        case QEvent::ActionChanged:
            changed(static_cast<QActionEvent *>(event)->action());
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void DBusMenuExporter::changed(QAction *action)
{
    const int id = m_ids.value(action, -1);
    if (id <= 0 || m_pending.contains(id))
        return;
    // Told once the handler has returned: a click on "Activate" flips the check mark three
    // times, and hosts would show each flip.
    m_pending.append(id);
    if (m_pending.size() == 1)
        QTimer::singleShot(0, this, &DBusMenuExporter::tellChanges);
}

void DBusMenuExporter::tellChanges()
{
    DBusMenuItemPropertiesList updatedList;
    DBusMenuItemPropertyNamesList removedList;
    for (const int id : std::exchange(m_pending, {})) {
        const QAction *action = actionOf(id);
        if (!action)
            continue;
        const QVariantMap now = propertiesOf(*action);
        QVariantMap &told = m_told[id];
        DBusMenuItemProperties updated {id, {}};
        DBusMenuItemPropertyNames removed {id, {}};
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            if (told.value(it.key()) != it.value())
                updated.properties.insert(it.key(), it.value());
        }
        for (auto it = told.cbegin(); it != told.cend(); ++it) {
            if (!now.contains(it.key()))
                removed.names.append(it.key());
        }
        told = now;
        if (!updated.properties.isEmpty())
            updatedList.append(updated);
        if (!removed.names.isEmpty())
            removedList.append(removed);
    }
    if (!updatedList.isEmpty() || !removedList.isEmpty())
        Q_EMIT itemsPropertiesUpdated(updatedList, removedList);
}

DBusMenuAdaptor::DBusMenuAdaptor(DBusMenuExporter &exporter)
    : QDBusAbstractAdaptor(&exporter)
    , m_exporter(exporter)
{
    connect(&exporter, &DBusMenuExporter::layoutUpdated, this, &DBusMenuAdaptor::LayoutUpdated);
    connect(&exporter, &DBusMenuExporter::itemsPropertiesUpdated, this,
            &DBusMenuAdaptor::ItemsPropertiesUpdated);
}

QString DBusMenuAdaptor::textDirection() const
{
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

uint DBusMenuAdaptor::GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames,
                                DBusMenuLayoutItem &layout)
{
    layout = m_exporter.layout(parentId, recursionDepth, propertyNames);
    return m_exporter.revision();
}

DBusMenuItemPropertiesList DBusMenuAdaptor::GetGroupProperties(const QList<int> &ids,
                                                               const QStringList &propertyNames)
{
    // A host asks for the items it shows. Each id is answered once and unknown ones not at
    // all, so the reply stays as small as the menu; and only so many ids are looked at, so
    // that a flood of them cannot hold the windows.
    constexpr qsizetype MaxIds = 4096;
    DBusMenuItemPropertiesList list;
    QSet<int> seen;
    for (const int id : ids.first(std::min(ids.size(), MaxIds))) {
        if (seen.contains(id))
            continue;
        seen.insert(id);
        if (id == 0 || m_exporter.idExists(id))
            list.append({id, m_exporter.properties(id, propertyNames)});
    }
    return list;
}

QDBusVariant DBusMenuAdaptor::GetProperty(int id, const QString &name)
{
    // A variant must hold something on the wire.
    return QDBusVariant(m_exporter.properties(id, {name}).value(name, QString()));
}

void DBusMenuAdaptor::Event(int id, const QString &eventId, const QDBusVariant &data,
                            uint timestamp)
{
    Q_UNUSED(data)
    Q_UNUSED(timestamp)
    m_exporter.event(id, eventId);
}

QList<int> DBusMenuAdaptor::EventGroup(const DBusMenuEventList &events)
{
    QList<int> unknown;
    for (const DBusMenuEvent &event : events) {
        if (!m_exporter.event(event.id, event.eventId))
            unknown.append(event.id);
    }
    return unknown;
}

bool DBusMenuAdaptor::AboutToShow(int id)
{
    Q_UNUSED(id) // the layout is always up to date
    return false;
}

QList<int> DBusMenuAdaptor::AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors)
{
    Q_UNUSED(ids)
    idErrors.clear();
    return {};
}
