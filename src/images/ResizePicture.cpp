// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/ResizePicture.h"

#include "common/Error.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <iterator>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define TILVO_RESIZE_AVX2 1
#include <immintrin.h>
#else
#define TILVO_RESIZE_AVX2 0
#endif

// How the resize works.
//
// Every new pixel is Trunc(Σ wᵢ·cᵢ / S) per channel, with double weights wᵢ computed in long
// double, their long double sum S rounded to double, and the weighted sum accumulated in long
// double. The weights depend only on the fractional parts dx and dy of the sampling point,
// which repeat along a row and a column: the distinct fractions of each axis are collected
// once, the rows are grouped by their dy, and each group computes its weight sets once.
//
// The channels are then first estimated in single precision with the weights divided by S.
// That estimate is within 5·2⁻²⁴·255 < 7.7e-5 of the exact quotient (positive terms only, at
// most five float roundings), and the long double result itself is within 2⁻⁶⁰ of it. So when
// the estimate's fraction is farther than FilterMargin from a whole number, its whole part is
// the exact one; otherwise that channel is computed as the reference does. Flat neighbourhoods
// (four equal values c), whose quotient is c itself, are settled per weight set instead: the
// long double result is c·T/S within 4·2⁻⁶⁴, where T is the exact sum of the weights, so it is
// c when T exceeds S by more than that, c − 1 when it falls short, and computed exactly only
// for the few sets where T and S are too close to tell.
//
// Where every row has its own dy (sizes whose fractions do not repeat), making the weight sets
// is most of the work, so they are made four columns at a time with AVX2, eight with AVX-512,
// in double-double arithmetic: each 1/√(a² + b²) to about 2⁻⁸³, and the sum of the four
// weights exactly. The long double path of the reference is within 3·2⁻⁶⁴ of the true value
// (a² + b² within 2·2⁻⁶⁴, halved by the root, plus the roundings of the root and of the
// reciprocal), so whenever the double-double value is farther than WeightMargin = 2⁻⁶² (of
// itself) from a point halfway between two doubles, both round to the same double, which is
// then the weight bit for bit. S is the exact sum rounded once, which it is whenever the
// weights are close enough in size for the long double sums to be exact. In the few columns
// left, about one in sixty, the weights that missed and the sum are made again by the long
// double code. Everything after the weights (the flat outcome, the single precision weights)
// is the same double arithmetic in each lane.

static_assert(std::numeric_limits<long double>::digits == 64,
              "the resize arithmetic needs the 80-bit extended long double");

