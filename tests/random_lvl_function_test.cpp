#include "random_lvl_function.h"

#include <gtest/gtest.h>

#include "test_support.h"
