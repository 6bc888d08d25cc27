#include "widgets/reportfailure.h"
#include "logic/dialogs.h"

namespace Corvath {

bool reportFailure(const Outcome<QString> &result)
{
    if (result)
        return true;
    dialogs()->messageBox(result.reason(), QStringLiteral("Error"), MessageIcon::Critical);
    return false;
}

bool reportStoreFailure(const Outcome<QString> &result)
{
    return result || reportFailure(Failure {result.reason() + u' ' + storeUnchanged()});
}

QString storeUnchanged()
{
    return QStringLiteral("What was stored before is unchanged.");
}

} // namespace Corvath