namespace tilvo {

namespace {

constexpr float FilterMargin = 2e-4f;

enum class FlatOutcome : std::int32_t
{
    Same,
    OneLess,
    Compute
};

// The weights of one (dx, dy) pair, in the order (x0, y0), (x0 + 1, y0), (x0, y0 + 1),
// (x0 + 1, y0 + 1); a neighbour that takes no part has weight 0 and points at one that does.
struct alignas(32) WeightSet
{
    float weight[4][4];      // wᵢ / S, repeated for the blue, green, red and spare lanes
    std::int32_t oneLess[4]; // -1 in every lane when a flat neighbourhood gives c − 1
    std::int32_t compute[4]; // -1 in every lane when a flat neighbourhood must be computed
    double exact[4];         // wᵢ
    double sum;              // S
};

double InverseDistance(long double a, long double b)
{
    return double(1.0L / std::sqrt(a * a + b * b));
}

FlatOutcome FlatOutcomeOf(const double (&w)[4], double sum)
{
    // The exact sum of the four weights as s + e: each addition's rounding error is kept.
    double s = w[0];
    double e = 0;
    for (int i = 1; i < 4; ++i) {
        const double t = s + w[i];
        const double b = t - s;
        e += (s - (t - b)) + (w[i] - b);
        s = t;
    }
    const double excess = (s - sum) + e;
    const double limit = 6.0 * std::ldexp(1.0, -64) * sum;
    if (excess > limit)
        return FlatOutcome::Same;
    if (excess < -limit)
        return FlatOutcome::OneLess;
    return FlatOutcome::Compute;
}

// Makes the weights of (dx, dy) whose bit is set in `which` (bit i for the weight i of the
// table) and completes the set from them: the sum S, the flat outcome, the single precision
// weights. The others are taken from set.exact as they stand.
void CompleteWeightSet(WeightSet& set, double dx, double dy, unsigned which)
{
    const long double ldx = dx;
    const long double ldy = dy;
    double(&w)[4] = set.exact;
    FlatOutcome outcome = FlatOutcome::Same;
    if (dx == 0 && dy == 0) {
        // A whole sampling point: the pixel is copied.
        w[0] = 1;
        w[1] = w[2] = w[3] = 0;
        set.sum = 1;
    } else {
        if (which & 1)
            w[0] = InverseDistance(ldx, ldy);
        if (which & 2)
            w[1] = dx != 0 ? InverseDistance(1.0L - ldx, ldy) : 0.0;
        if (which & 4)
            w[2] = dy != 0 ? InverseDistance(ldx, 1.0L - ldy) : 0.0;
        if (which & 8)
            w[3] = dx != 0 && dy != 0 ? InverseDistance(1.0L - ldx, 1.0L - ldy) : 0.0;
        long double sum = w[0];
        sum += w[1];
        sum += w[2];
        sum += w[3];
        set.sum = double(sum);
        outcome = FlatOutcomeOf(w, set.sum);
    }
    for (int i = 0; i < 4; ++i) {
        const float normalised = float(w[i] / set.sum);
        std::fill(std::begin(set.weight[i]), std::end(set.weight[i]), normalised);
    }
    std::fill(std::begin(set.oneLess), std::end(set.oneLess),
              outcome == FlatOutcome::OneLess ? -1 : 0);
    std::fill(std::begin(set.compute), std::end(set.compute),
              outcome == FlatOutcome::Compute ? -1 : 0);
}

void MakeWeightSet(WeightSet& set, double dx, double dy)
{
    CompleteWeightSet(set, dx, dy, 0xF);
}

inline uchar ExactChannel(const WeightSet& set, int c0, int c1, int c2, int c3)
{
    long double sum = static_cast<long double>(set.exact[0]) * c0;
    sum += static_cast<long double>(set.exact[1]) * c1;
    sum += static_cast<long double>(set.exact[2]) * c2;
    sum += static_cast<long double>(set.exact[3]) * c3;
    return uchar(int(sum / static_cast<long double>(set.sum)));
}

// The sampling positions along one axis.
struct AxisMap
{
    std::vector<int> first;        // the first neighbour's index
    std::vector<int> second;       // the second neighbour's index (the first when whole)
    std::vector<int> fraction;     // index into fractions
    std::vector<double> fractions; // the distinct fractional parts; fractions[0] is 0
};

AxisMap MapAxis(int sourceSize, int targetSize)
{
    AxisMap map;
    map.first.resize(targetSize);
    map.second.resize(targetSize);
    map.fraction.resize(targetSize);
    std::vector<double> parts(targetSize);
    for (int t = 0; t < targetSize; ++t) {
        const double s = double(std::int64_t(sourceSize) * t) / double(targetSize) - 0.5;
        double f = std::min(s, double(sourceSize - 1));
        if (!(f > 0))
            f = 0;
        const double whole = std::floor(f);
        parts[t] = f - whole;
        map.first[t] = int(whole);
        map.second[t] = int(whole) + (parts[t] != 0 ? 1 : 0);
    }
    map.fractions = parts;
    map.fractions.push_back(0.0);
    std::sort(map.fractions.begin(), map.fractions.end());
    map.fractions.erase(std::unique(map.fractions.begin(), map.fractions.end()),
                        map.fractions.end());
    for (int t = 0; t < targetSize; ++t)
        map.fraction[t] =
            int(std::lower_bound(map.fractions.begin(), map.fractions.end(), parts[t]) -
                map.fractions.begin());
    return map;
}

// One target row: its two source rows and, per column, the byte offsets of the two source
// columns and the weight set.
struct RowJob
{
    const uchar* row0;
    const uchar* row1;
    uchar* out;
    int width;
    const int* offset0;
    const int* offset1;
    const int* fraction;
    const WeightSet* sets;
    std::uint32_t* pending; // room for a note per pair of pixels
};

typedef float Float4 __attribute__((vector_size(16)));
typedef std::int32_t Int4 __attribute__((vector_size(16)));

inline Int4 LoadPixel(const uchar* p)
{
    return Int4{p[0], p[1], p[2], 0};
}

inline Float4 LoadFloat4(const float* p)
{
    Float4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline Int4 LoadInt4(const std::int32_t* p)
{
    Int4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void BlendPixel(const RowJob& job, int x)
{
    const uchar* p0 = job.row0 + job.offset0[x];
    const uchar* p1 = job.row0 + job.offset1[x];
    const uchar* p2 = job.row1 + job.offset0[x];
    const uchar* p3 = job.row1 + job.offset1[x];
    const WeightSet& set = job.sets[job.fraction[x]];
    const Int4 c0 = LoadPixel(p0);
    const Int4 c1 = LoadPixel(p1);
    const Int4 c2 = LoadPixel(p2);
    const Int4 c3 = LoadPixel(p3);
    const Float4 estimate = LoadFloat4(set.weight[0]) * __builtin_convertvector(c0, Float4) +
                            LoadFloat4(set.weight[1]) * __builtin_convertvector(c1, Float4) +
                            LoadFloat4(set.weight[2]) * __builtin_convertvector(c2, Float4) +
                            LoadFloat4(set.weight[3]) * __builtin_convertvector(c3, Float4);
    const Int4 whole = __builtin_convertvector(estimate, Int4);
    const Float4 part = estimate - __builtin_convertvector(whole, Float4);
    const Float4 margin = {FilterMargin, FilterMargin, FilterMargin, FilterMargin};
    const Float4 upper = 1.0f - margin;
    const Int4 clear = (part > margin) & (part < upper);
    const Int4 flat = (c0 == c1) & (c0 == c2) & (c0 == c3);
    const Int4 nonZero = c0 != Int4{0, 0, 0, 0};
    const Int4 value = (flat & (c0 + (LoadInt4(set.oneLess) & nonZero))) | (~flat & whole);
    const Int4 compute = (flat & LoadInt4(set.compute) & nonZero) | ~(flat | clear);
    uchar* out = job.out + 3 * x;
    for (int c = 0; c < 3; ++c)
        out[c] = compute[c] ? ExactChannel(set, p0[c], p1[c], p2[c], p3[c]) : uchar(value[c]);
}

inline void ComputeChannel(const RowJob& job, int x, int c)
{
    const int a = job.offset0[x] + c;
    const int b = job.offset1[x] + c;
    job.out[3 * x + c] =
        ExactChannel(job.sets[job.fraction[x]], job.row0[a], job.row0[b], job.row1[a], job.row1[b]);
}

void PortableRow(const RowJob& job)
{
    for (int x = 0; x < job.width; ++x)
        BlendPixel(job, x);
}

#if TILVO_RESIZE_AVX2

__attribute__((target("avx2,fma"))) inline __m256i Widen(const uchar* a, const uchar* b)
{
    std::int32_t va;
    std::int32_t vb;
    std::memcpy(&va, a, 4);
    std::memcpy(&vb, b, 4);
    return _mm256_cvtepu8_epi32(_mm_insert_epi32(_mm_cvtsi32_si128(va), vb, 1));
}

__attribute__((target("avx2,fma"))) inline __m256 PairOf(const float* a, const float* b)
{
    return _mm256_set_m128(_mm_loadu_ps(b), _mm_loadu_ps(a));
}

__attribute__((target("avx2,fma"))) inline __m256i PairOf(const std::int32_t* a,
                                                          const std::int32_t* b)
{
    return _mm256_set_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(a)));
}

// Two pixels at a time: blue, green, red and a spare lane for each.
__attribute__((target("avx2,fma"))) void Avx2Row(const RowJob& job)
{
    const __m256 margin = _mm256_set1_ps(FilterMargin);
    const __m256 upper = _mm256_set1_ps(1.0f - FilterMargin);
    const __m256i colours = _mm256_setr_epi32(-1, -1, -1, 0, -1, -1, -1, 0);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ones = _mm256_set1_epi32(-1);
    const __m256i gather =
        _mm256_setr_epi8(0, 4, 8, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 4, 8, -1,
                         -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    int x = 0;
    int pending = 0;
    for (; x + 2 <= job.width; x += 2) {
        const int a0 = job.offset0[x];
        const int a1 = job.offset1[x];
        const int b0 = job.offset0[x + 1];
        const int b1 = job.offset1[x + 1];
        const __m256i c0 = Widen(job.row0 + a0, job.row0 + b0);
        const __m256i c1 = Widen(job.row0 + a1, job.row0 + b1);
        const __m256i c2 = Widen(job.row1 + a0, job.row1 + b0);
        const __m256i c3 = Widen(job.row1 + a1, job.row1 + b1);
        const WeightSet& s = job.sets[job.fraction[x]];
        const WeightSet& t = job.sets[job.fraction[x + 1]];

        __m256 estimate = _mm256_mul_ps(_mm256_cvtepi32_ps(c0), PairOf(s.weight[0], t.weight[0]));
        estimate =
            _mm256_fmadd_ps(_mm256_cvtepi32_ps(c1), PairOf(s.weight[1], t.weight[1]), estimate);
        estimate =
            _mm256_fmadd_ps(_mm256_cvtepi32_ps(c2), PairOf(s.weight[2], t.weight[2]), estimate);
        estimate =
            _mm256_fmadd_ps(_mm256_cvtepi32_ps(c3), PairOf(s.weight[3], t.weight[3]), estimate);
        const __m256i whole = _mm256_cvttps_epi32(estimate);
        const __m256 part = _mm256_sub_ps(estimate, _mm256_cvtepi32_ps(whole));
        const __m256i clear = _mm256_castps_si256(_mm256_and_ps(
            _mm256_cmp_ps(part, margin, _CMP_GT_OQ), _mm256_cmp_ps(part, upper, _CMP_LT_OQ)));
        const __m256i flat = _mm256_and_si256(
            _mm256_cmpeq_epi32(c0, c1),
            _mm256_and_si256(_mm256_cmpeq_epi32(c0, c2), _mm256_cmpeq_epi32(c0, c3)));
        const __m256i nonZero = _mm256_andnot_si256(_mm256_cmpeq_epi32(c0, zero), ones);
        const __m256i oneLess = _mm256_and_si256(PairOf(s.oneLess, t.oneLess), nonZero);
        const __m256i value = _mm256_blendv_epi8(whole, _mm256_add_epi32(c0, oneLess), flat);
        const __m256i flatCompute =
            _mm256_and_si256(flat, _mm256_and_si256(PairOf(s.compute, t.compute), nonZero));
        const __m256i unclear = _mm256_andnot_si256(_mm256_or_si256(flat, clear), ones);
        const __m256i compute = _mm256_and_si256(_mm256_or_si256(flatCompute, unclear), colours);

        const __m256i packed = _mm256_shuffle_epi8(value, gather);
        const std::uint32_t first =
            std::uint32_t(_mm_cvtsi128_si32(_mm256_castsi256_si128(packed)));
        const std::uint32_t second =
            std::uint32_t(_mm_cvtsi128_si32(_mm256_extracti128_si256(packed, 1)));
        // Four-byte stores: the spare byte lands on the next pixel, written right after.
        uchar* out = job.out + 3 * x;
        std::memcpy(out, &first, 4);
        std::memcpy(out + 3, &second, x + 2 < job.width ? 4 : 3);
        // The channels to compute exactly are noted without a branch and done after the row,
        // so that their irregular pattern does not upset the main loop.
        const int lanes = _mm256_movemask_ps(_mm256_castsi256_ps(compute));
        job.pending[pending] = std::uint32_t(x) << 8 | std::uint32_t(lanes);
        pending += lanes != 0;
    }
    for (int i = 0; i < pending; ++i) {
        const int pair = int(job.pending[i] >> 8);
        for (unsigned lanes = job.pending[i] & 0xFF; lanes != 0; lanes &= lanes - 1) {
            const int lane = std::countr_zero(lanes);
            ComputeChannel(job, pair + lane / 4, lane % 4);
        }
    }
    if (x < job.width)
        BlendPixel(job, x);
}

constexpr double WeightMargin = 0x1p-62;

struct DoubleDouble
{
    __m256d hi;
    __m256d lo;
};

// a + b exactly, as the rounded sum and its error.
__attribute__((target("avx2,fma"))) inline DoubleDouble TwoSum(__m256d a, __m256d b)
{
    const __m256d s = _mm256_add_pd(a, b);
    const __m256d b1 = _mm256_sub_pd(s, a);
    const __m256d e = _mm256_add_pd(_mm256_sub_pd(a, _mm256_sub_pd(s, b1)), _mm256_sub_pd(b, b1));
    return {s, e};
}

// (h + l)² for a double-double whose l is below h's last bit.
__attribute__((target("avx2,fma"))) inline DoubleDouble Square(const DoubleDouble& v)
{
    const __m256d p = _mm256_mul_pd(v.hi, v.hi);
    const __m256d e = _mm256_fmsub_pd(v.hi, v.hi, p);
    const __m256d cross = _mm256_mul_pd(_mm256_add_pd(v.hi, v.hi), v.lo);
    return {p, _mm256_add_pd(e, _mm256_add_pd(cross, _mm256_mul_pd(v.lo, v.lo)))};
}

__attribute__((target("avx2,fma"))) inline DoubleDouble Add(const DoubleDouble& a,
                                                            const DoubleDouble& b)
{
    const DoubleDouble s = TwoSum(a.hi, b.hi);
    return {s.hi, _mm256_add_pd(s.lo, _mm256_add_pd(a.lo, b.lo))};
}

// 1/√q: the single precision estimate (2⁻¹¹ at worst) taken to about 2⁻⁴² by two Newton
// steps in double, then one Newton step in double-double, within about 2⁻⁸³ (each step
// squares the error and multiplies it by 3/2). q lies between 2⁻¹⁰⁶ and 2, well inside the
// single precision range.
__attribute__((target("avx2,fma"))) inline DoubleDouble InverseRoot(const DoubleDouble& q)
{
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d threeHalves = _mm256_set1_pd(1.5);
    const __m256d halfQ = _mm256_mul_pd(q.hi, _mm256_set1_pd(0.5));
    __m256d r = _mm256_cvtps_pd(_mm_rsqrt_ps(_mm256_cvtpd_ps(q.hi)));
    for (int step = 0; step < 2; ++step)
        r = _mm256_mul_pd(r, _mm256_fnmadd_pd(_mm256_mul_pd(halfQ, r), r, threeHalves));
    const __m256d th = _mm256_mul_pd(r, r);
    const __m256d tl = _mm256_fmsub_pd(r, r, th);
    // 1 − q·r², its leading part exact through the fused multiply-add.
    __m256d e = _mm256_fnmadd_pd(q.hi, th, one);
    e = _mm256_sub_pd(e, _mm256_add_pd(_mm256_mul_pd(q.hi, tl), _mm256_mul_pd(q.lo, th)));
    return {r, _mm256_mul_pd(_mm256_mul_pd(r, e), _mm256_set1_pd(0.5))};
}

// The double nearest to hi + lo, and whether it is farther than WeightMargin (of itself) from
// a point halfway to the next double either way. That margin is below 2⁻⁹ of the spacing of
// the doubles around it, which is checked instead. A power of two, whose neighbour below is
// closer, is left to the long double code.
__attribute__((target("avx2,fma"))) inline __m256d RoundChecked(const DoubleDouble& v, __m256d& ok)
{
    static_assert(WeightMargin * 2 <= 0x1p-52 * 0x1p-9, "the margin fits in the spacing check");
    const __m256d rounded = _mm256_add_pd(v.hi, v.lo);
    const __m256d rest = _mm256_add_pd(_mm256_sub_pd(v.hi, rounded), v.lo);
    const __m256i bits = _mm256_castpd_si256(rounded);
    const __m256i exponent = _mm256_and_si256(bits, _mm256_set1_epi64x(0x7FF0000000000000LL));
    const __m256d spacing =
        _mm256_castsi256_pd(_mm256_sub_epi64(exponent, _mm256_set1_epi64x(52LL << 52)));
    const __m256d room = _mm256_mul_pd(spacing, _mm256_set1_pd(0.5 - 0x1p-9));
    const __m256d distance = _mm256_andnot_pd(_mm256_set1_pd(-0.0), rest);
    const __m256d powerOfTwo = _mm256_castsi256_pd(_mm256_cmpeq_epi64(
        _mm256_and_si256(bits, _mm256_set1_epi64x(0x000FFFFFFFFFFFFFLL)), _mm256_setzero_si256()));
    ok = _mm256_and_pd(ok, _mm256_andnot_pd(powerOfTwo, _mm256_cmp_pd(distance, room, _CMP_LT_OQ)));
    return rounded;
}

// Lane `lane` of weight sets made several columns at a time, once set.exact is stored: when the
// vector code's weights are provably the long double ones (`ok`), their single precision
// quotients, their sum and the flat outcome go in as they are; otherwise only the weights that
// missed (bit `lane` of missed[i] for the weight i) and the rest of the set are made again in
// long double. Returns whether the lane fell back.
template <typename Mask, std::size_t Lanes>
bool StoreLane(WeightSet& set, int lane, bool ok, const Mask (&missed)[4],
               const float (&normalised)[4][Lanes], double sum, bool oneLess, bool compute,
               double dx, double dy)
{
    if (!ok) {
        unsigned which = 0;
        for (int i = 0; i < 4; ++i)
            which |= unsigned(missed[i] >> lane & 1) << i;
        CompleteWeightSet(set, dx, dy, which);
        return true;
    }
    for (int i = 0; i < 4; ++i)
        std::fill(std::begin(set.weight[i]), std::end(set.weight[i]), normalised[i][lane]);
    set.sum = sum;
    std::fill(std::begin(set.oneLess), std::end(set.oneLess), oneLess ? -1 : 0);
    std::fill(std::begin(set.compute), std::end(set.compute), compute ? -1 : 0);
    return false;
}

// The weight sets of four columns (fractions dx[0..3]) on a row of fraction dy, as
// MakeWeightSet makes them; the lanes that fall within the margin are made by it.
__attribute__((target("avx2,fma"))) int MakeWeightSets4(WeightSet* const (&sets)[4],
                                                        const double* dx, double dy)
{
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d x = _mm256_loadu_pd(dx);
    const __m256d y = _mm256_set1_pd(dy);
    const DoubleDouble x0{x, zero};
    const DoubleDouble x1 = TwoSum(one, _mm256_sub_pd(zero, x));
    const DoubleDouble y0{y, zero};
    const DoubleDouble y1 = TwoSum(one, _mm256_sub_pd(zero, y));
    const DoubleDouble sx0 = Square(x0);
    const DoubleDouble sx1 = Square(x1);
    const DoubleDouble sy0 = Square(y0);
    const DoubleDouble sy1 = Square(y1);

    const __m256d xUsed = _mm256_cmp_pd(x, zero, _CMP_NEQ_OQ);
    const __m256d yUsed = _mm256_cmp_pd(y, zero, _CMP_NEQ_OQ);
    const __m256d bothUsed = _mm256_and_pd(xUsed, yUsed);
    const __m256d whole = _mm256_cmp_pd(_mm256_or_pd(xUsed, yUsed), zero, _CMP_EQ_OQ);
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));

