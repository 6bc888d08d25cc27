#include "logic/program.h"

#include <QCoreApplication>

namespace Corvath {
namespace {
Program *s_current = nullptr;
} // namespace

Program::Program()
    : m_previous(s_current)
    , m_registered(true)
{
    s_current = this;
}

Program::Program(Fallback)
{ }

Program::~Program()
{
    if (m_registered && s_current == this)
        s_current = m_previous;
}

Program &Program::current()
{
    if (s_current)
        return *s_current;
    static Program fallback {Fallback {}};
    return fallback;
}

void Program::end()
{
    m_ending = true;
    QCoreApplication::exit(0);
}

void EndProgram()
{
    Program::current().end();
}

bool IsEnding()
{
    return Program::current().isEnding();
}

} // namespace Corvath
