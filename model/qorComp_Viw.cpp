// Views: construction and ownership of the column lists.
#include "model/qorComp_Viw.h"

namespace qor {

TViwData::TViwData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboView; }

TViwData::~TViwData() = default;

void TViwData::GetSubObjects(std::vector<TDbObj*>& out) { AppendFields(Columns, out); }

}  // namespace qor