    __m256d ok0 = all;
    __m256d ok1 = all;
    __m256d ok2 = all;
    __m256d ok3 = all;
    __m256d w[4];
    w[0] = RoundChecked(InverseRoot(Add(sx0, sy0)), ok0);
    w[1] = RoundChecked(InverseRoot(Add(sx1, sy0)), ok1);
    w[2] = RoundChecked(InverseRoot(Add(sx0, sy1)), ok2);
    w[3] = RoundChecked(InverseRoot(Add(sx1, sy1)), ok3);
    // A whole sampling point copies its pixel; a neighbour that takes no part weighs 0.
    w[0] = _mm256_blendv_pd(w[0], one, whole);
    w[1] = _mm256_and_pd(w[1], xUsed);
    w[2] = _mm256_and_pd(w[2], yUsed);
    w[3] = _mm256_and_pd(w[3], bothUsed);
    __m256d ok = _mm256_or_pd(ok0, whole);
    ok = _mm256_and_pd(ok, _mm256_or_pd(ok1, _mm256_xor_pd(xUsed, all)));
    ok = _mm256_and_pd(ok, _mm256_or_pd(ok2, _mm256_xor_pd(yUsed, all)));
    ok = _mm256_and_pd(ok, _mm256_or_pd(ok3, _mm256_xor_pd(bothUsed, all)));

