#include "video/libav.h"

#include "video/videoaddress.h"

#include <QLoggingCategory>
#include <chrono>
#include <cstdarg>
#include <mutex>
#include <string>

namespace {

// Only what FFmpeg calls fatal shows unless asked for ("webcams.video.ffmpeg.debug=true"): a
// broken stream makes it say a lot, none of it for the user.
Q_LOGGING_CATEGORY(ffmpegLog, "webcams.video.ffmpeg", QtCriticalMsg)

QtMsgType messageType(int level) {
    if (level <= AV_LOG_FATAL)
        return QtCriticalMsg;
    if (level <= AV_LOG_ERROR)
        return QtWarningMsg;
    if (level <= AV_LOG_INFO)
        return QtInfoMsg;
    return QtDebugMsg;
}

bool namesAuthorization(const std::string& line) {
    std::string lower(line);
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("authorization") != std::string::npos;
}

void logLine(void* context, int level, const char* format, va_list arguments) {
    const QtMsgType type = messageType(level);
    if (!ffmpegLog().isEnabled(type))
        return;
    // the line is put together in pieces; each thread keeps its own
    thread_local int printPrefix = 1;
    char line[1024];
    av_log_format_line2(context, level, format, arguments, line, sizeof line, &printPrefix);
    std::string text = WithoutUserInfo(line);
    if (namesAuthorization(text))
        return;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    if (text.empty())
        return;
    switch (type) {
    case QtCriticalMsg:
        qCCritical(ffmpegLog, "%s", text.c_str());
        break;
    case QtWarningMsg:
        qCWarning(ffmpegLog, "%s", text.c_str());
        break;
    case QtInfoMsg:
        qCInfo(ffmpegLog, "%s", text.c_str());
        break;
    default:
        qCDebug(ffmpegLog, "%s", text.c_str());
    }
}

} // namespace

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int InterruptGate::interrupted(void* gate) {
    const auto* self = static_cast<const InterruptGate*>(gate);
    return self->stopped() || self->expired() ? 1 : 0;
}

void InstallVideoLog() {
    static std::once_flag installed;
    std::call_once(installed, [] { av_log_set_callback(&logLine); });
}
