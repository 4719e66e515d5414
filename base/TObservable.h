#pragma once

class TBaseObserver;

// Something that hands lines to attached observers; the observers are not owned.
class TObservable
{
public:
    virtual ~TObservable() = default;
    virtual void Notify() = 0;
    virtual void Attach(TBaseObserver* observer) = 0;
    virtual void Detach(TBaseObserver* observer) = 0;
};