    // The exact sum as s + e, in FlatOutcomeOf's order and arithmetic.
    __m256d s = w[0];
    __m256d e = zero;
    for (int i = 1; i < 4; ++i) {
        const DoubleDouble t = TwoSum(s, w[i]);
        e = _mm256_add_pd(e, t.lo);
        s = t.hi;
    }
    // When the weights lie within 2¹¹ of each other, s + e is their sum exactly and every
    // partial sum fits the 64 bits of a long double, so S is that sum rounded once, as here
    // (halfway cases included). Other columns are left to the long double code.
    const __m256d sum = _mm256_add_pd(s, e);
    const __m256d infinity = _mm256_set1_pd(std::numeric_limits<double>::infinity());
    __m256d smallest = w[0];
    for (int i = 1; i < 4; ++i)
        smallest = _mm256_min_pd(
            smallest, _mm256_blendv_pd(infinity, w[i], _mm256_cmp_pd(w[i], zero, _CMP_GT_OQ)));
    ok = _mm256_and_pd(
        ok, _mm256_cmp_pd(smallest, _mm256_mul_pd(sum, _mm256_set1_pd(0x1p-11)), _CMP_GT_OQ));
    const __m256d excess = _mm256_add_pd(_mm256_sub_pd(s, sum), e);
    const __m256d limit = _mm256_mul_pd(_mm256_set1_pd(6.0 * 0x1p-64), sum);
    const __m256d same = _mm256_or_pd(_mm256_cmp_pd(excess, limit, _CMP_GT_OQ), whole);
    const __m256d oneLess =
        _mm256_andnot_pd(whole, _mm256_cmp_pd(excess, _mm256_sub_pd(zero, limit), _CMP_LT_OQ));
    const __m256d compute = _mm256_andnot_pd(_mm256_or_pd(same, oneLess), all);

