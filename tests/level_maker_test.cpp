#include "level_maker.h"

#include <gtest/gtest.h>
