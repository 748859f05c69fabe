// The plain parts of fetching as the web is today: status and header fields, body framing and
// chunks, redirect targets, Retry-After and HTTP dates, the retry schedule.
#include "net/chunked.h"
#include "net/contentcoding.h"
#include "net/httphead.h"
#include "net/location.h"
#include "net/multipart.h"
#include "net/proxy.h"
#include "source/backoff.h"

#include "compressed.h"
#include "testmain.h"

#include <QTest>
#include <map>

using namespace std::string_literals;
using namespace std::string_view_literals;

namespace {

// Feeds `input` to a decoder in batches of `batch` bytes.
std::pair<ChunkedDecoder, std::string> decode(std::string_view input, size_t batch = 1000000,
                                              size_t bound = 1 << 20) {
    ChunkedDecoder decoder(bound);
    std::string body;
    for (size_t at = 0; at < input.size(); at += batch)
        decoder.feed(input.substr(at, batch), body);
    return {decoder, body};
}

CamAddress base(const char* address) {
    return *SplitCamAddress(address);
}

std::string resolved(const char* from, std::string_view location) {
    const LocationResult result = ResolveLocation(base(from), location);
    return result.ok ? result.target.text() : "refused: " + result.error;
}

} // namespace

class HttpTest : public QObject {
    Q_OBJECT
  private slots:
    void statusAndFieldsAreRead() {
        const ResponseHead head = ParseResponseHead(
            "HTTP/1.1 302 Found\r\nLocation: /b.jpg \r\nX: 1\nset-cookie: a\r\nnot a field\r\n"
            "Set-Cookie: b");
        QCOMPARE(head.status, 302);
        QCOMPARE(*head.value("location"), "/b.jpg"sv);
        QCOMPARE(head.values("Set-Cookie").size(), size_t(2));
        QVERIFY(!head.value("Content-Type"));
        QCOMPARE(ParseResponseHead("HTTP/1.0 404\r\n").status, 404);
        QCOMPARE(ParseResponseHead("HTTP/2 200 OK").status, 0);
        QCOMPARE(ParseResponseHead("ICY 200 OK").status, 0);
        QCOMPARE(ParseResponseHead("HTTP/1.1 2000 Big").status, 0);
        QCOMPARE(ParseResponseHead("HTTP/1.1 050 Odd").status, 0);
        QCOMPARE(ParseResponseHead("HTTP/1.1 600 Odd").status, 0);
        QCOMPARE(ParseResponseHead("").status, 0);
    }

    void framingFollowsTheFields() {
        auto framing = [](const char* headers) { return FramingOf(ParseResponseHead(headers)); };
        QCOMPARE(framing("HTTP/1.1 200 OK\r\nContent-Length: 12").kind, BodyFraming::ContentLength);
        QCOMPARE(framing("HTTP/1.1 200 OK\r\nContent-Length: 12").length, int64_t(12));
        QCOMPARE(framing("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, Chunked\r\nContent-Length: 9")
                     .kind,
                 BodyFraming::Chunked);
        QCOMPARE(framing("HTTP/1.1 304 Not Modified\r\nContent-Length: 500").kind,
                 BodyFraming::None);
        QCOMPARE(framing("HTTP/1.1 204 No Content").kind, BodyFraming::None);
        for (const char* unreadable :
             {"Content-Length: -1", "Content-Length: 12abc",
              "Content-Length: 7\r\nContent-Length: 8", "Content-Length: 1234567890123456789012"})
            QCOMPARE(framing(("HTTP/1.1 200 OK\r\n"s + unreadable).c_str()).kind,
                     BodyFraming::UntilClose);
        QCOMPARE(framing("HTTP/1.1 200 OK").kind, BodyFraming::UntilClose);
    }