    // One set per lane: the four weights of a lane are a column of w, so w is transposed.
    const __m256d t0 = _mm256_unpacklo_pd(w[0], w[1]);
    const __m256d t1 = _mm256_unpackhi_pd(w[0], w[1]);
    const __m256d t2 = _mm256_unpacklo_pd(w[2], w[3]);
    const __m256d t3 = _mm256_unpackhi_pd(w[2], w[3]);
    const __m256d lanes[4] = {
        _mm256_permute2f128_pd(t0, t2, 0x20), _mm256_permute2f128_pd(t1, t3, 0x20),
        _mm256_permute2f128_pd(t0, t2, 0x31), _mm256_permute2f128_pd(t1, t3, 0x31)};
    alignas(16) float normalised[4][4];
    for (int i = 0; i < 4; ++i)
        _mm_store_ps(normalised[i], _mm256_cvtpd_ps(_mm256_div_pd(w[i], sum)));
    alignas(32) double sums[4];
    _mm256_store_pd(sums, sum);
    const int okMask = _mm256_movemask_pd(ok);
    // Per lane, the weights that take part but fell within the margin.
    const int missed[4] = {_mm256_movemask_pd(_mm256_andnot_pd(ok0, _mm256_andnot_pd(whole, all))),
                           _mm256_movemask_pd(_mm256_andnot_pd(ok1, xUsed)),
                           _mm256_movemask_pd(_mm256_andnot_pd(ok2, yUsed)),
                           _mm256_movemask_pd(_mm256_andnot_pd(ok3, bothUsed))};
    const int lessMask = _mm256_movemask_pd(oneLess);
    const int computeMask = _mm256_movemask_pd(compute);
    int fallbacks = 0;
    for (int lane = 0; lane < 4; ++lane) {
        WeightSet& set = *sets[lane];
        _mm256_store_pd(set.exact, lanes[lane]);
        fallbacks += StoreLane(set, lane, okMask >> lane & 1, missed, normalised, sums[lane],
                               lessMask >> lane & 1, computeMask >> lane & 1, dx[lane], dy);
    }
    return fallbacks;
}

// The same eight columns at a time with AVX-512, whose 32 registers also hold the whole
// computation. Every step is the same double operation as above, lane for lane.
#define TILVO_AVX512 __attribute__((target("avx512f,avx2,fma")))

struct DoubleDouble8
{
    __m512d hi;
    __m512d lo;
};

TILVO_AVX512 inline DoubleDouble8 TwoSum8(__m512d a, __m512d b)
{
    const __m512d s = _mm512_add_pd(a, b);
    const __m512d b1 = _mm512_sub_pd(s, a);
    const __m512d e = _mm512_add_pd(_mm512_sub_pd(a, _mm512_sub_pd(s, b1)), _mm512_sub_pd(b, b1));
    return {s, e};
}

TILVO_AVX512 inline DoubleDouble8 Square8(const DoubleDouble8& v)
{
    const __m512d p = _mm512_mul_pd(v.hi, v.hi);
    const __m512d e = _mm512_fmsub_pd(v.hi, v.hi, p);
    const __m512d cross = _mm512_mul_pd(_mm512_add_pd(v.hi, v.hi), v.lo);
    return {p, _mm512_add_pd(e, _mm512_add_pd(cross, _mm512_mul_pd(v.lo, v.lo)))};
}

TILVO_AVX512 inline DoubleDouble8 Add8(const DoubleDouble8& a, const DoubleDouble8& b)
{
    const DoubleDouble8 s = TwoSum8(a.hi, b.hi);
    return {s.hi, _mm512_add_pd(s.lo, _mm512_add_pd(a.lo, b.lo))};
}

// The 2⁻¹⁴ estimate, two Newton steps in double (2⁻⁵² or so), one in double-double.
TILVO_AVX512 inline DoubleDouble8 InverseRoot8(const DoubleDouble8& q)
{
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d threeHalves = _mm512_set1_pd(1.5);
    const __m512d halfQ = _mm512_mul_pd(q.hi, _mm512_set1_pd(0.5));
    __m512d r = _mm512_rsqrt14_pd(q.hi);
    for (int step = 0; step < 2; ++step)
        r = _mm512_mul_pd(r, _mm512_fnmadd_pd(_mm512_mul_pd(halfQ, r), r, threeHalves));
    const __m512d th = _mm512_mul_pd(r, r);
    const __m512d tl = _mm512_fmsub_pd(r, r, th);
    __m512d e = _mm512_fnmadd_pd(q.hi, th, one);
    e = _mm512_sub_pd(e, _mm512_add_pd(_mm512_mul_pd(q.hi, tl), _mm512_mul_pd(q.lo, th)));
    return {r, _mm512_mul_pd(_mm512_mul_pd(r, e), _mm512_set1_pd(0.5))};
}

TILVO_AVX512 inline __m512d RoundChecked8(const DoubleDouble8& v, __mmask8& ok)
{
    const __m512d rounded = _mm512_add_pd(v.hi, v.lo);
    const __m512d rest = _mm512_add_pd(_mm512_sub_pd(v.hi, rounded), v.lo);
    const __m512i bits = _mm512_castpd_si512(rounded);
    const __m512i exponent = _mm512_and_epi64(bits, _mm512_set1_epi64(0x7FF0000000000000LL));
    const __m512d spacing =
        _mm512_castsi512_pd(_mm512_sub_epi64(exponent, _mm512_set1_epi64(52LL << 52)));
    const __m512d room = _mm512_mul_pd(spacing, _mm512_set1_pd(0.5 - 0x1p-9));
    const __mmask8 powerOfTwo = _mm512_cmpeq_epi64_mask(
        _mm512_and_epi64(bits, _mm512_set1_epi64(0x000FFFFFFFFFFFFFLL)), _mm512_setzero_si512());
    ok &= __mmask8(_mm512_cmp_pd_mask(_mm512_abs_pd(rest), room, _CMP_LT_OQ) & ~powerOfTwo);
    return rounded;
}

TILVO_AVX512 int MakeWeightSets8(WeightSet* const (&sets)[8], const double* dx, double dy)
{
    const __m512d zero = _mm512_setzero_pd();
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d x = _mm512_loadu_pd(dx);
    const __m512d y = _mm512_set1_pd(dy);
    const DoubleDouble8 sx0 = Square8({x, zero});
    const DoubleDouble8 sx1 = Square8(TwoSum8(one, _mm512_sub_pd(zero, x)));
    const DoubleDouble8 sy0 = Square8({y, zero});
    const DoubleDouble8 sy1 = Square8(TwoSum8(one, _mm512_sub_pd(zero, y)));

    const __mmask8 xUsed = _mm512_cmp_pd_mask(x, zero, _CMP_NEQ_OQ);
    const __mmask8 yUsed = _mm512_cmp_pd_mask(y, zero, _CMP_NEQ_OQ);
    const __mmask8 bothUsed = xUsed & yUsed;
    const __mmask8 whole = __mmask8(~(xUsed | yUsed));
    __mmask8 ok0 = 0xFF;
    __mmask8 ok1 = 0xFF;
    __mmask8 ok2 = 0xFF;
    __mmask8 ok3 = 0xFF;
    __m512d w[4];
    w[0] = RoundChecked8(InverseRoot8(Add8(sx0, sy0)), ok0);
    w[1] = RoundChecked8(InverseRoot8(Add8(sx1, sy0)), ok1);
    w[2] = RoundChecked8(InverseRoot8(Add8(sx0, sy1)), ok2);
    w[3] = RoundChecked8(InverseRoot8(Add8(sx1, sy1)), ok3);
    w[0] = _mm512_mask_blend_pd(whole, w[0], one);
    w[1] = _mm512_maskz_mov_pd(xUsed, w[1]);
    w[2] = _mm512_maskz_mov_pd(yUsed, w[2]);
    w[3] = _mm512_maskz_mov_pd(bothUsed, w[3]);
    const __mmask8 missed[4] = {__mmask8(~ok0 & ~whole), __mmask8(~ok1 & xUsed),
                                __mmask8(~ok2 & yUsed), __mmask8(~ok3 & bothUsed)};

    __m512d s = w[0];
    __m512d e = zero;
    for (int i = 1; i < 4; ++i) {
        const DoubleDouble8 t = TwoSum8(s, w[i]);
        e = _mm512_add_pd(e, t.lo);
        s = t.hi;
    }
    const __m512d sum = _mm512_add_pd(s, e);
    const __m512d infinity = _mm512_set1_pd(std::numeric_limits<double>::infinity());
    __m512d smallest = w[0];
    for (int i = 1; i < 4; ++i)
        smallest =
            _mm512_min_pd(smallest, _mm512_mask_blend_pd(_mm512_cmp_pd_mask(w[i], zero, _CMP_GT_OQ),
                                                         infinity, w[i]));
    const __mmask8 exactSum =
        _mm512_cmp_pd_mask(smallest, _mm512_mul_pd(sum, _mm512_set1_pd(0x1p-11)), _CMP_GT_OQ);
    const __mmask8 ok =
        __mmask8(exactSum & ~(missed[0] | missed[1] | missed[2] | missed[3])) | whole;
    const __m512d excess = _mm512_add_pd(_mm512_sub_pd(s, sum), e);
    const __m512d limit = _mm512_mul_pd(_mm512_set1_pd(6.0 * 0x1p-64), sum);
    const __mmask8 same = _mm512_cmp_pd_mask(excess, limit, _CMP_GT_OQ) | whole;
    const __mmask8 oneLess =
        __mmask8(_mm512_cmp_pd_mask(excess, _mm512_sub_pd(zero, limit), _CMP_LT_OQ) & ~whole);
    const __mmask8 compute = __mmask8(~(same | oneLess));

    alignas(64) double exact[4][8];
    alignas(32) float normalised[4][8];
    alignas(64) double sums[8];
    for (int i = 0; i < 4; ++i) {
        _mm512_store_pd(exact[i], w[i]);
        _mm256_store_ps(normalised[i], _mm512_cvtpd_ps(_mm512_div_pd(w[i], sum)));
    }
    _mm512_store_pd(sums, sum);
    int fallbacks = 0;
    for (int lane = 0; lane < 8; ++lane) {
        WeightSet& set = *sets[lane];
        _mm256_store_pd(set.exact, _mm256_set_pd(exact[3][lane], exact[2][lane], exact[1][lane],
                                                 exact[0][lane]));
        fallbacks += StoreLane(set, lane, ok >> lane & 1, missed, normalised, sums[lane],
                               oneLess >> lane & 1, compute >> lane & 1, dx[lane], dy);
    }
    return fallbacks;
}

bool CpuHasAvx512()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx2") &&
           __builtin_cpu_supports("fma");
}

