// The hot-key library as the program calls it (see libs/snapcatch).
#pragma once

#include <snapcatch/Snapcatch.h>
