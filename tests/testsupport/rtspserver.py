#!/usr/bin/python3
# An RTSP server for the video tests and the benchmark, on Debian's GStreamer RTSP server: a
# test pattern encoded as H.264 or H.265, or a pre-encoded Matroska file sent without encoding,
# at rtsp://127.0.0.1:PORT/cam, optionally behind Digest or Basic authentication. Every refused
# login is counted into --refusals (the file holds the count), as the server sees it.
import argparse
import sys

import gi

gi.require_version("Gst", "1.0")
gi.require_version("GstRtsp", "1.0")
gi.require_version("GstRtspServer", "1.0")
from gi.repository import GLib, Gst, GstRtsp, GstRtspServer  # noqa: E402

ENCODERS = {
    "h264": "x264enc tune=zerolatency speed-preset=ultrafast key-int-max={key} ! rtph264pay",
    "h265": "x265enc tune=zerolatency speed-preset=ultrafast key-int-max={key} ! rtph265pay",
}


class CountingAuth(GstRtspServer.RTSPAuth):
    def __init__(self, refusals):
        super().__init__()
        self.refusals, self.count = refusals, 0

    def do_check(self, ctx, check):
        allowed = GstRtspServer.RTSPAuth.do_check(self, ctx, check)
        request = ctx.request
        sent = request and request.get_header(GstRtsp.RTSPHeaderField.AUTHORIZATION, 0)[0]
        if not allowed and sent == GstRtsp.RTSPResult.OK and self.refusals:
            self.count += 1
            with open(self.refusals, "w") as out:
                out.write(str(self.count))
        return allowed


def pipeline(args):
    if args.file:
        return ("( filesrc location=%s ! matroskademux ! h264parse ! "
                "rtph264pay name=pay0 pt=96 config-interval=-1 )" % args.file)
    width, height = args.size.split("x")
    encoder = ENCODERS[args.codec].format(key=args.key)
    return ("( videotestsrc is-live=true pattern=ball ! video/x-raw,width=%s,height=%s,"
            "framerate=%d/1 ! %s name=pay0 pt=96 config-interval=-1 )"
            % (width, height, args.rate, encoder))


def protect(server, factory, args):
    user, password = (args.digest or args.basic).split(":", 1)
    auth = CountingAuth(args.refusals)
    token = GstRtspServer.RTSPToken()
    token.set_string("media.factory.role", "user")
    if args.digest:
        auth.set_supported_methods(GstRtsp.RTSPAuthMethod.DIGEST)
        auth.add_digest(user, password, token)
    else:
        auth.add_basic(GstRtspServer.RTSPAuth.make_basic(user, password), token)
    permissions = GstRtspServer.RTSPPermissions()
    permissions.add_role_from_structure(Gst.Structure.from_string(
        "user, media.factory.access=(boolean)true, media.factory.construct=(boolean)true")[0])
    factory.set_permissions(permissions)
    server.set_auth(auth)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", required=True)
    parser.add_argument("--codec", choices=sorted(ENCODERS), default="h264")
    parser.add_argument("--size", default="320x240")
    parser.add_argument("--rate", type=int, default=25)
    parser.add_argument("--key", type=int, default=25, help="pictures from key to key")
    parser.add_argument("--file", help="a Matroska file of H.264, sent as it is")
    parser.add_argument("--digest", help="user:password")
    parser.add_argument("--basic", help="user:password")
    parser.add_argument("--refusals", help="file that counts refused logins")
    args = parser.parse_args()
    Gst.init(None)
    server = GstRtspServer.RTSPServer()
    server.set_address("127.0.0.1")
    server.set_service(args.port)
    factory = GstRtspServer.RTSPMediaFactory()
    factory.set_launch(pipeline(args))
    if args.digest or args.basic:
        protect(server, factory, args)
    server.get_mount_points().add_factory("/cam", factory)
    if server.attach(None) == 0:
        sys.exit("cannot listen on port " + args.port)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
