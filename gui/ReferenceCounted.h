// The reference count shared by views and bitmaps: objects start with one
// reference (their creator's) and delete themselves when the last goes.
#pragma once

class ReferenceCounted {
public:
    virtual ~ReferenceCounted() = default;
    void retain() { ++references; }
    // Does nothing once the count is 0 or below; answers the count left.
    int release() {
        if (references <= 0) return references;
        if (--references == 0) {
            delete this;
            return 0;
        }
        return references;
    }
    int refCount() const { return references; }

protected:
    ReferenceCounted() = default;

private:
    int references = 1;
};
