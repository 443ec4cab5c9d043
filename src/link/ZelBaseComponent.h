#pragma once
// Common base of the non-visual shell components: an Enabled switch that descendants can react
// to. The stored value starts false; each descendant's constructor sets its own start value.
#include "core/Component.h"

class TZelBaseComponent : public TComponent {
public:
    explicit TZelBaseComponent(TComponent* owner) : TComponent(owner) {}

    virtual bool GetEnabled() const { return fEnabled; }
    virtual void SetEnabled(bool value) { fEnabled = value; }

protected:
    bool fEnabled = false;
};