    void chunksAreDecodedInAnyBatches() {
        const std::string body = "7\r\nMozilla\r\n11;ext=\"x\"\r\nDeveloper Network\r\n0\r\n"
                                 "Trailer: yes\r\n\r\nleft over";
        for (size_t batch : {size_t(1), size_t(2), size_t(5), body.size()}) {
            auto [decoder, decoded] = decode(body, batch);
            QVERIFY(decoder.done());
            QCOMPARE(decoded, "MozillaDeveloper Network"s);
        }
        ChunkedDecoder decoder(100);
        std::string decoded;
        QCOMPARE(decoder.feed("1\r\na\r\n0\r\n\r\nXYZ", decoded), size_t(11)); // not the rest
        auto [lfOnly, lfBody] = decode("3\nabc\n0\n\n");
        QVERIFY(lfOnly.done());
        QCOMPARE(lfBody, "abc"s);
    }

    void badChunksAreErrors_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("error");
        QTest::newRow("ffffffffffffffff") << QByteArray("ffffffffffffffff\r\nab") << "too large";
        QTest::newRow("-1") << QByteArray("-1\r\nab") << "not a number";
        QTest::newRow("1x") << QByteArray("1x\r\na\r\n0\r\n\r\n") << "not a number";
        QTest::newRow("empty size") << QByteArray("\r\nab") << "not a number";
        QTest::newRow("100 KB extension") << ("1;" + QByteArray(100 * 1024, 'e') + "\r\na\r\n") << "line too long";
        QTest::newRow("no line end after data") << QByteArray("2\r\nabc\r\n") << "line end";
        QTest::newRow("endless chunks") << QByteArray("100000\r\n") + QByteArray(0x100000, 'z') + "\r\n" + QByteArray("100000\r\n") + QByteArray(0x100000, 'z') << "too large";
        // clang-format on
    }
    void badChunksAreErrors() {
        QFETCH(QByteArray, input);
        QFETCH(QString, error);
        auto [decoder, decoded] = decode(input.toStdString(), 7000, 1 << 20);
        QVERIFY(decoder.failed());
        QVERIFY2(QString::fromStdString(decoder.error()).contains(error), decoder.error().c_str());
        QVERIFY(decoded.size() <= size_t(1 << 20));
        std::string more;
        QCOMPARE(decoder.feed("1\r\na\r\n", more), size_t(0)); // it stays failed
    }

    void contentCodingsAreUndoneWithinABound_data() {
        // clang-format off
        const QByteArray plain = QByteArray("picture ").repeated(1000);
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("expected"); // or "refused: " and the reason's start
        QTest::newRow("gzip") << QByteArray("gzip") << compressed(plain, 31) << plain;
        QTest::newRow("x-gzip") << QByteArray("X-GZip") << compressed(plain, 31) << plain;
        QTest::newRow("deflate") << QByteArray("deflate") << compressed(plain, 15) << plain;
        QTest::newRow("raw deflate") << QByteArray("deflate") << compressed(plain, -15) << plain;
        QTest::newRow("two, in order") << QByteArray("deflate, gzip") << compressed(compressed(plain, 15), 31) << plain;
        QTest::newRow("identity") << QByteArray("identity") << plain << plain;
        QTest::newRow("unknown coding") << QByteArray("br") << plain << QByteArray("refused: the answer is compressed as \"br\"");
        QTest::newRow("cut short") << QByteArray("gzip") << compressed(plain, 31).left(40) << QByteArray("refused: the answer's compression is broken");
        // a small body that unpacks past the bound is stopped there
        QTest::newRow("bomb") << QByteArray("gzip") << compressed(QByteArray(50000, 0), 31) << QByteArray("refused: the server's answer is too large");
        // layers upon layers, each within the bound, would cost many times the bound
        QTest::newRow("three layers") << QByteArray("gzip, gzip, gzip") << compressed(compressed(compressed(plain, 31), 31), 31) << QByteArray("refused: the answer is compressed more than twice");
        // clang-format on
    }
    // Past 16 MB, an answer unpacking to more than a hundred times its size is a bomb, however
    // large the bound.
    void aBombIsRefusedByItsRatio() {
        const QByteArray bomb = compressed(QByteArray(20 << 20, 0), 31);
        QVERIFY(!DecodeContent("gzip", bomb, size_t(64) << 20).ok);
    }

    void contentCodingsAreUndoneWithinABound() {
        QFETCH(QByteArray, field);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, expected);
        const DecodedContent decoded = DecodeContent(field.toStdString(), body, 10000);
        if (expected.startsWith("refused: "))
            QVERIFY2(!decoded.ok && decoded.error.starts_with(expected.mid(9).toStdString()),
                     decoded.error.c_str());
        else
            QCOMPARE(decoded.bytes, expected);
    }

    // Parts framed as real cams send them, in any batches; what cannot be a stream stops it.
    void streamPartsAreFramed_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QByteArray>("bodies"); // each part's body, then "|"
        QTest::addColumn<QByteArray>("stop");   // why the reader stopped, or nothing
        const QByteArray jpeg = "\xFF\xD8--frame in the data\xFF\xD9";
        QTest::newRow("lengths") << QByteArray( "--frame\r\nContent-Length: 4\r\n\r\nab\r\n\r\n--frame\r\n" "Content-Length: 1\r\n\r\nc\r\n--frame--\r\n") << QByteArray("ab\r\n|c|") << QByteArray("the stream ended");
        QTest::newRow("no lengths, a boundary-like line inside") << "--frame\r\nContent-Type: image/jpeg\r\n\r\n" + jpeg + "\r\n--frame\r\n\r\n" + jpeg + "\r\n--frame\r\n" << jpeg + "|" + jpeg + "|" << QByteArray();
        QTest::newRow("no first boundary, LF lines, more dashes") << QByteArray("Content-Type: image/jpeg\nX-Time: 1\n\nab\n------frame\nContent-Type: " "x\n\ncd\n--frame\n") << QByteArray("ab|cd|") << QByteArray();
        QTest::newRow("a picture right after the boundary") << "--frame\r\n" + jpeg + "\r\n--frame\r\n" << jpeg + "|" << QByteArray();
        QTest::newRow("too large") << QByteArray("--frame\r\nContent-Length: 99999\r\n\r\n") << QByteArray() << QByteArray("a picture of the stream is too large");
        QTest::newRow("endless headers") << "--frame\r\n" + QByteArray(9000, 'h') << QByteArray() << QByteArray("a part's headers are too long");
        // clang-format on
    }
    void streamPartsAreFramed() {
        QFETCH(QByteArray, stream);
        QFETCH(QByteArray, stop);
        for (const qsizetype batch : {qsizetype(1), qsizetype(7), stream.size()}) {
            MultipartReader reader(*StreamBoundary("multipart/x-mixed-replace; boundary=--frame"),
                                   1000);
            QByteArray bodies;
            bool goesOn = true;
            for (qsizetype at = 0; at < stream.size() && goesOn; at += batch)
                goesOn = reader.feed(stream.mid(at, batch).toStdString(),
                                     [&](std::string_view, std::string_view body) {
                                         bodies += QByteArray(body.data(), body.size()) + "|";
                                     });
            QTEST(bodies, "bodies");
            QCOMPARE(QByteArray::fromStdString(reader.error()), stop);
        }
    }

    // A stream sent as another type (ffmpeg's server) is told by its first bytes.
    void streamsAreToldByTheirFirstBytes() {
        bool more = false;
        QCOMPARE(SniffedStreamBoundary("--ffmpeg\r\nContent-type: image/jpeg\r\n\r\n", &more),
                 std::optional<std::string>("ffmpeg"));
        QVERIFY(!SniffedStreamBoundary("--ffmpeg\r\nContent-type: text/html\r\n\r\n", &more));
        QVERIFY(!SniffedStreamBoundary("--ffmpeg\r\nContent-", &more) && more);
        // a head that came alone, or with a byte of the body: more is awaited
        for (const char* first : {"", "-", "--ffm"})
            QVERIFY2(!SniffedStreamBoundary(first, &more) && more, first);
        QVERIFY(!SniffedStreamBoundary("<html>", &more) && !more);
    }

    void aMissingFinalChunkIsNotDone() {
        auto [decoder, decoded] = decode("4\r\nabcd\r\n");
        QVERIFY(!decoder.done() && !decoder.failed());
        QCOMPARE(decoded, "abcd"s);
    }

    void redirectsResolveAgainstTheAnsweringAddress() {
        QCOMPARE(resolved("http://a.example/cams/x.jpg", "https://b.example/y.jpg"),
                 "https://b.example/y.jpg"s);
        QCOMPARE(resolved("http://a.example/cams/x.jpg", "HTTPS://b.example:8443"),
                 "https://b.example:8443/"s);
        QCOMPARE(resolved("https://a.example/cams/x.jpg", "//c.example/z.jpg"),
                 "https://c.example/z.jpg"s);
        QCOMPARE(resolved("http://a.example:81/cams/x.jpg?s=1", "/live/new.jpg"),
                 "http://a.example:81/live/new.jpg"s);
        QCOMPARE(resolved("http://a.example/cams/x.jpg?s=1", "?s=2"),
                 "http://a.example/cams/x.jpg?s=2"s);
        QCOMPARE(resolved("http://a.example/cams/live/x.jpg", "../../y.jpg#part"),
                 "http://a.example/y.jpg"s);
        QCOMPARE(resolved("http://a.example/cams/x.jpg", "./../../../../etc/z.jpg"),
                 "http://a.example/etc/z.jpg"s);
        QCOMPARE(resolved("http://a.example/a/b/c", "g;x?y=..#s"),
                 "http://a.example/a/b/g;x?y=.."s);
        QCOMPARE(RemoveDotSegments("/a/b/c/./../../g"), "/a/g"s);
        QCOMPARE(RemoveDotSegments("mid/content=5/../6"), "/mid/6"s);
    }

    void redirectsThatAreNotFollowed_data() {
        // clang-format off
        QTest::addColumn<QString>("from");
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<QString>("why");
        QTest::newRow("file:") << "http://a.example/x" << QByteArray("file:///etc/passwd") << "file:";
        QTest::newRow("ftp:") << "http://a.example/x" << QByteArray("ftp://a.example/x.jpg") << "ftp:";
        QTest::newRow("javascript:") << "http://a.example/x" << QByteArray("javascript:alert(1)") << "javascript:";
        QTest::newRow("https to http") << "https://a.example/x" << QByteArray("http://a.example/x") << "down to http";
        QTest::newRow("CR LF") << "http://a.example/x" << QByteArray("/a\r\nX-Evil: 1") << "control";
        QTest::newRow("NUL") << "http://a.example/x" << QByteArray("/a\0b", 4) << "control";
        QTest::newRow("empty") << "http://a.example/x" << QByteArray("  ") << "without";
        QTest::newRow("no authority") << "http://a.example/x" << QByteArray("http:x.jpg") << "cannot be right";
        QTest::newRow("bad port") << "http://a.example/x" << QByteArray("http://a.example:0/x") << "cannot be right";
        // clang-format on
    }
    void redirectsThatAreNotFollowed() {
        QFETCH(QString, from);
        QFETCH(QByteArray, location);
        QFETCH(QString, why);
        const LocationResult result =
            ResolveLocation(base(from.toUtf8().constData()),
                            std::string_view(location.data(), size_t(location.size())));
        QVERIFY(!result.ok);
        QVERIFY2(QString::fromStdString(result.error).contains(why), result.error.c_str());
    }

    // The environment's proxy variables, read as curl reads them; "-" is a direct route.
    void proxiesAreTakenFromTheEnvironment_data() {
        // clang-format off
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("variables"); // name=value;...
        QTest::addColumn<QString>("route");     // text, or "-", or "problem: ..."
        QTest::newRow("none") << "http://cam.example" << "" << "-";
        QTest::newRow("http") << "http://cam.example" << "http_proxy=proxy.lan:3128" << "http://proxy.lan:3128";
        QTest::newRow("HTTP_PROXY is not read") << "http://cam.example" << "HTTP_PROXY=p:1" << "-";
        QTest::newRow("upper case, https") << "https://cam.example" << "HTTPS_PROXY=http://p.lan:8080/;http_proxy=x:1" << "http://p.lan:8080";
        QTest::newRow("all_proxy, socks, no port") << "https://cam.example" << "all_proxy=socks5h://[::1]" << "socks5://[::1]:1080";
        QTest::newRow("no_proxy domain") << "http://a.cam.example" << "http_proxy=p:1;no_proxy=x, .cam.example:80" << "-";
        QTest::newRow("no_proxy not a suffix") << "http://notcam.example" << "http_proxy=p:1;no_proxy=cam.example" << "http://p:1";
        QTest::newRow("no_proxy *") << "http://[::1]" << "http_proxy=p:1;NO_PROXY=*" << "-";
        QTest::newRow("no_proxy IPv6") << "http://[::1]" << "http_proxy=p:1;no_proxy=::1" << "-";
        QTest::newRow("no_proxy range v4") << "http://192.168.1.20" << "http_proxy=p:1;no_proxy=cam.example, 192.168.0.0/16" << "-";
        QTest::newRow("no_proxy range not holding") << "http://10.0.0.1:8080" << "http_proxy=p:1;no_proxy=192.168.0.0/16" << "http://p:1";
        QTest::newRow("no_proxy range v6") << "http://[fd00::5]" << "http_proxy=p:1;no_proxy=fd00::/8" << "-";
        QTest::newRow("a name is in no range") << "http://cam.example" << "http_proxy=p:1;no_proxy=0.0.0.0/0" << "http://p:1";
        QTest::newRow("no_proxy 127.1") << "http://127.1" << "http_proxy=p:1;no_proxy=127.0.0.1,localhost" << "-";
        QTest::newRow("no_proxy 2130706433") << "http://2130706433:8080" << "http_proxy=p:1;no_proxy=127.0.0.1" << "-";
        QTest::newRow("no_proxy octal, as inet_aton") << "http://0177.0.0.01" << "http_proxy=p:1;no_proxy=127.0.0.1" << "-";
        QTest::newRow("no_proxy IPv4-mapped") << "http://[::ffff:127.0.0.1]" << "http_proxy=p:1;no_proxy=localhost,127.0.0.1" << "-";
        QTest::newRow("no_proxy IPv4-mapped entry") << "http://127.0.0.1" << "http_proxy=p:1;no_proxy=[::ffff:7f00:1]:80" << "-";
        QTest::newRow("no_proxy IPv4-mapped in range") << "http://[::ffff:192.168.1.20]" << "http_proxy=p:1;no_proxy=192.168.0.0/16" << "-";
        QTest::newRow("no_proxy root dot on the host") << "http://LocalHost.:8080" << "http_proxy=p:1;no_proxy=localhost" << "-";
        QTest::newRow("no_proxy root dot on the entry") << "http://a.cam.example" << "http_proxy=p:1;no_proxy=cam.example." << "-";
        QTest::newRow("an address is no domain's end") << "http://10.1.2.3" << "http_proxy=p:1;no_proxy=2.3" << "http://p:1";
        QTest::newRow("broken range") << "http://10.0.0.1" << "http_proxy=p:1;no_proxy=10.0.0.0/99" << "http://p:1";
        QTest::newRow("https proxy scheme") << "https://cam.example" << "https_proxy=https://p:1" << "problem: https://";
        QTest::newRow("bad port") << "http://cam.example" << "http_proxy=p:99999" << "problem: no usable port";
        QTest::newRow("no host") << "http://cam.example" << "http_proxy=http://:8080" << "problem: names no host";
        // clang-format on
    }
    void proxiesAreTakenFromTheEnvironment() {
        QFETCH(QString, address);
        QFETCH(QString, variables);
        QFETCH(QString, route);
        std::map<std::string, std::string> set;
        for (const QString& pair : variables.split(';', Qt::SkipEmptyParts))
            set[pair.section('=', 0, 0).toStdString()] = pair.section('=', 1).toStdString();
        const Environment environment = [&](const char* name) -> std::optional<std::string> {
            const auto found = set.find(name);
            return found == set.end() ? std::nullopt : std::optional(found->second);
        };
        const CamAddress cam = base((address + "/").toUtf8().constData());
        const ProxyRoute found = ProxyFor(cam.secure, cam.connectTo, environment);
        if (route.startsWith("problem: "))
            QVERIFY2(QString::fromStdString(found.problem).contains(route.mid(9)),
                     found.problem.c_str());
        else
            QCOMPARE(QString::fromStdString(found.text()), route == "-" ? QString() : route);
    }

    void retryAfterIsSecondsOrADate() {
        const int64_t now = *ParseHttpDate("Mon, 07 Dec 2026 12:00:00 GMT");
        QCOMPARE(ParseRetryAfter("120", now), std::optional<int64_t>(120));
        QCOMPARE(ParseRetryAfter(" 0 ", now), std::optional<int64_t>(0));
        QCOMPARE(ParseRetryAfter("Mon, 07 Dec 2026 12:02:30 GMT", now),
                 std::optional<int64_t>(150));
        QCOMPARE(ParseRetryAfter("1000000000000", now), std::optional<int64_t>(3600)); // 10^12
        QCOMPARE(ParseRetryAfter("99999999999999999999999", now), std::optional<int64_t>(3600));
        for (const char* nonsense : {"-1", "soon", "", "12abc", "1.5",
                                     "Mon, 07 Dec 2026 11:00:00 GMT", // in the past
                                     "Mon, 32 Dec 2026 12:00:00 GMT"})
            QVERIFY2(!ParseRetryAfter(nonsense, now), nonsense);
    }

    void httpDatesInTheirThreeForms() {
        const std::optional<int64_t> expected = 784111777; // 1994-11-06 08:49:37 UTC
        QCOMPARE(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), expected);
        QCOMPARE(ParseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), expected);
        QCOMPARE(ParseHttpDate("Sun Nov  6 08:49:37 1994"), expected);
        QVERIFY(!ParseHttpDate("Sun, 06 Nov 1994 08:49:37 CET"));
        QVERIFY(!ParseHttpDate("Sun, 06 Nov 1994 25:49:37 GMT"));
    }

    void validatorsAreSentOnlyWhenSafe() {
        QVERIFY(IsSendableValidator("\"abc\""));
        QVERIFY(IsSendableValidator("W/\"v1\""));
        QVERIFY(IsSendableValidator("Tue, 05 Dec 2006 10:00:00 GMT"));
        QVERIFY(!IsSendableValidator(""));
        QVERIFY(!IsSendableValidator("a\rb"));
        QVERIFY(!IsSendableValidator("a\x7f"));
        QVERIFY(!IsSendableValidator(std::string(2000, 'e')));
    }

    void retriesWaitLongerAfterFailures() {
        // a healthy cam keeps its interval
        QCOMPARE(NextAttemptSeconds(0, 30, 1.0), 30);
        // 2, 4, 8, ... times the interval, at most five minutes
        QCOMPARE(NextAttemptSeconds(1, 10, 1.0), 20);
        QCOMPARE(NextAttemptSeconds(2, 10, 1.0), 40);
        QCOMPARE(NextAttemptSeconds(3, 10, 1.0), 80);
        QCOMPARE(NextAttemptSeconds(6, 10, 1.0), 300);
        QCOMPARE(NextAttemptSeconds(60, 10, 1.0), 300);
        // with jitter of plus or minus a fifth, never shorter than the interval
        QCOMPARE(NextAttemptSeconds(1, 10, 1.2), 24);
        QCOMPARE(NextAttemptSeconds(1, 10, 0.8), 16);
        QCOMPARE(NextAttemptSeconds(1, 10, 9.0), 24);
        QCOMPARE(NextAttemptSeconds(1, 600, 0.8), 600);
        // an interval of 0 still waits after failures
        QCOMPARE(NextAttemptSeconds(1, 0, 1.0), 2);
        // a server's Retry-After is waited out, up to an hour
        QCOMPARE(NextAttemptSeconds(1, 10, 1.0, 120), 120);
        QCOMPARE(NextAttemptSeconds(1, 10, 1.0, 5), 10);
        QCOMPARE(NextAttemptSeconds(1, 10, 1.0, 86400), 3600);
    }
};

WEBCAMS_TEST(HttpTest)
#include "test_http.moc"
