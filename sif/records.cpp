#include "sif/records.hpp"

#include <cstddef>

namespace morlan {

// The one instance of each record; eltype lives with settyp, its writer.
GlobalRecord global;
CharaRecord chara;
DimsRecord dims;
OutputRecord output;
LocalRecord local;
PrfctsRecord prfcts;
SetupcountRecord setupcount;

namespace {

template <class T>
NamedBytes view_bytes(const char* name, OneBased<T> v) {
  return {name, v.data(), sizeof(T) * static_cast<std::size_t>(v.size())};
}

}  // namespace

std::vector<NamedBytes> evaluation_records() {
  const std::size_t counts = offsetof(GlobalRecord, NGROUP);
  std::vector<NamedBytes> r = {
      {"global: counts and offsets", &global.NGROUP, sizeof(GlobalRecord) - counts},
      view_bytes("IWK: ISTADG (group starts of the linear parts)", ws::istadg()),
      view_bytes("IWK: ISTGP (group parameter starts)", ws::istgp()),
      view_bytes("IWK: ISTADA (group element starts)", ws::istada()),
      view_bytes("IWK: ISTAEV (element variable starts)", ws::istaev()),
      view_bytes("IWK: ISTEP (element parameter starts)", ws::istep()),
      view_bytes("IWK: ITYPEG (group types)", ws::itypeg()),
      view_bytes("IWK: KNDOFC (constraint kinds)", ws::kndofc()),
      view_bytes("IWK: ITYPEE (element types)", ws::itypee()),
      view_bytes("IWK: IELING (group elements)", ws::ieling()),
      view_bytes("IWK: IELVAR (element variables)", ws::ielvar()),
      view_bytes("IWK: ICNA (linear part variables)", ws::icna()),
      view_bytes("IWK: INTVAR (internal variables)", ws::intvar()),
      view_bytes("WK: A (linear coefficients)", ws::a()),
      view_bytes("WK: B (group constants)", ws::b()),
      view_bytes("WK: GPVALU (group parameters)", ws::gpvalu()),
      view_bytes("WK: EPVALU (element parameters)", ws::epvalu()),
      view_bytes("WK: ESCALE (element weights)", ws::escale()),
      view_bytes("WK: GSCALE (group scales)", ws::gscale()),
      view_bytes("LOGI: INTREP (internal representations)", ws::intrep()),
      view_bytes("LOGI: GXEQX (trivial groups)", ws::gxeqx()),
      named_bytes("IWK", global.IWK),
      named_bytes("WK", global.WK),
      named_bytes("FUVALS", global.FUVALS),
      named_bytes("LOGI", global.LOGI),
      named_bytes("CHA", chara.CHA),
      named_bytes("dims", dims),
      named_bytes("local", local),
      named_bytes("eltype", eltype),
  };
  return r;
}

}  // namespace morlan
