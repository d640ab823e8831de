// BROAD_PHASE: finds, among a list of axis-aligned boxes (a centre and a
// half-width, the same on every axis), the pairs whose boxes may touch,
// without testing every pair. It knows nothing of things or flags: the
// collision pass feeds it its colliders in list order and asks, row by
// row, which later entries lie near an entry.
//
// A uniform grid, hashed, rather than sort-and-sweep: the world's things
// spread over the ground plane and in height, where one sorted axis keeps
// every thing of the same x as a candidate; and each row's candidates come
// out of a grid cell already in list order, which the collision pass needs.
// Boxes too wide for a cell go to a list of their own that every row reads.
#pragma once

#include <cstddef>
#include <vector>

extern float broad_phase_cell;  // m: edge of a grid cell

class BROAD_PHASE {
public:
    // Forgets every entry and keeps the storage, so that a pass run every
    // frame allocates nothing once the world has stopped growing.
    void clear();
    // Adds the next entry (its index is the number added before it).
    // centre and half_width must be finite, half_width 0 or more.
    void add(const float* centre, float half_width);
    // Sorts the entries into the grid; call once after the last add.
    void build();
    // The entries after entry i, in increasing index order, whose box
    // touches entry i's: |centre[j] - centre[i]| <= half_width[j] +
    // half_width[i] on every axis, evaluated in float exactly so, so that
    // no pair that the exact test accepts is ever missed. The vector is
    // reused by the next call.
    const std::vector<unsigned>& candidates_after(unsigned i);
    unsigned size() const { return (unsigned)entries.size(); }

private:
    struct ENTRY {
        float c[3];
        float e;
        int lo[3], hi[3];  // cells covered, at most two per axis; unused for wide entries
        bool wide;
    };
    bool touch(unsigned i, unsigned j) const;
    unsigned bucket(int x, int y, int z) const;
    // The distinct buckets of a narrow entry's cells (at most 8) into out.
    unsigned entry_buckets(const ENTRY& en, unsigned* out) const;
    void cell_range(float c, float e, int& lo, int& hi) const;
    void gather_wide_after(unsigned i);
    void add_bucket_after(unsigned b, unsigned i);

    std::vector<ENTRY> entries;
    std::vector<unsigned> wide;           // indices of wide entries, increasing
    std::vector<unsigned> bucket_start;   // bucket b holds members[bucket_start[b] .. bucket_start[b+1])
    std::vector<unsigned> members;        // entry indices, increasing within a bucket
    std::vector<unsigned> fill;           // build's write position in each bucket
    unsigned bucket_mask = 0;
    std::vector<unsigned> found;          // the answer of candidates_after
    std::vector<size_t> runs;             // where each sorted run of found begins
};
