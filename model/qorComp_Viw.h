// Views: the optional column-name list, the query (Text) and the view
// options of the dialects that have them.
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <string>
#include <string_view>
#include <vector>

namespace qor {

// The collections of a comparison: the source the objects come from and
// the target they are written for. Outside a comparison both are the
// object's own collection.
TCustomObjs* WalkSourceObjs(const TDbObj& obj);
TCustomObjs* WalkTargetObjs(const TDbObj& obj);

// The part of the create walk that views and routines share: the views,
// table columns and generators `user` rests on are written first, and a
// view whose source changed is dropped and created again. `forText` names
// the user's kind in the comments (" for view: ", " for procedure: ").
TWalk WriteRestingObjects(TDbObj& user, std::string_view forText);

// Text is the query after AS; ParentName is the schema.
class TViwData : public TDbObj {
 public:
  explicit TViwData(TCustomObjs* owner);
  ~TViwData() override;
  const char* ClassName() const override { return "TViwData"; }
  TDbObject GetKind() const override { return TDbObject::dboView; }

  void GetSubObjects(std::vector<TDbObj*>& out) override;
  void DeselectColumns() override;

  std::string GetCreateSQL() override;
  // Acts only while the view is absent; also writes the triggers on it.
  TWalk WriteCreateWalk() override;
  TWalk DoBeforeDropWalk() override;
  // Also the grants on the view.
  void Deselect() override;
  TWalk DoBeforeCreateWalk() override;
  // Also makes the edges of the views and domains that use it active again.
  void Select() override;
  std::string GetDropSQL() override;

  // "(" + each name on a line of its own + ")", or empty without columns.
  std::string GetColumnsText();
  // Inside its own WriteCreate.
  bool InWalk() const { return walking_; }

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

 private:
  std::string MSSQLText();

  bool walking_ = false;
};

}  // namespace qor
