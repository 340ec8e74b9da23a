// CHostOption.h: the host's option tree in one include: the common base
// (CHostOptionBase), options with elements (CTypedOption<T>), options without
// elements and the message root (CHostOptionContainer), and the factory
// (makeOption, makeMessageRoot).
#pragma once

#include "host/CHostOptionBase.h"
#include "host/CHostOptionContainer.h"
#include "host/CHostOptionFactory.h"
#include "host/CTypedOption.h"
