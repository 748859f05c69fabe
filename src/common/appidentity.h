#pragma once

#include <QString>

// The product's name, company and website text, copied from the version information at
// start-up and read-only afterwards.
struct AppIdentity {
    QString ProductName;
    QString CompanyName;
    QString Website;
};

AppIdentity LoadAppIdentity();
