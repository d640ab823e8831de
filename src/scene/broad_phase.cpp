#include "scene/broad_phase.h"

#include <algorithm>
#include <cassert>
#include <cmath>

float broad_phase_cell = 64.0f;  // m: edge of a grid cell

namespace {

// Cell coordinates are clamped to this range: far-off boxes share the
// border cells, which costs only spare candidates.
const double CELL_LIMIT = 1 << 29;

int clamp_cell(double v)
{
    if (!(v > -CELL_LIMIT))
        return (int)-CELL_LIMIT;
    if (!(v < CELL_LIMIT))
        return (int)CELL_LIMIT;
    return (int)v;
}

}  // namespace

void BROAD_PHASE::clear()
{
    entries.clear();
    wide.clear();
}

void BROAD_PHASE::add(const float* centre, float half_width)
{
    assert(std::isfinite(centre[0]) && std::isfinite(centre[1]) && std::isfinite(centre[2]) &&
           std::isfinite(half_width) && half_width >= 0.0f &&
           "finite centre and half_width >= 0");
    ENTRY en;
    en.c[0] = centre[0];
    en.c[1] = centre[1];
    en.c[2] = centre[2];
    en.e = half_width;
    en.wide = false;
    entries.push_back(en);
}

void BROAD_PHASE::cell_range(float c, float e, int& lo, int& hi) const
{
    // Widened by far more than the rounding of the exact test, so that a
    // pair it accepts always shares a cell.
    double pad = 1e-5 * (fabs((double)c) + e) + 1e-6;
    lo = clamp_cell(floor(((double)c - e - pad) / broad_phase_cell));
    hi = clamp_cell(floor(((double)c + e + pad) / broad_phase_cell));
}

unsigned BROAD_PHASE::bucket(int x, int y, int z) const
{
    // Two cells that land in one bucket only add spare candidates.
    unsigned long long h = (unsigned)x * 0x9E3779B97F4A7C15ull;
    h ^= (unsigned)y * 0xC2B2AE3D27D4EB4Full + (h >> 29);
    h ^= (unsigned)z * 0x165667B19E3779F9ull + (h >> 31);
    h ^= h >> 33;
    return (unsigned)h & bucket_mask;
}

unsigned BROAD_PHASE::entry_buckets(const ENTRY& en, unsigned* out) const
{
    unsigned n = 0;
    for (int x = en.lo[0]; x <= en.hi[0]; x++)
        for (int y = en.lo[1]; y <= en.hi[1]; y++)
            for (int z = en.lo[2]; z <= en.hi[2]; z++) {
                unsigned b = bucket(x, y, z);
                if (std::find(out, out + n, b) == out + n)
                    out[n++] = b;
            }
    return n;
}

void BROAD_PHASE::build()
{
    // A box at most half a cell wide covers at most two cells per axis;
    // wider boxes, and boxes so far out that rounding widens them past
    // that, are kept apart.
    const float narrow = 0.5f * broad_phase_cell;
    unsigned cells = 0;
    wide.clear();
    for (unsigned i = 0; i < entries.size(); i++) {
        ENTRY& en = entries[i];
        en.wide = !(en.e <= narrow);
        for (int k = 0; k < 3 && !en.wide; k++) {
            cell_range(en.c[k], en.e, en.lo[k], en.hi[k]);
            // A box kept apart as wide is still tried against every other:
            // only the number of pairs tried depends on this bound.
            en.wide = en.hi[k] - en.lo[k] > 1;
        }
        if (en.wide) {
            wide.push_back(i);
            continue;
        }
        cells += (en.hi[0] - en.lo[0] + 1) * (en.hi[1] - en.lo[1] + 1) * (en.hi[2] - en.lo[2] + 1);
    }
    unsigned nb = 16;  // a power of two, so that nb - 1 masks; another count only crowds the buckets
    while (nb < 2 * cells)
        nb *= 2;
    bucket_mask = nb - 1;
    bucket_start.assign(nb + 1, 0);
    // Counting sort of (bucket, entry): a bucket's entries stay in index order.
    unsigned bs[8];
    for (const ENTRY& en : entries)
        if (!en.wide)
            for (unsigned k = 0, n = entry_buckets(en, bs); k < n; k++)
                bucket_start[bs[k] + 1]++;
    for (unsigned b = 0; b < nb; b++)
        bucket_start[b + 1] += bucket_start[b];
    members.resize(bucket_start[nb]);
    fill.assign(bucket_start.begin(), bucket_start.end() - 1);
    for (unsigned i = 0; i < entries.size(); i++)
        if (!entries[i].wide)
            for (unsigned k = 0, n = entry_buckets(entries[i], bs); k < n; k++)
                members[fill[bs[k]]++] = i;
}

bool BROAD_PHASE::touch(unsigned i, unsigned j) const
{
    // The very expressions of the exact test's box step, in its order.
    const ENTRY& a = entries[i];
    const ENTRY& b = entries[j];
    float r = b.e + a.e;
    for (int k = 0; k < 3; k++)
        if (fabsf(b.c[k] - a.c[k]) > r)
            return false;
    return true;
}

void BROAD_PHASE::add_bucket_after(unsigned b, unsigned i)
{
    const unsigned* first = members.data() + bucket_start[b];
    const unsigned* last = members.data() + bucket_start[b + 1];
    runs.push_back(found.size());
    for (const unsigned* p = std::upper_bound(first, last, i); p != last; ++p)
        if (touch(i, *p))
            found.push_back(*p);
}

void BROAD_PHASE::gather_wide_after(unsigned i)
{
    runs.push_back(found.size());
    for (auto p = std::upper_bound(wide.begin(), wide.end(), i); p != wide.end(); ++p)
        if (touch(i, *p))
            found.push_back(*p);
}

const std::vector<unsigned>& BROAD_PHASE::candidates_after(unsigned i)
{
    assert(i < entries.size() && "i < entries.size()");
    found.clear();
    runs.clear();
    const ENTRY& en = entries[i];
    if (en.wide) {
        // A wide box may reach any cell: it reads every later entry.
        for (unsigned j = i + 1; j < entries.size(); j++)
            if (touch(i, j))
                found.push_back(j);
        return found;
    }
    unsigned bs[8];
    for (unsigned k = 0, n = entry_buckets(en, bs); k < n; k++)
        add_bucket_after(bs[k], i);
    gather_wide_after(i);
    // Each run is in index order; merge them one after the other, then drop
    // the entries met in more than one cell.
    size_t nonempty = 0;
    for (size_t r = 0; r < runs.size(); r++)
        if ((r + 1 < runs.size() ? runs[r + 1] : found.size()) > runs[r])
            nonempty++;
    if (nonempty > 1) {
        for (size_t r = 1; r < runs.size(); r++) {
            size_t end = r + 1 < runs.size() ? runs[r + 1] : found.size();
            std::inplace_merge(found.begin(), found.begin() + runs[r], found.begin() + end);
        }
        found.erase(std::unique(found.begin(), found.end()), found.end());
    }
    return found;
}
