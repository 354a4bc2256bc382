// The shell helper library as the program calls it (see libs/doorwell).
#pragma once

#include <doorwell/Doorwell.h>
