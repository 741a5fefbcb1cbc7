// The interface through which wrappers that host the effect learn parameter defaults.
#pragma once

class AuWrappableInterface {
public:
    virtual ~AuWrappableInterface() = default;
    virtual float getParameterDefault(int index) = 0;
};
