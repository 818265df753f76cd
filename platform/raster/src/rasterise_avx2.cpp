// AVX2: eight lanes with hardware gathers. Everything this file defines is
// compiled for AVX2 and only reached after the CPU was checked for it.
#include <immintrin.h>

#include <algorithm>

#include "backend.h"

#pragma GCC push_options
#pragma GCC target("avx2")

#include "rasterise_simd.h"

namespace zv::raster::detail {
namespace {

struct Avx2 {
  static constexpr int N = 8;
  using F = __m256;
  using I = __m256i;

  static F set(float x) { return _mm256_set1_ps(x); }
  static I set(int32_t x) { return _mm256_set1_epi32(x); }
  static I zero() { return _mm256_setzero_si256(); }
  static I lanes() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }

  static F add(F a, F b) { return _mm256_add_ps(a, b); }
  static F sub(F a, F b) { return _mm256_sub_ps(a, b); }
  static F mul(F a, F b) { return _mm256_mul_ps(a, b); }
  static F div(F a, F b) { return _mm256_div_ps(a, b); }
  static F min(F a, F b) { return _mm256_min_ps(a, b); }
  static F max(F a, F b) { return _mm256_max_ps(a, b); }
  static I gt_f(F a, F b) { return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_GT_OQ)); }
  static F and_f(I m, F a) { return _mm256_and_ps(_mm256_castsi256_ps(m), a); }
  static I to_int(F a) { return _mm256_cvttps_epi32(a); }
  static F to_float(I a) { return _mm256_cvtepi32_ps(a); }
  static void store_f(float* p, F a) { _mm256_storeu_ps(p, a); }

  static I add(I a, I b) { return _mm256_add_epi32(a, b); }
  static I sub(I a, I b) { return _mm256_sub_epi32(a, b); }
  static I and_(I a, I b) { return _mm256_and_si256(a, b); }
  static I or_(I a, I b) { return _mm256_or_si256(a, b); }
  static I not_(I a) { return _mm256_xor_si256(a, _mm256_set1_epi32(-1)); }
  static I gt(I a, I b) { return _mm256_cmpgt_epi32(a, b); }
  static I eq(I a, I b) { return _mm256_cmpeq_epi32(a, b); }
  static I srai(I a, int n) { return _mm256_srai_epi32(a, n); }
  static I srli(I a, int n) { return _mm256_srli_epi32(a, n); }
  static I slli(I a, int n) { return _mm256_slli_epi32(a, n); }
  static I srlv(I a, I n) { return _mm256_srlv_epi32(a, n); }
  static I select(I m, I a, I b) { return _mm256_blendv_epi8(b, a, m); }
  static F select_f(I m, F a, F b) { return _mm256_blendv_ps(b, a, _mm256_castsi256_ps(m)); }
  // b where the sign bit of s is set, else a.
  static I pick(I s, I a, I b) {
    return _mm256_castps_si256(_mm256_blendv_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), _mm256_castsi256_ps(s)));
  }
  static F pick_f(I s, F a, F b) { return _mm256_blendv_ps(a, b, _mm256_castsi256_ps(s)); }
  static I andnot(I a, I b) { return _mm256_andnot_si256(a, b); }
  static int bits(I m) { return _mm256_movemask_ps(_mm256_castsi256_ps(m)); }
  static I mullo(I a, I b) { return _mm256_mullo_epi32(a, b); }

  // High halves of the unsigned 32 x 32-bit products.
  static I mulhi(I a, I b) {
    I even = _mm256_srli_epi64(_mm256_mul_epu32(a, b), 32);
    I odd = _mm256_mul_epu32(_mm256_srli_epi64(a, 32), _mm256_srli_epi64(b, 32));
    return _mm256_blend_epi32(even, odd, 0xAA);
  }
  static I sll(I a, int n) { return _mm256_sll_epi32(a, _mm_cvtsi32_si128(n)); }
  static I srl(I a, int n) { return _mm256_srl_epi32(a, _mm_cvtsi32_si128(n)); }

  // Lanes 0-3 from the first argument(s), lanes 4-7 from the second: the
  // two rows of a 4 x 2 tile.
  static I rows(int32_t first, int32_t second) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_set1_epi32(first)), _mm_set1_epi32(second), 1);
  }
  static F rows(float first, float second) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_set1_ps(first)), _mm_set1_ps(second), 1);
  }
  static I rows(int32_t a, int32_t b, int32_t c, int32_t d) { return _mm256_setr_epi32(a, b, c, d, a, b, c, d); }
  static I load_rows(const void* p, const void* next) {
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(p))),
        _mm_loadu_si128(static_cast<const __m128i*>(next)), 1);
  }
  static void store_rows(void* p, void* next, I v) {
    _mm_storeu_si128(static_cast<__m128i*>(next), _mm256_extracti128_si256(v, 1));
    _mm_storeu_si128(static_cast<__m128i*>(p), _mm256_castsi256_si128(v));
  }
  static I load16_rows(const void* p, const void* next) {
    __m128i both = _mm_unpacklo_epi64(_mm_loadl_epi64(static_cast<const __m128i*>(p)),
                                      _mm_loadl_epi64(static_cast<const __m128i*>(next)));
    return _mm256_cvtepu16_epi32(both);
  }
  // Lanes of at most 16 bits, packed in order.
  static __m128i pack16(I v) {
    return _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  }
  static void store_packed16_rows(void* p, void* next, __m128i packed) {
    _mm_storel_epi64(static_cast<__m128i*>(next), _mm_unpackhi_epi64(packed, packed));
    _mm_storel_epi64(static_cast<__m128i*>(p), packed);
  }
  static void store16_rows(void* p, void* next, I v) { store_packed16_rows(p, next, pack16(v)); }

  static I load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
  static void store(void* p, I v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
  static I load16(const void* p) {
    return _mm256_cvtepu16_epi32(_mm_loadu_si128(static_cast<const __m128i*>(p)));
  }
  static void store16(void* p, I v) { _mm_storeu_si128(static_cast<__m128i*>(p), pack16(v)); }

  // div255(a * b) for each of the 32 bytes; unpack and pack stay within
  // 128-bit halves, so the bytes come back where they were.
  static I mul_bytes(I a, I b) {
    I z = _mm256_setzero_si256();
    I lo = div255_16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(a, z), _mm256_unpacklo_epi8(b, z)));
    I hi = div255_16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(a, z), _mm256_unpackhi_epi8(b, z)));
    return _mm256_packus_epi16(lo, hi);
  }
  static I div255_16(I x) {
    x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
  }
  static I adds_u8(I a, I b) { return _mm256_adds_epu8(a, b); }

  // table[bytes[offset]] per lane, with plain loads. The offsets go
  // through memory: extracting eight of them ties up as many registers.
  static I lookup2(const uint32_t* table, const uint8_t* bytes, I offsets) {
    alignas(32) int32_t off[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(off), offsets);
    auto at = [&](int k) { return static_cast<int>(table[bytes[off[k]]]); };
    __m128i lo = _mm_cvtsi32_si128(at(0)), hi = _mm_cvtsi32_si128(at(4));
    lo = _mm_insert_epi32(lo, at(1), 1), hi = _mm_insert_epi32(hi, at(5), 1);
    lo = _mm_insert_epi32(lo, at(2), 2), hi = _mm_insert_epi32(hi, at(6), 2);
    lo = _mm_insert_epi32(lo, at(3), 3), hi = _mm_insert_epi32(hi, at(7), 3);
    return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
  }

  static I gather(const void* base, I byte_offsets) {
    return _mm256_i32gather_epi32(static_cast<const int*>(base), byte_offsets, 1);
  }
};

}  // namespace

void rasterise_avx2(const DrawState& state, const Shading& shading, const RasterTriangle& tri) {
  rasterise_vector<Avx2>(state, shading, tri);
}

void rasterise_pair_avx2(const DrawState& state, const Shading& a, const RasterTriangle& ta,
                         const Shading& b, const RasterTriangle& tb) {
  rasterise_vector_pair<Avx2>(state, a, ta, b, tb);
}

}  // namespace zv::raster::detail

#pragma GCC pop_options
