#pragma once
// A base that lets exactly one object of the derived class exist at a time.
#include "base/Log.h"

namespace skinner {

template <class Derived>
class Singleton {
public:
    // The one object, null while none exists.
    static Derived* instance_pointer() { return whole_; }

protected:
    // The derived class hands over its own pointer, so no cast of a half-built object is needed.
    explicit Singleton(Derived* whole) {
        if (whole_) {
            gluck(u"Singleton is already instantiated", u"Singleton::Singleton()");
        }
        whole_ = whole;
    }
    ~Singleton() { whole_ = nullptr; }
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

private:
    static inline Derived* whole_ = nullptr;
};

}  // namespace skinner
