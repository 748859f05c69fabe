#pragma once

#include "listpane/addresscheck.h"
#include "common/background.h"

#include "net/camfetcher.h"

#include <QElapsedTimer>
#include <QObject>

// The add and edit dialogs' "Test": one fetch of an address by a panel's own fetch code, with
// its bounds, its TLS checks and the user's trusted certificates, reported in words.
class AddressTest : public QObject, public AddressChecker {
    Q_OBJECT
  public:
    explicit AddressTest(std::function<QByteArray(const QString& hostPort)> pins,
                         QObject* parent = nullptr);
    ~AddressTest() override;

    void check(const QByteArray& address, const QByteArray& refresh,
               std::function<void(const AddressReport&)> done) override;
    void useCredentials(std::optional<Credentials> credentials) override;

    CamFetcher* fetcher() const { return m_fetcher; }

  private:
    void pictureArrived(const FetchedPicture& fetched);
    // A stream is watched a moment, to tell its pace.
    void streamPictureArrived(const FetchedPicture& fetched);
    void reportStream();
    // Reports once the preview of `body` is decoded off the window's thread.
    void finishWithPreview(AddressReport report, const QByteArray& body, int64_t length);
    void failed(const QString& reason, FetchFailure kind);
    void finish(AddressReport report);
    // What the answer's head said, and how the connection went.
    QStringList answerFacts(qsizetype bodyBytes) const;
    QString timeTaken() const;

    CamFetcher* m_fetcher = nullptr;
    // the preview's decode, left to finish on its own when the dialog goes
    BackgroundQueue m_work{1, false};
    QElapsedTimer m_clock;
    QElapsedTimer m_streamClock;
    FetchedPicture m_streamFirst;
    std::function<void(const AddressReport&)> m_done;
};
