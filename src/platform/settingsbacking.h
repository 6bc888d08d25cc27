#pragma once

#include "platform/outcome.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SharedTextReading;

// Where the program's settings (application "61027", section "Main") are kept: a file on
// Linux, the registry on Windows. Every value is UTF-16 text, stored and returned exactly.
// Standard types only: the Windows implementation is plain Win32.
class SettingsBacking
{
public:
    // One look at the store as it is now. Views it hands out live as long as it does.
    class Reading
    {
    public:
        virtual ~Reading() = default;
        virtual std::optional<std::u16string_view> value(std::u16string_view key) const = 0;
        virtual std::vector<std::u16string_view> keys() const = 0;
        // The same reading where it can hand out its values as Qt text (sharedtext.h).
        virtual const SharedTextReading *sharedText() const { return nullptr; }
    };

    // A key's new text; without one the key is removed.
    struct Change
    {
        std::u16string_view key;
        std::optional<std::u16string_view> value;
    };

    SettingsBacking() = default;
    virtual ~SettingsBacking() = default;
    SettingsBacking(const SettingsBacking &) = delete;
    SettingsBacking &operator=(const SettingsBacking &) = delete;

    // A store that cannot be read at all reads as empty, and is not written over.
    virtual std::unique_ptr<Reading> read() = 0;
    // Applies every change, or none of them where the store allows it; on failure the reason
    // says why in a few words for the user (UTF-8), and what was stored stays as it was.
    virtual Outcome<std::string> write(const std::vector<Change> &changes) = 0;
    // Where the store lives, for messages.
    virtual std::u16string location() const = 0;
    // What a reading found wrong with the store, once after it found it.
    struct Trouble
    {
        enum Kind { None, Damaged, Unreadable };
        Kind kind = None;
        // Damaged: where a copy of the store as it was is kept; empty when none could be.
        std::u16string copy;
        // Why no copy was kept, or why the store could not be read, in a few words (UTF-8).
        std::string reason;
    };
    virtual Trouble takeTrouble() { return {}; }
};

// The store of the OS the program was built for, at its usual place.
std::unique_ptr<SettingsBacking> createSettingsBacking();
