// Passwords: Basic and Digest answers as the RFCs work them out, the strongest challenge, and a
// cam's fetches against a scripted server that asks for them.
#include "net/authentication.h"
#include "net/camfetcher.h"

#include "scriptedserver.h"
#include "testmain.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTest>

namespace {

const Credentials mufasa{"Mufasa", "Circle of Life"};

// The value of `name`="..." in a Digest field.
QByteArray parameter(const QByteArray& field, const QByteArray& name) {
    const qsizetype at = field.indexOf(name + "=");
    if (at < 0)
        return {};
    QByteArray value = field.mid(at + name.size() + 1);
    value = value.startsWith('"') ? value.mid(1, value.indexOf('"', 1) - 1)
                                  : value.left(value.indexOf(','));
    return value.trimmed();
}

QByteArray authorizationOf(const QByteArray& request) {
    for (const QByteArray& line : request.split('\n'))
        if (line.startsWith("Authorization: "))
            return line.mid(15).trimmed();
    return {};
}

ScriptedServer::Script challenge(const QByteArray& fields) {
    return ScriptedServer::answer("HTTP/1.1 401 Unauthorized\r\n" + fields +
                                  "Content-Length: 0\r\n\r\n");
}

} // namespace

class AuthTest : public QObject {
    Q_OBJECT
  private slots:
    // RFC 7616, 3.9.1, and RFC 7617's Basic example.
    void answersAreTheRfcsWorkedExamples_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("algorithm");
        QTest::addColumn<QByteArray>("response");
        QTest::newRow("MD5") << QByteArray("MD5") << QByteArray("8ca523f5e9506fed4657c9700eebdbec");
        QTest::newRow("SHA-256") << QByteArray("SHA-256") << QByteArray("753927fa0e85d155564e2e272a28d1802ca10daf4496794697cf8db5856cb6c1");
        // clang-format on
    }
    void answersAreTheRfcsWorkedExamples() {
        QFETCH(QByteArray, algorithm);
        const std::string field = "Digest realm=\"http-auth@example.org\", qop=\"auth, auth-int\", "
                                  "algorithm=" +
                                  algorithm.toStdString() +
                                  ", nonce=\"7ypf/xlj9XXwfDPEoM4URrv/xwf94BcCAzFZH4GiTo0v\", "
                                  "opaque=\"FQhe/qaU925kfnzjCev0ciny7QMkPqMAFRtzCUYo5tdS\"";
        const auto challenges = ParseChallenges({field});
        QCOMPARE(challenges.size(), size_t(1));
        DigestSession session(challenges[0]);
        const QByteArray answer = QByteArray::fromStdString(session.authorization(
            mufasa, "GET", "/dir/index.html", "f2/wE4q74E6zIJEtWaHKaf5wv/H5QzzpXusqGemxURZJ"));
        QTEST(parameter(answer, "response"), "response");
        QCOMPARE(parameter(answer, "nc"), QByteArray("00000001"));
        QCOMPARE(parameter(answer, "opaque"),
                 QByteArray("FQhe/qaU925kfnzjCev0ciny7QMkPqMAFRtzCUYo5tdS"));
        session.authorization(mufasa, "GET", "/dir/index.html");
        QCOMPARE(session.count(), 2u); // the nonce serves again, counted up

        // MD5-sess: every request holds for a server that makes the session key from the
        // request's own client nonce
        const auto md5 = [](const QByteArray& text) {
            return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
        };
        DigestSession sess(ParseChallenges({"Digest realm=\"r\", nonce=\"n\", qop=\"auth\", "
                                            "algorithm=MD5-sess"})[0]);
        for (const char* clientNonce : {"first", "second", "third"}) {
            const auto sent =
                QByteArray::fromStdString(sess.authorization(mufasa, "GET", "/c.jpg", clientNonce));
            const QByteArray cnonce = parameter(sent, "cnonce"), nc = parameter(sent, "nc");
            const QByteArray key = md5(md5("Mufasa:r:Circle of Life") + ":n:" + cnonce);
            QCOMPARE(parameter(sent, "response"),
                     md5(key + ":n:" + nc + ":" + cnonce + ":auth:" + md5("GET:/c.jpg")));
        }

        QCOMPARE(BasicAuthorization({"Aladdin", "open sesame"}),
                 std::string("Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ=="));
    }

    void theStrongestChallengeIsAnswered_data() {
        // clang-format off
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("chosen"); // scheme and algorithm, or nothing
        QTest::newRow("SHA-256 before MD5") << QStringList{"Digest realm=\"r\", nonce=\"n\", algorithm=MD5, qop=\"auth\", " "Digest realm=\"r\", nonce=\"m\", algorithm=SHA-256, qop=\"auth\""} << "Digest 2";
        QTest::newRow("Digest before Basic") << QStringList{"Basic realm=\"r\"", "Digest realm=\"r\", nonce=\"n\""} << "Digest 0";
        QTest::newRow("unknown ones left out") << QStringList{"Negotiate", "Digest realm=\"r\", nonce=\"n\", algorithm=SHA-512-256", "Basic realm=\"cam\""} << "Basic 0";
        QTest::newRow("a Digest without a nonce") << QStringList{"Digest realm=\"r\""} << "";
        QTest::newRow("a session algorithm without qop") << QStringList{"Digest realm=\"r\", nonce=\"n\", algorithm=MD5-sess"} << "";
        // clang-format on
    }
    void theStrongestChallengeIsAnswered() {
        QFETCH(QStringList, fields);
        std::vector<std::string> texts;
        for (const QString& field : fields)
            texts.push_back(field.toStdString());
        const auto best = StrongestChallenge(ParseChallenges({texts.begin(), texts.end()}));
        const QString chosen =
            !best ? QString()
                  : QString("%1 %2")
                        .arg(best->scheme == AuthScheme::Digest ? "Digest" : "Basic")
                        .arg(int(best->algorithm));
        QTEST(chosen, "chosen");
    }

    // A cam behind Digest: asked once, later fetches answer at once with the nonce counted up;
    // a stale nonce is answered without asking; a refusal stops all tries until new
    // credentials; Basic over plain HTTP waits for the user's word; credentials never follow a
    // redirect to another server.
    void fetchesAnswerChallengesAsTheyShould_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("digest") << "digest";
        QTest::newRow("stale") << "stale";
        QTest::newRow("refused") << "refused";
        QTest::newRow("basic over http") << "basic";
        QTest::newRow("redirect elsewhere") << "redirect";
        QTest::newRow("redirect at home, another realm") << "home";
    }
    void fetchesAnswerChallengesAsTheyShould() {
        QFETCH(QString, kind);
        ScriptedServer server, elsewhere;
        const QByteArray digest =
            "WWW-Authenticate: Digest realm=\"cam\", qop=\"auth\", nonce=\"abc\"\r\n";
        int fresh = 0; // challenges with a new nonce sent
        server.setRoute([&](const QByteArray& request) {
            const QByteArray answer = authorizationOf(request);
            if (kind == "basic")
                return challenge("WWW-Authenticate: Basic realm=\"cam\"\r\n");
            if (kind == "redirect")
                return ScriptedServer::answer("HTTP/1.1 302 Found\r\nLocation: http://localhost:" +
                                              QByteArray::number(elsewhere.port()) +
                                              "/c.jpg\r\nContent-Length: 0\r\n\r\n");
            if (kind == "home" && request.startsWith("GET /c.jpg") && !answer.isEmpty())
                return ScriptedServer::answer(
                    "HTTP/1.1 302 Found\r\nLocation: /d.jpg\r\nContent-Length: 0\r\n\r\n");
            if (kind == "home" && request.startsWith("GET /d.jpg") &&
                parameter(answer, "nonce") != "xyz")
                return challenge("WWW-Authenticate: Digest realm=\"other\", qop=\"auth\", "
                                 "nonce=\"xyz\"\r\n");
            if (answer.isEmpty() || kind == "refused") {
                ++fresh;
                return challenge(digest);
            }
            if (kind == "stale" && parameter(answer, "nonce") == "abc")
                return challenge("WWW-Authenticate: Digest realm=\"cam\", qop=\"auth\", "
                                 "nonce=\"def\", stale=true\r\n");
            return ScriptedServer::answer(ScriptedServer::okResponse("picture"));
        });
        elsewhere.setScript(challenge(digest));
        CamFetcher fetcher;
        QSignalSpy pictures(&fetcher, &CamFetcher::pictureArrived);
        QSignalSpy failures(&fetcher, &CamFetcher::failed);
        fetcher.setRecord("Cam", ("http://" + server.address("/c.jpg")).toUtf8(), "300");
        fetcher.setCredentials(mufasa);
        fetcher.beginCycle();
        QTRY_VERIFY(!pictures.isEmpty() || !failures.isEmpty());

        if (kind == "home") { // the new realm's challenge is answered, not taken as a refusal
            QCOMPARE(pictures.size(), 1);
            return;
        }
        if (kind == "digest" || kind == "stale") {
            QCOMPARE(pictures.size(), 1);
            const int asked = server.connections;
            fetcher.beginCycle();
            QTRY_COMPARE(pictures.size(), 2);
            QCOMPARE(server.connections, asked + 1); // no 401 first
            const QByteArray last = authorizationOf(server.requests.last());
            QCOMPARE(parameter(last, "username"), QByteArray("Mufasa"));
            QCOMPARE(parameter(last, "nc"), QByteArray("00000002"));
            QCOMPARE(fresh, 1);
            return;
        }
        QCOMPARE(pictures.size(), 0);
        if (kind == "redirect") {
            QTRY_VERIFY(elsewhere.connections == 1 && !failures.isEmpty());
            QCOMPARE(authorizationOf(elsewhere.requests.value(0)), QByteArray());
            QCOMPARE(failures[0][0].toString(), QString("HTTP 401"));
            return;
        }
        QVERIFY(fetcher.isWaitingForCredentials());
        const auto expected =
            kind == "refused" ? FetchFailure::Refused : FetchFailure::PlainPassword;
        QCOMPARE(failures[0][1].value<FetchFailure>(), expected);
        if (kind == "basic")
            QCOMPARE(authorizationOf(server.requests.last()), QByteArray()); // nothing was sent
        const int asked = server.connections;
        QCOMPARE(asked, kind == "refused" ? 2 : 1);
        for (int second = 0; second < 400; ++second)
            fetcher.countSecond(); // a whole interval and more: nothing is tried
        QCOMPARE(server.connections, asked);
        fetcher.setCredentials(Credentials{"Mufasa", "another"});
        QTRY_VERIFY(server.connections > asked); // new ones are tried at once
    }
};

WEBCAMS_TEST(AuthTest)
#include "test_auth.moc"
