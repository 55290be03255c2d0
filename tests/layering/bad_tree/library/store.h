#pragma once

#include "host/desk/main_window.h"