bool HasAvx512()
{
    static const bool available = CpuHasAvx512();
    return available;
}

bool CpuHasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

#endif

// The weight sets of every column fraction on a row of fraction dy.
void MakeWeightSets(std::vector<WeightSet>& sets, const std::vector<double>& fractions, double dy,
                    detail::ResizeKernel kernel)
{
    std::size_t j = 0;
#if TILVO_RESIZE_AVX2
    if (kernel == detail::ResizeKernel::Avx2) {
        if (HasAvx512()) {
            for (; j + 8 <= sets.size(); j += 8) {
                WeightSet* const eight[8] = {&sets[j],     &sets[j + 1], &sets[j + 2],
                                             &sets[j + 3], &sets[j + 4], &sets[j + 5],
                                             &sets[j + 6], &sets[j + 7]};
                MakeWeightSets8(eight, fractions.data() + j, dy);
            }
        }
        for (; j + 4 <= sets.size(); j += 4) {
            WeightSet* const four[4] = {&sets[j], &sets[j + 1], &sets[j + 2], &sets[j + 3]};
            MakeWeightSets4(four, fractions.data() + j, dy);
        }
    }
#endif
    (void)kernel;
    for (; j < sets.size(); ++j)
        MakeWeightSet(sets[j], fractions[j], dy);
}

