// Pictures are decoded on the pool and shown in the order their fetches ended: a slow decode is
// never overtaken, the same bytes are not decoded again, a stopped panel drops late results,
// and the selected panel's picture reaches the viewer whole.
#include "engine/decodequeue.h"
#include "engine/picturedecode.h"

#include "engine/camfollower.h"
#include "onecamfixture.h"
#include "panelsfixture.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "testmain.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>

namespace {

QByteArray picture(const QByteArray& body) {
    return ScriptedServer::okResponse(body, "image/jpeg");
}

// The real decode, counted, and held for pictures of a given width: until the test lets it go
// (no clock involved), or for a while.
struct SlowDecoder {
    std::shared_ptr<std::atomic<int>> count = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<QSemaphore> gate = std::make_shared<QSemaphore>(0);
    int slowWidth = -1;
    int delayMs = 0; // 0: held until release()

    DecodeQueue::Decoder decoder() const {
        return [count = count, gate = gate, slowWidth = slowWidth,
                delayMs = delayMs](const QByteArray& body, int64_t length, QSize fit) {
            const DecodedPicture decoded = DecodeFetchedPicture(body, length, QSize());
            if (decoded.picture.width() == slowWidth && delayMs > 0)
                QThread::msleep(ulong(delayMs));
            else if (decoded.picture.width() == slowWidth)
                gate->tryAcquire(1, 10000);
            ++*count;
            return DecodeFetchedPicture(body, length, fit);
        };
    }
    void release(int decodes = 1) const { gate->release(decodes); }
};

} // namespace

class DecodeOrderTest : public QObject {
    Q_OBJECT
  private slots:
    void theSameBytesAreDecodedOnce() {
        OneCam f;
        SlowDecoder counting;
        f.engine->decodeQueue().setDecoder(counting.decoder());
        const QByteArray jpeg = jpegOf(Qt::red);
        f.fetchOnly(picture(jpeg));
        QTRY_VERIFY(f.engine->isSettled(0));
        f.fetchOnly(picture(jpeg));
        f.fetchOnly(picture(jpeg));
        QTRY_VERIFY(f.engine->isSettled(0));
        QCOMPARE(counting.count->load(), 1);
        f.fetchOnly(picture(jpegOf(Qt::green)));
        QTRY_VERIFY(f.engine->isSettled(0));
        QCOMPARE(counting.count->load(), 2);
    }

    void aSlowDecodeIsNeverOvertaken() {
        OneCam f;
        SlowDecoder slow;
        slow.slowWidth = 64; // the first picture is held in its decode
        f.engine->decodeQueue().setDecoder(slow.decoder());
        QList<QSize> shown;
        connect(f.engine, &CamEngine::pictureShown, f.engine,
                [&] { shown << pictureOf(f.panel(0)).size(); });
        QSignalSpy toViewer(&f.selection(), &CamFollower::pictureArrived);
        f.fetchOnly(picture(jpegOf(Qt::red, 64, 48)));
        f.fetchOnly(picture(jpegOf(Qt::green, 40, 30)));   // decoded at once
        f.fetchOnly("HTTP/1.1 404 Not Found\r\n\r\ngone"); // no picture at all
        if (f.engine->decodeQueue().threads() > 1)
            QTRY_COMPARE(slow.count->load(), 1); // the second picture is decoded, and waits
        QVERIFY(shown.isEmpty());
        QVERIFY(!f.engine->isSettled(0));
        slow.release();
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
        QCOMPARE(shown, (QList<QSize>{QSize(64, 48), QSize(40, 30)}));
        QCOMPARE(toViewer.size(), 2); // the selected panel's hand-off kept its order too
        QCOMPARE(toViewer[1][0].value<QImage>().size(), QSize(40, 30));
        QCOMPARE(pictureOf(f.panel(0)), f.engine->notFoundPicture()); // the last word is the 404's
    }

    void aStoppedPanelDropsItsLateDecode() {
        OneCam f;
        SlowDecoder slow;
        slow.slowWidth = 64;
        f.engine->decodeQueue().setDecoder(slow.decoder());
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        f.fetchOnly(picture(jpegOf(Qt::red, 64, 48)));
        f.engine->stopCam(0);
        slow.release();
        f.engine->decodeQueue().waitForDone(); // a late result would be brought in here
        QCoreApplication::processEvents();
        QCOMPARE(shown.size(), 0);
        QVERIFY(!f.panel(0)->hasPicture());
        QVERIFY(f.engine->isSettled(0));
    }

