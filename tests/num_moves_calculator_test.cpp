#include "num_moves_calculator.h"

#include <gtest/gtest.h>

#include "test_support.h"
