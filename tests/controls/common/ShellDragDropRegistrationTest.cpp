// The OleDragDrop property of the shell list and the shell tree: the window of a shown
// control is registered as a drop target while it is on, and taken back while it is off.
#include "common/TestForm.h"
#include "controls/list/ShellList.h"
#include "controls/tree/ShellTree.h"

#include <gtest/gtest.h>

namespace {

class TNoDrops : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override
    {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD*) override { return E_FAIL; }
};

// A window registered already refuses a second registration.
bool Registered(HWND window)
{
    TNoDrops probe;
    const HRESULT result = RegisterDragDrop(window, &probe);
    if (SUCCEEDED(result))
        RevokeDragDrop(window);
    return result == DRAGDROP_E_ALREADYREGISTERED;
}

template <class Control>
void ExpectRegistrationFollowsTheProperty(Control* control)
{
    const HWND window = control->Handle();
    EXPECT_TRUE(control->GetOleDragDrop());
    EXPECT_TRUE(Registered(window));
    control->SetOleDragDrop(false);
    EXPECT_FALSE(control->GetOleDragDrop());
    EXPECT_FALSE(Registered(window));
    control->SetOleDragDrop(true);
    EXPECT_TRUE(control->GetOleDragDrop());
    EXPECT_TRUE(Registered(window));
}

TEST(ShellDragDropRegistration, FollowsTheOleDragDropPropertyOfAShownControl)
{
    TTestForm form(nullptr, 600, 400);
    auto* list = new TZelShellList(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 280, 380);
    auto* tree = new TZelShellTree(&form);
    tree->SetParent(&form);
    tree->SetBounds(300, 0, 280, 380);
    form.Activate();
    {
        SCOPED_TRACE("list");
        ExpectRegistrationFollowsTheProperty(list);
    }
    {
        SCOPED_TRACE("tree");
        ExpectRegistrationFollowsTheProperty(tree);
    }
}

}  // namespace
