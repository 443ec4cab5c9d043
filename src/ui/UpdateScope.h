#pragma once
// A bulk update for the life of a scope: BeginUpdate now, EndUpdate when the scope ends, also
// when it ends by an exception. Serves anything with that pair (list items, tree nodes).

template <class TTarget>
class TUpdateScope {
public:
    explicit TUpdateScope(TTarget& target) : target_(target) { target_.BeginUpdate(); }
    explicit TUpdateScope(TTarget* target) : TUpdateScope(*target) {}
    ~TUpdateScope() { target_.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TTarget& target_;
};
