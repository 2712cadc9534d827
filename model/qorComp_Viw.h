// Views: the optional column-name list, the query (Text) and the view
// options of the dialects that have them.
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <string>
#include <vector>

namespace qor {

// Text is the query after AS; ParentName is the schema.
class TViwData : public TDbObj {
 public:
  explicit TViwData(TCustomObjs* owner);
  ~TViwData() override;
  const char* ClassName() const override { return "TViwData"; }

  void GetSubObjects(std::vector<TDbObj*>& out) override;

  TFldData* FindField(std::string_view name) const { return Columns.FindObject(name); }

  TFieldList Columns;
  std::string OfType;
  std::string ObjectIdKind;  // "IDENTIFIER" when empty
  std::vector<std::string> ObjectIdColumns;
  std::string Algorithm;
  std::string SqlSecurity;
  bool WithEncryption = false;
  bool SchemaBinding = false;
  bool ViewMetadata = false;
};

}  // namespace qor
