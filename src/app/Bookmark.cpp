#include "app/Bookmark.h"

#include "app/BookmarkFile.h"
#include "app/CodePagePath.h"
#include "core/TextConversion.h"
#include "shell/FolderProbe.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Scaling.h"

#include <cwctype>
#include <vector>

namespace {

constexpr UINT kReportProblemMessage = WM_APP + 1;

std::wstring FullPath(const std::wstring& name)
{
    const DWORD needed = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return name;
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD length = GetFullPathNameW(name.c_str(), needed + 1, buffer.data(), nullptr);
    return length == 0 || length > needed ? name : std::wstring(buffer.data(), length);
}

const std::wstring& Title()
{
    static const std::wstring fallback = L"Bivista";
    return Application != nullptr && !Application->Title.empty() ? Application->Title : fallback;
}

HWND MessageOwner()
{
    TCustomForm* main = TCustomForm::MainForm();
    return main != nullptr ? main->WindowHandle() : nullptr;
}

COLORREF ColorOf(const std::string& stored)
{
    if (stored == "clWindowText" || stored.empty())
        return GetSysColor(COLOR_WINDOWTEXT);
    if (stored == "clBlack")
        return RGB(0, 0, 0);
    try {
        const long value = std::stol(stored);
        // Negative values name a system colour.
        return value < 0 ? GetSysColor(static_cast<int>(value & 0xFF))
                         : static_cast<COLORREF>(value);
    } catch (...) {
        return GetSysColor(COLOR_WINDOWTEXT);
    }
}

BYTE CharsetOf(const std::string& stored)
{
    if (stored == "ANSI_CHARSET")
        return ANSI_CHARSET;
    if (stored == "DEFAULT_CHARSET")
        return DEFAULT_CHARSET;
    try {
        return static_cast<BYTE>(std::stoi(stored));
    } catch (...) {
        return DEFAULT_CHARSET;
    }
}

TButton* MakeButton(TfrmBookmark* form, const wchar_t* caption, int left, int width)
{
    auto* button = MakeOwned<TButton>(form);
    button->SetParent(form);
    button->SetCaption(caption);
    button->SetBounds(Scale(left), Scale(8), Scale(width), Scale(25));
    button->Font().SetName(L"Tahoma");
    button->Font().SetSize(8);
    return button;
}

}  // namespace

TfrmBookmark::TfrmBookmark(TComponent* owner) : TForm(owner)
{
    ListBox1 = MakeOwned<TListBox>(this);
    ListBox1->Name = L"ListBox1";
    Label1 = MakeOwned<TLabel>(this);
    Label1->Name = L"Label1";

    BeginFormLoading();
    Name = L"frmBookmark";
    SetCaption(L"Bookmark List  (shortcut Alt-B, 1..10, S or G or D)");
    BorderStyle = TFormBorderStyle::bsDialog;
    Position = TPosition::poScreenCenter;
    SetBounds(0, 0, Scale(546), Scale(234));
    Font().SetName(L"Tahoma");
    Font().SetSize(8);

    Label1->SetParent(this);
    Label1->SetCaption(L"Bookmark directory path");
    Label1->SetBounds(Scale(8), Scale(8), Scale(200), Scale(18));
    Label1->Font().SetName(L"Tahoma");
    Label1->Font().SetSize(11);
    Label1->Font().SetUnderline(true);

    ListBox1->SetParent(this);
    SaveButton = MakeButton(this, L"&Save", 240, 57);
    GotoButton = MakeButton(this, L"&Goto", 304, 65);
    DeleteButton = MakeButton(this, L"&Delete", 376, 57);
    CancelButton = MakeButton(this, L"&Cancel", 440, 57);
    CancelButton->Cancel = true;
    SaveButton->OnClick = [this](TObject*) { SaveSlot(); };
    GotoButton->OnClick = [this](TObject*) { GotoSlot(); };
    DeleteButton->OnClick = [this](TObject*) { DeleteSlot(); };
    CancelButton->OnClick = [this](TObject*) { CancelWindow(); };
    ListBox1->OnKeyPress = [this](TObject*, wchar_t& key) { ListKeyPress(key); };
    ListBox1->OnDblClick = [this](TObject*) { GotoSlot(); };
    OnDestroy = [this](TObject*) { WriteFile(); };

    state_.Lines = InitialBookmarkLines();
    LoadFile();
    ApplyState();
    EndFormLoading();
}

TfrmBookmark::~TfrmBookmark()
{
    DoDestroy();
    DestroyHandle();
    DestroyComponents();
}

// ---- The file ----

void TfrmBookmark::LoadFile()
{
    const TBookmarkReadResult result = LoadBookmarkFile(kFileName);
    state_ = result.State;
    if (result.Status != TBookmarkLoad::blMissing && result.Status != TBookmarkLoad::blLoaded) {
        problem_ = BookmarkProblemText(FullPath(kFileName), result);
        // Lines never read must not replace the file's.
        writeBlocked_ = result.Status != TBookmarkLoad::blKeptAside;
        // Told once the program's windows are up, not in the middle of making them.
        if (HWND window = Handle())
            PostMessageW(window, kReportProblemMessage, 0, 0);
    }
}

