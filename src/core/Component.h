#pragma once
// The component model: a component has an owner that frees it, knows whether its stored
// properties are being applied (loading) and whether it is being designed, gets a Loaded step
// when loading ends, and hears when a component it watches is removed.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

// Event types: handlers receive the sender first and report decisions by reference.
using TNotifyEvent = std::function<void(TObject* Sender)>;

enum class TOperation { opInsert, opRemove };

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const noexcept { return owner_; }
    int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }

    std::wstring Name;

    bool IsLoading() const noexcept { return loading_; }
    bool IsDesigning() const noexcept { return designing_; }
    bool IsDestroying() const noexcept { return destroying_; }
    // The program never designs; tests switch this on to reach design-time behaviour.
    void SetDesigning(bool designing);

    // Applying stored properties: BeginLoading, set the properties, EndLoading (calls Loaded).
    void BeginLoading();
    void EndLoading();

    // Ask to be told (through Notification) when `other` is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // The window of a windowed control; none for other components.
    virtual HWND ComponentWindow() const { return nullptr; }

protected:
    // Frees the owned components now; a derived destructor calls this when its children
    // must go while the derived part still exists.
    void DestroyComponents();
    virtual void Loaded();
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    bool loading_ = false;
    bool designing_ = false;
    bool destroying_ = false;
};

// Creates a component owned by `owner`; the owner frees it, so the pointer is borrowed.
template <class T, class... Args>
T* MakeOwned(TComponent* owner, Args&&... args)
{
    return new T(owner, std::forward<Args>(args)...);
}
