#pragma once

#include "common/ticker.h"

#include <QByteArray>
#include <QDateTime>
#include <QSize>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class BackgroundQueue;
class PictureSource;
class ProxyMemory;
class QObject;
class ReceptionBudget;
struct DecodedPicture;

// What the sources of all cams share: the budget of the answers being received, and where their
// time and their seconds come from (tests give their own).
struct SourceServices {
    std::shared_ptr<ReceptionBudget> budget;
    std::function<QDateTime()> now; // empty: the system's clock
    TickerMaker tickers;            // empty: timers of the event loop
    // where whole answers are finished (a gzip body inflated, a picture checked), off the
    // window's thread
    std::shared_ptr<BackgroundQueue> workers;
    std::shared_ptr<ProxyMemory> proxies; // what all cams learned of their proxies
};

// The kinds of cam the program takes, one line each: which addresses a kind takes, which
// answers turn out to be of that kind (an HTTP address may answer with a video's playlist), and
// how its source is made. A new kind of cam is a PictureSource of its own and a line here.
class SourceRegistry {
  public:
    explicit SourceRegistry(SourceServices services = {});

    // The kind of cam at `address`; the first kind, plain HTTP, takes what no other does (and
    // says itself why it cannot fetch it).
    QByteArray kindOf(const QByteArray& address) const;
    // The kind an answer of `contentType` beginning with `firstBytes` turns out to be; empty
    // when no other kind takes it.
    QByteArray kindOfAnswer(const QByteArray& contentType, std::string_view firstBytes) const;
    PictureSource* make(const QByteArray& kind, QObject* parent) const;
    // How the coded pictures of a kind's sources (a video's) are decoded, safe on any thread.
    using CodedDecoder =
        std::function<DecodedPicture(const QByteArray& format, const QByteArray& body, QSize fit)>;
    CodedDecoder decoder() const;
    const SourceServices& services() const { return m_services; }

  private:
    struct Kind {
        QByteArray name;
        std::function<bool(const QByteArray& address)> takesAddress;
        std::function<bool(const QByteArray& contentType, std::string_view firstBytes)> takesAnswer;
        std::function<PictureSource*(const SourceServices&, QObject* parent)> make;
        // the formats of its coded pictures begin with `formats`; empty: it brings picture files
        QByteArray formats;
        CodedDecoder decode;
    };
    SourceServices m_services;
    std::vector<Kind> m_kinds;
};
