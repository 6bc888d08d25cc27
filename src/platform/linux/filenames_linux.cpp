#include "platform/filenames.h"

namespace FileNames {

const char *everyFilePattern()
{
    return "*";
}

bool ignoreCase()
{
    return false;
}

} // namespace FileNames
