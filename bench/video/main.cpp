// Video cams under load, served by GStreamer's RTSP server from a file encoded once (1920 x 1080
// H.264, 25 pictures a second, a key picture every 2 s), sent without encoding:
//  W6: 24 cams refreshed every 2 s, each picture decoded by the workers to a panel's 320 x 180.
//      The CPU time per picture shown, against one key-picture decode of the same stream; and
//      the whole run's CPU time, against libavcodec decoding every picture of the same streams.
//  W7: the same cams refreshed as often as they can (every picture), against that reference.
// Printed, never asserted: ratios of runs in this same process, and the peak memory of each.
#include "video/videodecode.h"
#include "video/videosource.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

constexpr int camCount = 24;
constexpr int measuredSecs = 20;
constexpr double picturesPerSecond = 25;
const QSize panel(320, 180);

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The process's peak resident memory (VmHWM), and setting it back to what is resident now.
long peakMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6)) / 1024;
    return -1;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void waitMs(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// What a cam sends: a moving scene with a sensor's noise, CABAC and the loop filter on (as the
// cams' Main and High profiles have them), 4 Mbit/s.
const QStringList encoding{"-vf",
                           "noise=alls=12:allf=t",
                           "-c:v",
                           "libx264",
                           "-preset",
                           "veryfast",
                           "-g",
                           "50",
                           "-keyint_min",
                           "50",
                           "-sc_threshold",
                           "0",
                           "-b:v",
                           "4M",
                           "-maxrate",
                           "4M",
                           "-bufsize",
                           "8M"};

bool makeStream(const QString& file) {
    const QStringList source{
        "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=1920x1080:rate=25", "-t", "40"};
    return QProcess::execute("ffmpeg", source + encoding + QStringList{file}) == 0;
}

class RtspServer {
  public:
    bool start(const QString& file) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start("/usr/bin/python3", {BENCH_SOURCE_DIR "/tests/testsupport/rtspserver.py",
                                             "--port", QString::number(m_port), "--file", file});
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); waitMs(100)) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(200))
                return true;
        }
        return false;
    }
    ~RtspServer() {
        m_process.terminate();
        m_process.waitForFinished();
    }
    QByteArray address() const { return "rtsp://127.0.0.1:" + QByteArray::number(m_port) + "/cam"; }

  private:
    QProcess m_process;
    quint16 m_port = 0;
};

struct Input {
    AVFormatContext* format = nullptr;
    int video = -1;
    explicit Input(const std::string& url) {
        AVDictionary* options = nullptr;
        av_dict_set(&options, "rtsp_transport", "tcp", 0);
        if (avformat_open_input(&format, url.c_str(), nullptr, &options) >= 0)
            video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        av_dict_free(&options);
    }
    ~Input() { avformat_close_input(&format); }
    AVCodecContext* decoder() const {
        const AVCodecParameters* parameters = format->streams[video]->codecpar;
        AVCodecContext* context =
            avcodec_alloc_context3(avcodec_find_decoder(parameters->codec_id));
        avcodec_parameters_to_context(context, parameters);
        context->thread_count = 1;
        avcodec_open2(context, nullptr, nullptr);
        return context;
    }
};

// CPU milliseconds of one key picture decoded alone at full size, and of one picture of the
// stream decoded in turn, both by libavcodec on one thread.
std::pair<double, double> decodeCosts(const QString& file) {
    Input input(file.toStdString());
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    // key pictures after the first (which begins the scene), each decoded alone: a decoder kept
    // and flushed before each, as the decode workers do
    std::vector<AVPacket*> keyPackets;
    for (int skipped = 0; keyPackets.size() < 8 && av_read_frame(input.format, packet) >= 0;
         av_packet_unref(packet))
        if (packet->stream_index == input.video && packet->flags & AV_PKT_FLAG_KEY && skipped++ > 0)
            keyPackets.push_back(av_packet_clone(packet));
    constexpr int rounds = 5;
    AVCodecContext* kept = input.decoder();
    double start = threadCpuSeconds();
    for (int round = 0; round < rounds; ++round)
        for (AVPacket* key : keyPackets) {
            avcodec_flush_buffers(kept);
            avcodec_send_packet(kept, key);
            avcodec_send_packet(kept, nullptr);
            avcodec_receive_frame(kept, frame);
        }
    const int keys = rounds * int(std::max<size_t>(keyPackets.size(), 1));
    const double key = (threadCpuSeconds() - start) * 1000 / keys;
    avcodec_free_context(&kept);
    for (AVPacket* keyPacket : keyPackets)
        av_packet_free(&keyPacket);
    // ten seconds of the stream from its start, every picture decoded in turn
    av_seek_frame(input.format, -1, 0, AVSEEK_FLAG_BACKWARD);
    AVCodecContext* context = input.decoder();
    int pictures = 0;
    start = threadCpuSeconds();
    while (pictures < 250 && av_read_frame(input.format, packet) >= 0) {
        if (packet->stream_index == input.video && avcodec_send_packet(context, packet) >= 0)
            while (avcodec_receive_frame(context, frame) >= 0)
                ++pictures;
        av_packet_unref(packet);
    }
    const double every = (threadCpuSeconds() - start) * 1000 / std::max(pictures, 1);
    avcodec_free_context(&context);
    av_frame_free(&frame);
    av_packet_free(&packet);
    return {key, every};
}

