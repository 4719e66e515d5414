#pragma once

#include <QString>

// Receives each line of a TObservable.
class TBaseObserver
{
public:
    virtual ~TBaseObserver() = default;
    virtual void Update(const QString& line) = 0;
};
