// How the start-up code cuts the program name from the full command line.
#pragma once

// Returns the tail: the program name removed (quoted or not), then the run of bytes from
// 0x01 to 0x20 that follows it skipped. The result points into commandLine.
const char* CutCommandTail(const char* commandLine);
