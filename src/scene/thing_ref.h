// THING_REF: a pointer to a THING that it does not own and that becomes null
// when the thing is destroyed, however it leaves the tree. Used wherever a
// thing is remembered across frames (view thing, look-at target, targets).
#pragma once

class THING;

class THING_REF {
public:
    THING_REF() = default;
    THING_REF(THING* t) { set(t); }  // NOLINT: behaves like a pointer
    THING_REF(const THING_REF& other) { set(other.thing); }
    THING_REF& operator=(const THING_REF& other);
    THING_REF& operator=(THING* t);
    ~THING_REF() { set(nullptr); }

    void set(THING* t);
    THING* get() const { return thing; }
    THING* operator->() const { return thing; }
    operator THING*() const { return thing; }  // NOLINT

private:
    friend class THING;
    THING* thing = nullptr;
    THING_REF* prev_ref = nullptr;  // links of the thing's list of references
    THING_REF* next_ref = nullptr;
};
