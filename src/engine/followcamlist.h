#pragma once

class CamEngine;
class CamListModel;
class CamSettings;

// The one way a cam's own settings follow its list entry, whoever changed the list (the
// dialogs, import): a renamed cam's all go with it in one step (its credentials are its id's,
// which goes with it); a removed cam's all go in one step, once no place runs it any more (a
// running cam keeps its password until it stops). The cams listed when credentials came to be
// kept by id take those kept under their names.
void FollowCamList(CamListModel& camList, CamEngine& engine, CamSettings& settings);
