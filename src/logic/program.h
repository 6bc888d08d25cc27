#pragma once

namespace Corvath {

class Dialogs;

// The program's state for one run: whether it is ending and who answers its questions. main
// owns the one that runs, and each test makes a fresh one. The free functions below, and
// dialogs(), act on the current one.
class Program final
{
public:
    // Becomes the current program until it is destroyed. Programs nest: the newest goes first.
    Program();
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // The newest living program; one for the whole process when nobody made one.
    static Program &current();

    // The event loop stops, waits return, and passes under way start nothing more.
    void end();
    bool isEnding() const { return m_ending; }

    // nullptr: none installed.
    Dialogs *dialogs() const { return m_dialogs; }
    // Does not take ownership; nullptr removes them.
    void setDialogs(Dialogs *dialogs) { m_dialogs = dialogs; }

private:
    struct Fallback
    {
    };
    explicit Program(Fallback);

    Program *m_previous = nullptr;
    bool m_registered = false;
    bool m_ending = false;
    Dialogs *m_dialogs = nullptr;
};

// Ends the program at once.
void EndProgram();
bool IsEnding();

} // namespace Corvath
