#pragma once
// Folders that stop answering, for tests of the bounded wait: NetworkFolderTestHook takes the
// named folders for network ones, and every question asked about a folder that may wait is
// held until the test lets it go (a server that stopped answering). Both hooks are taken out,
// and the held questions let go and waited for, when the object goes.
#include "common/TempTree.h"
#include "core/BoundedWait.h"
#include "core/ScopedResource.h"
#include "shell/FolderProbe.h"
#include "shell/PathUtils.h"
#include "shell/TestSeams.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class TSlowPlaces {
public:
    explicit TSlowPlaces(std::vector<std::wstring> networkFolders = {})
    {
        if (!networkFolders.empty())
            NetworkFolderTestHook = [folders =
                                         std::move(networkFolders)](const std::wstring& path) {
                for (const std::wstring& folder : folders)
                    if (SameFileName(path, folder))
                        return true;
                return false;
            };
        Hold();
    }
    ~TSlowPlaces()
    {
        NetworkProbeTestHook = nullptr;
        NetworkFolderTestHook = nullptr;
        Answer();
        PumpMessagesUntil([] { return BoundedWaitThreadCount() == 0; }, 30000);
    }
    TSlowPlaces(const TSlowPlaces&) = delete;
    TSlowPlaces& operator=(const TSlowPlaces&) = delete;

    // Questions from now on are held until Answer.
    void Hold()
    {
        if (state_)
            Answer();
        // Shared: a held question may outlive this object.
        auto state = std::make_shared<TState>();
        state_ = state;
        NetworkProbeTestHook = [state] {
            ++state->asked;
            WaitForSingleObject(state->answer.get(), 30000);
        };
    }
    // Held questions answer, and later ones are answered at once (still counted).
    void Answer() { SetEvent(state_->answer.get()); }
    int Asked() const { return state_->asked; }

private:
    struct TState {
        TScopedHandle answer{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        std::atomic<int> asked{0};
    };
    std::shared_ptr<TState> state_;
};
