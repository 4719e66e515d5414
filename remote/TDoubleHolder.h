#pragma once

// One measured value in a measurement window.
class TDoubleHolder
{
public:
    explicit TDoubleHolder(double value = 0)
        : Value(value)
    { }
    double Value;
};
