#pragma once
// The display options that the shell list, tree and combo share in meaning (one bit each in
// one 16-bit word), and the rule that decides from them whether a browser's current object is
// shown.
#include "core/IDListPtr.h"

#include <windows.h>

#include <array>

class TNautilex;

using TZelShellOptions = WORD;

enum TZelShellOption : TZelShellOptions {
    soShowNethood = 0x0001,
    soShowRecycleBin = 0x0002,
    soShowErrorMessages = 0x0004,
    soShowHidden = 0x0008,
    soShowFiles = 0x0010,
    soShowContextMenuOnTop = 0x0020,
    soColorCompressed = 0x0040,
    soColorEncrypted = 0x0080,
    soNoFillOnStartup = 0x0100,
};

// ShowNethood, ShowRecycleBin and ShowFiles.
constexpr TZelShellOptions kDefaultShellOptions = 19;

constexpr bool HasOption(TZelShellOptions options, TZelShellOption option) noexcept
{
    return (options & option) != 0;
}

// The flags of a control's option word one by one, for a control (the class itself, as
// Control) with GetOptions and SetOptions: each setter changes one bit through SetOptions.
template <class Control>
class TZelShellOptionFlags {
public:
    bool GetShowNethood() const noexcept { return IsOn(soShowNethood); }
    void SetShowNethood(bool value) { SetOption(soShowNethood, value); }
    bool GetShowRecycleBin() const noexcept { return IsOn(soShowRecycleBin); }
    void SetShowRecycleBin(bool value) { SetOption(soShowRecycleBin, value); }
    bool GetShowErrorMessages() const noexcept { return IsOn(soShowErrorMessages); }
    void SetShowErrorMessages(bool value) { SetOption(soShowErrorMessages, value); }
    bool GetShowHidden() const noexcept { return IsOn(soShowHidden); }
    void SetShowHidden(bool value) { SetOption(soShowHidden, value); }
    bool GetShowFiles() const noexcept { return IsOn(soShowFiles); }
    void SetShowFiles(bool value) { SetOption(soShowFiles, value); }
    bool GetShowContextMenuOnTop() const noexcept { return IsOn(soShowContextMenuOnTop); }
    void SetShowContextMenuOnTop(bool value) { SetOption(soShowContextMenuOnTop, value); }
    bool GetColorCompressed() const noexcept { return IsOn(soColorCompressed); }
    void SetColorCompressed(bool value) { SetOption(soColorCompressed, value); }
    bool GetColorEncrypted() const noexcept { return IsOn(soColorEncrypted); }
    void SetColorEncrypted(bool value) { SetOption(soColorEncrypted, value); }
    bool GetNoFillOnStartup() const noexcept { return IsOn(soNoFillOnStartup); }
    void SetNoFillOnStartup(bool value) { SetOption(soNoFillOnStartup, value); }

    void SetOption(TZelShellOption option, bool value)
    {
        auto& control = static_cast<Control&>(*this);
        const TZelShellOptions options = control.GetOptions();
        control.SetOptions(value ? static_cast<TZelShellOptions>(options | option)
                                 : static_cast<TZelShellOptions>(options & ~option));
    }

private:
    bool IsOn(TZelShellOption option) const noexcept
    {
        return HasOption(static_cast<const Control&>(*this).GetOptions(), option);
    }
};

// Decides whether the browser's current object may be shown under an option word. One rule
// object serves a whole walk over a folder: the special folders it compares objects with are
// located once, and only when an option that needs them is off, so that the common case
// (network and recycle bin shown) asks the shell nothing beyond the object's attributes.
class TZelVisibilityRule {
public:
    explicit TZelVisibilityRule(TZelShellOptions options);
    TZelVisibilityRule(const TZelVisibilityRule&) = delete;
    TZelVisibilityRule& operator=(const TZelVisibilityRule&) = delete;

    TZelShellOptions Options() const noexcept { return options_; }

    // `isFolder` is the object's folder test when the caller already has it (-1: ask the
    // browser), so that a fill asks it once per object.
    bool Accepts(TNautilex& browser, int isFolder = -1);

private:
    enum TKind { kNethood, kNetwork, kBitBucket, kKindCount };

    bool IsKind(TNautilex& browser, TKind kind);
    void Locate(TKind kind);

    TZelShellOptions options_;
    std::array<TOwnedIDList, kKindCount> lists_;
    std::array<bool, kKindCount> located_{};
};
