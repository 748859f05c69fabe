// Cams over TLS against a scripted TLS server with certificates made for each test: a trusted
// one shows pictures; expired, early, wrong-host and self-signed ones are refused with their
// reason; a self-signed one can be trusted for its cam, and a later other one is refused again.
#include "certificates.h"
#include "engine/camfollower.h"
#include "panelsfixture.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray picture(const QByteArray& body) {
    return ScriptedServer::okResponse(body, "image/jpeg");
}

TestIdentity signedByTheAuthority(CertificateOrder order = {}) {
    return makeCertificate(order, &testAuthority());
}

} // namespace

class SecureFetchTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { trustTestAuthority(); }

    void aPictureComesOverTls() {
        ScriptedServer server(signedByTheAuthority());
        server.setScript(ScriptedServer::answer(picture(jpegOf(Qt::red))));
        PanelsFixture f(camList({{"Secure", "HTTPS://" + server.address("/live/cam.jpg"), "300"}}));
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        f.start("Secure");
        QVERIFY(shown.wait(5000));
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(40, 30));
        // the same request as over plain HTTP
        QCOMPARE(server.requests[0], "GET /live/cam.jpg HTTP/1.1\r\nHost: 127.0.0.1:" +
                                         QByteArray::number(server.port()) +
                                         "\r\nConnection: close\r\nAccept: */*\r\n\r\n");
        QCOMPARE(f.panel(0)->stateMark(), Freshness::New);
    }

    void aRedirectLeadsFromHttpToHttps() {
        ScriptedServer secure(signedByTheAuthority());
        secure.setRoute([](const QByteArray& request) {
            return ScriptedServer::answer(
                request.startsWith("GET /first.jpg")
                    ? QByteArray("HTTP/1.1 301 Moved\r\nLocation: /final.jpg\r\n\r\n")
                    : picture(jpegOf(Qt::green)));
        });
        ScriptedServer plain;
        plain.setScript(ScriptedServer::answer("HTTP/1.1 302 Found\r\nLocation: https://" +
                                               secure.address("/first.jpg").toUtf8() +
                                               "\r\nContent-Length: 0\r\n\r\n"));
        PanelsFixture f(camList({{"Moved", "http://" + plain.address("/cam.jpg"), "300"}}));
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        QSignalSpy details(&f.selection(), &CamFollower::detailsChanged);
        f.start("Moved");
        QVERIFY(shown.wait(5000));
        QCOMPARE(secure.connections, 2);
        QCOMPARE(details.last()[0].value<CamDetails>().source,
                 "https://" + secure.address("/final.jpg"));
    }

    void untrustedCertificatesAreRefusedWithTheirReason_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("expired") << 0 << "expired";
        QTest::newRow("not yet valid") << 1 << "not yet valid";
        QTest::newRow("wrong host") << 2 << "wrong host name";
        QTest::newRow("self-signed") << 3 << "self-signed";
        QTest::newRow("unknown authority") << 4 << "untrusted";
    }
    void untrustedCertificatesAreRefusedWithTheirReason() {
        QFETCH(int, kind);
        QFETCH(QString, reason);
        CertificateOrder order;
        TestIdentity identity;
        switch (kind) {
        case 0:
            order.validFromDays = -30, order.validToDays = -1;
            identity = signedByTheAuthority(order);
            break;
        case 1:
            order.validFromDays = 2, order.validToDays = 30;
            identity = signedByTheAuthority(order);
            break;
        case 2:
            order.commonName = "other.example", order.addresses = {},
            order.names = {"other.example"};
            identity = signedByTheAuthority(order);
            break;
        case 3:
            identity = makeCertificate(order);
            break;
        default: {
            CertificateOrder authority;
            authority.commonName = "Unknown Authority", authority.authority = true;
            const TestIdentity unknown = makeCertificate(authority);
            identity = makeCertificate(order, &unknown);
        }
        }
        ScriptedServer server(identity);
        server.setScript(ScriptedServer::answer(picture(jpegOf(Qt::red))));
        PanelsFixture f(camList({{"Cam", "https://" + server.address("/c.jpg"), "300"}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
        QVERIFY(!f.panel(0)->hasPicture());
        QVERIFY2(f.status.contains(reason), qPrintable(f.status));
        QVERIFY(f.status.startsWith("Cam: the certificate is not trusted"));
        QCOMPARE(f.panel(0)->stateMark(), Freshness::Error);
        QVERIFY(f.panel(0)->stateTooltip().contains(reason));
        // nothing was asked of a server that could not be trusted
        QVERIFY(server.requests.isEmpty() || !server.requests[0].contains("GET"));
    }

    void aSelfSignedCertificateCanBeTrustedForItsCamOnly() {
        CertificateOrder order;
        const TestIdentity mine = makeCertificate(order);
        ScriptedServer server(mine);
        server.setScript(ScriptedServer::answer(picture(jpegOf(Qt::red))));
        PanelsFixture f(camList({{"Home", "https://" + server.address("/c.jpg"), "300"},
                                 {"Other", "https://" + server.address("/c.jpg"), "300"}}));
        f.start("Home");
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
        QVERIFY(f.panel(0)->offersCertificateTrust());

        // the user sees the fingerprint and chooses to trust it
        f.prompter.answers = {PromptAnswer::Ok};
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        f.area->chooseAction(0, "trustCertificate");
        QCOMPARE(f.prompter.asked.size(), 1);
        QCOMPARE(f.prompter.asked[0].buttons, PromptButtons::TrustCancel);
        const QString fingerprint = ReadableFingerprint(CamSocket::fingerprintOf(mine.certificate));
        QVERIFY(f.prompter.asked[0].text.contains(fingerprint));
        QVERIFY(shown.wait(5000)); // asked again at once, and accepted
        QCOMPARE(f.panel(0)->stateMark(), Freshness::New);

        // the trust is this cam's: another cam of the same server is still refused
        f.start("Other");
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(1), 5000);
        QVERIFY(!f.panel(1)->hasPicture());

        // a later, different certificate is refused again, and said so
        server.setIdentity(makeCertificate(order));
        f.engine->refreshNow(0);
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
        QVERIFY2(f.status.contains("changed since it was trusted"), qPrintable(f.status));
        QCOMPARE(f.panel(0)->stateMark(), Freshness::Error);
    }

    void whatIsTrustedIsTheCertificateTheQuestionShowed() {
        CertificateOrder order;
        const TestIdentity shown = makeCertificate(order);
        ScriptedServer server(shown);
        server.setScript(ScriptedServer::answer(picture(jpegOf(Qt::red))));
        PanelsFixture f(camList({{"Home", "https://" + server.address("/c.jpg"), "300"}}));
        f.start("Home");
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
        f.prompter.later = true;
        f.area->chooseAction(0, "trustCertificate");
        // while the question is open, the server presents another certificate to a retry
        server.setIdentity(makeCertificate(order));
        f.engine->refreshNow(0);
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
        f.prompter.waiting.takeFirst()(PromptAnswer::Ok);
        QCOMPARE(f.pins.lookup("Home", "127.0.0.1:" + QString::number(server.port())),
                 CamSocket::fingerprintOf(shown.certificate));
    }

    void cancellingTheTrustTrustsNothing() {

        const TestIdentity mine = makeCertificate(CertificateOrder{});
        ScriptedServer server(mine);
        server.setScript(ScriptedServer::answer(picture(jpegOf(Qt::red))));
        PanelsFixture f(camList({{"Home", "https://" + server.address("/c.jpg"), "300"}}));
        f.start("Home");
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
        f.prompter.answers = {PromptAnswer::Cancel};
        f.area->chooseAction(0, "trustCertificate");
        QVERIFY(f.pins.lookup("Home", "127.0.0.1:" + QString::number(server.port())).isEmpty());
    }

    void aStalledHandshakeEndsWithItsReason() {
        ScriptedServer silent; // accepts, and never says a word
        // its seconds pass only when ticked: the handshake's own bound ends it, not the interval
        PanelsFixture f(camList({{"Cam", "https://" + silent.address("/c.jpg"), "1"}}), true);
        f.fetcher(0)->setStallTimeout(300);
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
        QVERIFY(f.panel(0)->stateTooltip().contains("TLS handshake timed out"));
    }

    void plainHttpOnATlsPortAndTheOtherWayRound() {
        ScriptedServer plain;
        ScriptedServer::Script answerAtOnce = ScriptedServer::answer(picture(jpegOf(Qt::red)));
        answerAtOnce.waitForRequest = false;
        plain.setScript(answerAtOnce);
        ScriptedServer secure(signedByTheAuthority());
        secure.setScript(ScriptedServer::answer(picture(jpegOf(Qt::red))));
        PanelsFixture f(camList({{"A", "https://" + plain.address("/c.jpg"), "300"},
                                 {"B", "http://" + secure.address("/c.jpg"), "300"}}));
        f.start("A");
        f.start("B");
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0) && f.engine->isSettled(1), 10000);
        for (int i : {0, 1}) {
            QVERIFY(!f.panel(i)->hasPicture() ||
                    pictureOf(f.panel(i)) == f.engine->notFoundPicture());
            QCOMPARE(f.panel(i)->stateMark(), Freshness::Error);
        }
        QVERIFY(f.panel(0)->stateTooltip().contains("TLS"));
    }
};

WEBCAMS_TEST(SecureFetchTest)
#include "test_secure.moc"
