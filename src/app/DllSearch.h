#pragma once
// Keeps DLLs that someone put beside the program or in the working directory (a download
// folder, a network share) from being loaded in place of the system's own: from this call on
// the process loads libraries named without a path from the system directory only.
// Call first, before anything can load a library; the libraries the program imports are
// loaded before it runs and are therefore delay-loaded or system libraries that Windows keeps
// in its list of known DLLs.
void RestrictDllSearch() noexcept;
