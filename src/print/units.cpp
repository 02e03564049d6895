#include "print/units.h"
