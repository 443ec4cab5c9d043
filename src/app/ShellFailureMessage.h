#pragma once
// How the program answers a failure that leaves the shell unusable: unless it is already
// ending, it shows the message in an error box (OK only) and ends. Installed once at start-up,
// before the shell is started.
void InstallShellFailureMessage();
