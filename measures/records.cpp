#include "measures/records.hpp"

namespace morlan {

MlagRecord mlag;
PenaltyRecord penalty;
SlobjRecord slobj;
ReuseRecord reuse;
RuindexRecord ruindex;
RudataRecord rudata;
RleqRecord rleq;
HasdiscreteRecord hasdiscrete;
DiscreteRecord discrete;

}  // namespace morlan
