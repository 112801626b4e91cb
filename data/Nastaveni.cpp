#include "Dekl.h"