struct Run {
    int streams = 0;
    int seconds = 0;
    double cpu = 0;       // seconds
    double workerCpu = 0; // of that, the decode workers'
    int pictures = 0;
    long peak = 0; // MiB
};

// The decode workers as the program runs them: two threads, and for each cam at most one
// picture waiting (a newer replaces it) while one of its pictures is being decoded.
class Workers {
  public:
    Workers() { m_pool.setMaxThreadCount(2); }
    ~Workers() { m_pool.waitForDone(); }
    void decode(int cam, const FetchedPicture& picture) {
        std::lock_guard lock(m_mutex);
        Queue& queue = m_queues[cam];
        queue.waiting = picture;
        if (!std::exchange(queue.running, true))
            m_pool.start([this, cam] { run(cam); });
    }
    int shown() const { return m_shown; }
    double cpuSeconds() const { return m_cpuMicros / 1e6; }

  private:
    struct Queue {
        std::optional<FetchedPicture> waiting;
        bool running = false;
    };
    void run(int cam) {
        for (;;) {
            std::optional<FetchedPicture> picture;
            {
                std::lock_guard lock(m_mutex);
                Queue& queue = m_queues[cam];
                picture = std::exchange(queue.waiting, std::nullopt);
                if (!picture) {
                    queue.running = false;
                    return;
                }
            }
            const double start = threadCpuSeconds();
            if (!DecodeVideoPicture(picture->format, picture->body, panel).picture.isNull())
                ++m_shown;
            m_cpuMicros += int64_t((threadCpuSeconds() - start) * 1e6);
        }
    }
    QThreadPool m_pool;
    std::mutex m_mutex;
    std::map<int, Queue> m_queues;
    std::atomic<int> m_shown{0};
    std::atomic<int64_t> m_cpuMicros{0};
};

// `count` cams at `refresh`, their pictures decoded by the workers to the panel's size.
Run runCams(int count, const QByteArray& refresh, const QByteArray& address, int seconds) {
    resetPeak();
    Workers workers;
    std::vector<std::unique_ptr<VideoSource>> cams;
    for (int i = 0; i < count; ++i) {
        auto cam = std::make_unique<VideoSource>();
        cam->setRecord("cam " + QByteArray::number(i), address, refresh);
        cam->setWantedSize(panel, false);
        QObject::connect(
            cam.get(), &PictureSource::pictureArrived, cam.get(),
            [&workers, i](const FetchedPicture& picture) { workers.decode(i, picture); });
        cam->beginCycle();
        cams.push_back(std::move(cam));
    }
    waitMs(6000); // connected, the key-picture distance learned
    Run run{count, seconds};
    const int before = workers.shown();
    const double cpu = processCpuSeconds(), workerCpu = workers.cpuSeconds();
    waitMs(seconds * 1000);
    run.cpu = processCpuSeconds() - cpu;
    run.workerCpu = workers.cpuSeconds() - workerCpu;
    run.pictures = workers.shown() - before;
    for (const auto& cam : cams)
        cam->stop();
    run.peak = peakMiB();
    return run;
}

