#pragma once

#include "common/background.h"
#include "engine/addresscheck.h"
#include "source/picturesource.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <memory>

class SourceRegistry;

// The add and edit dialogs' "Test": one attempt at an address by the source a running cam of
// that address would have (the registry's), with its bounds, its checks and the user's
// trusted certificates, reported in words.
class AddressTest : public QObject, public AddressChecker {
    Q_OBJECT
  public:
    AddressTest(const SourceRegistry& registry,
                std::function<QByteArray(const QString& hostPort)> pins, QObject* parent = nullptr);
    ~AddressTest() override;

    void check(const QByteArray& address, const QByteArray& refresh,
               std::function<void(const AddressReport&)> done) override;
    void useCredentials(std::optional<Credentials> credentials) override;

    // The cam's motion level and threshold while its panel watches it (empty otherwise),
    // added to each report.
    void setMotionLevel(std::function<QString()> level) { m_motionLevel = std::move(level); }

    // The source of the check under way, or of the last one.
    PictureSource* source() const { return m_source; }

  private:
    void makeSource(const QByteArray& kind);
    void pictureArrived(const FetchedPicture& fetched);
    // A stream is watched a moment, to tell its pace.
    void reportStream();
    // Reports once the preview of `body` is decoded off the window's thread.
    void finishWithPreview(AddressReport report, const FetchedPicture& picture);
    void failed(const QString& reason, FetchFailure kind);
    void finish(AddressReport report);
    QString timeTaken() const;

    const SourceRegistry& m_registry;
    std::unique_ptr<SourceKeeping> m_keeping;
    QPointer<PictureSource> m_source;
    QByteArray m_address, m_refresh;
    std::optional<Credentials> m_credentials;
    // the preview's decode, left to finish on its own when the dialog goes
    BackgroundQueue m_work{1, false};
    QElapsedTimer m_clock;
    QElapsedTimer m_streamClock;
    FetchedPicture m_streamFirst;
    std::function<void(const AddressReport&)> m_done;
    std::function<QString()> m_motionLevel;
};
