#include "class_a/exp_eval/CNodeBase.h"

namespace qvt {

CNodeBase::~CNodeBase() = default;

}  // namespace qvt
