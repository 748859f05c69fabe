#pragma once

class CamListPane;
class CamPanelSet;
class CertificatePins;

// What the add and edit dialogs get from the fetching side: the "Test" button's fetch (with the
// cam's trusted certificate) and a running cam's learned refresh interval.
void GiveDialogsTheirServices(CamListPane& camList, const CamPanelSet& panels,
                              const CertificatePins& pins);
