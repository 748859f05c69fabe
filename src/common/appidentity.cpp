#include "common/appidentity.h"

#include "common/version.h"

AppIdentity LoadAppIdentity() {
    return {QString::fromUtf8(version::productName), QString::fromUtf8(version::companyName),
            QString::fromUtf8(version::website)};
}
