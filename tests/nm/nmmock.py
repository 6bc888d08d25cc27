#!/usr/bin/python3
"""Drives python-dbusmock's NetworkManager template on the bus named by DBUS_SYSTEM_BUS_ADDRESS.

  nmmock.py wait                                  until the mock answers
  nmmock.py add NAME TYPE STATE [GROUP.KEY=VALUE...]
                                                  a connection of TYPE, active in STATE
                                                  (1 activating, 2 activated), listed last
  nmmock.py state NAME STATE [standard|legacy|statechanged|all]
                                                  changes its state, told by the signals named
                                                  (all: the standard ones and StateChanged)
  nmmock.py remove NAME                           takes it off the list and the bus
  nmmock.py broken NAME                           lists a connection that answers every
                                                  question with an error
  nmmock.py odd SIGNATURE                         lists an array of another type (ai, aao, ...)
  nmmock.py odd a{sv} NAME                        lists a connection whose properties come
                                                  as an array of integers
  nmmock.py malformed SIGNATURE                   tells of a new list of that type, the list
                                                  itself unchanged
  nmmock.py malformed s NAME                      tells of a new state of NAME given as text
"""

import sys
import time

import dbus

NM = 'org.freedesktop.NetworkManager'
MANAGER = '/org/freedesktop/NetworkManager'
SETTINGS = '/org/freedesktop/NetworkManager/Settings'
ACTIVE = 'org.freedesktop.NetworkManager.Connection.Active'
MOCK = 'org.freedesktop.DBus.Mock'
PROPERTIES = 'org.freedesktop.DBus.Properties'


def bus():
    return dbus.SystemBus()


def obj(path):
    return bus().get_object(NM, path, introspect=False)


def active_path(name):
    return '/org/freedesktop/NetworkManager/ActiveConnection/' + name


def listed():
    return list(obj(MANAGER).Get(NM, 'ActiveConnections', dbus_interface=PROPERTIES))


def set_list(paths):
    # The template's setter sends both the standard and the older PropertiesChanged.
    obj('/org/freedesktop').SetProperty(MANAGER, NM, 'ActiveConnections',
                                        dbus.Array(paths, signature='o', variant_level=1),
                                        dbus_interface=MOCK)


def wait():
    deadline = time.monotonic() + 20
    while True:
        try:
            listed()
            return
        except dbus.exceptions.DBusException:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.05)


def add(name, kind, state, extra):
    groups = {'connection': {'type': kind, 'id': name}}
    for item in extra:
        key, value = item.split('=', 1)
        group, field = key.split('.', 1)
        groups.setdefault(group, {})[field] = value
    settings = obj(SETTINGS).AddConnection(
        dbus.Dictionary(groups, signature='sa{sv}'),
        dbus_interface='org.freedesktop.NetworkManager.Settings')
    path = active_path(name)
    obj('/org/freedesktop').AddObject(path, ACTIVE, {
        'Type': dbus.String(kind),
        'State': dbus.UInt32(int(state)),
        'Vpn': dbus.Boolean(kind == 'vpn'),
        'Connection': dbus.ObjectPath(settings),
        'Devices': dbus.Array([], signature='o'),
        'Id': dbus.String(name),
    }, dbus.Array([], signature='(ssss)'), signature='ssa{sv}a(ssss)', dbus_interface=MOCK)
    set_list(listed() + [dbus.ObjectPath(path)])


def state(name, value, how):
    target = obj(active_path(name))
    value = dbus.UInt32(int(value))
    if how in ('standard', 'all'):
        target.UpdateProperties(ACTIVE, {'State': value}, dbus_interface=MOCK)
    else:
        # Stored without a word, so that only the signal chosen below tells of it.
        target.AddMethod(MOCK, 'Store', 'u', '',
                         f"self.props['{ACTIVE}']['State'] = dbus.UInt32(args[0])",
                         dbus_interface=MOCK)
        target.Store(value, dbus_interface=MOCK)
    if how == 'legacy':
        target.EmitSignal(ACTIVE, 'PropertiesChanged', 'a{sv}',
                          [dbus.Dictionary({'State': value}, signature='sv')],
                          dbus_interface=MOCK)
    if how in ('statechanged', 'all'):
        target.EmitSignal(ACTIVE, 'StateChanged', 'uu', [value, dbus.UInt32(0)],
                          dbus_interface=MOCK)


def remove(name):
    path = active_path(name)
    set_list([p for p in listed() if p != path])
    obj('/org/freedesktop').RemoveObject(path, dbus_interface=MOCK)


def broken(name):
    path = active_path(name)
    # Its properties sit on another interface, so asking for the active connection's fails.
    obj('/org/freedesktop').AddObject(path, 'org.example.Broken', {}, [],
                                      signature='ssa{sv}a(ssss)', dbus_interface=MOCK)
    set_list(listed() + [dbus.ObjectPath(path)])


def odd(signature, name=None):
    if name:
        broken(name)
        obj(active_path(name)).AddMethod(PROPERTIES, 'GetAll', 's', 'ai', 'ret = [1, 2, 3]',
                                         dbus_interface=MOCK)
        return
    obj('/org/freedesktop').SetProperty(MANAGER, NM, 'ActiveConnections', odd_value(signature),
                                        dbus_interface=MOCK)


def odd_value(signature):
    path = dbus.ObjectPath(active_path('odd'))
    values = {'ai': [dbus.Int32(1)], 'a{sv}': {'a': dbus.Int32(1)},
              'aao': [dbus.Array([path], signature='o')],
              'a(is)': [dbus.Struct((dbus.Int32(1), 'x'))],
              'av': [dbus.ObjectPath(path, variant_level=1)]}
    kind = dbus.Dictionary if signature == 'a{sv}' else dbus.Array
    return kind(values[signature], signature=signature[1:].strip('{}'), variant_level=1)


def malformed(signature, name=None):
    if name:
        path, interface, changed = active_path(name), ACTIVE, {'State': dbus.String('activated')}
    else:
        path, interface, changed = MANAGER, NM, {'ActiveConnections': odd_value(signature)}
    obj(path).EmitSignal(PROPERTIES, 'PropertiesChanged', 'sa{sv}as',
                         dbus.Array([interface, dbus.Dictionary(changed, signature='sv'),
                                     dbus.Array([], signature='s')], signature='v'),
                         dbus_interface=MOCK)


def main(argv):
    command, args = argv[1], argv[2:]
    if command == 'wait':
        wait()
    elif command == 'add':
        add(args[0], args[1], args[2], args[3:])
    elif command == 'state':
        state(args[0], args[1], args[2] if len(args) > 2 else 'all')
    elif command == 'remove':
        remove(args[0])
    elif command == 'broken':
        broken(args[0])
    elif command == 'odd':
        odd(*args)
    elif command == 'malformed':
        malformed(*args)
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv)