    void aPanelSelectedDuringItsDecodeGetsItsPictureWhole() {
        OneCam f;
        f.box.writeFile("00camlist.txt",
                        camList({{"Cam", "http://" + f.server.address("/c.jpg"), "300"},
                                 {"Two", "http://" + f.server.address("/t.jpg"), "300"}}));
        f.start("Two"); // panel 0, selected before any click
        f.engine->stopCam(0);
        SlowDecoder slow;
        slow.slowWidth = 800;
        f.engine->decodeQueue().setDecoder(slow.decoder());
        f.server.setScript(ScriptedServer::answer(picture(jpegOf(Qt::blue, 800, 600))));
        f.start("Cam"); // panel 0 again, and nobody is selected now
        QTRY_VERIFY(!f.fetcher(0)->isFetching());
        QSignalSpy toViewer(&f.selection(), &CamFollower::pictureArrived);
        f.selection().follow(0); // selected while its picture is decoded small
        slow.release(2);         // the small decode, and the whole one that follows
        QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
        QCOMPARE(toViewer.size(), 1);
        QCOMPARE(toViewer[0][0].value<QImage>().size(), QSize(800, 600));
    }

    void aLateWholePictureNeverReplacesANewerOne() {
        OneCam f;
        f.fetch(picture(jpegOf(Qt::red, 200, 150)));
        SlowDecoder held;
        held.slowWidth = 200; // the whole decode the click asks for is held
        f.engine->decodeQueue().setDecoder(held.decoder());
        if (f.engine->decodeQueue().threads() < 2)
            QSKIP("the newer picture is decoded beside the held one");
        QSignalSpy toViewer(&f.selection(), &CamFollower::pictureArrived);
        f.selection().follow(0);
        f.fetchOnly(picture(jpegOf(Qt::green, 120, 90))); // decoded whole: the viewer shows it
        QTRY_VERIFY(!toViewer.isEmpty());
        QCOMPARE(toViewer.last()[0].value<QImage>().size(), QSize(120, 90));
        held.release();
        QTRY_VERIFY(f.engine->isSettled(0));
        QCOMPARE(toViewer.last()[0].value<QImage>().size(), QSize(120, 90));
        QCOMPARE(f.selection().picture().picture.size(), QSize(120, 90)); // what Save Image saves
    }

    void eachPlaceWaitsWithOneDecodeAtMost() {
        DecodeQueue queue;
        SlowDecoder held;
        held.slowWidth = 64;
        queue.setDecoder(held.decoder());
        QList<quint64> results;
        connect(&queue, &DecodeQueue::decoded, &queue,
                [&](quint64 ticket, const PlaceDecode&) { results << ticket; });
        const QByteArray busy = jpegOf(Qt::red, 64, 48), small = jpegOf(Qt::green, 8, 8);
        auto order = [&](int place, quint64 ticket, const QByteArray& body, bool forViewer) {
            return queue.submit({place, ticket, body, 0, QSize(4, 4), QSize(4, 4), forViewer, {}, false});
        };
        for (int thread = 0; thread < queue.threads(); ++thread) // every thread held
            QVERIFY(!order(9, 100 + thread, busy, false));
        QCOMPARE(order(0, 1, small, false), std::optional<quint64>());
        QCOMPARE(order(0, 2, small, false), std::optional<quint64>(1)); // the newer replaces
        QCOMPARE(order(0, 3, small, true), std::optional<quint64>());   // the viewer's is apart
        QCOMPARE(order(1, 4, small, false), std::optional<quint64>());  // another place
        QCOMPARE(order(1, 5, small, false), std::optional<quint64>(4));
        QCOMPARE(queue.cancel(1), std::vector<quint64>{5}); // a stop drops what waits
        QCOMPARE(queue.waiting(), 2);
        held.release(queue.threads());
        queue.waitForDone();
        // nothing replaced or dropped came back
        QList<quint64> rest = results.mid(queue.threads());
        std::sort(rest.begin(), rest.end());
        QCOMPARE(rest, (QList<quint64>{2, 3}));
    }

    void aPictureOfAnotherSizeShowsAtItsOwn() {
        OneCam f;
        f.fetchOnly(picture(jpegOf(Qt::red, 640, 480)));
        QTRY_VERIFY(f.engine->isSettled(0));
        f.fetchOnly(picture(jpegOf(Qt::red, 320, 200)));
        QTRY_VERIFY(f.engine->isSettled(0));
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(320, 200));
    }

    void closingWhileDecodesRunIsQuiet() {
        auto f = std::make_unique<OneCam>();
        SlowDecoder slow;
        slow.slowWidth = 64;
        slow.delayMs = 300;
        f->engine->decodeQueue().setDecoder(slow.decoder());
        f->fetchOnly(picture(jpegOf(Qt::red, 64, 48)));
        QVERIFY(!f->engine->isSettled(0));
        f.reset(); // the window goes while the decode runs: it waits, and nothing is shown
        QCoreApplication::processEvents();
    }
};

WEBCAMS_TEST(DecodeOrderTest)
#include "test_decode.moc"
