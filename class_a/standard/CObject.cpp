#include "class_a/standard/CObject.h"

#include "class_a/standard/TypeName.h"

namespace qvt {

std::string CObject::typeName() const { return qvt::typeName(typeid(*this)); }

}  // namespace qvt
