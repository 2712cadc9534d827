// Generators and sequences: construction and the value setters.
#include "model/qorComp_Gnr.h"

namespace qor {

TGnrData::TGnrData(TCustomObjs* owner, std::unique_ptr<TFldData> sequenceType) : TDbObj(owner) {
  ObjType = TDbObject::dboGenerator;
  SetCache("20");
  SetMaxValue("");
  NoMaxValue = true;
  SequenceType = sequenceType ? std::move(sequenceType) : std::make_unique<TFldData>(owner, this);
}

TGnrData::~TGnrData() = default;

void TGnrData::SetMaxValue(std::string_view value) {
  if (value == "999999999999999999999999999") {
    maxValue_.clear();
    NoMaxValue = true;
    return;
  }
  maxValue_ = std::string(value);
}

void TGnrData::SetCache(std::string_view value) {
  if (value == "0") {
    cache_.clear();
    noCache_ = true;
    return;
  }
  cache_ = std::string(value);
}

void TGnrData::SetNoCache(bool value) {
  noCache_ = value;
  if (value) cache_.clear();
}

void TGnrData::GetSubObjects(std::vector<TDbObj*>& out) {
  if (SequenceType) out.push_back(SequenceType.get());
}

}  // namespace qor
