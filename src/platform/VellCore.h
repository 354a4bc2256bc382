// The index engine as the program calls it (see libs/vellcore): CreateIndexObject,
// DestroyIndexObject and the index object's operations.
#pragma once

#include <vellcore/IndexObject.h>
