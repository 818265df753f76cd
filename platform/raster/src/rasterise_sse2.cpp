// SSE2, the x86-64 baseline: four lanes, texels fetched lane by lane.
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "rasterise_simd.h"

namespace zv::raster::detail {
namespace {

struct Sse2 {
  static constexpr int N = 4;
  using F = __m128;
  using I = __m128i;

  static F set(float x) { return _mm_set1_ps(x); }
  static I set(int32_t x) { return _mm_set1_epi32(x); }
  static I zero() { return _mm_setzero_si128(); }
  static I lanes() { return _mm_setr_epi32(0, 1, 2, 3); }

  static F add(F a, F b) { return _mm_add_ps(a, b); }
  static F sub(F a, F b) { return _mm_sub_ps(a, b); }
  static F mul(F a, F b) { return _mm_mul_ps(a, b); }
  static F div(F a, F b) { return _mm_div_ps(a, b); }
  static F min(F a, F b) { return _mm_min_ps(a, b); }
  static F max(F a, F b) { return _mm_max_ps(a, b); }
  static I gt_f(F a, F b) { return _mm_castps_si128(_mm_cmpgt_ps(a, b)); }
  static F and_f(I m, F a) { return _mm_and_ps(_mm_castsi128_ps(m), a); }
  static I to_int(F a) { return _mm_cvttps_epi32(a); }
  static F to_float(I a) { return _mm_cvtepi32_ps(a); }
  static void store_f(float* p, F a) { _mm_storeu_ps(p, a); }

  static I add(I a, I b) { return _mm_add_epi32(a, b); }
  static I sub(I a, I b) { return _mm_sub_epi32(a, b); }
  static I and_(I a, I b) { return _mm_and_si128(a, b); }
  static I or_(I a, I b) { return _mm_or_si128(a, b); }
  static I not_(I a) { return _mm_xor_si128(a, _mm_set1_epi32(-1)); }
  static I gt(I a, I b) { return _mm_cmpgt_epi32(a, b); }
  static I eq(I a, I b) { return _mm_cmpeq_epi32(a, b); }
  static I srai(I a, int n) { return _mm_srai_epi32(a, n); }
  static I srli(I a, int n) { return _mm_srli_epi32(a, n); }
  static I slli(I a, int n) { return _mm_slli_epi32(a, n); }
  static I select(I m, I a, I b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }
  static F select_f(I m, F a, F b) {
    __m128 mf = _mm_castsi128_ps(m);
    return _mm_or_ps(_mm_and_ps(mf, a), _mm_andnot_ps(mf, b));
  }
  // b where the sign bit of s is set, else a.
  static I pick(I s, I a, I b) { return select(_mm_srai_epi32(s, 31), b, a); }
  static F pick_f(I s, F a, F b) { return select_f(_mm_srai_epi32(s, 31), b, a); }
  static I andnot(I a, I b) { return _mm_andnot_si128(a, b); }
  static int bits(I m) { return _mm_movemask_ps(_mm_castsi128_ps(m)); }
  static I mullo(I a, I b) {
    I even = _mm_mul_epu32(a, b);
    I odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
  }

  // High halves of the unsigned 32 x 32-bit products.
  static I mulhi(I a, I b) {
    I even = _mm_srli_epi64(_mm_mul_epu32(a, b), 32);
    I odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_or_si128(even, _mm_and_si128(odd, _mm_setr_epi32(0, -1, 0, -1)));
  }
  static I sll(I a, int n) { return _mm_sll_epi32(a, _mm_cvtsi32_si128(n)); }
  static I srl(I a, int n) { return _mm_srl_epi32(a, _mm_cvtsi32_si128(n)); }

  static I load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
  static void store(void* p, I v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
  static I load16(const void* p) {
    return _mm_unpacklo_epi16(_mm_loadl_epi64(static_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  // The low 16 bits of each lane, in the low half.
  static __m128i pack16(I v) {
    I s = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);  // packs saturates signed
    return _mm_packs_epi32(s, s);
  }
  static void store_packed16(void* p, __m128i packed) {
    _mm_storel_epi64(static_cast<__m128i*>(p), packed);
  }
  static void store16(void* p, I v) { store_packed16(p, pack16(v)); }

  // div255(a * b) for each of the 16 bytes.
  static I mul_bytes(I a, I b) {
    I z = _mm_setzero_si128();
    I lo = div255_16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, z), _mm_unpacklo_epi8(b, z)));
    I hi = div255_16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, z), _mm_unpackhi_epi8(b, z)));
    return _mm_packus_epi16(lo, hi);
  }
  static I div255_16(I x) {
    x = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
  }
  static I adds_u8(I a, I b) { return _mm_adds_epu8(a, b); }

  // No gather instruction: four scalar loads.
  static I gather(const void* base, I byte_offsets) {
    alignas(16) int32_t off[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(off), byte_offsets);
    const uint8_t* b = static_cast<const uint8_t*>(base);
    int32_t v[4];
    for (int k = 0; k < 4; ++k) std::memcpy(&v[k], b + off[k], 4);
    return _mm_setr_epi32(v[0], v[1], v[2], v[3]);
  }
  // table[bytes[offset]] per lane.
  static I lookup2(const uint32_t* table, const uint8_t* bytes, I offsets) {
    alignas(16) int32_t off[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(off), offsets);
    return _mm_setr_epi32(static_cast<int32_t>(table[bytes[off[0]]]), static_cast<int32_t>(table[bytes[off[1]]]),
                          static_cast<int32_t>(table[bytes[off[2]]]), static_cast<int32_t>(table[bytes[off[3]]]));
  }
  static I srlv(I a, I n) {
    alignas(16) uint32_t x[4], s[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(x), a);
    _mm_store_si128(reinterpret_cast<__m128i*>(s), n);
    for (int k = 0; k < 4; ++k) x[k] >>= s[k];
    return _mm_load_si128(reinterpret_cast<const __m128i*>(x));
  }
};

}  // namespace

void rasterise_sse2(const DrawState& state, const Shading& shading, const RasterTriangle& tri) {
  rasterise_vector<Sse2>(state, shading, tri);
}

void rasterise_pair_sse2(const DrawState& state, const Shading& a, const RasterTriangle& ta,
                         const Shading& b, const RasterTriangle& tb) {
  rasterise_vector_pair<Sse2>(state, a, ta, b, tb);
}

}  // namespace zv::raster::detail
