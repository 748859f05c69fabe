// democam: a few generated webcams on 127.0.0.1, for trying the program without the internet.
// Usage: democam <port> [folder whose files it serves as /files/<file>]
#include "democamserver.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // it draws text into pictures but shows no window: no display is needed
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const quint16 port = argc > 1 ? quint16(QByteArray(argv[1]).toUInt()) : 8088;
    DemoCamServer server;
    if (argc > 2)
        server.setFileFolder(QString::fromLocal8Bit(argv[2]));
    if (!server.listen(port)) {
        std::fprintf(stderr, "democam: cannot listen on 127.0.0.1:%u\n", unsigned(port));
        return 1;
    }
    std::printf("democam: serving on http://127.0.0.1:%u/\n", unsigned(server.port()));
    std::fflush(stdout);
    return app.exec();
}
