#include "class_a/prst_generic/CIKeyValueStore.h"

namespace qvt {

CIKeyValueStore::~CIKeyValueStore() = default;

}  // namespace qvt