// `count` threads, each decoding every picture of its own connection to the stream.
Run runReference(int count, const QByteArray& address, int seconds) {
    resetPeak();
    std::atomic<bool> stop{false}, measuring{false};
    std::atomic<int> decoded{0}, ready{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i)
        threads.emplace_back([&] {
            Input input(address.toStdString());
            AVCodecContext* context = input.decoder();
            AVPacket* packet = av_packet_alloc();
            AVFrame* frame = av_frame_alloc();
            ++ready;
            while (!stop && av_read_frame(input.format, packet) >= 0) {
                if (packet->stream_index == input.video &&
                    avcodec_send_packet(context, packet) >= 0)
                    while (avcodec_receive_frame(context, frame) >= 0)
                        decoded += measuring ? 1 : 0;
                av_packet_unref(packet);
            }
            av_frame_free(&frame);
            av_packet_free(&packet);
            avcodec_free_context(&context);
        });
    while (ready < count)
        waitMs(100);
    waitMs(2000);
    Run run{count, seconds};
    const double cpu = processCpuSeconds();
    measuring = true;
    waitMs(seconds * 1000);
    run.cpu = processCpuSeconds() - cpu;
    run.pictures = decoded;
    stop = true;
    for (std::thread& thread : threads)
        thread.join();
    run.peak = peakMiB();
    return run;
}

Run sum(const Run& a, const Run& b) {
    return {b.streams,
            a.seconds + b.seconds,
            a.cpu + b.cpu,
            a.workerCpu + b.workerCpu,
            a.pictures + b.pictures,
            std::max(a.peak, b.peak)};
}

void print(const char* name, const Run& run) {
    std::printf("%s: %d streams, %.1f s CPU in %d s (decode workers %.1f s), %d pictures (%.1f a "
                "second a stream), peak memory (VmHWM) %ld MiB\n",
                name, run.streams, run.cpu, run.seconds, run.workerCpu, run.pictures,
                run.pictures / double(run.seconds) / run.streams, run.peak);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    const QString file = folder.path() + "/cam.mkv";
    RtspServer server;
    if (!makeStream(file) || !server.start(file)) {
        std::printf("the stream could not be made or served (ffmpeg, GStreamer's RTSP server)\n");
        return 1;
    }
    std::printf("the stream: 1920 x 1080 at 25 pictures a second, ffmpeg %s\n",
                qPrintable(encoding.join(' ')));
    const auto [keyMs, everyMs] = decodeCosts(file);
    std::printf("one key picture decoded alone (a decoder kept and flushed): %.2f ms CPU; one "
                "picture decoded in turn: "
                "%.2f ms CPU\n",
                keyMs, everyMs);
    // the reference decodes every picture: as many streams as about 0.7 of a core of the two
    // keeps up with, beside the server and the other work on the machine
    const int referenceStreams =
        std::clamp(int(700.0 / (everyMs * picturesPerSecond)), 1, camCount);
    if (referenceStreams < camCount)
        std::printf("decoding every picture of %d streams of 1080p needs about %.1f cores: the "
                    "reference and W7 read %d streams\n",
                    camCount, camCount * everyMs * picturesPerSecond / 1000, referenceStreams);

    const Run w6 = runCams(camCount, "2", server.address(), measuredSecs);
    print("W6, refresh 2 s", w6);
    // the reference and W7 in turns (reference, W7, W7, reference), so that what else the
    // machine does weighs on both alike
    Run reference, w7;
    for (const bool first : {true, false}) {
        const Run one = first ? runReference(referenceStreams, server.address(), measuredSecs / 2)
                              : runCams(referenceStreams, "0", server.address(), measuredSecs / 2);
        const Run two = first ? runCams(referenceStreams, "0", server.address(), measuredSecs / 2)
                              : runReference(referenceStreams, server.address(), measuredSecs / 2);
        print(first ? "reference, every picture decoded" : "W7, refresh 0 (every picture)", one);
        print(first ? "W7, refresh 0 (every picture)" : "reference, every picture decoded", two);
        reference = sum(reference, first ? one : two);
        w7 = sum(w7, first ? two : one);
    }

    const double perShown = w6.cpu * 1000 / std::max(w6.pictures, 1);
    std::printf("W6: %.2f ms CPU a picture shown (reception, decode, scale to %d x %d) = %.2fx "
                "one key-picture decode (target at most 1.5x)\n",
                perShown, panel.width(), panel.height(), perShown / keyMs);
    const double referencePerStream = reference.cpu / reference.streams / reference.seconds;
    const double w6PerStream = w6.cpu / w6.streams / w6.seconds;
    std::printf("W6: the whole run takes %.1fx less CPU a stream than decoding every picture "
                "(target at least 10x)\n",
                referencePerStream / w6PerStream);
    std::printf("W7: %.2fx the CPU of decoding every picture (target at most 1.2x)\n",
                w7.cpu / w7.streams / w7.seconds / referencePerStream);
    return 0;
}
