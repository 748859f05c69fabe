#include "prompter.h"

Prompter::~Prompter() = default;
