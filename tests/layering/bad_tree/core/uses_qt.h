#pragma once

#include <QString>
#include <string>
