#pragma once
// Built with BIVISTA_STARTUP_TRACE (a CMake option, off by default) and run with the
// environment variable BIVISTA_TRACE_STARTUP set, each call prints the milliseconds since the
// process was created and the step's name: to standard error for "1", else added to the file
// the variable names. Otherwise the calls are empty.
#ifdef BIVISTA_STARTUP_TRACE
void TraceStartup(const char* step) noexcept;
#else
inline void TraceStartup(const char*) noexcept {}
#endif
