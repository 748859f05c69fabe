#include "source/picturesource.h"

SourceKeeping::~SourceKeeping() = default;

PictureSource::~PictureSource() = default;

bool PictureSource::perform(const SourceAction&) {
    return false;
}

PictureSource::FailureReport PictureSource::describeFailure(const QString& reason,
                                                            FetchFailure kind) const {
    switch (kind) {
    case FetchFailure::Connection:
        return {tr("The server could not be reached: %1").arg(reason), {}};
    case FetchFailure::Certificate:
        return {tr("The certificate is not trusted: %1").arg(reason), {}};
    case FetchFailure::Timeout:
        return {tr("No whole answer came in time: %1").arg(reason), {}};
    case FetchFailure::NotPicture:
        return {tr("The answer is not a picture (%1)").arg(reason), {}};
    case FetchFailure::Protocol:
        return {tr("The answer could not be used: %1").arg(reason), {}};
    case FetchFailure::Refused:
        return {tr("The cam refused the user name or password"), {}};
    case FetchFailure::PlainPassword:
        return {tr("The cam asks for its password over plain HTTP, where it travels "
                   "unencrypted; start the cam to agree to that for it"),
                {}};
    case FetchFailure::Address:
        return {tr("This address cannot be fetched"), {reason}, false};
    case FetchFailure::ProxyRefused:
        return {tr("The proxy refused its user name or password"), {reason}};
    case FetchFailure::StreamEnded:
        break;
    }
    return {tr("The stream ended before its first picture: %1").arg(reason), {}};
}
