#pragma once

class CamListPane;
class CamPanelSet;
class CertificatePins;

// What the add and edit dialogs get from the fetching side: the "Test" button's fetch (with the
// cam's trusted certificate) and a running cam's learned refresh interval.
void GiveDialogsTheirServices(CamListPane& camList, const CamPanelSet& panels,
                              const CertificatePins& pins);

class CamAlertSettings;
class CamCredentials;
class CamListModel;

// What belongs to a cam besides its record (its trusted certificates, its credentials,
// whether its password may travel unencrypted, its alerts) follows it when it is
// renamed in the program and goes when it is removed, or, when it still runs in a panel, once
// that panel stops.
void FollowRenamesAndRemovals(CamListModel& camList, const CamPanelSet& panels,
                              CertificatePins& pins, CamCredentials& credentials,
                              CamAlertSettings& alerts);
