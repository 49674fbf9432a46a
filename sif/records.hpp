// The named records of the problem evaluation: the workspace with its layout
// (global), the name store (chara), the sizes as set up (dims), the message
// unit (output), the partition positions (local), the evaluation counters
// (prfcts), the set-up count (setupcount) and the element types of the
// linked problem (eltype).
//
// Sub-arrays live inside the big workspaces at offsets: element j of a
// sub-array with offset o is the workspace entry o + j (j from 1).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/named_bytes.hpp"
#include "base/one_based.hpp"

namespace morlan {

inline constexpr int kLiwk = 3000000;    // integer workspace IWK
inline constexpr int kLwk = 3000000;     // real workspace WK
inline constexpr int kLfuval = 960000;   // element values, gradients, Hessians
inline constexpr int kLlogic = 350000;   // logical workspace LOGI
inline constexpr int kLchara = 300000;   // name store CHA
inline constexpr int kNameLength = 10;   // one entry of CHA

// Logicals of the workspace are 32-bit integers (0 false, anything else true).
using Logical = std::int32_t;
using LogVec = OneBased<Logical>;
using CLogVec = OneBased<const Logical>;

struct GlobalRecord {
  Array1<std::int32_t, kLiwk> IWK;
  Array1<double, kLwk> WK;
  Array1<double, kLfuval> FUVALS;
  Array1<Logical, kLlogic> LOGI;
  // Counts from the file header (NELVAR is replaced by the length of IELVAR).
  std::int32_t NGROUP, NELEM, NELING, NELVAR, NLINA, NGPVAL, NEPVAL;
  std::int32_t NGP1, NELP1;
  // Offsets of the integer sub-arrays in IWK.
  std::int32_t OSTADG, OSTGP, OSTADA, OSTAEV, OSTEP, OTYPEG, OKNDOF, OTYPEE, OELING, OELVAR,
      OCNA, OSTHES, ONTVAR, OVLIST, OCALC, OVTYPE;
  std::int32_t IWKUSE;
  // Offsets of the real sub-arrays in WK.
  std::int32_t OA, OB, OU, OGPVAL, OEPVAL, OESCAL, OGSCAL, OVSCAL, OGRVAL, OXWORK, OGWORK, OQWORK;
  std::int32_t WKUSE;
  // Offsets of the logical sub-arrays in LOGI and of the name lists in CHA.
  std::int32_t OINTRP, OGXEQX;
  std::int32_t OGNAME, OVNAME;
  std::int32_t LOGUSE, CHAUSE;
  std::int32_t IWKFRE, WKFRE;
  std::int32_t NGX2;
  std::int32_t OGRARG;
  std::int32_t ALLTRV;  // 1 when every group is trivial
  // The 22 declared lengths; declared(3) is IOBJGR, the objective group.
  Array1<std::int32_t, 22> declared;
};
extern GlobalRecord global;

struct CharaRecord {
  Array1<std::array<char, kNameLength>, kLchara> CHA;
};
extern CharaRecord chara;

struct DimsRecord {
  std::int32_t N, M;
};
extern DimsRecord dims;

// The message unit of the latest set-up.
struct OutputRecord {
  std::int32_t value;
};
extern OutputRecord output;

// Start positions and lengths of the workspace partition (81 members).
struct LocalRecord : Array1<std::int32_t, 81> {};
extern LocalRecord local;

// Members of `local` by name.
namespace loc {
inline constexpr int kLfxi = 1, kLgxi = 2, kLhxi = 3, kLggfx = 4, kLdx = 5, kLgrjac = 6;
inline constexpr int kLqgrad = 7, kLbreak = 8, kLp = 9, kLxcp = 10, kLx0 = 11, kLgx0 = 12,
                     kLdeltx = 13, kLbnd = 14, kLwkstr = 15;
inline constexpr int kLsptrs = 16, kLselts = 17, kLindex = 18, kLswksp = 19, kLstagv = 20,
                     kLstajc = 21, kLiused = 22, kLfreec = 23, kLnnonz = 24, kLnonz2 = 25,
                     kLsymmd = 26, kLsymmh = 27, kLslgrp = 28, kLsvgrp = 29, kLgcolj = 30,
                     kLvaljr = 31, kLsend = 32;
inline constexpr int kIwkRoom = 61, kWkRoom = 62, kMaxinv = 63, kTotinv = 64, kMaxelv = 65;
inline constexpr int kLstype = 68, kLsswtr = 69, kLssiwt = 70, kLsiwtr = 71, kLswtra = 72;
inline constexpr int kLsiset = 78, kLssvse = 79;
}  // namespace loc

// Evaluation counters: count(1) objective values, count(2) objective
// gradients, count(4) constraint values, count(5) constraint gradients; the
// others belong to tools this program does not use. SETSEC: CPU seconds of
// the set-up; ENDSTP: CPU time stamp at its end.
struct PrfctsRecord {
  Array1<std::int32_t, 8> count;
  float SETSEC, ENDSTP;
};
extern PrfctsRecord prfcts;

// Set-ups begun so far. Whoever keeps data derived from the layout (the
// incremental evaluation of the problem adaptor) rebuilds it when this moves.
struct SetupcountRecord {
  std::int32_t value;
};
extern SetupcountRecord setupcount;

// Element types of the linked problem, one per element, recorded by settyp.
// The set-up's LOGI capacity bounds the number of elements, and settyp runs
// after that check, so the record holds every element of any file read.
struct EltypeRecord : Array1<std::int32_t, kLlogic> {};
extern EltypeRecord eltype;

// Views of the sub-arrays in the workspace, as laid out by csetup.
namespace ws {
inline IVec istadg() { return global.IWK.slice(global.OSTADG + 1, global.NGP1); }
inline IVec istgp() { return global.IWK.slice(global.OSTGP + 1, global.NGP1); }
inline IVec istada() { return global.IWK.slice(global.OSTADA + 1, global.NGP1); }
inline IVec istaev() { return global.IWK.slice(global.OSTAEV + 1, global.NELP1); }
inline IVec istep() { return global.IWK.slice(global.OSTEP + 1, global.NELP1); }
inline IVec itypeg() { return global.IWK.slice(global.OTYPEG + 1, global.NGROUP); }
inline IVec kndofc() { return global.IWK.slice(global.OKNDOF + 1, global.NGROUP); }
inline IVec itypee() { return global.IWK.slice(global.OTYPEE + 1, global.NELEM); }
inline IVec ieling() { return global.IWK.slice(global.OELING + 1, global.NELING); }
inline IVec ielvar() { return global.IWK.slice(global.OELVAR + 1, global.OCNA - global.OELVAR); }
inline IVec icna() { return global.IWK.slice(global.OCNA + 1, global.NLINA); }
inline IVec isthes() { return global.IWK.slice(global.OSTHES + 1, global.NELP1); }
inline IVec intvar() { return global.IWK.slice(global.ONTVAR + 1, global.NELP1); }
inline IVec icalc() { return global.IWK.slice(global.OCALC + 1, global.OVTYPE - global.OCALC); }
inline Vec a() { return global.WK.slice(global.OA + 1, global.NLINA); }
inline Vec b() { return global.WK.slice(global.OB + 1, global.NGROUP); }
inline Vec u() { return global.WK.slice(global.OU + 1, global.NGROUP); }
inline Vec gpvalu() { return global.WK.slice(global.OGPVAL + 1, global.NGPVAL); }
inline Vec epvalu() { return global.WK.slice(global.OEPVAL + 1, global.NEPVAL); }
inline Vec escale() { return global.WK.slice(global.OESCAL + 1, global.NELING); }
inline Vec gscale() { return global.WK.slice(global.OGSCAL + 1, global.NGROUP); }
inline Vec grpval() { return global.WK.slice(global.OGRVAL + 1, 3 * global.NGROUP); }
inline Vec grparg() { return global.WK.slice(global.OGRARG + 1, global.NGROUP); }
inline LogVec intrep() { return global.LOGI.slice(global.OINTRP + 1, global.NELEM); }
inline LogVec gxeqx() { return global.LOGI.slice(global.OGXEQX + 1, global.NGX2); }
}  // namespace ws

// Every record the evaluation reads, by name: the sizes and offsets of
// `global`, the sub-arrays of the workspace that the set-up filled from the
// data file, then the whole workspaces and the other records. (Not the
// evaluation counters and the set-up's times of prfcts, nor the count of
// set-ups.) For the check that two processes prepared the same problem.
std::vector<NamedBytes> evaluation_records();

}  // namespace morlan
