#include "common/filechooser.h"

FileChooser::~FileChooser() = default;
