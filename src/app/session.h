#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

class CamEngine;
class SettingsStore;

// The cams running when the program ended, in their panels, and the one selected; kept in the
// user's settings (section "Session") and started again at the next start.
struct Session {
    struct Cam {
        int panel = 0;
        std::string name; // the exact bytes of the cam's name
        bool operator==(const Cam&) const = default;
    };
    std::vector<Cam> running;
    std::string selected; // empty when no panel was selected
};

// As text for the settings: "panel=hex name;panel=hex name". A damaged text gives what can be
// read of it; panels outside 0 to 23 and names seen twice are left out.
std::string EncodeRunningCams(const std::vector<Session::Cam>& cams);
std::vector<Session::Cam> DecodeRunningCams(std::string_view text);

Session CurrentSession(const CamEngine& engine);
void SaveSession(SettingsStore& settings, const QString& productName, const Session& session);
Session LoadSession(const SettingsStore& settings, const QString& productName);
// Starts the session's cams again; returns what the status bar should say (empty when all came
// back).
QString RestoreSession(CamEngine& engine, const Session& session);
