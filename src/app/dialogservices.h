#pragma once

class CamListPane;
class CamServices;

// What the add and edit dialogs get from the cam services: the "Test" button's trial fetch
// (through the source registry, with the cam's trusted certificate), a running cam's learned
// refresh interval, the keyring and the cam's alerts.
void GiveDialogsTheirServices(CamListPane& camList, CamServices& services);
