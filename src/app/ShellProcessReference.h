#pragma once
// The process reference the shell holds while its threads work inside this program: pastes,
// drops and property sheets copy, move and delete on the shell's own threads, and the process
// ending would kill them half done. Made before the first window; at exit, after the last one,
// WaitForShell keeps the program alive (and says why) until the shell has let go.
#include "core/ProcessReference.h"

#include <memory>

enum class TShellWaitResult {
    NotHeld,    // the shell let go within the grace time; nothing was shown
    Released,   // the shell let go while the program showed why it was still running
    Abandoned,  // the user chose to quit before the shell let go
};

class TShellProcessReference {
public:
    // How long the shell may take to let go before the program shows why it is waiting.
    static constexpr DWORD kDefaultGrace = 500;

    // Lends the shell the reference (SHSetInstanceExplorer).
    TShellProcessReference();
    // Takes the reference back if WaitForShell did not; a reference the shell still holds is
    // left to it (the object stays for the rest of the process).
    ~TShellProcessReference();
    TShellProcessReference(const TShellProcessReference&) = delete;
    TShellProcessReference& operator=(const TShellProcessReference&) = delete;

    // On the GUI thread at exit: takes the reference back from the shell, so that no new work
    // takes it, drops the program's own and serves messages until the shell's threads have let
    // go of it. Past `grace` milliseconds a window says why; its button ends the wait early.
    // Call once.
    TShellWaitResult WaitForShell(DWORD grace = kDefaultGrace);

private:
    void LetGo();

    std::unique_ptr<TProcessReference> reference_;
    bool registered_ = false;
};