using RowFunction = void (*)(const RowJob&);

RowFunction RowFunctionFor(detail::ResizeKernel kernel)
{
#if TILVO_RESIZE_AVX2
    if (kernel == detail::ResizeKernel::Avx2)
        return Avx2Row;
#endif
    (void)kernel;
    return PortableRow;
}

} // namespace

namespace detail {

bool ResizeKernelAvailable(ResizeKernel kernel)
{
    switch (kernel) {
    case ResizeKernel::Portable:
        return true;
    case ResizeKernel::Avx2:
#if TILVO_RESIZE_AVX2
    {
        static const bool available = CpuHasAvx2();
        return available;
    }
#else
        return false;
#endif
    }
    return false;
}

int CompareVectorWeights(const double (&dx)[8], double dy)
{
#if TILVO_RESIZE_AVX2
    if (!ResizeKernelAvailable(ResizeKernel::Avx2))
        return 0;
    WeightSet exact[8];
    std::memset(exact, 0, sizeof exact);
    for (int i = 0; i < 8; ++i)
        MakeWeightSet(exact[i], dx[i], dy);
    const auto same = [&exact](const WeightSet* made) {
        for (int i = 0; i < 8; ++i) {
            if (std::memcmp(&made[i], &exact[i], sizeof(WeightSet)) != 0)
                return false;
        }
        return true;
    };
    WeightSet four[8];
    std::memset(four, 0, sizeof four);
    WeightSet* const low[4] = {&four[0], &four[1], &four[2], &four[3]};
    WeightSet* const high[4] = {&four[4], &four[5], &four[6], &four[7]};
    int fallbacks = MakeWeightSets4(low, dx, dy) + MakeWeightSets4(high, dx + 4, dy);
    if (!same(four))
        return -1;
    if (HasAvx512()) {
        WeightSet eight[8];
        std::memset(eight, 0, sizeof eight);
        WeightSet* const all[8] = {&eight[0], &eight[1], &eight[2], &eight[3],
                                   &eight[4], &eight[5], &eight[6], &eight[7]};
        fallbacks = MakeWeightSets8(all, dx, dy);
        if (!same(eight))
            return -1;
    }
    return fallbacks;
#else
    (void)dx;
    (void)dy;
    return 0;
#endif
}

Picture ResizedCopy(const Picture& original, int newWidth, int newHeight, ResizeKernel kernel,
                    int threads)
{
    CheckPictureSize(newWidth, newHeight);
    if (newWidth == 0 || newHeight == 0)
        return Picture();
    if (original.isEmpty())
        throw Error(QStringLiteral("Impossible de redimensionner une image vide."));
    if (!ResizeKernelAvailable(kernel))
        kernel = ResizeKernel::Portable;

    Picture converted;
    if (original.format() != PixelFormat::Bgr24)
        converted = original.toBgr24();
    const Picture& source = original.format() == PixelFormat::Bgr24 ? original : converted;

    const AxisMap columns = MapAxis(source.width(), newWidth);
    const AxisMap rows = MapAxis(source.height(), newHeight);
    std::vector<int> offset0(newWidth);
    std::vector<int> offset1(newWidth);
    for (int x = 0; x < newWidth; ++x) {
        offset0[x] = 3 * columns.first[x];
        offset1[x] = 3 * columns.second[x];
    }

    // The rows grouped by their fractional part, so that each group's weights are made once.
    const int groupCount = int(rows.fractions.size());
    std::vector<int> groupStart(groupCount + 1, 0);
    for (int y = 0; y < newHeight; ++y)
        ++groupStart[rows.fraction[y] + 1];
    for (int g = 0; g < groupCount; ++g)
        groupStart[g + 1] += groupStart[g];
    std::vector<int> rowOrder(newHeight);
    {
        std::vector<int> next(groupStart.begin(), groupStart.end() - 1);
        for (int y = 0; y < newHeight; ++y)
            rowOrder[next[rows.fraction[y]]++] = y;
    }

    Picture target = MakePictureForWriting(newWidth, newHeight, PixelFormat::Bgr24);
    const RowFunction rowFunction = RowFunctionFor(kernel);
    std::atomic<int> nextGroup{0};
    std::exception_ptr failure;
    std::mutex failureMutex;

    const auto work = [&] {
        try {
            std::vector<WeightSet> sets(columns.fractions.size());
            std::vector<std::uint32_t> pending(newWidth / 2 + 1);
            RowJob job{};
            job.pending = pending.data();
            job.width = newWidth;
            job.offset0 = offset0.data();
            job.offset1 = offset1.data();
            job.fraction = columns.fraction.data();
            job.sets = sets.data();
            for (int g = nextGroup++; g < groupCount; g = nextGroup++) {
                if (groupStart[g] == groupStart[g + 1])
                    continue;
                MakeWeightSets(sets, columns.fractions, rows.fractions[g], kernel);
                for (int i = groupStart[g]; i < groupStart[g + 1]; ++i) {
                    const int y = rowOrder[i];
                    job.row0 = source.row(rows.first[y]);
                    job.row1 = source.row(rows.second[y]);
                    job.out = target.row(y);
                    rowFunction(job);
                }
            }
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureMutex);
            if (!failure)
                failure = std::current_exception();
            nextGroup = groupCount;
        }
    };

    if (threads <= 0) {
        // Below about a hundred thousand pixels, starting a thread costs more than it saves.
        threads = qint64(newWidth) * newHeight >= 100000
                      ? int(std::max(1u, std::thread::hardware_concurrency()))
                      : 1;
    }
    threads = std::min(threads, groupCount);
    std::vector<std::thread> helpers;
    try {
        for (int i = 1; i < threads; ++i)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: those started and this one share the rows.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
    return target;
}

} // namespace detail

Picture ResizedPicture(const Picture& picture, int newWidth, int newHeight)
{
    const detail::ResizeKernel kernel = detail::ResizeKernelAvailable(detail::ResizeKernel::Avx2)
                                            ? detail::ResizeKernel::Avx2
                                            : detail::ResizeKernel::Portable;
    return detail::ResizedCopy(picture, newWidth, newHeight, kernel);
}

void ResizePicture(Picture& picture, int newWidth, int newHeight)
{
    picture = ResizedPicture(picture, newWidth, newHeight);
}

} // namespace tilvo
