// Generators and sequences, also the sequence options of a DB2 identity
// column.
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <memory>
#include <string>
#include <vector>

namespace qor {

class TGnrData : public TDbObj {
 public:
  // `sequenceType` stands for the data type; a new one is made when none
  // is given.
  explicit TGnrData(TCustomObjs* owner, std::unique_ptr<TFldData> sequenceType = nullptr);
  ~TGnrData() override;
  const char* ClassName() const override { return "TGnrData"; }
  TDbObject GetKind() const override { return TDbObject::dboGenerator; }

  // CREATE GENERATOR or CREATE SEQUENCE in the owner's dialect.
  std::string GetCreateSQL() override;
  std::string GetDropSQL() override;
  void GetSubObjects(std::vector<TDbObj*>& out) override;

  // DB2: the options of an identity column, "(START WITH ...)"; empty for
  // every other server type.
  std::string GetDB2IdentityOptions();

  const std::string& GetMaxValue() const { return maxValue_; }
  // The largest 27-digit value means no maximum.
  void SetMaxValue(std::string_view value);
  const std::string& GetCache() const { return cache_; }
  // "0" means no cache.
  void SetCache(std::string_view value);
  bool GetNoCache() const { return noCache_; }
  void SetNoCache(bool value);

  std::unique_ptr<TFldData> SequenceType;
  std::string MinValue;
  std::string StartWith;
  std::string IncrementBy;
  std::string OwnedBy;
  bool NoMaxValue = true;
  bool Order = false;
  bool Cycle = false;
  bool Temporary = false;

 private:
  std::string maxValue_;
  std::string cache_;
  bool noCache_ = false;
};

}  // namespace qor
