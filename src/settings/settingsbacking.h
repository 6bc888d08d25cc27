#pragma once

#include <QSettings>

#include <memory>

// Where and how the store is kept; one implementation per OS.
namespace SettingsBacking {

// A QSettings on the store, not yet inside any group.
std::unique_ptr<QSettings> open();
QString location();
// True when a sync replaces the whole store in one step (a file); false when every value is
// written on its own (the registry).
bool replacesAtomically();
// Called before each write: keeps a copy of a store that could not be read whole.
void preserveDamaged();

} // namespace SettingsBacking
