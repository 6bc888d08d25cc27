#pragma once

#include "platform/linux/settingsfileloader_linux.h"
#include "platform/settingsbacking.h"

#include <QString>

// The settings as a file of our own, $XDG_CONFIG_HOME/quillmoor/61027.ini, section [Main].
// Every save replaces the file whole under a lock beside it, so a crash leaves the old
// settings or the new ones. A read parses the file only when its identity, size or times
// changed since the last parse, so reading one key costs little however long the list. A file
// far larger than 32,767 entries can need is neither read nor written over, nor made by a save.
class SettingsFile final : public SettingsBacking
{
public:
    // The file's path is found anew for every operation, from the environment as it is then.
    SettingsFile() = default;

    std::unique_ptr<Reading> read() override;
    Outcome<std::string> write(const std::vector<Change> &changes) override;
    std::u16string location() const override;
    Trouble takeTrouble() override;

    static QString path();

private:
    SettingsFileLoader m_loader;
    Trouble m_trouble;
    // Why the file could not be read the last time it was tried, told once until it can be.
    QString m_unreadable;
};
