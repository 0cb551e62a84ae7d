// One reset of everything the program keeps for the whole process, for code that runs the
// program's roads more than once in one process (tests, fuzz targets).
#pragma once

// Unloads every loaded form, then puts back what a process that has just started holds:
// the window system and the message loop empty (cursor count 0, no saver declared), no
// registry hook, the framework's App (title, instance lock and the previous-instance
// answer), command line, random source and generator, the saver module's values, the
// settings record, the planes and their tables, the sequences, the saver window's
// form-level values and the About box effect's drawing calls. The installed host and
// audio output are left as they are.
void ResetProgramState();
