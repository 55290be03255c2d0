#include <string>

#include "host/desk/main_window.h"
