#pragma once
// With BIVISTA_TRACE_STARTUP set, each call prints the milliseconds since the process was
// created and the step's name (to standard error for "1", else added to the file it names);
// otherwise it costs one test of a flag.
void TraceStartup(const char* step) noexcept;
