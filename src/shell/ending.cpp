#include "shell/ending.h"

#include <QCoreApplication>

namespace Corvath {
namespace {
bool s_ending = false;
} // namespace

void EndProgram()
{
    s_ending = true;
    QCoreApplication::exit(0);
}

bool IsEnding()
{
    return s_ending;
}

} // namespace Corvath
