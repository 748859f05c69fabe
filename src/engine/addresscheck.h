#pragma once

#include "common/credentials.h"

#include <QByteArray>

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// What one trial fetch of an address found, in plain words for the dialog.
struct AddressReport {
    bool ok = false;   // a picture came
    QString headline;  // "A picture, 640 x 480" or what went wrong
    QStringList facts; // status, redirects, certificate, type, size, validators, time taken
    QImage preview;    // small; null without a picture
};

// Fetches an address once, the way a panel would, and reports. Dropping the checker cancels a
// check under way: its report never comes.
class AddressChecker {
  public:
    virtual ~AddressChecker();
    // The user name and password typed for the cam, for a check that follows.
    virtual void useCredentials(std::optional<Credentials>) {}
    // `refresh` bounds the fetch as a panel's cycle would.
    virtual void check(const QByteArray& address, const QByteArray& refresh,
                       std::function<void(const AddressReport&)> done) = 0;
};

// A checker for the cam of that name (empty for a new cam): its trusted certificate counts.
using AddressCheckerFactory =
    std::function<std::unique_ptr<AddressChecker>(const QByteArray& camName)>;

// What the panel of a running cam has learned of how often its picture changes.
struct RefreshSuggestion {
    int seconds = 0;
    QString text; // "changes about every 30 s"
};

using RefreshSuggestionSource = std::function<std::optional<RefreshSuggestion>(const QByteArray&)>;