void TfrmBookmark::ReportProblem()
{
    if (problemShown_ || problem_.empty())
        return;
    problemShown_ = true;
    MessageBoxW(MessageOwner(), problem_.c_str(), Title().c_str(), MB_OK | MB_ICONWARNING);
}

void TfrmBookmark::WriteFile()
{
    if (writeBlocked_)
        return;
    try {
        SaveBookmarkFile(kFileName, state_);
    } catch (const Exception& e) {
        const std::wstring text = L"The bookmarks could not be saved to \"" + FullPath(kFileName) +
                                  L"\": " + e.Message() + L".";
        MessageBoxW(MessageOwner(), text.c_str(), Title().c_str(), MB_OK | MB_ICONERROR);
    }
}

void TfrmBookmark::WndProc(TMessage& message)
{
    if (message.Msg == kReportProblemMessage) {
        ReportProblem();
        return;
    }
    TForm::WndProc(message);
}

// ---- The list ----

void TfrmBookmark::ApplyState()
{
    ListBox1->SetBounds(Scale(state_.Left), Scale(state_.Top), Scale(state_.Width),
                        Scale(state_.Height));
    LOGFONTW font = ListBox1->Font().LogFont();
    font.lfHeight = state_.FontHeight < 0 ? -Scale(-state_.FontHeight) : Scale(state_.FontHeight);
    font.lfCharSet = CharsetOf(state_.FontCharset);
    const std::wstring name = NarrowToWide(state_.FontName);
    lstrcpynW(font.lfFaceName, name.c_str(), LF_FACESIZE);
    font.lfWeight = FW_NORMAL;
    font.lfItalic = font.lfUnderline = font.lfStrikeOut = FALSE;
    for (const std::string& style : state_.FontStyle) {
        if (style == "fsBold")
            font.lfWeight = FW_BOLD;
        else if (style == "fsItalic")
            font.lfItalic = TRUE;
        else if (style == "fsUnderline")
            font.lfUnderline = TRUE;
        else if (style == "fsStrikeOut")
            font.lfStrikeOut = TRUE;
    }
    ListBox1->Font().Assign(font);
    ListBox1->Font().SetColor(ColorOf(state_.FontColor));
    ListBox1->SetItemHeight(Scale(state_.ItemHeight));
    std::vector<std::wstring> items;
    items.reserve(state_.Lines.size());
    for (const std::string& line : state_.Lines)
        items.push_back(NarrowToWide(line));
    ListBox1->SetItems(std::move(items));
}

std::string TfrmBookmark::SlotLabel(int slot)
{
    return std::string(1, static_cast<char>('1' + slot));
}

void TfrmBookmark::SetLine(int slot, std::string line)
{
    state_.Lines.at(static_cast<size_t>(slot)) = std::move(line);
    ListBox1->SetItem(slot, NarrowToWide(state_.Lines[static_cast<size_t>(slot)]));
}

void TfrmBookmark::Open()
{
    Show();
    ListBox1->SetFocus();
}

// ---- Commands ----

void TfrmBookmark::SaveSlot()
{
    const int slot = ListBox1->ItemIndex();
    if (slot < 0 || target_ == nullptr)
        return;
    const std::wstring folder = target_->ActiveTreeFolder();
    std::string stored;
    if (!CodePagePath(folder, stored)) {
        const std::wstring text = L"The folder \"" + folder +
                                  L"\" cannot be kept in the bookmark list: its name does not fit "
                                  L"the system's code page and it has no short name.";
        MessageBoxW(WindowHandle(), text.c_str(), Title().c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    SetLine(slot, SlotLabel(slot) + " " + stored);
    Close();
}

void TfrmBookmark::GotoSlot()
{
    const int slot = ListBox1->ItemIndex();
    if (slot < 0 || target_ == nullptr)
        return;
    const std::string& line = state_.Lines.at(static_cast<size_t>(slot));
    if (line.size() <= 4)
        return;
    const std::wstring folder = NarrowToWide(line.substr(2));
    if (FolderExistsWithin(folder))
        target_->SelectInActiveTree(folder);
    target_->RefreshActiveTree();
    Close();
    target_->FocusActiveTree();
}

void TfrmBookmark::DeleteSlot()
{
    const int slot = ListBox1->ItemIndex();
    if (slot < 0)
        return;
    SetLine(slot, SlotLabel(slot) + " ");
}

void TfrmBookmark::CancelWindow()
{
    Close();
}

void TfrmBookmark::ListKeyPress(wchar_t& key)
{
    switch (std::towupper(key)) {
    case L'S': SaveSlot(); break;
    case L'G': GotoSlot(); break;
    case L'D': DeleteSlot(); break;
    case L'C':
        if (ListBox1->ItemIndex() >= 0)
            CancelWindow();
        break;
    default: break;
    }
}
