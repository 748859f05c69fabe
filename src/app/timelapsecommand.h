#pragma once

struct CommandLine;

// --export-timelapse without a window: finds the program folder as a start would, makes the film
// and says on the terminal what it did. Returns the process's exit status: 0 when the film was
// written, 1 when not. Needs an application object.
int ExportTimelapseCommand(const CommandLine& line);
